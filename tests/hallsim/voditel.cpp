#include "hallsim/voditel.h"

#include <QDateTime>

#include "console/konsol_obshee.h"
#include "console/nuzhno_golosov.h"
#include "core/rezhim.h"
#include "db/zaprosy/golos.h"
#include "db/zaprosy/golosovanie.h"
#include "db/zaprosy/konstanta.h"
#include "db/zaprosy/povestka.h"
#include "db/zaprosy/sessia.h"
#include "db/zaprosy/zapis.h"
#include "db/zaprosy/zasedanie.h"

namespace hallsim {

// Every statement played as the console or a terminal comes from the program's statement
// modules (db/zaprosy, core/rezhim, console/konsol_obshee); only the driver's own bookkeeping
// reads (vopros, prochitatMesta) are written here and are not logged.

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
    if (!zapros(rezhim::zapros(), &rs) || rs.isEmpty())
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
    if (!vyp(zaprosy::zasedanie::nachat(zasedanie)) || !zapros(zaprosy::povestka::pervyiVopros(zasedanie), &rs)
        || rs.isEmpty())
        return false;
    const int pervyi = rs.scalar().toInt();
    if (!vyp(zaprosy::povestka::snyatAktivnost()) || !vyp(zaprosy::povestka::aktivirovat(pervyi))
        || !vyp(zaprosy::povestka::otmetitAktivaciyu(pervyi)) || !vyp(zaprosy::zapis::ochistit()))
        return false;
    idZasedania = zasedanie;
    idPovestki = pervyi;
    return true;
}

bool Voditel::aktivirovatVopros(int id)
{
    if (!vyp(zaprosy::povestka::snyatAktivnost()) || !vyp(zaprosy::povestka::aktivirovatSOtmetkoi(id))
        || !vyp(zaprosy::zapis::ochistit()) || !vyp(rezhim::prostoyAktivacia()))
        return false;
    idPovestki = id;
    return true;
}

int Voditel::nachatRegistraciyu(int sekund)
{
    int predsedatel = 0;
    int p = 0;
    if (!vyp(zaprosy::sessia::zakrytPeriody()) || !vyp(zaprosy::sessia::udalitBezPerioda())
        || !vyp(zaprosy::sessia::noviyPeriod(idZasedania))
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
    const int prisutstvuet = skalyar(zaprosy::sessia::prisutstvuet(period), &ok).toInt();
    const int isbrano = ok ? skalyar(zaprosy::konstanta::izbrano(), &ok).toInt() : 0;
    const int zakon = ok ? skalyar(zaprosy::konstanta::ustanovlenoZakonom(), &ok).toInt() : 0;
    if (!ok)
        return -1;
    nuzno = reshenie::nuzhnoGolosov(pravilo, prisutstvuet, isbrano, zakon);
    const QString vstavka = zaprosy::golosovanie::vstavit(reshenie::podpisPravila(pravilo), 0, 0, isbrano, prisutstvuet,
                                                          QStringLiteral("Обычное голосование"), nuzno, zakon,
                                                          idPovestki, period);
    if (!vyp(vstavka))
        return -1;
    const QVariant id = skalyar(zaprosy::golosovanie::poslednee(), &ok);
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
    return vyp(rezhim::rezultatGolosovania(id)) && vyp(zaprosy::zapis::ochistit());
}

bool Voditel::podschet(int id, int *za, int *protiv, int *vozd)
{
    ResultSet rs;
    if (!zapros(zaprosy::golos::poKodam(id), &rs))
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
    return vyp(zaprosy::zasedanie::zakonchit(idZasedania)) && vyp(zaprosy::povestka::snyatAktivnostZakrytie())
           && vyp(zaprosy::zapis::ochistit()) && vyp(rezhim::prostoy()) && vyp(zaprosy::sessia::zakrytPeriody())
           && vyp(zaprosy::sessia::zakrytyiPeriod(idZasedania))
           && konsol::Predsedatel(&db, &predsedatel) && konsol::PosledniiPeriod(&db, &p)
           && konsol::ZapisatPredsedatelya(&db, predsedatel, p, idZasedania);
}

// ---- Deputies --------------------------------------------------------------------------------

bool Voditel::zaregistrirovat(int idDeputata)
{
    if (!vyp(zaprosy::sessia::zaregistrirovat(idZasedania, idDeputata, period)))
        return false;
    registracii[period] << idDeputata;
    return true;
}

bool Voditel::progolosovat(int idDeputata, int kod)
{
    if (!vyp(zaprosy::golos::otozvat(idDeputata, golosovanie)))
        return false;
    byulleteni[golosovanie].remove(idDeputata);
    if (kod == 0)
        return true;
    if (!vyp(zaprosy::golos::podat(idDeputata, idPovestki, kod, golosovanie)))
        return false;
    byulleteni[golosovanie][idDeputata] = kod;
    return true;
}

bool Voditel::poprositSlova(const Mesto &m)
{
    return vyp(zaprosy::zapis::poprosit(m.idMesto));
}

}  // namespace hallsim
