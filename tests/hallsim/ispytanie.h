#pragma once

// The common frame of the multi-process hall tests: a hall of 29 workstation processes, the
// driver on the same database, waiting for what the status files show, and the figures
// (latencies, heartbeats, CPU, memory, statements) collected on the way.

#include "hallsim/voditel.h"
#include "hallsim/zal.h"
#include "support/pgcluster.h"

#include <QElapsedTimer>
#include <QHash>
#include <QRandomGenerator>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

namespace hallsim {

class Ispytanie {
public:
    // 01..27, the watcher and the console.
    static QStringList vseLoginy();
    // The built voter, voter-sql and run.sh: VOTER_BINARY_DIR of the environment, else the
    // build tree. The halls are made under its hallsim/ folder.
    static QString papkaProgramm();

    // Prepares the hall in a fresh folder under the build tree, opens the meeting, starts every
    // workstation and waits until all run. False with a reason on failure.
    bool nachat(const QString &imya, QString *prichina);
    // The same with these logins only, the database on the server zal was pointed at
    // (Zal::naServere) when it was, each workstation where Zal::vSeti put it.
    bool nachat(const QString &imya, const QStringList &loginy, QString *prichina);
    // nachat() on a throw-away PostgreSQL server with the hall's schema and roles. False with
    // `propusk` set when the machine cannot offer one (the test skips).
    bool nachatNaPostgres(const QString &imya, QString *prichina, bool *propusk);
    void zakonchit();
    std::unique_ptr<PgCluster> pg;  // the server of nachatNaPostgres

    Zal zal;
    Voditel v;
    QRandomGenerator sluchai{20261209};

    // Waits (processing events, sampling heartbeats and costs) until the condition holds or
    // the time is up; true when it held.
    bool zhdat(const std::function<bool()> &uslovie, int ms);
    // Every workstation in `kto` shows mode (nomer, param1) and is running. The worst time
    // from `zapisano` (ms since the epoch, right after the write) to a workstation's first
    // tick on that mode is kept in the latency figures.
    bool vseVRezhime(const QStringList &kto, int nomer, int param1, qint64 zapisano, int ms, QString *kto_net = nullptr);
    static qint64 seichas();

    // Logins by role.
    QStringList deputaty() const;     // seats without the chairman
    QString predsedatel() const;      // the chairman's seat
    QStringList terminaly() const;    // every login but the console

    // Seat-map colours the console and the chairman must show for the current vote.
    QString ozhidaemyeGolosa() const;

    // ---- Figures ----------------------------------------------------------------------------------
    void zameritZatraty();            // samples CPU and memory of every live workstation
    void proveritPulsy();             // samples the heartbeats
    QString itogi(double sekund) const;
    int hudshayaZaderzhka = 0;        // ms
    QList<int> zaderzhki;
    int opozdaniyaPulsa = 0;          // heartbeat samples 3 s or more old
    int molchaniya = 0;               // samples 6 s or more old: a silent seat
    int proverokPulsa = 0;
    qint64 pikPamyatiKb = 0;
    QString pikPamyatiKto;
    QHash<qint64, double> cpuPoPid;   // last CPU reading of every process seen
    double cpuNachalo = 0;
    qint64 statementsNachalo = 0;
    QElapsedTimer chasy;

private:
    qint64 m_posledniiPuls = 0;
    qint64 m_posledniiZamer = 0;
};

}  // namespace hallsim
