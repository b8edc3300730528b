#include "db/tsql_output.h"

#include "db/tsql.h"

#include <QSet>

namespace tsql {

namespace {

// PostgreSQL's reserved words: a name spelled like one is quoted there.
const QSet<QString> &postgresKeywords()
{
    static const QSet<QString> words = wordSet(
        "ALL ANALYSE ANALYZE AND ANY ARRAY AS ASC ASYMMETRIC AUTHORIZATION BINARY BOTH CASE CAST CHECK COLLATE "
        "COLLATION COLUMN CONCURRENTLY CONSTRAINT CREATE CROSS CURRENT_CATALOG CURRENT_DATE CURRENT_ROLE "
        "CURRENT_SCHEMA CURRENT_TIME CURRENT_TIMESTAMP CURRENT_USER DEFAULT DEFERRABLE DESC DISTINCT DO ELSE END "
        "EXCEPT FALSE FETCH FOR FOREIGN FREEZE FROM FULL GRANT GROUP HAVING ILIKE IN INITIALLY INNER INTERSECT INTO "
        "IS ISNULL JOIN LATERAL LEADING LEFT LIKE LIMIT LOCALTIME LOCALTIMESTAMP NATURAL NOT NOTNULL NULL OFFSET ON "
        "ONLY OR ORDER OUTER OVERLAPS PLACING PRIMARY REFERENCES RETURNING RIGHT SELECT SESSION_USER SIMILAR SOME "
        "SYMMETRIC TABLE TABLESAMPLE THEN TO TRAILING TRUE UNION UNIQUE USER USING VARIADIC VERBOSE WHEN WHERE "
        "WINDOW WITH");
    return words;
}

// A name as PostgreSQL reads it: unquoted names fold to lower case, so the schema's lower
// case names match however a statement spells them; others are quoted as they are.
QString quotePostgresName(const QString &name, bool exactCase)
{
    const bool plain = isPlainName(name);
    const QString lower = name.toLower();
    if (!exactCase && plain && !postgresKeywords().contains(name.toUpper()))
        return lower;
    QString q = exactCase || !plain ? name : lower;
    q.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + q + QLatin1Char('"');
}

// A date argument of the PostgreSQL date functions: dates and texts become timestamps.
QString asTimestamp(const QString &x, ValueType t)
{
    return t == ValueType::DateTime || t == ValueType::Time ? x : QStringLiteral("CAST(") + x + QStringLiteral(" AS timestamp)");
}

// CONVERT(varchar, x, style) of a date, time or date-time.
QString convertTemporal(const QString &x, int style, ValueType from)
{
    const bool timeOnly = from == ValueType::Time;
    const bool dateOnly = from == ValueType::Date;
    const bool century = style >= 100;
    const QString yy = century ? QStringLiteral("YYYY") : QStringLiteral("YY");
    const int base = style >= 100 ? style - 100 : style;
    QString format;
    switch (style) {
    case 0:
    case 100:
        if (timeOnly)
            format = QStringLiteral("HH24:MI:SS");
        else if (dateOnly)
            format = QStringLiteral("YYYY-MM-DD");
        else  // "Mar  5 2014  1:05PM"
            return QStringLiteral("(to_char(") + x + QStringLiteral(", 'Mon') || ' ' || lpad(to_char(") + x
                   + QStringLiteral(", 'FMDD'), 2) || ' ' || to_char(") + x + QStringLiteral(", 'YYYY') || ' ' || lpad(to_char(")
                   + x + QStringLiteral(", 'FMHH12'), 2) || to_char(") + x + QStringLiteral(", ':MIAM'))");
        break;
    case 8:
    case 108:
        format = QStringLiteral("HH24:MI:SS");
        break;
    case 20:
    case 120:
        format = QStringLiteral("YYYY-MM-DD HH24:MI:SS");
        break;
    case 21:
    case 121:
    case 25:
        format = QStringLiteral("YYYY-MM-DD HH24:MI:SS.MS");
        break;
    case 23:
        format = QStringLiteral("YYYY-MM-DD");
        break;
    case 126:
        format = QStringLiteral("YYYY-MM-DD\"T\"HH24:MI:SS.MS");
        break;
    default:
        switch (base) {
        case 1: format = QStringLiteral("MM/DD/") + yy; break;
        case 2: format = yy + QStringLiteral(".MM.DD"); break;
        case 3: format = QStringLiteral("DD/MM/") + yy; break;
        case 4: format = QStringLiteral("DD.MM.") + yy; break;
        case 5: format = QStringLiteral("DD-MM-") + yy; break;
        case 10: format = QStringLiteral("MM-DD-") + yy; break;
        case 11: format = yy + QStringLiteral("/MM/DD"); break;
        case 12: format = yy + QStringLiteral("MMDD"); break;
        default:
            failPrint(QStringLiteral("%1 is not a valid style number when converting from datetime to a character string.")
                          .arg(style));
        }
    }
    const QString value = timeOnly ? QStringLiteral("(DATE '1900-01-01' + ") + x + QLatin1Char(')') : x;
    return QStringLiteral("to_char(") + value + QStringLiteral(", '") + format + QStringLiteral("')");
}

// PostgreSQL with the project's schema: the helper functions live in the dbo schema and the
// text columns carry a case-insensitive collation.
class PostgresOutput final : public Output {
public:
    QString name(const QString &name) const override { return quotePostgresName(name, false); }

