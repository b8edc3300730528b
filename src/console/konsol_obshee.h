#pragma once

#include <QString>

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

// Shows the first pending error after a fixed text, as one error box with the given
// caption, and empties the list first: the main window's timers keep ticking while the box
// is open and would otherwise take the pending error for a lost connection.
void OtchetOshibki(Dialogs *dialogs, QWidget *parent, DbConnection *db, const QString &nachalo,
                   const QString &konec, const QString &zagolovok);

}  // namespace konsol
