#include "core/oshibka.h"

#include "core/dialogs.h"

const QString OshibkaBazy::kZagolovok = QStringLiteral("Ошибка");

OshibkaBazy::OshibkaBazy(DbConnection *db) : m_errors(db->errors())
{
    db->clearErrors();
}

QString OshibkaBazy::tekst() const
{
    return m_errors.isEmpty() ? QString() : m_errors.first().description;
}

int OshibkaBazy::nomer() const
{
    return m_errors.isEmpty() ? 0 : m_errors.first().nativeError;
}

void OshibkaBazy::pokazat(Dialogs *dialogs, QWidget *parent, const QString &nachalo, const QString &konec,
                          const QString &zagolovok) const
{
    if (!est())
        return;
    dialogs->message(parent, nachalo + tekst() + konec, zagolovok, Dialogs::Error, Dialogs::Ok, Dialogs::Ok);
}

bool soobshitOshibku(Dialogs *dialogs, QWidget *parent, DbConnection *db, const QString &nachalo,
                     const QString &konec, const QString &zagolovok)
{
    const OshibkaBazy oshibka(db);
    oshibka.pokazat(dialogs, parent, nachalo, konec, zagolovok);
    return oshibka.est();
}
