// Registration at the seat: the registration screen of a deputy terminal, the countdown on
// the boards of the other roles, the button that writes the presence record, and the sync
// that follows presence records written elsewhere.
#include "core/taimer.h"
#include "db/zaprosy/deputat.h"
#include "db/zaprosy/sessia.h"
#include "db/zaprosy/zasedanie.h"
#include "hall/registracia.h"

#include "core/cveta.h"
#include "core/oshibka.h"
#include "core/gerb.h"
#include "core/platform.h"
#include "core/vidzhety.h"
#include "hall/zal_obshee.h"

#include <QLabel>
#include <QTextEdit>

namespace {

// Design heights of the screen's bands.
constexpr int VysotaVerha = 184;
constexpr int VysotaGerba = 174;
constexpr int VysotaTaimera = 190;

const QString kNeZaregistrirovan = QStringLiteral("Вы не зарегистрированы");
const QString kZaregistrirovan = QStringLiteral("Вы зарегистрированы");

QLabel *tekstovyiLeibl(QWidget *parent, const char *name, const QColor &fon, const QColor &tekst)
{
    auto *l = new QLabel(parent);
    l->setObjectName(QString::fromLatin1(name));
    l->setFont(arialPx(32, true));
    l->setAlignment(Qt::AlignCenter);
    l->setWordWrap(true);
    ustanovitCvet(l, fon);
    ustanovitCvetTeksta(l, tekst);
    return l;
}

}  // namespace

TRegistracia::TRegistracia(const KontekstEkrana &k) : KontekstEkrana(k)
{
    const QSize ekran = platform()->screenSize();
    const int W = ekran.width();

    PanelRegTop = new QWidget(ob().PanelRegistracia);
    PanelRegTop->setObjectName(QStringLiteral("PanelRegTop"));
    PanelRegTop->setGeometry(0, 0, W, VysotaVerha);

    GerbReg = new GerbLeibl(PanelRegTop);
    GerbReg->setObjectName(QStringLiteral("GerbReg"));
    GerbReg->setGeometry(0, 10, 312, VysotaGerba);

    // The assembly's name above the meeting's description, right of the coat of arms.
    const int levo = 312 + 16;
    DumaTextGranica = new TGranica(PanelRegTop);
    DumaTextGranica->setObjectName(QStringLiteral("DumaTextGranica"));
    DumaTextGranica->setGeometry(levo, 10, W - levo - 17, 166);
    LeiblDumaText = tekstovyiLeibl(PanelRegTop, "LeiblDumaText", cvet::SvetloSeryi(), cvet::TemnoFioletovyi());
    LeiblDumaText->setText(QStringLiteral("Тальминская областная Дума"));
    LeiblDumaText->setGeometry(levo + 1, 11, DumaTextGranica->width() - 2, 50);
    LeiblZasedanieText = tekstovyiLeibl(PanelRegTop, "LeiblZasedanieText", cvet::Serebro(), Qt::black);
    LeiblZasedanieText->setGeometry(levo + 1, 61, DumaTextGranica->width() - 2, 114);

    TaimerRegGranica = new TGranica(ob().PanelRegistracia);
    TaimerRegGranica->setObjectName(QStringLiteral("TaimerRegGranica"));
    TaimerRegGranica->setGeometry(W - (W - 70) / 2 - 17, ob().FIOGranica->y(), (W - 70) / 2, VysotaTaimera);
    TaimerRegPhonLeibl =
        tekstovyiLeibl(ob().PanelRegistracia, "TaimerRegPhonLeibl", cvet::SvetloSeryi(), cvet::TemnoFioletovyi());
    vnutri(TaimerRegPhonLeibl, TaimerRegGranica->geometry());
    TaimerRegPhonLeibl2 =
        tekstovyiLeibl(ob().PanelRegistracia, "TaimerRegPhonLeibl2", cvet::SvetloSeryi(), cvet::TemnoFioletovyi());
    TaimerRegPhonLeibl2->setGeometry(TaimerRegPhonLeibl->x(), TaimerRegPhonLeibl->y() + 112,
                                     TaimerRegPhonLeibl->width(), 76);

    // The button and its frame are the window's; what a press does is this screen's.
    connect(ob().RegKnopka, &TLeibl::clicked, this, &TRegistracia::RegKnopkaClick);
    connect(ob().RegGranica, &TGranica::mouseDown, this, &TRegistracia::RegKnopkaClick);
}

