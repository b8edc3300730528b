#include "db/tsql_parser.h"

#include "db/tsql_lexer.h"

#include <QHash>
#include <QSet>

namespace tsql {

using namespace ast;

QString canonicalDatePart(const QString &word)
{
    static const QHash<QString, QString> parts = {
        {QStringLiteral("YEAR"), QStringLiteral("year")},       {QStringLiteral("YY"), QStringLiteral("year")},
        {QStringLiteral("YYYY"), QStringLiteral("year")},       {QStringLiteral("QUARTER"), QStringLiteral("quarter")},
        {QStringLiteral("QQ"), QStringLiteral("quarter")},      {QStringLiteral("Q"), QStringLiteral("quarter")},
        {QStringLiteral("MONTH"), QStringLiteral("month")},     {QStringLiteral("MM"), QStringLiteral("month")},
        {QStringLiteral("M"), QStringLiteral("month")},         {QStringLiteral("DAYOFYEAR"), QStringLiteral("dayofyear")},
        {QStringLiteral("DY"), QStringLiteral("dayofyear")},    {QStringLiteral("Y"), QStringLiteral("dayofyear")},
        {QStringLiteral("DAY"), QStringLiteral("day")},         {QStringLiteral("DD"), QStringLiteral("day")},
        {QStringLiteral("D"), QStringLiteral("day")},           {QStringLiteral("WEEK"), QStringLiteral("week")},
        {QStringLiteral("WK"), QStringLiteral("week")},         {QStringLiteral("WW"), QStringLiteral("week")},
        {QStringLiteral("WEEKDAY"), QStringLiteral("weekday")}, {QStringLiteral("DW"), QStringLiteral("weekday")},
        {QStringLiteral("W"), QStringLiteral("weekday")},       {QStringLiteral("HOUR"), QStringLiteral("hour")},
        {QStringLiteral("HH"), QStringLiteral("hour")},         {QStringLiteral("MINUTE"), QStringLiteral("minute")},
        {QStringLiteral("MI"), QStringLiteral("minute")},       {QStringLiteral("N"), QStringLiteral("minute")},
        {QStringLiteral("SECOND"), QStringLiteral("second")},   {QStringLiteral("SS"), QStringLiteral("second")},
        {QStringLiteral("S"), QStringLiteral("second")},        {QStringLiteral("MILLISECOND"), QStringLiteral("millisecond")},
        {QStringLiteral("MS"), QStringLiteral("millisecond")},
    };
    return parts.value(word.toUpper());
}

namespace {

struct ParseError {
    QString message;
};

// Words that end an expression or a table name instead of being taken as an alias.
const QSet<QString> &reservedWords()
{
    static const QSet<QString> words = {
        QStringLiteral("SELECT"), QStringLiteral("FROM"), QStringLiteral("WHERE"), QStringLiteral("GROUP"),
        QStringLiteral("HAVING"), QStringLiteral("ORDER"), QStringLiteral("BY"), QStringLiteral("UNION"),
        QStringLiteral("EXCEPT"), QStringLiteral("INTERSECT"), QStringLiteral("ALL"), QStringLiteral("DISTINCT"),
        QStringLiteral("JOIN"), QStringLiteral("INNER"), QStringLiteral("LEFT"), QStringLiteral("RIGHT"),
        QStringLiteral("FULL"), QStringLiteral("OUTER"), QStringLiteral("CROSS"), QStringLiteral("ON"),
        QStringLiteral("AS"), QStringLiteral("AND"), QStringLiteral("OR"), QStringLiteral("NOT"),
        QStringLiteral("IN"), QStringLiteral("IS"), QStringLiteral("NULL"), QStringLiteral("LIKE"),
        QStringLiteral("BETWEEN"), QStringLiteral("EXISTS"), QStringLiteral("CASE"), QStringLiteral("WHEN"),
        QStringLiteral("THEN"), QStringLiteral("ELSE"), QStringLiteral("END"), QStringLiteral("INSERT"),
        QStringLiteral("INTO"), QStringLiteral("VALUES"), QStringLiteral("UPDATE"), QStringLiteral("SET"),
        QStringLiteral("DELETE"), QStringLiteral("TOP"), QStringLiteral("ASC"), QStringLiteral("DESC"),
        QStringLiteral("DEFAULT"), QStringLiteral("ESCAPE"), QStringLiteral("WITH"), QStringLiteral("BEGIN"),
        QStringLiteral("COMMIT"), QStringLiteral("ROLLBACK"), QStringLiteral("CREATE"), QStringLiteral("DROP"),
        QStringLiteral("ALTER"), QStringLiteral("TABLE"), QStringLiteral("PERCENT"), QStringLiteral("COLLATE"),
        QStringLiteral("OPTION"), QStringLiteral("PRIMARY"), QStringLiteral("KEY"), QStringLiteral("CONVERT"),
        QStringLiteral("CAST"), QStringLiteral("CURRENT_TIMESTAMP"), QStringLiteral("EXEC"),
        QStringLiteral("EXECUTE"), QStringLiteral("DECLARE"), QStringLiteral("PRINT"), QStringLiteral("GO"),
        QStringLiteral("FOR"), QStringLiteral("OVER"), QStringLiteral("UNIQUE"), QStringLiteral("CHECK"),
    };
    return words;
}

const QSet<QString> &aggregateNames()
{
    static const QSet<QString> names = {QStringLiteral("COUNT"), QStringLiteral("SUM"), QStringLiteral("MIN"),
                                        QStringLiteral("MAX"), QStringLiteral("AVG"), QStringLiteral("COUNT_BIG")};
    return names;
}

class Parser {
public:
    Parser(const QString &source, const QVector<Token> &tokens) : m_src(source), m_t(tokens) {}

