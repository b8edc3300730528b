#pragma once

// A throw-away PostgreSQL cluster for the privilege tests: initdb in a temporary folder
// (as the postgres account when the test runs as root), listening on a free loopback port
// only, the hall's tables and the shipped roles script applied; stopped when destroyed.
#include "prava_hall.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>

#include <memory>

#include <unistd.h>

namespace pravatest {

class PgKlaster {
public:
    ~PgKlaster()
    {
        if (m_started)
            zapustitPg({QStringLiteral("pg_ctl"), QStringLiteral("-D"), m_data, QStringLiteral("-m"),
                        QStringLiteral("immediate"), QStringLiteral("-w"), QStringLiteral("stop")},
                       nullptr);
    }

    // Null with `why` set when the machine cannot offer a server.
    static std::unique_ptr<PgKlaster> zapustit(const QString &folder, QString *why)
    {
        auto k = std::unique_ptr<PgKlaster>(new PgKlaster);
        if (!k->start(folder, why))
            return nullptr;
        return k;
    }

    // Empties the hall and puts `state` in, as the tables' owner (bound by no policy).
    bool novayaBaza(const QStringList &state, QString *why)
    {
        QStringList sql{QStringLiteral(
            "TRUNCATE deputat, sostav, zasedanie, povestka, sessia_start, golosovanie, sessia, otvet, proshu_slovo "
            "RESTART IDENTITY CASCADE;"),
                        QStringLiteral("UPDATE mesto SET connected=0, podkl=NULL;")};
        for (const QString &s : state)
            sql << s + QLatin1Char(';');
        return psql({QStringLiteral("-c"), sql.join(QLatin1Char('\n'))}, why);
    }

    std::unique_ptr<Sessiya> voiti(const QString &login, QString *error)
    {
        auto s = std::make_unique<SessiyaPostgres>(QStringLiteral("prava-%1-%2").arg(login).arg(++m_sessions));
        if (!s->open(m_port, QStringLiteral("voter"), login, login, error))
            return nullptr;
        return s;
    }

private:
    PgKlaster() = default;

    static QString bin()
    {
        QDir root(QStringLiteral("/usr/lib/postgresql"));
        QStringList versions = root.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
        std::sort(versions.begin(), versions.end(), [](const QString &a, const QString &b) { return a.toInt() < b.toInt(); });
        for (auto it = versions.crbegin(); it != versions.crend(); ++it)
            if (QFile::exists(root.filePath(*it + QStringLiteral("/bin/initdb"))))
                return root.filePath(*it + QStringLiteral("/bin/"));
        const QString initdb = QStandardPaths::findExecutable(QStringLiteral("initdb"));
        return initdb.isEmpty() ? QString() : QFileInfo(initdb).absolutePath() + QLatin1Char('/');
    }

    // Runs a server program, as postgres when we are root (the server refuses root).
    bool zapustitPg(QStringList args, QString *why)
    {
        QProcess p;
        QString program = m_bin + args.takeFirst();
        if (geteuid() == 0) {
            args.prepend(program);
            args = QStringList{QStringLiteral("-u"), QStringLiteral("postgres"), QStringLiteral("--")} + args;
            program = QStringLiteral("runuser");
        }
        p.start(program, args);
        if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
            if (why)
                *why = QStringLiteral("%1 %2 failed: %3").arg(program, args.join(QLatin1Char(' ')),
                                                            QString::fromLocal8Bit(p.readAllStandardError() + p.readAllStandardOutput()));
            p.kill();
            p.waitForFinished(5000);
            return false;
        }
        return true;
    }

    bool psql(const QStringList &args, QString *why)
    {
        return zapustitPg(QStringList{QStringLiteral("psql"), QStringLiteral("-X"), QStringLiteral("-q"),
                                      QStringLiteral("-v"), QStringLiteral("ON_ERROR_STOP=1"), QStringLiteral("-h"), m_data,
                                      QStringLiteral("-p"), QString::number(m_port), QStringLiteral("-U"),
                                      QStringLiteral("postgres"), QStringLiteral("-d"), QStringLiteral("voter")}
                              + args,
                          why);
    }

