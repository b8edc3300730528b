#pragma once

// The minutes: the statements that read a whole meeting back for printing.

#include <QString>

namespace zaprosy::protokol {

// Otchet1: the votes of meeting :a in time order with the counts, the name lists (none for a
// secret vote), the stored quorum and each vote's journal head.
QString golosovania();
// Otchet2: meeting :a's opening and closing lines and its chairman.
QString zasedanie();

}  // namespace zaprosy::protokol
