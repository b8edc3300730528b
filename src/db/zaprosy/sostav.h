#pragma once

// Tables mesto (the seats, by number or login) and sostav (which deputy sits where, and
// whether that seat is the chairman's).

#include <QString>

namespace zaprosy::mesto {

// Marks the seat of a login connected (matched literally: '%' or '_' claim no other seat).
QString otmetitPodklyuchenie(const QString &nomer);
// The workstation's heartbeat: the time it was last seen.
QString podtverdit(const QString &nomer);
// Every seat's connection state and seconds since its heartbeat (connection monitor).
QString monitor();
// The id of the seat with that number.
QString id(const QString &nomer);

}  // namespace zaprosy::mesto

namespace zaprosy::sostav {

// The deputy seated at a login's seat (none for an operator login).
QString deputatMesta(const QString &nomer);
// Whether a login's seat is the chairman's.
QString predsedatelMesta(const QString &nomer);
// Every seated deputy with seat and chairman flag (query Sostav).
QString spisok();
// The chairman (the deputy of the chairman's seat).
QString predsedatel();
// Deputy, assignment and seat id of a seat number (seat commands).
QString naznachenieMesta(const QString &nomer);
// Seat number, assignment and seat id of a deputy (seat commands).
QString mestoDeputata(int idDeputata);
// Removes one assignment (a deputy leaving the old seat).
QString udalit(int id);
// Seats a deputy at a free seat, on the chairman's seat with the flag set.
QString naznachit(int idDeputata, int idMesta, bool predsedatel);
// Puts another deputy on an assigned seat, on the chairman's seat with the flag set.
QString zamenit(int id, int idDeputata, bool predsedatel);
// Frees every seat of a deputy (before the deputy is removed).
QString osvoboditDeputata(int idDeputata);

}  // namespace zaprosy::sostav
