// Faults across real workstation processes on one database, each under its restart
// script's service: a terminal killed in the middle of a vote, a write lock held longer than
// the connection's time-out, and the operator's restart, power-off and close commands.
#include "hallsim/ispytanie.h"

#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QtTest>

using namespace hallsim;

class TestFaults : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void killedTerminalRejoinsAndItsBallotCounts();
    void heldWriteLockEndsTerminalsAndTheyComeBack();
    void restartCommandRestartsEveryTerminalOnce();
    void powerOffCommandReachesEveryTerminal();
    void closeCommandEndsEveryTerminal();
    void cleanupTestCase();

private:
    QHash<QString, qint64> pids(const QStringList &kto) const;
    bool vseRabotayut(const QStringList &kto, int ms);
    void sverkaSBazoi();
    int kolichestvo(const QString &tablica);

    Ispytanie h;
    QStringList vse;
};

QHash<QString, qint64> TestFaults::pids(const QStringList &kto) const
{
    QHash<QString, qint64> out;
    for (const QString &l : kto)
        out.insert(l, h.zal.sostoyanie(l).pid());
    return out;
}

bool TestFaults::vseRabotayut(const QStringList &kto, int ms)
{
    return h.zhdat(
        [&] {
            for (const QString &l : kto) {
                const Sostoyanie s = h.zal.sostoyanie(l);
                if (s.stage() != QLatin1String("running") || !zhiv(s.pid()))
                    return false;
            }
            return true;
        },
        ms);
}

int TestFaults::kolichestvo(const QString &tablica)
{
    bool ok = false;
    const int n = h.v.db.scalar(QStringLiteral("SELECT count(*) FROM ") + tablica, &ok).toInt();
    return ok ? n : -1;
}

// Every ballot the driver left standing is in the database, and no other.
void TestFaults::sverkaSBazoi()
{
    for (auto g = h.v.byulleteni.cbegin(); g != h.v.byulleteni.cend(); ++g) {
        ResultSet rs;
        QVERIFY(h.v.db.query(QStringLiteral("SELECT id_deputat, result FROM otvet WHERE id_golosovanie=%1").arg(g.key()), &rs));
        QHash<int, int> vBaze;
        for (int r = 0; r < rs.rowCount(); ++r)
            vBaze.insert(rs.value(r, 0).toInt(), rs.value(r, 1).toInt());
        QCOMPARE(vBaze, g.value());
        QCOMPARE(rs.rowCount(), g.value().size());
    }
}

void TestFaults::initTestCase()
{
    QString prichina;
    QVERIFY2(h.nachat(QStringLiteral("faults"), &prichina), qPrintable(prichina));
    vse = Ispytanie::vseLoginy();
    // Everybody registers.
    const int period = h.v.nachatRegistraciyu(5);
    QVERIFY(period > 0);
    for (const Mesto &m : h.v.mesta)
        if (!m.predsedatel)
            QVERIFY(h.v.zaregistrirovat(m.idDeputata));
    QVERIFY(h.v.zakonchitRegistraciyu(period));
    QVERIFY(h.v.pokazatVopros());
    QVERIFY(h.vseVRezhime(vse, -1, period, Ispytanie::seichas(), 10000));
}

