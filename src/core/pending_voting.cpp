// Operations of the main window whose screens are not built yet: the voting panel, the vote set-up and vote-progress windows.
// This file goes away when that screen is written in its own folder; until then the bodies
// do the least that keeps the window consistent.
#include "core/tglavforma.h"

#include "core/gerb.h"

#include <QLabel>
#include <QProgressBar>

// ---- Voting panel (src/hall)

void TGlavForma::SozdatPanelGolosovania() {}           // the four ballot buttons

// Reset: the coat of arms back in place of the panel (the button looks come with the panel).
void TGlavForma::SbrosPanelGolosovania()
{
    ProgressBarTablo->setMaximum(0);
    ProgressBarTablo->hide();
    LeiblKolGolosov->hide();
    LeiblRegim->hide();
    PanelGolosovanie->hide();
    Gerb->show();
}

void TGlavForma::GolosKlavishei(int, Qt::KeyboardModifiers) {}  // keypad keys cast ballots in mode 2

void TGlavForma::SozdatProcessGolos2Formu() {}         // vote-progress window
void TGlavForma::OtkrytNastroikuGolosovania() {}       // vote set-up dialog

void TGlavForma::PokazatPanelGolosovania()
{
    const bool nablyudatel = RezhimNabludatelya();
    PanelGolosovanie->setVisible(!nablyudatel);
    Gerb->setVisible(nablyudatel);
}
