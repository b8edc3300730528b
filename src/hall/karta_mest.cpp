// The seat map: 27 seats with a number field and a name field, and the legend, built on every
// activation of the main window and re-coloured once a second.
#include "hall/menu_deputat.h"
#include "db/zaprosy/golos.h"
#include "db/zaprosy/golosovanie.h"
#include "db/zaprosy/konstanta.h"
#include "db/zaprosy/zapis.h"
#include "core/taimer.h"
#include "hall/karta_mest.h"

#include "core/cveta.h"
#include "core/oshibka.h"
#include "core/platform.h"
#include "core/vidzhety.h"
#include "hall/zal_obshee.h"

#include <QHash>
#include <QMenu>
#include <QRegularExpression>

namespace kartamest {

Raskladka raskladka(int W, int H, int P)
{
    Raskladka r;

    // Front row along the bottom edge.
    const int U = (W - P - 348) / 3;
    for (int i = 1; i <= 3; ++i) {
        Mesto &m = r.mesta[i];
        m.nomerLeibl = QRect((U + 88) * (i - 1) + 43, H - 75, 71, 58);
        m.nomerGranica = QRect(m.nomerLeibl.x() - 1, H - 76, 73, 60);
        m.mestoGranica = QRect(m.nomerGranica.x() + 78, H - 76, U, 60);
        m.mestoLeibl = QRect(m.nomerGranica.x() + 79, H - 75, U - 2, 58);
        m.perenos = true;
    }

    // Two columns of twelve rows: names outside, numbers towards the middle of the hall.
    const int V = (W - P - 226) / 2;
    const int R = (H - 155) / 12;
    const int L = W - P - V - 25;
    for (int j = 4; j <= 15; ++j) {
        const int k = j - 4;
        Mesto &levo = r.mesta[j];
        levo.mestoGranica = QRect(25, k * R + 73, V, 50);
        levo.mestoLeibl = QRect(26, k * R + 74, V - 2, 48);
        levo.nomerLeibl = QRect(25 + V + 6, k * R + 74, 71, 48);
        levo.nomerGranica = QRect(25 + V + 5, k * R + 73, 73, 50);

        Mesto &pravo = r.mesta[j + 12];
        pravo.mestoGranica = QRect(L, k * R + 73, V, 50);
        pravo.mestoLeibl = QRect(L + 1, k * R + 74, V - 2, 48);
        pravo.nomerLeibl = QRect(L - 78, k * R + 74, 71, 48);
        pravo.nomerGranica = QRect(L - 79, k * R + 73, 73, 50);
    }

    const int Lw = (W - P - 45) / 6;
    for (int j = 1; j <= 6; ++j) {
        const int left = (Lw + 5) * (j - 1) + 10;
        r.legenda[j - 1] = QRect(left, 6, Lw, 36);
        r.legendaLeibl[j - 1] = QRect(left + 1, 7, Lw - 2, 34);
    }
    return r;
}

QSet<int> osvobozhdennye(const QString &znachenie)
{
    QSet<int> out;
    static const QRegularExpression razdelitel(QStringLiteral("[,\\s]+"));
    for (const QString &chast : znachenie.split(razdelitel, Qt::SkipEmptyParts)) {
        bool ok = false;
        const int n = chast.toInt(&ok);
        if (ok && n >= 1 && n <= ChisloMest)
            out.insert(n);
    }
    return out;
}

QString nomerMesta(int mesto)
{
    return QStringLiteral("%1").arg(mesto, 2, 10, QLatin1Char('0'));
}

}  // namespace kartamest

namespace {

using kartamest::ChisloMest;
using kartamest::cvetLegendy;

// Room for 50 seats, as many as the hall's numbering could ever use; 27 are built.
constexpr int RazmerMassivov = 50;

// Legend items 1..7: caption and colour (the reference colours of the seat states).
struct Punkt {
    const char *tekst;
    QColor (*cvet)();
};
const Punkt kLegenda[7] = {
    {"Не зарегистрирован", cvet::NeZaregistrirovan},
    {"Зарегистрирован", cvet::Zaregistrirovan},
    {"За", cvet::Za},
    {"Против", cvet::Protiv},
    {"Воздержался", cvet::Vozderzhalsya},
    {"Прошу слова", cvet::ProshuSlova},
    {"Слово предоставлено", cvet::SlovoPredostavleno},
};


void zadatCvet(QWidget *w, const QColor &c)
{
    if (cvetFona(w) != c)
        ustanovitCvet(w, c);
}

QLabel *nastroitLeibl(TLeibl *l, int mesto)
{
    l->setTag(mesto);
    l->setFont(arialPt(12, true));
    l->setAlignment(Qt::AlignCenter);
    ustanovitCvet(l, cvet::NeZaregistrirovan());
    return l;
}

}  // namespace

