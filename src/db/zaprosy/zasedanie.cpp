#include "db/zaprosy/zasedanie.h"
#include "db/zaprosy/obshee.h"

#include "db/connection.h"

namespace zaprosy::zasedanie {

QString otkrytoe()
{
    return sql::lines({QStringLiteral("SELECT TOP 1 id,data,vremya,opisanie"), QStringLiteral("FROM zasedanie"),
                       QStringLiteral("WHERE (stop IS NULL) and (NOT(start IS NULL))"),
                       QStringLiteral("ORDER BY data DESC,id DESC;")});
}

QString poslednee()
{
    return QStringLiteral("SELECT TOP 1 id, opisanie FROM zasedanie ORDER BY data DESC,id DESC");
}

QString nazvanie(int id)
{
    return QStringLiteral("SELECT opisanie FROM zasedanie WHERE id = ") + chislo(id);
}

QString nazvanieRegistracii(int id)
{
    return QStringLiteral("SELECT opisanie FROM zasedanie WHERE id=") + chislo(id);
}

QString otkrytoLi(int id)
{
    return QStringLiteral("SELECT count(*) FROM zasedanie WHERE id = ") + chislo(id)
           + QStringLiteral(" AND start IS NOT NULL AND stop IS NULL");
}

QString sostoyanie(int id)
{
    return QStringLiteral("SELECT start,stop,opisanie FROM zasedanie WHERE id=") + chislo(id);
}

QString nachat(int id)
{
    return QStringLiteral("UPDATE zasedanie SET start = GETDATE() WHERE id=") + chislo(id);
}

QString zakonchit(int id)
{
    return QStringLiteral("UPDATE zasedanie SET stop = GETDATE() WHERE id=") + chislo(id);
}

QString spisok()
{
    return sql::lines({
        QStringLiteral("SELECT id,REPLACE(CONVERT(varchar,data,103),'/','.') as data,opisanie,vremya,data as dt,"),
        QStringLiteral("start,stop"),
        QStringLiteral("FROM zasedanie"),
        QStringLiteral("ORDER BY zasedanie.data DESC,id DESC"),
    });
}

QString vstavit(const QString &data, const QString &opisanie)
{
    return QStringLiteral("INSERT INTO zasedanie (data,opisanie,vremya) VALUES (") + sql::quote(data) + QLatin1Char(',')
           + sql::quote(opisanie) + QStringLiteral(",'00:00:00')");
}

QString izmenit(int id, const QString &data, const QString &opisanie)
{
    return QStringLiteral("UPDATE zasedanie SET data=") + sql::quote(data) + QStringLiteral(",opisanie=")
           + sql::quote(opisanie) + QStringLiteral(" WHERE id=") + chislo(id);
}

QString udalit(int id)
{
    return QStringLiteral("DELETE FROM zasedanie WHERE id=") + chislo(id);
}

QString dataPapki(int id)
{
    return QStringLiteral("SELECT DATENAME(dd,data) as dd, DATEPART(mm,data) as mm,DATENAME(yy,data) as yy "
                          "FROM zasedanie WHERE id = ")
           + chislo(id);
}

}  // namespace zaprosy::zasedanie
