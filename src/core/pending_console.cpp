// Operations of the main window whose screens are not built yet: the operator console frame and its windows.
// This file goes away when that screen is written in its own folder; until then the bodies
// do the least that keeps the window consistent.
#include "core/tglavforma.h"

// ---- Operator console (src/console)

void TGlavForma::SozdatAdminFrame() {}                 // TAdminInterfeis inside AdminFrame
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
