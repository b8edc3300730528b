#include "console/konsol_obshee.h"

#include "core/oshibka.h"
#include "db/connection.h"

#include <QTimer>

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
