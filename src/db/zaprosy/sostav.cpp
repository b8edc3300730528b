#include "db/zaprosy/sostav.h"
#include "db/zaprosy/obshee.h"

#include "db/connection.h"

namespace zaprosy::mesto {

QString otmetitPodklyuchenie(const QString &nomer)
{
    return QStringLiteral("UPDATE mesto SET connected=1 WHERE nomer LIKE ") + sql::quoteLike(nomer);
}

QString podtverdit(const QString &nomer)
{
    return QStringLiteral("UPDATE mesto SET podkl=CURRENT_TIMESTAMP WHERE nomer = ") + sql::quote(nomer)
           + QLatin1Char(';');
}

QString monitor()
{
    return sql::lines({QStringLiteral("SELECT "), QStringLiteral("   nomer,connected,podkl,"),
                       QStringLiteral("   DATEDIFF(ss,podkl,GETDATE()) as diff"), QStringLiteral("FROM "),
                       QStringLiteral("   mesto;")});
}

QString id(const QString &nomer)
{
    return QStringLiteral("SELECT mesto.id FROM mesto WHERE nomer LIKE ") + sql::quoteLike(nomer);
}

}  // namespace zaprosy::mesto

namespace zaprosy::sostav {

QString deputatMesta(const QString &nomer)
{
    return QStringLiteral("SELECT id_deputat FROM sostav,mesto WHERE (mesto.id = sostav.id_mesto) "
                          "AND (mesto.nomer LIKE ")
           + sql::quoteLike(nomer) + QLatin1Char(')');
}

QString predsedatelMesta(const QString &nomer)
{
    return sql::lines({QStringLiteral("SELECT chairman FROM sostav,mesto "),
                       QStringLiteral("WHERE (mesto.id = sostav.id_mesto) "),
                       QStringLiteral("AND (mesto.nomer LIKE ") + sql::quoteLike(nomer) + QStringLiteral(") ")});
}

QString spisok()
{
    return sql::lines({QStringLiteral("SELECT"), QStringLiteral(" familia + ' ' + imya + ' ' + otchestvo as fio,"),
                       QStringLiteral(" nomer,"), QStringLiteral(" chairman,"), QStringLiteral(" mesto.id as id_mesto,"),
                       QStringLiteral(" deputat.id as id_deputat"), QStringLiteral("FROM"),
                       QStringLiteral(" sostav,deputat,mesto"), QStringLiteral("WHERE"),
                       QStringLiteral(" (deputat.id = sostav.id_deputat) AND"),
                       QStringLiteral(" (mesto.id = sostav.id_mesto)")});
}

QString predsedatel()
{
    return QStringLiteral("SELECT id_deputat FROM sostav WHERE chairman=1;");
}

QString naznachenieMesta(const QString &nomer)
{
    return sql::lines({QStringLiteral("SELECT id_deputat, sostav.id, mesto.id "), QStringLiteral("FROM mesto, sostav "),
                       QStringLiteral("WHERE (nomer LIKE ") + sql::quoteLike(nomer)
                           + QStringLiteral(") AND (sostav.id_mesto = mesto.id) ")});
}

QString mestoDeputata(int idDeputata)
{
    return sql::lines({QStringLiteral("SELECT nomer, sostav.id, mesto.id "), QStringLiteral("FROM mesto, sostav "),
                       QStringLiteral("WHERE (id_deputat = ") + chislo(idDeputata)
                           + QStringLiteral(") AND (sostav.id_mesto = mesto.id) ")});
}

QString udalit(int id)
{
    return QStringLiteral("DELETE FROM sostav WHERE id = ") + chislo(id);
}

QString naznachit(int idDeputata, int idMesta, bool predsedatel)
{
    return (predsedatel ? QStringLiteral("INSERT INTO sostav (chairman,id_deputat,id_mesto) VALUES (1,")
                        : QStringLiteral("INSERT INTO sostav (id_deputat,id_mesto) VALUES ("))
           + chislo(idDeputata) + QLatin1Char(',') + chislo(idMesta) + QLatin1Char(')');
}

QString zamenit(int id, int idDeputata, bool predsedatel)
{
    return (predsedatel ? QStringLiteral("UPDATE sostav SET chairman=1,id_deputat = ")
                        : QStringLiteral("UPDATE sostav SET id_deputat = "))
           + chislo(idDeputata) + QStringLiteral(" WHERE id = ") + chislo(id);
}

QString osvoboditDeputata(int idDeputata)
{
    return QStringLiteral("DELETE FROM sostav WHERE id_deputat=") + chislo(idDeputata);
}

}  // namespace zaprosy::sostav
