// The seats' statement mix without windows, for halls of 29, 120 and 450 seats, on the
// embedded engine and on a throw-away PostgreSQL server (polling only, and polling with the
// server's announcements of mode writes), side by side in one run.
//
// Each simulated seat has its own connection and sends what a deputy terminal sends: the mode
// row four times a second, once a second its heartbeat, the active item, its own speaker
// request and the registration list, a presence record when a registration starts and a
// ballot (withdraw + cast) when a vote starts; two seats also read the seat monitor. A driver
// plays the console: registration, vote, results, idle, with the countdown once a second.
//
// Figures per hall and engine: for every change of the mode (code or param1), the time from
// the start of the console's write to the last seat that read it; median and worst over the
// changes; statements per second; the server's CPU per wall second (postmaster and backends
// from /proc), and the generator's own CPU (which holds the embedded engine); the mean lateness
// of the seats' polls behind their schedule (the generator's own limit on a small machine).
// The seats run on threads of about 30 seats each, each seat's statements one after another
// as on a terminal.
//
//   bench_hall_load [seconds per run, default 15] [largest hall, default 450]
#include "core/rezhim.h"
#include "db/connection.h"
#include "db/schema.h"
#include "support/pgcluster.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

qint64 seichas()
{
    return QDateTime::currentMSecsSinceEpoch();
}

double svoiCpu()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_utime.tv_sec + u.ru_utime.tv_usec / 1e6 + u.ru_stime.tv_sec + u.ru_stime.tv_usec / 1e6;
}

double cpuProcessov(const QList<qint64> &pids)
{
    double s = 0;
    const double tik = static_cast<double>(sysconf(_SC_CLK_TCK));
    for (qint64 pid : pids) {
        QFile f(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!f.open(QIODevice::ReadOnly))
            continue;
        const QByteArray line = f.readAll();
        const QList<QByteArray> p = line.mid(line.lastIndexOf(')') + 2).split(' ');
        if (p.size() > 12)
            s += (p[11].toLongLong() + p[12].toLongLong()) / tik;
    }
    return s;
}

struct Mesto {
    std::unique_ptr<DbConnection> db;
    QString nomer;
    int deputat = 0;
    qint64 sledOpros = 0, sledSekunda = 0, sledNazhatie = 0;
    bool uvedomlen = false;
    int nomerVidel = -99, param1Videl = -99;
    int nazhatKod = 0;  // 1: presence due, 2: ballot due
    int period = 0, golos = 0;
};

struct Itog {
    QString dvizhok;
    int mest = 0;
    QList<qint64> poslednii;  // per change: ms to the last seat
    double operatorov = 0, cpuServera = -1, cpuGeneratora = 0, opozdanie = 0;
    int oshibok = 0;
};

double mediana(QList<qint64> v)
{
    if (v.isEmpty())
        return -1;
    std::sort(v.begin(), v.end());
    return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2.0;
}

// Extra seats (28..n) with a deputy on each, a meeting with its item active.
bool zal(DbConnection &db, int n)
{
    QStringList sql;
    for (int i = 1; i <= n; ++i)
        sql << QStringLiteral("INSERT INTO deputat (familia,imya,otchestvo) VALUES ('Депутат %1','Имя','Отчество')").arg(i);
    for (int i = 28; i <= n; ++i)
        sql << QStringLiteral("INSERT INTO mesto (nomer) VALUES ('%1')").arg(i, 2, 10, QLatin1Char('0'));
    for (int i = 1; i <= n; ++i)
        sql << QStringLiteral("INSERT INTO sostav (id_deputat,id_mesto,chairman) VALUES (%1,%1,%2)").arg(i).arg(i == 2 ? 1 : 0);
    sql << QStringLiteral("INSERT INTO zasedanie (data,opisanie,vremya,start) VALUES ('20140320','Заседание № 1','00:00:00','20140320 09:30')")
        << QStringLiteral("INSERT INTO povestka (id_zasedanie,tip,nomer,ord,opisanie,info,aktiv) VALUES (1,0,1,1,'Вопрос 1','О законе',1)");
    db.beginTransaction();
    for (const QString &s : sql)
        if (!db.exec(s)) {
            std::fprintf(stderr, "%s: %s\n", qPrintable(s), qPrintable(db.firstErrorText()));
            db.rollback();
            return false;
        }
    return db.commit();
}

