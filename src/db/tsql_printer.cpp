#include "db/tsql_printer.h"

#include <QHash>
#include <QRegularExpression>
#include <QSet>

namespace tsql {

using namespace ast;

namespace {

using ColumnTypes = QHash<QString, ValueType>;

const QHash<QString, ColumnTypes> &schemaTypes()
{
    using T = ValueType;
    static const QHash<QString, ColumnTypes> tables = {
        {QStringLiteral("zasedanie"),
         {{QStringLiteral("id"), T::Int}, {QStringLiteral("data"), T::Date}, {QStringLiteral("opisanie"), T::Text},
          {QStringLiteral("vremya"), T::Time}, {QStringLiteral("start"), T::DateTime},
          {QStringLiteral("stop"), T::DateTime}}},
        {QStringLiteral("povestka"),
         {{QStringLiteral("id"), T::Int}, {QStringLiteral("id_zasedanie"), T::Int}, {QStringLiteral("tip"), T::Int},
          {QStringLiteral("nomer"), T::Int}, {QStringLiteral("ord"), T::Int}, {QStringLiteral("opisanie"), T::Text},
          {QStringLiteral("info"), T::Text}, {QStringLiteral("aktiv"), T::Int},
          {QStringLiteral("aktiv_data"), T::DateTime}}},
        {QStringLiteral("faili"),
         {{QStringLiteral("id"), T::Int}, {QStringLiteral("id_povestka"), T::Int}, {QStringLiteral("fail"), T::Text},
          {QStringLiteral("opisanie"), T::Text}, {QStringLiteral("put"), T::Text}}},
        {QStringLiteral("regim_golos"),
         {{QStringLiteral("id"), T::Int}, {QStringLiteral("opisanie"), T::Text}, {QStringLiteral("regim"), T::Text},
          {QStringLiteral("ord"), T::Int}}},
        {QStringLiteral("povestka_regim"),
         {{QStringLiteral("id"), T::Int}, {QStringLiteral("id_povestka"), T::Int},
          {QStringLiteral("id_regim"), T::Int}, {QStringLiteral("ord"), T::Int}}},
        {QStringLiteral("golosovanie"),
         {{QStringLiteral("id"), T::Int}, {QStringLiteral("data"), T::DateTime}, {QStringLiteral("regim"), T::Text},
          {QStringLiteral("tip"), T::Int}, {QStringLiteral("vid"), T::Int}, {QStringLiteral("isbrano"), T::Int},
          {QStringLiteral("prisutstvuet"), T::Int}, {QStringLiteral("regim_polsov"), T::Text},
          {QStringLiteral("nuzno"), T::Int}, {QStringLiteral("zak"), T::Int}, {QStringLiteral("id_povestka"), T::Int},
          {QStringLiteral("id_sessia"), T::Int}}},
        {QStringLiteral("otvet"),
         {{QStringLiteral("id"), T::Int}, {QStringLiteral("id_deputat"), T::Int}, {QStringLiteral("id_povestka"), T::Int},
          {QStringLiteral("result"), T::Int}, {QStringLiteral("id_golosovanie"), T::Int}}},
        {QStringLiteral("sessia_start"),
         {{QStringLiteral("id"), T::Int}, {QStringLiteral("id_zasedanie"), T::Int},
          {QStringLiteral("start"), T::DateTime}, {QStringLiteral("stop"), T::DateTime}}},
        {QStringLiteral("sessia"),
         {{QStringLiteral("id_deputat"), T::Int}, {QStringLiteral("id_sessia"), T::Int},
          {QStringLiteral("id_zasedanie"), T::Int}}},
        {QStringLiteral("proshu_slovo"), {{QStringLiteral("id"), T::Int}, {QStringLiteral("id_mesto"), T::Int}}},
        {QStringLiteral("deputat"),
         {{QStringLiteral("id"), T::Int}, {QStringLiteral("familia"), T::Text}, {QStringLiteral("imya"), T::Text},
          {QStringLiteral("otchestvo"), T::Text}}},
        {QStringLiteral("mesto"),
         {{QStringLiteral("id"), T::Int}, {QStringLiteral("nomer"), T::Text}, {QStringLiteral("connected"), T::Int},
          {QStringLiteral("podkl"), T::DateTime}}},
        {QStringLiteral("sostav"),
         {{QStringLiteral("id"), T::Int}, {QStringLiteral("id_deputat"), T::Int}, {QStringLiteral("id_mesto"), T::Int},
          {QStringLiteral("chairman"), T::Int}}},
        {QStringLiteral("konstanti"), {{QStringLiteral("opisanie"), T::Text}, {QStringLiteral("znachenie"), T::Text}}},
        {QStringLiteral("regim"),
         {{QStringLiteral("nomer"), T::Int}, {QStringLiteral("param1"), T::Int}, {QStringLiteral("param2"), T::Int}}},
        {QStringLiteral("logins"), {{QStringLiteral("login"), T::Text}, {QStringLiteral("password"), T::Text}}},
    };
    return tables;
}

// SQLite's keywords: a name spelled like one is quoted in the output.
const QSet<QString> &sqliteKeywords()
{
    static const QSet<QString> words = [] {
        const char *list =
            "ABORT ACTION ADD AFTER ALL ALTER ALWAYS ANALYZE AND AS ASC ATTACH AUTOINCREMENT BEFORE BEGIN BETWEEN BY "
            "CASCADE CASE CAST CHECK COLLATE COLUMN COMMIT CONFLICT CONSTRAINT CREATE CROSS CURRENT CURRENT_DATE "
            "CURRENT_TIME CURRENT_TIMESTAMP DATABASE DEFAULT DEFERRABLE DEFERRED DELETE DESC DETACH DISTINCT DO DROP "
            "EACH ELSE END ESCAPE EXCEPT EXCLUDE EXCLUSIVE EXISTS EXPLAIN FAIL FILTER FIRST FOLLOWING FOR FOREIGN FROM "
            "FULL GENERATED GLOB GROUP GROUPS HAVING IF IGNORE IMMEDIATE IN INDEX INDEXED INITIALLY INNER INSERT "
            "INSTEAD INTERSECT INTO IS ISNULL JOIN KEY LAST LEFT LIKE LIMIT MATCH MATERIALIZED NATURAL NO NOT NOTHING "
            "NOTNULL NULL NULLS OF OFFSET ON OR ORDER OTHERS OUTER OVER PARTITION PLAN PRAGMA PRECEDING PRIMARY QUERY "
            "RAISE RANGE RECURSIVE REFERENCES REGEXP REINDEX RELEASE RENAME REPLACE RESTRICT RETURNING RIGHT ROLLBACK "
            "ROW ROWS SAVEPOINT SELECT SET TABLE TEMP TEMPORARY THEN TIES TO TRANSACTION TRIGGER UNBOUNDED UNION "
            "UNIQUE UPDATE USING VACUUM VALUES VIEW VIRTUAL WHEN WHERE WINDOW WITH WITHOUT";
        QSet<QString> s;
        for (const QString &w : QString::fromLatin1(list).split(QLatin1Char(' ')))
            s.insert(w);
        return s;
    }();
    return words;
}

QString quoteSqliteName(const QString &name)
{
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    if (plain.match(name).hasMatch() && !sqliteKeywords().contains(name.toUpper()))
        return name;
    // Backticks, not double quotes: SQLite would read an unknown "name" as a text literal.
    QString q = name;
    q.replace(QLatin1Char('`'), QLatin1String("``"));
    return QLatin1Char('`') + q + QLatin1Char('`');
}

// PostgreSQL's reserved words: a name spelled like one is quoted there.
const QSet<QString> &postgresKeywords()
{
    static const QSet<QString> words = [] {
        const char *list =
            "ALL ANALYSE ANALYZE AND ANY ARRAY AS ASC ASYMMETRIC AUTHORIZATION BINARY BOTH CASE CAST CHECK COLLATE "
            "COLLATION COLUMN CONCURRENTLY CONSTRAINT CREATE CROSS CURRENT_CATALOG CURRENT_DATE CURRENT_ROLE "
            "CURRENT_SCHEMA CURRENT_TIME CURRENT_TIMESTAMP CURRENT_USER DEFAULT DEFERRABLE DESC DISTINCT DO ELSE END "
            "EXCEPT FALSE FETCH FOR FOREIGN FREEZE FROM FULL GRANT GROUP HAVING ILIKE IN INITIALLY INNER INTERSECT INTO "
            "IS ISNULL JOIN LATERAL LEADING LEFT LIKE LIMIT LOCALTIME LOCALTIMESTAMP NATURAL NOT NOTNULL NULL OFFSET ON "
            "ONLY OR ORDER OUTER OVERLAPS PLACING PRIMARY REFERENCES RETURNING RIGHT SELECT SESSION_USER SIMILAR SOME "
            "SYMMETRIC TABLE TABLESAMPLE THEN TO TRAILING TRUE UNION UNIQUE USER USING VARIADIC VERBOSE WHEN WHERE "
            "WINDOW WITH";
        QSet<QString> s;
        for (const QString &w : QString::fromLatin1(list).split(QLatin1Char(' ')))
            s.insert(w);
        return s;
    }();
    return words;
}

// A name as PostgreSQL reads it: unquoted names fold to lower case, so the schema's lower
// case names match however a statement spells them; others are quoted as they are.
QString quotePostgresName(const QString &name, bool exactCase = false)
{
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    const QString lower = name.toLower();
    if (!exactCase && plain.match(name).hasMatch() && !postgresKeywords().contains(name.toUpper()))
        return lower;
    QString q = exactCase || !plain.match(name).hasMatch() ? name : lower;
    q.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + q + QLatin1Char('"');
}

QString quoteText(const QString &value)
{
    QString q = value;
    q.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + q + QLatin1Char('\'');
}

bool isNumeric(ValueType t)
{
    return t == ValueType::Int || t == ValueType::Real;
}

bool isTemporal(ValueType t)
{
    return t == ValueType::Date || t == ValueType::Time || t == ValueType::DateTime;
}

QString temporalName(ValueType t)
{
    switch (t) {
    case ValueType::Date:
        return QStringLiteral("date");
    case ValueType::Time:
        return QStringLiteral("time");
    case ValueType::DateTime:
        return QStringLiteral("datetime");
    default:
        return QString();
    }
}

// A text compared with a date becomes a date on the server; in storage form the two then
// compare as texts. A date against a date-time counts as its midnight.
QString asTemporal(const QString &text, ValueType target)
{
    return QStringLiteral("tsql_") + temporalName(target) + QLatin1Char('(') + text + QLatin1Char(')');
}

void alignForComparison(QString *l, ValueType lt, QString *r, ValueType rt)
{
    if (isTemporal(lt) && rt == ValueType::Text)
        *r = asTemporal(*r, lt);
    else if (isTemporal(rt) && lt == ValueType::Text)
        *l = asTemporal(*l, rt);
    else if (lt == ValueType::DateTime && rt == ValueType::Date)
        *r = asTemporal(*r, lt);
    else if (rt == ValueType::DateTime && lt == ValueType::Date)
        *l = asTemporal(*l, rt);
}

bool containsAggregate(const Expr &e)
{
    if (e.kind == ExprKind::Func) {
        static const QSet<QString> aggregates = {QStringLiteral("COUNT"), QStringLiteral("SUM"),
                                                 QStringLiteral("MIN"), QStringLiteral("MAX"),
                                                 QStringLiteral("AVG"), QStringLiteral("COUNT_BIG")};
        if (aggregates.contains(e.name))
            return true;
    }
    for (const ExprPtr &a : e.args)
        if (a && containsAggregate(*a))
            return true;
    return false;  // sub-selects aggregate on their own level
}

struct Source {
    QString key;    // alias, or the table name when there is none (lower case)
    QString table;  // schema table (lower case), empty for a derived table
    ColumnTypes derived;
};

struct Scope {
    const Scope *outer = nullptr;
    std::vector<Source> sources;
    const ColumnTypes *aliases = nullptr;  // the select list, for ORDER BY

