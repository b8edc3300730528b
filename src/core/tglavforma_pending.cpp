// Operations of the main window whose screens are not built yet. Each group moves to the
// folder of its screen when that screen is written; until then the bodies do the least that
// keeps the window consistent.
#include "core/tglavforma.h"

#include "core/gerb.h"

#include <QLabel>
#include <QProgressBar>

// ---- Agenda and document frame (src/viewer) ----------------------------------------------

void TGlavForma::SozdatDeputatFreim() {}               // builds TDeputatFreim inside DeputatFreim
void TGlavForma::OtkrytPovestkuDeputata() {}           // opens Povestka for IdZasedania
void TGlavForma::UstanovitImyaDeputata(const QString &) {}  // sets DeputatLeibl
void TGlavForma::RazmestitDeputatFreim() {}            // lays the frame out for the screen
void TGlavForma::NastroitPDF() {}                      // PDF view: toolbar on, scroll bars off
void TGlavForma::SinhronizirovatKnopkiPDF() {}         // KnopkiPDF follows the PDF view's visibility

// ---- Seat map (src/hall) -------------------------------------------------------------------

bool TGlavForma::PostroitKartuMest() { return true; }  // seats, names, vacated seats, legend
bool TGlavForma::ObnovitKartuMest(QString *) { return true; }  // colours the seats once a second

// ---- Registration at the seat (src/hall) ---------------------------------------------------

void TGlavForma::SozdatRegistraciyu() {}               // top band, countdown boxes of the screen
void TGlavForma::RegistraciaDopushennogo() {}          // admitted deputy terminal leaves the hall
void TGlavForma::RegistraciaNaTablo() {}               // countdown and count on the board
void TGlavForma::VoitiVRegistraciyu() {}               // shows and lays out PanelRegistracia
void TGlavForma::OtschetRegistracii() {}               // countdown and status on the screen
void TGlavForma::SinhronizaciyaRegistracii() {}        // follows presence records written elsewhere
void TGlavForma::RegKnopkaClick() {}                   // writes or removes the presence record

// ---- Voting panel (src/hall) ---------------------------------------------------------------

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

// ---- Speaker requests (src/hall) -----------------------------------------------------------

void TGlavForma::SozdatSpisokZapis() {}                // the chairman's list and its buttons
void TGlavForma::RazmestitSpisokZapis() {}             // re-reads and places the chairman's list
void TGlavForma::SinhronizaciyaProshuSlova() {}        // the button returns once the request is gone
void TGlavForma::LeiblProshuSlovaClick() {}            // asks for or gives up the floor

// ---- Results board (src/hall) --------------------------------------------------------------

void TGlavForma::SozdatStrokiRezultatov() {}           // the four result rows and LeiblReshenie
void TGlavForma::SkrytStrokiRezultatov() {}            // hides the rows and LeiblReshenie
void TGlavForma::NachatTabloGolosovania() {}           // rule text, voting panel, progress bar
void TGlavForma::OtschetGolosovania() {}               // seconds left and ballots so far
void TGlavForma::TabloRezultataGolosovania() {}        // counts and the decision
void TGlavForma::TabloRezultataRegistracii() {}        // present, absent, elected, quorum

// ---- Seat commands (src/hall) --------------------------------------------------------------

void TGlavForma::SozdatMenuDeputat() {}                // MenuDeputat on the operator console

// ---- Anthem (src/hall) ---------------------------------------------------------------------

void TGlavForma::SozdatGimnFreim() {}                  // the anthem picture over GimnFreim

// ---- Operator console (src/console) --------------------------------------------------------

void TGlavForma::SozdatAdminFrame() {}                 // TAdminInterfeis inside AdminFrame
void TGlavForma::SozdatProcessGolos2Formu() {}         // vote-progress window
void TGlavForma::SozdatOknaRegistracii() {}            // registration-progress and -control windows
bool TGlavForma::ZagruzitZasedanie() { return false; } // binds the frame to the open meeting
void TGlavForma::ObnovitPovestku() {}                  // reloads the frame's agenda
void TGlavForma::UstanovitZasedanieFreima(int) {}      // ZasedanieFreima of the frame
void TGlavForma::RaspolozhitKnopki() {}                // arranges the frame's buttons
void TGlavForma::SkrytPovestkuKonsoli() {}             // grid and text hidden, agenda panel silver
bool TGlavForma::PovestkaKonsoliSkryta() const { return false; }  // the frame's grid is hidden
void TGlavForma::PrivyazatPovestkuKonsoli(int) {}      // binds the grid to a meeting, panel green
void TGlavForma::PerekrasitPovestkuKonsoli() {}        // repaints the agenda grid
void TGlavForma::AdminFormResize() {}                  // grid and text box heights