    bool start(const QString &folder, QString *why)
    {
        m_bin = bin();
        if (m_bin.isEmpty()) {
            *why = QStringLiteral("PostgreSQL is not installed (no initdb); apt-get install postgresql");
            return false;
        }
        if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QPSQL"))) {
            *why = QStringLiteral("Qt's PostgreSQL driver is missing; apt-get install libqt6sql6-psql");
            return false;
        }
        if (geteuid() == 0 && QStandardPaths::findExecutable(QStringLiteral("runuser")).isEmpty()) {
            *why = QStringLiteral("running as root without runuser: cannot start a server as postgres");
            return false;
        }
        // The server runs as postgres: it must reach its folder through ours.
        m_data = QDir(folder).absolutePath();
        QDir().mkpath(m_data);
        for (QString d = m_data; d != QLatin1String("/") && !d.isEmpty(); d = QFileInfo(d).absolutePath()) {
            if (d.startsWith(QDir::tempPath() + QLatin1Char('/')) || d == m_data)
                QFile::setPermissions(d, QFile::permissions(d) | QFile::ExeOther | QFile::ExeGroup);
        }
        if (geteuid() == 0) {
            QProcess chown;
            chown.start(QStringLiteral("chown"), {QStringLiteral("postgres:"), m_data});
            chown.waitForFinished(10000);
        }
        QTcpServer probe;
        if (!probe.listen(QHostAddress::LocalHost, 0)) {
            *why = QStringLiteral("no free loopback port");
            return false;
        }
        m_port = probe.serverPort();
        probe.close();

        if (!zapustitPg({QStringLiteral("initdb"), QStringLiteral("-D"), m_data, QStringLiteral("-U"), QStringLiteral("postgres"),
                         QStringLiteral("--auth-local=trust"), QStringLiteral("--auth-host=scram-sha-256"),
                         QStringLiteral("-E"), QStringLiteral("UTF8"), QStringLiteral("--locale=C")},
                        why))
            return false;
        const QString options = QStringLiteral("-p %1 -k %2 -c listen_addresses=127.0.0.1 -c fsync=off").arg(m_port).arg(m_data);
        if (!zapustitPg({QStringLiteral("pg_ctl"), QStringLiteral("-D"), m_data, QStringLiteral("-o"), options,
                         QStringLiteral("-l"), m_data + QStringLiteral("/server.log"), QStringLiteral("-w"),
                         QStringLiteral("-t"), QStringLiteral("60"), QStringLiteral("start")},
                        why))
            return false;
        m_started = true;
        QStringList create{QStringLiteral("psql"), QStringLiteral("-X"), QStringLiteral("-q"), QStringLiteral("-h"), m_data,
                           QStringLiteral("-p"), QString::number(m_port), QStringLiteral("-U"), QStringLiteral("postgres"),
                           QStringLiteral("-d"), QStringLiteral("postgres"), QStringLiteral("-c"),
                           QStringLiteral("CREATE DATABASE voter")};
        if (!zapustitPg(create, why))
            return false;
        const QString source = QStringLiteral(VOTER_SOURCE_DIR);
        // psql reads the scripts as postgres: give it copies it can read.
        for (const QString &f : {source + QStringLiteral("/tests/db/pg_zal.sql"),
                                 source + QStringLiteral("/src/db/schema/postgresql-roles.sql")}) {
            const QString copy = m_data + QLatin1Char('/') + QFileInfo(f).fileName();
            QFile::remove(copy);
            if (!QFile::copy(f, copy)) {
                *why = QStringLiteral("cannot copy %1").arg(f);
                return false;
            }
            QFile::setPermissions(copy, QFile::permissions(copy) | QFile::ReadOther);
        }
        if (!psql({QStringLiteral("-f"), m_data + QStringLiteral("/pg_zal.sql")}, why))
            return false;
        // The operators' passwords are given as the script asks; here each is its login.
        QStringList roles;
        for (const char *a : {"admin1", "admin2", "admin3"})
            roles << QStringLiteral("-v") << QStringLiteral("%1_password=%1").arg(QLatin1String(a));
        // Run twice: the second run must find everything in place and change nothing.
        for (int i = 0; i < 2; ++i)
            if (!psql(roles + QStringList{QStringLiteral("-f"), m_data + QStringLiteral("/postgresql-roles.sql")}, why))
                return false;
        return true;
    }

    QString m_bin, m_data;
    int m_port = 0;
    bool m_started = false;
    int m_sessions = 0;
};

}  // namespace pravatest