    bool lookup(const Source &src, const QString &column, ValueType *type) const
    {
        if (!src.table.isEmpty()) {
            const auto t = schemaTypes().constFind(src.table);
            if (t == schemaTypes().constEnd())
                return false;
            const auto c = t->constFind(column);
            if (c == t->constEnd())
                return false;
            *type = *c;
            return true;
        }
        const auto c = src.derived.constFind(column);
        if (c == src.derived.constEnd())
            return false;
        *type = *c;
        return true;
    }

    ValueType resolve(const QStringList &qualifier, const QString &name) const
    {
        const QString column = name.toLower();
        if (qualifier.isEmpty() && aliases) {
            const auto a = aliases->constFind(column);
            if (a != aliases->constEnd())
                return *a;
        }
        for (const Scope *s = this; s; s = s->outer) {
            if (!qualifier.isEmpty()) {
                const QString q = qualifier.last().toLower();
                for (const Source &src : s->sources) {
                    if (src.key == q) {
                        ValueType t = ValueType::Unknown;
                        return s->lookup(src, column, &t) ? t : ValueType::Unknown;
                    }
                }
                continue;
            }
            int matches = 0;
            ValueType found = ValueType::Unknown;
            bool conflict = false;
            for (const Source &src : s->sources) {
                ValueType t = ValueType::Unknown;
                if (s->lookup(src, column, &t)) {
                    if (matches && t != found)
                        conflict = true;
                    found = t;
                    ++matches;
                }
            }
            if (matches)
                return conflict ? ValueType::Unknown : found;
        }
        return ValueType::Unknown;
    }
};

struct PrintError {
    QString message;
};

class Printer {
public:
    explicit Printer(Dialect dialect) : m_pg(dialect == Dialect::Postgres) {}

    QString statement(const Statement &s)
    {
        switch (s.kind) {
        case StatementKind::Select: {
            std::vector<std::pair<QString, ValueType>> columns;
            return select(*s.select, nullptr, true, &columns);
        }
        case StatementKind::Insert:
            return insert(s);
        case StatementKind::Update:
            return update(s);
        case StatementKind::Delete: {
            Scope scope;
            scope.sources.push_back(Source{s.table.toLower(), s.table.toLower(), {}});
            QString out = QStringLiteral("DELETE FROM ") + quoteName(s.table);
            if (s.where)
                out += QStringLiteral(" WHERE ") + expr(*s.where, scope);
            return out;
        }
        case StatementKind::Raw:
            return s.raw;
        case StatementKind::Empty:
            return QString();
        }
        return QString();
    }

private:
    [[noreturn]] static void fail(const QString &message) { throw PrintError{message}; }

