#include "db/parol.h"

#include "db/connection.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <QList>
#include <QPair>
#include <QPasswordDigestor>
#include <QRandomGenerator>
#include <QStringList>

#include <sqlite3.h>

namespace parol {

namespace {

const QLatin1String kPrefiks("pbkdf2-sha256");
constexpr int kDlinaSoli = 16;
constexpr int kDlinaKlyucha = 32;
// Bounds on a stored iteration count, so a damaged row can neither pass with a trivial
// count nor stall a login for minutes.
constexpr int kMinIteracii = 1;
constexpr int kMaxIteracii = 10000000;

QByteArray klyuch(const QString &password, const QByteArray &sol, int iteracii)
{
    return QPasswordDigestor::deriveKeyPbkdf2(QCryptographicHash::Sha256, password.toUtf8(), sol, iteracii,
                                              kDlinaKlyucha);
}

// Compares without stopping at the first difference.
bool ravny(const QByteArray &a, const QByteArray &b)
{
    if (a.size() != b.size())
        return false;
    unsigned char d = 0;
    for (int i = 0; i < a.size(); ++i)
        d |= static_cast<unsigned char>(a[i] ^ b[i]);
    return d == 0;
}

QString tekst(sqlite3_stmt *st, int col)
{
    const auto *t = reinterpret_cast<const char *>(sqlite3_column_text(st, col));
    return QString::fromUtf8(t ? t : "", sqlite3_column_bytes(st, col));
}

}  // namespace

QString hesh(const QString &login, const QString &password)
{
    QByteArray sol(kDlinaSoli, Qt::Uninitialized);
    QRandomGenerator::system()->generate(sol.begin(), sol.end());
    const int iteracii = password == login ? kIteraciiObshedostupnogo : kIteracii;
    return QStringLiteral("%1$%2$%3$%4")
        .arg(kPrefiks)
        .arg(iteracii)
        .arg(QString::fromLatin1(sol.toBase64()), QString::fromLatin1(klyuch(password, sol, iteracii).toBase64()));
}

bool eHesh(const QString &stored)
{
    return stored.startsWith(kPrefiks + QLatin1Char('$'));
}

bool proverit(const QString &password, const QString &stored)
{
    if (!eHesh(stored))
        return ravny(password.toUtf8(), stored.toUtf8());
    const QStringList chasti = stored.split(QLatin1Char('$'));
    if (chasti.size() != 4)
        return false;
    bool ok = false;
    const int iteracii = chasti[1].toInt(&ok);
    if (!ok || iteracii < kMinIteracii || iteracii > kMaxIteracii)
        return false;
    const QByteArray sol = QByteArray::fromBase64(chasti[2].toLatin1());
    const QByteArray ozhidaemyi = QByteArray::fromBase64(chasti[3].toLatin1());
    if (sol.isEmpty() || ozhidaemyi.size() != kDlinaKlyucha)
        return false;
    return ravny(klyuch(password, sol, iteracii), ozhidaemyi);
}

bool heshirovatOtkrytye(sqlite3 *h, QString *error)
{
    auto oshibka = [&](const char *where) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(QLatin1String(where), QString::fromUtf8(sqlite3_errmsg(h)));
        sqlite3_exec(h, "ROLLBACK", nullptr, nullptr, nullptr);
        return false;
    };
    const char *const kOtkrytye = "SELECT login, password FROM logins WHERE password IS NOT NULL "
                                  "AND substr(password, 1, 14) <> 'pbkdf2-sha256$'";
    // A cheap look first: usually everything is hashed and no lock is needed.
    sqlite3_stmt *st = nullptr;
    if (sqlite3_prepare_v2(h, kOtkrytye, -1, &st, nullptr) != SQLITE_OK)
        return oshibka("logins");
    const bool est = sqlite3_step(st) == SQLITE_ROW;
    sqlite3_finalize(st);
    if (!est)
        return true;

    if (sqlite3_exec(h, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) != SQLITE_OK)
        return oshibka("logins");
    // Read again under the lock: another workstation may have done it meanwhile.
    QList<QPair<QString, QString>> stroki;
    if (sqlite3_prepare_v2(h, kOtkrytye, -1, &st, nullptr) != SQLITE_OK)
        return oshibka("logins");
    while (sqlite3_step(st) == SQLITE_ROW)
        stroki.append({tekst(st, 0), tekst(st, 1)});
    sqlite3_finalize(st);
    for (const auto &s : stroki) {
        const QByteArray upd = (QStringLiteral("UPDATE logins SET password = ") + sql::quote(hesh(s.first, s.second))
                                + QStringLiteral(" WHERE login = ") + sql::quote(s.first))
                                   .toUtf8();
        if (sqlite3_exec(h, upd.constData(), nullptr, nullptr, nullptr) != SQLITE_OK)
            return oshibka("logins");
    }
    if (sqlite3_exec(h, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK)
        return oshibka("logins");
    return true;
}

}  // namespace parol
