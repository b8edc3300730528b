// The hall across machines: the PostgreSQL server in one network namespace, the workstations
// (real processes under their service) in four others, the driver playing the console from
// the test's own namespace. Faults: the server restarted in the middle of a vote, the link of
// a group of terminals cut for 15 s, a link slowed down by 5-50 ms each way. After each the
// database holds exactly the ballots the driver committed, every workstation is back on the
// current mode within 10 s of the fault's end, and the vote ends with the right totals.
// Needs root and network namespaces; skipped otherwise.
#include "hallsim/ispytanie.h"
#include "hallsim/zaderzhka.h"

#include <QFileInfo>
#include <QProcess>
#include <QtTest>

#include <unistd.h>

using namespace hallsim;

namespace {

// Runs `ip` with the arguments; the output in *vyvod.
bool ip(const QStringList &args, QString *vyvod = nullptr)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(QStringLiteral("ip"), args);
    const bool ok = p.waitForFinished(10000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    if (vyvod)
        *vyvod = QString::fromLocal8Bit(p.readAll()).trimmed();
    return ok;
}

// The namespaces and links of the test; everything goes when it does.
class Set {
public:
    ~Set() { ubrat(); }

    // Prefix unique to this run, so that two runs on one machine do not meet.
    QString pr = QStringLiteral("vn%1").arg(::getpid() % 100000);
    QString server() const { return pr + QStringLiteral("s"); }
    QString gruppa(int g) const { return pr + QStringLiteral("g%1").arg(g); }
    // Server-side end of group g's link (groups 0..2 are wired to the server).
    QString konecServera(int g) const { return pr + QStringLiteral("s%1").arg(g); }

    bool prostranstvo(const QString &ns, QString *why)
    {
        if (!ip({QStringLiteral("netns"), QStringLiteral("add"), ns}, why))
            return false;
        m_ns << ns;
        return ip({QStringLiteral("-n"), ns, QStringLiteral("link"), QStringLiteral("set"), QStringLiteral("lo"), QStringLiteral("up")}, why);
    }

    // A veth pair: `a` in namespace nsA (empty: the test's own) with address adrA/24, `b` in nsB.
    bool para(const QString &a, const QString &nsA, const QString &adrA, const QString &b, const QString &nsB,
              const QString &adrB, QString *why)
    {
        if (!ip({QStringLiteral("link"), QStringLiteral("add"), a, QStringLiteral("type"), QStringLiteral("veth"),
                 QStringLiteral("peer"), QStringLiteral("name"), b}, why))
            return false;
        m_veth << a;
        for (const auto &[imya, ns, adr] : {std::tuple{a, nsA, adrA}, std::tuple{b, nsB, adrB}}) {
            if (!ns.isEmpty() && !ip({QStringLiteral("link"), QStringLiteral("set"), imya, QStringLiteral("netns"), ns}, why))
                return false;
            QStringList pre;
            if (!ns.isEmpty())
                pre << QStringLiteral("-n") << ns;
            if (!ip(pre + QStringList{QStringLiteral("addr"), QStringLiteral("add"), adr + QStringLiteral("/24"), QStringLiteral("dev"), imya}, why)
                || !ip(pre + QStringList{QStringLiteral("link"), QStringLiteral("set"), imya, QStringLiteral("up")}, why))
                return false;
        }
        return true;
    }

    void ubrat()
    {
        // Deleting a namespace takes its ends of the pairs, and with them the other ends.
        for (const QString &ns : std::as_const(m_ns))
            ip({QStringLiteral("netns"), QStringLiteral("del"), ns});
        for (const QString &v : std::as_const(m_veth))
            ip({QStringLiteral("link"), QStringLiteral("del"), v});
        m_ns.clear();
        m_veth.clear();
    }

private:
    QStringList m_ns, m_veth;
};

// One fault's outcome, for the table.
struct Ishod {
    QString neispravnost;
    QString kto;
    qint64 vernulis = -1;  // ms from the fault's end until every workstation was back
    int byulletenei = 0;   // ballots the driver had committed when the vote closed
    int vBaze = 0;         // ballots the database holds for the vote
    int dvoinyh = 0;       // deputies with more than one ballot
    bool itogi = false;    // the boards' totals agree with the driver's
    int perezapuskov = 0;  // workstation programs that had to start again
};

}  // namespace

