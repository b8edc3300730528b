// The results board's displays: the vote's start, progress and result with the decision, and
// the registration summary. The idle board is the mode poller's.
#include "core/taimer.h"
#include "db/zaprosy/golos.h"
#include "db/zaprosy/golosovanie.h"
#include "db/zaprosy/konstanta.h"
#include "db/zaprosy/sessia.h"
#include "hall/tablo.h"

#include "core/gerb.h"
#include "core/vidzhety.h"
#include "db/kvorum.h"
#include "hall/proshu_slova.h"
#include "hall/zal_obshee.h"

#include <QLabel>
#include <QListView>
#include <QProgressBar>

#include <algorithm>
#include <QTableView>
#include <QTextEdit>
#include <QToolButton>

namespace tablo {

Itog itogGolosovania(const ResultSet &rs)
{
    Itog itog;
    for (int r = 0; r < rs.rowCount(); ++r) {
        const int kolichestvo = rs.value(r, QStringLiteral("result")).toInt();
        switch (rs.value(r, QStringLiteral("kak")).toInt()) {
        case 1: itog.za = kolichestvo; break;
        case 2: itog.protiv = kolichestvo; break;
        case 3: itog.vosd = kolichestvo; break;
        default: break;
        }
    }
    if (!rs.isEmpty()) {
        const QVariant nuzno = rs.value(0, QStringLiteral("nuzno"));
        itog.nuznoIzvestno = !nuzno.isNull();
        itog.nuzno = nuzno.toInt();
    }
    return itog;
}

QString Itog::reshenie() const
{
    if (!nuznoIzvestno)
        return QStringLiteral("РЕШЕНИЕ НЕ ОПРЕДЕЛЕНО");
    return prinyato() ? QStringLiteral("РЕШЕНИЕ ПРИНЯТО") : QStringLiteral("РЕШЕНИЕ НЕ ПРИНЯТО");
}

QString otsutstvuet(const QString &izbrano, int prisutstvuet)
{
    bool ok = false;
    const int e = izbrano.trimmed().toInt(&ok);
    return ok ? QString::number(e - prisutstvuet) : QString();
}

}  // namespace tablo

namespace {

// Design tops of the four rows (the registration summary keeps whatever places they have).
constexpr int VerhStrok[4] = {129, 165, 201, 238};
constexpr int VysotaStroki = 31;

// A row's label, hidden until a display shows it.
QLabel *leibl(QWidget *parent, const char *name, const QRect &geom, Qt::Alignment align)
{
    QLabel *l = noviLeibl(parent, name, geom, arialPx(24, true), align);
    l->hide();
    return l;
}

// The verdict under the rows; nothing when the stored quorum is not a number.
void pokazatKvorum(QLabel *l, const QString &kvorumZnachenie, int prisutstvuet)
{
    const QString verdikt = kvorum::verdikt(kvorumZnachenie, prisutstvuet);
    l->setGeometry(0, l->y(), l->parentWidget()->width(), l->height());
    l->setText(verdikt);
    l->setVisible(!verdikt.isEmpty());
}

}  // namespace

TTablo::TTablo(const KontekstEkrana &k, TProshuSlova *spisok) : KontekstEkrana(k), m_spisok(spisok)
{
    QWidget *t = ob().PanelTabloGolos;
    const Qt::Alignment podpis = Qt::AlignLeft | Qt::AlignVCenter;
    const Qt::Alignment chislo = Qt::AlignRight | Qt::AlignVCenter;
    ZaLeibl = leibl(t, "ZaLeibl", QRect(17, VerhStrok[0], 272, VysotaStroki), podpis);
    Za = leibl(t, "Za", QRect(295, VerhStrok[0], 58, VysotaStroki), chislo);
    ProtivLeibl = leibl(t, "ProtivLeibl", QRect(17, VerhStrok[1], 272, VysotaStroki), podpis);
    Protiv = leibl(t, "Protiv", QRect(295, VerhStrok[1], 58, VysotaStroki), chislo);
    VosdLeibl = leibl(t, "VosdLeibl", QRect(17, VerhStrok[2], 272, VysotaStroki), podpis);
    Vosd = leibl(t, "Vosd", QRect(295, VerhStrok[2], 58, VysotaStroki), chislo);
    GolosovLeibl = leibl(t, "GolosovLeibl", QRect(17, VerhStrok[3], 272, VysotaStroki), podpis);
    Golosov = leibl(t, "Golosov", QRect(295, VerhStrok[3], 58, VysotaStroki), chislo);
    LeiblReshenie = leibl(t, "LeiblReshenie", QRect(17, 238, 335, VysotaStroki), Qt::AlignCenter);
    // Below the last row and the decision, in the board's bottom strip.
    LeiblKvorum = leibl(t, "LeiblKvorum", QRect(0, 270, 369, 26), Qt::AlignCenter);
    LeiblKvorum->setFont(arialPx(20, true));
}

