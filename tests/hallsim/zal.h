#pragma once

// A hall of real workstation processes on one embedded database, for the soak and fault
// tests and the scripted demo: one program folder per workstation (hard links of the built
// voter and voter-sql, the restart script, a settings file), each run by its restart script
// as the installation's service, each writing its status file.

#include <QDir>
#include <QHash>
#include <QMap>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>
#include <memory>

namespace hallsim {

// A workstation's status file, parsed. Empty when there is none (yet).
struct Sostoyanie {
    QHash<QString, QString> pole;
    bool est() const { return !pole.isEmpty(); }
    QString operator[](const QString &k) const { return pole.value(k); }
    qint64 pid() const { return pole.value(QStringLiteral("pid")).toLongLong(); }
    qint64 started() const { return pole.value(QStringLiteral("started")).toLongLong(); }
    QString stage() const { return pole.value(QStringLiteral("stage")); }
    int nomer() const { return pole.value(QStringLiteral("mode")).section(QLatin1Char(','), 0, 0).toInt(); }
    int param1() const { return pole.value(QStringLiteral("mode")).section(QLatin1Char(','), 1, 1).toInt(); }
    qint64 modeSince() const { return pole.value(QStringLiteral("mode_since")).toLongLong(); }
    bool ekran(const QString &imya) const
    {
        return pole.value(QStringLiteral("screens")).split(QLatin1Char(',')).contains(imya);
    }
};

// CPU time (user + system, seconds) and peak resident memory (kB) of a live process.
struct Zatraty {
    double cpu = 0;
    qint64 pikKb = 0;
    bool zhiv = false;
};
Zatraty zatraty(qint64 pid);
bool zhiv(qint64 pid);

// Waits, processing events, until the condition holds (true) or `ms` have passed (false);
// `kazhdyiRaz` runs between looks (sampling, or throwing to break off the wait).
bool zhdatUsloviya(const std::function<bool()> &uslovie, int ms, const std::function<void()> &kazhdyiRaz = {});

// The login of a workstation folder: several workstations may share a login (watchers, for
// instance) as "watcher@17", "watcher@18"; the part before '@' is the login.
inline QString loginPapki(const QString &papka) { return papka.section(QLatin1Char('@'), 0, 0); }

class Zal {
public:
    // Makes the hall in `koren` (emptied first): database from the demo script, one folder per
    // login. `bin` holds the built voter, voter-sql and run.sh.
    bool podgotovit(const QString &koren, const QString &bin, const QStringList &loginy, QString *oshibka);
    ~Zal();

    // Before podgotovit(): the database is on a server the caller has made (schema and login
    // roles), for example "pg:10.77.0.1:5432"; podgotovit() loads the demo data there as admin1.
    void naServere(const QString &server, const QString &basa);
    // Before zapustit(): this login's workstation runs inside network namespace `netns` and
    // reaches the server as `server` (its own route to it).
    void vSeti(const QString &login, const QString &netns, const QString &server);
    // The server parameter a login's workstation uses (the driver's without a login), and the
    // database name.
    QString server(const QString &login = QString()) const;
    QString imyaBazy() const { return m_basa; }

    QString koren() const { return m_koren.path(); }
    QString baza() const
    {
        return (m_papkaBazy.isEmpty() ? m_koren : QDir(m_papkaBazy)).filePath(QStringLiteral("hall.db"));
    }
    // The database in a folder of its own (a small disk to be filled), set before podgotovit().
    void setPapkaBazy(const QString &papka) { m_papkaBazy = papka; }
    QString papka(const QString &login) const { return m_koren.filePath(login); }
    QStringList loginy() const { return m_loginy; }
    // Lines of the power-off test double's log: the login of every workstation that asked.
    QStringList vyklyucheniya() const;

    // Starts a workstation's service (run.sh --service; the console directly) with its status file and the
    // power-off double. Extra program options go after those (e.g. --geometry=...).
    bool zapustit(const QString &login, const QString &optsii = QString());
    void zapustitVse();
    // The console too runs under its service (with its login on the service's command line),
    // so that a console that ends is brought back as a terminal is. Off by default: the
    // operator starts the console by hand.
    void setKonsolPodSluzhboi(bool da) { m_konsolPodSluzhboi = da; }
    // The service of a login still runs.
    bool sluzhbaIdet(const QString &login) const;

    Sostoyanie sostoyanie(const QString &login) const;
    QMap<QString, Sostoyanie> vse() const;

    // Kills the workstation program itself (not its service), as a crash would.
    bool ubit(const QString &login);
    // Stops every service and every program whose folder is in the hall.
    void ostanovitVse();

private:
    QDir m_koren;
    QString m_bin;
    QString m_server;  // empty: the embedded file baza()
    QString m_basa = QStringLiteral("hall");
    QHash<QString, QString> m_netns, m_serverMesta;
    QStringList m_loginy;
    QHash<QString, std::shared_ptr<QProcess>> m_sluzhby;
    bool m_konsolPodSluzhboi = false;
    QString m_papkaBazy;
};

}  // namespace hallsim
