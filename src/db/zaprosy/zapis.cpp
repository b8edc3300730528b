#include "db/zaprosy/zapis.h"
#include "db/zaprosy/obshee.h"

#include "db/connection.h"

namespace zaprosy::zapis {

QString svoiZaprosy(int idDeputata)
{
    return QStringLiteral("SELECT count(*) FROM proshu_slovo,sostav WHERE (sostav.id_mesto = proshu_slovo.id_mesto) "
                          "AND (sostav.id_deputat=")
           + chislo(idDeputata) + QLatin1Char(')');
}

QString mestoDeputata(int idDeputata)
{
    return QStringLiteral("SELECT id_mesto FROM sostav WHERE id_deputat = ") + chislo(idDeputata);
}

QString estZapros(int idMesta)
{
    return QStringLiteral("SELECT count(*) FROM proshu_slovo WHERE id_mesto=") + chislo(idMesta);
}

QString poprosit(int idMesta)
{
    return QStringLiteral("INSERT INTO proshu_slovo (id_mesto) VALUES (") + chislo(idMesta) + QLatin1Char(')');
}

QString snyat(int idMesta)
{
    return QStringLiteral("DELETE FROM proshu_slovo WHERE id_mesto=") + chislo(idMesta);
}

QString ochistit()
{
    return QStringLiteral("DELETE FROM proshu_slovo;");
}

QString spisok()
{
    const QString otbor = sql::lines({QStringLiteral("FROM"), QStringLiteral(" proshu_slovo, sostav, deputat"),
                                      QStringLiteral("WHERE"),
                                      QStringLiteral(" (sostav.id_mesto = proshu_slovo.id_mesto) AND "
                                                     "(deputat.id = sostav.id_deputat)")});
    return sql::lines(
        {QStringLiteral("SELECT"),
         QStringLiteral(" familia + ' ' + imya + ' ' + otchestvo as fio, proshu_slovo.id as id,3 as ord"), otbor,
         QStringLiteral("UNION ALL"), QStringLiteral("SELECT"),
         QStringLiteral(" 'Всего записалось: ' + CAST(count(*) as NVARCHAR) as fio,-1 as id,2 as ord"), otbor,
         QStringLiteral("ORDER BY"), QStringLiteral("3,2")});
}

QString mestaSZaprosami()
{
    return sql::lines({QStringLiteral("SELECT "), QStringLiteral(" mesto.nomer"), QStringLiteral("FROM "),
                       QStringLiteral(" proshu_slovo,mesto"), QStringLiteral("WHERE "),
                       QStringLiteral(" proshu_slovo.id_mesto = mesto.id")});
}

}  // namespace zaprosy::zapis