bool TTablo::StrokiRezultatovVidny() const
{
    return ZaLeibl && !ZaLeibl->isHidden();
}

void TTablo::SkrytStrokiRezultatov()
{
    for (QLabel *l : {ZaLeibl, Za, ProtivLeibl, Protiv, VosdLeibl, Vosd, GolosovLeibl, Golosov, LeiblReshenie, LeiblKvorum})
        if (l)
            l->hide();
}

// First tick of a vote on a terminal that takes part in it.
void TTablo::NachatTabloGolosovania()
{
    ob().InfoTablo->hide();
    ob().InfoLabel->hide();
    ob().LeiblRegim->show();
    for (QWidget *w : {static_cast<QWidget *>(m_spisok->SpisokTabl), static_cast<QWidget *>(m_spisok->SpisokVerh),
                       static_cast<QWidget *>(m_spisok->SpisokNis), static_cast<QWidget *>(m_spisok->OchistkaProshuSlova)})
        if (w)
            w->hide();

    const int golosovanie = RegimParam1();
    bool ok = false;
    ob().LeiblRegim->setText(
        GlavBasa().scalar(zaprosy::golosovanie::pravilo(golosovanie), &ok).toString());
    if (!ok)
        return;

    SkrytStrokiRezultatov();
    ob().ProgressBarTablo->move(ob().ProgressBarTablo->x(), 150);
    doVerhaVidzheta(ob().LeiblVremya, VerhVremeniGolosovania, ob().ProgressBarTablo);
    ob().LeiblKolGolosov->show();

    ekrany().PokazatPanelGolosovania();

    // The documents go out of reach while the deputy votes.
    if (OknoDeputata() && !RezhimNabludatelya()) {
        ob().GerbStart->show();
        ob().GerbStart->raise();
        if (QWidget *knopki = ob().DeputatFreim->findChild<QWidget *>(QStringLiteral("KnopkiPDF")))
            knopki->hide();
    }

    if (!PerechitatRegim(false))
        return;
    const QString kol = GlavBasa().scalar(zaprosy::golos::vsegoNaTablo(RegimParam1()), &ok).toString();
    if (ok)
        ob().LeiblKolGolosov->setText(QStringLiteral("Проголосовало: ") + kol);
}

// Every tick of a vote after its start: seconds left and ballots so far.
void TTablo::OtschetGolosovania()
{
    SkrytStrokiRezultatov();
    ob().ZaregLeibl->hide();
    if (OknoDeputata() && !RezhimNabludatelya()) {
        peremestit(ob().PanelStart, ob().DeputatFreim);
        ob().PanelStart->show();
        ob().PanelStart->raise();
    }

    if (!PerechitatRegim(false))
        return;
    const int t = RegimParam2();
    if (t == 0) {
        ob().LeiblVremya->setText(QStringLiteral("Голосование завершено"));
        return;
    }
    // The first tick with time left fixes the bar's scale.
    if (!ob().ProgressBarTablo->isHidden()) {
        ob().ProgressBarTablo->setValue(ob().ProgressBarTablo->maximum() - t);
    } else {
        ob().ProgressBarTablo->setMaximum(t);
        ob().ProgressBarTablo->setValue(0);
        ob().ProgressBarTablo->show();
    }
    ob().LeiblVremya->show();
    ob().LeiblVremya->setText(QStringLiteral("Осталось ") + MinSek(t));

    bool ok = false;
    const QString kol = GlavBasa().scalar(zaprosy::golos::vsegoNaTablo(RegimParam1()), &ok).toString();
    if (ok)
        ob().LeiblKolGolosov->setText(QStringLiteral("Проголосовало: ") + kol);
}

