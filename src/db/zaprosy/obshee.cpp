#include "db/zaprosy/obshee.h"

namespace zaprosy {

QString noviyKlyuch()
{
    return QStringLiteral("SELECT @@identity as id;");
}

QString sosedPoPoryadku(const QString &tablica, const QString &roditel, int idRoditelya, int ord, bool vyshe)
{
    return QStringLiteral("SELECT TOP 1 ord,id FROM ") + tablica + QStringLiteral(" WHERE (") + roditel
           + QLatin1Char('=') + QString::number(idRoditelya) + (vyshe ? QStringLiteral(") AND (ord<") : QStringLiteral(") AND (ord>"))
           + QString::number(ord) + (vyshe ? QStringLiteral(") ORDER BY ord DESC;") : QStringLiteral(") ORDER BY ord;"));
}

QString zadatPoryadok(const QString &tablica, int id, int ord)
{
    return QStringLiteral("UPDATE ") + tablica + QStringLiteral(" SET ord=") + QString::number(ord) + QStringLiteral(" WHERE id=")
           + QString::number(id);
}

}  // namespace zaprosy