// What the console and the seats' threads share: the change every seat has to read.
struct Obshee {
    std::mutex mx;
    int zhdemNomer = -99, zhdemParam1 = -99;
    qint64 zapisano = 0;
    std::vector<char> uvidel;
    int uvideli = 0;
    QList<qint64> poslednii;
    std::atomic<bool> stop{false};
    std::atomic<int> gotovy{0}, oshibok{0};
    std::atomic<int> period{0};
};

// The seats of one thread: connections made and used on it, announcements delivered by its
// own event loop.
struct Potok {
    double opozdanie = 0;
    qint64 oprosov = 0, statements = 0;
    bool otkryto = false;
};

void mestaPotoka(Obshee &o, const ConnectionParams &params, int ot, int doMesta, bool uvedomleniya, Potok *itog)
{
    QRandomGenerator sl(777u + ot);
    std::vector<Mesto> mesta(doMesta - ot);
    const qint64 t0 = seichas();
    bool ok = true;
    for (int k = 0; k < int(mesta.size()); ++k) {
        Mesto &m = mesta[k];
        const int i = ot + k;
        m.db = std::make_unique<DbConnection>();
        if (!m.db->open(params)) {
            std::fprintf(stderr, "seat %d: %s\n", i + 1, qPrintable(m.db->firstErrorText()));
            ok = false;
            break;
        }
        m.nomer = QStringLiteral("%1").arg(i + 1, 2, 10, QLatin1Char('0'));
        m.deputat = i + 1;
        // Separate computers: the timers run at random phases.
        m.sledOpros = t0 + sl.bounded(250);
        m.sledSekunda = t0 + sl.bounded(1000);
        if (uvedomleniya)
            m.db->listen(rezhim::kanal(), [&m] { m.uvedomlen = true; });
    }
    itog->otkryto = ok;
    qint64 statements0 = 0;
    for (const Mesto &m : mesta)
        statements0 += m.db ? m.db->statementCount() : 0;
    ++o.gotovy;
    while (ok && !o.stop) {
        bool rabota = false;
        for (int k = 0; k < int(mesta.size()); ++k) {
            Mesto &m = mesta[k];
            const int i = ot + k;
            qint64 t = seichas();
            if (m.uvedomlen || t >= m.sledOpros) {
                if (!m.uvedomlen) {
                    itog->opozdanie += t - m.sledOpros;
                    ++itog->oprosov;
                    m.sledOpros += 250;
                    if (m.sledOpros < t)
                        m.sledOpros = t + 250;  // a poller that fell behind does not catch up in a burst
                }
                m.uvedomlen = false;
                ResultSet rs;
                if (!m.db->query(rezhim::zapros(), &rs) || rs.isEmpty()) {
                    ++o.oshibok;
                    m.db->clearErrors();
                    continue;
                }
                const int nomer = rs.value(0, 0).toInt(), p1 = rs.value(0, 1).toInt();
                if (nomer != m.nomerVidel || p1 != m.param1Videl) {
                    m.nomerVidel = nomer;
                    m.param1Videl = p1;
                    {
                        std::lock_guard<std::mutex> l(o.mx);
                        if (nomer == o.zhdemNomer && p1 == o.zhdemParam1 && !o.uvidel[i]) {
                            o.uvidel[i] = 1;
                            if (++o.uvideli == int(o.uvidel.size()))
                                o.poslednii << seichas() - o.zapisano;
                        }
                    }
                    if (nomer == 1 || nomer == 2) {
                        m.nazhatKod = nomer;
                        m.period = nomer == 1 ? p1 : m.period;
                        m.golos = nomer == 2 ? p1 : m.golos;
                        m.sledNazhatie = seichas() + sl.bounded(1200);
                    }
                }
                rabota = true;
            }
            t = seichas();
            if (m.nazhatKod && t >= m.sledNazhatie) {
                bool sdelano;
                if (m.nazhatKod == 1) {
                    sdelano = m.db->exec(QStringLiteral("INSERT INTO sessia (id_zasedanie,id_deputat,id_sessia) VALUES (1,%1,%2)").arg(m.deputat).arg(m.period));
                } else {
                    sdelano = m.db->exec(QStringLiteral("DELETE FROM otvet WHERE (id_deputat=%1) AND (id_golosovanie=%2)").arg(m.deputat).arg(m.golos))
                              && m.db->exec(QStringLiteral("INSERT INTO otvet (id_deputat,id_povestka,result,id_golosovanie) VALUES (%1,1,%2,%3)")
                                                .arg(m.deputat)
                                                .arg(1 + sl.bounded(3))
                                                .arg(m.golos));
                }
                if (!sdelano) {
                    ++o.oshibok;
                    m.db->clearErrors();
                }
                m.nazhatKod = 0;
                rabota = true;
            }
            if (t >= m.sledSekunda) {
                m.sledSekunda += 1000;
                if (m.sledSekunda < t)
                    m.sledSekunda = t + 1000;
                bool sdelano = m.db->exec(QStringLiteral("UPDATE mesto SET podkl=CURRENT_TIMESTAMP WHERE nomer = '%1';").arg(m.nomer));
                ResultSet rs;
                sdelano = sdelano && m.db->query(QStringLiteral("SELECT\n   TOP 1 povestka.id,povestka.opisanie,zasedanie.id,zasedanie.opisanie,povestka.info\nFROM\n   povestka, zasedanie\nWHERE\n   (aktiv = 1) AND (zasedanie.id = id_zasedanie);"), &rs);
                sdelano = sdelano && m.db->query(QStringLiteral("SELECT count(*) FROM proshu_slovo,sostav WHERE (sostav.id_mesto = proshu_slovo.id_mesto) AND (sostav.id_deputat=%1)").arg(m.deputat), &rs);
                sdelano = sdelano && m.db->query(QStringLiteral("SELECT nomer,sessia.id_deputat\nFROM sessia,sostav,mesto \nWHERE \n (id_sessia=%1)\n AND (sostav.id_deputat = sessia.id_deputat)\n AND (mesto.id = sostav.id_mesto)").arg(o.period.load()), &rs);
                if (i < 2)  // the chairman's and the watcher's seat monitor
                    sdelano = sdelano && m.db->query(QStringLiteral("SELECT \n   nomer,connected,podkl,\n   DATEDIFF(ss,podkl,GETDATE()) as diff\nFROM \n   mesto;"), &rs);
                if (!sdelano) {
                    ++o.oshibok;
                    m.db->clearErrors();
                }
                rabota = true;
            }
        }
        // Announcements arrive through the thread's event loop.
        QCoreApplication::processEvents();
        if (!rabota)
            QThread::usleep(300);
    }
    for (const Mesto &m : mesta)
        itog->statements += m.db ? m.db->statementCount() : 0;
    itog->statements -= statements0;
}