// Mode 1 reaches a deputy terminal that is in the hall: it leaves the hall, and the next tick
// finds it not admitted and enters the registration screen.
void TRegistracia::RegistraciaDopushennogo()
{
    setDopusk(false);
    ob().RegKnopka->setTag(1);
    peremestit(ob().PanelStart, okno());
    ob().PanelStart->setVisible(RegimParam2() == 0);
    ob().GerbStart->show();
    ob().PanelStart->raise();
}

// Mode 1 on the operator console, the chairman terminal and the watcher.
void TRegistracia::RegistraciaNaTablo()
{
    ob().LeiblVremya->setText(QStringLiteral("До конца регистрации\n\rосталось ") + MinSek(RegimParam2()));
    ob().LeiblVremya->setGeometry(ob().LeiblVremya->x(), 138, ob().LeiblVremya->width(), 70);
    ob().LeiblVremya->show();

    bool ok = false;
    const QVariant kol =
        GlavBasa().scalar(zaprosy::sessia::kolichestvo(IdSessii()), &ok);
    if (ok) {
        ob().ZaregLeibl->setText(QStringLiteral("Зарегистрировалось: ") + QString::number(kol.toInt()));
        ob().ZaregLeibl->move(ob().ZaregLeibl->x(), ob().PanelTabloGolos->height() - 8 - ob().ZaregLeibl->height());
        ob().ZaregLeibl->show();
    }
    ob().InfoTablo->hide();
    ob().InfoLabel->hide();
    ekrany().SkrytStrokiRezultatov();
}

void TRegistracia::VoitiVRegistraciyu()
{
    ekrany().SkrytStrokiRezultatov();
    ob().PanelRegistracia->show();
    ob().PanelRegistracia->raise();
    ob().DeputatFreim->hide();

    ResultSet zas;
    LeiblZasedanieText->clear();
    if (GlavBasa().query(zaprosy::zasedanie::nazvanieRegistracii(IdZasedania()), &zas))
        LeiblZasedanieText->setText(zas.scalar().toString());

    // The two middle boxes share the width and sit in the middle of what the top band and
    // the button leave.
    const QSize ekran = platform()->screenSize();
    const int W = ekran.width();
    const int H = ekran.height();
    const int shirina = (W - 70) / 2;
    const int verh = (H - (GerbReg->height() + ob().RegKnopka->height() + TaimerRegGranica->height() + 30)) / 2
                     + GerbReg->height();
    TaimerRegGranica->setGeometry(W - shirina - 17, verh, shirina, TaimerRegGranica->height());
    ob().FIOGranica->setGeometry(16, verh, shirina, ob().FIOGranica->height());
    vnutri(TaimerRegPhonLeibl, TaimerRegGranica->geometry());
    vnutri(ob().FIOPHONLeibl, ob().FIOGranica->geometry());

    ob().PanelSleva->hide();
    ob().PanelStart->hide();

    ob().RegKnopka->setTag(1);
    ustanovitCvet(ob().RegKnopka, cvet::KnopkaRegistracii());
    ob().RegKnopka->setText(QStringLiteral("РЕГИСТРАЦИЯ"));

    ResultSet imya;
    if (GlavBasa().query(zaprosy::deputat::imya(IdDeputata()),
                       &imya)) {
        const QString f = imya.value(0, 0).toString();
        const QString i = imya.value(0, 1).toString();
        const QString o = imya.value(0, 2).toString();
        ob().FIOPHONLeibl->setText(f + QStringLiteral("\n\r") + i + QStringLiteral("\n\r") + o);
        ekrany().UstanovitImyaDeputata(f + QLatin1Char(' ') + i + QLatin1Char(' ') + o);
    }
}

void TRegistracia::OtschetRegistracii()
{
    ob().InfoTablo->hide();
    ob().InfoLabel->hide();
    ekrany().SkrytStrokiRezultatov();

    // Time up: the last texts stay until the console ends the period.
    const int t = RegimParam2();
    if (t == 0)
        return;

    const int verh = TaimerRegPhonLeibl->y() + 112;
    const int niz = TaimerRegGranica->y() + TaimerRegGranica->height() - 1;
    TaimerRegPhonLeibl2->setGeometry(TaimerRegPhonLeibl->x(), verh, TaimerRegPhonLeibl->width(), niz - verh);

    const bool zaregistrirovan = ob().RegKnopka->tag() == 2;
    const QString status = zaregistrirovan ? kZaregistrirovan : kNeZaregistrirovan;
    TaimerRegPhonLeibl->setText(QStringLiteral("До конца регистрации осталось\n\r") + MinSek(t)
                                + QStringLiteral("\n\r") + status);
    TaimerRegPhonLeibl2->setText(status);
    ustanovitCvetTeksta(TaimerRegPhonLeibl2,
                        zaregistrirovan ? cvet::ZelenayaPovestka() : cvet::TemnoFioletovyi());
}

