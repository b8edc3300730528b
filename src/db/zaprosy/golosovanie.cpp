#include "db/zaprosy/golosovanie.h"

#include "db/connection.h"
#include "db/zaprosy/konstanta.h"

namespace zaprosy::golosovanie {

namespace {
QString n(int v) { return QString::number(v); }
}  // namespace

QString vstavit(const QString &regim, int tip, int vid, int isbrano, int prisutstvuet, const QString &regimPolsov,
                int nuzno, int zak, int idPovestki, int idSessii)
{
    const QChar c = QLatin1Char(',');
    return QStringLiteral("INSERT INTO golosovanie (data,regim,tip,vid,isbrano,prisutstvuet,regim_polsov,nuzno,zak,"
                          "id_povestka,id_sessia) VALUES (getdate(),")
           + sql::quote(regim) + c + n(tip) + c + n(vid) + c + n(isbrano) + c + n(prisutstvuet) + c
           + sql::quote(regimPolsov) + c + n(nuzno) + c + n(zak) + c + n(idPovestki) + c + n(idSessii)
           + QLatin1Char(')');
}

QString poslednee()
{
    return QStringLiteral("SELECT MAX(id) FROM golosovanie;");
}

QString dlyaProdolzheniya(int id)
{
    return QStringLiteral("SELECT regim_polsov,prisutstvuet,nuzno FROM golosovanie WHERE id=") + n(id);
}

QString pravilo(int id)
{
    return QStringLiteral("SELECT regim_polsov FROM golosovanie WHERE id=") + n(id);
}

QString vid(int id)
{
    return QStringLiteral("SELECT vid FROM golosovanie WHERE id=") + n(id);
}

QString kvorum(int id)
{
    return QStringLiteral("SELECT prisutstvuet, (") + konstanta::kvorum()
           + QStringLiteral(") as kvorum FROM golosovanie WHERE id=") + n(id);
}

QString itog(int id)
{
    return sql::lines({QStringLiteral("SELECT count(otvet.id) as result, max(otvet.result) as kak, max(nuzno) as nuzno"),
                       QStringLiteral("FROM otvet,golosovanie WHERE (id_golosovanie = ") + n(id) + QLatin1Char(')'),
                       QStringLiteral("AND (golosovanie.id = id_golosovanie)"), QStringLiteral("GROUP BY result")});
}

}  // namespace zaprosy::golosovanie
