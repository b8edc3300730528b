#include "core/sostoyanie.h"

#include "db/inifile.h"

bool FailSostoyaniya::zapisat(const QString &tekst)
{
    if (m_put.isEmpty() || tekst == m_zapisano)
        return true;
    if (!replaceFileContents(m_put, tekst.toUtf8()))
        return false;
    m_zapisano = tekst;
    return true;
}
