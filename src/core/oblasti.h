#pragma once

// The regions of the main window that every role's screens live in, and the parts of the
// board and of the registration screen that the window's own poller and clock draw (the idle
// board, the clock, the item's text, the deputy's name). The window makes them; the screens
// get them through their context and add their own widgets inside.

class GerbLeibl;
class QLabel;
class QProgressBar;
class QTextEdit;
class QWidget;
class TGranica;
class TLeibl;

// Top of the vote countdown while a vote runs; it reaches down to the progress bar.
constexpr int VerhVremeniGolosovania = 110;

struct Oblasti {
    QWidget *PanelSprava = nullptr;       // seat map panel, left of the right-hand column
    QWidget *PanelSleva = nullptr;        // right-hand column, 369 px, aligned right
    QWidget *PanelSpravaVerh = nullptr;   // its upper area: voting panel, speaker button, console frame
    QWidget *PanelSlevaNis = nullptr;     // its lower area: the results board
    QWidget *PanelTabloGolos = nullptr;   // the results board itself, filling PanelSlevaNis
    QWidget *PanelRegistracia = nullptr;  // registration screen, over the whole window
    QWidget *PanelStart = nullptr;        // start screen: the coat of arms over the document area
    GerbLeibl *GerbStart = nullptr;
    QWidget *DeputatFreim = nullptr;      // agenda and document frame (deputy terminal, watcher)
    QWidget *AdminFrame = nullptr;        // operator console frame
    QWidget *GimnFreim = nullptr;         // anthem frame
    GerbLeibl *Gerb = nullptr;            // coat of arms in the upper area when no voting panel
    QWidget *PanelGolosovanie = nullptr;  // voting panel (upper area, during a vote)
    TGranica *GranicaGolosov = nullptr;   // its lime border
    TLeibl *LeiblProshuSlova = nullptr;   // speaker-request button, or the chairman's list heading
    TGranica *GranicaProshuSlova = nullptr;

    // The board's frame.
    QLabel *LeiblDuma = nullptr;
    QLabel *LeiblZasedanie = nullptr;
    QLabel *LeiblVopros = nullptr;
    QLabel *LeiblRegim = nullptr;
    QTextEdit *InfoTablo = nullptr;  // the active item's text (hidden; InfoLabel shows it)
    QLabel *InfoLabel = nullptr;
    QTextEdit *InfoBack = nullptr;   // hidden, for comparing the stored text with the shown one
    QLabel *LeiblVremya = nullptr;
    QProgressBar *ProgressBarTablo = nullptr;
    QLabel *LeiblKolGolosov = nullptr;
    QLabel *ZaregLeibl = nullptr;

    // The registration screen's name box and button.
    TGranica *FIOGranica = nullptr;
    QLabel *FIOPHONLeibl = nullptr;
    TGranica *RegGranica = nullptr;
    TLeibl *RegKnopka = nullptr;  // tag: 1 not registered, 2 registered
};
