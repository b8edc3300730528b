#include "db/zaprosy/dokument.h"

#include "db/connection.h"

namespace zaprosy::dokument {

namespace {
QString n(int v) { return QString::number(v); }
}  // namespace

QString spisokProsmotra()
{
    return sql::lines({QStringLiteral("SELECT"), QStringLiteral(" id, fail, id_povestka,opisanie,put"),
                       QStringLiteral("FROM"), QStringLiteral(" faili"), QStringLiteral("WHERE"),
                       QStringLiteral(" id_povestka = :a"), QStringLiteral("ORDER BY"), QStringLiteral(" opisanie")});
}

QString spisokRedaktora()
{
    return sql::lines({QStringLiteral("SELECT"), QStringLiteral("id,fail,id_povestka,opisanie,put"),
                       QStringLiteral("FROM"), QStringLiteral("faili"), QStringLiteral("WHERE"),
                       QStringLiteral("id_povestka = :a"), QStringLiteral("ORDER BY id")});
}

QString vstavit(int idPovestki, const QString &fail, const QString &opisanie, const QString &put)
{
    return QStringLiteral("INSERT INTO faili (id_povestka,fail,opisanie,put) VALUES (") + n(idPovestki)
           + QLatin1Char(',') + sql::quote(fail) + QLatin1Char(',') + sql::quote(opisanie) + QLatin1Char(',')
           + sql::quote(put) + QLatin1Char(')');
}

QString zamenit(int id, const QString &fail, const QString &put)
{
    return QStringLiteral("UPDATE faili SET fail=") + sql::quote(fail) + QStringLiteral(",put=") + sql::quote(put)
           + QStringLiteral(" WHERE id=") + n(id);
}

QString opisat(int id, const QString &opisanie)
{
    return QStringLiteral("UPDATE faili SET opisanie =") + sql::quote(opisanie) + QStringLiteral(" WHERE id=") + n(id);
}

QString udalit(int id)
{
    return QStringLiteral("DELETE FROM faili WHERE id=") + n(id);
}

QString udalitVoprosa(int idPovestki)
{
    return QStringLiteral("DELETE FROM faili WHERE id_povestka=") + n(idPovestki);
}

}  // namespace zaprosy::dokument