class TestNetwork : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void serverRestartMidVote();
    void linkCutFor15s();
    void slowLink();
    void cleanupTestCase();

private:
    // Waits until every workstation runs, shows (nomer, param1) and has written its status
    // after `posle`; the time from `posle` until then, or -1.
    qint64 vseVernulis(int nomer, int param1, qint64 posle, int ms, QString *kto_net);
    // Ballots for the deputies in `kto`, each committed or not; the driver remembers the former.
    void golosa(const QVector<Mesto> &kto);
    // Closes the vote and fills in the outcome: ballots, doubles, boards' totals.
    void zakryt(int id, Ishod *r);
    QHash<QString, qint64> pidy() const;
    int perezapuskiPosle(const QHash<QString, qint64> &bylo) const;

    Set m_set;
    Ispytanie h;
    ZaderzhkaProksi m_proksi;
    QStringList m_loginy;
    QHash<QString, int> m_gruppa;  // login -> group 0..3
    QList<Ishod> m_tablica;
    bool m_gotov = false;
};

void TestNetwork::initTestCase()
{
    if (::geteuid() != 0)
        QSKIP("network namespaces need root: the hall across machines is not tried");
    QString why;
    const QString probe = m_set.pr + QStringLiteral("p");
    if (!ip({QStringLiteral("netns"), QStringLiteral("add"), probe}, &why))
        QSKIP(qPrintable(QStringLiteral("this machine offers no network namespaces (ip netns add: %1)").arg(why)));
    ip({QStringLiteral("netns"), QStringLiteral("del"), probe});
    if (PgCluster::binDir().isEmpty())
        QSKIP("PostgreSQL server binaries are not installed");

    // 10.231.<g>.0/24: group g's link to the server (server .1, group .2); 10.231.8.0/24: the
    // test's own link to the server (the driver); 10.231.9.0/24: group 3's link to the test,
    // whose proxy passes it on to the server with a delay.
    QVERIFY2(m_set.prostranstvo(m_set.server(), &why), qPrintable(why));
    for (int g = 0; g < 4; ++g)
        QVERIFY2(m_set.prostranstvo(m_set.gruppa(g), &why), qPrintable(why));
    for (int g = 0; g < 3; ++g)
        QVERIFY2(m_set.para(m_set.konecServera(g), m_set.server(), QStringLiteral("10.231.%1.1").arg(g),
                            m_set.pr + QStringLiteral("w%1").arg(g), m_set.gruppa(g), QStringLiteral("10.231.%1.2").arg(g), &why),
                 qPrintable(why));
    QVERIFY2(m_set.para(m_set.pr + QStringLiteral("t"), QString(), QStringLiteral("10.231.8.1"), m_set.pr + QStringLiteral("ts"),
                        m_set.server(), QStringLiteral("10.231.8.2"), &why),
             qPrintable(why));
    QVERIFY2(m_set.para(m_set.pr + QStringLiteral("d"), QString(), QStringLiteral("10.231.9.1"), m_set.pr + QStringLiteral("w3"),
                        m_set.gruppa(3), QStringLiteral("10.231.9.2"), &why),
             qPrintable(why));

    h.pg = std::make_unique<PgCluster>();
    h.pg->setNetwork(m_set.server(), QStringLiteral("10.231.8.2,10.231.0.1,10.231.1.1,10.231.2.1"), QStringLiteral("10.231.0.0/16"));
    if (!h.pg->start())
        QSKIP(qPrintable(QStringLiteral("no PostgreSQL server for the hall: ") + h.pg->whyNot()));
    QVERIFY2(h.pg->createHall(QStringLiteral("hall"), &why), qPrintable(why));
    const int port = h.pg->port();
    QVERIFY2(m_proksi.zapustit(QHostAddress(QStringLiteral("10.231.9.1")), QHostAddress(QStringLiteral("10.231.8.2")), quint16(port)),
             "the delaying proxy cannot listen");

    // Seats 01-07 in group 0 (the chairman's among them), 08-14 in group 1 (the one cut off),
    // 15-21 and the watcher in group 2, 22-27 in group 3 behind the proxy. The driver plays
    // the console.
    h.zal.naServere(h.pg->serverParam(), QStringLiteral("hall"));
    for (int i = 1; i <= 27; ++i)
        m_loginy << QStringLiteral("%1").arg(i, 2, 10, QLatin1Char('0'));
    m_loginy << QStringLiteral("watcher");
    for (const QString &l : std::as_const(m_loginy)) {
        const int n = l.toInt();
        const int g = l == QLatin1String("watcher") ? 2 : n <= 7 ? 0 : n <= 14 ? 1 : n <= 21 ? 2 : 3;
        m_gruppa.insert(l, g);
        const QString server = g == 3 ? QStringLiteral("pg:10.231.9.1:%1").arg(m_proksi.port())
                                      : QStringLiteral("pg:10.231.%1.1:%2").arg(g).arg(port);
        h.zal.vSeti(l, m_set.gruppa(g), server);
    }
    QString prichina;
    QVERIFY2(h.nachat(QStringLiteral("network"), m_loginy, &prichina), qPrintable(prichina));
    QVERIFY2(m_proksi.soedinenii() > 0, "group 3 does not go through the proxy");
    m_gotov = true;
}

