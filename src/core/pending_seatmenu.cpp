// Operations of the main window whose screens are not built yet: the operator's seat menu.
// This file goes away when that screen is written in its own folder; until then the bodies
// do the least that keeps the window consistent.
#include "core/tglavforma.h"

// ---- Seat commands (src/hall)

void TGlavForma::SozdatMenuDeputat() {}                // MenuDeputat on the operator console
