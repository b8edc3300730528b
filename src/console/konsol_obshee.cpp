#include "console/konsol_obshee.h"

#include "db/connection.h"

namespace konsol {

bool Predsedatel(DbConnection *db, int *idDeputata)
{
    ResultSet rs;
    if (!db->query(QStringLiteral("SELECT id_deputat FROM sostav WHERE chairman=1;"), &rs))
        return false;
    const QVariant v = rs.scalar();
    *idDeputata = v.isNull() ? 0 : v.toInt();
    return true;
}

bool PosledniiPeriod(DbConnection *db, int *idSessii)
{
    bool ok = false;
    const QVariant v = db->scalar(QStringLiteral("SELECT max(id) FROM sessia_start;"), &ok);
    if (!ok)
        return false;
    *idSessii = v.isNull() ? 0 : v.toInt();
    return true;
}

bool ZapisatPredsedatelya(DbConnection *db, int idDeputata, int idSessii, int idZasedania)
{
    if (idDeputata <= 0)
        return true;
    return db->exec(QStringLiteral("INSERT INTO sessia (id_deputat,id_sessia,id_zasedanie) VALUES (%1,%2,%3)")
                        .arg(idDeputata)
                        .arg(idSessii)
                        .arg(idZasedania));
}

}  // namespace konsol
