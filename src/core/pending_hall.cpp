// Operations of the main window whose screens are not built yet: seat map, registration at the seat, speaker requests, results board.
// This file goes away when that screen is written in its own folder; until then the bodies
// do the least that keeps the window consistent.
#include "core/tglavforma.h"

// ---- Seat map (src/hall)

bool TGlavForma::PostroitKartuMest() { return true; }  // seats, names, vacated seats, legend
bool TGlavForma::ObnovitKartuMest(QString *) { return true; }  // colours the seats once a second

// ---- Registration at the seat (src/hall)

void TGlavForma::SozdatRegistraciyu() {}               // top band, countdown boxes of the screen
void TGlavForma::RegistraciaDopushennogo() {}          // admitted deputy terminal leaves the hall
void TGlavForma::RegistraciaNaTablo() {}               // countdown and count on the board
void TGlavForma::VoitiVRegistraciyu() {}               // shows and lays out PanelRegistracia
void TGlavForma::OtschetRegistracii() {}               // countdown and status on the screen
void TGlavForma::SinhronizaciyaRegistracii() {}        // follows presence records written elsewhere
void TGlavForma::RegKnopkaClick() {}                   // writes or removes the presence record

// ---- Speaker requests (src/hall)

void TGlavForma::SozdatSpisokZapis() {}                // the chairman's list and its buttons
void TGlavForma::RazmestitSpisokZapis() {}             // re-reads and places the chairman's list
void TGlavForma::SinhronizaciyaProshuSlova() {}        // the button returns once the request is gone
void TGlavForma::LeiblProshuSlovaClick() {}            // asks for or gives up the floor

// ---- Results board (src/hall)

void TGlavForma::SozdatStrokiRezultatov() {}           // the four result rows and LeiblReshenie
void TGlavForma::SkrytStrokiRezultatov() {}            // hides the rows and LeiblReshenie
void TGlavForma::NachatTabloGolosovania() {}           // rule text, voting panel, progress bar
void TGlavForma::OtschetGolosovania() {}               // seconds left and ballots so far
void TGlavForma::TabloRezultataGolosovania() {}        // counts and the decision
void TGlavForma::TabloRezultataRegistracii() {}        // present, absent, elected, quorum
