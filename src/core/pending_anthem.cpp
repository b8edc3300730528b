// Operations of the main window whose screens are not built yet: the anthem frame.
// This file goes away when that screen is written in its own folder; until then the bodies
// do the least that keeps the window consistent.
#include "core/tglavforma.h"

// ---- Anthem (src/hall)

void TGlavForma::SozdatGimnFreim() {}                  // the anthem picture over GimnFreim