    void parseBatch(std::vector<Statement> *out)
    {
        for (;;) {
            while (symbol(";"))
                ++m_p;
            if (cur().kind == TokenKind::End)
                return;
            out->push_back(parseStatement());
        }
    }

private:
    const QString &m_src;
    const QVector<Token> &m_t;
    int m_p = 0;
    int m_depth = 0;

    // Nesting is bounded so that no text can exhaust the stack (the server's own limit on
    // nesting is of the same order).
    struct Nest {
        Parser *p;
        explicit Nest(Parser *parser) : p(parser)
        {
            if (++p->m_depth > 1000)
                p->failWith(QStringLiteral("The statement is nested too deeply."));
        }
        ~Nest() { --p->m_depth; }
    };

    const Token &cur() const { return m_t[m_p]; }
    const Token &peek(int k = 1) const { return m_t[qMin(m_p + k, int(m_t.size()) - 1)]; }
    bool word(const char *kw) const { return cur().isWord(kw); }
    bool symbol(const char *s) const { return cur().isSymbol(s); }

    bool acceptWord(const char *kw)
    {
        if (!word(kw))
            return false;
        ++m_p;
        return true;
    }
    bool acceptSymbol(const char *s)
    {
        if (!symbol(s))
            return false;
        ++m_p;
        return true;
    }
    void expectWord(const char *kw)
    {
        if (!acceptWord(kw))
            fail();
    }
    void expectSymbol(const char *s)
    {
        if (!acceptSymbol(s))
            fail();
    }

    [[noreturn]] void fail() const { fail(cur()); }
    [[noreturn]] void fail(const Token &t) const
    {
        const Token &near = t.kind == TokenKind::End && m_p > 0 ? m_t[m_p - 1] : t;
        if (near.kind == TokenKind::End)
            throw ParseError{QStringLiteral("Incorrect syntax: the statement is empty or incomplete.")};
        const QString text = m_src.mid(near.start, near.end - near.start);
        if (near.kind == TokenKind::Word && reservedWords().contains(near.upper))
            throw ParseError{QStringLiteral("Incorrect syntax near the keyword '%1'.").arg(text)};
        throw ParseError{QStringLiteral("Incorrect syntax near '%1'.").arg(text)};
    }
    [[noreturn]] void failWith(const QString &message) const { throw ParseError{message}; }

