#pragma once

#include "db/tsql_ast.h"
#include "db/tsql_typing.h"

#include <QSet>
#include <QString>

#include <memory>

// The text each engine wants where engines differ. The printer walks a statement once, types
// it, and asks its Output for these pieces; everything else it writes the same for all.
namespace tsql {

struct PrintError {
    QString message;
};

[[noreturn]] void failPrint(const QString &message);

// The words of a space-separated list, for an engine's keywords.
QSet<QString> wordSet(const char *words);
// A name that needs no quoting unless it is a keyword: letters, digits and _.
bool isPlainName(const QString &name);

class Output {
public:
    virtual ~Output() = default;

    // --- names ---
    virtual QString name(const QString &name) const = 0;
    // `AS ...` (with its leading space) for a select-list item, or empty. `name` is the
    // result column's name (alias or column), empty when it has none.
    virtual QString itemAlias(const ast::SelectItem &item, const QString &name, bool topLevel) = 0;
    // ` AS generated` for a sub-select that has no alias, where the engine needs one.
    virtual QString generatedAlias(const QString &prefix) = 0;
    // Whether ORDER BY of a top-level select refers to an output column by its result name.
    virtual bool ordersByResultName() const = 0;
    // A result column's name written exactly as the select list spells it.
    virtual QString resultName(const QString &name) const = 0;
    // Whether a top-level select of one keyed table without ORDER BY is ordered by its key.
    virtual bool ordersByKey() const = 0;
    // Whether a scalar sub-select must be made to fail on more than one row.
    virtual bool checksSingleRow() const = 0;

    // --- types and comparison ---
    // Suffix for a case-insensitive text comparison or sort.
    virtual QString collateCi() const = 0;
    virtual QString typeName(ValueType t) const = 0;  // Int or Real
    virtual QString nullsOrder(bool desc) const = 0;
    // A value compared with one of date type `target`, in the form the two compare in.
    virtual QString asTemporal(const QString &text, ValueType target) const = 0;

    // --- values and functions ---
    virtual QString getdate() const = 0;
    virtual QString getutcdate() const = 0;
    virtual QString identity() const = 0;
    // @@ROWCOUNT; empty where the engine has nothing for it.
    virtual QString rowCount() const = 0;
    // A function of the database's own helpers, by its base name ("tsql_datepart").
    virtual QString helperFunction(const QString &name) const = 0;
    virtual QString rightFunction() const = 0;
    virtual QString caseMapping(const QString &function, const QString &arg) const = 0;  // "upper"/"lower"
    virtual QString replaceFunction(bool patternHasLetters) const = 0;
    virtual QString integerAverage(const QString &avg) const = 0;

    // --- dates ---
    // The date argument of DATEPART, DATENAME, YEAR, MONTH, DAY.
    virtual QString dateArgument(const QString &x, ValueType t) const = 0;
    virtual QString dateDiff(const QString &part, const QString &a, ValueType at, const QString &b,
                             ValueType bt) const = 0;
    virtual QString dateAdd(const QString &part, const QString &n, const QString &date, ValueType dateType,
                            ValueType result) const = 0;
    // A date-time moved by a number of days.
    virtual QString addDays(const QString &dateTime, const QString &days, bool subtract) const = 0;

    // --- operators ---
    virtual QString likeOperand(const QString &left, ValueType leftType) const = 0;
    virtual QString likeOperator(bool negated) const = 0;
    // What follows a pattern given without ESCAPE.
    virtual QString defaultLikeEscape() const = 0;
    // + of operands that are not both texts, both numbers or a date-time and a number.
    virtual QString addOther(const QString &l, ValueType lt, const QString &r, ValueType rt, ValueType *type) const = 0;
    virtual QString divide(const QString &l, const QString &op, const QString &r) const = 0;  // "/" or "%"
    virtual QString bitXor(const QString &l, const QString &r) const = 0;

    // --- casts ---
    virtual QString castToText(const QString &x, ValueType from, int style) const = 0;
    virtual QString castToInt(const QString &x, ValueType from) const = 0;
    virtual QString castToTemporal(const QString &x, ValueType to) const = 0;

protected:
    int nextGenerated() { return ++m_generated; }

private:
    int m_generated = 0;  // generated names of this batch (blank columns, sub-select aliases)
};

std::unique_ptr<Output> sqliteOutput();
std::unique_ptr<Output> postgresOutput();

}  // namespace tsql
