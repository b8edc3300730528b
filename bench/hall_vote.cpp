// A whole hall through one vote, in one process with real timers: 26 deputy terminals and the
// chairman (all 27 seats), the watcher and the operator console poll one embedded database at
// their own rates (poller 250 ms, clock and monitor 1 s, the console's countdown 1 s) while
// the console runs a vote and every deputy votes at some moment of it.
//
// Reports the CPU the hall uses per wall-clock second (idle and during the vote), and for the
// console's mode-2 write the time until each terminal shows the vote (the voting panel; on
// the watcher the vote board). Goal: every terminal within one poller period (250 ms).
//
// The workstations' timers start at random phases, as separate computers would; the vote is
// run several times, each started at a random moment, so the times spread over the period.
//
// Then, with the hall still polling, one seat presses its buttons in rounds with and without
// the vote journal's triggers, side by side: the time from the press to the ballot stored
// (the press's statements have returned) and the press statements per second.
//
//   bench_hall_vote [seconds of a vote, default 15] [votes, default 3] [idle seconds, default 5]
#include "console/golosovanie_forma.h"
#include "console/process_golos2_forma.h"
#include "hall/golosovanie_panel.h"
#include "support/workstation.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QEventLoop>
#include <QProgressBar>
#include <QRandomGenerator>
#include <QSqlError>
#include <QSqlQuery>
#include <QSpinBox>
#include <QTimer>

#include <sys/resource.h>

#include <algorithm>
#include <vector>
#include <cstdio>

namespace {

double cpuSeconds()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_utime.tv_sec + u.ru_utime.tv_usec / 1e6 + u.ru_stime.tv_sec + u.ru_stime.tv_usec / 1e6;
}

