// hall-driver: a demo hall of real workstation processes, each in its own program folder and
// its own tile of the screen, and optionally a scripted meeting played through it step by
// step with a screenshot after every step.
//
//   hall-driver [--hall DIR] [--bin DIR] [--tile WxH] [--logins admin1,02,watcher,07]
//               [--shot CMD] [--pause MS] [--step-timeout S] [--start-only] [--keep]
//
// Every step waits until each started workstation's status file shows it; a step that is not
// reached in time ends the run with a message and a non-zero exit code.
#include "hallsim/voditel.h"
#include "hallsim/zal.h"

#include "console/nuzhno_golosov.h"
#include "core/rezhim.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QThread>

#include <algorithm>
#include <climits>
#include <csignal>
#include <cstdio>
#include <functional>

using namespace hallsim;

namespace {

volatile std::sig_atomic_t g_signal = 0;

void naSignal(int s)
{
    g_signal = s;
}

void skazat(const QString &t)
{
    std::fprintf(stdout, "%s\n", qPrintable(t));
    std::fflush(stdout);
}

void oshibka(const QString &t)
{
    std::fprintf(stderr, "hall-driver: %s\n", qPrintable(t));
    std::fflush(stderr);
}

// Ends the run from anywhere below main(): the hall is stopped by Zal's destructor on the way.
struct Vyhod {
    int kod;
};

// Thrown by the waits when SIGINT/SIGTERM/SIGHUP arrived.
struct Prervano {};

class Demo {
public:
    QString hall;
    QString bin;
    int tileW = 1280;
    int tileH = 1024;
    QStringList loginy;
    QString shot;
    int pause = 1500;
    int shagMs = 20000;

    void podgotovit();
    void zapustit();
    void zhdatPreryvaniya();
    void vstrecha();

private:
    using Uslovie = std::function<bool(const QString &login, const Sostoyanie &s)>;

    // Processes events and sleeps until `gotovo` holds or `ms` pass; false on time-out.
    bool zhdat(const std::function<bool()> &gotovo, int ms);
    void pauza(int ms) { zhdat([] { return false; }, ms); }
    // Every started workstation runs and satisfies the condition; else the step fails with
    // what each one shows.
    void vse(const QString &shag, const Uslovie &u, int ms = 0);
    void shag(int nomer, const QString &imya, const QString &opisanie);
    void proverit(bool ok, const QString &chto);

    static bool terminal(const QString &l) { return !l.startsWith(QLatin1String("admin")); }
    bool konsol() const { return !std::all_of(loginy.begin(), loginy.end(), terminal); }
    const Mesto *mesto(const QString &nomer) const;
    int idDeputata(const QString &nomer) const;
    QString predsedatel() const;

