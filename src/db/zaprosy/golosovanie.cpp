#include "db/zaprosy/golosovanie.h"
#include "db/zaprosy/obshee.h"

#include "db/connection.h"
#include "db/zaprosy/konstanta.h"

namespace zaprosy::golosovanie {

QString vstavit(const QString &regim, int tip, int vid, int isbrano, int prisutstvuet, const QString &regimPolsov,
                int nuzno, int zak, int idPovestki, int idSessii)
{
    const QChar c = QLatin1Char(',');
    return QStringLiteral("INSERT INTO golosovanie (data,regim,tip,vid,isbrano,prisutstvuet,regim_polsov,nuzno,zak,"
                          "id_povestka,id_sessia) VALUES (getdate(),")
           + sql::quote(regim) + c + chislo(tip) + c + chislo(vid) + c + chislo(isbrano) + c + chislo(prisutstvuet) + c
           + sql::quote(regimPolsov) + c + chislo(nuzno) + c + chislo(zak) + c + chislo(idPovestki) + c + chislo(idSessii)
           + QLatin1Char(')');
}

QString poslednee()
{
    return QStringLiteral("SELECT MAX(id) FROM golosovanie;");
}

QString dlyaProdolzheniya(int id)
{
    return QStringLiteral("SELECT regim_polsov,prisutstvuet,nuzno FROM golosovanie WHERE id=") + chislo(id);
}

QString pravilo(int id)
{
    return QStringLiteral("SELECT regim_polsov FROM golosovanie WHERE id=") + chislo(id);
}

QString vid(int id)
{
    return QStringLiteral("SELECT vid FROM golosovanie WHERE id=") + chislo(id);
}

QString kvorum(int id)
{
    return QStringLiteral("SELECT prisutstvuet, (") + konstanta::kvorum()
           + QStringLiteral(") as kvorum FROM golosovanie WHERE id=") + chislo(id);
}

QString itog(int id)
{
    return sql::lines({QStringLiteral("SELECT count(otvet.id) as result, max(otvet.result) as kak, max(nuzno) as nuzno"),
                       QStringLiteral("FROM otvet,golosovanie WHERE (id_golosovanie = ") + chislo(id) + QLatin1Char(')'),
                       QStringLiteral("AND (golosovanie.id = id_golosovanie)"), QStringLiteral("GROUP BY result")});
}

}  // namespace zaprosy::golosovanie
