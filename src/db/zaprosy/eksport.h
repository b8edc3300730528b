#pragma once

// The results export (voter-sql): the meeting, its votes and their ballots.

#include <QString>

namespace zaprosy::eksport {

// The newest meeting that has a vote (the export's default).
QString zasedanieSGolosovaniem();
// The newest meeting (before any vote).
QString posledneeZasedanie();
// The exported meeting's own row.
QString zasedanie(int id);
// The votes of a meeting with their item and counts.
QString golosovania(int idZasedania);
// The ballots of one vote with the deputy's name and seat.
QString byulleteni(int idGolosovania);

}  // namespace zaprosy::eksport
