#include "db/tsql_lexer.h"

namespace tsql {

namespace {

bool isWordStart(QChar c)
{
    return c.isLetter() || c == QLatin1Char('_') || c == QLatin1Char('#');
}

bool isWordPart(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('#') || c == QLatin1Char('$');
}

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

}  // namespace

bool tokenize(const QString &s, QVector<Token> *tokens, QString *error)
{
    tokens->clear();
    const int n = s.size();
    // Half of a character pair cannot be sent on: the engine would take the text as broken
    // and fail with no reason of its own.
    for (int k = 0; k < n; ++k) {
        const QChar c = s[k];
        if (c.isHighSurrogate() && k + 1 < n && s[k + 1].isLowSurrogate()) {
            ++k;
            continue;
        }
        if (c.isSurrogate()) {
            *error = QStringLiteral("The statement contains an invalid character (half of a UTF-16 pair, U+%1) "
                                    "at position %2.")
                         .arg(QString::number(c.unicode(), 16).toUpper())
                         .arg(k + 1);
            return false;
        }
    }
    int i = 0;
    auto push = [&](TokenKind kind, int start, int end, const QString &text) {
        Token t;
        t.kind = kind;
        t.start = start;
        t.end = end;
        t.text = text;
        if (kind == TokenKind::Word || kind == TokenKind::Symbol)
            t.upper = text.toUpper();
        tokens->append(t);
    };

    while (i < n) {
        const QChar c = s[i];
        if (c.isSpace()) {
            ++i;
            continue;
        }
        if (c == QLatin1Char('-') && i + 1 < n && s[i + 1] == QLatin1Char('-')) {
            while (i < n && s[i] != QLatin1Char('\n'))
                ++i;
            continue;
        }
        if (c == QLatin1Char('/') && i + 1 < n && s[i + 1] == QLatin1Char('*')) {
            // T-SQL block comments nest.
            int depth = 0;
            while (i < n) {
                if (s[i] == QLatin1Char('/') && i + 1 < n && s[i + 1] == QLatin1Char('*')) {
                    ++depth;
                    i += 2;
                } else if (s[i] == QLatin1Char('*') && i + 1 < n && s[i + 1] == QLatin1Char('/')) {
                    i += 2;
                    if (--depth == 0)
                        break;
                } else {
                    ++i;
                }
            }
            if (depth != 0) {
                *error = QStringLiteral("Missing end comment mark '*/'.");
                return false;
            }
            continue;
        }
        const int start = i;
        // N'text' is a Unicode literal; every literal is Unicode here.
        const bool national = (c == QLatin1Char('N') || c == QLatin1Char('n')) && i + 1 < n
                              && s[i + 1] == QLatin1Char('\'');
        if (c == QLatin1Char('\'') || national) {
            if (national)
                ++i;
            ++i;
            QString value;
            bool closed = false;
            while (i < n) {
                if (s[i] == QLatin1Char('\'')) {
                    if (i + 1 < n && s[i + 1] == QLatin1Char('\'')) {
                        value += QLatin1Char('\'');
                        i += 2;
                        continue;
                    }
                    ++i;
                    closed = true;
                    break;
                }
                value += s[i++];
            }
            if (!closed) {
                *error = QStringLiteral("Unclosed quotation mark after the character string '%1'.").arg(value);
                return false;
            }
            push(TokenKind::String, start, i, value);
            continue;
        }
        if (c == QLatin1Char('[') || c == QLatin1Char('"')) {
            const QChar close = c == QLatin1Char('[') ? QLatin1Char(']') : QLatin1Char('"');
            ++i;
            QString name;
            bool closed = false;
            while (i < n) {
                if (s[i] == close) {
                    if (i + 1 < n && s[i + 1] == close) {
                        name += close;
                        i += 2;
                        continue;
                    }
                    ++i;
                    closed = true;
                    break;
                }
                name += s[i++];
            }
            if (!closed) {
                *error = QStringLiteral("Unclosed quotation mark after the character string '%1'.").arg(name);
                return false;
            }
            push(TokenKind::QuotedName, start, i, name);
            continue;
        }
        if (isDigit(c) || (c == QLatin1Char('.') && i + 1 < n && isDigit(s[i + 1]))) {
            while (i < n && isDigit(s[i]))
                ++i;
            if (i < n && s[i] == QLatin1Char('.')) {
                ++i;
                while (i < n && isDigit(s[i]))
                    ++i;
            }
            // An exponent only when digits follow; "5ORDER" or "5END" is a number then a word,
            // which is how the server reads a number run into a keyword.
            if (i < n && (s[i] == QLatin1Char('e') || s[i] == QLatin1Char('E'))) {
                int j = i + 1;
                if (j < n && (s[j] == QLatin1Char('+') || s[j] == QLatin1Char('-')))
                    ++j;
                if (j < n && isDigit(s[j])) {
                    i = j;
                    while (i < n && isDigit(s[i]))
                        ++i;
                }
            }
            push(TokenKind::Number, start, i, s.mid(start, i - start));
            continue;
        }
        if (isWordStart(c)) {
            while (i < n && isWordPart(s[i]))
                ++i;
            push(TokenKind::Word, start, i, s.mid(start, i - start));
            continue;
        }
        if (c == QLatin1Char('@')) {
            ++i;
            if (i < n && s[i] == QLatin1Char('@'))
                ++i;
            while (i < n && isWordPart(s[i]))
                ++i;
            push(TokenKind::Variable, start, i, s.mid(start, i - start));
            continue;
        }
        if (c == QLatin1Char(':') && i + 1 < n && (isWordStart(s[i + 1]) || isDigit(s[i + 1]))) {
            ++i;
            while (i < n && isWordPart(s[i]))
                ++i;
            push(TokenKind::Param, start, i, s.mid(start, i - start));
            continue;
        }
        // Two-character operators first.
        if (i + 1 < n) {
            const QString two = s.mid(i, 2);
            static const char *const pairs[] = {"<=", ">=", "<>", "!=", "!<", "!>", "||"};
            bool matched = false;
            for (const char *p : pairs) {
                if (two == QLatin1String(p)) {
                    push(TokenKind::Symbol, start, i + 2, two);
                    i += 2;
                    matched = true;
                    break;
                }
            }
            if (matched)
                continue;
        }
        if (QStringLiteral("(),.;+-*/%=<>~&|^").contains(c)) {
            push(TokenKind::Symbol, start, i + 1, QString(c));
            ++i;
            continue;
        }
        *error = QStringLiteral("Incorrect syntax near '%1'.").arg(c);
        return false;
    }
    Token end;
    end.kind = TokenKind::End;
    end.start = end.end = n;
    tokens->append(end);
    return true;
}

}  // namespace tsql
