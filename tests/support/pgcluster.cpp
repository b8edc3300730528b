#include "support/pgcluster.h"

#include "db/schema.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QThread>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <pwd.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// A port the kernel just handed out on loopback; free unless another process takes it
// in the moment between (the server then fails to start and says so).
int freeLoopbackPort()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0)
        return 0;
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = 0;
    int port = 0;
    socklen_t len = sizeof a;
    if (::bind(fd, reinterpret_cast<sockaddr *>(&a), sizeof a) == 0
        && ::getsockname(fd, reinterpret_cast<sockaddr *>(&a), &len) == 0)
        port = ntohs(a.sin_port);
    ::close(fd);
    return port;
}

bool asRoot()
{
    return ::geteuid() == 0;
}

}  // namespace

PgCluster::PgCluster() = default;

PgCluster::~PgCluster()
{
    stop();
}

QString PgCluster::binDir()
{
    for (const char *v : {"15", "16", "17", "14", "13"}) {
        const QString dir = QStringLiteral("/usr/lib/postgresql/%1/bin").arg(QLatin1String(v));
        if (QFileInfo::exists(dir + QStringLiteral("/initdb")) && QFileInfo::exists(dir + QStringLiteral("/pg_ctl")))
            return dir;
    }
    return QString();
}

QString PgCluster::serverParam() const
{
    return QStringLiteral("pg:%1:%2").arg(host()).arg(m_port);
}

void PgCluster::setNetwork(const QString &netns, const QString &address, const QString &clients)
{
    m_netns = netns;
    m_address = address;
    m_clients = clients;
}

// Runs a server program; as root through runuser, since the server refuses to run as root.
bool PgCluster::run(const QString &program, const QStringList &args, QString *output, int timeoutMs)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    const QString exe = binDir() + QLatin1Char('/') + program;
    QStringList command{exe};
    command += args;
    if (asRoot())
        command = QStringList{QStringLiteral("runuser"), QStringLiteral("-u"), QStringLiteral("postgres"), QStringLiteral("--")} + command;
    // The server inherits the namespace of the program that starts it.
    if (!m_netns.isEmpty())
        command = QStringList{QStringLiteral("ip"), QStringLiteral("netns"), QStringLiteral("exec"), m_netns} + command;
    p.start(command.takeFirst(), command);
    const bool finished = p.waitForStarted(10000) && p.waitForFinished(timeoutMs);
    const QString out = QString::fromLocal8Bit(p.readAll());
    if (output)
        *output = out;
    if (!finished) {
        p.kill();
        p.waitForFinished(2000);
        if (output)
            *output = QStringLiteral("%1 did not finish: %2").arg(program, out);
        return false;
    }
    return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