void TestNetwork::cleanupTestCase()
{
    h.zakonchit();
    m_proksi.ostanovit();
    if (h.pg)
        h.pg->stop();
    m_set.ubrat();
    if (m_tablica.isEmpty())
        return;
    // The table for whoever reads the log.
    QString t = QStringLiteral("\n%1 | %2 | %3 | %4 | %5 | %6 | %7\n")
                    .arg(QStringLiteral("fault"), -34)
                    .arg(QStringLiteral("workstations"), -22)
                    .arg(QStringLiteral("back after"), -10)
                    .arg(QStringLiteral("restarts"), -8)
                    .arg(QStringLiteral("ballots committed/in db"), -23)
                    .arg(QStringLiteral("doubled"), -7)
                    .arg(QStringLiteral("totals"));
    for (const Ishod &r : std::as_const(m_tablica))
        t += QStringLiteral("%1 | %2 | %3 | %4 | %5 | %6 | %7\n")
                 .arg(r.neispravnost, -34)
                 .arg(r.kto, -22)
                 .arg(r.vernulis < 0 ? QStringLiteral("never") : QStringLiteral("%1 s").arg(r.vernulis / 1000.0, 0, 'f', 1), -10)
                 .arg(r.perezapuskov, -8)
                 .arg(QStringLiteral("%1/%2").arg(r.byulletenei).arg(r.vBaze), -23)
                 .arg(r.dvoinyh, -7)
                 .arg(r.itogi ? QStringLiteral("right") : QStringLiteral("WRONG"));
    fprintf(stdout, "%s", qPrintable(t));
    fflush(stdout);
    QFile f(Ispytanie::papkaProgramm() + QStringLiteral("/hallsim/network-faults.txt"));
    if (f.open(QIODevice::WriteOnly))
        f.write(t.toUtf8());
}

QHash<QString, qint64> TestNetwork::pidy() const
{
    QHash<QString, qint64> out;
    for (const QString &l : m_loginy)
        out.insert(l, h.zal.sostoyanie(l).pid());
    return out;
}

int TestNetwork::perezapuskiPosle(const QHash<QString, qint64> &bylo) const
{
    int n = 0;
    for (const QString &l : m_loginy)
        if (h.zal.sostoyanie(l).pid() != bylo.value(l))
            ++n;
    return n;
}

qint64 TestNetwork::vseVernulis(int nomer, int param1, qint64 posle, int ms, QString *kto_net)
{
    QStringList net;
    const bool ok = h.zhdat(
        [&] {
            net.clear();
            for (const QString &l : std::as_const(m_loginy)) {
                const Sostoyanie s = h.zal.sostoyanie(l);
                const QFileInfo f(h.zal.papka(l) + QStringLiteral("/status"));
                // A status written after the fault's end by a live program that reads the
                // mode: on its screen, or, started again while a vote runs, in the start gate
                // that holds a terminal until the hall is idle.
                const bool naRezhime = s.nomer() == nomer && s.param1() == param1;
                const bool vVorotah = s.stage() == QLatin1String("idle-gate") && nomer != -1 && nomer != -7;
                if (!((s.stage() == QLatin1String("running") && naRezhime) || (vVorotah && naRezhime)) || !zhiv(s.pid())
                    || f.lastModified().toMSecsSinceEpoch() < posle)
                    net << l + QLatin1Char('(') + s[QStringLiteral("stage")] + QLatin1Char(' ') + s[QStringLiteral("mode")] + QLatin1Char(')');
            }
            return net.isEmpty();
        },
        ms);
    if (kto_net)
        *kto_net = net.join(QLatin1Char(' '));
    return ok ? Ispytanie::seichas() - posle : -1;
}