    bool isName(const Token &t) const
    {
        return t.kind == TokenKind::QuotedName || (t.kind == TokenKind::Word && !reservedWords().contains(t.upper));
    }

    QString takeName()
    {
        const Token &t = cur();
        if (t.kind == TokenKind::QuotedName || t.kind == TokenKind::Word) {
            ++m_p;
            return t.text;
        }
        fail();
    }

    // name[.name[.name]]: the last part, with database and schema dropped.
    QString takeObjectName()
    {
        if (!isName(cur()))
            fail();
        QString name = takeName();
        while (symbol(".") && (peek().kind == TokenKind::Word || peek().kind == TokenKind::QuotedName)) {
            ++m_p;
            name = takeName();
        }
        return name;
    }

    // --- statements ---------------------------------------------------------------------

    Statement parseStatement()
    {
        const Token &t = cur();
        if (t.isWord("SELECT") || (t.isSymbol("(") && peek().isWord("SELECT"))) {
            Statement s;
            s.kind = StatementKind::Select;
            s.select = parseSelect();
            return s;
        }
        if (t.isWord("INSERT"))
            return parseInsert();
        if (t.isWord("UPDATE"))
            return parseUpdate();
        if (t.isWord("DELETE"))
            return parseDelete();
        if (t.isWord("BEGIN") || t.isWord("COMMIT") || t.isWord("ROLLBACK"))
            return parseTransaction();
        if (t.isWord("SET") && peek().isWord("NOCOUNT")) {
            m_p += 2;
            if (!acceptWord("ON") && !acceptWord("OFF"))
                fail();
            return Statement{};
        }
        static const char *const passThrough[] = {"PRAGMA", "CREATE", "DROP", "ALTER", "VACUUM", "ANALYZE",
                                                  "EXPLAIN", "ATTACH", "DETACH", "REINDEX", "WITH", "REPLACE",
                                                  "SAVEPOINT", "RELEASE", "END"};
        for (const char *w : passThrough)
            if (t.isWord(w))
                return parseRaw();
        fail();
    }

    // Statements of SQLite's own dialect (schema scripts, maintenance) run as written.
    Statement parseRaw()
    {
        const int first = m_p;
        const bool trigger = cur().isWord("CREATE")
                             && (peek().isWord("TRIGGER") || peek(2).isWord("TRIGGER") || peek(3).isWord("TRIGGER"));
        int depth = 0;
        while (cur().kind != TokenKind::End) {
            if (trigger && (word("BEGIN") || word("CASE")))
                ++depth;
            else if (trigger && word("END") && depth > 0)
                --depth;
            else if (symbol(";") && depth == 0)
                break;
            ++m_p;
        }
        Statement s;
        s.kind = StatementKind::Raw;
        const Token &a = m_t[first];
        const Token &b = m_t[m_p - 1];
        s.raw = m_src.mid(a.start, b.end - a.start);
        return s;
    }

    Statement parseTransaction()
    {
        Statement s;
        s.kind = StatementKind::Raw;
        if (acceptWord("BEGIN")) {
            if (word("IMMEDIATE") || word("DEFERRED") || word("EXCLUSIVE")) {
                s.raw = QStringLiteral("BEGIN ") + cur().upper;
                ++m_p;
                acceptWord("TRANSACTION");
                return s;
            }
            if (!acceptWord("TRAN") && !acceptWord("TRANSACTION"))
                fail();
            if (isName(cur()))
                ++m_p;  // transaction name
            s.raw = QStringLiteral("BEGIN");
            return s;
        }
        const bool commit = acceptWord("COMMIT");
        if (!commit)
            expectWord("ROLLBACK");
        if (acceptWord("TRAN") || acceptWord("TRANSACTION") || acceptWord("WORK")) {
            if (isName(cur()))
                ++m_p;
        }
        s.raw = commit ? QStringLiteral("COMMIT") : QStringLiteral("ROLLBACK");
        return s;
    }

