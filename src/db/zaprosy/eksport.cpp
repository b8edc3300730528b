#include "db/zaprosy/eksport.h"
#include "db/zaprosy/obshee.h"

#include "db/connection.h"

namespace zaprosy::eksport {

QString zasedanieSGolosovaniem()
{
    return QStringLiteral("SELECT MAX(sessia_start.id_zasedanie) FROM golosovanie, sessia_start "
                          "WHERE golosovanie.id_sessia = sessia_start.id");
}

QString posledneeZasedanie()
{
    return QStringLiteral("SELECT MAX(id) FROM zasedanie");
}

QString zasedanie(int id)
{
    return QStringLiteral("SELECT id,data,opisanie,start,stop FROM zasedanie WHERE id=") + chislo(id);
}

QString golosovania(int idZasedania)
{
    return sql::lines({
        QStringLiteral("SELECT golosovanie.id, golosovanie.data, golosovanie.tip, golosovanie.vid,"),
        QStringLiteral(" golosovanie.regim_polsov, golosovanie.regim, golosovanie.isbrano,"),
        QStringLiteral(" golosovanie.prisutstvuet, golosovanie.nuzno, golosovanie.zak,"),
        QStringLiteral(" povestka.id as id_pov, povestka.opisanie as pov,"),
        QStringLiteral(" (SELECT COUNT(*) FROM otvet WHERE (id_golosovanie = golosovanie.id) AND (result=1)) as za,"),
        QStringLiteral(" (SELECT COUNT(*) FROM otvet WHERE (id_golosovanie = golosovanie.id) AND (result=2)) as protiv,"),
        QStringLiteral(" (SELECT COUNT(*) FROM otvet WHERE (id_golosovanie = golosovanie.id) AND (result=3)) as vosd"),
        QStringLiteral("FROM golosovanie, povestka, sessia_start"),
        QStringLiteral("WHERE (golosovanie.id_sessia = sessia_start.id) AND (sessia_start.id_zasedanie = ")
            + chislo(idZasedania) + QLatin1Char(')'),
        QStringLiteral("AND (povestka.id = golosovanie.id_povestka)"),
        QStringLiteral("ORDER BY golosovanie.data, golosovanie.id"),
    });
}

QString byulleteni(int idGolosovania)
{
    return sql::lines({QStringLiteral("SELECT otvet.id_deputat, otvet.result,"),
                       QStringLiteral(" deputat.familia + ' ' + deputat.imya + ' ' + deputat.otchestvo as fio,"),
                       QStringLiteral(" (SELECT MIN(mesto.nomer) FROM sostav, mesto WHERE (sostav.id_deputat = otvet.id_deputat)"),
                       QStringLiteral("   AND (mesto.id = sostav.id_mesto)) as nomer"),
                       QStringLiteral("FROM otvet LEFT JOIN deputat ON deputat.id = otvet.id_deputat"),
                       QStringLiteral("WHERE otvet.id_golosovanie = ") + chislo(idGolosovania),
                       QStringLiteral("ORDER BY deputat.familia, deputat.imya, deputat.otchestvo, otvet.id_deputat")});
}

}  // namespace zaprosy::eksport
