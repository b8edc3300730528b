#pragma once

// The results board's arithmetic, apart from its labels.

#include "db/connection.h"

#include <QString>


namespace tablo {

// A vote's result as the board shows it.
struct Itog {
    int za = 0;
    int protiv = 0;
    int vosd = 0;
    int nuzno = 0;
    // False when the vote's row has no number needed at all (NULL): nothing can be decided,
    // and the board must not call such a vote adopted or rejected.
    bool nuznoIzvestno = true;
    int golosovalo() const { return za + protiv + vosd; }
    // Adopted when the "for" ballots reach the votes needed; a vote stored without a need
    // (0 or NULL) or without ballots is not adopted.
    bool prinyato() const { return nuznoIzvestno && nuzno != 0 && za >= nuzno; }
    // The board's decision line.
    QString reshenie() const;
};

// From the rows of the result statement: one row per ballot code present, with the count
// (result), the code (kak) and the vote's need (nuzno).
Itog itogGolosovania(const ResultSet &rs);

// The absent count of the registration summary: elected less present, or an empty text when
// the stored number of elected deputies is not a whole number.
QString otsutstvuet(const QString &izbrano, int prisutstvuet);


}  // namespace tablo