TKartaMest::TKartaMest(const KontekstEkrana &k) : KontekstEkrana(k) {}

QColor kartamest::cvetLegendy(int punkt)
{
    return kLegenda[punkt - 1].cvet();
}

void TKartaMest::sozdatZaprosy()
{
    if (ZaprosGolos)
        return;
    ZaprosGolos = new DataSet(&GlavBasa(), this, QStringLiteral("ZaprosGolos"), zaprosy::golos::mestaSVyborom());
    // A secret vote is read without the choice: the map can only say that a seat has voted.
    ZaprosProgolosovali = new DataSet(&GlavBasa(), this, QStringLiteral("ZaprosProgolosovali"),
                                      zaprosy::golos::progolosovavshieMesta());
    ZaprosProshuSlova = new DataSet(&GlavBasa(), this, QStringLiteral("ZaprosProshuSlova"),
                                    zaprosy::zapis::mestaSZaprosami());
}

bool TKartaMest::PostroitKartuMest()
{
    sozdatZaprosy();
    const QSize ekran = platform()->screenSize();
    const kartamest::Raskladka r = kartamest::raskladka(ekran.width(), ekran.height(), ob().PanelSleva->width());

    // Names by seat number from the current seat assignments.
    const bool prochitano = Sostav()->isOpen() ? Sostav()->requery(QStringLiteral("id_mesto")) : Sostav()->open();
    if (!prochitano) {
        soobshitOshibku(dialogs(), okno(), &GlavBasa());
        return false;
    }
    QHash<QString, QString> imena;
    for (int i = Sostav()->rowCount() - 1; i >= 0; --i)  // the first row of a number wins
        imena.insert(Sostav()->value(i, QStringLiteral("nomer")).toString(),
                     Sostav()->value(i, QStringLiteral("fio")).toString());

    if (MestoLeibl.size() < RazmerMassivov) {
        MestoGranica.resize(RazmerMassivov);
        MestoLeibl.resize(RazmerMassivov);
        NomerGranica.resize(RazmerMassivov);
        NomerLeibl.resize(RazmerMassivov);
    }
    const bool menu = !ob().AdminFrame->isHidden() && MenuDeputat;
    for (int i = 1; i <= ChisloMest; ++i) {
        if (!MestoLeibl[i]) {
            MestoGranica[i] = new TGranica(ob().PanelSprava);
            MestoGranica[i]->setTag(i);
            MestoLeibl[i] = new TLeibl(ob().PanelSprava);
            nastroitLeibl(MestoLeibl[i], i);
            NomerGranica[i] = new TGranica(ob().PanelSprava);
            NomerGranica[i]->setTag(i);
            NomerLeibl[i] = new TLeibl(ob().PanelSprava);
            nastroitLeibl(NomerLeibl[i], i);
            MestoGranica[i]->setObjectName(QStringLiteral("MestoGranica%1").arg(i));
            MestoLeibl[i]->setObjectName(QStringLiteral("MestoLeibl%1").arg(i));
            NomerGranica[i]->setObjectName(QStringLiteral("NomerGranica%1").arg(i));
            NomerLeibl[i]->setObjectName(QStringLiteral("NomerLeibl%1").arg(i));
            connect(MestoLeibl[i], &TLeibl::clicked, this, [this, i] { ClickFIOLabel(i); });
            // The seat commands: the menu opens on the seat it was asked for.
            connect(MestoLeibl[i], &QWidget::customContextMenuRequested, this, [this, i](const QPoint &pos) {
                if (!MenuDeputat)
                    return;
                setVibranoeMesto(MestoLeibl[i]->tag());
                MenuDeputat->popup(MestoLeibl[i]->mapToGlobal(pos));
            });
        }
        const kartamest::Mesto &m = r.mesta[i];
        MestoGranica[i]->setGeometry(m.mestoGranica);
        MestoLeibl[i]->setGeometry(m.mestoLeibl);
        MestoLeibl[i]->setWordWrap(m.perenos);
        NomerGranica[i]->setGeometry(m.nomerGranica);
        NomerLeibl[i]->setGeometry(m.nomerLeibl);
        NomerLeibl[i]->setText(kartamest::nomerMesta(i));
        ustanovitImya(MestoLeibl[i], imena.value(NomerLeibl[i]->text(), QStringLiteral("-")));
        MestoLeibl[i]->setContextMenuPolicy(menu ? Qt::CustomContextMenu : Qt::NoContextMenu);
        // As new: white until the next refresh colours them.
        ustanovitCvet(MestoLeibl[i], cvet::NeZaregistrirovan());
        ustanovitCvet(NomerLeibl[i], cvet::NeZaregistrirovan());
        for (QWidget *w : {static_cast<QWidget *>(MestoGranica[i]), static_cast<QWidget *>(MestoLeibl[i]),
                           static_cast<QWidget *>(NomerGranica[i]), static_cast<QWidget *>(NomerLeibl[i])})
            w->show();
        NomerGranica[i]->stackUnder(NomerLeibl[i]);
        MestoGranica[i]->stackUnder(MestoLeibl[i]);
    }

    ResultSet osv;
    if (!GlavBasa().query(zaprosy::konstanta::osvobozhdennyeMesta(), &osv)) {
        soobshitOshibku(dialogs(), okno(), &GlavBasa());
        return false;
    }
    for (int n : kartamest::osvobozhdennye(osv.scalar().toString())) {
        MestoGranica[n]->hide();
        MestoLeibl[n]->hide();
        NomerGranica[n]->hide();
        NomerLeibl[n]->hide();
    }

    if (Legenda.isEmpty()) {
        Legenda.resize(8);
        LegendaLeibl.resize(8);
        for (int j = 1; j <= 7; ++j) {
            Legenda[j] = new TGranica(ob().PanelSprava);
            Legenda[j]->setObjectName(QStringLiteral("Legenda%1").arg(j));
            LegendaLeibl[j] = new TLeibl(QString::fromUtf8(kLegenda[j - 1].tekst), ob().PanelSprava);
            LegendaLeibl[j]->setObjectName(QStringLiteral("Legenda_Leibl_%1").arg(j));
            LegendaLeibl[j]->setFont(arialPt(j <= 2 ? 11 : 14, true));
            LegendaLeibl[j]->setAlignment(Qt::AlignCenter);
            LegendaLeibl[j]->setWordWrap(true);
            ustanovitCvet(LegendaLeibl[j], cvetLegendy(j));
        }
        // The seventh item only lends its colour to the speaker-request button.
        Legenda[7]->hide();
        LegendaLeibl[7]->hide();
    }
    for (int j = 1; j <= 6; ++j) {
        Legenda[j]->setGeometry(r.legenda[j - 1]);
        LegendaLeibl[j]->setGeometry(r.legendaLeibl[j - 1]);
        // Made after the panel was shown: they must be shown themselves.
        Legenda[j]->show();
        LegendaLeibl[j]->show();
    }
    return true;
}