    Zal zal;
    Voditel v;
    QSet<int> zaregistrirovany;  // deputies of the current period
};

void Demo::proverit(bool ok, const QString &chto)
{
    if (!ok) {
        oshibka(chto + QStringLiteral(": ") + v.oshibka());
        throw Vyhod{1};
    }
}

bool Demo::zhdat(const std::function<bool()> &gotovo, int ms)
{
    return zhdatUsloviya(gotovo, ms, [] {
        if (g_signal)
            throw Prervano{};
    });
}

void Demo::vse(const QString &shag, const Uslovie &u, int ms)
{
    const auto gotovo = [&] {
        for (const QString &l : std::as_const(loginy)) {
            const Sostoyanie s = zal.sostoyanie(l);
            // Each runs under its own login: a restart from a shared folder would not.
            if (s.stage() != QLatin1String("running") || !zhiv(s.pid()) || s[QStringLiteral("login")] != l || !u(l, s))
                return false;
        }
        return true;
    };
    if (zhdat(gotovo, ms > 0 ? ms : shagMs))
        return;
    QStringList chto;
    for (const QString &l : std::as_const(loginy)) {
        const Sostoyanie s = zal.sostoyanie(l);
        chto << QStringLiteral("  %1: login=%13 stage=%2 mode=%3 item=%4 screens=%5 board_item=%6 board_result=%7 "
                               "board_decision=%8 seat_names=%9 registered=%10 pid=%11%12")
                    .arg(l, s.stage(), s[QStringLiteral("mode")], s[QStringLiteral("item")], s[QStringLiteral("screens")],
                         s[QStringLiteral("board_item")], s[QStringLiteral("board_result")],
                         s[QStringLiteral("board_decision")], s[QStringLiteral("seat_names")])
                    .arg(s[QStringLiteral("registered")])
                    .arg(s.pid())
                    .arg(zhiv(s.pid()) ? QString() : QStringLiteral(" (not running)"), s[QStringLiteral("login")]);
    }
    oshibka(QStringLiteral("step %1 not reached within %2 s; the workstations show:\n%3")
                .arg(shag)
                .arg((ms > 0 ? ms : shagMs) / 1000)
                .arg(chto.join(QLatin1Char('\n'))));
    throw Vyhod{1};
}

void Demo::shag(int nomer, const QString &imya, const QString &opisanie)
{
    const QString n = QStringLiteral("%1").arg(nomer, 2, 10, QLatin1Char('0'));
    skazat(QStringLiteral("%1-%2: %3").arg(n, imya, opisanie));
    if (shot.isEmpty())
        return;
    // Every window has painted what its status file announced.
    pauza(pause);
    QString komanda = shot;
    komanda.replace(QLatin1String("%n"), n).replace(QLatin1String("%s"), imya);
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedChannels);
    p.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), komanda});
    if (!p.waitForStarted(5000) || !p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit
        || p.exitCode() != 0) {
        if (g_signal)
            throw Prervano{};
        oshibka(QStringLiteral("the shot command failed (exit %1): %2").arg(p.exitCode()).arg(komanda));
        throw Vyhod{1};
    }
}

const Mesto *Demo::mesto(const QString &nomer) const
{
    for (const Mesto &m : v.mesta)
        if (m.nomer == nomer)
            return &m;
    return nullptr;
}

int Demo::idDeputata(const QString &nomer) const
{
    const Mesto *m = mesto(nomer);
    return m ? m->idDeputata : 0;
}

QString Demo::predsedatel() const
{
    for (const Mesto &m : v.mesta)
        if (m.predsedatel)
            return m.nomer;
    return QString();
}

void Demo::podgotovit()
{
    // Making the hall empties its folder: never do that to a folder that is not a hall.
    const QDir d(hall);
    if (d.exists() && !d.isEmpty() && !d.exists(QStringLiteral("hall.db"))) {
        oshibka(hall + QStringLiteral(" exists and is not a demo hall (no hall.db in it); choose another --hall"));
        throw Vyhod{2};
    }
    QString prichina;
    if (!zal.podgotovit(hall, bin, loginy, &prichina)) {
        oshibka(QStringLiteral("preparing the hall in %1: %2").arg(hall, prichina));
        throw Vyhod{3};
    }
    ConnectionParams p;
    p.server = QStringLiteral("sqlite:") + zal.baza();
    p.database = QStringLiteral("hall");
    p.login = QStringLiteral("admin1");
    p.password = QStringLiteral("admin1");
    proverit(v.otkryt(p) && v.prochitatMesta(), QStringLiteral("opening the hall database"));
    // The newest meeting, its first item active.
    ResultSet rs;
    proverit(v.db.query(QStringLiteral("SELECT TOP 1 id FROM zasedanie ORDER BY data DESC,id DESC"), &rs) && !rs.isEmpty()
                 && v.otkrytZasedanie(rs.scalar().toInt()),
             QStringLiteral("opening the meeting"));
}

void Demo::zapustit()
{
    for (int i = 0; i < loginy.size(); ++i) {
        const QString geometriya =
            QStringLiteral("--geometry=%1x%2+%3+%4").arg(tileW).arg(tileH).arg((i % 2) * tileW).arg((i / 2) * tileH);
        if (!zal.zapustit(loginy[i], geometriya)) {
            oshibka(QStringLiteral("cannot start the workstation ") + loginy[i]);
            throw Vyhod{3};
        }
    }
    vse(QStringLiteral("start-up"), [](const QString &, const Sostoyanie &) { return true; }, 90000);
    skazat(QStringLiteral("hall running in %1: %2").arg(zal.koren(), loginy.join(QStringLiteral(", "))));
}