    Statement parseInsert()
    {
        expectWord("INSERT");
        acceptWord("INTO");
        Statement s;
        s.kind = StatementKind::Insert;
        s.table = takeObjectName();
        if (symbol("(") && !peek().isWord("SELECT")) {
            ++m_p;
            do {
                s.columns << takeName();
            } while (acceptSymbol(","));
            expectSymbol(")");
        }
        if (acceptWord("VALUES")) {
            do {
                expectSymbol("(");
                std::vector<ExprPtr> row;
                do {
                    row.push_back(parseExpr());
                } while (acceptSymbol(","));
                expectSymbol(")");
                s.rows.push_back(std::move(row));
            } while (acceptSymbol(","));
        } else if (word("SELECT") || (symbol("(") && peek().isWord("SELECT"))) {
            s.select = parseSelect();
        } else if (acceptWord("DEFAULT")) {
            expectWord("VALUES");
            s.defaultValues = true;
        } else {
            fail();
        }
        return s;
    }

    Statement parseUpdate()
    {
        expectWord("UPDATE");
        if (word("TOP"))
            failWith(QStringLiteral("UPDATE TOP is not supported by the embedded database."));
        Statement s;
        s.kind = StatementKind::Update;
        s.table = takeObjectName();
        expectWord("SET");
        do {
            Assignment a;
            QString name = takeName();
            while (acceptSymbol("."))
                name = takeName();  // t.col = ...: SQLite wants the bare column
            a.column = name;
            expectSymbol("=");
            a.value = parseExpr();
            s.sets.push_back(std::move(a));
        } while (acceptSymbol(","));
        if (acceptWord("FROM"))
            s.from = parseFrom();
        if (acceptWord("WHERE"))
            s.where = parseExpr();
        return s;
    }

    Statement parseDelete()
    {
        expectWord("DELETE");
        if (word("TOP"))
            failWith(QStringLiteral("DELETE TOP is not supported by the embedded database."));
        acceptWord("FROM");
        Statement s;
        s.kind = StatementKind::Delete;
        s.table = takeObjectName();
        if (word("FROM"))
            failWith(QStringLiteral("DELETE with a second FROM clause is not supported by the embedded database."));
        if (acceptWord("WHERE"))
            s.where = parseExpr();
        return s;
    }

    // --- SELECT -------------------------------------------------------------------------

    SelectPtr parseSelect()
    {
        Nest guard(this);
        auto sel = std::make_unique<Select>();
        sel->cores.push_back(parseCore());
        for (;;) {
            QString op;
            if (acceptWord("UNION"))
                op = acceptWord("ALL") ? QStringLiteral("UNION ALL") : QStringLiteral("UNION");
            else if (acceptWord("EXCEPT"))
                op = QStringLiteral("EXCEPT");
            else if (acceptWord("INTERSECT"))
                op = QStringLiteral("INTERSECT");
            else
                break;
            sel->ops << op;
            sel->cores.push_back(parseCore());
        }
        if (acceptWord("ORDER")) {
            expectWord("BY");
            do {
                OrderItem item;
                item.expr = parseExpr();
                if (acceptWord("DESC"))
                    item.desc = true;
                else
                    acceptWord("ASC");
                sel->orderBy.push_back(std::move(item));
            } while (acceptSymbol(","));
        }
        return sel;
    }