bool TKartaMest::ObnovitKartuMest(QString *oshibka)
{
    sozdatZaprosy();
    auto neudacha = [&] {
        *oshibka = GlavBasa().firstErrorText();
        return false;
    };

    bool ok = false;
    const bool tainoe = TainoeGolosovanie(RegimParam1(), &ok);
    if (!ok)
        return neudacha();
    // The by-seat ballots are never read for a secret vote.
    DataSet *golosovanie = tainoe ? ZaprosProgolosovali : ZaprosGolos;
    (tainoe ? ZaprosGolos : ZaprosProgolosovali)->close();
    golosovanie->close();
    golosovanie->setParam(QStringLiteral("a"), RegimParam1());
    if (!golosovanie->open() || !OtkrytZaprosRegistracia())
        return neudacha();

    // Only the chairman's and the operator's screens show the map.
    if (!OknoPredsedatelya() || MestoLeibl.size() <= ChisloMest)
        return true;

    QSet<QString> zaregistrirovany;
    for (int r = 0; r < ZaprosRegistracia()->rowCount(); ++r)
        zaregistrirovany.insert(ZaprosRegistracia()->value(r, QStringLiteral("nomer")).toString());

    // Ballots while the voting panel is up and through the results; requests otherwise.
    const bool golosa = !ob().PanelGolosovanie->isHidden() || RegimNomer() == rezhim::RezultatGolosovania;
    QHash<QString, int> byulleteni;
    QSet<QString> zaprosy;
    if (golosa) {
        for (int r = golosovanie->rowCount() - 1; r >= 0; --r)
            byulleteni.insert(golosovanie->value(r, QStringLiteral("nomer")).toString(),
                              tainoe ? 0 : golosovanie->value(r, QStringLiteral("result")).toInt());
    } else {
        ZaprosProshuSlova->close();
        if (!ZaprosProshuSlova->open())
            return neudacha();
        for (int r = 0; r < ZaprosProshuSlova->rowCount(); ++r)
            zaprosy.insert(ZaprosProshuSlova->value(r, QStringLiteral("nomer")).toString());
    }

    for (int i = 1; i <= ChisloMest; ++i) {
        TLeibl *imya = MestoLeibl[i];
        TLeibl *nomer = NomerLeibl[i];
        if (!imya || !nomer)
            continue;
        const QString n = nomer->text();
        if (golosa) {
            const auto it = byulleteni.constFind(n);
            if (it == byulleteni.constEnd())
                zadatCvet(imya, cvetLegendy(1));
            else if (tainoe)
                zadatCvet(imya, cvet::Progolosoval());
            else if (*it >= 1 && *it <= 3)
                zadatCvet(imya, cvetLegendy(*it + 2));
        } else {
            QColor c = zaprosy.contains(n) ? cvetLegendy(6) : cvetLegendy(1);
            // A terminal that stopped reporting hides whatever its seat asked for.
            if (RezhimAdmin() && MestoMolchit(n))
                c = CvetMolchaniya();
            zadatCvet(imya, c);
        }
        zadatCvet(nomer, zaregistrirovany.contains(n) ? cvetLegendy(2) : cvetLegendy(1));
    }
    return true;
}