// Precise, so that the waits do not fall in step with the workstations' coarse timers.
void runFor(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

// Notes the time a widget is first shown after the clock was started.
class ShowWatch : public QObject {
public:
    const QElapsedTimer *start = nullptr;
    qint64 *at = nullptr;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::ShowToParent && at && *at < 0)
            *at = start->elapsed();
        return QObject::eventFilter(watched, event);
    }
};

}  // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int voteSeconds = argc > 1 ? qBound(10, atoi(argv[1]), 200) : 15;
    const int votes = argc > 2 ? qBound(1, atoi(argv[2]), 50) : 3;
    const int idleSeconds = argc > 3 ? qMax(1, atoi(argv[3])) : 5;
    auto *rng = QRandomGenerator::global();

    TestHall hall;
    if (!hall.ok()) {
        std::fprintf(stderr, "hall: %s\n", qPrintable(hall.error()));
        return 1;
    }
    const int meeting = hall.demoMeeting();
    hall.activateItem(hall.scalarInt(QStringLiteral("SELECT id FROM povestka WHERE opisanie = 'Вопрос 1'")));
    const int period = hall.openPeriod(meeting);
    QStringList seats;
    for (int i = 1; i <= 27; ++i) {
        const QString seat = QStringLiteral("%1").arg(i, 2, 10, QLatin1Char('0'));
        seats << seat;
        if (seat != QLatin1String("02"))  // the chairman registers himself at start-up
            hall.registerDeputy(hall.deputyAt(seat), period, meeting);
    }

    Workstation &console = hall.start(QStringLiteral("admin1"));
    QList<Workstation *> terminals;
    for (const QString &seat : seats)
        terminals << &hall.start(seat);
    Workstation &watcher = hall.start(QStringLiteral("watcher"));
    terminals << &watcher;
    for (const auto &ws : hall.workstations()) {
        if (!ws->started() || ws->ended()) {
            std::fprintf(stderr, "a workstation did not start: %s\n", qPrintable(ws->platform.args.join(' ')));
            return 1;
        }
        ws->window()->FormActivate();
        // Real timers from here on, each workstation at its own phase.
        WindowView *w = ws->window();
        QTimer::singleShot(int(rng->bounded(1000)), w->glav(), [w] { w->glav()->setRuchnyeTiki(false); });
    }
    std::printf("workstations: %d (console, %d seats incl. the chairman, watcher)\n",
                int(hall.workstations().size()), int(seats.size()));

    // Idle hall.
    runFor(1000);
    double cpu0 = cpuSeconds();
    QElapsedTimer wall;
    wall.start();
    runFor(idleSeconds * 1000);
    const double idleCpu = (cpuSeconds() - cpu0) / (wall.elapsed() / 1000.0);

    // The votes.
    QVector<qint64> seen;
    QVector<qint64> round(terminals.size(), -1);
    std::vector<ShowWatch> watchers(terminals.size());
    QElapsedTimer sinceWrite;
    double voteCpu = 0;
    double voteWall = 0;
    qint64 statements = 0;
    auto countStatements = [&] {
        qint64 n = 0;
        for (const auto &ws : hall.workstations())
            n += ws->window()->GlavBasa().statementCount();
        return n;
    };
    TGolosovanieForma *forma = nullptr;

    for (int v = 0; v < votes; ++v) {
        console.dialogs.modalHandlers.enqueue([&](QDialog *d) {
            forma = qobject_cast<TGolosovanieForma *>(d);
            // The results of the last vote stay up a while; the next one starts at a random moment.
            runFor(1500 + int(rng->bounded(1000)));
            forma->Vremya->setValue(voteSeconds);
            round.fill(-1);
            const qint64 before = countStatements();
            const double cpu = cpuSeconds();
            wall.restart();
            forma->KnopkaGolosovanieClick();  // inserts the vote, writes mode 2
            sinceWrite.start();
            cpu0 = cpu;
            statements -= before;
            return int(QDialog::Accepted);
        });
        console.dialogs.modalHandlers.enqueue([&](QDialog *d) {
            auto *progress = qobject_cast<TProcessGolos2Forma *>(d);
            // Each terminal's moment is taken when its panel (the watcher's vote board) is shown.
            for (int i = 0; i < terminals.size(); ++i) {
                WindowView *w = terminals[i]->window();
                QWidget *sign = w->RezhimNabludatelya() ? static_cast<QWidget *>(w->ob().ProgressBarTablo) : w->ob().PanelGolosovanie;
                sign->installEventFilter(&watchers[i]);
                watchers[i].start = &sinceWrite;
                watchers[i].at = &round[i];
            }
            // Every seat votes once at a random moment of the first two thirds; some change their mind.
            for (int i = 0; i < seats.size(); ++i) {
                WindowView *w = terminals[i]->window();
                const int at = 300 + int(rng->bounded(voteSeconds * 666));
                const int knopka = 1 + int(rng->bounded(3));
                QTimer::singleShot(at, w->glav(), [w, knopka] { w->panel().KnopkiGolosovania->Golos(knopka); });
                if (i % 5 == 0)
                    QTimer::singleShot(at + 1500, w->glav(), [w] { w->panel().KnopkiGolosovania->Golos(TKnopkiGolosovania::Protiv); });
            }
            QEventLoop loop;
            QTimer done;
            done.setTimerType(Qt::PreciseTimer);
            done.setInterval(20);
            QObject::connect(&done, &QTimer::timeout, [&] {
                if (progress->MozhnoZakrit())
                    loop.quit();
            });
            done.start();
            loop.exec();
            voteCpu += cpuSeconds() - cpu0;
            voteWall += wall.elapsed() / 1000.0;
            statements += countStatements();
            qint64 lo = -1, hi = -1;
            for (qint64 t : round) {
                seen << t;
                if (t >= 0) {
                    lo = lo < 0 ? t : qMin(lo, t);
                    hi = qMax(hi, t);
                }
            }
            // Within one vote the spread is mostly the time one thread takes for all the
            // terminals' ticks that follow the write; on separate computers they run side by side.
            std::printf("  vote %d: first terminal after %lld ms, last after %lld ms\n", int(seen.size() / terminals.size()),
                        lo, hi);
            return int(QDialog::Rejected);
        });
    }
    console->ekrany().OtkrytNastroikuGolosovania();
    voteCpu /= voteWall;

    QVector<qint64> times;
    int missing = 0;
    for (qint64 t : seen) {
        if (t < 0)
            ++missing;
        else
            times << t;
    }
    std::sort(times.begin(), times.end());
    const int late = int(std::count_if(times.begin(), times.end(), [](qint64 t) { return t > 250; }));
    std::printf("idle hall:   %.3f CPU s per wall s\n", idleCpu);
    std::printf("during votes: %.3f CPU s per wall s over %d votes, %.1f s (%lld statements, %.0f per s)\n", voteCpu,
                votes, voteWall, statements, statements / voteWall);
    if (!times.isEmpty())
        std::printf("mode-2 write -> vote shown: min %lld ms, median %lld ms, max %lld ms; %d of %d later than "
                    "250 ms; %d never (terminal x vote)\n",
                    times.first(), times[times.size() / 2], times.last(), late, int(times.size()), missing);
    const int ballots = hall.scalarInt(QStringLiteral("SELECT count(*) FROM otvet"));
    std::printf("ballots stored: %d of %d seats x %d votes; final mode row %s\n", ballots, int(seats.size()), votes,
                qPrintable(hall.scalar(QStringLiteral("SELECT nomer FROM regim")).toString()));
    // Presses with and without the journal, alternating rounds so that neither side gets the
    // emptier database or the quieter moments.
    {
        QSqlQuery q(hall.db().database());
        QStringList triggers;
        q.exec(QStringLiteral("SELECT sql FROM sqlite_master WHERE type = 'trigger' AND name LIKE '%zhurnal%'"));
        while (q.next())
            triggers << q.value(0).toString();
        auto journal = [&](bool on) {
            for (const QString &t : triggers) {
                const QString name = t.section(QLatin1Char(' '), 2, 2);
                if (!q.exec(on ? t : QStringLiteral("DROP TRIGGER ") + name))
                    std::fprintf(stderr, "journal trigger %s: %s\n", qPrintable(name), qPrintable(q.lastError().text()));
            }
        };
        WindowView *w = terminals[4]->window();
        // The votes above are over: the presses go to a vote of their own, left running (no
        // countdown) until the rounds are done.
        const int pressVote = [&] {
            if (!hall.exec(QStringLiteral("INSERT INTO golosovanie (data,regim,tip,vid,isbrano,prisutstvuet,regim_polsov,"
                                          "nuzno,zak,id_povestka,id_sessia) SELECT getdate(),regim,tip,vid,isbrano,"
                                          "prisutstvuet,regim_polsov,nuzno,zak,id_povestka,id_sessia FROM golosovanie "
                                          "WHERE id = (SELECT MAX(id) FROM golosovanie)")))
                return 0;
            const int id = hall.scalarInt(QStringLiteral("SELECT MAX(id) FROM golosovanie"));
            return hall.exec(QStringLiteral("UPDATE regim SET nomer=2,param1=%1,param2=600").arg(id)) ? id : 0;
        }();
        // Until the seat's own poller has read the new vote (its screen may still show the last one).
        auto pokazano = [&] { return w->RegimNomer() == 2 && w->RegimParam1() == pressVote && !w->ob().PanelGolosovanie->isHidden(); };
        for (int i = 0; i < 40 && !pokazano(); ++i)
            runFor(50);
        if (!pressVote || !pokazano()) {
            std::fprintf(stderr, "the seat does not show the vote for the presses\n");
            return 2;
        }
        int refused = 0, notShown = 0;
        QStringList failures;
        QVector<qint64> ns[2];
        qint64 sent[2] = {0, 0}, spent[2] = {0, 0};
        const int rounds = 6, presses = 60;
        for (int r = 0; r < rounds; ++r) {
            const int with = r % 2 == 0 ? 1 : 0;
            if (!with)
                journal(false);
            for (int i = 0; i < presses; ++i) {
                const qint64 before = w->GlavBasa().statementCount();
                QElapsedTimer t;
                t.start();
                const bool shown = w->RegimNomer() == 2 && !w->ob().PanelGolosovanie->isHidden();
                const int messages = terminals[4]->dialogs.shown.size();
                if (!w->panel().KnopkiGolosovania->Golos(1 + i % 3)) {
                    ++refused;
                    if (!shown)
                        ++notShown;
                    else if (terminals[4]->dialogs.shown.size() > messages)
                        failures << terminals[4]->dialogs.shown.last().text;
                    else
                        std::fprintf(stderr, "refused: round %d press %d, the seat's mode %d/%d\n", r, i, w->RegimNomer(),
                                     w->RegimParam1());
                }
                const qint64 n = t.nsecsElapsed();
                ns[with] << n;
                spent[with] += n;
                sent[with] += w->GlavBasa().statementCount() - before;
                runFor(5 + int(rng->bounded(20)));  // let the hall's timers run in between
            }
            if (!with)
                journal(true);
        }
        const char *names[2] = {"without journal", "with journal"};
        double median[2];
        std::printf("press -> ballot stored (%d presses each, hall polling):\n", rounds / 2 * presses);
        for (int k = 1; k >= 0; --k) {
            std::sort(ns[k].begin(), ns[k].end());
            median[k] = ns[k][ns[k].size() / 2] / 1000.0;
            std::printf("  %-16s median %.0f us, p95 %.0f us, worst %.0f us; %.2f statements per press, %.0f "
                        "statements per s\n",
                        names[k], median[k], ns[k][ns[k].size() * 95 / 100] / 1000.0, ns[k].last() / 1000.0,
                        double(sent[k]) / ns[k].size(), sent[k] / (spent[k] / 1e9));
        }
        std::printf("  journal / without: %.2f x press time, same statements per press\n", median[1] / median[0]);
        hall.exec(QStringLiteral("UPDATE regim SET nomer=4,param1=%1,param2=0").arg(pressVote));
        if (refused) {
            std::printf("presses refused: %d (%d with the panel not shown, %d failed: %s)\n", refused, notShown,
                        int(failures.size()), qPrintable(failures.join(QStringLiteral("; "))));
            return 2;
        }
    }

    int ended = 0;
    for (const auto &ws : hall.workstations())
        ended += ws->ended() ? 1 : 0;
    if (ended)
        std::printf("workstations ended on an error: %d\n", ended);
    return ended == 0 && missing == 0 ? 0 : 2;
}
