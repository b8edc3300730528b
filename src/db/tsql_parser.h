#pragma once

#include "db/tsql_ast.h"

#include <QString>

#include <vector>

namespace tsql {

// Parses a T-SQL statement or batch into statements. On failure returns false and puts a
// message in SQL Server's wording ("Incorrect syntax near ...") into `error`.
bool parse(const QString &source, std::vector<ast::Statement> *statements, QString *error);

// Canonical name of a date-part word (yy, yyyy -> "year"; mm, m -> "month"; ...), or an
// empty text when the word is not one.
QString canonicalDatePart(const QString &word);

}  // namespace tsql