    SelectCore parseCore()
    {
        Nest guard(this);
        SelectCore core;
        if (acceptSymbol("(")) {
            // A parenthesised member of a compound: only its plain core is allowed here.
            core = parseCore();
            expectSymbol(")");
            return core;
        }
        expectWord("SELECT");
        if (acceptWord("DISTINCT"))
            core.distinct = true;
        else
            acceptWord("ALL");
        if (acceptWord("TOP")) {
            if (acceptSymbol("(")) {
                core.top = parseExpr();
                expectSymbol(")");
            } else if (cur().kind == TokenKind::Number || cur().kind == TokenKind::Variable) {
                core.top = parsePrimary();
            } else {
                fail();
            }
            if (word("PERCENT"))
                failWith(QStringLiteral("TOP ... PERCENT is not supported by the embedded database."));
            if (word("WITH") && peek().isWord("TIES"))
                failWith(QStringLiteral("TOP ... WITH TIES is not supported by the embedded database."));
        }
        do {
            core.items.push_back(parseSelectItem());
        } while (acceptSymbol(","));
        if (word("INTO"))
            failWith(QStringLiteral("SELECT ... INTO is not supported by the embedded database."));
        if (acceptWord("FROM"))
            core.from = parseFrom();
        if (acceptWord("WHERE"))
            core.where = parseExpr();
        if (acceptWord("GROUP")) {
            expectWord("BY");
            do {
                core.groupBy.push_back(parseExpr());
            } while (acceptSymbol(","));
        }
        if (acceptWord("HAVING"))
            core.having = parseExpr();
        return core;
    }

    SelectItem parseSelectItem()
    {
        SelectItem item;
        // T-SQL's "alias = expression" form.
        if ((isName(cur()) || cur().kind == TokenKind::String) && peek().isSymbol("=")) {
            item.alias = cur().text;
            item.hasAlias = true;
            m_p += 2;
            item.expr = parseExpr();
            return item;
        }
        item.expr = parseExpr();
        if (acceptWord("AS")) {
            if (cur().kind == TokenKind::String || cur().kind == TokenKind::QuotedName
                || cur().kind == TokenKind::Word) {
                item.alias = cur().text;
                ++m_p;
            } else {
                fail();
            }
            item.hasAlias = true;
        } else if (isName(cur()) || cur().kind == TokenKind::String) {
            item.alias = cur().text;
            item.hasAlias = true;
            ++m_p;
        }
        return item;
    }

    std::vector<Join> parseFrom()
    {
        std::vector<Join> joins;
        Join first;
        first.table = parseTableRef();
        joins.push_back(std::move(first));
        for (;;) {
            Join j;
            if (acceptSymbol(",")) {
                j.table = parseTableRef();
                joins.push_back(std::move(j));
                continue;
            }
            bool needOn = true;
            if (acceptWord("JOIN")) {
                j.type = QStringLiteral("JOIN");
            } else if (acceptWord("INNER")) {
                expectWord("JOIN");
                j.type = QStringLiteral("JOIN");
            } else if (word("LEFT") || word("RIGHT") || word("FULL")) {
                const QString side = cur().upper;
                ++m_p;
                acceptWord("OUTER");
                expectWord("JOIN");
                j.type = side + QStringLiteral(" JOIN");
            } else if (acceptWord("CROSS")) {
                expectWord("JOIN");
                j.type = QStringLiteral("CROSS JOIN");
                needOn = false;
            } else {
                break;
            }
            j.table = parseTableRef();
            if (needOn) {
                expectWord("ON");
                j.on = parseExpr();
            }
            joins.push_back(std::move(j));
        }
        return joins;
    }

    TableRef parseTableRef()
    {
        TableRef ref;
        if (acceptSymbol("(")) {
            if (!word("SELECT"))
                fail();
            ref.derived = parseSelect();
            expectSymbol(")");
        } else {
            ref.name = takeObjectName();
        }
        if (acceptWord("AS"))
            ref.alias = takeName();
        else if (isName(cur()))
            ref.alias = takeName();
        if (word("WITH") && peek().isSymbol("(")) {
            // Table hints (NOLOCK, ...) mean nothing to the embedded engine.
            m_p += 2;
            while (!symbol(")") && cur().kind != TokenKind::End)
                ++m_p;
            expectSymbol(")");
        }
        if (!ref.derived.get() && ref.name.isEmpty())
            fail();
        return ref;
    }

    // --- expressions --------------------------------------------------------------------

    static ExprPtr make(ExprKind kind)
    {
        auto e = std::make_unique<Expr>();
        e->kind = kind;
        return e;
    }