    // Result columns carry SQL Server's names, spelled as the statement spells them; a column
    // without a name gets a generated one that reads as blank.
    QString itemAlias(const ast::SelectItem &item, const QString &name, bool topLevel) override
    {
        if (item.expr->kind == ast::ExprKind::Star)
            return QString();
        if (topLevel)
            return QStringLiteral(" AS ")
                   + (name.isEmpty() ? QLatin1Char('"') + QLatin1String(kBlankColumnPrefix) + QString::number(nextGenerated())
                                           + QLatin1Char('"')
                                     : quotePostgresName(name, true));
        if (item.hasAlias && !name.isEmpty())
            return QStringLiteral(" AS ") + this->name(name);
        return QString();
    }

    // PostgreSQL wants a name for every sub-select in FROM.
    QString generatedAlias(const QString &prefix) override
    {
        return QStringLiteral(" AS ") + prefix + QString::number(nextGenerated());
    }
    // An output column: the select list named it in SQL Server's spelling.
    bool ordersByResultName() const override { return true; }
    QString resultName(const QString &name) const override { return quotePostgresName(name, true); }
    // SQL Server reads a table without ORDER BY in the order of its clustered key;
    // PostgreSQL's heap order changes with every update, and screens rely on the order.
    bool ordersByKey() const override { return true; }
    bool checksSingleRow() const override { return false; }  // the engine refuses more rows itself

    // The text columns carry the case-insensitive collation already.
    QString collateCi() const override { return QString(); }
    QString typeName(ValueType t) const override
    {
        return t == ValueType::Int ? QStringLiteral("integer") : QStringLiteral("double precision");
    }
    // NULL sorts below every value on SQL Server, in both directions.
    QString nullsOrder(bool desc) const override
    {
        return desc ? QStringLiteral(" NULLS LAST") : QStringLiteral(" NULLS FIRST");
    }
    // Literals take the other side's type on PostgreSQL.
    QString asTemporal(const QString &text, ValueType) const override { return text; }

    // The statement's own time in local time (not the transaction's, which would stand still
    // through a long transaction).
    QString getdate() const override { return QStringLiteral("CAST(statement_timestamp() AS timestamp(3))"); }
    QString getutcdate() const override
    {
        return QStringLiteral("CAST(statement_timestamp() AT TIME ZONE 'UTC' AS timestamp(3))");
    }
    QString identity() const override { return QStringLiteral("dbo.tsql_identity()"); }
    QString rowCount() const override { return QString(); }
    QString helperFunction(const QString &name) const override { return QStringLiteral("dbo.") + name; }
    QString rightFunction() const override { return QStringLiteral("right"); }
    // Cyrillic case mapping comes from ICU, not from the database's locale.
    QString caseMapping(const QString &function, const QString &arg) const override
    {
        return function + QStringLiteral("(CAST(") + arg + QStringLiteral(" AS text) COLLATE tsql_like)");
    }
    QString replaceFunction(bool) const override { return QStringLiteral("replace"); }
    QString integerAverage(const QString &avg) const override  // truncated, not rounded
    {
        return QStringLiteral("CAST(trunc(") + avg + QStringLiteral(") AS integer)");
    }