Itog progon(const QString &dvizhok, const ConnectionParams &params, int n, bool uvedomleniya, int sekund, PgCluster *pg)
{
    Itog r;
    r.dvizhok = dvizhok;
    r.mest = n;
    QRandomGenerator sl(20261210u + n);
    DbConnection konsol;
    if (!konsol.open(params)) {
        std::fprintf(stderr, "console: %s\n", qPrintable(konsol.firstErrorText()));
        return r;
    }
    Obshee o;
    o.uvidel.assign(n, 1);
    o.uvideli = n;
    // About 30 seats a thread, as a statement waits for its answer.
    const int potokov = std::clamp(n / 30, 1, 16);
    std::vector<Potok> itogi(potokov);
    std::vector<QThread *> potoki;
    for (int k = 0; k < potokov; ++k) {
        const int ot = n * k / potokov, doMesta = n * (k + 1) / potokov;
        potoki.push_back(QThread::create([&o, &params, ot, doMesta, uvedomleniya, &itogi, k] {
            mestaPotoka(o, params, ot, doMesta, uvedomleniya, &itogi[k]);
        }));
        potoki.back()->start();
    }
    while (o.gotovy < potokov)
        QThread::msleep(20);
    for (const Potok &p : itogi)
        if (!p.otkryto) {
            o.stop = true;
            for (QThread *t : potoki) {
                t->wait();
                delete t;
            }
            return r;
        }

    // The console's plan: each phase lasts 1.5-2.5 s, the countdown written every second.
    int faza = 0, golos = 0, ostalos = 0;
    qint64 sledFaza = seichas() + 1000, sledSchet = 0;
    const qint64 konsol0 = konsol.statementCount();
    const QList<qint64> pidy = pg ? pg->serverPids() : QList<qint64>();
    const double server0 = pg ? cpuProcessov(pidy) : 0;
    const double svoi0 = svoiCpu();
    QElapsedTimer chasy;
    chasy.start();
    const auto zapisat = [&](const QString &sql, int nomer, int param1) {
        {
            std::lock_guard<std::mutex> l(o.mx);
            if (o.uvideli < n && o.zhdemNomer != -99)
                o.poslednii << -1;  // the previous change never reached every seat
            o.zhdemNomer = nomer;
            o.zhdemParam1 = param1;
            std::fill(o.uvidel.begin(), o.uvidel.end(), 0);
            o.uvideli = 0;
            o.zapisano = seichas();
        }
        if (!konsol.exec(sql))
            ++o.oshibok;
    };
    while (chasy.elapsed() < sekund * 1000LL) {
        const qint64 t = seichas();
        if (t >= sledFaza) {
            faza = (faza + 1) % 4;
            if (faza == 1) {
                konsol.exec(QStringLiteral("INSERT INTO sessia_start (id_zasedanie) VALUES (1)"));
                o.period = konsol.scalar(QStringLiteral("SELECT MAX(id) FROM sessia_start")).toInt();
                ostalos = 30;
                zapisat(rezhim::nachatRegistraciyu(o.period, ostalos), 1, o.period);
            } else if (faza == 2) {
                konsol.exec(QStringLiteral("INSERT INTO golosovanie (data,regim,tip,vid,isbrano,prisutstvuet,regim_polsov,nuzno,zak,id_povestka,id_sessia) "
                                           "VALUES ('20140320 10:00','Большинство',0,0,%1,%1,'Процедурные вопросы',%2,%1,1,%3)")
                                .arg(n)
                                .arg(n / 2 + 1)
                                .arg(o.period.load()));
                golos = konsol.scalar(QStringLiteral("SELECT MAX(id) FROM golosovanie")).toInt();
                ostalos = 30;
                zapisat(rezhim::nachatGolosovanie(golos, ostalos), 2, golos);
            } else if (faza == 3) {
                zapisat(rezhim::rezultatGolosovania(golos), 4, golos);
            } else {
                zapisat(rezhim::prostoy(), -1, golos);
            }
            sledFaza = seichas() + 1500 + sl.bounded(1000);
            sledSchet = seichas() + 1000;
        } else if ((faza == 1 || faza == 2) && t >= sledSchet) {
            konsol.exec(rezhim::ostalosSekund(--ostalos));
            sledSchet += 1000;
        }
        QThread::msleep(2);
    }
    const double sek = chasy.elapsed() / 1000.0;
    if (pg)
        r.cpuServera = (cpuProcessov(pidy) - server0) / sek;
    r.cpuGeneratora = (svoiCpu() - svoi0) / sek;
    o.stop = true;
    for (QThread *t : potoki) {
        t->wait();
        delete t;
    }
    qint64 statements = konsol.statementCount() - konsol0, oprosov = 0;
    double opozdanie = 0;
    for (const Potok &p : itogi) {
        statements += p.statements;
        opozdanie += p.opozdanie;
        oprosov += p.oprosov;
    }
    r.operatorov = statements / sek;
    r.opozdanie = oprosov ? opozdanie / oprosov : 0;
    r.oshibok = o.oshibok;
    r.poslednii = o.poslednii;
    return r;
}

