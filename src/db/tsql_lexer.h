#pragma once

#include <QString>
#include <QVector>

// Tokens of the T-SQL subset the program sends. The lexer keeps source offsets so that
// statements we only pass through can be cut out of the original text unchanged.
namespace tsql {

enum class TokenKind {
    Word,        // identifier or keyword, unquoted
    QuotedName,  // [name] or "name"; text holds the name without the quotes
    Number,      // 12, 1.5, 2e3
    String,      // 'text' or N'text'; text holds the value with quotes undoubled
    Param,       // :a (data-set parameter left in the text)
    Variable,    // @name or @@name; text holds it with the @ signs
    Symbol,      // ( ) , . ; + - * / % = < > <= >= <> != !< !> ~ & | ^
    End,
};

struct Token {
    TokenKind kind = TokenKind::End;
    QString text;   // see TokenKind
    QString upper;  // text in upper case, for keyword tests (Word and Symbol only)
    int start = 0;  // offsets into the source text
    int end = 0;

    bool isWord(const char *keyword) const { return kind == TokenKind::Word && upper == QLatin1String(keyword); }
    bool isSymbol(const char *symbol) const { return kind == TokenKind::Symbol && text == QLatin1String(symbol); }
};

// Splits `source` into tokens (comments and blanks dropped), ending with one End token.
// On a lexical error returns false and puts SQL Server's wording into `error`.
bool tokenize(const QString &source, QVector<Token> *tokens, QString *error);

}  // namespace tsql