void TestFaults::killedTerminalRejoinsAndItsBallotCounts()
{
    const QString kto = QStringLiteral("07");
    int idDeputata = 0;
    for (const Mesto &m : h.v.mesta)
        if (m.nomer == kto)
            idDeputata = m.idDeputata;
    QVERIFY(idDeputata > 0);

    const int id = h.v.nachatGolosovanie(1, 60);
    QVERIFY(id > 0);
    QVERIFY(h.vseVRezhime(vse, 2, id, Ispytanie::seichas(), 10000));
    QVERIFY(h.v.progolosovat(idDeputata, 1));

    const qint64 staryi = h.zal.sostoyanie(kto).pid();
    QVERIFY(h.zal.ubit(kto));
    // The service brings it back; a vote is running, so it waits in the idle gate.
    QVERIFY2(h.zhdat(
                 [&] {
                     const Sostoyanie s = h.zal.sostoyanie(kto);
                     return s.pid() != staryi && zhiv(s.pid()) && s.stage() == QLatin1String("idle-gate");
                 },
                 20000),
             qPrintable(QStringLiteral("07 after the kill: ") + h.zal.sostoyanie(kto).stage()));

    // Time up: -1 for an instant, then the results. The gate waits for a lasting -1.
    QVERIFY(h.v.zakonchitGolosovanie(id, true));
    QStringList drugie = vse;
    drugie.removeAll(kto);
    QVERIFY(h.vseVRezhime(drugie, 4, id, Ispytanie::seichas(), 10000));
    int za = 0, protiv = 0, vozd = 0;
    QVERIFY(h.v.podschet(id, &za, &protiv, &vozd));
    QCOMPARE(za, 1);
    QVERIFY(h.zal.sostoyanie(QStringLiteral("admin1"))[QStringLiteral("board_result")].startsWith(QStringLiteral("1,0,0,")));
    h.zhdat([] { return false; }, 1500);
    QCOMPARE(h.zal.sostoyanie(kto).stage(), QStringLiteral("idle-gate"));

    // Back to the agenda: it joins the hall.
    QVERIFY(h.v.pokazatVopros());
    QVERIFY(h.vseVRezhime(vse, -1, id, Ispytanie::seichas(), 10000));
    sverkaSBazoi();
}

void TestFaults::heldWriteLockEndsTerminalsAndTheyComeBack()
{
    const QStringList terminaly = h.terminaly();
    const QHash<QString, qint64> do_ = pids(terminaly);
    const qint64 konsol = h.zal.sostoyanie(QStringLiteral("admin1")).pid();
    const int otvety = kolichestvo(QStringLiteral("otvet"));
    const int prisutstvie = kolichestvo(QStringLiteral("sessia"));
    QVERIFY(otvety > 0 && prisutstvie > 0);

    {
        // Another client takes the database's write lock and sits on it for 8 s.
        QSqlDatabase zamok = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("zamok"));
        zamok.setDatabaseName(h.zal.baza());
        QVERIFY(zamok.open());
        QSqlQuery q(zamok);
        QVERIFY(q.exec(QStringLiteral("BEGIN IMMEDIATE")));
        h.zhdat([] { return false; }, 8000);
        QVERIFY(q.exec(QStringLiteral("ROLLBACK")));
        q.finish();
        zamok.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("zamok"));

    // Every terminal's heartbeat failed: each ended and its service started it again.
    QVERIFY2(h.zhdat(
                 [&] {
                     for (const QString &l : terminaly) {
                         const Sostoyanie s = h.zal.sostoyanie(l);
                         if (s.pid() == do_.value(l) || s.stage() != QLatin1String("running") || !zhiv(s.pid()))
                             return false;
                     }
                     return true;
                 },
                 90000),
             "not every terminal came back after the lock");
    QVERIFY(zhiv(konsol));  // the console writes nothing in idle and kept running
    QCOMPARE(kolichestvo(QStringLiteral("otvet")), otvety);
    QCOMPARE(kolichestvo(QStringLiteral("sessia")), prisutstvie);
    sverkaSBazoi();
    // And the hall works again: every terminal follows a new mode.
    QVERIFY(h.v.gimn(false));
    QVERIFY(h.vseVRezhime(vse, 11, h.v.golosovanie, Ispytanie::seichas(), 10000));
    QVERIFY(h.v.pokazatVopros());
    QVERIFY(h.vseVRezhime(vse, -1, h.v.golosovanie, Ispytanie::seichas(), 10000));
}

