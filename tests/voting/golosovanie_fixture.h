#pragma once

// Shared set-up of the voting tests: a hall with an active agenda item and a registration
// period, the console's vote dialogs reached through the scripted modal handlers, and
// failures injected with SQLite triggers.

#include "console/golosovanie_forma.h"
#include "console/process_golos2_forma.h"
#include "support/workstation.h"

#include <QDir>
#include <QSqlError>
#include <QSqlQuery>
#include <QtTest>

#include <functional>

namespace golostest {

// With VOTER_SCREENS set to a folder, the windows are also saved there as PNG files.
inline void snimok(QWidget *w, const QString &imya)
{
    const QString papka = qEnvironmentVariable("VOTER_SCREENS");
    if (papka.isEmpty())
        return;
    QDir().mkpath(papka);
    w->grab().save(QDir(papka).filePath(imya + QStringLiteral(".png")));
}

// A statement sent to the hall's SQLite file as it is (triggers and other DDL that the
// workstations' T-SQL does not need).
inline bool sqlite(TestHall &hall, const QString &sql)
{
    QSqlQuery q(hall.db().database());
    if (!q.exec(sql)) {
        qWarning("sqlite: %s\n  %s", qPrintable(q.lastError().text()), qPrintable(sql));
        return false;
    }
    return true;
}

// Makes every statement of the kind fail while the condition holds, e.g.
// failWhen(hall, "regim", "UPDATE", "NEW.param2 = 7").
inline bool failWhen(TestHall &hall, const QString &table, const QString &event, const QString &condition,
                     const QString &name = QStringLiteral("sboi"))
{
    return sqlite(hall, QStringLiteral("CREATE TRIGGER %1 BEFORE %2 ON %3 WHEN %4 BEGIN SELECT RAISE(ABORT, "
                                       "'injected failure'); END")
                            .arg(name, event, table, condition));
}

inline bool stopFailing(TestHall &hall, const QString &name = QStringLiteral("sboi"))
{
    return sqlite(hall, QStringLiteral("DROP TRIGGER IF EXISTS ") + name);
}

inline int itemId(TestHall &hall, const QString &opisanie)
{
    return hall.scalarInt(QStringLiteral("SELECT id FROM povestka WHERE opisanie = ") + sql::quote(opisanie));
}

inline int ruleId(TestHall &hall, const QString &opisanie)
{
    return hall.scalarInt(QStringLiteral("SELECT id FROM regim_golos WHERE opisanie = ") + sql::quote(opisanie));
}

// The hall the whole-hall vote tests start from: "Вопрос 1" of the demo meeting active, a
// registration period with the deputies of seats 03, 04 and 05 present (the chairman, 02,
// registers at start-up) and a quorum of 4 that they reach. False when a step failed.
struct ZalGotov {
    int meeting = 0;
    int item = 0;
    int period = 0;
};
inline bool zalGotov(TestHall &hall, ZalGotov *z)
{
    z->meeting = hall.demoMeeting();
    z->item = itemId(hall, QStringLiteral("Вопрос 1"));
    if (!hall.activateItem(z->item))
        return false;
    z->period = hall.openPeriod(z->meeting);
    for (const char *seat : {"03", "04", "05"})
        if (!hall.registerDeputy(hall.deputyAt(QString::fromLatin1(seat)), z->period, z->meeting))
            return false;
    return hall.exec(QStringLiteral("UPDATE konstanti SET znachenie = '4' WHERE opisanie LIKE 'Кворум'"));
}

// The mode row as "nomer/param1/param2".
inline QString mode(TestHall &hall)
{
    ResultSet rs;
    hall.db().query(QStringLiteral("SELECT nomer,param1,param2 FROM regim"), &rs);
    return QStringLiteral("%1/%2/%3").arg(rs.value(0, 0).toInt()).arg(rs.value(0, 1).toInt()).arg(rs.value(0, 2).toInt());
}

// Queues an action on the next modal window of the workstation, which must be of class T.
// (QCOMPARE and friends may be used inside; the window's own result is returned.)
template <class T>
void onModal(Workstation &ws, std::function<void(T *)> act)
{
    ws.dialogs.modalHandlers.enqueue([act](QDialog *d) {
        T *w = qobject_cast<T *>(d);
        if (!w) {
            qWarning("unexpected modal window %s", d->metaObject()->className());
            return int(QDialog::Rejected);
        }
        act(w);
        return d->result();
    });
}

inline void onSetup(Workstation &ws, std::function<void(TGolosovanieForma *)> act)
{
    onModal<TGolosovanieForma>(ws, std::move(act));
}

inline void onProgress(Workstation &ws, std::function<void(TProcessGolos2Forma *)> act)
{
    onModal<TProcessGolos2Forma>(ws, std::move(act));
}

// How many times a window class was shown modally on the workstation.
inline int shownCount(const Workstation &ws, const char *className)
{
    return ws.dialogs.modalClasses.count(QString::fromLatin1(className));
}

}  // namespace golostest
