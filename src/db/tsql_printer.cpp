#include "db/tsql_printer.h"

#include "db/connection.h"
#include "db/tsql_output.h"

#include <QSet>

namespace tsql {

using namespace ast;

namespace {

class Printer {
public:
    explicit Printer(Output *output) : m_out(*output) {}

    QString statement(const Statement &s)
    {
        switch (s.kind) {
        case StatementKind::Select: {
            ResultColumns columns;
            return select(*s.select, nullptr, true, &columns);
        }
        case StatementKind::Insert:
            return insert(s);
        case StatementKind::Update:
            return update(s);
        case StatementKind::Delete: {
            Scope scope;
            scope.sources.push_back(Source{s.table.toLower(), s.table.toLower(), {}});
            QString out = QStringLiteral("DELETE FROM ") + m_out.name(s.table);
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
    [[noreturn]] static void fail(const QString &message) { failPrint(message); }

    Output &m_out;

    // Lines a text compared with a date up with the date (and a date with a date-time).
    void alignForComparison(QString *l, ValueType lt, QString *r, ValueType rt) const
    {
        if (isTemporal(lt) && rt == ValueType::Text)
            *r = m_out.asTemporal(*r, lt);
        else if (isTemporal(rt) && lt == ValueType::Text)
            *l = m_out.asTemporal(*l, rt);
        else if (lt == ValueType::DateTime && rt == ValueType::Date)
            *r = m_out.asTemporal(*r, lt);
        else if (rt == ValueType::DateTime && lt == ValueType::Date)
            *l = m_out.asTemporal(*l, rt);
    }

    QString insert(const Statement &s)
    {
        QString out = QStringLiteral("INSERT INTO ") + m_out.name(s.table);
        if (!s.columns.isEmpty()) {
            QStringList cols;
            for (const QString &c : s.columns)
                cols << m_out.name(c);
            out += QStringLiteral(" (") + cols.join(QLatin1Char(',')) + QLatin1Char(')');
        }
        if (s.defaultValues)
            return out + QStringLiteral(" DEFAULT VALUES");
        if (s.select) {
            ResultColumns columns;
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
            sets << m_out.name(a.column) + QStringLiteral(" = ") + expr(*a.value, scope);
        QString out = QStringLiteral("UPDATE ") + m_out.name(s.table) + QStringLiteral(" SET ") + sets.join(QStringLiteral(", "));
        if (!fromText.isEmpty())
            out += QStringLiteral(" FROM ") + fromText;
        if (s.where)
            out += QStringLiteral(" WHERE ") + expr(*s.where, scope);
        return out;
    }

    // A whole SELECT, compound or not. `columns` receives the result's names and types.
    QString select(const Select &sel, const Scope *outer, bool topLevel,
                   ResultColumns *columns, bool checkSingleRow = false)
    {
        const bool compound = sel.cores.size() > 1;
        QStringList parts;
        Scope firstScope;
        ColumnTypes aliasTypes;
        for (size_t i = 0; i < sel.cores.size(); ++i) {
            const SelectCore &core = sel.cores[i];
            Scope scope;
            scope.outer = outer;
            ResultColumns coreColumns;
            QString text = coreText(core, &scope, topLevel, &coreColumns, checkSingleRow && !compound);
            if (core.top && compound) {
                // TOP inside a compound limits that member only.
                text = QStringLiteral("SELECT * FROM (") + text + QStringLiteral(" LIMIT ") + limit(*core.top) + QLatin1Char(')')
                       + m_out.generatedAlias(QStringLiteral("tsql_top"));
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
                } else if (m_out.ordersByResultName() && topLevel && o.expr->kind == ExprKind::Column && o.expr->qualifier.isEmpty()
                           && outputName(*columns, o.expr->name, &text)) {
                    t = orderScope.resolve({}, o.expr->name);
                } else {
                    text = expr(*o.expr, orderScope, &t);
                }
                // Text sorts as the server's case-insensitive Cyrillic collation does.
                if (t == ValueType::Text)
                    text += m_out.collateCi();
                if (o.desc)
                    text += QStringLiteral(" DESC");
                text += m_out.nullsOrder(o.desc);
                items << text;
            }
            out += QStringLiteral(" ORDER BY ") + items.join(QLatin1Char(','));
        }
        else if (m_out.ordersByKey() && topLevel && !compound && keyOrderApplies(sel.cores[0]))
            out += QStringLiteral(" ORDER BY ") + m_out.name(sel.cores[0].from[0].table.alias.isEmpty()
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

    bool outputName(const ResultColumns &columns, const QString &name, QString *text) const
    {
        for (const auto &c : columns) {
            if (!c.first.isEmpty() && c.first.compare(name, Qt::CaseInsensitive) == 0) {
                *text = m_out.resultName(c.first);
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
                     ResultColumns *columns, bool checkSingleRow)
    {
        QString out = QStringLiteral("SELECT ");
        if (core.distinct)
            out += QStringLiteral("DISTINCT ");
        QString fromText;
        if (!core.from.empty())
            fromText = from(core.from, scope);

        // A scalar sub-select must yield at most one row, as on the server: a plain
        // one-column select is turned into an aggregate that counts its rows.
        const bool single = m_out.checksSingleRow() && checkSingleRow && !core.distinct && !core.top && core.groupBy.empty() && !core.having
                            && core.items.size() == 1 && core.items[0].expr->kind != ExprKind::Star
                            && !containsAggregate(*core.items[0].expr) && !core.from.empty();

        QStringList items;
        for (const SelectItem &item : core.items) {
            ValueType t = ValueType::Unknown;
            QString text = expr(*item.expr, *scope, &t);
            if (single)
                text = QStringLiteral("tsql_single(count(*), ") + text + QLatin1Char(')');
            const QString name = item.hasAlias                       ? item.alias
                                 : item.expr->kind == ExprKind::Column ? item.expr->name
                                                                       : QString();
            text += m_out.itemAlias(item, name, topLevel);
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
                ResultColumns cols;
                const QString inner = select(*j.table.derived, scope->outer, false, &cols);
                for (const auto &c : cols)
                    src.derived.insert(c.first.toLower(), c.second);
                src.key = j.table.alias.toLower();
                tableTexts.push_back(QLatin1Char('(') + inner + QLatin1Char(')'));
            } else {
                src.table = j.table.name.toLower();
                src.key = j.table.alias.isEmpty() ? src.table : j.table.alias.toLower();
                tableTexts.push_back(m_out.name(j.table.name));
            }
            if (!j.table.alias.isEmpty())
                tableTexts.back() += QLatin1Char(' ') + m_out.name(j.table.alias);
            else if (j.table.derived)
                tableTexts.back() += m_out.generatedAlias(QStringLiteral("tsql_sub"));
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
            return sql::quote(e.text);
        case ExprKind::Number:
            *type = numberType(e.text);
            return e.text;
        case ExprKind::Null:
            *type = ValueType::Null;
            return QStringLiteral("NULL");
        case ExprKind::Column: {
            *type = scope.resolve(e.qualifier, e.name);
            QString out;
            if (!e.qualifier.isEmpty())
                out = m_out.name(e.qualifier.last()) + QLatin1Char('.');
            return out + m_out.name(e.name);
        }
        case ExprKind::Star:
            return e.qualifier.isEmpty() ? QStringLiteral("*") : m_out.name(e.qualifier.last()) + QStringLiteral(".*");
        case ExprKind::Variable: {
            const QString v = e.text.toUpper();
            if (v == QLatin1String("@@IDENTITY")) {
                *type = ValueType::Int;
                return m_out.identity();
            }
            if (v == QLatin1String("@@ROWCOUNT") && !m_out.rowCount().isEmpty()) {
                *type = ValueType::Int;
                return m_out.rowCount();
            }
            fail(QStringLiteral("Must declare the scalar variable \"%1\".").arg(e.text));
        }
        case ExprKind::Keyword:
            *type = ValueType::DateTime;
            return m_out.getdate();
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
            std::vector<ValueType> branches;
            for (; i < whenEnd; i += 2) {
                ValueType t;
                out += QStringLiteral(" WHEN ") + expr(*e.args[i], scope);
                out += QStringLiteral(" THEN ") + expr(*e.args[i + 1], scope, &t);
                branches.push_back(t);
            }
            if (e.hasElse) {
                ValueType t;
                out += QStringLiteral(" ELSE ") + expr(*e.args.back(), scope, &t);
                branches.push_back(t);
            }
            *type = caseType(branches);
            return out + QStringLiteral(" END");
        }
        case ExprKind::Subquery: {
            ResultColumns cols;
            const QString inner = select(*e.select, &scope, false, &cols, true);
            if (!cols.empty())
                *type = cols[0].second;
            return QLatin1Char('(') + inner + QLatin1Char(')');
        }
        case ExprKind::Exists: {
            ResultColumns cols;
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
                if (isTemporal(lt) && t == ValueType::Text)
                    item = m_out.asTemporal(item, lt);
                items << item;
            }
            if (lt == ValueType::Text)
                left += m_out.collateCi();
            *type = ValueType::Int;
            return left + (e.negated ? QStringLiteral(" NOT IN (") : QStringLiteral(" IN (")) + items.join(QLatin1Char(','))
                   + QLatin1Char(')');
        }
        case ExprKind::InSelect: {
            ResultColumns cols;
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
            if (isTemporal(vt)) {
                QString copy = v;
                alignForComparison(&copy, vt, &low, lt);
                alignForComparison(&copy, vt, &high, ht);
            } else if (vt == ValueType::Text && !isNumeric(lt) && !isNumeric(ht)) {
                v += m_out.collateCi();
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
        left = m_out.likeOperand(left, leftType);
        const QString notLike = m_out.likeOperator(e.negated);
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
            return left + notLike + sql::quote(p) + QStringLiteral(" ESCAPE '\\'");
        }
        return left + notLike + operand(pattern, scope, nullptr) + m_out.defaultLikeEscape();
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
            if (isTemporal(lt) || isTemporal(rt)) {
                QString a = l, b = r;
                alignForComparison(&a, lt, &b, rt);
                return a + QLatin1Char(' ') + op + QLatin1Char(' ') + b;
            }
            // Text against a number compares as numbers on the server.
            if (lt == ValueType::Text && isNumeric(rt))
                return QStringLiteral("CAST(") + l + QStringLiteral(" AS ") + m_out.typeName(rt) + QStringLiteral(") ") + op + QLatin1Char(' ') + r;
            if (rt == ValueType::Text && isNumeric(lt))
                return l + QLatin1Char(' ') + op + QStringLiteral(" CAST(") + r + QStringLiteral(" AS ") + m_out.typeName(lt) + QLatin1Char(')');
            // Text compares case-insensitively, as under the server's CI collation.
            if ((lt == ValueType::Text && !isNumeric(rt)) || (rt == ValueType::Text && !isNumeric(lt)))
                return l + QLatin1Char(' ') + op + QLatin1Char(' ') + r + m_out.collateCi();
            return l + QLatin1Char(' ') + op + QLatin1Char(' ') + r;
        }
        if (op == QLatin1String("+")) {
            const bool lNull = lt == ValueType::Null, rNull = rt == ValueType::Null;
            if ((lt == ValueType::Text || lNull) && (rt == ValueType::Text || rNull) && !(lNull && rNull)) {
                *type = ValueType::Text;
                return l + QStringLiteral(" || ") + r;
            }
            if ((isNumeric(lt) || lNull) && (isNumeric(rt) || rNull)) {
                *type = numericResultType(lt, rt);
                return l + QStringLiteral(" + ") + r;
            }
            if (lt == ValueType::DateTime && isNumeric(rt)) {
                *type = ValueType::DateTime;
                return m_out.addDays(l, r, false);
            }
            if (rt == ValueType::DateTime && isNumeric(lt)) {
                *type = ValueType::DateTime;
                return m_out.addDays(r, l, false);
            }
            return m_out.addOther(l, lt, r, rt, type);
        }
        if (op == QLatin1String("-") && lt == ValueType::DateTime && isNumeric(rt)) {
            *type = ValueType::DateTime;
            return m_out.addDays(l, r, true);
        }
        if (op == QLatin1String("/") || op == QLatin1String("%")) {
            *type = numericResultType(lt, rt);
            return m_out.divide(l, op, r);
        }
        if (op == QLatin1String("^")) {
            *type = ValueType::Int;
            return m_out.bitXor(l, r);
        }
        *type = arithmeticType(lt, rt);
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
        std::vector<ValueType> t;
        const QString text = functionText(e, scope, &t);
        *type = functionType(e.name, e.starArg, t);
        return text;
    }

    // The call's text; checks the argument count and leaves the arguments' types in `t`.
    QString functionText(const Expr &e, const Scope &scope, std::vector<ValueType> *types)
    {
        const QString &n = e.name;
        if (e.starArg)
            return n.toLower() + QStringLiteral("(*)");
        const QStringList a = arguments(e, scope, types);
        const std::vector<ValueType> &t = *types;
        auto call = [&](const QString &name, const QStringList &args) {
            return name + QLatin1Char('(') + args.join(QLatin1Char(',')) + QLatin1Char(')');
        };
        if (n == QLatin1String("GETDATE") || n == QLatin1String("SYSDATETIME") || n == QLatin1String("CURRENT_TIMESTAMP")) {
            expectArgs(e, 0, 0);
            return m_out.getdate();
        }
        if (n == QLatin1String("GETUTCDATE")) {
            expectArgs(e, 0, 0);
            return m_out.getutcdate();
        }
        if (n == QLatin1String("SCOPE_IDENTITY")) {
            expectArgs(e, 0, 0);
            return m_out.identity();
        }
        if (n == QLatin1String("ISNULL")) {
            expectArgs(e, 2, 2);
            return call(QStringLiteral("coalesce"), a);
        }
        if (n == QLatin1String("COALESCE") || n == QLatin1String("NULLIF"))
            return call(n.toLower(), a);
        if (n == QLatin1String("LEN")) {
            expectArgs(e, 1, 1);
            return QStringLiteral("length(rtrim(") + a[0] + QStringLiteral("))");
        }
        if (n == QLatin1String("SUBSTRING")) {
            expectArgs(e, 3, 3);
            return call(QStringLiteral("substr"), a);
        }
        if (n == QLatin1String("LEFT")) {
            expectArgs(e, 2, 2);
            return QStringLiteral("substr(") + a[0] + QStringLiteral(",1,") + a[1] + QLatin1Char(')');
        }
        if (n == QLatin1String("RIGHT")) {
            expectArgs(e, 2, 2);
            return call(m_out.rightFunction(), a);
        }
        if (n == QLatin1String("UPPER") || n == QLatin1String("LOWER")) {
            expectArgs(e, 1, 1);
            return m_out.caseMapping(n.toLower(), a[0]);
        }
        if (n == QLatin1String("LTRIM") || n == QLatin1String("RTRIM") || n == QLatin1String("TRIM")) {
            expectArgs(e, 1, 1);
            return call(n.toLower(), a);
        }
        if (n == QLatin1String("REPLACE")) {
            expectArgs(e, 3, 3);
            const Expr &what = *e.args[1];
            bool letters = what.kind != ExprKind::String;
            if (!letters)
                for (const QChar c : what.text)
                    letters = letters || c.isLetter();
            return call(m_out.replaceFunction(letters), a);
        }
        if (n == QLatin1String("CHARINDEX")) {
            expectArgs(e, 2, 3);
            return call(m_out.helperFunction(QStringLiteral("tsql_charindex")), a);
        }
        if (n == QLatin1String("YEAR") || n == QLatin1String("MONTH") || n == QLatin1String("DAY")) {
            expectArgs(e, 1, 1);
            return datePartCall(QStringLiteral("tsql_datepart"), QLatin1Char('\'') + n.toLower() + QLatin1Char('\''), a[0], t[0]);
        }
        if (n == QLatin1String("COUNT") || n == QLatin1String("COUNT_BIG")) {
            expectArgs(e, 1, 1);
            return QStringLiteral("count(") + (e.distinct ? QStringLiteral("DISTINCT ") : QString()) + a[0] + QLatin1Char(')');
        }
        if (n == QLatin1String("SUM") || n == QLatin1String("MIN") || n == QLatin1String("MAX")) {
            expectArgs(e, 1, 1);
            return n.toLower() + QLatin1Char('(') + (e.distinct ? QStringLiteral("DISTINCT ") : QString()) + a[0] + QLatin1Char(')');
        }
        if (n == QLatin1String("AVG")) {
            expectArgs(e, 1, 1);
            const QString avg = QStringLiteral("avg(") + (e.distinct ? QStringLiteral("DISTINCT ") : QString()) + a[0] + QLatin1Char(')');
            // The average of integers is an integer on the server.
            return t[0] == ValueType::Int ? m_out.integerAverage(avg) : avg;
        }
        if (n == QLatin1String("MNOGOIMEN") || n == QLatin1String("MNOGOIMEN2")) {
            expectArgs(e, 2, 2);
            return call(m_out.helperFunction(n.toLower()), a);
        }
        if (n == QLatin1String("ABS")) {
            expectArgs(e, 1, 1);
            return call(QStringLiteral("abs"), a);
        }
        // Anything else goes through by name; the engine reports a function it does not know.
        return call(n.toLower(), a);
    }

    QString datePartCall(const QString &function, const QString &part, const QString &date, ValueType dateType) const
    {
        return m_out.helperFunction(function) + QLatin1Char('(') + part + QLatin1Char(',') + m_out.dateArgument(date, dateType)
               + QLatin1Char(')');
    }

    QString datePartFunction(const Expr &e, const Scope &scope, ValueType *type)
    {
        std::vector<ValueType> t;
        const QStringList a = arguments(e, scope, &t);
        const QString part = QLatin1Char('\'') + e.part + QLatin1Char('\'');
        *type = datePartFunctionType(e.name, t);
        if (e.name == QLatin1String("DATEPART") || e.name == QLatin1String("DATENAME"))
            return datePartCall(QStringLiteral("tsql_") + e.name.toLower(), part, a[0], t[0]);
        if (e.name == QLatin1String("DATEDIFF"))
            return m_out.dateDiff(part, a[0], t[0], a[1], t[1]);
        return m_out.dateAdd(part, a[0], a[1], t[1], *type);
    }

    QString cast(const Expr &e, const Scope &scope, ValueType *type)
    {
        ValueType from;
        const QString x = expr(*e.args[0], scope, &from);
        const QString &target = e.type;
        if (!castType(target, type))
            fail(QStringLiteral("Type %1 is not a defined system type.").arg(target));
        switch (*type) {
        case ValueType::Text: {
            const QString out = m_out.castToText(x, from, e.style);
            if (target == QLatin1String("TEXT") || target == QLatin1String("NTEXT") || e.text == QLatin1String("MAX"))
                return out;
            // Without a length the server makes it 30 characters, and cuts longer values.
            const QString length = e.text.isEmpty() ? QStringLiteral("30") : e.text;
            return QStringLiteral("substr(") + out + QStringLiteral(",1,") + length + QLatin1Char(')');
        }
        case ValueType::Int:
            return m_out.castToInt(x, from);
        case ValueType::Real:
            return QStringLiteral("CAST(") + x + QStringLiteral(" AS ") + m_out.typeName(ValueType::Real) + QLatin1Char(')');
        default:
            return m_out.castToTemporal(x, *type);
        }
    }
};

}  // namespace

bool print(const std::vector<Statement> &statements, QStringList *out, QString *error, Dialect dialect)
{
    out->clear();
    try {
        const std::unique_ptr<Output> output = dialect == Dialect::Postgres ? postgresOutput() : sqliteOutput();
        Printer p(output.get());
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