    // Operator chains are bounded too: `1+1+...` is one level of nesting but as many levels
    // of the tree, and everything after the parser walks the tree recursively.
    static constexpr int kMaxHeight = 1000;

    void grow(Expr *e)
    {
        for (const ExprPtr &a : e->args)
            if (a)
                e->height = qMax(e->height, a->height + 1);
        if (e->height > kMaxHeight)
            failWith(QStringLiteral("The expression is too long: more than %1 operators or brackets in one chain.").arg(kMaxHeight));
    }

    ExprPtr binary(const QString &op, ExprPtr l, ExprPtr r)
    {
        auto e = make(ExprKind::Binary);
        e->op = op;
        e->args.push_back(std::move(l));
        e->args.push_back(std::move(r));
        grow(e.get());
        return e;
    }

    ExprPtr parseExpr()
    {
        Nest guard(this);
        return parseOr();
    }

    ExprPtr parseOr()
    {
        ExprPtr e = parseAnd();
        while (acceptWord("OR"))
            e = binary(QStringLiteral("OR"), std::move(e), parseAnd());
        return e;
    }

    ExprPtr parseAnd()
    {
        ExprPtr e = parseNot();
        while (acceptWord("AND"))
            e = binary(QStringLiteral("AND"), std::move(e), parseNot());
        return e;
    }

    ExprPtr parseNot()
    {
        Nest guard(this);
        if (acceptWord("NOT")) {
            auto e = make(ExprKind::Unary);
            e->op = QStringLiteral("NOT");
            e->args.push_back(parseNot());
            grow(e.get());
            return e;
        }
        return parsePredicate();
    }

    ExprPtr parsePredicate()
    {
        if (word("EXISTS")) {
            ++m_p;
            expectSymbol("(");
            auto e = make(ExprKind::Exists);
            e->select = parseSelect();
            expectSymbol(")");
            return e;
        }
        ExprPtr left = parseAdditive();
        static const char *const comparisons[] = {"=", "<>", "!=", "<", ">", "<=", ">=", "!<", "!>"};
        for (const char *op : comparisons) {
            if (symbol(op)) {
                ++m_p;
                QString o = QString::fromLatin1(op);
                if (o == QLatin1String("!="))
                    o = QStringLiteral("<>");
                else if (o == QLatin1String("!<"))
                    o = QStringLiteral(">=");
                else if (o == QLatin1String("!>"))
                    o = QStringLiteral("<=");
                return binary(o, std::move(left), parseAdditive());
            }
        }
        bool negated = false;
        if (word("NOT") && (peek().isWord("LIKE") || peek().isWord("IN") || peek().isWord("BETWEEN"))) {
            negated = true;
            ++m_p;
        }
        if (acceptWord("LIKE")) {
            auto e = make(ExprKind::Like);
            e->negated = negated;
            e->args.push_back(std::move(left));
            e->args.push_back(parseAdditive());
            if (acceptWord("ESCAPE"))
                e->args.push_back(parseAdditive());
            return e;
        }
        if (acceptWord("IN")) {
            expectSymbol("(");
            ExprPtr e;
            if (word("SELECT")) {
                e = make(ExprKind::InSelect);
                e->args.push_back(std::move(left));
                e->select = parseSelect();
            } else {
                e = make(ExprKind::InList);
                e->args.push_back(std::move(left));
                do {
                    e->args.push_back(parseExpr());
                } while (acceptSymbol(","));
            }
            expectSymbol(")");
            e->negated = negated;
            return e;
        }
        if (acceptWord("BETWEEN")) {
            auto e = make(ExprKind::Between);
            e->negated = negated;
            e->args.push_back(std::move(left));
            e->args.push_back(parseAdditive());
            expectWord("AND");
            e->args.push_back(parseAdditive());
            return e;
        }
        if (negated)
            fail();
        if (acceptWord("IS")) {
            auto e = make(ExprKind::IsNull);
            e->negated = acceptWord("NOT");
            expectWord("NULL");
            e->args.push_back(std::move(left));
            return e;
        }
        return left;
    }

