#include "db/zaprosy/protokol.h"

#include "db/connection.h"
#include "db/zaprosy/konstanta.h"
#include "db/zhurnal.h"

namespace zaprosy::protokol {

namespace {

// "d.m.yyyy hh:mi" of a date-time column, as the meeting query returns it.
QString korotkoeVremya(const QString &column)
{
    return QStringLiteral("DATENAME(day,%1) + '.' + CAST(DATEPART(M,%1) as NVARCHAR) + '.'  + "
                          "CAST(DATEPART(yyyy,%1) as NVARCHAR) + ' ' + DATENAME(HH,%1) + ':' + DATENAME(MI,%1)")
        .arg(column);
}

}  // namespace

QString golosovania()
{
    return sql::lines({
        QStringLiteral("SELECT"),
        QStringLiteral("DATENAME(HH,golosovanie.data) + ':' + DATENAME(MI,golosovanie.data) as vremya,"),
        QStringLiteral("golosovanie.data as g_data,"),
        QStringLiteral("CASE vid"),
        QStringLiteral("WHEN 0 THEN 'Открытое голосование: ' + povestka.opisanie"),
        QStringLiteral("WHEN 1 THEN 'Тайное голосование: ' + povestka.opisanie"),
        QStringLiteral("WHEN 2 THEN 'Поименное голосование: ' + povestka.opisanie"),
        QStringLiteral("END as vid,"),
        QStringLiteral("'Обсуждается ' + povestka.opisanie as povestka,"),
        QStringLiteral("golosovanie.regim_polsov,"),
        QStringLiteral("golosovanie.regim,"),
        QStringLiteral("isbrano as vsego,"),
        QStringLiteral("golosovanie.prisutstvuet,"),
        QStringLiteral("(SELECT COUNT(*) FROM otvet WHERE id_golosovanie = golosovanie.id) as golosov,"),
        QStringLiteral("(SELECT COUNT(*) FROM otvet WHERE (id_golosovanie = golosovanie.id) AND (result=1)) as za,"),
        QStringLiteral("(SELECT COUNT(*) FROM otvet WHERE (id_golosovanie = golosovanie.id) AND (result=2)) as protiv,"),
        QStringLiteral("(SELECT COUNT(*) FROM otvet WHERE (id_golosovanie = golosovanie.id) AND (result=3)) as vosd,"),
        QStringLiteral("golosovanie.nuzno,"),
        QStringLiteral("povestka.info,"),
        // A secret vote's names are never read: its lists stay NULL.
        QStringLiteral("CASE golosovanie.vid WHEN 1 THEN NULL ELSE dbo.mnogoimen(golosovanie.id,1) END as fio_za,"),
        QStringLiteral("CASE golosovanie.vid WHEN 1 THEN NULL ELSE dbo.mnogoimen(golosovanie.id,2) END as fio_protiv,"),
        QStringLiteral("CASE golosovanie.vid WHEN 1 THEN NULL ELSE dbo.mnogoimen(golosovanie.id,3) END as fio_vosd,"),
        QStringLiteral("CASE golosovanie.vid WHEN 1 THEN NULL ELSE dbo.mnogoimen2(golosovanie.id,sessia_start.id) END "
                       "as fio_ne_golos,"),
        QStringLiteral("golosovanie.vid as vid_kod,"),
        QLatin1Char('(') + konstanta::kvorum() + QStringLiteral(") as kvorum,"),
        zhurnal::golovaSql(QStringLiteral("golosovanie.id")) + QStringLiteral(" as zhurnal,"),
        QStringLiteral("povestka.id as id_pov,"),
        QStringLiteral("povestka.aktiv_data,"),
        QStringLiteral("povestka.nomer,"),
        QStringLiteral("povestka.tip"),
        QStringLiteral("FROM"),
        QStringLiteral("golosovanie, povestka, sessia_start"),
        QStringLiteral("WHERE"),
        QStringLiteral("(golosovanie.id_sessia=sessia_start.id) AND"),
        QStringLiteral("(sessia_start.id_zasedanie=:a) AND"),
        QStringLiteral("(povestka.id = golosovanie.id_povestka)"),
        QStringLiteral("ORDER BY"),
        QStringLiteral("golosovanie.data"),
    });
}

QString zasedanie()
{
    return sql::lines({
        QStringLiteral("SELECT"),
        korotkoeVremya(QStringLiteral("zasedanie.start")) + QStringLiteral(" as dt,"),
        QStringLiteral("zasedanie.opisanie + ' объявляется открытым' as opisanie,"),
        QStringLiteral("zasedanie.opisanie + ' объявляется закрытым' as opisanie2,"),
        QStringLiteral("zasedanie.start,zasedanie.stop,"),
        korotkoeVremya(QStringLiteral("zasedanie.stop")) + QStringLiteral(" as dt2,"),
        QStringLiteral("(SELECT deputat.familia + ' ' + deputat.imya + ' ' + deputat.otchestvo as fio"),
        QStringLiteral("FROM sostav, deputat"),
        QStringLiteral("WHERE (chairman = 1) AND"),
        QStringLiteral("(deputat.id = sostav.id_deputat)) as fio,"),
        QStringLiteral("(SELECT SUBSTRING(deputat.imya,1,1) + '.' + SUBSTRING(deputat.otchestvo,1,1) + '. ' + "
                       "deputat.familia as fio2"),
        QStringLiteral("FROM sostav, deputat"),
        QStringLiteral("WHERE (chairman = 1) AND"),
        QStringLiteral("(deputat.id = sostav.id_deputat)) as fio2,"),
        QStringLiteral("(SELECT MIN(start) FROM sessia_start WHERE id_zasedanie = zasedanie.id) as zas_start"),
        QStringLiteral("FROM"),
        QStringLiteral("zasedanie"),
        QStringLiteral("WHERE"),
        QStringLiteral("(zasedanie.id = :a)"),
    });
}

}  // namespace zaprosy::protokol
