#pragma once

#include "db/tsql_ast.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <utility>
#include <vector>

// What a statement's values are, as far as the statement and the hall schema tell it. The
// same for every engine: the printers ask it, and only then choose their text.
namespace tsql {

// Static type of an expression.
enum class ValueType { Unknown, Null, Int, Real, Text, Date, Time, DateTime };

// Type of a column of the hall schema (table and column names case-insensitive);
// Unknown for a name that is not in it.
ValueType schemaColumnType(const QString &table, const QString &column);

bool isNumeric(ValueType t);
bool isTemporal(ValueType t);
// "date", "time" or "datetime"; empty for the other types.
QString temporalName(ValueType t);

using ColumnTypes = QHash<QString, ValueType>;  // lower case column name -> type
using ResultColumns = std::vector<std::pair<QString, ValueType>>;  // a select's names and types

// A table or derived table of a FROM clause.
struct Source {
    QString key;    // alias, or the table name when there is none (lower case)
    QString table;  // schema table (lower case), empty for a derived table
    ColumnTypes derived;
};

// The sources a name can refer to, innermost first through `outer`.
struct Scope {
    const Scope *outer = nullptr;
    std::vector<Source> sources;
    const ColumnTypes *aliases = nullptr;  // the select list, for ORDER BY

    // Type of a column reference; Unknown when it is not found or is ambiguous in type.
    ValueType resolve(const QStringList &qualifier, const QString &name) const;

private:
    bool lookup(const Source &src, const QString &column, ValueType *type) const;
};

// True when the expression aggregates on its own level (sub-selects aggregate on theirs).
bool containsAggregate(const ast::Expr &e);

// --- result types of expressions, from the types of their parts ----------------------------

ValueType numberType(const QString &literal);
// Arithmetic other than + - / %: real when either side is, integer when either is a number.
ValueType arithmeticType(ValueType l, ValueType r);
// + - * / % between two numbers (or NULL).
ValueType numericResultType(ValueType l, ValueType r);
// A CASE: the first branch of known type; Unknown when every branch is NULL.
ValueType caseType(const std::vector<ValueType> &branches);
// A function call by its upper case name; the argument count has been checked.
ValueType functionType(const QString &name, bool starArg, const std::vector<ValueType> &args);
// DATEPART, DATENAME, DATEDIFF or DATEADD; `args` are the operands after the date part.
ValueType datePartFunctionType(const QString &name, const std::vector<ValueType> &args);
// Target of CAST/CONVERT by the type name as written (upper case); false for a name that is
// not a type.
bool castType(const QString &target, ValueType *type);

}  // namespace tsql
