// What a workstation's screen shows, for its status file: plain facts read off the widgets,
// so an observer can check the screen against the database without seeing it.
#include "core/cveta.h"
#include "core/tglavforma.h"
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

QString TGlavForma::OpisanieEkrana() const
{
    QStringList ekrany;
    const auto esli = [&](const QWidget *w, const char *imya) {
        if (vidim(w, this))
            ekrany << QLatin1String(imya);
    };
    esli(PanelStart, "start");
    esli(PanelRegistracia, "registration");
    esli(PanelGolosovanie, "vote-panel");
    esli(ProgressBarTablo, "vote-board");
    esli(LeiblReshenie, "vote-result");
    esli(GimnFreim, "anthem");
    esli(DeputatFreim, "agenda");
    esli(PanelSprava, "seat-map");
    esli(PanelSleva, "board");

    QString t;
    t += QStringLiteral("screens=%1\n").arg(ekrany.join(QLatin1Char(',')));
    t += QStringLiteral("registered=%1\n").arg(SvoiDeputatZaregistrirovan() ? 1 : 0);
    t += QStringLiteral("reg_button=%1\n").arg(RegKnopkaTag());
    t += QStringLiteral("board_mode=%1\n").arg(odnaStroka(LeiblRegim->text()));
    t += QStringLiteral("board_item=%1\n").arg(odnaStroka(LeiblVopros->text()));
    if (vidim(LeiblKolGolosov, this))
        t += QStringLiteral("board_count=%1\n").arg(odnaStroka(LeiblKolGolosov->text()));
    if (Za && vidim(Za, this))
        t += QStringLiteral("board_result=%1,%2,%3,%4\n")
                 .arg(Za->text(), Protiv->text(), Vosd->text(), Golosov->text());
    if (LeiblReshenie && vidim(LeiblReshenie, this))
        t += QStringLiteral("board_decision=%1\n").arg(odnaStroka(LeiblReshenie->text()));
    if (vidim(PanelSprava, this) && MestoLeibl.size() > 27) {
        QString imena, nomera;
        for (int i = 1; i <= 27; ++i) {
            imena += MestoLeibl[i] ? punktLegendy(MestoLeibl[i], m_cvetMolchaniya) : QChar(u'-');
            nomera += NomerLeibl.value(i) ? punktLegendy(NomerLeibl[i], m_cvetMolchaniya) : QChar(u'-');
        }
        t += QStringLiteral("seat_names=%1\nseat_numbers=%2\n").arg(imena, nomera);
    }
    return t;
}
