#include "db/tsql.h"

#include "db/tsql_functions.h"
#include "db/tsql_parser.h"
#include "db/tsql_printer.h"

#include <QHash>
#include <QSqlDriver>
#include <QVariant>

#include <sqlite3.h>

namespace tsql {

namespace {
// Statements carry their values as literals, so the set of texts keeps growing slowly
// (vote ids, countdown seconds); past this many the cache starts again.
constexpr int kCacheLimit = 4096;
}  // namespace

const Translation &translate(const QString &text, Dialect dialect)
{
    static thread_local QHash<QString, Translation> caches[2];
    QHash<QString, Translation> &cache = caches[dialect == Dialect::Postgres ? 1 : 0];
    const auto it = cache.constFind(text);
    if (it != cache.constEnd())
        return *it;
    if (cache.size() >= kCacheLimit)
        cache.clear();
    Translation t;
    std::vector<ast::Statement> statements;
    QString error;
    if (!parse(text, &statements, &error) || !print(statements, &t.statements, &error, dialect)) {
        t.statements.clear();
        t.error = error.isEmpty() ? QStringLiteral("Incorrect syntax.") : error;
    }
    return *cache.insert(text, t);
}

sqlite3 *sqliteHandle(const QSqlDatabase &db)
{
    const QVariant handle = db.driver() ? db.driver()->handle() : QVariant();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3 *const *>(handle.constData());
}

bool installFunctions(const QSqlDatabase &db, QString *error)
{
    sqlite3 *h = sqliteHandle(db);
    if (!h) {
        *error = QStringLiteral("The embedded database driver gives no open SQLite handle.");
        return false;
    }
    return registerFunctions(h, error);
}

}  // namespace tsql
