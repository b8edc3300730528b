#pragma once

// Helpers of the hall screens' tests: a demo hall with an active item, and the rows the
// console and the terminals would write.

#include "core/cveta.h"
#include "core/vidzhety.h"
#include "support/workstation.h"

#include <QSqlQuery>

namespace zaltest {

// The first item of the demo meeting made active (terminals then start without a gate).
inline bool aktivirovat(TestHall &hall)
{
    return hall.ok() && hall.activateItem(hall.scalarInt(QStringLiteral("SELECT MIN(id) FROM povestka")));
}

inline int idMesta(TestHall &hall, const QString &nomer)
{
    return hall.scalarInt(QStringLiteral("SELECT id FROM mesto WHERE nomer = '%1'").arg(nomer));
}

// A speaker request of a seat, as the deputy's button writes it.
inline bool zapros(TestHall &hall, const QString &nomer)
{
    return hall.exec(QStringLiteral("INSERT INTO proshu_slovo (id_mesto) VALUES (%1)").arg(idMesta(hall, nomer)));
}

inline int zaprosov(TestHall &hall, const QString &nomer)
{
    return hall.scalarInt(QStringLiteral("SELECT count(*) FROM proshu_slovo WHERE id_mesto = %1").arg(idMesta(hall, nomer)));
}

// A vote as the set-up dialog stores it; returns its id.
inline int golosovanie(TestHall &hall, int nuzno, const QString &pravilo = QStringLiteral("Процедурные вопросы"))
{
    hall.exec(QStringLiteral("INSERT INTO golosovanie (data,regim,tip,vid,isbrano,prisutstvuet,regim_polsov,nuzno,"
                             "zak,id_povestka,id_sessia) VALUES (getdate(),'Большинство от присутствующих',0,0,27,20,"
                             "%1,%2,27,1,1)")
                  .arg(sql::quote(pravilo))
                  .arg(nuzno));
    return hall.scalarInt(QStringLiteral("SELECT MAX(id) FROM golosovanie;"));
}

// The ballot of the deputy seated at a seat.
inline bool golos(TestHall &hall, int idGolosovania, const QString &nomer, int kod)
{
    return hall.exec(QStringLiteral("INSERT INTO otvet (id_deputat,id_povestka,result,id_golosovanie) VALUES (%1,1,%2,%3)")
                         .arg(hall.deputyAt(nomer))
                         .arg(kod)
                         .arg(idGolosovania));
}

// The seat's last heartbeat `ago` seconds ago by the database's clock.
inline bool otmetka(TestHall &hall, const QString &nomer, int ago)
{
    QSqlQuery q(hall.db().database());
    return q.exec(QStringLiteral("UPDATE mesto SET podkl = strftime('%Y-%m-%d %H:%M:%f','now','localtime','-%1 seconds') "
                                 "WHERE nomer = '%2'")
                      .arg(ago)
                      .arg(nomer));
}

inline QString mesto(int n)
{
    return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}

inline QColor fon(const QWidget *w)
{
    return cvetFona(w);
}

}  // namespace zaltest
