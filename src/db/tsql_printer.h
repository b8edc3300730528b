#pragma once

#include "db/tsql.h"
#include "db/tsql_ast.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace tsql {

// Static type of an expression, as far as the statement and the hall schema tell it.
enum class ValueType { Unknown, Null, Int, Real, Text, Date, Time, DateTime };

// Type of a column of the hall schema (table and column names case-insensitive);
// Unknown for a name that is not in it.
ValueType schemaColumnType(const QString &table, const QString &column);

// Writes parsed statements for the engine of `dialect`, one text per statement (statements
// that mean nothing there, such as SET NOCOUNT ON, produce none). Typing (scopes, column
// types) is the same for every engine; only the text written differs. On failure returns
// false with the reason in `error`.
bool print(const std::vector<ast::Statement> &statements, QStringList *out, QString *error,
           Dialect dialect = Dialect::Sqlite);

}  // namespace tsql