bool PgCluster::start()
{
    if (m_running)
        return true;
    if (binDir().isEmpty()) {
        m_why = QStringLiteral("PostgreSQL server binaries (initdb, pg_ctl) are not installed");
        return false;
    }
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QPSQL"))) {
        m_why = QStringLiteral("the Qt PostgreSQL driver (QPSQL, package libqt6sql6-psql) is not installed");
        return false;
    }
    const passwd *pw = ::getpwnam("postgres");
    if (asRoot() && !pw) {
        m_why = QStringLiteral("running as root and there is no 'postgres' user to run the server as");
        return false;
    }
    m_dir = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/voter-pg-XXXXXX"));
    if (!m_dir->isValid()) {
        m_why = QStringLiteral("cannot make a temporary folder for the cluster");
        return false;
    }
    if (asRoot() && ::chown(QFile::encodeName(m_dir->path()).constData(), pw->pw_uid, pw->pw_gid) != 0) {
        m_why = QStringLiteral("cannot hand the cluster folder to the postgres user");
        return false;
    }
    m_data = m_dir->path() + QStringLiteral("/data");
    // Loopback logins give a password as a hall's workstations do; psql of the fixture
    // itself comes in through the socket in the cluster's folder and is trusted.
    const QString pwfile = m_dir->path() + QStringLiteral("/pw");
    {
        QFile f(pwfile);
        if (!f.open(QIODevice::WriteOnly) || f.write(superuserPassword().toUtf8() + "\n") < 0) {
            m_why = QStringLiteral("cannot write the password file");
            return false;
        }
    }
    if (asRoot() && ::chown(QFile::encodeName(pwfile).constData(), pw->pw_uid, pw->pw_gid) != 0) {
        m_why = QStringLiteral("cannot hand the password file to the postgres user");
        return false;
    }
    QString out;
    if (!run(QStringLiteral("initdb"),
             {QStringLiteral("-D"), m_data, QStringLiteral("-U"), superuser(), QStringLiteral("-E"), QStringLiteral("UTF8"),
              QStringLiteral("--locale=C"), QStringLiteral("--auth-local=trust"), QStringLiteral("--auth-host=scram-sha-256"),
              QStringLiteral("--pwfile=") + pwfile, QStringLiteral("--no-sync")},
             &out, 120000)) {
        m_why = QStringLiteral("initdb failed: ") + out.trimmed();
        return false;
    }
    if (!m_clients.isEmpty()) {
        QFile hba(m_data + QStringLiteral("/pg_hba.conf"));
        if (!hba.open(QIODevice::Append) || hba.write(QStringLiteral("host all all %1 scram-sha-256\n").arg(m_clients).toUtf8()) < 0) {
            m_why = QStringLiteral("cannot let the namespaces' clients in (pg_hba.conf)");
            return false;
        }
    }
    for (int attempt = 0; attempt < 3 && !m_running; ++attempt) {
        m_port = freeLoopbackPort();
        if (!m_port) {
            m_why = QStringLiteral("no free loopback port");
            return false;
        }
        m_running = restart();
    }
    return m_running;
}

bool PgCluster::restart()
{
    if (m_data.isEmpty())
        return false;
    if (m_running)
        run(QStringLiteral("pg_ctl"), {QStringLiteral("-D"), m_data, QStringLiteral("-m"), QStringLiteral("fast"),
                                       QStringLiteral("-w"), QStringLiteral("stop")}, nullptr);
    m_running = false;
    // Loopback only; the socket file stays in the cluster's own folder; no fsync, the data
    // is thrown away anyway.
    const QString options = QStringLiteral("-c listen_addresses=%3 -c port=%1 -c unix_socket_directories='%2' "
                                           "-c fsync=off -c synchronous_commit=off -c full_page_writes=off "
                                           "-c max_connections=%4")
                                .arg(m_port)
                                .arg(m_dir->path(), m_address)
                                .arg(m_maxConnections);
    QString out;
    if (!run(QStringLiteral("pg_ctl"), {QStringLiteral("-D"), m_data, QStringLiteral("-o"), options, QStringLiteral("-l"),
                                        m_dir->path() + QStringLiteral("/server.log"), QStringLiteral("-w"),
                                        QStringLiteral("-t"), QStringLiteral("60"), QStringLiteral("start")},
             &out, 90000)) {
        QFile log(m_dir->path() + QStringLiteral("/server.log"));
        if (log.open(QIODevice::ReadOnly))
            out += QString::fromLocal8Bit(log.readAll().right(2000));
        m_why = QStringLiteral("the server did not start: ") + out.trimmed();
        return false;
    }
    m_running = true;
    return true;
}

void PgCluster::stop()
{
    if (m_running)
        run(QStringLiteral("pg_ctl"), {QStringLiteral("-D"), m_data, QStringLiteral("-m"), QStringLiteral("immediate"),
                                       QStringLiteral("-w"), QStringLiteral("stop")}, nullptr);
    m_running = false;
    m_dir.reset();  // removes the cluster's folder
}

bool PgCluster::psql(const QString &sql, const QString &database, QString *output)
{
    QString out;
    const bool ok = run(QStringLiteral("psql"),
                        {QStringLiteral("-X"), QStringLiteral("-q"), QStringLiteral("-v"), QStringLiteral("ON_ERROR_STOP=1"),
                         QStringLiteral("-h"), m_dir->path(), QStringLiteral("-p"), QString::number(m_port), QStringLiteral("-U"),
                         superuser(), QStringLiteral("-d"), database, QStringLiteral("-c"), sql},
                        &out);
    if (output)
        *output = out;
    return ok;
}