void Demo::zhdatPreryvaniya()
{
    skazat(QStringLiteral("each workstation has its own folder there (voter.ini, run.sh, status, service.log); "
                          "Ctrl-C stops the hall"));
    zhdat([] { return false; }, INT_MAX);
}

void Demo::vstrecha()
{
    const QString pred = predsedatel();
    const int idPervogo = v.idPovestki;

    // 01: the meeting is open and the board idle on its first item.
    proverit(v.pokazatVopros(), QStringLiteral("idle board"));
    vse(QStringLiteral("01-agenda"), [&](const QString &, const Sostoyanie &s) {
        return s.nomer() == rezhim::Prostoy && s[QStringLiteral("item")].toInt() == idPervogo;
    });
    shag(1, QStringLiteral("agenda"), QStringLiteral("meeting open, first item active, idle board"));

    // 02: registration runs; deputies press one after another, the countdown goes on.
    const int sekund = 30;
    const int period = v.nachatRegistraciyu(sekund);
    proverit(period > 0, QStringLiteral("starting the registration"));
    zaregistrirovany.clear();
    if (const Mesto *m = mesto(pred))
        zaregistrirovany.insert(m->idDeputata);
    const QList<QStringList> volny{{QStringLiteral("07"), QStringLiteral("01"), QStringLiteral("03"), QStringLiteral("05")},
                                   {QStringLiteral("04"), QStringLiteral("08"), QStringLiteral("10"), QStringLiteral("12")},
                                   {QStringLiteral("06"), QStringLiteral("11"), QStringLiteral("13"), QStringLiteral("15")},
                                   {QStringLiteral("09"), QStringLiteral("14"), QStringLiteral("16"), QStringLiteral("17"),
                                    QStringLiteral("18"), QStringLiteral("19"), QStringLiteral("20")}};
    const auto registraciya = [&](const QStringList &kto) {
        for (const QString &n : kto) {
            const int id = idDeputata(n);
            if (id > 0 && !zaregistrirovany.contains(id)) {
                proverit(v.zaregistrirovat(id), QStringLiteral("registering seat ") + n);
                zaregistrirovany.insert(id);
            }
        }
    };
    int ostalos = sekund;
    for (int i = 0; i < 3; ++i) {
        registraciya(volny[i]);
        proverit(v.ostalos(--ostalos), QStringLiteral("registration countdown"));
        pauza(1000);
    }
    const auto svoyaRegistraciya = [&](const QString &l, const Sostoyanie &s) {
        const int id = idDeputata(l);
        // A seat's terminal reads the presence records; the watcher and the console have none,
        // and the chairman is registered by the console.
        return id == 0 || l == pred || s[QStringLiteral("registered")] == (zaregistrirovany.contains(id) ? QLatin1String("1") : QLatin1String("0"));
    };
    const int schet = ostalos;
    vse(QStringLiteral("02-registration"), [&](const QString &l, const Sostoyanie &s) {
        return s.nomer() == rezhim::Registracia && s.param1() == period
               && s[QStringLiteral("mode")].section(QLatin1Char(','), 2, 2).toInt() == schet && svoyaRegistraciya(l, s)
               && (idDeputata(l) == 0 || l == pred || s.ekran(QStringLiteral("registration")));
    });
    shag(2, QStringLiteral("registration"),
         QStringLiteral("registration running, %1 s left, %2 present so far (seat 07 among them)").arg(schet).arg(zaregistrirovany.size()));

    // 03: the rest press; the period ends and the results are shown.
    registraciya(volny[3]);
    proverit(v.ostalos(--ostalos), QStringLiteral("registration countdown"));
    pauza(1000);
    proverit(v.zakonchitRegistraciyu(period), QStringLiteral("ending the registration"));
    vse(QStringLiteral("03-registration-results"), [&](const QString &l, const Sostoyanie &s) {
        const int id = idDeputata(l);
        return s.nomer() == rezhim::RezultatRegistracii && s.param1() == period && svoyaRegistraciya(l, s)
               && (id == 0 || l == pred || s[QStringLiteral("reg_button")] == (zaregistrirovany.contains(id) ? QLatin1String("2") : QLatin1String("1")));
    });
    shag(3, QStringLiteral("registration-results"),
         QStringLiteral("registration results: %1 of %2 present").arg(zaregistrirovany.size()).arg(v.mesta.size()));

    // 04: back to the agenda; two seats ask for the floor.
    proverit(v.pokazatVopros(), QStringLiteral("back to the agenda"));
    const QStringList prosyat{QStringLiteral("07"), QStringLiteral("12")};
    for (const QString &n : prosyat) {
        const Mesto *m = mesto(n);
        proverit(m && v.poprositSlova(*m), QStringLiteral("speaker request of seat ") + n);
    }
    vse(QStringLiteral("04-speaker-requests"), [&](const QString &l, const Sostoyanie &s) {
        if (s.nomer() != rezhim::Prostoy)
            return false;
        // The chairman and the console see the requests on their seat maps.
        if (l != pred && !l.startsWith(QLatin1String("admin")))
            return true;
        const QString imena = s[QStringLiteral("seat_names")];
        for (const QString &n : prosyat)
            if (imena.size() < 27 || imena[n.toInt() - 1] != QLatin1Char('6'))
                return false;
        return true;
    });
    shag(4, QStringLiteral("speaker-requests"), QStringLiteral("seats %1 ask for the floor").arg(prosyat.join(QStringLiteral(" and "))));

    // 05: a vote under "majority of the number elected"; ballots come in, the countdown runs.
    const int pravilo = 4;
    const int golosovanie = v.nachatGolosovanie(pravilo, sekund);
    proverit(golosovanie > 0, QStringLiteral("starting the vote"));
    // Seat -> ballot (1 for, 2 against, 3 abstain); seat 20 stays silent.
    const QList<QPair<QString, int>> byulleteni{
        {QStringLiteral("07"), 1}, {QStringLiteral("01"), 1}, {QStringLiteral("03"), 2}, {QStringLiteral("05"), 1},
        {QStringLiteral("04"), 1}, {QStringLiteral("08"), 3}, {QStringLiteral("10"), 1}, {QStringLiteral("02"), 1},
        {QStringLiteral("12"), 1}, {QStringLiteral("06"), 1}, {QStringLiteral("11"), 1}, {QStringLiteral("13"), 2},
        {QStringLiteral("15"), 1}, {QStringLiteral("09"), 1}, {QStringLiteral("14"), 1}, {QStringLiteral("16"), 3},
        {QStringLiteral("17"), 1}, {QStringLiteral("18"), 1}, {QStringLiteral("19"), 1}};
    int k = 0;
    const auto golosa = [&](int skolko) {
        for (int i = 0; i < skolko && k < byulleteni.size(); ++i, ++k) {
            const int id = idDeputata(byulleteni[k].first);
            if (id > 0 && zaregistrirovany.contains(id))
                proverit(v.progolosovat(id, byulleteni[k].second), QStringLiteral("ballot of seat ") + byulleteni[k].first);
        }
    };
    ostalos = sekund;
    for (int i = 0; i < 3; ++i) {
        golosa(4);
        proverit(v.ostalos(--ostalos), QStringLiteral("vote countdown"));
        pauza(1000);
    }
    // The seat maps of the console and the chairman colour each ballot cast.
    const auto kartaGolosov = [&](const QString &imena) {
        const QHash<int, int> b = v.byulleteni.value(golosovanie);
        for (const Mesto &m : v.mesta) {
            const int i = m.nomer.toInt();
            if (b.contains(m.idDeputata) && (imena.size() < i || imena[i - 1] != QChar(u'0' + b.value(m.idDeputata) + 2)))
                return false;
        }
        return true;
    };
    const int schetG = ostalos;
    vse(QStringLiteral("05-vote-running"), [&](const QString &l, const Sostoyanie &s) {
        if (s.nomer() != rezhim::Golosovanie || s.param1() != golosovanie
            || s[QStringLiteral("mode")].section(QLatin1Char(','), 2, 2).toInt() != schetG)
            return false;
        const int id = idDeputata(l);
        if (id > 0 && l != pred)
            return s.ekran(QStringLiteral("vote-panel")) == zaregistrirovany.contains(id);
        if (l == pred || l.startsWith(QLatin1String("admin")))
            return kartaGolosov(s[QStringLiteral("seat_names")]);
        return s.ekran(QStringLiteral("vote-board"));
    });
    shag(5, QStringLiteral("vote-running"),
         QStringLiteral("vote running under \"%1\", %2 s left, %3 ballots cast (seat 07 for)")
             .arg(reshenie::podpisPravila(pravilo))
             .arg(schetG)
             .arg(v.byulleteni.value(golosovanie).size()));

    // 06: the rest vote; time is up and the results board shows the decision.
    golosa(byulleteni.size());
    proverit(v.ostalos(--ostalos), QStringLiteral("vote countdown"));
    pauza(1000);
    proverit(v.zakonchitGolosovanie(golosovanie, true), QStringLiteral("ending the vote"));
    int za = 0, protiv = 0, vozd = 0;
    proverit(v.podschet(golosovanie, &za, &protiv, &vozd), QStringLiteral("counting the ballots"));
    const QString reshenie = za >= v.nuzno ? QStringLiteral("РЕШЕНИЕ ПРИНЯТО") : QStringLiteral("РЕШЕНИЕ НЕ ПРИНЯТО");
    const QString schetGolosov = QStringLiteral("%1,%2,%3,").arg(za).arg(protiv).arg(vozd);
    vse(QStringLiteral("06-vote-results"), [&](const QString &l, const Sostoyanie &s) {
        if (s.nomer() != rezhim::RezultatGolosovania || s.param1() != golosovanie)
            return false;
        const bool doska = s.ekran(QStringLiteral("board"));
        // A deputy who did not register keeps the start screen; everyone else has the board.
        const bool nuzhna = !s.ekran(QStringLiteral("start")) || !terminal(l) || idDeputata(l) == 0 || l == pred;
        if (nuzhna && !doska)
            return false;
        if (doska && (!s[QStringLiteral("board_result")].startsWith(schetGolosov) || s[QStringLiteral("board_decision")] != reshenie))
            return false;
        return (l != pred && terminal(l)) || kartaGolosov(s[QStringLiteral("seat_names")]);
    });
    shag(6, QStringLiteral("vote-results"),
         QStringLiteral("vote results: for %1, against %2, abstained %3; %4 needed: %5").arg(za).arg(protiv).arg(vozd).arg(v.nuzno).arg(reshenie));

    // 07: the anthem.
    proverit(v.gimn(true), QStringLiteral("the anthem"));
    vse(QStringLiteral("07-anthem"), [&](const QString &l, const Sostoyanie &s) {
        // A deputy who did not register keeps the start screen and gets no anthem frame.
        return s.nomer() == rezhim::Gimn && (!terminal(l) || s.ekran(QStringLiteral("anthem")) != s.ekran(QStringLiteral("start")));
    });
    shag(7, QStringLiteral("anthem"), QStringLiteral("the anthem"));

    // 08: the anthem is taken down and the next item made active.
    proverit(v.gimn(false), QStringLiteral("taking the anthem down"));
    vse(QStringLiteral("anthem taken down"), [&](const QString &, const Sostoyanie &s) { return s.nomer() == rezhim::GimnSnyat; });
    const QVector<int> voprosy = v.vopros(v.idZasedania);
    proverit(voprosy.size() > 1, QStringLiteral("the meeting has a second item"));
    const int idVtorogo = voprosy[1];
    proverit(v.aktivirovatVopros(idVtorogo), QStringLiteral("activating the next item"));
    vse(QStringLiteral("08-next-item"), [&](const QString &, const Sostoyanie &s) {
        return s.nomer() == rezhim::Prostoy && s[QStringLiteral("item")].toInt() == idVtorogo;
    });
    shag(8, QStringLiteral("next-item"), QStringLiteral("the next item is active, idle board"));

    // 09: the restart command. Every terminal ends, its service starts it again from its own
    // folder and settings, and it comes back once the command window is over.
    QHash<QString, qint64> bylo;
    for (const QString &l : std::as_const(loginy))
        if (terminal(l))
            bylo.insert(l, zal.sostoyanie(l).pid());
    proverit(v.komanda(rezhim::PerezapustitVse), QStringLiteral("the restart command"));
    if (!konsol()) {
        // Nobody runs the console, whose clock would close the command window: close it here.
        for (int s = rezhim::OknoKomandy - 1; s >= 1; --s) {
            pauza(1000);
            proverit(v.db.exec(rezhim::schetKomandy(s)), QStringLiteral("command window"));
        }
        pauza(1000);
        proverit(v.db.exec(rezhim::konecKomandy()), QStringLiteral("end of the command window"));
    }
    vse(QStringLiteral("09-restart-command"), [&](const QString &l, const Sostoyanie &s) {
        return s.nomer() == rezhim::Prostoy && s[QStringLiteral("item")].toInt() == idVtorogo
               && (!terminal(l) || s.pid() != bylo.value(l));
    }, shagMs + rezhim::OknoKomandy * 1000);
    QStringList nazad;
    for (const QString &l : std::as_const(loginy))
        if (terminal(l))
            nazad << QStringLiteral("%1 (pid %2 -> %3)").arg(l).arg(bylo.value(l)).arg(zal.sostoyanie(l).pid());
    shag(9, QStringLiteral("restart-command"),
         QStringLiteral("restart command: terminals came back: ") + nazad.join(QStringLiteral(", ")));

    // 10: the meeting is closed.
    proverit(v.zakrytZasedanie(), QStringLiteral("closing the meeting"));
    vse(QStringLiteral("10-meeting-closed"), [&](const QString &, const Sostoyanie &s) {
        return s.nomer() == rezhim::Prostoy && s[QStringLiteral("board_item")].isEmpty();
    });
    shag(10, QStringLiteral("meeting-closed"), QStringLiteral("meeting closed, no active item"));
}

