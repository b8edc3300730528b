#include "db/zaprosy/povestka.h"

#include "db/zaprosy/obshee.h"
#include "db/connection.h"

namespace zaprosy::povestka {

QString aktivnoeZasedanie()
{
    return QStringLiteral("SELECT id_zasedanie FROM povestka WHERE aktiv = 1;");
}

QString aktivnyiVoprosKonsoli()
{
    return QStringLiteral("SELECT povestka.id,povestka.opisanie,povestka.info,zasedanie.opisanie "
                          "FROM povestka,zasedanie WHERE (aktiv = 1) AND (zasedanie.id = id_zasedanie)");
}

QString aktivnyiVoprosChasov()
{
    return sql::lines({QStringLiteral("SELECT"),
                       QStringLiteral("   TOP 1 povestka.id,povestka.opisanie,zasedanie.id,zasedanie.opisanie,povestka.info"),
                       QStringLiteral("FROM"), QStringLiteral("   povestka, zasedanie"), QStringLiteral("WHERE"),
                       QStringLiteral("   (aktiv = 1) AND (zasedanie.id = id_zasedanie);")});
}

QString aktivnyiVoprosGolosovania()
{
    return sql::lines({QStringLiteral("SELECT"),
                       QStringLiteral("   TOP 1 povestka.id,povestka.info,povestka.opisanie,zasedanie.id,zasedanie.opisanie"),
                       QStringLiteral("FROM"), QStringLiteral("   povestka, zasedanie"), QStringLiteral("WHERE"),
                       QStringLiteral("   (aktiv = 1) AND (zasedanie.id = id_zasedanie);")});
}

QString spisokProsmotra()
{
    return sql::lines({QStringLiteral("SELECT"), QStringLiteral(" id, opisanie, id_zasedanie, info"),
                       QStringLiteral("FROM"), QStringLiteral(" povestka"), QStringLiteral("WHERE"),
                       QStringLiteral(" id_zasedanie = :a")});
}

QString spisokKonsoli()
{
    return sql::lines({QStringLiteral("SELECT"), QStringLiteral(" id, opisanie, info"), QStringLiteral("FROM"),
                       QStringLiteral(" povestka"), QStringLiteral("WHERE"), QStringLiteral(" id_zasedanie = :a"),
                       QStringLiteral("ORDER BY ord")});
}

QString aktivirovannyeSegodnya()
{
    return sql::lines({QStringLiteral("SELECT"), QStringLiteral(" id, opisanie, info"), QStringLiteral("FROM"),
                       QStringLiteral(" povestka"), QStringLiteral("WHERE"), QStringLiteral(" (id_zasedanie = :b) AND"),
                       QStringLiteral(" (aktiv = 0) AND"), QStringLiteral("(YEAR(aktiv_data) = YEAR(GETDATE())) AND"),
                       QStringLiteral("(MONTH(aktiv_data) = MONTH(GETDATE())) AND"),
                       QStringLiteral("(DAY(aktiv_data) = DAY(GETDATE()))")});
}

QString spisokRedaktora()
{
    return sql::lines({QStringLiteral("SELECT"), QStringLiteral("id, opisanie, info, id_zasedanie,ord,tip,nomer"),
                       QStringLiteral("FROM"), QStringLiteral("povestka"), QStringLiteral("WHERE"),
                       QStringLiteral("id_zasedanie = :a"), QStringLiteral("ORDER BY"), QStringLiteral("ord,opisanie")});
}

QString kolichestvo(int idZasedania)
{
    return QStringLiteral("SELECT count (*) FROM povestka WHERE id_zasedanie = ") + chislo(idZasedania);
}

QString pervyiVopros(int idZasedania)
{
    // No space before ORDER: the text as the console has always sent it (the engines take it).
    return QStringLiteral("SELECT TOP 1 id FROM povestka WHERE id_zasedanie=") + chislo(idZasedania)
           + QStringLiteral("ORDER by ord;");
}

QString snyatAktivnost()
{
    return QStringLiteral("UPDATE povestka SET aktiv = 0");
}

QString snyatAktivnostZakrytie()
{
    return QStringLiteral("UPDATE povestka SET aktiv=0");
}

QString aktivirovat(int id)
{
    return QStringLiteral("UPDATE povestka SET aktiv = 1 WHERE id=") + chislo(id);
}

QString otmetitAktivaciyu(int id)
{
    return QStringLiteral("UPDATE povestka SET aktiv_data = GETDATE() WHERE id=") + chislo(id);
}

QString aktivirovatSOtmetkoi(int id)
{
    return QStringLiteral("UPDATE povestka SET aktiv = 1, aktiv_data=GETDATE() WHERE id=") + chislo(id);
}

QString tipPoslednego(int idZasedania)
{
    return QStringLiteral("SELECT tip FROM povestka WHERE (id_zasedanie = ") + chislo(idZasedania)
           + QStringLiteral(") ORDER BY id DESC;");
}

QString maxNomer(int idZasedania, int tip)
{
    return QStringLiteral("SELECT MAX(nomer) FROM povestka WHERE (id_zasedanie = ") + chislo(idZasedania)
           + QStringLiteral(") AND tip=") + chislo(tip);
}

QString maxPoryadok(int idZasedania)
{
    return QStringLiteral("SELECT MAX(ord) FROM povestka WHERE id_zasedanie = ") + chislo(idZasedania);
}

QString sosedVyshe(int idZasedania, int ord)
{
    return sosedPoPoryadku(QStringLiteral("povestka"), QStringLiteral("id_zasedanie"), idZasedania, ord, true);
}

QString sosedNizhe(int idZasedania, int ord)
{
    return sosedPoPoryadku(QStringLiteral("povestka"), QStringLiteral("id_zasedanie"), idZasedania, ord, false);
}

QString zadatPoryadok(int id, int ord)
{
    return zaprosy::zadatPoryadok(QStringLiteral("povestka"), id, ord);
}

QString vstavit(int idZasedania, int tip, int nomer, int ord, const QString &opisanie, const QString &info)
{
    return QStringLiteral("INSERT INTO povestka (id_zasedanie,tip,nomer,ord,opisanie,info) VALUES (") + chislo(idZasedania)
           + QLatin1Char(',') + chislo(tip) + QLatin1Char(',') + chislo(nomer) + QLatin1Char(',') + chislo(ord) + QLatin1Char(',')
           + sql::quote(opisanie) + QLatin1Char(',') + sql::quote(info) + QLatin1Char(')');
}

QString izmenit(int id, int tip, int nomer, const QString &opisanie, const QString &info)
{
    return QStringLiteral("UPDATE povestka SET tip=") + chislo(tip) + QStringLiteral(",nomer=") + chislo(nomer)
           + QStringLiteral(",opisanie=") + sql::quote(opisanie) + QStringLiteral(",info=") + sql::quote(info)
           + QStringLiteral(" WHERE id=") + chislo(id);
}

QString udalit(int id)
{
    return QStringLiteral("DELETE FROM povestka WHERE id=") + chislo(id);
}

}  // namespace zaprosy::povestka
