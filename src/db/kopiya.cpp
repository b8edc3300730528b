#include "db/kopiya.h"

#include "db/tsql.h"

#include <QFile>
#include <QFileInfo>

#include <sqlite3.h>

namespace kopiya {

bool sdelat(DbConnection &db, const QString &file, QString *error)
{
    auto fail = [error](const QString &text) {
        if (error)
            *error = text;
        return false;
    };
    if (db.engine() != DbEngine::Embedded)
        return fail(QStringLiteral("A server database is copied with the server's own tool: on SQL Server "
                                   "BACKUP DATABASE (sqlcmd), on PostgreSQL pg_dump -Fc."));
    sqlite3 *src = tsql::sqliteHandle(db.database());
    if (!src)
        return fail(QStringLiteral("The connection is not open."));
    if (QFileInfo::exists(file))
        return fail(QStringLiteral("The file \"%1\" already exists.").arg(file));
    const QString temp = file + QStringLiteral(".part");
    QFile::remove(temp);

    sqlite3 *dst = nullptr;
    QString problem;
    if (sqlite3_open_v2(temp.toUtf8().constData(), &dst, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK) {
        problem = QString::fromUtf8(dst ? sqlite3_errmsg(dst) : "out of memory");
    } else {
        // All pages in one step: one read transaction, hence one consistent state. A writer
        // in WAL mode is not blocked by it.
        sqlite3_backup *b = sqlite3_backup_init(dst, "main", src, "main");
        if (!b) {
            problem = QString::fromUtf8(sqlite3_errmsg(dst));
        } else {
            int rc;
            int tries = 0;
            while ((rc = sqlite3_backup_step(b, -1)) == SQLITE_BUSY || rc == SQLITE_LOCKED) {
                if (++tries > 100)
                    break;
                sqlite3_sleep(50);
            }
            if (sqlite3_backup_finish(b) != SQLITE_OK || rc != SQLITE_DONE)
                problem = QString::fromUtf8(sqlite3_errstr(rc == SQLITE_DONE ? sqlite3_errcode(dst) : rc));
        }
        if (problem.isEmpty()) {
            // A standalone file: no journal beside it.
            sqlite3_exec(dst, "PRAGMA journal_mode=DELETE", nullptr, nullptr, nullptr);
            sqlite3_stmt *st = nullptr;
            if (sqlite3_prepare_v2(dst, "PRAGMA integrity_check", -1, &st, nullptr) != SQLITE_OK
                || sqlite3_step(st) != SQLITE_ROW
                || qstrcmp(reinterpret_cast<const char *>(sqlite3_column_text(st, 0)), "ok") != 0)
                problem = QStringLiteral("the copy does not pass the integrity check");
            sqlite3_finalize(st);
        }
    }
    if (sqlite3_close(dst) != SQLITE_OK && problem.isEmpty())
        problem = QStringLiteral("the copy could not be closed");
    if (problem.isEmpty() && !QFile::rename(temp, file))
        problem = QStringLiteral("cannot put the copy in place");
    if (!problem.isEmpty()) {
        QFile::remove(temp);
        return fail(QStringLiteral("Backup to \"%1\" failed: %2").arg(file, problem));
    }
    return true;
}

}  // namespace kopiya
