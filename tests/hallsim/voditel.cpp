#include "hallsim/voditel.h"

#include <QDateTime>

#include "console/konsol_obshee.h"
#include "console/nuzhno_golosov.h"
#include "core/rezhim.h"

namespace hallsim {

namespace {
QString n(int v) { return QString::number(v); }
}  // namespace

bool Voditel::vyp(const QString &sql)
{
    if (zhurnal)
        *zhurnal << sql;
    if (sql.startsWith(QLatin1String("UPDATE regim")))
        rezhimZapisan = QDateTime::currentMSecsSinceEpoch();
    return db.exec(sql);
}

bool Voditel::zapros(const QString &sql, ResultSet *rs)
{
    if (zhurnal)
        *zhurnal << sql;
    return db.query(sql, rs);
}

QVariant Voditel::skalyar(const QString &sql, bool *ok)
{
    if (zhurnal)
        *zhurnal << sql;
    return db.scalar(sql, ok);
}

bool Voditel::otkryt(const ConnectionParams &params)
{
    return db.open(params);
}

QString Voditel::oshibka() const
{
    return db.errors().isEmpty() ? QString() : db.errors().first().description;
}

int Voditel::rezhim(int *param1, int *param2)
{
    ResultSet rs;
    if (!zapros(QStringLiteral("SELECT nomer,param1,param2 FROM regim"), &rs) || rs.isEmpty())
        return 0;
    if (param1)
        *param1 = rs.value(0, QStringLiteral("param1")).toInt();
    if (param2)
        *param2 = rs.value(0, QStringLiteral("param2")).toInt();
    return rs.value(0, QStringLiteral("nomer")).toInt();
}

QVector<int> Voditel::vopros(int zasedanie)
{
    QVector<int> out;
    ResultSet rs;
    if (!db.query(QStringLiteral("SELECT id FROM povestka WHERE id_zasedanie=%1 ORDER BY ord").arg(zasedanie), &rs))
        return out;
    for (int r = 0; r < rs.rowCount(); ++r)
        out << rs.value(r, QStringLiteral("id")).toInt();
    return out;
}

bool Voditel::prochitatMesta()
{
    ResultSet rs;
    if (!db.query(QStringLiteral("SELECT mesto.nomer, mesto.id, sostav.id_deputat, sostav.chairman "
                                 "FROM mesto, sostav WHERE sostav.id_mesto = mesto.id ORDER BY mesto.nomer"),
                  &rs))
        return false;
    mesta.clear();
    for (int r = 0; r < rs.rowCount(); ++r) {
        Mesto m;
        m.nomer = rs.value(r, 0).toString();
        m.idMesto = rs.value(r, 1).toInt();
        m.idDeputata = rs.value(r, 2).toInt();
        m.predsedatel = rs.value(r, 3).toInt() == 1;
        mesta << m;
    }
    return true;
}

// ---- Console ---------------------------------------------------------------------------------

bool Voditel::otkrytZasedanie(int zasedanie)
{
    ResultSet rs;
    if (!vyp(QStringLiteral("UPDATE zasedanie SET start = GETDATE() WHERE id=") + n(zasedanie))
        || !zapros(QStringLiteral("SELECT TOP 1 id FROM povestka WHERE id_zasedanie=") + n(zasedanie)
                         + QStringLiteral("ORDER by ord;"),
                     &rs)
        || rs.isEmpty())
        return false;
    const int pervyi = rs.scalar().toInt();
    if (!vyp(QStringLiteral("UPDATE povestka SET aktiv = 0"))
        || !vyp(QStringLiteral("UPDATE povestka SET aktiv = 1 WHERE id=") + n(pervyi))
        || !vyp(QStringLiteral("UPDATE povestka SET aktiv_data = GETDATE() WHERE id=") + n(pervyi))
        || !vyp(QStringLiteral("DELETE FROM proshu_slovo;")))
        return false;
    idZasedania = zasedanie;
    idPovestki = pervyi;
    return true;
}

bool Voditel::aktivirovatVopros(int id)
{
    if (!vyp(QStringLiteral("UPDATE povestka SET aktiv = 0"))
        || !vyp(QStringLiteral("UPDATE povestka SET aktiv = 1, aktiv_data=GETDATE() WHERE id=") + n(id))
        || !vyp(QStringLiteral("DELETE FROM proshu_slovo;")) || !vyp(rezhim::prostoyAktivacia()))
        return false;
    idPovestki = id;
    return true;
}

int Voditel::nachatRegistraciyu(int sekund)
{
    int predsedatel = 0;
    int p = 0;
    if (!vyp(QStringLiteral("UPDATE sessia_start SET stop = GETDATE()"))
        || !vyp(QStringLiteral("DELETE FROM sessia WHERE id_sessia = -1"))
        || !vyp(QStringLiteral("INSERT INTO sessia_start (id_zasedanie) VALUES (") + n(idZasedania) + QLatin1Char(')'))
        || !konsol::Predsedatel(&db, &predsedatel) || !konsol::PosledniiPeriod(&db, &p)
        || !konsol::ZapisatPredsedatelya(&db, predsedatel, p, idZasedania)
        || !vyp(rezhim::nachatRegistraciyu(p, sekund)))
        return -1;
    period = p;
    if (predsedatel > 0)
        registracii[p] << predsedatel;
    return p;
}

bool Voditel::ostalos(int sekund)
{
    return vyp(rezhim::ostalosSekund(sekund));
}

bool Voditel::zakonchitRegistraciyu(int p)
{
    return vyp(rezhim::prostoy()) && vyp(rezhim::rezultatRegistracii(p));
}

int Voditel::nachatGolosovanie(int pravilo, int sekund)
{
    bool ok = false;
    const int prisutstvuet = skalyar(QStringLiteral("SELECT count(*) FROM sessia WHERE id_sessia=") + n(period), &ok).toInt();
    const int isbrano =
        ok ? skalyar(QStringLiteral("SELECT znachenie FROM konstanti WHERE opisanie LIKE 'Избрано'"), &ok).toInt() : 0;
    const int zakon =
        ok ? skalyar(QStringLiteral("SELECT znachenie FROM konstanti WHERE opisanie LIKE 'Установлено законом'"), &ok)
                 .toInt()
           : 0;
    if (!ok)
        return -1;
    nuzno = reshenie::nuzhnoGolosov(pravilo, prisutstvuet, isbrano, zakon);
    const QString vstavka =
        QStringLiteral("INSERT INTO golosovanie (data,regim,tip,vid,isbrano,prisutstvuet,regim_polsov,nuzno,zak,"
                       "id_povestka,id_sessia) VALUES (getdate(),")
        + sql::quote(reshenie::podpisPravila(pravilo)) + QStringLiteral(",0,0,") + n(isbrano) + QLatin1Char(',')
        + n(prisutstvuet) + QLatin1Char(',') + sql::quote(QStringLiteral("Обычное голосование")) + QLatin1Char(',')
        + n(nuzno) + QLatin1Char(',') + n(zakon) + QLatin1Char(',') + n(idPovestki) + QLatin1Char(',') + n(period)
        + QLatin1Char(')');
    if (!vyp(vstavka))
        return -1;
    const QVariant id = skalyar(QStringLiteral("SELECT MAX(id) FROM golosovanie;"), &ok);
    if (!ok || id.isNull() || !vyp(rezhim::nachatGolosovanie(id.toInt(), sekund)))
        return -1;
    golosovanie = id.toInt();
    byulleteni[golosovanie];
    return golosovanie;
}

bool Voditel::zakonchitGolosovanie(int id, bool vremyaVyshlo)
{
    if (vremyaVyshlo && (!vyp(rezhim::ostalosSekund(0)) || !vyp(rezhim::prostoy())))
        return false;
    return vyp(rezhim::rezultatGolosovania(id)) && vyp(QStringLiteral("DELETE FROM proshu_slovo;"));
}

bool Voditel::podschet(int id, int *za, int *protiv, int *vozd)
{
    ResultSet rs;
    if (!zapros(sql::lines({QStringLiteral("SELECT count(id) as result, max(result) as kak"),
                              QStringLiteral("FROM otvet WHERE id_golosovanie = ") + n(id), QStringLiteral("GROUP BY result")}),
                  &rs))
        return false;
    *za = *protiv = *vozd = 0;
    for (int r = 0; r < rs.rowCount(); ++r) {
        const int kak = rs.value(r, QStringLiteral("kak")).toInt();
        const int skolko = rs.value(r, QStringLiteral("result")).toInt();
        (kak == 1 ? *za : kak == 2 ? *protiv : *vozd) += skolko;
    }
    return true;
}

bool Voditel::pokazatVopros()
{
    return vyp(rezhim::prostoy());
}

bool Voditel::gimn(bool vklyuchit)
{
    return vyp(vklyuchit ? rezhim::gimn() : rezhim::gimnSnyat());
}

bool Voditel::komanda(int kod)
{
    return vyp(rezhim::udalennayaKomanda(static_cast<rezhim::Kod>(kod)));
}

bool Voditel::zakrytZasedanie()
{
    int predsedatel = 0;
    int p = 0;
    const QString z = n(idZasedania);
    return vyp(QStringLiteral("UPDATE zasedanie SET stop = GETDATE() WHERE id=") + z)
           && vyp(QStringLiteral("UPDATE povestka SET aktiv=0")) && vyp(QStringLiteral("DELETE FROM proshu_slovo;"))
           && vyp(rezhim::prostoy()) && vyp(QStringLiteral("UPDATE sessia_start SET stop = GETDATE()"))
           && vyp(QStringLiteral("INSERT INTO sessia_start (id_zasedanie,stop) VALUES (") + z
                      + QStringLiteral(",GETDATE())"))
           && konsol::Predsedatel(&db, &predsedatel) && konsol::PosledniiPeriod(&db, &p)
           && konsol::ZapisatPredsedatelya(&db, predsedatel, p, idZasedania);
}

// ---- Deputies --------------------------------------------------------------------------------

bool Voditel::zaregistrirovat(int idDeputata)
{
    if (!vyp(QStringLiteral("INSERT INTO sessia (id_zasedanie,id_deputat,id_sessia) VALUES (%1,%2,%3)")
                     .arg(idZasedania)
                     .arg(idDeputata)
                     .arg(period)))
        return false;
    registracii[period] << idDeputata;
    return true;
}

bool Voditel::progolosovat(int idDeputata, int kod)
{
    if (!vyp(QStringLiteral("DELETE FROM otvet WHERE (id_deputat=%1) AND (id_golosovanie=%2)")
                     .arg(idDeputata)
                     .arg(golosovanie)))
        return false;
    byulleteni[golosovanie].remove(idDeputata);
    if (kod == 0)
        return true;
    if (!vyp(QStringLiteral("INSERT INTO otvet (id_deputat,id_povestka,result,id_golosovanie) VALUES (%1,%2,%3,%4)")
                     .arg(idDeputata)
                     .arg(idPovestki)
                     .arg(kod)
                     .arg(golosovanie)))
        return false;
    byulleteni[golosovanie][idDeputata] = kod;
    return true;
}

bool Voditel::poprositSlova(const Mesto &m)
{
    return vyp(QStringLiteral("INSERT INTO proshu_slovo (id_mesto) VALUES (%1)").arg(m.idMesto));
}

}  // namespace hallsim
