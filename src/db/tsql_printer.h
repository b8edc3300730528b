#pragma once

#include "db/tsql.h"
#include "db/tsql_ast.h"
#include "db/tsql_typing.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace tsql {

// Writes parsed statements for the engine of `dialect`, one text per statement (statements
// that mean nothing there, such as SET NOCOUNT ON, produce none). Typing (scopes, column
// types) is the same for every engine; only the text written differs. On failure returns
// false with the reason in `error`.
bool print(const std::vector<ast::Statement> &statements, QStringList *out, QString *error,
           Dialect dialect = Dialect::Sqlite);

}  // namespace tsql
