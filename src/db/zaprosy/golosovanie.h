#pragma once

// Table golosovanie: one row per vote, written when the operator starts it.

#include <QString>

namespace zaprosy::golosovanie {

// The new vote's row; `regim` is the decision rule, `regimPolsov` the item's voting rule.
QString vstavit(const QString &regim, int tip, int vid, int isbrano, int prisutstvuet, const QString &regimPolsov,
                int nuzno, int zak, int idPovestki, int idSessii);
// The newest vote: the row just inserted.
QString poslednee();
// Rule, present and votes needed of a running vote the console takes up again.
QString dlyaProdolzheniya(int id);
// The voting rule's text on the results board.
QString pravilo(int id);
// Whether a vote is secret (vid 1): the seat map then hides the choice.
QString vid(int id);
// Number present at the vote's start beside the stored quorum (results board).
QString kvorum(int id);
// Ballots per code with the votes needed (results board).
QString itog(int id);

}  // namespace zaprosy::golosovanie
