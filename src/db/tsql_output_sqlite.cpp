#include "db/tsql_output.h"

#include <QSet>

namespace tsql {

namespace {

// SQLite's keywords: a name spelled like one is quoted in the output.
const QSet<QString> &sqliteKeywords()
{
    static const QSet<QString> words = wordSet(
        "ABORT ACTION ADD AFTER ALL ALTER ALWAYS ANALYZE AND AS ASC ATTACH AUTOINCREMENT BEFORE BEGIN BETWEEN BY "
        "CASCADE CASE CAST CHECK COLLATE COLUMN COMMIT CONFLICT CONSTRAINT CREATE CROSS CURRENT CURRENT_DATE "
        "CURRENT_TIME CURRENT_TIMESTAMP DATABASE DEFAULT DEFERRABLE DEFERRED DELETE DESC DETACH DISTINCT DO DROP "
        "EACH ELSE END ESCAPE EXCEPT EXCLUDE EXCLUSIVE EXISTS EXPLAIN FAIL FILTER FIRST FOLLOWING FOR FOREIGN FROM "
        "FULL GENERATED GLOB GROUP GROUPS HAVING IF IGNORE IMMEDIATE IN INDEX INDEXED INITIALLY INNER INSERT "
        "INSTEAD INTERSECT INTO IS ISNULL JOIN KEY LAST LEFT LIKE LIMIT MATCH MATERIALIZED NATURAL NO NOT NOTHING "
        "NOTNULL NULL NULLS OF OFFSET ON OR ORDER OTHERS OUTER OVER PARTITION PLAN PRAGMA PRECEDING PRIMARY QUERY "
        "RAISE RANGE RECURSIVE REFERENCES REGEXP REINDEX RELEASE RENAME REPLACE RESTRICT RETURNING RIGHT ROLLBACK "
        "ROW ROWS SAVEPOINT SELECT SET TABLE TEMP TEMPORARY THEN TIES TO TRANSACTION TRIGGER UNBOUNDED UNION "
        "UNIQUE UPDATE USING VACUUM VALUES VIEW VIRTUAL WHEN WHERE WINDOW WITH WITHOUT");
    return words;
}

// The embedded engine: SQLite with the tsql_* functions the connection registers.
class SqliteOutput final : public Output {
public:
    QString name(const QString &name) const override
    {
        if (isPlainName(name) && !sqliteKeywords().contains(name.toUpper()))
            return name;
        // Backticks, not double quotes: SQLite would read an unknown "name" as a text literal.
        QString q = name;
        q.replace(QLatin1Char('`'), QLatin1String("``"));
        return QLatin1Char('`') + q + QLatin1Char('`');
    }

    QString itemAlias(const ast::SelectItem &item, const QString &, bool topLevel) override
    {
        if (item.hasAlias)
            return QStringLiteral(" AS ") + (item.alias.isEmpty() ? QStringLiteral("\"\"") : name(item.alias));
        if (item.expr->kind == ast::ExprKind::Column || item.expr->kind == ast::ExprKind::Star || !topLevel)
            return QString();
        // The server gives an expression without alias no column name.
        return QStringLiteral(" AS \"\"");
    }

    QString generatedAlias(const QString &) override { return QString(); }
    bool ordersByResultName() const override { return false; }
    QString resultName(const QString &n) const override { return name(n); }
    bool ordersByKey() const override { return false; }
    // A scalar sub-select must yield at most one row, as on the server.
    bool checksSingleRow() const override { return true; }

    // SQLite needs the server's case-insensitive collation on the expression.
    QString collateCi() const override { return QStringLiteral(" COLLATE tsql_ci"); }
    QString typeName(ValueType t) const override
    {
        return t == ValueType::Int ? QStringLiteral("INTEGER") : QStringLiteral("REAL");
    }
    QString nullsOrder(bool) const override { return QString(); }  // NULL sorts first already
    // A text compared with a date becomes a date on the server; in storage form the two then
    // compare as texts. A date against a date-time counts as its midnight.
    QString asTemporal(const QString &text, ValueType target) const override
    {
        return castToTemporal(text, target);
    }