QSqlDatabase PgCluster::connectSuperuser(const QString &connectionName, const QString &database, QString *error) const
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), connectionName);
    db.setHostName(host());
    db.setPort(m_port);
    db.setDatabaseName(database);
    db.setUserName(superuser());
    db.setPassword(superuserPassword());
    if (!db.open()) {
        if (error)
            *error = db.lastError().text();
        return QSqlDatabase();
    }
    return db;
}

bool PgCluster::psqlFile(const QString &file, const QString &database, const QStringList &variables, QString *output)
{
    QStringList args{QStringLiteral("-X"), QStringLiteral("-q"), QStringLiteral("-v"), QStringLiteral("ON_ERROR_STOP=1"),
                     QStringLiteral("-h"), m_dir->path(), QStringLiteral("-p"), QString::number(m_port),
                     QStringLiteral("-U"), superuser(), QStringLiteral("-d"), database};
    for (const QString &v : variables)
        args << QStringLiteral("-v") << v;
    // psql may run as the server's user: it reads a copy in the cluster's folder.
    const QString copy = m_dir->filePath(QStringLiteral("script-") + QFileInfo(file).fileName());
    QFile::remove(copy);
    if (!QFile::copy(file, copy)
        || !QFile::setPermissions(copy, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadOther)) {
        if (output)
            *output = QStringLiteral("cannot copy %1").arg(file);
        return false;
    }
    args << QStringLiteral("-f") << copy;
    QString out;
    const bool ok = run(QStringLiteral("psql"), args, &out);
    if (output)
        *output = out;
    return ok;
}

bool PgCluster::createDatabase(const QString &name, QString *error)
{
    QString q = name;
    q.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return psql(QStringLiteral("CREATE DATABASE \"%1\" ENCODING 'UTF8' TEMPLATE template0").arg(q),
                QStringLiteral("postgres"), error);
}

bool PgCluster::createLogin(const QString &login, const QString &password, bool superuser, QString *error)
{
    QString l = login, p = password;
    l.replace(QLatin1Char('"'), QLatin1String("\"\""));
    p.replace(QLatin1Char('\''), QLatin1String("''"));
    return psql(QStringLiteral("CREATE ROLE \"%1\" LOGIN PASSWORD '%2'%3").arg(l, p, superuser ? QStringLiteral(" SUPERUSER") : QString()),
                QStringLiteral("postgres"), error);
}

bool PgCluster::createHall(const QString &name, QString *error)
{
    if (!schema::createPostgresDatabase({serverParam(), name, superuser(), superuserPassword()}, error))
        return false;
    QStringList passwords;
    for (const char *a : {"admin1", "admin2", "admin3"})
        passwords << QStringLiteral("%1_password=%1").arg(QLatin1String(a));
    return psqlFile(QStringLiteral(VOTER_SOURCE_DIR "/src/db/schema/postgresql-roles.sql"), name, passwords, error);
}

QList<qint64> PgCluster::serverPids() const
{
    QList<qint64> pids;
    QFile pidFile(m_data + QStringLiteral("/postmaster.pid"));
    if (!m_running || !pidFile.open(QIODevice::ReadOnly))
        return pids;
    const qint64 postmaster = QString::fromLatin1(pidFile.readLine()).trimmed().toLongLong();
    if (postmaster <= 0)
        return pids;
    pids << postmaster;
    // Backends and helper processes are the postmaster's children.
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &e : entries) {
        bool ok = false;
        const qint64 pid = e.toLongLong(&ok);
        if (!ok || pid == postmaster)
            continue;
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        const QByteArray line = stat.readAll();
        const int close = line.lastIndexOf(')');
        const QList<QByteArray> f = line.mid(close + 2).split(' ');
        if (f.size() > 1 && f.at(1).toLongLong() == postmaster)
            pids << pid;
    }
    return pids;
}
