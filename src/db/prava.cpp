#include "db/prava.h"

#include "db/connection.h"

#include <QStringList>

#include <sqlite3.h>

#include <cstring>

namespace prava {

namespace {

const char kPrefiksStroki[] = "The permission was denied on this row of the object ";

bool odinIz(const char *name, std::initializer_list<const char *> names)
{
    if (!name)
        return false;
    for (const char *n : names)
        if (sqlite3_stricmp(name, n) == 0)
            return true;
    return false;
}

int otkazat(Kontekst *k, const char *deistvie, const char *obekt)
{
    k->posledniiOtkaz = QStringLiteral("The %1 permission was denied on the object '%2'.")
                            .arg(QLatin1String(deistvie), QString::fromUtf8(obekt ? obekt : ""));
    return SQLITE_DENY;
}

int avtorizator(void *data, int action, const char *a3, const char *a4, const char *, const char *trigger)
{
    auto *k = static_cast<Kontekst *>(data);
    // The vote journal is appended by the schema's triggers in the statement that writes the
    // recorded row; no login may write it directly, and no hall login can create a trigger.
    if (action == SQLITE_INSERT && trigger && odinIz(a3, {"zhurnal"}))
        return SQLITE_OK;
    switch (action) {
    case SQLITE_SELECT:
    case SQLITE_FUNCTION:
    case SQLITE_TRANSACTION:
    case SQLITE_SAVEPOINT:
    case SQLITE_RECURSIVE:
        return SQLITE_OK;
    case SQLITE_READ:
        return odinIz(a3, {"logins"}) ? otkazat(k, "SELECT", a3) : SQLITE_OK;
    case SQLITE_INSERT:
        if (k->rol == Rol::Mesto && odinIz(a3, {"otvet", "sessia", "proshu_slovo"}))
            return SQLITE_OK;
        return otkazat(k, "INSERT", a3);
    case SQLITE_DELETE:
        if (k->rol == Rol::Mesto && odinIz(a3, {"otvet", "sessia", "proshu_slovo"}))
            return SQLITE_OK;
        return otkazat(k, "DELETE", a3);
    case SQLITE_UPDATE:
        // The heartbeat and the connected mark; the watcher sends them too, for a seat
        // number that is no seat, so they must prepare and then change no row.
        if (odinIz(a3, {"mesto"}) && odinIz(a4, {"connected", "podkl"}))
            return SQLITE_OK;
        return otkazat(k, "UPDATE", a3);
    case SQLITE_PRAGMA:
        // Reading a setting or the layout of a table; setting anything is refused.
        if (!a4 || odinIz(a3, {"table_info", "table_xinfo", "index_list", "index_info", "index_xinfo",
                               "foreign_key_list"}))
            return SQLITE_OK;
        return otkazat(k, "PRAGMA", a3);
    default:
        // Schema changes, ATTACH/DETACH, ANALYZE, REINDEX, virtual tables.
        return otkazat(k, "ALTER", a3 ? a3 : "database");
    }
}

}  // namespace

Rol rolLogina(const QString &login)
{
    if (login.startsWith(QLatin1String("admin")))
        return Rol::Operator;
    if (login == QLatin1String("watcher"))
        return Rol::Nablyudatel;
    return Rol::Mesto;
}

QString prefiksOtkazaStroki()
{
    return QString::fromLatin1(kPrefiksStroki);
}

bool ustanovit(sqlite3 *h, const QString &login, Kontekst *k, QString *error)
{
    k->rol = rolLogina(login);
    k->posledniiOtkaz.clear();
    sqlite3_set_authorizer(h, nullptr, nullptr);
    if (k->rol == Rol::Operator)
        return true;

    const QString L = sql::quote(login);
    const QString svoiDeputat = QStringLiteral(
        "EXISTS (SELECT 1 FROM main.sostav s JOIN main.mesto m ON m.id = s.id_mesto WHERE m.nomer = %1 "
        "AND s.id_deputat = %2)");
    const QString svoeMesto = QStringLiteral("EXISTS (SELECT 1 FROM main.mesto m WHERE m.nomer = %1 AND m.id = %2)");
    const QString predsedatel = QStringLiteral(
        "EXISTS (SELECT 1 FROM main.sostav s JOIN main.mesto m ON m.id = s.id_mesto WHERE m.nomer = %1 "
        "AND s.chairman = 1)").arg(L);
    struct Pravilo {
        const char *tablica;
        const char *sobytie;
        QString dopusk;
    };
    const Pravilo pravila[] = {
        {"otvet", "INSERT", svoiDeputat.arg(L, QStringLiteral("NEW.id_deputat"))},
        {"otvet", "DELETE", svoiDeputat.arg(L, QStringLiteral("OLD.id_deputat"))},
        {"sessia", "INSERT", svoiDeputat.arg(L, QStringLiteral("NEW.id_deputat"))},
        {"sessia", "DELETE", svoiDeputat.arg(L, QStringLiteral("OLD.id_deputat"))},
        {"proshu_slovo", "INSERT", svoeMesto.arg(L, QStringLiteral("NEW.id_mesto"))},
        {"proshu_slovo", "DELETE", svoeMesto.arg(L, QStringLiteral("OLD.id_mesto")) + QStringLiteral(" OR ") + predsedatel},
        {"mesto", "UPDATE", QStringLiteral("OLD.nomer = %1").arg(L)},
    };
    QStringList sql;
    for (const Pravilo &p : pravila) {
        const QString imya = QStringLiteral("prava_%1_%2").arg(QLatin1String(p.tablica), QString::fromLatin1(p.sobytie).toLower());
        sql << QStringLiteral("DROP TRIGGER IF EXISTS temp.%1;").arg(imya)
            << QStringLiteral("CREATE TEMP TRIGGER %1 BEFORE %2 ON main.%3 WHEN NOT (%4) BEGIN SELECT RAISE(ABORT, %5); END;")
                   .arg(imya, QLatin1String(p.sobytie), QLatin1String(p.tablica), p.dopusk,
                        sql::quote(prefiksOtkazaStroki() + QLatin1Char('\'') + QLatin1String(p.tablica)
                                   + QStringLiteral("' (") + QLatin1String(p.sobytie) + QStringLiteral(")")));
    }
    char *message = nullptr;
    if (sqlite3_exec(h, sql.join(QLatin1Char('\n')).toUtf8().constData(), nullptr, nullptr, &message) != SQLITE_OK) {
        if (error)
            *error = QString::fromUtf8(message ? message : sqlite3_errmsg(h));
        sqlite3_free(message);
        return false;
    }
    sqlite3_set_authorizer(h, avtorizator, k);
    return true;
}

}  // namespace prava
