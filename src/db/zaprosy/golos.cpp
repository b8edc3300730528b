#include "db/zaprosy/golos.h"
#include "db/zaprosy/obshee.h"

#include "db/connection.h"

namespace zaprosy::golos {

QString otozvat(int idDeputata, int idGolosovania)
{
    return QStringLiteral("DELETE FROM otvet WHERE (id_deputat=") + chislo(idDeputata)
           + QStringLiteral(") AND (id_golosovanie=") + chislo(idGolosovania) + QLatin1Char(')');
}

QString podat(int idDeputata, int idPovestki, int kod, int idGolosovania)
{
    const QChar c = QLatin1Char(',');
    return QStringLiteral("INSERT INTO otvet (id_deputat,id_povestka,result,id_golosovanie) VALUES (") + chislo(idDeputata) + c
           + chislo(idPovestki) + c + chislo(kod) + c + chislo(idGolosovania) + QLatin1Char(')');
}

QString vsego(int idGolosovania)
{
    return QStringLiteral("SELECT count(*) FROM otvet WHERE id_golosovanie = ") + chislo(idGolosovania);
}

QString vsegoNaTablo(int idGolosovania)
{
    return QStringLiteral("SELECT count(*) as kol FROM otvet WHERE id_golosovanie = ") + chislo(idGolosovania);
}

QString poKodam(int idGolosovania)
{
    return sql::lines({QStringLiteral("SELECT count(id) as result, max(result) as kak"),
                       QStringLiteral("FROM otvet WHERE id_golosovanie = ") + chislo(idGolosovania),
                       QStringLiteral("GROUP BY result")});
}

QString mestaSVyborom()
{
    return sql::lines({QStringLiteral("SELECT mesto.nomer,otvet.result FROM otvet,sostav,mesto"),
                       QStringLiteral("WHERE (otvet.id_golosovanie = :a)"),
                       QStringLiteral("AND\t  (sostav.id_deputat = otvet.id_deputat)"),
                       QStringLiteral("AND   (mesto.id = sostav.id_mesto)")});
}

QString progolosovavshieMesta()
{
    return sql::lines({QStringLiteral("SELECT mesto.nomer FROM otvet,sostav,mesto"),
                       QStringLiteral("WHERE (otvet.id_golosovanie = :a)"),
                       QStringLiteral("AND   (sostav.id_deputat = otvet.id_deputat)"),
                       QStringLiteral("AND   (mesto.id = sostav.id_mesto)")});
}

}  // namespace zaprosy::golos
