#include "db/tsql_output.h"

#include <QRegularExpression>

namespace tsql {

void failPrint(const QString &message)
{
    throw PrintError{message};
}

QSet<QString> wordSet(const char *words)
{
    QSet<QString> s;
    for (const QString &w : QString::fromLatin1(words).split(QLatin1Char(' ')))
        s.insert(w);
    return s;
}

bool isPlainName(const QString &name)
{
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    return plain.match(name).hasMatch();
}

}  // namespace tsql
