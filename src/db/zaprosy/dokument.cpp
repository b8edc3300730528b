#include "db/zaprosy/dokument.h"
#include "db/zaprosy/obshee.h"

#include "db/connection.h"

namespace zaprosy::dokument {

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
    return QStringLiteral("INSERT INTO faili (id_povestka,fail,opisanie,put) VALUES (") + chislo(idPovestki)
           + QLatin1Char(',') + sql::quote(fail) + QLatin1Char(',') + sql::quote(opisanie) + QLatin1Char(',')
           + sql::quote(put) + QLatin1Char(')');
}

QString zamenit(int id, const QString &fail, const QString &put)
{
    return QStringLiteral("UPDATE faili SET fail=") + sql::quote(fail) + QStringLiteral(",put=") + sql::quote(put)
           + QStringLiteral(" WHERE id=") + chislo(id);
}

QString opisat(int id, const QString &opisanie)
{
    return QStringLiteral("UPDATE faili SET opisanie =") + sql::quote(opisanie) + QStringLiteral(" WHERE id=") + chislo(id);
}

QString udalit(int id)
{
    return QStringLiteral("DELETE FROM faili WHERE id=") + chislo(id);
}

QString udalitVoprosa(int idPovestki)
{
    return QStringLiteral("DELETE FROM faili WHERE id_povestka=") + chislo(idPovestki);
}

}  // namespace zaprosy::dokument