    QString getdate() const override { return QStringLiteral("tsql_getdate()"); }
    QString getutcdate() const override { return QStringLiteral("strftime('%Y-%m-%d %H:%M:%f','now')"); }
    QString identity() const override { return QStringLiteral("tsql_identity()"); }
    QString rowCount() const override { return QStringLiteral("changes()"); }
    QString helperFunction(const QString &name) const override { return name; }
    QString rightFunction() const override { return QStringLiteral("tsql_right"); }
    QString caseMapping(const QString &function, const QString &arg) const override
    {
        return QStringLiteral("tsql_") + function + QLatin1Char('(') + arg + QLatin1Char(')');
    }
    // The server's REPLACE follows the CI collation; with no letters to fold the built-in
    // one gives the same result and is faster.
    QString replaceFunction(bool patternHasLetters) const override
    {
        return patternHasLetters ? QStringLiteral("tsql_replace") : QStringLiteral("replace");
    }
    QString integerAverage(const QString &avg) const override
    {
        return QStringLiteral("CAST(") + avg + QStringLiteral(" AS INTEGER)");
    }

    QString dateArgument(const QString &x, ValueType) const override { return x; }
    QString dateDiff(const QString &part, const QString &a, ValueType, const QString &b, ValueType) const override
    {
        return QStringLiteral("tsql_datediff(") + part + QLatin1Char(',') + a + QLatin1Char(',') + b + QLatin1Char(')');
    }
    QString dateAdd(const QString &part, const QString &n, const QString &date, ValueType, ValueType result) const override
    {
        return QStringLiteral("tsql_dateadd(") + part + QLatin1Char(',') + n + QLatin1Char(',') + date
               + QStringLiteral(",'") + temporalName(result) + QStringLiteral("')");
    }
    QString addDays(const QString &dateTime, const QString &days, bool subtract) const override
    {
        return QStringLiteral("tsql_dateadd('day',") + (subtract ? QStringLiteral("-") : QString()) + days
               + QLatin1Char(',') + dateTime + QLatin1Char(')');
    }

    QString likeOperand(const QString &left, ValueType) const override { return left; }
    QString likeOperator(bool negated) const override
    {
        return negated ? QStringLiteral(" NOT LIKE ") : QStringLiteral(" LIKE ");
    }
    QString defaultLikeEscape() const override { return QString(); }
    // Types known only at run time: the function decides by the values.
    QString addOther(const QString &l, ValueType, const QString &r, ValueType, ValueType *type) const override
    {
        *type = ValueType::Unknown;
        return QStringLiteral("tsql_add(") + l + QLatin1Char(',') + r + QLatin1Char(')');
    }
    QString divide(const QString &l, const QString &op, const QString &r) const override
    {
        return (op == QLatin1String("/") ? QStringLiteral("tsql_div(") : QStringLiteral("tsql_mod(")) + l
               + QLatin1Char(',') + r + QLatin1Char(')');
    }
    QString bitXor(const QString &l, const QString &r) const override
    {
        return QStringLiteral("((") + l + QStringLiteral(" | ") + r + QStringLiteral(") - (") + l + QStringLiteral(" & ")
               + r + QStringLiteral("))");
    }

    QString castToText(const QString &x, ValueType from, int style) const override
    {
        if (isTemporal(from) || style >= 0)
            return QStringLiteral("tsql_convert(") + x + QLatin1Char(',') + QString::number(qMax(style, 0))
                   + QStringLiteral(",'") + temporalName(from) + QStringLiteral("')");
        return QStringLiteral("CAST(") + x + QStringLiteral(" AS TEXT)");
    }
    QString castToInt(const QString &x, ValueType from) const override
    {
        if (isNumeric(from))
            return QStringLiteral("CAST(") + x + QStringLiteral(" AS INTEGER)");
        return QStringLiteral("tsql_int(") + x + QLatin1Char(')');
    }
    QString castToTemporal(const QString &x, ValueType to) const override
    {
        return QStringLiteral("tsql_") + temporalName(to) + QLatin1Char('(') + x + QLatin1Char(')');
    }
};

}  // namespace

std::unique_ptr<Output> sqliteOutput()
{
    return std::make_unique<SqliteOutput>();
}

}  // namespace tsql