    ExprPtr parseAdditive()
    {
        ExprPtr e = parseMultiplicative();
        for (;;) {
            if (symbol("+") || symbol("-") || symbol("&") || symbol("|") || symbol("^")) {
                const QString op = cur().text;
                ++m_p;
                e = binary(op, std::move(e), parseMultiplicative());
            } else {
                return e;
            }
        }
    }

    ExprPtr parseMultiplicative()
    {
        ExprPtr e = parseUnary();
        for (;;) {
            if (symbol("*") || symbol("/") || symbol("%")) {
                const QString op = cur().text;
                ++m_p;
                e = binary(op, std::move(e), parseUnary());
            } else {
                return e;
            }
        }
    }

    ExprPtr parseUnary()
    {
        Nest guard(this);
        if (symbol("-") || symbol("+") || symbol("~")) {
            auto e = make(ExprKind::Unary);
            e->op = cur().text;
            ++m_p;
            e->args.push_back(parseUnary());
            grow(e.get());
            return e;
        }
        return parsePrimary();
    }

    ExprPtr parsePrimary()
    {
        const Token &t = cur();
        switch (t.kind) {
        case TokenKind::Number: {
            auto e = make(ExprKind::Number);
            e->text = t.text;
            ++m_p;
            return e;
        }
        case TokenKind::String: {
            auto e = make(ExprKind::String);
            e->text = t.text;
            ++m_p;
            return e;
        }
        case TokenKind::Param:
            // A data-set parameter left in the text: the server rejects it, and SQLite would
            // quietly read it as NULL.
            fail();
        case TokenKind::Variable: {
            auto e = make(ExprKind::Variable);
            e->text = t.text;
            ++m_p;
            return e;
        }
        case TokenKind::Symbol:
            if (t.isSymbol("(")) {
                ++m_p;
                if (word("SELECT")) {
                    auto e = make(ExprKind::Subquery);
                    e->select = parseSelect();
                    expectSymbol(")");
                    return e;
                }
                auto e = make(ExprKind::Paren);
                e->args.push_back(parseExpr());
                grow(e.get());
                expectSymbol(")");
                return e;
            }
            if (t.isSymbol("*")) {
                ++m_p;
                return make(ExprKind::Star);
            }
            fail();
        case TokenKind::Word:
            if (t.isWord("NULL")) {
                ++m_p;
                return make(ExprKind::Null);
            }
            if (t.isWord("CASE"))
                return parseCase();
            if (t.isWord("CAST") && peek().isSymbol("("))
                return parseCast();
            if (t.isWord("CONVERT") && peek().isSymbol("("))
                return parseConvert();
            if (t.isWord("CURRENT_TIMESTAMP")) {
                ++m_p;
                auto e = make(ExprKind::Keyword);
                e->name = QStringLiteral("CURRENT_TIMESTAMP");
                return e;
            }
            if (reservedWords().contains(t.upper) && !(t.isWord("LEFT") || t.isWord("RIGHT")))
                fail();
            if ((t.isWord("LEFT") || t.isWord("RIGHT")) && !peek().isSymbol("("))
                fail();
            return parseNameOrCall();
        case TokenKind::QuotedName:
            return parseNameOrCall();
        case TokenKind::End:
            fail();
        }
        fail();
    }

    ExprPtr parseNameOrCall()
    {
        QStringList parts;
        parts << takeName();
        while (symbol(".")) {
            ++m_p;
            if (acceptSymbol("*")) {
                auto e = make(ExprKind::Star);
                e->qualifier = parts;
                return e;
            }
            parts << takeName();
        }
        if (symbol("("))
            return parseCall(parts.last());
        auto e = make(ExprKind::Column);
        e->name = parts.takeLast();
        e->qualifier = parts;
        return e;
    }

