#pragma once

// Helpers of the console tests: the console frame of a workstation, the meetings chooser
// answered with a given meeting, raw SQLite on the hall database (triggers that record or
// break writes), and pictures of windows when VOTER_SHOTS names a folder.

#include "console/admin_interfeis.h"
#include "editors/zasedanie_form.h"
#include "support/workstation.h"

#include <QDir>
#include <QSqlError>
#include <QSqlQuery>
#include <QWidget>

namespace konsol_test {

inline TAdminInterfeis *frame(Workstation &ws)
{
    return ws->konsol().AdminInterfeis;
}

// Queues the answer to the next meetings window: the meeting `id` chosen with "Выбрать".
// The window as it was shown is handed to `inspect` first.
inline void vybratZasedanie(Workstation &ws, int id, std::function<void(TZasedanieForm *)> inspect = nullptr)
{
    ws.dialogs.modalHandlers.enqueue([id, inspect](QDialog *d) {
        auto *form = qobject_cast<TZasedanieForm *>(d);
        if (!form)
            return int(QDialog::Rejected);
        if (inspect)
            inspect(form);
        if (!form->selectMeeting(id))
            return int(QDialog::Rejected);
        form->KnopkaOKClick();
        return form->result();
    });
}

// Opens a meeting from the console as the operator does; true when it is then open.
inline bool otkryt(Workstation &ws, int id)
{
    vybratZasedanie(ws, id);
    frame(ws)->KnopkaStartZasClick();
    return ws->IdZasedania() == id;
}

// SQLite itself on the hall's database, for what the T-SQL layer need not know (triggers).
inline bool syroi(TestHall &hall, const QString &statement)
{
    QSqlQuery q(hall.db().database());
    if (!q.exec(statement)) {
        qWarning("raw SQLite: %s\n  %s", qPrintable(q.lastError().text()), qPrintable(statement));
        return false;
    }
    return true;
}

// Every write of the mode row, in order, as "nomer,param1,param2".
inline bool zapisyvatRegim(TestHall &hall)
{
    return syroi(hall, QStringLiteral("CREATE TABLE regim_log (n INTEGER PRIMARY KEY AUTOINCREMENT, nomer, param1, param2)"))
           && syroi(hall, QStringLiteral("CREATE TRIGGER regim_log_t AFTER UPDATE ON regim BEGIN "
                                         "INSERT INTO regim_log (nomer, param1, param2) VALUES (NEW.nomer, NEW.param1, NEW.param2); END"));
}

inline QStringList zapisiRegima(TestHall &hall)
{
    QStringList out;
    QSqlQuery q(hall.db().database());
    if (!q.exec(QStringLiteral("SELECT nomer, param1, param2 FROM regim_log ORDER BY n")))
        return out;
    while (q.next())
        out << QStringLiteral("%1,%2,%3").arg(q.value(0).toInt()).arg(q.value(1).toInt()).arg(q.value(2).toInt());
    return out;
}

// A picture of a window into $VOTER_SHOTS/<name>.png when that folder is given.
inline void snimok(QWidget *w, const QString &name)
{
    const QString dir = qEnvironmentVariable("VOTER_SHOTS");
    if (dir.isEmpty() || !w)
        return;
    QDir().mkpath(dir);
    w->grab().save(QDir(dir).filePath(name + QStringLiteral(".png")));
}

}  // namespace konsol_test