    // --- what differs between the engines' texts -------------------------------------------

    bool m_pg = false;
    int m_generated = 0;  // generated names of this statement (blank columns, sub-select aliases)

    QString quoteName(const QString &name) const
    {
        return m_pg ? quotePostgresName(name) : quoteSqliteName(name);
    }
    // The server's case-insensitive comparison: SQLite needs the collation on the expression,
    // PostgreSQL's text columns carry it already.
    QString ci() const { return m_pg ? QString() : QStringLiteral(" COLLATE tsql_ci"); }
    QString intType() const { return m_pg ? QStringLiteral("integer") : QStringLiteral("INTEGER"); }
    QString realType() const { return m_pg ? QStringLiteral("double precision") : QStringLiteral("REAL"); }
    QString getdate() const
    {
        // The statement's own time in local time (not the transaction's, which would stand
        // still through a long transaction).
        return m_pg ? QStringLiteral("CAST(statement_timestamp() AS timestamp(3))") : QStringLiteral("tsql_getdate()");
    }
    QString identity() const { return m_pg ? QStringLiteral("dbo.tsql_identity()") : QStringLiteral("tsql_identity()"); }
    QString blankName() { return QLatin1Char('"') + QLatin1String(kBlankColumnPrefix) + QString::number(++m_generated) + QLatin1Char('"'); }
    // A date argument of the PostgreSQL date functions: dates and texts become timestamps.
    static QString asTimestamp(const QString &x, ValueType t)
    {
        return t == ValueType::DateTime || t == ValueType::Time ? x : QStringLiteral("CAST(") + x + QStringLiteral(" AS timestamp)");
    }
    // CONVERT(varchar, x, style) of a date, time or date-time on PostgreSQL.
    QString postgresConvert(const QString &x, int style, ValueType from)
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
                fail(QStringLiteral("%1 is not a valid style number when converting from datetime to a character string.")
                         .arg(style));
            }
        }
        const QString value = timeOnly ? QStringLiteral("(DATE '1900-01-01' + ") + x + QLatin1Char(')') : x;
        return QStringLiteral("to_char(") + value + QStringLiteral(", '") + format + QStringLiteral("')");
    }

    QString insert(const Statement &s)
    {
        QString out = QStringLiteral("INSERT INTO ") + quoteName(s.table);
        if (!s.columns.isEmpty()) {
            QStringList cols;
            for (const QString &c : s.columns)
                cols << quoteName(c);
            out += QStringLiteral(" (") + cols.join(QLatin1Char(',')) + QLatin1Char(')');
        }
        if (s.defaultValues)
            return out + QStringLiteral(" DEFAULT VALUES");
        if (s.select) {
            std::vector<std::pair<QString, ValueType>> columns;
            return out + QLatin1Char(' ') + select(*s.select, nullptr, false, &columns);
        }
        Scope none;
        QStringList rows;
        for (const auto &row : s.rows) {
            QStringList values;
            for (const ExprPtr &v : row)
                values << expr(*v, none);
            rows << QLatin1Char('(') + values.join(QLatin1Char(',')) + QLatin1Char(')');
        }
        return out + QStringLiteral(" VALUES ") + rows.join(QLatin1Char(','));
    }

    QString update(const Statement &s)
    {
        Scope scope;
        scope.sources.push_back(Source{s.table.toLower(), s.table.toLower(), {}});
        QString fromText;
        if (!s.from.empty())
            fromText = from(s.from, &scope);
        QStringList sets;
        for (const Assignment &a : s.sets)
            sets << quoteName(a.column) + QStringLiteral(" = ") + expr(*a.value, scope);
        QString out = QStringLiteral("UPDATE ") + quoteName(s.table) + QStringLiteral(" SET ") + sets.join(QStringLiteral(", "));
        if (!fromText.isEmpty())
            out += QStringLiteral(" FROM ") + fromText;
        if (s.where)
            out += QStringLiteral(" WHERE ") + expr(*s.where, scope);
        return out;
    }

    // A whole SELECT, compound or not. `columns` receives the result's names and types.
    QString select(const Select &sel, const Scope *outer, bool topLevel,
                   std::vector<std::pair<QString, ValueType>> *columns, bool checkSingleRow = false)
    {
        const bool compound = sel.cores.size() > 1;
        QStringList parts;
        Scope firstScope;
        ColumnTypes aliasTypes;
        for (size_t i = 0; i < sel.cores.size(); ++i) {
            const SelectCore &core = sel.cores[i];
            Scope scope;
            scope.outer = outer;
            std::vector<std::pair<QString, ValueType>> coreColumns;
            QString text = coreText(core, &scope, topLevel, &coreColumns, checkSingleRow && !compound);
            if (core.top && compound) {
                // TOP inside a compound limits that member only.
                text = QStringLiteral("SELECT * FROM (") + text + QStringLiteral(" LIMIT ") + limit(*core.top)
                       + (m_pg ? QStringLiteral(") AS tsql_top%1").arg(++m_generated) : QStringLiteral(")"));
            }
            if (i == 0) {
                *columns = coreColumns;
                firstScope = scope;
                for (const auto &c : coreColumns)
                    if (!c.first.isEmpty())
                        aliasTypes.insert(c.first.toLower(), c.second);
            } else {
                parts << sel.ops[int(i) - 1];
            }
            parts << text;
        }
        QString out = parts.join(QLatin1Char(' '));
        if (!sel.orderBy.empty()) {
            Scope orderScope = compound ? Scope{} : firstScope;
            orderScope.outer = compound ? nullptr : firstScope.outer;
            orderScope.aliases = &aliasTypes;
            QStringList items;
            for (const OrderItem &o : sel.orderBy) {
                ValueType t = ValueType::Unknown;
                QString text;
                if (o.expr->kind == ExprKind::Number && !o.expr->text.contains(QLatin1Char('.'))) {
                    const int n = o.expr->text.toInt();
                    if (n < 1 || n > int(columns->size()))
                        fail(QStringLiteral("The ORDER BY position number %1 is out of range of the number of items in the select list.")
                                 .arg(o.expr->text));
                    t = (*columns)[size_t(n - 1)].second;
                    text = o.expr->text;
                } else if (m_pg && topLevel && o.expr->kind == ExprKind::Column && o.expr->qualifier.isEmpty()
                           && outputName(*columns, o.expr->name, &text)) {
                    // An output column: the select list named it in SQL Server's spelling.
                    t = orderScope.resolve({}, o.expr->name);
                } else {
                    text = expr(*o.expr, orderScope, &t);
                }
                // Text sorts as the server's case-insensitive Cyrillic collation does.
                if (t == ValueType::Text)
                    text += ci();
                if (o.desc)
                    text += QStringLiteral(" DESC");
                // NULL sorts below every value on SQL Server, in both directions.
                if (m_pg)
                    text += o.desc ? QStringLiteral(" NULLS LAST") : QStringLiteral(" NULLS FIRST");
                items << text;
            }
            out += QStringLiteral(" ORDER BY ") + items.join(QLatin1Char(','));
        }
        else if (m_pg && topLevel && !compound && keyOrderApplies(sel.cores[0]))
            // SQL Server reads a table without ORDER BY in the order of its clustered key;
            // PostgreSQL's heap order changes with every update, and screens rely on the order.
            out += QStringLiteral(" ORDER BY ") + quoteName(sel.cores[0].from[0].table.alias.isEmpty()
                                                              ? sel.cores[0].from[0].table.name
                                                              : sel.cores[0].from[0].table.alias)
                   + QStringLiteral(".id");
        if (!compound && sel.cores[0].top)
            out += QStringLiteral(" LIMIT ") + limit(*sel.cores[0].top);
        return out;
    }

    // One schema table with an identity key, no grouping, no aggregate, no DISTINCT.
    static bool keyOrderApplies(const SelectCore &core)
    {
        if (core.from.size() != 1 || core.from[0].table.derived || core.distinct || !core.groupBy.empty() || core.having)
            return false;
        for (const SelectItem &item : core.items)
            if (containsAggregate(*item.expr))
                return false;
        return schemaColumnType(core.from[0].table.name, QStringLiteral("id")) == ValueType::Int
               && core.from[0].table.name.compare(QLatin1String("sessia"), Qt::CaseInsensitive) != 0;
    }

    static bool outputName(const std::vector<std::pair<QString, ValueType>> &columns, const QString &name, QString *text)
    {
        for (const auto &c : columns) {
            if (!c.first.isEmpty() && c.first.compare(name, Qt::CaseInsensitive) == 0) {
                *text = quotePostgresName(c.first, true);
                return true;
            }
        }
        return false;
    }

    QString limit(const Expr &top)
    {
        Scope none;
        return expr(top, none);
    }

    QString coreText(const SelectCore &core, Scope *scope, bool topLevel,
                     std::vector<std::pair<QString, ValueType>> *columns, bool checkSingleRow)
    {
        QString out = QStringLiteral("SELECT ");
        if (core.distinct)
            out += QStringLiteral("DISTINCT ");
        QString fromText;
        if (!core.from.empty())
            fromText = from(core.from, scope);

        // A scalar sub-select must yield at most one row, as on the server: a plain
        // one-column select is turned into an aggregate that counts its rows.
        const bool single = !m_pg && checkSingleRow && !core.distinct && !core.top && core.groupBy.empty() && !core.having
                            && core.items.size() == 1 && core.items[0].expr->kind != ExprKind::Star
                            && !containsAggregate(*core.items[0].expr) && !core.from.empty();

        QStringList items;
        for (const SelectItem &item : core.items) {
            ValueType t = ValueType::Unknown;
            QString text = expr(*item.expr, *scope, &t);
            if (single)
                text = QStringLiteral("tsql_single(count(*), ") + text + QLatin1Char(')');
            QString name;
            if (m_pg) {
                // Result columns carry SQL Server's names, spelled as the statement spells
                // them; a column without a name gets a generated one that reads as blank.
                if (item.hasAlias)
                    name = item.alias;
                else if (item.expr->kind == ExprKind::Column)
                    name = item.expr->name;
                if (item.expr->kind == ExprKind::Star)
                    ;
                else if (topLevel)
                    text += QStringLiteral(" AS ") + (name.isEmpty() ? blankName() : quotePostgresName(name, true));
                else if (item.hasAlias && !name.isEmpty())
                    text += QStringLiteral(" AS ") + quoteName(name);
            } else if (item.hasAlias) {
                name = item.alias;
                text += QStringLiteral(" AS ") + (item.alias.isEmpty() ? QStringLiteral("\"\"") : quoteName(item.alias));
            } else if (item.expr->kind == ExprKind::Column) {
                name = item.expr->name;
            } else if (item.expr->kind == ExprKind::Star) {
                name = QString();
            } else if (topLevel) {
                // The server gives an expression without alias no column name.
                text += QStringLiteral(" AS \"\"");
            }
            if (item.expr->kind != ExprKind::Star)
                columns->push_back({name, t});
            items << text;
        }
        out += items.join(QLatin1Char(','));
        if (!fromText.isEmpty())
            out += QStringLiteral(" FROM ") + fromText;
        if (core.where)
            out += QStringLiteral(" WHERE ") + expr(*core.where, *scope);
        if (!core.groupBy.empty()) {
            QStringList groups;
            for (const ExprPtr &g : core.groupBy)
                groups << expr(*g, *scope);
            out += QStringLiteral(" GROUP BY ") + groups.join(QLatin1Char(','));
        }
        if (core.having)
            out += QStringLiteral(" HAVING ") + expr(*core.having, *scope);
        return out;
    }

    // Registers the sources in `scope` first (so ON clauses see every table), then prints.
    QString from(const std::vector<Join> &joins, Scope *scope)
    {
        std::vector<QString> tableTexts;
        for (const Join &j : joins) {
            Source src;
            if (j.table.derived) {
                std::vector<std::pair<QString, ValueType>> cols;
                const QString inner = select(*j.table.derived, scope->outer, false, &cols);
                for (const auto &c : cols)
                    src.derived.insert(c.first.toLower(), c.second);
                src.key = j.table.alias.toLower();
                tableTexts.push_back(QLatin1Char('(') + inner + QLatin1Char(')'));
            } else {
                src.table = j.table.name.toLower();
                src.key = j.table.alias.isEmpty() ? src.table : j.table.alias.toLower();
                tableTexts.push_back(quoteName(j.table.name));
            }
            if (!j.table.alias.isEmpty())
                tableTexts.back() += QLatin1Char(' ') + quoteName(j.table.alias);
            else if (j.table.derived && m_pg)  // PostgreSQL wants a name for every sub-select in FROM
                tableTexts.back() += QStringLiteral(" AS tsql_sub%1").arg(++m_generated);
            scope->sources.push_back(src);
        }
        QString out;
        for (size_t i = 0; i < joins.size(); ++i) {
            const Join &j = joins[i];
            if (i > 0)
                out += j.type.isEmpty() ? QStringLiteral(", ") : QLatin1Char(' ') + j.type + QLatin1Char(' ');
            out += tableTexts[i];
            if (j.on)
                out += QStringLiteral(" ON ") + expr(*j.on, *scope);
        }
        return out;
    }

    // --- expressions --------------------------------------------------------------------

    QString operand(const Expr &e, const Scope &scope, ValueType *type)
    {
        const QString text = expr(e, scope, type);
        switch (e.kind) {
        case ExprKind::Binary:
        case ExprKind::Like:
        case ExprKind::Between:
        case ExprKind::InList:
        case ExprKind::InSelect:
        case ExprKind::IsNull:
        case ExprKind::Unary:
            return QLatin1Char('(') + text + QLatin1Char(')');
        default:
            return text;
        }
    }

    QString expr(const Expr &e, const Scope &scope, ValueType *type = nullptr)
    {
        ValueType dummy;
        if (!type)
            type = &dummy;
        *type = ValueType::Unknown;
        switch (e.kind) {
        case ExprKind::String:
            *type = ValueType::Text;
            return quoteText(e.text);
        case ExprKind::Number:
            *type = e.text.contains(QLatin1Char('.')) || e.text.contains(QLatin1Char('e'), Qt::CaseInsensitive)
                        ? ValueType::Real
                        : ValueType::Int;
            return e.text;
        case ExprKind::Null:
            *type = ValueType::Null;
            return QStringLiteral("NULL");
        case ExprKind::Column: {
            *type = scope.resolve(e.qualifier, e.name);
            QString out;
            if (!e.qualifier.isEmpty())
                out = quoteName(e.qualifier.last()) + QLatin1Char('.');
            return out + quoteName(e.name);
        }
        case ExprKind::Star:
            return e.qualifier.isEmpty() ? QStringLiteral("*") : quoteName(e.qualifier.last()) + QStringLiteral(".*");
        case ExprKind::Variable: {
            const QString v = e.text.toUpper();
            if (v == QLatin1String("@@IDENTITY")) {
                *type = ValueType::Int;
                return identity();
            }
            if (v == QLatin1String("@@ROWCOUNT") && !m_pg) {
                *type = ValueType::Int;
                return QStringLiteral("changes()");
            }
            fail(QStringLiteral("Must declare the scalar variable \"%1\".").arg(e.text));
        }
        case ExprKind::Keyword:
            *type = ValueType::DateTime;
            return getdate();
        case ExprKind::Func:
            return function(e, scope, type);
        case ExprKind::DatePartFunc:
            return datePartFunction(e, scope, type);
        case ExprKind::Cast:
            return cast(e, scope, type);
        case ExprKind::Binary:
            return binary(e, scope, type);
        case ExprKind::Unary: {
            ValueType t;
            const QString inner = operand(*e.args[0], scope, &t);
            if (e.op == QLatin1String("NOT")) {
                *type = ValueType::Int;
                return QStringLiteral("NOT ") + inner;
            }
            *type = t;
            return e.op + inner;
        }
        case ExprKind::Paren:
            return QLatin1Char('(') + expr(*e.args[0], scope, type) + QLatin1Char(')');
        case ExprKind::Case: {
            QString out = QStringLiteral("CASE");
            size_t i = 0;
            if (e.hasOperand)
                out += QLatin1Char(' ') + expr(*e.args[i++], scope);
            const size_t whenEnd = e.args.size() - (e.hasElse ? 1 : 0);
            ValueType result = ValueType::Unknown;
            auto take = [&](ValueType t) {
                if (result == ValueType::Unknown || result == ValueType::Null)
                    result = t;
            };
            for (; i < whenEnd; i += 2) {
                ValueType t;
                out += QStringLiteral(" WHEN ") + expr(*e.args[i], scope);
                out += QStringLiteral(" THEN ") + expr(*e.args[i + 1], scope, &t);
                take(t);
            }
            if (e.hasElse) {
                ValueType t;
                out += QStringLiteral(" ELSE ") + expr(*e.args.back(), scope, &t);
                take(t);
            }
            *type = result == ValueType::Null ? ValueType::Unknown : result;
            return out + QStringLiteral(" END");
        }
        case ExprKind::Subquery: {
            std::vector<std::pair<QString, ValueType>> cols;
            const QString inner = select(*e.select, &scope, false, &cols, true);
            if (!cols.empty())
                *type = cols[0].second;
            return QLatin1Char('(') + inner + QLatin1Char(')');
        }
        case ExprKind::Exists: {
            std::vector<std::pair<QString, ValueType>> cols;
            *type = ValueType::Int;
            return QStringLiteral("EXISTS (") + select(*e.select, &scope, false, &cols) + QLatin1Char(')');
        }
        case ExprKind::InList: {
            ValueType lt;
            QString left = operand(*e.args[0], scope, &lt);
            QStringList items;
            for (size_t i = 1; i < e.args.size(); ++i) {
                ValueType t;
                QString item = expr(*e.args[i], scope, &t);
                if (isTemporal(lt) && t == ValueType::Text && !m_pg)
                    item = asTemporal(item, lt);
                items << item;
            }
            if (lt == ValueType::Text)
                left += ci();
            *type = ValueType::Int;
            return left + (e.negated ? QStringLiteral(" NOT IN (") : QStringLiteral(" IN (")) + items.join(QLatin1Char(','))
                   + QLatin1Char(')');
        }
        case ExprKind::InSelect: {
            std::vector<std::pair<QString, ValueType>> cols;
            *type = ValueType::Int;
            const QString left = operand(*e.args[0], scope, nullptr);
            return left + (e.negated ? QStringLiteral(" NOT IN (") : QStringLiteral(" IN ("))
                   + select(*e.select, &scope, false, &cols) + QLatin1Char(')');
        }
        case ExprKind::Between: {
            ValueType vt, lt, ht;
            QString v = operand(*e.args[0], scope, &vt);
            QString low = operand(*e.args[1], scope, &lt);
            QString high = operand(*e.args[2], scope, &ht);
            if (m_pg) {
                // Literals take the column's type on PostgreSQL; text columns carry the collation.
            } else if (isTemporal(vt)) {
                QString copy = v;
                alignForComparison(&copy, vt, &low, lt);
                alignForComparison(&copy, vt, &high, ht);
            } else if (vt == ValueType::Text && !isNumeric(lt) && !isNumeric(ht)) {
                v += QStringLiteral(" COLLATE tsql_ci");
            }
            *type = ValueType::Int;
            return v + (e.negated ? QStringLiteral(" NOT BETWEEN ") : QStringLiteral(" BETWEEN ")) + low
                   + QStringLiteral(" AND ") + high;
        }
        case ExprKind::Like:
            *type = ValueType::Int;
            return like(e, scope);
        case ExprKind::IsNull:
            *type = ValueType::Int;
            return operand(*e.args[0], scope, nullptr) + (e.negated ? QStringLiteral(" IS NOT NULL") : QStringLiteral(" IS NULL"));
        }
        fail(QStringLiteral("Unsupported expression."));
    }

    QString like(const Expr &e, const Scope &scope)
    {
        ValueType leftType = ValueType::Unknown;
        QString left = operand(*e.args[0], scope, &leftType);
        QString notLike = e.negated ? QStringLiteral(" NOT LIKE ") : QStringLiteral(" LIKE ");
        if (m_pg) {
            // LIKE is refused under the nondeterministic collation of the text columns:
            // ILIKE under a deterministic ICU one ignores case as the server's LIKE does.
            if (leftType != ValueType::Text)
                left = QStringLiteral("CAST(") + left + QStringLiteral(" AS text)");
            left += QStringLiteral(" COLLATE tsql_like");
            notLike = e.negated ? QStringLiteral(" NOT ILIKE ") : QStringLiteral(" ILIKE ");
        }
        const Expr &pattern = *e.args[1];
        if (e.args.size() == 3)
            return left + notLike + operand(pattern, scope, nullptr) + QStringLiteral(" ESCAPE ") + operand(*e.args[2], scope, nullptr);
        if (pattern.kind == ExprKind::String && (pattern.text.contains(QLatin1Char('['))
                                                 || pattern.text.contains(QLatin1Char('\\')))) {
            // The server quotes a literal wildcard as [%], [_] or [[]; write those with an
            // escape character so the pattern means the same to any LIKE.
            QString p;
            const QString &s = pattern.text;
            for (int i = 0; i < s.size(); ++i) {
                if (s[i] == QLatin1Char('[') && i + 2 < s.size() && s[i + 2] == QLatin1Char(']')
                    && (s[i + 1] == QLatin1Char('%') || s[i + 1] == QLatin1Char('_') || s[i + 1] == QLatin1Char('['))) {
                    p += QLatin1Char('\\');
                    p += s[i + 1];
                    i += 2;
                } else if (s[i] == QLatin1Char('\\')) {
                    p += QStringLiteral("\\\\");
                } else {
                    p += s[i];
                }
            }
            return left + notLike + quoteText(p) + QStringLiteral(" ESCAPE '\\'");
        }
        // A backslash is an escape in PostgreSQL's LIKE by default, plain text in T-SQL's.
        return left + notLike + operand(pattern, scope, nullptr) + (m_pg ? QStringLiteral(" ESCAPE ''") : QString());
    }

    QString binary(const Expr &e, const Scope &scope, ValueType *type)
    {
        ValueType lt, rt;
        const QString l = operand(*e.args[0], scope, &lt);
        const QString r = operand(*e.args[1], scope, &rt);
        const QString &op = e.op;
        if (op == QLatin1String("AND") || op == QLatin1String("OR")) {
            *type = ValueType::Int;
            return l + QLatin1Char(' ') + op + QLatin1Char(' ') + r;
        }
        static const QSet<QString> comparisons = {QStringLiteral("="), QStringLiteral("<>"), QStringLiteral("<"),
                                                  QStringLiteral(">"), QStringLiteral("<="), QStringLiteral(">=")};
        if (comparisons.contains(op)) {
            *type = ValueType::Int;
            if ((isTemporal(lt) || isTemporal(rt)) && !m_pg) {
                QString a = l, b = r;
                alignForComparison(&a, lt, &b, rt);
                return a + QLatin1Char(' ') + op + QLatin1Char(' ') + b;
            }
            // Text against a number compares as numbers on the server.
            if (lt == ValueType::Text && isNumeric(rt))
                return QStringLiteral("CAST(") + l + QStringLiteral(" AS ") + (rt == ValueType::Int ? intType() : realType()) + QStringLiteral(") ") + op + QLatin1Char(' ') + r;
            if (rt == ValueType::Text && isNumeric(lt))
                return l + QLatin1Char(' ') + op + QStringLiteral(" CAST(") + r + QStringLiteral(" AS ") + (lt == ValueType::Int ? intType() : realType()) + QLatin1Char(')');
            // Text compares case-insensitively, as under the server's CI collation.
            if ((lt == ValueType::Text && !isNumeric(rt)) || (rt == ValueType::Text && !isNumeric(lt)))
                return l + QLatin1Char(' ') + op + QLatin1Char(' ') + r + ci();
            return l + QLatin1Char(' ') + op + QLatin1Char(' ') + r;
        }
        if (op == QLatin1String("+")) {
            const bool lNull = lt == ValueType::Null, rNull = rt == ValueType::Null;
            if ((lt == ValueType::Text || lNull) && (rt == ValueType::Text || rNull) && !(lNull && rNull)) {
                *type = ValueType::Text;
                return l + QStringLiteral(" || ") + r;
            }
            if ((isNumeric(lt) || lNull) && (isNumeric(rt) || rNull)) {
                *type = lt == ValueType::Real || rt == ValueType::Real ? ValueType::Real : ValueType::Int;
                return l + QStringLiteral(" + ") + r;
            }
            if (lt == ValueType::DateTime && isNumeric(rt)) {
                *type = ValueType::DateTime;
                if (m_pg)
                    return QLatin1Char('(') + l + QStringLiteral(" + ") + r + QStringLiteral(" * INTERVAL '1 day')");
                return QStringLiteral("tsql_dateadd('day',") + r + QLatin1Char(',') + l + QLatin1Char(')');
            }
            if (rt == ValueType::DateTime && isNumeric(lt)) {
                *type = ValueType::DateTime;
                if (m_pg)
                    return QLatin1Char('(') + r + QStringLiteral(" + ") + l + QStringLiteral(" * INTERVAL '1 day')");
                return QStringLiteral("tsql_dateadd('day',") + l + QLatin1Char(',') + r + QLatin1Char(')');
            }
            if (m_pg) {
                // Text and a number add as numbers on the server (the text converted); two
                // values of unknown type concatenate when one is a text literal.
                if (lt == ValueType::Text && isNumeric(rt)) {
                    *type = rt;
                    return QStringLiteral("CAST(") + l + QStringLiteral(" AS ") + (rt == ValueType::Int ? intType() : realType()) + QStringLiteral(") + ") + r;
                }
                if (rt == ValueType::Text && isNumeric(lt)) {
                    *type = lt;
                    return l + QStringLiteral(" + CAST(") + r + QStringLiteral(" AS ") + (lt == ValueType::Int ? intType() : realType()) + QLatin1Char(')');
                }
                if (lt == ValueType::Text || rt == ValueType::Text) {
                    *type = ValueType::Text;
                    return QStringLiteral("CAST(") + l + QStringLiteral(" AS text) || CAST(") + r + QStringLiteral(" AS text)");
                }
                *type = ValueType::Unknown;
                return l + QStringLiteral(" + ") + r;
            }
            // Types known only at run time: the function decides by the values.
            *type = ValueType::Unknown;
            return QStringLiteral("tsql_add(") + l + QLatin1Char(',') + r + QLatin1Char(')');
        }
        if (op == QLatin1String("-") && lt == ValueType::DateTime && isNumeric(rt)) {
            *type = ValueType::DateTime;
            if (m_pg)
                return QLatin1Char('(') + l + QStringLiteral(" - ") + r + QStringLiteral(" * INTERVAL '1 day')");
            return QStringLiteral("tsql_dateadd('day',-") + r + QLatin1Char(',') + l + QLatin1Char(')');
        }
        if (op == QLatin1String("/") || op == QLatin1String("%")) {
            *type = lt == ValueType::Real || rt == ValueType::Real ? ValueType::Real : ValueType::Int;
            if (m_pg)  // integer division truncates and division by zero fails there too
                return l + QLatin1Char(' ') + op + QLatin1Char(' ') + r;
            return (op == QLatin1String("/") ? QStringLiteral("tsql_div(") : QStringLiteral("tsql_mod(")) + l
                   + QLatin1Char(',') + r + QLatin1Char(')');
        }
        if (op == QLatin1String("^")) {
            *type = ValueType::Int;
            if (m_pg)
                return l + QStringLiteral(" # ") + r;
            return QStringLiteral("((") + l + QStringLiteral(" | ") + r + QStringLiteral(") - (") + l + QStringLiteral(" & ") + r + QStringLiteral("))");
        }
        *type = lt == ValueType::Real || rt == ValueType::Real ? ValueType::Real
                : isNumeric(lt) || isNumeric(rt)               ? ValueType::Int
                                                               : ValueType::Unknown;
        return l + QLatin1Char(' ') + op + QLatin1Char(' ') + r;
    }

    QStringList arguments(const Expr &e, const Scope &scope, std::vector<ValueType> *types)
    {
        QStringList out;
        for (const ExprPtr &a : e.args) {
            ValueType t;
            out << expr(*a, scope, &t);
            types->push_back(t);
        }
        return out;
    }

    void expectArgs(const Expr &e, size_t from, size_t to)
    {
        if (e.args.size() < from || e.args.size() > to)
            fail(QStringLiteral("The %1 function requires %2 argument(s).")
                     .arg(e.name.toLower())
                     .arg(from == to ? QString::number(from) : QStringLiteral("%1 to %2").arg(from).arg(to)));
    }

    QString function(const Expr &e, const Scope &scope, ValueType *type)
    {
        const QString &n = e.name;
        if (e.starArg) {
            *type = ValueType::Int;
            return n.toLower() + QStringLiteral("(*)");
        }
        std::vector<ValueType> t;
        const QStringList a = arguments(e, scope, &t);
        auto call = [&](const QString &name, const QStringList &args) {
            return name + QLatin1Char('(') + args.join(QLatin1Char(',')) + QLatin1Char(')');
        };
        if (n == QLatin1String("GETDATE") || n == QLatin1String("SYSDATETIME") || n == QLatin1String("CURRENT_TIMESTAMP")) {
            expectArgs(e, 0, 0);
            *type = ValueType::DateTime;
            return getdate();
        }
        if (n == QLatin1String("GETUTCDATE")) {
            expectArgs(e, 0, 0);
            *type = ValueType::DateTime;
            if (m_pg)
                return QStringLiteral("CAST(statement_timestamp() AT TIME ZONE 'UTC' AS timestamp(3))");
            return QStringLiteral("strftime('%Y-%m-%d %H:%M:%f','now')");
        }
        if (n == QLatin1String("SCOPE_IDENTITY")) {
            expectArgs(e, 0, 0);
            *type = ValueType::Int;
            return identity();
        }
        if (n == QLatin1String("ISNULL")) {
            expectArgs(e, 2, 2);
            *type = t[0] != ValueType::Unknown && t[0] != ValueType::Null ? t[0] : t[1];
            return call(QStringLiteral("coalesce"), a);
        }
        if (n == QLatin1String("COALESCE") || n == QLatin1String("NULLIF")) {
            for (ValueType v : t)
                if (*type == ValueType::Unknown && v != ValueType::Null)
                    *type = v;
            return call(n.toLower(), a);
        }
        if (n == QLatin1String("LEN")) {
            expectArgs(e, 1, 1);
            *type = ValueType::Int;
            return QStringLiteral("length(rtrim(") + a[0] + QStringLiteral("))");
        }
        if (n == QLatin1String("SUBSTRING")) {
            expectArgs(e, 3, 3);
            *type = ValueType::Text;
            return call(QStringLiteral("substr"), a);
        }
        if (n == QLatin1String("LEFT")) {
            expectArgs(e, 2, 2);
            *type = ValueType::Text;
            return QStringLiteral("substr(") + a[0] + QStringLiteral(",1,") + a[1] + QLatin1Char(')');
        }
        if (n == QLatin1String("RIGHT")) {
            expectArgs(e, 2, 2);
            *type = ValueType::Text;
            return call(m_pg ? QStringLiteral("right") : QStringLiteral("tsql_right"), a);
        }
        if (n == QLatin1String("UPPER") || n == QLatin1String("LOWER")) {
            expectArgs(e, 1, 1);
            *type = ValueType::Text;
            if (m_pg)  // Cyrillic case mapping comes from ICU, not from the database's locale
                return n.toLower() + QStringLiteral("(CAST(") + a[0] + QStringLiteral(" AS text) COLLATE tsql_like)");
            return call(QStringLiteral("tsql_") + n.toLower(), a);
        }
        if (n == QLatin1String("LTRIM") || n == QLatin1String("RTRIM") || n == QLatin1String("TRIM")) {
            expectArgs(e, 1, 1);
            *type = ValueType::Text;
            return call(n.toLower(), a);
        }
        if (n == QLatin1String("REPLACE")) {
            expectArgs(e, 3, 3);
            *type = ValueType::Text;
            // The server's REPLACE follows the CI collation; with no letters to fold the
            // built-in one gives the same result and is faster.
            const Expr &what = *e.args[1];
            bool letters = what.kind != ExprKind::String;
            if (!letters)
                for (const QChar c : what.text)
                    letters = letters || c.isLetter();
            return call(letters && !m_pg ? QStringLiteral("tsql_replace") : QStringLiteral("replace"), a);
        }
        if (n == QLatin1String("CHARINDEX")) {
            expectArgs(e, 2, 3);
            *type = ValueType::Int;
            return call(m_pg ? QStringLiteral("dbo.tsql_charindex") : QStringLiteral("tsql_charindex"), a);
        }
        if (n == QLatin1String("YEAR") || n == QLatin1String("MONTH") || n == QLatin1String("DAY")) {
            expectArgs(e, 1, 1);
            *type = ValueType::Int;
            if (m_pg)
                return QStringLiteral("dbo.tsql_datepart('") + n.toLower() + QStringLiteral("',") + asTimestamp(a[0], t[0]) + QLatin1Char(')');
            return QStringLiteral("tsql_datepart('") + n.toLower() + QStringLiteral("',") + a[0] + QLatin1Char(')');
        }
        if (n == QLatin1String("COUNT") || n == QLatin1String("COUNT_BIG")) {
            expectArgs(e, 1, 1);
            *type = ValueType::Int;
            return QStringLiteral("count(") + (e.distinct ? QStringLiteral("DISTINCT ") : QString()) + a[0] + QLatin1Char(')');
        }
        if (n == QLatin1String("SUM") || n == QLatin1String("MIN") || n == QLatin1String("MAX")) {
            expectArgs(e, 1, 1);
            *type = t[0];
            return n.toLower() + QLatin1Char('(') + (e.distinct ? QStringLiteral("DISTINCT ") : QString()) + a[0] + QLatin1Char(')');
        }
        if (n == QLatin1String("AVG")) {
            expectArgs(e, 1, 1);
            *type = t[0];
            const QString avg = QStringLiteral("avg(") + (e.distinct ? QStringLiteral("DISTINCT ") : QString()) + a[0] + QLatin1Char(')');
            // The average of integers is an integer on the server.
            if (t[0] == ValueType::Int && m_pg)  // truncated, not rounded
                return QStringLiteral("CAST(trunc(") + avg + QStringLiteral(") AS integer)");
            return t[0] == ValueType::Int ? QStringLiteral("CAST(") + avg + QStringLiteral(" AS INTEGER)") : avg;
        }
        if (n == QLatin1String("MNOGOIMEN") || n == QLatin1String("MNOGOIMEN2")) {
            expectArgs(e, 2, 2);
            *type = ValueType::Text;
            return call(m_pg ? QStringLiteral("dbo.") + n.toLower() : n.toLower(), a);
        }
        if (n == QLatin1String("ABS")) {
            expectArgs(e, 1, 1);
            *type = t[0];
            return call(QStringLiteral("abs"), a);
        }
        // Anything else goes through by name; SQLite reports a function it does not know.
        return call(n.toLower(), a);
    }

    QString datePartFunction(const Expr &e, const Scope &scope, ValueType *type)
    {
        std::vector<ValueType> t;
        const QStringList a = arguments(e, scope, &t);
        const QString part = QLatin1Char('\'') + e.part + QLatin1Char('\'');
        if (m_pg)
            return postgresDatePart(e, part, a, t, type);
        if (e.name == QLatin1String("DATEPART")) {
            *type = ValueType::Int;
            return QStringLiteral("tsql_datepart(") + part + QLatin1Char(',') + a[0] + QLatin1Char(')');
        }
        if (e.name == QLatin1String("DATENAME")) {
            *type = ValueType::Text;
            return QStringLiteral("tsql_datename(") + part + QLatin1Char(',') + a[0] + QLatin1Char(')');
        }
        if (e.name == QLatin1String("DATEDIFF")) {
            *type = ValueType::Int;
            return QStringLiteral("tsql_datediff(") + part + QLatin1Char(',') + a[0] + QLatin1Char(',') + a[1] + QLatin1Char(')');
        }
        *type = isTemporal(t[1]) ? t[1] : ValueType::DateTime;
        return QStringLiteral("tsql_dateadd(") + part + QLatin1Char(',') + a[0] + QLatin1Char(',') + a[1]
               + QStringLiteral(",'") + temporalName(*type) + QStringLiteral("')");
    }

    QString postgresDatePart(const Expr &e, const QString &part, const QStringList &a, const std::vector<ValueType> &t,
                             ValueType *type)
    {
        if (e.name == QLatin1String("DATEPART") || e.name == QLatin1String("DATENAME")) {
            *type = e.name == QLatin1String("DATEPART") ? ValueType::Int : ValueType::Text;
            return QStringLiteral("dbo.tsql_") + e.name.toLower() + QLatin1Char('(') + part + QLatin1Char(',') + asTimestamp(a[0], t[0]) + QLatin1Char(')');
        }
        if (e.name == QLatin1String("DATEDIFF")) {
            *type = ValueType::Int;
            const bool times = t[0] == ValueType::Time && t[1] == ValueType::Time;
            return QStringLiteral("dbo.tsql_datediff(") + part + QLatin1Char(',') + (times ? a[0] : asTimestamp(a[0], t[0] == ValueType::Time ? ValueType::Unknown : t[0]))
                   + QLatin1Char(',') + (times ? a[1] : asTimestamp(a[1], t[1] == ValueType::Time ? ValueType::Unknown : t[1])) + QLatin1Char(')');
        }
        *type = isTemporal(t[1]) ? t[1] : ValueType::DateTime;
        const QString added = QStringLiteral("dbo.tsql_dateadd(") + part + QStringLiteral(",CAST(") + a[0] + QStringLiteral(" AS integer),")
                              + (t[1] == ValueType::Time ? QStringLiteral("DATE '1900-01-01' + ") + a[1] : asTimestamp(a[1], t[1])) + QLatin1Char(')');
        if (*type == ValueType::Date)
            return QStringLiteral("CAST(") + added + QStringLiteral(" AS date)");
        if (*type == ValueType::Time)
            return QStringLiteral("CAST(") + added + QStringLiteral(" AS time(0))");
        return added;
    }

    QString cast(const Expr &e, const Scope &scope, ValueType *type)
    {
        ValueType from;
        const QString x = expr(*e.args[0], scope, &from);
        const QString &target = e.type;
        static const QSet<QString> textTypes = {QStringLiteral("CHAR"), QStringLiteral("VARCHAR"),
                                                QStringLiteral("NCHAR"), QStringLiteral("NVARCHAR"),
                                                QStringLiteral("TEXT"), QStringLiteral("NTEXT"),
                                                QStringLiteral("SYSNAME")};
        static const QSet<QString> intTypes = {QStringLiteral("INT"), QStringLiteral("INTEGER"),
                                               QStringLiteral("BIGINT"), QStringLiteral("SMALLINT"),
                                               QStringLiteral("TINYINT"), QStringLiteral("BIT")};
        static const QSet<QString> realTypes = {QStringLiteral("FLOAT"), QStringLiteral("REAL"),
                                                QStringLiteral("DECIMAL"), QStringLiteral("NUMERIC"),
                                                QStringLiteral("MONEY"), QStringLiteral("SMALLMONEY")};
        if (textTypes.contains(target)) {
            *type = ValueType::Text;
            QString out;
            if (m_pg) {
                out = isTemporal(from) ? postgresConvert(x, qMax(e.style, 0), from) : QStringLiteral("CAST(") + x + QStringLiteral(" AS text)");
            } else if (isTemporal(from) || e.style >= 0) {
                out = QStringLiteral("tsql_convert(") + x + QLatin1Char(',') + QString::number(qMax(e.style, 0))
                      + QStringLiteral(",'") + temporalName(from) + QStringLiteral("')");
            } else {
                out = QStringLiteral("CAST(") + x + QStringLiteral(" AS TEXT)");
            }
            if (target == QLatin1String("TEXT") || target == QLatin1String("NTEXT") || e.text == QLatin1String("MAX"))
                return out;
            // Without a length the server makes it 30 characters, and cuts longer values.
            const QString length = e.text.isEmpty() ? QStringLiteral("30") : e.text;
            return QStringLiteral("substr(") + out + QStringLiteral(",1,") + length + QLatin1Char(')');
        }
        if (intTypes.contains(target)) {
            *type = ValueType::Int;
            if (m_pg)  // a fraction is cut off, not rounded
                return from == ValueType::Real ? QStringLiteral("CAST(trunc(") + x + QStringLiteral(") AS integer)")
                                               : QStringLiteral("CAST(") + x + QStringLiteral(" AS integer)");
            if (isNumeric(from))
                return QStringLiteral("CAST(") + x + QStringLiteral(" AS INTEGER)");
            return QStringLiteral("tsql_int(") + x + QLatin1Char(')');
        }
        if (realTypes.contains(target)) {
            *type = ValueType::Real;
            return QStringLiteral("CAST(") + x + QStringLiteral(" AS ") + realType() + QLatin1Char(')');
        }
        if (target == QLatin1String("DATETIME") || target == QLatin1String("DATETIME2")
            || target == QLatin1String("SMALLDATETIME")) {
            *type = ValueType::DateTime;
            if (m_pg)
                return QStringLiteral("CAST(") + x + QStringLiteral(" AS timestamp(3))");
            return QStringLiteral("tsql_datetime(") + x + QLatin1Char(')');
        }
        if (target == QLatin1String("DATE")) {
            *type = ValueType::Date;
            if (m_pg)
                return QStringLiteral("CAST(") + x + QStringLiteral(" AS date)");
            return QStringLiteral("tsql_date(") + x + QLatin1Char(')');
        }
        if (target == QLatin1String("TIME")) {
            *type = ValueType::Time;
            if (m_pg)
                return QStringLiteral("CAST(") + x + QStringLiteral(" AS time(0))");
            return QStringLiteral("tsql_time(") + x + QLatin1Char(')');
        }
        fail(QStringLiteral("Type %1 is not a defined system type.").arg(target));
    }
};

}  // namespace

ValueType schemaColumnType(const QString &table, const QString &column)
{
    const auto t = schemaTypes().constFind(table.toLower());
    if (t == schemaTypes().constEnd())
        return ValueType::Unknown;
    return t->value(column.toLower(), ValueType::Unknown);
}

bool print(const std::vector<Statement> &statements, QStringList *out, QString *error, Dialect dialect)
{
    out->clear();
    try {
        Printer p(dialect);
        for (const Statement &s : statements) {
            const QString text = p.statement(s);
            if (!text.isEmpty())
                out->append(text);
        }
    } catch (const PrintError &e) {
        *error = e.message;
        return false;
    }
    return true;
}

}  // namespace tsql
