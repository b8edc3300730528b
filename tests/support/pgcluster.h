#pragma once

#include <QSqlDatabase>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

// A throw-away PostgreSQL server for tests: a fresh cluster in a temporary folder, on a free
// loopback port, password logins on loopback, stopped and removed when the object goes away.
//
//   PgCluster pg;
//   if (!pg.start())
//       QSKIP(qPrintable(pg.whyNot()));
//   pg.createDatabase("hall");  // then connect with server pg.serverParam()
//
// When the machine cannot run one (no server binaries, no Qt QPSQL driver, no way to run as
// an unprivileged user) start() returns false and whyNot() says why: the caller skips.
class PgCluster {
public:
    PgCluster();
    ~PgCluster();
    PgCluster(const PgCluster &) = delete;
    PgCluster &operator=(const PgCluster &) = delete;

    // initdb + pg_ctl start; waits until the server accepts connections.
    bool start();
    void stop();
    // Stops and starts the same cluster again on the same port (restart faults).
    bool restart();
    bool isRunning() const { return m_running; }
    // Why start() failed, or why the machine cannot offer a server.
    QString whyNot() const { return m_why; }

    // Before start(): run the server inside network namespace `netns`, listening on `address`
    // there (several separated by commas; the first is host()), and let password logins in
    // from `clients` (CIDR). Tests of several machines use it; the fixture's own psql still
    // comes in through the socket file, which any namespace reaches.
    void setNetwork(const QString &netns, const QString &address, const QString &clients);

    // Before start(): connections the server takes (benchmarks of big halls need more).
    void setMaxConnections(int n) { m_maxConnections = n; }

    // Address and port the server listens on (loopback unless setNetwork() said otherwise).
    QString host() const { return m_address.section(QLatin1Char(','), 0, 0); }
    int port() const { return m_port; }
    // The connection dialog's server parameter for this server: "pg:127.0.0.1:<port>".
    QString serverParam() const;
    // The cluster's superuser and its password for loopback logins.
    QString superuser() const { return QStringLiteral("postgres"); }
    QString superuserPassword() const { return QStringLiteral("postgres-test"); }

    // Runs SQL through psql as the superuser in `database`; false with the output in
    // *output on failure.
    bool psql(const QString &sql, const QString &database = QStringLiteral("postgres"), QString *output = nullptr);
    // A hall database as an installation has it: the program's schema and reference data
    // (as voter-sql makes them) and the shipped roles script, each operator's password
    // being its login.
    bool createHall(const QString &name, QString *error = nullptr);
    // Process ids of the postmaster and its children (server CPU figures).
    QList<qint64> serverPids() const;
    // CREATE DATABASE with UTF-8 and the ICU locale the hall schema uses.
    bool createDatabase(const QString &name, QString *error = nullptr);
    // A login role with a password (and optionally superuser rights) for the program to use.
    bool createLogin(const QString &login, const QString &password, bool superuser = false, QString *error = nullptr);

    // A Qt connection (QPSQL) named `connectionName` to `database` as the superuser; not
    // valid, with the reason in *error, when it cannot be opened. The caller closes it and
    // removes the name.
    QSqlDatabase connectSuperuser(const QString &connectionName, const QString &database, QString *error = nullptr) const;
    // Runs a psql script file as the superuser in `database`, with psql variables (-v).
    bool psqlFile(const QString &file, const QString &database, const QStringList &variables = {},
                  QString *output = nullptr);

    // Folder with initdb, pg_ctl, postgres and psql; empty when none is installed.
    static QString binDir();

private:
    bool run(const QString &program, const QStringList &args, QString *output, int timeoutMs = 60000);
    QString m_data;
    QString m_netns;
    QString m_address = QStringLiteral("127.0.0.1");
    QString m_clients;
    int m_maxConnections = 200;
    std::unique_ptr<QTemporaryDir> m_dir;
    int m_port = 0;
    bool m_running = false;
    QString m_why;
};
