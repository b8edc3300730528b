#pragma once

#include <QString>

class DbConnection;

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

}  // namespace konsol
