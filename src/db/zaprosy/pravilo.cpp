#include "db/zaprosy/pravilo.h"

#include "db/zaprosy/obshee.h"
#include "db/connection.h"

namespace zaprosy::pravilo {

QString dlyaGolosovania()
{
    return sql::lines(
        {QStringLiteral("SELECT"),
         QStringLiteral(" regim_golos.id,regim_golos.opisanie,regim_golos.regim,regim_golos.ord,povestka_regim.id as pov,"),
         QStringLiteral("CASE ISNULL(povestka_regim.id,-1)"), QStringLiteral("      WHEN -1 THEN 0"),
         QStringLiteral("ELSE 1"), QStringLiteral(" END as ord2"), QStringLiteral("FROM"),
         QStringLiteral(" regim_golos LEFT JOIN povestka_regim ON"),
         QStringLiteral(" (povestka_regim.id_regim = regim_golos.id) AND (povestka_regim.id_povestka = :a)"),
         QStringLiteral("ORDER BY"), QStringLiteral(" ord2 DESC,povestka_regim.ord,regim_golos.ord,regim_golos.opisanie")});
}

QString spisokVoprosa()
{
    return sql::lines({QStringLiteral("SELECT"),
                       QStringLiteral("povestka_regim.id,regim_golos.opisanie,regim_golos.id as regim_id,povestka_regim.ord"),
                       QStringLiteral("FROM"), QStringLiteral("povestka_regim,"), QStringLiteral("regim_golos"),
                       QStringLiteral("WHERE"), QStringLiteral("(id_povestka = :a) AND"),
                       QStringLiteral("(regim_golos.id = id_regim)"), QStringLiteral("ORDER BY"),
                       QStringLiteral("povestka_regim.ord,regim_golos.opisanie")});
}

QString vybor()
{
    return sql::lines({QStringLiteral("SELECT"), QStringLiteral("id, opisanie"), QStringLiteral("FROM"),
                       QStringLiteral("regim_golos"), QStringLiteral("ORDER BY"), QStringLiteral("ord,opisanie")});
}

QString kolichestvo(int idPovestki, int idRegima)
{
    return QStringLiteral("SELECT count(*) FROM povestka_regim WHERE (id_povestka=") + chislo(idPovestki)
           + QStringLiteral(") AND (id_regim = ") + chislo(idRegima) + QLatin1Char(')');
}

QString maxPoryadok(int idPovestki)
{
    return QStringLiteral("SELECT MAX(ord) FROM povestka_regim WHERE id_povestka=") + chislo(idPovestki);
}

QString dobavit(int ord, int idPovestki, int idRegima)
{
    return QStringLiteral("INSERT INTO povestka_regim (ord,id_povestka,id_regim) VALUES (") + chislo(ord) + QLatin1Char(',')
           + chislo(idPovestki) + QLatin1Char(',') + chislo(idRegima) + QLatin1Char(')');
}

QString zamenit(int id, int idRegima)
{
    return QStringLiteral("UPDATE povestka_regim SET id_regim=") + chislo(idRegima) + QStringLiteral(" WHERE id=") + chislo(id);
}

QString udalit(int id)
{
    return QStringLiteral("DELETE FROM povestka_regim WHERE id = ") + chislo(id);
}

QString sosedVyshe(int idPovestki, int ord)
{
    return sosedPoPoryadku(QStringLiteral("povestka_regim"), QStringLiteral("id_povestka"), idPovestki, ord, true);
}

QString sosedNizhe(int idPovestki, int ord)
{
    return sosedPoPoryadku(QStringLiteral("povestka_regim"), QStringLiteral("id_povestka"), idPovestki, ord, false);
}

QString zadatPoryadok(int id, int ord)
{
    return zaprosy::zadatPoryadok(QStringLiteral("povestka_regim"), id, ord);
}

QString udalitVoprosa(int idPovestki)
{
    return QStringLiteral("DELETE FROM povestka_regim WHERE id_povestka=") + chislo(idPovestki);
}

}  // namespace zaprosy::pravilo
