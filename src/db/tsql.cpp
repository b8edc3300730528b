// Placeholder translation: passes statements through unchanged until the T-SQL layer lands.
#include "db/tsql.h"

#include <QHash>

namespace tsql {

const Translation &translate(const QString &text)
{
    static thread_local QHash<QString, Translation> cache;
    auto it = cache.find(text);
    if (it != cache.end())
        return *it;
    Translation t;
    t.statements << text;
    return *cache.insert(text, t);
}

bool installFunctions(const QSqlDatabase &, QString *)
{
    return true;
}

}  // namespace tsql
