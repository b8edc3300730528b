#include "hall/zal_obshee.h"
#include "db/zaprosy/golos.h"
#include "hall/golosovanie_panel.h"

#include "core/cveta.h"
#include "core/dialogs.h"
#include "core/gerb.h"
#include "core/oshibka.h"
#include "core/rezhim.h"
#include "core/oblasti.h"
#include "core/vidzhety.h"

#include <QCoreApplication>
#include <QLabel>
#include <QProgressBar>

namespace {

// Frame rectangles: left 64, 241 x 70; the label lies inside.
constexpr int RamkaLevo = 64;
constexpr int RamkaShirina = 241;
constexpr int RamkaVysota = 70;

struct Opisanie {
    const char *imyaRamki;
    const char *imyaLeibla;
    const char *tekst;
    int verhLeibla;
    QColor cvet;
};

Opisanie opisanie(int knopka)
{
    switch (knopka) {
    case TKnopkiGolosovania::Za:
        return {"ShapeZa", "ZaKnopka", "ЗА", 43, cvet::Za()};
    case TKnopkiGolosovania::Protiv:
        return {"ShapeProtiv", "ProtivKnopka", "ПРОТИВ", 136, cvet::Protiv()};
    case TKnopkiGolosovania::Vosd:
        return {"ShapeVosd", "VosdKnopka", "ВОЗДЕРЖАЛСЯ", 229, cvet::Vozderzhalsya()};
    default:
        return {"ShapeSbros", "SbrosKnopka", "СБРОС", 323, cvet::Serebro()};
    }
}

}  // namespace

TKnopkiGolosovania::TKnopkiGolosovania(const KontekstEkrana &glav) : QObject(glav.okno()), m_glav(glav)
{
    setObjectName(QStringLiteral("KnopkiGolosovania"));
    QWidget *panel = glav->ob().PanelGolosovanie;
    TGranica **ramki[] = {&ShapeSbros, &ShapeZa, &ShapeProtiv, &ShapeVosd};
    TLeibl **leibly[] = {&SbrosKnopka, &ZaKnopka, &ProtivKnopka, &VosdKnopka};
    for (int k = Sbros; k <= Vosd; ++k) {
        const Opisanie o = opisanie(k);
        auto *ramka = new TGranica(panel);
        ramka->setObjectName(QString::fromLatin1(o.imyaRamki));
        ramka->setGeometry(RamkaLevo, o.verhLeibla - 1, RamkaShirina, RamkaVysota);
        auto *l = new TLeibl(QString::fromUtf8(o.tekst), panel);
        l->setObjectName(QString::fromLatin1(o.imyaLeibla));
        l->setFont(arialPx(24, true));
        l->setAlignment(Qt::AlignCenter);
        ustanovitCvet(l, o.cvet);
        *ramki[k] = ramka;
        *leibly[k] = l;
        connect(l, &TLeibl::clicked, this, [this, k] { Golos(k); });
        connect(ramka, &TGranica::mouseDown, this, [this, k] { Golos(k); });
    }
    Vybrat(Sbros);
}

TLeibl *TKnopkiGolosovania::leibl(int knopka) const
{
    switch (knopka) {
    case Za: return ZaKnopka;
    case Protiv: return ProtivKnopka;
    case Vosd: return VosdKnopka;
    default: return SbrosKnopka;
    }
}

TGranica *TKnopkiGolosovania::ramka(int knopka) const
{
    switch (knopka) {
    case Za: return ShapeZa;
    case Protiv: return ShapeProtiv;
    case Vosd: return ShapeVosd;
    default: return ShapeSbros;
    }
}