    ExprPtr parseCall(const QString &name)
    {
        const QString upper = name.toUpper();
        expectSymbol("(");
        if (upper == QLatin1String("DATEPART") || upper == QLatin1String("DATENAME")
            || upper == QLatin1String("DATEDIFF") || upper == QLatin1String("DATEADD")) {
            auto e = make(ExprKind::DatePartFunc);
            e->name = upper;
            const Token &w = cur();
            if (w.kind != TokenKind::Word && w.kind != TokenKind::String && w.kind != TokenKind::QuotedName)
                fail();
            e->part = canonicalDatePart(w.text);
            if (e->part.isEmpty())
                failWith(QStringLiteral("'%1' is not a recognized %2 option.").arg(w.text, name.toLower()));
            ++m_p;
            const int expected = upper == QLatin1String("DATEPART") || upper == QLatin1String("DATENAME") ? 1 : 2;
            for (int i = 0; i < expected; ++i) {
                expectSymbol(",");
                e->args.push_back(parseExpr());
            }
            expectSymbol(")");
            return e;
        }
        auto e = make(ExprKind::Func);
        e->name = upper;
        if (acceptSymbol(")"))
            return e;
        if (symbol("*") && aggregateNames().contains(upper)) {
            ++m_p;
            e->starArg = true;
            expectSymbol(")");
            return e;
        }
        if (acceptWord("DISTINCT"))
            e->distinct = true;
        else
            acceptWord("ALL");
        do {
            e->args.push_back(parseExpr());
        } while (acceptSymbol(","));
        expectSymbol(")");
        if (word("OVER"))
            failWith(QStringLiteral("Window functions are not supported by the embedded database."));
        return e;
    }

    ExprPtr parseCase()
    {
        expectWord("CASE");
        auto e = make(ExprKind::Case);
        if (!word("WHEN")) {
            e->hasOperand = true;
            e->args.push_back(parseExpr());
        }
        if (!word("WHEN"))
            fail();
        while (acceptWord("WHEN")) {
            e->args.push_back(parseExpr());
            expectWord("THEN");
            e->args.push_back(parseExpr());
        }
        if (acceptWord("ELSE")) {
            e->hasElse = true;
            e->args.push_back(parseExpr());
        }
        expectWord("END");
        return e;
    }

    // type name [ ( n [, m] | MAX ) ]: the name upper case into `type`, the length into `text`.
    void parseTypeName(Expr *e)
    {
        if (cur().kind != TokenKind::Word && cur().kind != TokenKind::QuotedName)
            fail();
        e->type = cur().text.toUpper();
        ++m_p;
        if (acceptSymbol("(")) {
            if (acceptWord("MAX")) {
                e->text = QStringLiteral("MAX");
            } else if (cur().kind == TokenKind::Number) {
                e->text = cur().text;
                ++m_p;
                if (acceptSymbol(",")) {
                    if (cur().kind != TokenKind::Number)
                        fail();
                    ++m_p;
                }
            } else {
                fail();
            }
            expectSymbol(")");
        }
    }

    ExprPtr parseCast()
    {
        expectWord("CAST");
        expectSymbol("(");
        auto e = make(ExprKind::Cast);
        e->name = QStringLiteral("CAST");
        e->args.push_back(parseExpr());
        expectWord("AS");
        parseTypeName(e.get());
        expectSymbol(")");
        return e;
    }

    ExprPtr parseConvert()
    {
        expectWord("CONVERT");
        expectSymbol("(");
        auto e = make(ExprKind::Cast);
        e->name = QStringLiteral("CONVERT");
        parseTypeName(e.get());
        expectSymbol(",");
        e->args.push_back(parseExpr());
        if (acceptSymbol(",")) {
            if (cur().kind != TokenKind::Number)
                fail();
            e->style = cur().text.toInt();
            ++m_p;
        }
        expectSymbol(")");
        return e;
    }
};

}  // namespace

bool parse(const QString &source, std::vector<Statement> *statements, QString *error)
{
    QVector<Token> tokens;
    if (!tokenize(source, &tokens, error))
        return false;
    try {
        Parser(source, tokens).parseBatch(statements);
    } catch (const ParseError &e) {
        *error = e.message;
        return false;
    }
    return true;
}

}  // namespace tsql
