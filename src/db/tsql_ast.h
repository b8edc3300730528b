#pragma once

#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

// The small syntax tree of the T-SQL subset: just enough structure to move TOP to LIMIT,
// type the operands of +, and rename functions.
namespace tsql::ast {

struct Select;
struct Expr;
using ExprPtr = std::unique_ptr<Expr>;
using SelectPtr = std::unique_ptr<Select>;

enum class ExprKind {
    String,    // text: the value
    Number,    // text: as written
    Null,
    Column,    // name; qualifier: table (or schema.table) parts
    Star,      // * or t.*; qualifier as for Column
    Variable,  // text: "@@identity", "@x"
    Keyword,   // niladic keyword function: CURRENT_TIMESTAMP
    Func,      // name (upper case, schema dropped); args; distinct; starArg for COUNT(*)
    DatePartFunc,  // DATEPART/DATENAME/DATEDIFF/DATEADD: name; part (canonical); args (the rest)
    Cast,      // args[0]; type: target type as written, upper case; style for CONVERT (-1 none)
    Binary,    // op (upper case: + - * / % = <> < > <= >= AND OR & | ^); args[0], args[1]
    Unary,     // op: - + ~ NOT; args[0]
    Paren,     // args[0]
    Case,      // args: [operand] when, then, ..., [else]; hasOperand, hasElse
    Subquery,  // select
    Exists,    // select; negated
    InList,    // args[0] IN (args[1..]); negated
    InSelect,  // args[0] IN (select); negated
    Between,   // args[0] BETWEEN args[1] AND args[2]; negated
    Like,      // args[0] LIKE args[1] [ESCAPE args[2]]; negated
    IsNull,    // args[0] IS [NOT] NULL; negated
};

struct Expr {
    ExprKind kind = ExprKind::Null;
    QString text;
    QString name;
    QStringList qualifier;
    QString part;
    QString type;
    QString op;
    int style = -1;
    bool distinct = false;
    bool starArg = false;
    bool negated = false;
    bool hasOperand = false;
    bool hasElse = false;
    int height = 1;  // operator chains and brackets below this node, counted by the parser
    std::vector<ExprPtr> args;
    SelectPtr select;
};

struct SelectItem {
    ExprPtr expr;
    QString alias;
    bool hasAlias = false;
};

struct TableRef {
    QString name;       // table name, schema dropped; empty for a derived table
    SelectPtr derived;  // (SELECT ...) alias
    QString alias;
};

struct Join {
    QString type;  // "" for the first table or a comma, else "JOIN", "LEFT JOIN", "CROSS JOIN", ...
    TableRef table;
    ExprPtr on;
};

struct OrderItem {
    ExprPtr expr;
    bool desc = false;
};

struct SelectCore {
    bool distinct = false;
    ExprPtr top;
    std::vector<SelectItem> items;
    std::vector<Join> from;
    ExprPtr where;
    std::vector<ExprPtr> groupBy;
    ExprPtr having;
};

struct Select {
    std::vector<SelectCore> cores;  // more than one: a compound select
    QStringList ops;                // between cores: "UNION ALL", "UNION", "EXCEPT", "INTERSECT"
    std::vector<OrderItem> orderBy; // applies to the whole select
};

struct Assignment {
    QString column;
    ExprPtr value;
};

enum class StatementKind { Select, Insert, Update, Delete, Raw, Empty };

struct Statement {
    StatementKind kind = StatementKind::Empty;
    SelectPtr select;                       // Select; Insert ... SELECT
    QString table;                          // Insert, Update, Delete
    QString tableAlias;                     // Update/Delete written against an alias
    QStringList columns;                    // Insert
    std::vector<std::vector<ExprPtr>> rows; // Insert ... VALUES
    bool defaultValues = false;             // Insert ... DEFAULT VALUES
    std::vector<Assignment> sets;           // Update
    std::vector<Join> from;                 // Update ... FROM
    ExprPtr where;                          // Update, Delete
    QString raw;                            // Raw: SQLite text to run as it is
};

}  // namespace tsql::ast
