#include "db/zaprosy/sessia.h"
#include "db/zaprosy/obshee.h"

#include "db/connection.h"

namespace zaprosy::sessia {

QString otkrytyiPeriod()
{
    return QStringLiteral("SELECT max(id) FROM sessia_start WHERE stop IS NULL");
}

QString otkrytyiPeriodZasedania(int idZasedania)
{
    return QStringLiteral("SELECT max(id) FROM sessia_start WHERE stop IS NULL AND id_zasedanie = ") + chislo(idZasedania);
}

QString poslednyiPeriod()
{
    return QStringLiteral("SELECT max(id) FROM sessia_start;");
}

QString zakrytPeriody()
{
    return QStringLiteral("UPDATE sessia_start SET stop = GETDATE()");
}

QString noviyPeriod(int idZasedania)
{
    return QStringLiteral("INSERT INTO sessia_start (id_zasedanie) VALUES (") + chislo(idZasedania) + QLatin1Char(')');
}

QString zakrytyiPeriod(int idZasedania)
{
    return QStringLiteral("INSERT INTO sessia_start (id_zasedanie,stop) VALUES (") + chislo(idZasedania)
           + QStringLiteral(",GETDATE())");
}

QString udalitBezPerioda()
{
    return QStringLiteral("DELETE FROM sessia WHERE id_sessia = -1");
}

QString zaregistrirovat(int idZasedania, int idDeputata, int idSessii)
{
    return QStringLiteral("INSERT INTO sessia (id_zasedanie,id_deputat,id_sessia) VALUES (") + chislo(idZasedania)
           + QLatin1Char(',') + chislo(idDeputata) + QLatin1Char(',') + chislo(idSessii) + QLatin1Char(')');
}

QString otmenit(int idZasedania, int idDeputata, int idSessii)
{
    return QStringLiteral("DELETE FROM sessia WHERE (id_zasedanie=") + chislo(idZasedania) + QStringLiteral(") AND (id_deputat=")
           + chislo(idDeputata) + QStringLiteral(") AND (id_sessia = ") + chislo(idSessii) + QLatin1Char(')');
}

QString zapisatPredsedatelya(int idDeputata, int idSessii, int idZasedania)
{
    return QStringLiteral("INSERT INTO sessia (id_deputat,id_sessia,id_zasedanie) VALUES (") + chislo(idDeputata)
           + QLatin1Char(',') + chislo(idSessii) + QLatin1Char(',') + chislo(idZasedania) + QLatin1Char(')');
}

QString zaregistrirovatOperatorom(int idZasedania, int idDeputata, int idSessii)
{
    return QStringLiteral("INSERT INTO sessia(id_zasedanie,id_deputat,id_sessia) VALUES (") + chislo(idZasedania)
           + QLatin1Char(',') + chislo(idDeputata) + QLatin1Char(',') + chislo(idSessii) + QLatin1Char(')');
}

QString otmenitOperatorom(int idDeputata, int idSessii)
{
    return QStringLiteral("DELETE FROM sessia WHERE (id_deputat=") + chislo(idDeputata) + QStringLiteral(") AND (id_sessia=")
           + chislo(idSessii) + QLatin1Char(')');
}

QString snyatPrisutstvie(int idDeputata, int idSessii)
{
    return QStringLiteral("DELETE FROM sessia WHERE (id_deputat = ") + chislo(idDeputata)
           + QStringLiteral(") AND (id_sessia = ") + chislo(idSessii) + QLatin1Char(')');
}

QString zaregistrirovanLi(int idDeputata, int idSessii)
{
    return QStringLiteral("SELECT count(*) FROM sessia WHERE (id_deputat=") + chislo(idDeputata)
           + QStringLiteral(") AND (id_sessia=") + chislo(idSessii) + QLatin1Char(')');
}

QString prisutstvuet(int idSessii)
{
    return QStringLiteral("SELECT count(*) FROM sessia WHERE id_sessia=") + chislo(idSessii);
}

QString kolichestvo(int idSessii)
{
    return QStringLiteral("SELECT count(*) as kol FROM sessia WHERE id_sessia=") + chislo(idSessii) + QLatin1Char(';');
}

QString spisok()
{
    return sql::lines({QStringLiteral("SELECT nomer,sessia.id_deputat"), QStringLiteral("FROM sessia,sostav,mesto "),
                       QStringLiteral("WHERE "), QStringLiteral(" (id_sessia=:a)"),
                       QStringLiteral(" AND (sostav.id_deputat = sessia.id_deputat)"),
                       QStringLiteral(" AND (mesto.id = sostav.id_mesto)")});
}

}  // namespace zaprosy::sessia
