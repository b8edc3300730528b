#pragma once

// Table povestka: the agenda items of the meetings, the active item among them.

#include <QString>

namespace zaprosy::povestka {

// The meeting of the active item: start gates, console frame, agenda editor.
QString aktivnoeZasedanie();
// The active item and its meeting as the console shows them after connecting.
QString aktivnyiVoprosKonsoli();
// The active item as the clock timer reads it (TOP 1, meeting id included).
QString aktivnyiVoprosChasov();
// The active item as the vote set-up reads it (info before the title).
QString aktivnyiVoprosGolosovania();
// The agenda of meeting :a in the deputy's viewer.
QString spisokProsmotra();
// The agenda of meeting :a in the console frame, in agenda order.
QString spisokKonsoli();
// Items of meeting :b already taken up today and no longer active (console frame).
QString aktivirovannyeSegodnya();
// The agenda of meeting :a in the agenda editor.
QString spisokRedaktora();
// Number of items of a meeting: a meeting without agenda cannot be opened.
QString kolichestvo(int idZasedania);
// The first item of a meeting in agenda order (opening makes it active).
QString pervyiVopros(int idZasedania);
// No item active (meeting opening, item activation).
QString snyatAktivnost();
// No item active, as written by the meeting's closing.
QString snyatAktivnostZakrytie();
// Makes an item active (meeting opening).
QString aktivirovat(int id);
// Stamps when an item was taken up (meeting opening).
QString otmetitAktivaciyu(int id);
// Makes an item active and stamps it in one statement (item activation).
QString aktivirovatSOtmetkoi(int id);
// The type of the item created last in a meeting: a new item continues its run.
QString tipPoslednego(int idZasedania);
// The highest number among a meeting's items of one type.
QString maxNomer(int idZasedania, int tip);
// The last position in a meeting's agenda.
QString maxPoryadok(int idZasedania);
// The nearest item above position `ord` (moving an item up).
QString sosedVyshe(int idZasedania, int ord);
// The nearest item below position `ord` (moving an item down).
QString sosedNizhe(int idZasedania, int ord);
// Moves an item to position `ord` (one half of a swap).
QString zadatPoryadok(int id, int ord);
// A new item from the question editor.
QString vstavit(int idZasedania, int tip, int nomer, int ord, const QString &opisanie, const QString &info);
// An edited item from the question editor.
QString izmenit(int id, int tip, int nomer, const QString &opisanie, const QString &info);
// Removes an item (its documents and rules first, see dokument and pravilo).
QString udalit(int id);

}  // namespace zaprosy::povestka
