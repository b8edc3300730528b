#include "console/konsol_obshee.h"

#include "core/oshibka.h"
#include "db/connection.h"
#include "db/zaprosy/sessia.h"
#include "db/zaprosy/sostav.h"

#include <QTimer>

namespace konsol {

bool Predsedatel(DbConnection *db, int *idDeputata)
{
    ResultSet rs;
    if (!db->query(zaprosy::sostav::predsedatel(), &rs))
        return false;
    const QVariant v = rs.scalar();
    *idDeputata = v.isNull() ? 0 : v.toInt();
    return true;
}

bool PosledniiPeriod(DbConnection *db, int *idSessii)
{
    bool ok = false;
    const QVariant v = db->scalar(zaprosy::sessia::poslednyiPeriod(), &ok);
    if (!ok)
        return false;
    *idSessii = v.isNull() ? 0 : v.toInt();
    return true;
}

bool ZapisatPredsedatelya(DbConnection *db, int idDeputata, int idSessii, int idZasedania)
{
    if (idDeputata <= 0)
        return true;
    return db->exec(zaprosy::sessia::zapisatPredsedatelya(idDeputata, idSessii, idZasedania));
}

bool ZapisatKonec(DbConnection *db, const QStringList &statements, int *zapisano)
{
    for (int i = *zapisano; i < statements.size(); ++i) {
        if (!db->exec(statements[i]))
            return false;
        *zapisano = i + 1;
    }
    return true;
}

void SboiOtscheta(DbConnection *db, Dialogs *dialogs, QWidget *parent, const QString &nachalo, bool *sboiPodryad,
                  bool *vTike, const std::function<void()> &tik)
{
    const OshibkaBazy oshibka(db);
    *vTike = false;
    if (*sboiPodryad)
        return;
    *sboiPodryad = true;
    QTimer podOknom;
    podOknom.setInterval(1000);
    QObject::connect(&podOknom, &QTimer::timeout, tik);
    podOknom.start();
    oshibka.pokazat(dialogs, parent, nachalo);
}

}  // namespace konsol
