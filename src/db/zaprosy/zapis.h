#pragma once

// Table proshu_slovo: the speaker requests, one per seat.

#include <QString>

namespace zaprosy::zapis {

// Whether a deputy's seat has asked to speak (count): the clock's sync of the button.
QString svoiZaprosy(int idDeputata);
// The seat a deputy sits at: a request is made for the seat.
QString mestoDeputata(int idDeputata);
// Whether a seat has asked already (count): a second request would list it twice.
QString estZapros(int idMesta);
// A seat asks to speak.
QString poprosit(int idMesta);
// A seat's request withdrawn, or granted from the seat map.
QString snyat(int idMesta);
// Every request cleared (chairman's list, meeting opening and closing, activation, vote end).
QString ochistit();
// The chairman's list: the count row first, then the requests in order (ZaprosZapis).
QString spisok();
// The seats that asked to speak (seat map).
QString mestaSZaprosami();

}  // namespace zaprosy::zapis