void TestNetwork::golosa(const QVector<Mesto> &kto)
{
    for (const Mesto &m : kto) {
        // A press that fails was not committed: the driver forgets it, as the terminal would
        // have shown the failure.
        if (!h.v.progolosovat(m.idDeputata, 1 + h.sluchai.bounded(3)))
            h.v.db.clearErrors();
    }
}

void TestNetwork::zakryt(int id, Ishod *r)
{
    // The driver's own connection may have to come back first.
    QVERIFY(h.zhdat([&] { h.v.db.clearErrors(); return h.v.db.exec(QStringLiteral("SELECT 1")); }, 15000));
    QVERIFY2(h.v.zakonchitGolosovanie(id, false), qPrintable(h.v.oshibka()));
    const QHash<int, int> ozhidaem = h.v.byulleteni.value(id);
    r->byulletenei = ozhidaem.size();
    ResultSet rs;
    QVERIFY(h.v.db.query(QStringLiteral("SELECT id_deputat, result FROM otvet WHERE id_golosovanie=%1").arg(id), &rs));
    QHash<int, int> vBaze;
    r->vBaze = rs.rowCount();
    for (int i = 0; i < rs.rowCount(); ++i) {
        if (vBaze.contains(rs.value(i, 0).toInt()))
            ++r->dvoinyh;
        vBaze.insert(rs.value(i, 0).toInt(), rs.value(i, 1).toInt());
    }
    int za = 0, protiv = 0, vozd = 0;
    for (int kod : ozhidaem)
        (kod == 1 ? za : kod == 2 ? protiv : vozd)++;
    const QString nachalo = QStringLiteral("%1,%2,%3,").arg(za).arg(protiv).arg(vozd);
    QString net;
    const qint64 t = Ispytanie::seichas();
    const bool vse4 = vseVernulis(4, id, t - 5, 10000, &net) >= 0;
    const auto stoitVVorotah = [&](const QString &l) { return h.zal.sostoyanie(l).stage() == QLatin1String("idle-gate"); };
    // The watcher's and the chairman's boards show the totals the driver expects (a terminal
    // held in the start gate shows no board).
    r->itogi = vse4 && vBaze == ozhidaem && h.zhdat(
                                                [&] {
                                                    for (const QString &l : {QStringLiteral("watcher"), h.predsedatel()})
                                                        if (!stoitVVorotah(l) && !h.zal.sostoyanie(l)[QStringLiteral("board_result")].startsWith(nachalo))
                                                            return false;
                                                    return true;
                                                },
                                                5000);
    QVERIFY2(vse4, qPrintable(QStringLiteral("results not read by: ") + net));
    QCOMPARE(vBaze, ozhidaem);
    QCOMPARE(r->dvoinyh, 0);
    QVERIFY2(r->itogi, qPrintable(QStringLiteral("boards: expected %1, watcher %2").arg(nachalo, h.zal.sostoyanie(QStringLiteral("watcher"))[QStringLiteral("board_result")])));
    // Back to the agenda: every terminal, a gated one too, is on its screen again.
    QVERIFY(h.v.pokazatVopros());
    int param1 = 0;
    QCOMPARE(h.v.rezhim(&param1), -1);
    QVERIFY2(vseVernulis(-1, param1, Ispytanie::seichas() - 5, 10000, &net) >= 0, qPrintable(QStringLiteral("not on the agenda: ") + net));
    for (const QString &l : std::as_const(m_loginy))
        QVERIFY2(h.zal.sostoyanie(l).stage() == QLatin1String("running"), qPrintable(l + QStringLiteral(" still waits in a gate")));
}