void napechatat(const Itog &r)
{
    QList<qint64> ok;
    int ne = 0;
    for (qint64 v : r.poslednii) {
        if (v < 0)
            ++ne;  // a change some seat never read before the next one
        else
            ok << v;
    }
    const qint64 hudshii = ok.isEmpty() ? -1 : *std::max_element(ok.begin(), ok.end());
    std::printf("%-26s %5d %8.0f %8lld %8d %9.0f %10s %10.2f %8.1f %6d\n", qPrintable(r.dvizhok), r.mest, mediana(ok),
                static_cast<long long>(hudshii), int(ok.size()) + ne, r.operatorov,
                r.cpuServera < 0 ? "-" : qPrintable(QString::number(r.cpuServera, 'f', 2)), r.cpuGeneratora, r.opozdanie,
                r.oshibok + ne);
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int sekund = argc > 1 ? qBound(5, atoi(argv[1]), 600) : 15;
    const int naibolshii = argc > 2 ? qBound(29, atoi(argv[2]), 450) : 450;
    QList<int> razmery{29, 120, 450};
    razmery.erase(std::remove_if(razmery.begin(), razmery.end(), [&](int n) { return n > naibolshii; }), razmery.end());

    PgCluster pg;
    pg.setMaxConnections(naibolshii + 50);
    const bool estPg = pg.start();
    if (!estPg)
        std::fprintf(stderr, "no PostgreSQL server: %s (embedded only)\n", qPrintable(pg.whyNot()));
    QTemporaryDir papka;

    std::printf("mode write -> last seat reading it (ms), per hall size and engine; %d s a run\n", sekund);
    std::printf("%-26s %5s %8s %8s %8s %9s %10s %10s %8s %6s\n", "engine", "seats", "median", "worst", "changes",
                "stmt/s", "server CPU", "gen. CPU", "lag ms", "errors");
    for (int n : razmery) {
        const QString file = papka.filePath(QStringLiteral("hall%1.db").arg(n));
        QString error;
        if (!schema::createEmbedded(file, &error)) {
            std::fprintf(stderr, "embedded: %s\n", qPrintable(error));
            return 1;
        }
        const ConnectionParams vstr{QStringLiteral("sqlite:") + file, QString(), QStringLiteral("admin1"), QStringLiteral("admin1")};
        {
            DbConnection db;
            if (!db.open(vstr) || !zal(db, n))
                return 1;
        }
        napechatat(progon(QStringLiteral("embedded"), vstr, n, false, sekund, nullptr));
        if (!estPg)
            continue;
        for (bool u : {false, true}) {
            const QString imya = QStringLiteral("hall%1%2").arg(n).arg(u ? "u" : "p");
            const ConnectionParams p{pg.serverParam(), imya, pg.superuser(), pg.superuserPassword()};
            if (!schema::createPostgresDatabase(p, &error)) {
                std::fprintf(stderr, "postgres: %s\n", qPrintable(error));
                return 1;
            }
            {
                DbConnection db;
                if (!db.open(p) || !zal(db, n))
                    return 1;
            }
            napechatat(progon(u ? QStringLiteral("postgresql, announcements") : QStringLiteral("postgresql, polling"), p, n, u,
                              sekund, &pg));
        }
    }
    return 0;
}
