#pragma once

// Tables sessia_start (registration periods) and sessia (who is present in a period).

#include <QString>

namespace zaprosy::sessia {

// ---- Periods ---------------------------------------------------------------------------------
// The period still open (NULL when none): a workstation learns it on connecting.
QString otkrytyiPeriod();
// The period still open in one meeting.
QString otkrytyiPeriodZasedania(int idZasedania);
// The newest period: the one just inserted by the console.
QString poslednyiPeriod();
// Closes every open period (start of a registration, meeting closing).
QString zakrytPeriody();
// A new open period of a meeting (start of a registration).
QString noviyPeriod(int idZasedania);
// The closing period of a meeting, closed at once (meeting closing).
QString zakrytyiPeriod(int idZasedania);

// ---- Presence ----------------------------------------------------------------------------------
// Presence records left without a period (start of a registration).
QString udalitBezPerioda();
// A deputy registers at the seat (also the chairman's presence on terminal start).
QString zaregistrirovat(int idZasedania, int idDeputata, int idSessii);
// A deputy's registration withdrawn at the seat (also before the chairman's presence).
QString otmenit(int idZasedania, int idDeputata, int idSessii);
// The chairman present in a new period (start of a registration, meeting closing).
QString zapisatPredsedatelya(int idDeputata, int idSessii, int idZasedania);
// The operator registers a deputy from the seat menu.
QString zaregistrirovatOperatorom(int idZasedania, int idDeputata, int idSessii);
// The operator cancels a deputy's registration from the seat menu.
QString otmenitOperatorom(int idDeputata, int idSessii);
// A deputy moved to another seat loses the presence of the period.
QString snyatPrisutstvie(int idDeputata, int idSessii);
// Whether a deputy is registered in a period (count).
QString zaregistrirovanLi(int idDeputata, int idSessii);
// Number present in a period: results boards and vote set-up.
QString prisutstvuet(int idSessii);
// Number present as the registration screen shows it (column kol).
QString kolichestvo(int idSessii);
// Seats and deputies registered in period :a (ZaprosRegistracia).
QString spisok();

}  // namespace zaprosy::sessia