// Logins a hall knows: the 27 seats, operators and the watcher. They become folder names.
bool znakomyLogin(const QString &l)
{
    static const QRegularExpression re(QStringLiteral("^(0[1-9]|1[0-9]|2[0-7]|watcher|admin[A-Za-z0-9_]*)$"));
    return re.match(l).hasMatch();
}

}  // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("hall-driver"));

    QCommandLineParser cl;
    cl.setApplicationDescription(QStringLiteral(
        "A demo hall of workstation processes tiled on one screen, each in its own program folder; "
        "without --start-only a scripted meeting is played through it, step by step."));
    cl.addHelpOption();
    const QCommandLineOption oHall(QStringLiteral("hall"), QStringLiteral("Hall folder, emptied first (default <build>/demo-hall)."), QStringLiteral("DIR"),
                                   QStringLiteral(VOTER_BINARY_DIR "/demo-hall"));
    const QCommandLineOption oBin(QStringLiteral("bin"), QStringLiteral("Folder of the built voter, voter-sql and run.sh."), QStringLiteral("DIR"),
                                  QStringLiteral(VOTER_BINARY_DIR));
    const QCommandLineOption oTile(QStringLiteral("tile"), QStringLiteral("Size of each workstation's tile (default 1280x1024)."), QStringLiteral("WxH"),
                                   QStringLiteral("1280x1024"));
    const QCommandLineOption oLogins(QStringLiteral("logins"), QStringLiteral("Workstations, tiled two per row."), QStringLiteral("LIST"),
                                     QStringLiteral("admin1,02,watcher,07"));
    const QCommandLineOption oShot(QStringLiteral("shot"),
                                   QStringLiteral("Shell command run after each step; %n is the two-digit step, %s its name."),
                                   QStringLiteral("CMD"));
    const QCommandLineOption oPause(QStringLiteral("pause"), QStringLiteral("Milliseconds for painting before a shot (default 1500)."),
                                    QStringLiteral("MS"), QStringLiteral("1500"));
    const QCommandLineOption oTimeout(QStringLiteral("step-timeout"), QStringLiteral("Seconds a step may take (default 20)."),
                                      QStringLiteral("S"), QStringLiteral("20"));
    const QCommandLineOption oStartOnly(QStringLiteral("start-only"), QStringLiteral("Start the hall and keep it until interrupted."));
    const QCommandLineOption oKeep(QStringLiteral("keep"), QStringLiteral("After the meeting keep the hall until interrupted."));
    cl.addOptions({oHall, oBin, oTile, oLogins, oShot, oPause, oTimeout, oStartOnly, oKeep});
    cl.process(app);

    Demo d;
    d.hall = QFileInfo(cl.value(oHall)).absoluteFilePath();
    d.bin = QFileInfo(cl.value(oBin)).absoluteFilePath();
    d.shot = cl.value(oShot);
    bool ok = false;
    d.pause = cl.value(oPause).toInt(&ok);
    if (!ok || d.pause < 0) {
        oshibka(QStringLiteral("--pause wants milliseconds"));
        return 2;
    }
    const int timeout = cl.value(oTimeout).toInt(&ok);
    if (!ok || timeout < 0) {
        oshibka(QStringLiteral("--step-timeout wants seconds"));
        return 2;
    }
    d.shagMs = timeout * 1000;
    static const QRegularExpression razmer(QStringLiteral("^([1-9][0-9]{2,4})x([1-9][0-9]{2,4})$"));
    const QRegularExpressionMatch m = razmer.match(cl.value(oTile));
    if (!m.hasMatch()) {
        oshibka(QStringLiteral("--tile wants WxH, e.g. 960x768"));
        return 2;
    }
    d.tileW = m.captured(1).toInt();
    d.tileH = m.captured(2).toInt();
    d.loginy = cl.value(oLogins).split(QLatin1Char(','), Qt::SkipEmptyParts);
    for (QString &l : d.loginy)
        l = l.trimmed();
    if (d.loginy.isEmpty() || d.loginy.size() != QSet<QString>(d.loginy.begin(), d.loginy.end()).size()) {
        oshibka(QStringLiteral("--logins wants distinct logins"));
        return 2;
    }
    for (const QString &l : std::as_const(d.loginy)) {
        if (!znakomyLogin(l)) {
            oshibka(QStringLiteral("unknown login %1 (seats 01..27, watcher, admin...)").arg(l));
            return 2;
        }
    }
    // The folder travels through the restart script's shell unquoted.
    if (d.hall.contains(QRegularExpression(QStringLiteral("\\s"))) || d.bin.contains(QRegularExpression(QStringLiteral("\\s")))) {
        oshibka(QStringLiteral("the hall and program folders must not contain blanks"));
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
        && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        oshibka(QStringLiteral("no DISPLAY for the workstations' windows"));
        return 2;
    }

    std::signal(SIGINT, naSignal);
    std::signal(SIGTERM, naSignal);
    std::signal(SIGHUP, naSignal);
    try {
        d.podgotovit();
        d.zapustit();
        if (cl.isSet(oStartOnly)) {
            d.zhdatPreryvaniya();
        } else {
            d.vstrecha();
            skazat(QStringLiteral("the meeting is over"));
            if (cl.isSet(oKeep))
                d.zhdatPreryvaniya();
        }
    } catch (const Vyhod &v) {
        return v.kod;
    } catch (const Prervano &) {
        skazat(QStringLiteral("interrupted: stopping the hall"));
        return cl.isSet(oStartOnly) || cl.isSet(oKeep) ? 0 : 128 + g_signal;
    }
    return 0;
}
