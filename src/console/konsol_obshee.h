#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class DbConnection;
class Dialogs;
class QWidget;

// Steps the console's actions share.
namespace konsol {

// The chairman: id_deputat of the first seat assignment marked chairman, 0 when there is
// none. False (the error pending) when the query failed.
bool Predsedatel(DbConnection *db, int *idDeputata);

// The newest registration period. False (the error pending) when the query failed.
bool PosledniiPeriod(DbConnection *db, int *idSessii);

// The chairman counts as present in a period. Without a chairman nothing is written: a
// record for deputy 0 would count someone who does not exist and raise the majority.
bool ZapisatPredsedatelya(DbConnection *db, int idDeputata, int idSessii, int idZasedania);

// The end of a registration's or a vote's countdown: its statements in order, each sent until
// it is in. `zapisano` counts those already in, so the tick after a failure sends only what
// is still missing and never writes an end twice. False (the error pending) at the first
// that fails.
bool ZapisatKonec(DbConnection *db, const QStringList &statements, int *zapisano);

// A failed statement of a countdown's tick. The errors are taken off the connection; the
// first failure of a run of them is shown, the others of the run are not (`sboiPodryad`,
// cleared by the next tick that succeeds). The countdown goes on under the box instead of
// standing still until the operator closes it: the tick is over before the box opens
// (`vTike` cleared), and while it is open `tik` runs once a second from a timer of its own,
// since a timer whose handler opened the box is not run again by the box's event loop.
void SboiOtscheta(DbConnection *db, Dialogs *dialogs, QWidget *parent, const QString &nachalo, bool *sboiPodryad,
                  bool *vTike, const std::function<void()> &tik);

}  // namespace konsol
