#include "db/zaprosy/deputat.h"
#include "db/zaprosy/obshee.h"

#include "db/connection.h"

namespace zaprosy::deputat {

QString imya(int id)
{
    return QStringLiteral("SELECT familia,imya,otchestvo FROM deputat WHERE id=") + chislo(id);
}

QString spisok()
{
    return sql::lines({
        QStringLiteral("SELECT"),
        QStringLiteral("id,"),
        QStringLiteral("familia + ' ' + imya + ' ' + otchestvo as FIO,"),
        QStringLiteral("familia,"),
        QStringLiteral("imya,"),
        QStringLiteral("otchestvo"),
        QStringLiteral("FROM"),
        QStringLiteral("deputat"),
        QStringLiteral("ORDER BY"),
        QStringLiteral("2"),
    });
}

QString vstavit(const QString &familia, const QString &imya, const QString &otchestvo)
{
    return QStringLiteral("INSERT INTO deputat (familia,imya,otchestvo) VALUES (") + sql::quote(familia)
           + QLatin1Char(',') + sql::quote(imya) + QLatin1Char(',') + sql::quote(otchestvo) + QLatin1Char(')');
}

QString izmenit(int id, const QString &familia, const QString &imya, const QString &otchestvo)
{
    return QStringLiteral("UPDATE deputat SET familia=") + sql::quote(familia) + QStringLiteral(",imya=")
           + sql::quote(imya) + QStringLiteral(",otchestvo=") + sql::quote(otchestvo) + QStringLiteral(" WHERE id=")
           + chislo(id);
}

QString udalit(int id)
{
    return QStringLiteral("DELETE FROM deputat WHERE id=") + chislo(id);
}

}  // namespace zaprosy::deputat
