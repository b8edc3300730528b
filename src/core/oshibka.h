#pragma once

#include "db/connection.h"

#include <QList>
#include <QString>

class Dialogs;
class QWidget;

// The one way a window reports a failed statement. The errors are taken off the connection
// before the box is shown: the main window's timers keep ticking inside the box's event loop,
// and their error check ends the program on any pending error, so an error left on the
// connection while it is being reported would end the workstation. What the timers still
// find pending is then only what nobody reported.
class OshibkaBazy {
public:
    // Takes the connection's pending errors (text and native number) and empties its list.
    explicit OshibkaBazy(DbConnection *db);
    OshibkaBazy() = default;

    bool est() const { return !m_errors.isEmpty(); }
    const QList<DbError> &spisok() const { return m_errors; }
    // The first error's description, or an empty text.
    QString tekst() const;
    // The first error's native number, 0 when there is none.
    int nomer() const;
    // A row still referred to by another table's rows (a delete that would leave them dangling).
    bool narushenieSsylki() const { return nomer() == DbError::ReferenceViolation; }

    // One error box: caption, error icon, the heading, the first error's description and the
    // ending. Nothing is shown when no error was taken.
    void pokazat(Dialogs *dialogs, QWidget *parent, const QString &nachalo = QString(),
                 const QString &konec = QString(), const QString &zagolovok = kZagolovok) const;

    static const QString kZagolovok;  // "Ошибка"

private:
    QList<DbError> m_errors;
};

// Takes the pending errors and, when there were any, shows them in one box (see pokazat).
// True when an error was shown.
bool soobshitOshibku(Dialogs *dialogs, QWidget *parent, DbConnection *db, const QString &nachalo = QString(),
                     const QString &konec = QString(), const QString &zagolovok = OshibkaBazy::kZagolovok);