void TestFaults::restartCommandRestartsEveryTerminalOnce()
{
    const QStringList terminaly = h.terminaly();
    QHash<QString, QSet<qint64>> vidennye;
    const QHash<QString, qint64> do_ = pids(terminaly);
    for (auto it = do_.cbegin(); it != do_.cend(); ++it)
        vidennye[it.key()].insert(it.value());
    const qint64 konsol = h.zal.sostoyanie(QStringLiteral("admin1")).pid();

    QVERIFY(h.v.komanda(-7));
    // The console counts the window down and writes -1; watch every pid meanwhile.
    int p1 = 0;
    QVERIFY(h.zhdat(
        [&] {
            for (const QString &l : terminaly)
                if (const qint64 pid = h.zal.sostoyanie(l).pid())
                    vidennye[l].insert(pid);
            return h.v.rezhim(&p1) == -1;
        },
        20000));
    QCOMPARE(h.zal.sostoyanie(QStringLiteral("admin1")).pid(), konsol);
    QVERIFY2(vseRabotayut(terminaly, 30000), "terminals not back after the restart command");
    for (const QString &l : terminaly) {
        vidennye[l].insert(h.zal.sostoyanie(l).pid());
        QVERIFY2(vidennye[l].size() == 2, qPrintable(QStringLiteral("%1 ran %2 instances").arg(l).arg(vidennye[l].size())));
    }
    // Back in idle, every guard is re-armed.
    QVERIFY(h.zhdat(
        [&] {
            for (const QString &l : terminaly) {
                QFile ini(h.zal.papka(l) + QStringLiteral("/voter.ini"));
                if (!ini.open(QIODevice::ReadOnly) || !ini.readAll().contains("Zapret=0"))
                    return false;
            }
            return true;
        },
        5000));
}

void TestFaults::powerOffCommandReachesEveryTerminal()
{
    const QStringList terminaly = h.terminaly();
    const QHash<QString, qint64> do_ = pids(terminaly);
    QVERIFY(h.v.komanda(-6));
    QVERIFY2(h.zhdat(
                 [&] {
                     const QStringList log = h.zal.vyklyucheniya();
                     for (const QString &l : terminaly)
                         if (!log.contains(l))
                             return false;
                     return true;
                 },
                 10000),
             qPrintable(h.zal.vyklyucheniya().join(QLatin1Char(' '))));
    QVERIFY(!h.zal.vyklyucheniya().contains(QStringLiteral("admin1")));
    int p1 = 0;
    QVERIFY(h.zhdat([&] { return h.v.rezhim(&p1) == -1; }, 20000));
    // The command runs on every tick while it is in force; the programs themselves go on.
    const int razy = h.zal.vyklyucheniya().size();
    QVERIFY2(razy > terminaly.size(), qPrintable(QString::number(razy)));
    QCOMPARE(pids(terminaly), do_);
}

void TestFaults::closeCommandEndsEveryTerminal()
{
    const QStringList terminaly = h.terminaly();
    const QHash<QString, qint64> do_ = pids(terminaly);
    const qint64 konsol = h.zal.sostoyanie(QStringLiteral("admin1")).pid();
    QVERIFY(h.v.komanda(-5));
    // Closed on purpose: the programs end and their services do not bring them back.
    QVERIFY2(h.zhdat(
                 [&] {
                     for (const QString &l : terminaly)
                         if (zhiv(do_.value(l)) || h.zal.sluzhbaIdet(l))
                             return false;
                     return true;
                 },
                 15000),
             "a terminal or its service still runs after the close command");
    int p1 = 0;
    QVERIFY(h.zhdat([&] { return h.v.rezhim(&p1) == -1; }, 20000));
    QVERIFY(zhiv(konsol));
    for (const QString &l : terminaly)
        QCOMPARE(h.zal.sostoyanie(l).pid(), do_.value(l));  // nobody started again
}

void TestFaults::cleanupTestCase()
{
    h.zakonchit();
}

QTEST_GUILESS_MAIN(TestFaults)
#include "test_faults.moc"
