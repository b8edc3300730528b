#pragma once

// Table faili: the documents of the agenda items and the folder each is kept in.

#include <QString>

namespace zaprosy::dokument {

// The documents of item :a in the deputy's viewer, by description.
QString spisokProsmotra();
// The documents of item :a in the agenda editor, in the order added.
QString spisokRedaktora();
// A new document of an item, described by its file name.
QString vstavit(int idPovestki, const QString &fail, const QString &opisanie, const QString &put);
// A document's file replaced by another (and its folder).
QString zamenit(int id, const QString &fail, const QString &put);
// A document's description changed.
QString opisat(int id, const QString &opisanie);
// Removes a document.
QString udalit(int id);
// Removes every document of an item (before the item goes).
QString udalitVoprosa(int idPovestki);

}  // namespace zaprosy::dokument
