// Operations of the main window whose screens are not built yet: the agenda and document frame.
// This file goes away when that screen is written in its own folder; until then the bodies
// do the least that keeps the window consistent.
#include "core/tglavforma.h"

// ---- Agenda and document frame (src/viewer)

void TGlavForma::SozdatDeputatFreim() {}               // builds TDeputatFreim inside DeputatFreim
void TGlavForma::OtkrytPovestkuDeputata() {}           // opens Povestka for IdZasedania
void TGlavForma::UstanovitImyaDeputata(const QString &) {}  // sets DeputatLeibl
void TGlavForma::RazmestitDeputatFreim() {}            // lays the frame out for the screen
void TGlavForma::NastroitPDF() {}                      // PDF view: toolbar on, scroll bars off
void TGlavForma::SinhronizirovatKnopkiPDF() {}         // KnopkiPDF follows the PDF view's visibility