// Every tick of mode 4. The counts and the decision are read once per display.
void TTablo::TabloRezultataGolosovania()
{
    const QList<QLabel *> podpisi{ZaLeibl, ProtivLeibl, VosdLeibl, GolosovLeibl};
    const QList<QLabel *> chisla{Za, Protiv, Vosd, Golosov};
    if (LeiblReshenie->isHidden()) {
        const int h = ZaLeibl->height();
        for (int i = 0; i < 4; ++i) {
            const int verh = LeiblReshenie->y() - (4 - i) * (h + 4);
            podpisi[i]->move(podpisi[i]->x(), verh);
            chisla[i]->move(chisla[i]->x(), verh);
        }
    }
    ZaLeibl->setText(QStringLiteral("ЗА"));
    ProtivLeibl->setText(QStringLiteral("ПРОТИВ"));
    VosdLeibl->setText(QStringLiteral("ВОЗДЕРЖАЛИСЬ"));
    GolosovLeibl->setText(QStringLiteral("ГОЛОСОВАЛО"));

    ob().InfoTablo->hide();
    ob().InfoLabel->hide();
    ekrany().SbrosPanelGolosovania();
    ob().LeiblVremya->hide();
    for (int i = 0; i < 4; ++i) {
        podpisi[i]->show();
        chisla[i]->show();
    }
    LeiblReshenie->resize(ob().PanelTabloGolos->width() - 2 * LeiblReshenie->x(), LeiblReshenie->height());
    LeiblReshenie->setAlignment(Qt::AlignCenter);

    if (!LeiblReshenie->isHidden())
        return;
    LeiblReshenie->show();
    if (!PerechitatRegim(false))
        return;
    ResultSet rs;
    if (!GlavBasa().query(zaprosy::golosovanie::itog(RegimParam1()),
                        &rs))
        return;
    const tablo::Itog itog = tablo::itogGolosovania(rs);
    Za->setText(QString::number(itog.za));
    Protiv->setText(QString::number(itog.protiv));
    Vosd->setText(QString::number(itog.vosd));
    Golosov->setText(QString::number(itog.golosovalo()));
    LeiblReshenie->setText(itog.reshenie());

    // The quorum of the vote: the number present it was started with against the constant.
    ResultSet kv;
    if (!GlavBasa().query(zaprosy::golosovanie::kvorum(RegimParam1()),
                        &kv))
        return;
    pokazatKvorum(LeiblKvorum, kv.value(0, QStringLiteral("kvorum")).toString(),
                  kv.value(0, QStringLiteral("prisutstvuet")).toInt());
}

// Every tick of mode 5: elected, present, absent and the stored quorum.
void TTablo::TabloRezultataRegistracii()
{
    bool ok = false;
    const QString prisutstvuet =
        GlavBasa().scalar(zaprosy::sessia::prisutstvuet(IdSessii()), &ok).toString();
    if (!ok)
        return;
    const QString kvorum =
        GlavBasa().scalar(zaprosy::konstanta::kvorum(), &ok).toString();
    if (!ok)
        return;
    const QString izbrano =
        GlavBasa().scalar(zaprosy::konstanta::izbrano(), &ok).toString();
    if (!ok)
        return;

    Za->setText(izbrano);
    Protiv->setText(prisutstvuet);
    Vosd->setText(tablo::otsutstvuet(izbrano, prisutstvuet.toInt()));
    Golosov->setText(kvorum);

    ob().ZaregLeibl->hide();
    ob().LeiblVremya->hide();
    // The rows stand where the item's text is: it goes while they are shown.
    ob().InfoTablo->hide();
    ob().InfoLabel->hide();
    ZaLeibl->setText(QStringLiteral("ВСЕГО ДЕПУТАТОВ"));
    ProtivLeibl->setText(QStringLiteral("ПРИСУТСТВУЕТ"));
    VosdLeibl->setText(QStringLiteral("ОТСУТСТВУЕТ"));
    GolosovLeibl->setText(QStringLiteral("КВОРУМ"));
    for (QLabel *l : {ZaLeibl, Za, ProtivLeibl, Protiv, VosdLeibl, Vosd, GolosovLeibl, Golosov})
        l->show();
    pokazatKvorum(LeiblKvorum, kvorum, prisutstvuet.toInt());
}