void TestNetwork::serverRestartMidVote()
{
    QVERIFY(m_gotov);
    Ishod r{QStringLiteral("server restarted mid-vote"), QStringLiteral("all 28"), -1, 0, 0, 0, false, 0};
    const int id = h.v.nachatGolosovanie(1, 120);
    QVERIFY2(id > 0, qPrintable(h.v.oshibka()));
    QString net;
    QVERIFY2(vseVernulis(2, id, Ispytanie::seichas() - 5, 10000, &net) >= 0, qPrintable(net));
    const QVector<Mesto> mesta = h.v.mesta;
    golosa(mesta.mid(0, mesta.size() / 2));
    const auto bylo = pidy();
    QVERIFY2(h.pg->restart(), qPrintable(h.pg->whyNot()));
    const qint64 konec = Ispytanie::seichas();
    r.vernulis = vseVernulis(2, id, konec, 30000, &net);
    r.perezapuskov = perezapuskiPosle(bylo);
    m_tablica << r;
    QVERIFY2(r.vernulis >= 0 && r.vernulis <= 10000,
             qPrintable(QStringLiteral("back after %1 ms; not back: %2").arg(r.vernulis).arg(net)));
    // The rest vote, some of the first half change their minds.
    QVERIFY(h.zhdat([&] { h.v.db.clearErrors(); return h.v.db.exec(QStringLiteral("SELECT 1")); }, 15000));
    golosa(mesta.mid(mesta.size() / 2) + mesta.mid(0, 4));
    zakryt(id, &m_tablica.last());
}

void TestNetwork::linkCutFor15s()
{
    QVERIFY(m_gotov);
    Ishod r{QStringLiteral("link of 7 terminals cut for 15 s"), QStringLiteral("seats 08-14 (group 1)"), -1, 0, 0, 0, false, 0};
    const auto bylo = pidy();
    const QStringList vniz{QStringLiteral("-n"), m_set.server(), QStringLiteral("link"), QStringLiteral("set"), m_set.konecServera(1)};
    QVERIFY(ip(vniz + QStringList{QStringLiteral("down")}));
    const qint64 nachalo = Ispytanie::seichas();
    // The vote starts while they are cut off; everybody's ballots are pressed meanwhile.
    const int id = h.v.nachatGolosovanie(2, 120);
    QVERIFY2(id > 0, qPrintable(h.v.oshibka()));
    golosa(h.v.mesta);
    h.zhdat([&] { return Ispytanie::seichas() - nachalo >= 15000; }, 16000);
    QVERIFY(ip(vniz + QStringList{QStringLiteral("up")}));
    const qint64 konec = Ispytanie::seichas();
    QString net;
    r.vernulis = vseVernulis(2, id, konec, 30000, &net);
    r.perezapuskov = perezapuskiPosle(bylo);
    m_tablica << r;
    QVERIFY2(r.vernulis >= 0 && r.vernulis <= 10000,
             qPrintable(QStringLiteral("back after %1 ms; not back: %2").arg(r.vernulis).arg(net)));
    // Only the terminals cut off had to start again.
    for (const QString &l : std::as_const(m_loginy))
        if (m_gruppa.value(l) != 1)
            QVERIFY2(h.zal.sostoyanie(l).pid() == bylo.value(l), qPrintable(l + QStringLiteral(" restarted without a fault")));
    golosa(h.v.mesta.mid(7, 7));
    zakryt(id, &m_tablica.last());
}

void TestNetwork::slowLink()
{
    QVERIFY(m_gotov);
    Ishod r{QStringLiteral("link delayed 5-50 ms each way"), QStringLiteral("seats 22-27 (group 3)"), -1, 0, 0, 0, false, 0};
    const auto bylo = pidy();
    const qint64 peredano = m_proksi.peredano();
    m_proksi.zaderzhka(5, 50);
    h.zhdat([] { return false; }, 3000);
    const qint64 nachalo = Ispytanie::seichas();
    const int id = h.v.nachatGolosovanie(3, 120);
    QVERIFY2(id > 0, qPrintable(h.v.oshibka()));
    QString net;
    // The mode reaches every workstation through the slow link too.
    r.vernulis = vseVernulis(2, id, nachalo, 10000, &net);
    golosa(h.v.mesta);
    h.zhdat([] { return false; }, 3000);
    m_proksi.zaderzhka(0, 0);
    r.perezapuskov = perezapuskiPosle(bylo);
    m_tablica << r;
    QVERIFY2(r.vernulis >= 0, qPrintable(QStringLiteral("not on the vote: ") + net));
    QVERIFY2(m_proksi.peredano() > peredano, "nothing went through the slow link");
    QCOMPARE(r.perezapuskov, 0);
    zakryt(id, &m_tablica.last());
}

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    TestNetwork test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "test_network.moc"
