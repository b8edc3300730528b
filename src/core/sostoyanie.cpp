#include "core/sostoyanie.h"

#include <QSaveFile>

bool FailSostoyaniya::zapisat(const QString &tekst)
{
    if (m_put.isEmpty() || tekst == m_zapisano)
        return true;
    QSaveFile f(m_put);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    f.write(tekst.toUtf8());
    if (!f.commit())
        return false;
    m_zapisano = tekst;
    return true;
}