bool TKartaMest::TainoeGolosovanie(int golosovanie, bool *ok)
{
    *ok = true;
    const auto it = m_vidGolosovania.constFind(golosovanie);
    if (it != m_vidGolosovania.constEnd())
        return *it == 1;
    // A mode row that named no vote still names none while it stays the same: a vote is
    // written before the mode row is switched to it.
    if (m_netGolosovania && m_netGolosovaniaNomer == RegimNomer() && m_netGolosovaniaParam1 == golosovanie)
        return false;
    ResultSet rs;
    if (!GlavBasa().query(zaprosy::golosovanie::vid(golosovanie), &rs)) {
        *ok = false;
        return false;
    }
    if (rs.isEmpty()) {
        m_netGolosovania = true;
        m_netGolosovaniaNomer = RegimNomer();
        m_netGolosovaniaParam1 = golosovanie;
        return false;
    }
    const int vid = rs.scalar().toInt();
    m_vidGolosovania.insert(golosovanie, vid);
    return vid == 1;
}

void TKartaMest::ClickFIOLabel(int mesto)
{
    TLeibl *imya = MestoLeibl.value(mesto);
    if (!imya || cvetFona(imya) != cvetLegendy(6))
        return;
    if (!Sostav()->isOpen() && !Sostav()->open()) {
        zal::soobshenie(*this, QStringLiteral("Ошибка при предоставлении слова!"));
        return;
    }
    const QString nomer = NomerLeibl[mesto]->text();
    for (int r = 0; r < Sostav()->rowCount(); ++r) {
        if (Sostav()->value(r, QStringLiteral("nomer")).toString() != nomer)
            continue;
        const int idMesta = Sostav()->value(r, QStringLiteral("id_mesto")).toInt();
        if (!GlavBasa().exec(zaprosy::zapis::snyat(idMesta))) {
            zal::soobshenie(*this, QStringLiteral("Ошибка при предоставлении слова!"));
            return;
        }
        ustanovitCvet(imya, cvetLegendy(1));
        return;
    }
}