    QString dateArgument(const QString &x, ValueType t) const override { return asTimestamp(x, t); }
    QString dateDiff(const QString &part, const QString &a, ValueType at, const QString &b, ValueType bt) const override
    {
        const bool times = at == ValueType::Time && bt == ValueType::Time;
        return QStringLiteral("dbo.tsql_datediff(") + part + QLatin1Char(',')
               + (times ? a : asTimestamp(a, at == ValueType::Time ? ValueType::Unknown : at)) + QLatin1Char(',')
               + (times ? b : asTimestamp(b, bt == ValueType::Time ? ValueType::Unknown : bt)) + QLatin1Char(')');
    }
    QString dateAdd(const QString &part, const QString &n, const QString &date, ValueType dateType,
                    ValueType result) const override
    {
        const QString added = QStringLiteral("dbo.tsql_dateadd(") + part + QStringLiteral(",CAST(") + n
                              + QStringLiteral(" AS integer),")
                              + (dateType == ValueType::Time ? QStringLiteral("DATE '1900-01-01' + ") + date
                                                             : asTimestamp(date, dateType))
                              + QLatin1Char(')');
        if (result == ValueType::Date)
            return QStringLiteral("CAST(") + added + QStringLiteral(" AS date)");
        if (result == ValueType::Time)
            return QStringLiteral("CAST(") + added + QStringLiteral(" AS time(0))");
        return added;
    }
    QString addDays(const QString &dateTime, const QString &days, bool subtract) const override
    {
        return QLatin1Char('(') + dateTime + (subtract ? QStringLiteral(" - ") : QStringLiteral(" + ")) + days
               + QStringLiteral(" * INTERVAL '1 day')");
    }

    // LIKE is refused under the nondeterministic collation of the text columns: ILIKE under a
    // deterministic ICU one ignores case as the server's LIKE does.
    QString likeOperand(const QString &left, ValueType leftType) const override
    {
        return (leftType != ValueType::Text ? QStringLiteral("CAST(") + left + QStringLiteral(" AS text)") : left)
               + QStringLiteral(" COLLATE tsql_like");
    }
    QString likeOperator(bool negated) const override
    {
        return negated ? QStringLiteral(" NOT ILIKE ") : QStringLiteral(" ILIKE ");
    }
    // A backslash is an escape in PostgreSQL's LIKE by default, plain text in T-SQL's.
    QString defaultLikeEscape() const override { return QStringLiteral(" ESCAPE ''"); }
    // Text and a number add as numbers on the server (the text converted); two values of
    // unknown type concatenate when one is a text literal.
    QString addOther(const QString &l, ValueType lt, const QString &r, ValueType rt, ValueType *type) const override
    {
        if (lt == ValueType::Text && isNumeric(rt)) {
            *type = rt;
            return QStringLiteral("CAST(") + l + QStringLiteral(" AS ") + typeName(rt) + QStringLiteral(") + ") + r;
        }
        if (rt == ValueType::Text && isNumeric(lt)) {
            *type = lt;
            return l + QStringLiteral(" + CAST(") + r + QStringLiteral(" AS ") + typeName(lt) + QLatin1Char(')');
        }
        if (lt == ValueType::Text || rt == ValueType::Text) {
            *type = ValueType::Text;
            return QStringLiteral("CAST(") + l + QStringLiteral(" AS text) || CAST(") + r + QStringLiteral(" AS text)");
        }
        *type = ValueType::Unknown;
        return l + QStringLiteral(" + ") + r;
    }
    // Integer division truncates and division by zero fails there too.
    QString divide(const QString &l, const QString &op, const QString &r) const override
    {
        return l + QLatin1Char(' ') + op + QLatin1Char(' ') + r;
    }
    QString bitXor(const QString &l, const QString &r) const override { return l + QStringLiteral(" # ") + r; }

    QString castToText(const QString &x, ValueType from, int style) const override
    {
        return isTemporal(from) ? convertTemporal(x, qMax(style, 0), from) : QStringLiteral("CAST(") + x + QStringLiteral(" AS text)");
    }
    QString castToInt(const QString &x, ValueType from) const override  // a fraction is cut off, not rounded
    {
        return from == ValueType::Real ? QStringLiteral("CAST(trunc(") + x + QStringLiteral(") AS integer)")
                                       : QStringLiteral("CAST(") + x + QStringLiteral(" AS integer)");
    }
    QString castToTemporal(const QString &x, ValueType to) const override
    {
        const QString type = to == ValueType::Date ? QStringLiteral("date")
                             : to == ValueType::Time ? QStringLiteral("time(0)")
                                                     : QStringLiteral("timestamp(3)");
        return QStringLiteral("CAST(") + x + QStringLiteral(" AS ") + type + QLatin1Char(')');
    }
};

}  // namespace

std::unique_ptr<Output> postgresOutput()
{
    return std::make_unique<PostgresOutput>();
}

}  // namespace tsql
