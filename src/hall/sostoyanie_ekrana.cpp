// What a workstation's screen shows, for its status file: plain facts read off the widgets,
// so an observer can check the screen against the database without seeing it.
#include "hall/zal_obshee.h"
#include "core/cveta.h"
#include "core/oblasti.h"
#include "hall/sostoyanie_ekrana.h"
#include "hall/tablo.h"
#include "core/vidzhety.h"
#include "hall/karta_mest.h"

#include <QLabel>
#include <QProgressBar>

namespace {

bool vidim(const QWidget *w, const QWidget *okno)
{
    return w && w->isVisibleTo(okno);
}

QString odnaStroka(QString t)
{
    t.replace(QLatin1String("\n\r"), QLatin1String(" | "));
    t.replace(QLatin1Char('\n'), QLatin1Char(' '));
    t.replace(QLatin1Char('\r'), QLatin1Char(' '));
    return t;
}

// The legend item (1..7) whose colour a seat label has; 'S' for the silent-seat colour, 'V'
// for a seat that voted in a secret vote.
QChar punktLegendy(const QWidget *w, const QColor &molchanie)
{
    const QColor c = cvetFona(w);
    for (int i = 1; i <= 7; ++i)
        if (c == kartamest::cvetLegendy(i))
            return QChar(u'0' + i);
    if (c == cvet::Progolosoval())
        return QChar(u'V');
    return c == molchanie ? QChar(u'S') : QChar(u'?');
}

}  // namespace

QString opisanieEkrana(const KontekstEkrana &k, const TTablo &tablo, const TKartaMest &karta)
{
    const QWidget *okno = k.okno();
    QStringList ekrany;
    const auto esli = [&](const QWidget *w, const char *imya) {
        if (vidim(w, okno))
            ekrany << QLatin1String(imya);
    };
    esli(k.ob().PanelStart, "start");
    esli(k.ob().PanelRegistracia, "registration");
    esli(k.ob().PanelGolosovanie, "vote-panel");
    esli(k.ob().ProgressBarTablo, "vote-board");
    esli(tablo.LeiblReshenie, "vote-result");
    esli(k.ob().GimnFreim, "anthem");
    esli(k.ob().DeputatFreim, "agenda");
    esli(k.ob().PanelSprava, "seat-map");
    esli(k.ob().PanelSleva, "board");

    QString t;
    t += QStringLiteral("screens=%1\n").arg(ekrany.join(QLatin1Char(',')));
    t += QStringLiteral("registered=%1\n").arg(k.SvoiDeputatZaregistrirovan() ? 1 : 0);
    t += QStringLiteral("reg_button=%1\n").arg(k.ob().RegKnopka->tag());
    t += QStringLiteral("board_mode=%1\n").arg(odnaStroka(k.ob().LeiblRegim->text()));
    t += QStringLiteral("board_item=%1\n").arg(odnaStroka(k.ob().LeiblVopros->text()));
    if (vidim(k.ob().LeiblKolGolosov, okno))
        t += QStringLiteral("board_count=%1\n").arg(odnaStroka(k.ob().LeiblKolGolosov->text()));
    if (tablo.Za && vidim(tablo.Za, okno))
        t += QStringLiteral("board_result=%1,%2,%3,%4\n")
                 .arg(tablo.Za->text(), tablo.Protiv->text(), tablo.Vosd->text(), tablo.Golosov->text());
    if (tablo.LeiblReshenie && vidim(tablo.LeiblReshenie, okno))
        t += QStringLiteral("board_decision=%1\n").arg(odnaStroka(tablo.LeiblReshenie->text()));
    if (vidim(k.ob().PanelSprava, okno) && karta.MestoLeibl.size() > 27) {
        QString imena, nomera;
        for (int i = 1; i <= 27; ++i) {
            imena += karta.MestoLeibl[i] ? punktLegendy(karta.MestoLeibl[i], k.CvetMolchaniya()) : QChar(u'-');
            nomera += karta.NomerLeibl.value(i) ? punktLegendy(karta.NomerLeibl[i], k.CvetMolchaniya()) : QChar(u'-');
        }
        t += QStringLiteral("seat_names=%1\nseat_numbers=%2\n").arg(imena, nomera);
    }
    return t;
}
