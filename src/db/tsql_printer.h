#pragma once

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

// Writes parsed statements as SQLite statements, one text per statement (statements that
// mean nothing to SQLite, such as SET NOCOUNT ON, produce none). On failure returns false
// with the reason in `error`.
bool print(const std::vector<ast::Statement> &statements, QStringList *out, QString *error);

}  // namespace tsql