void TRegistracia::RegKnopkaClick()
{
    ob().ZaregLeibl->hide();
    const int period = RegimParam1();
    const int tag = ob().RegKnopka->tag();

    if (tag == 1) {
        // A record written meanwhile by the operator's seat command counts already: a second
        // one would count the deputy twice.
        bool ok = false;
        const QVariant est = GlavBasa().scalar(
            zaprosy::sessia::zaregistrirovanLi(IdDeputata(), period),
            &ok);
        if (!ok
            || (est.toInt() == 0
                && !GlavBasa().exec(zaprosy::sessia::zaregistrirovat(IdZasedania(), IdDeputata(), period)))) {
            soobshitOshibku(dialogs(), okno(), &GlavBasa());
            return;
        }
        ob().RegKnopka->setTag(2);
        ob().RegKnopka->setText(QStringLiteral("СБРОС РЕГИСТРАЦИИ"));
        ustanovitCvet(ob().RegKnopka, cvet::Zaregistrirovan());
    } else if (tag == 2) {
        if (!GlavBasa().exec(zaprosy::sessia::otmenit(IdZasedania(), IdDeputata(), period))) {
            soobshitOshibku(dialogs(), okno(), &GlavBasa());
            return;
        }
        ob().RegKnopka->setTag(1);
        ob().RegKnopka->setText(QStringLiteral("РЕГИСТРАЦИЯ"));
        ustanovitCvet(ob().RegKnopka, cvet::KnopkaRegistracii());
    }
}

// During registration: the button shows the deputy's record of this period, wherever it was
// written or removed (the operator's seat map, another workstation).
void TRegistracia::SinhronizaciyaRegKnopki()
{
    if (OknoPredsedatelya() || RezhimNabludatelya() || ob().PanelRegistracia->isHidden())
        return;
    const int tag = ob().RegKnopka->tag();
    if (tag != 1 && tag != 2)
        return;
    bool ok = false;
    const QVariant est = GlavBasa().scalar(zaprosy::sessia::zaregistrirovanLi(IdDeputata(), RegimParam1()),
                                         &ok);
    if (!ok)
        return;  // the pending error is the timers' to handle
    const bool zaregistrirovan = est.toInt() > 0;
    if (zaregistrirovan && tag == 1) {
        ob().RegKnopka->setTag(2);
        ob().RegKnopka->setText(QStringLiteral("СБРОС РЕГИСТРАЦИИ"));
        ustanovitCvet(ob().RegKnopka, cvet::Zaregistrirovan());
    } else if (!zaregistrirovan && tag == 2) {
        ob().RegKnopka->setTag(1);
        ob().RegKnopka->setText(QStringLiteral("РЕГИСТРАЦИЯ"));
        ustanovitCvet(ob().RegKnopka, cvet::KnopkaRegistracii());
    }
}

// Outside registration, voting and vote results: the terminal follows its deputy's presence
// record, wherever it was written or removed.
void TRegistracia::SinhronizaciyaRegistracii()
{
    if (!OtkrytZaprosRegistracia())
        return;
    const bool zaregistrirovan = SvoiDeputatZaregistrirovan();

    if (!zaregistrirovan && !OknoPredsedatelya() && !RezhimNabludatelya()) {
        setDopusk(false);
        ob().RegKnopka->setTag(1);
        peremestit(ob().PanelStart, okno());
        ob().PanelStart->show();
        ob().GerbStart->show();
        ob().PanelStart->raise();
    }

    if (zaregistrirovan && !OknoPredsedatelya() && RegimNomer() != rezhim::Registracia) {
        SkrytRegistraciyu();
        ob().DeputatFreim->show();
        setDopusk(true);
        ob().PanelStart->hide();
        ob().RegKnopka->setTag(2);
    }
}