bool TKnopkiGolosovania::Golos(int knopka)
{
    // A touch counts only while the panel shows a running vote, as a key of the keypad does.
    if (m_glav->RegimNomer() != rezhim::Golosovanie || m_glav->ob().PanelGolosovanie->isHidden())
        return false;
    DbConnection &db = m_glav->GlavBasa();
    const int idGolosovania = m_glav->RegimParam1();
    const QString otozvat = zaprosy::golos::otozvat(m_glav->IdDeputata(), idGolosovania);
    // A failed cast takes the withdrawal back with it: the previous ballot stays. The mode row
    // is read again under the write lock: the poller's copy may be up to a tick old, and a
    // ballot written after the console ended the vote would change a decided result.
    bool idet = true;
    const bool ok = db.inTransaction([&] {
        ResultSet regim;
        if (!db.query(rezhim::zapros(), &regim))
            return false;
        idet = regim.value(0, 0).toInt() == rezhim::Golosovanie && regim.value(0, 1).toInt() == idGolosovania;
        if (!idet)
            return false;
        return db.exec(otozvat)
               && (knopka == Sbros
                   || db.exec(zaprosy::golos::podat(m_glav->IdDeputata(), m_glav->IdPovestki(), knopka, idGolosovania)));
    });
    if (!ok && !idet)
        return false;  // the vote has ended; nothing was written
    if (!ok) {
        // Reported here, so it is not taken for a lost connection; the deputy may press again.
        const OshibkaBazy vzyata(&db);
        Q_UNUSED(vzyata)
        m_glav->dialogs()->message(m_glav->okno(), QStringLiteral("Ошибка голосования!"), QCoreApplication::applicationName(),
                                   Dialogs::NoIcon);
        return false;
    }
    Vybrat(knopka);
    return true;
}

void TKnopkiGolosovania::Vybrat(int knopka)
{
    m_vybrannaya = knopka;
    for (int k = Sbros; k <= Vosd; ++k) {
        TGranica *r = ramka(k);
        TLeibl *l = leibl(k);
        const int otstup = k == knopka ? 4 : 1;
        r->setPero(k == knopka ? QColor(Qt::white) : QColor(Qt::black), otstup);
        r->update();
        l->setGeometry(r->geometry().adjusted(otstup, otstup, -otstup, -otstup));
        ustanovitCvetTeksta(l, k == knopka ? QColor(Qt::white) : QColor(Qt::black));
    }
}

void TKnopkiGolosovania::TekstyNachalaGolosovania()
{
    for (int k = Sbros; k <= Vosd; ++k)
        ustanovitCvetTeksta(leibl(k), k == Sbros ? QColor(Qt::white) : QColor(Qt::black));
}

int TKnopkiGolosovania::KnopkaKlavishi(int key)
{
    switch (key) {
    case Qt::Key_Home:
    case Qt::Key_Up:
    case Qt::Key_PageUp:
        return Za;
    case Qt::Key_Left:
    case Qt::Key_Clear:
    case Qt::Key_Right:
        return Protiv;
    case Qt::Key_End:
    case Qt::Key_Down:
    case Qt::Key_PageDown:
        return Vosd;
    case Qt::Key_Insert:
    case Qt::Key_Delete:
        return Sbros;
    default:
        return -1;
    }
}

// ---- The panel as a screen ----------------------------------------------------------------

TPanelGolosovania::TPanelGolosovania(const KontekstEkrana &k) : KontekstEkrana(k)
{
    KnopkiGolosovania = new TKnopkiGolosovania(*this);
}

void TPanelGolosovania::SbrosPanelGolosovania()
{
    ob().ProgressBarTablo->setMaximum(0);
    ob().ProgressBarTablo->hide();
    ob().LeiblKolGolosov->hide();
    ob().LeiblRegim->hide();
    ob().PanelGolosovanie->hide();
    ob().Gerb->show();
    KnopkiGolosovania->Vybrat(TKnopkiGolosovania::Sbros);
}

void TPanelGolosovania::PokazatPanelGolosovania()
{
    if (RezhimNabludatelya()) {
        ob().PanelGolosovanie->hide();
        ob().Gerb->show();
    } else {
        ob().Gerb->hide();
        ob().PanelGolosovanie->show();
        // On the console the panel stays under the operator frame, unseen.
        if (RezhimAdmin())
            ob().PanelGolosovanie->stackUnder(ob().AdminFrame);
        else
            ob().PanelGolosovanie->raise();
    }
    KnopkiGolosovania->TekstyNachalaGolosovania();
}

void TPanelGolosovania::GolosKlavishei(int key, Qt::KeyboardModifiers)
{
    // Seat terminals only, only during a vote, and only where the panel is shown: a deputy who
    // is not registered sees no panel and casts nothing from the keypad either.
    if (RezhimAdmin() || RezhimNabludatelya())
        return;
    if (!ZaprosRegima()->isOpen() || RegimNomer() != rezhim::Golosovanie || ob().PanelGolosovanie->isHidden())
        return;
    const int knopka = TKnopkiGolosovania::KnopkaKlavishi(key);
    if (knopka >= 0)
        KnopkiGolosovania->Golos(knopka);
}
