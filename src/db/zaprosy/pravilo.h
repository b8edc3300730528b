#pragma once

// Tables regim_golos (the voting rules) and povestka_regim (the rules chosen for an item, in
// their order).

#include <QString>

namespace zaprosy::pravilo {

// Every rule, those of item :a first in the item's order (vote set-up, RegimZapros).
QString dlyaGolosovania();
// The rules of item :a in their order (rules editor).
QString spisokVoprosa();
// Every rule to choose from (rule picker).
QString vybor();
// Whether an item has a rule already (count).
QString kolichestvo(int idPovestki, int idRegima);
// The last position among an item's rules.
QString maxPoryadok(int idPovestki);
// A rule added to an item at position `ord`.
QString dobavit(int ord, int idPovestki, int idRegima);
// An item's rule replaced by another.
QString zamenit(int id, int idRegima);
// An item's rule removed.
QString udalit(int id);
// The nearest rule above position `ord` (moving a rule up).
QString sosedVyshe(int idPovestki, int ord);
// The nearest rule below position `ord` (moving a rule down).
QString sosedNizhe(int idPovestki, int ord);
// Moves a rule to position `ord` (one half of a swap).
QString zadatPoryadok(int id, int ord);
// Removes every rule of an item (before the item goes).
QString udalitVoprosa(int idPovestki);

}  // namespace zaprosy::pravilo
