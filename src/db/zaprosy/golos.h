#pragma once

// Table otvet: the ballots, one per deputy and vote.

#include <QString>

namespace zaprosy::golos {

// A deputy's ballot withdrawn (before a new one, or on its own).
QString otozvat(int idDeputata, int idGolosovania);
// A deputy's ballot with code 1 for, 2 against, 3 abstain.
QString podat(int idDeputata, int idPovestki, int kod, int idGolosovania);
// Ballots so far (vote progress window).
QString vsego(int idGolosovania);
// Ballots so far as the board shows them (column kol).
QString vsegoNaTablo(int idGolosovania);
// Ballots per code (vote progress window, the hall driver's count).
QString poKodam(int idGolosovania);
// Seat and choice of every ballot of vote :a (seat map, open vote).
QString mestaSVyborom();
// Seats that voted in vote :a, without the choice (seat map, secret vote).
QString progolosovavshieMesta();

}  // namespace zaprosy::golos
