#include "hallsim/zal.h"

#include "db/inifile.h"

#include <QCoreApplication>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcessEnvironment>
#include <QThread>

#include <csignal>
#include <sys/types.h>
#include <unistd.h>

namespace hallsim {

bool zhiv(qint64 pid)
{
    if (pid <= 0 || ::kill(static_cast<pid_t>(pid), 0) != 0)
        return false;
    // A zombie is dead for our purposes.
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return false;
    const QByteArray s = stat.readAll();
    const int p = s.lastIndexOf(')');
    return p < 0 || s.mid(p + 2, 1) != "Z";
}

Zatraty zatraty(qint64 pid)
{
    Zatraty z;
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return z;
    const QByteArray s = stat.readAll();
    const int p = s.lastIndexOf(')');
    // After the command name: state is field 3; utime and stime are fields 14 and 15.
    const QList<QByteArray> f = s.mid(p + 2).split(' ');
    if (f.size() > 12) {
        const double tik = static_cast<double>(sysconf(_SC_CLK_TCK));
        z.cpu = (f[11].toLongLong() + f[12].toLongLong()) / tik;
        z.zhiv = f[0] != "Z";
    }
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray &line : status.readAll().split('\n'))
            if (line.startsWith("VmHWM:"))
                z.pikKb = line.mid(6).trimmed().split(' ').value(0).toLongLong();
    }
    return z;
}

bool zhdatUsloviya(const std::function<bool()> &uslovie, int ms, const std::function<void()> &kazhdyiRaz)
{
    QElapsedTimer t;
    t.start();
    for (;;) {
        if (kazhdyiRaz)
            kazhdyiRaz();
        if (uslovie())
            return true;
        if (t.elapsed() >= ms)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(40);
    }
}

namespace {

bool zhestkayaSsylka(const QString &iz, const QString &v)
{
    if (::link(QFile::encodeName(iz).constData(), QFile::encodeName(v).constData()) == 0)
        return true;
    return QFile::copy(iz, v);  // another file system: a copy does as well
}

// Processes whose current folder lies inside the hall.
QVector<qint64> processyZala(const QString &koren)
{
    QVector<qint64> out;
    const QString prefix = QFileInfo(koren).canonicalFilePath() + QLatin1Char('/');
    const QStringList pids = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &p : pids) {
        bool ok = false;
        const qint64 pid = p.toLongLong(&ok);
        if (!ok || pid == QCoreApplication::applicationPid())
            continue;
        const QString cwd = QFileInfo(QStringLiteral("/proc/%1/cwd").arg(p)).symLinkTarget();
        if (!(cwd + QLatin1Char('/')).startsWith(prefix))
            continue;
        // Only the hall's own programs and restart scripts, never a shell someone opened there.
        QString exe = QFileInfo(QFileInfo(QStringLiteral("/proc/%1/exe").arg(p)).symLinkTarget()).fileName();
        exe.remove(QLatin1String(" (deleted)"));  // a program rebuilt while it runs
        QFile cmd(QStringLiteral("/proc/%1/cmdline").arg(p));
        const QByteArray cmdline = cmd.open(QIODevice::ReadOnly) ? cmd.readAll() : QByteArray();
        if (exe == QLatin1String("voter") || exe == QLatin1String("voter-sql") || cmdline.contains("run.sh"))
            out << pid;
    }
    return out;
}

}  // namespace

bool Zal::podgotovit(const QString &koren, const QString &bin, const QStringList &loginy, QString *oshibka)
{
    // Whatever an earlier run left behind (a test that crashed) goes first.
    if (QFileInfo::exists(koren)) {
        for (int i = 0; i < 3; ++i) {
            const QVector<qint64> ostalis = processyZala(koren);
            if (ostalis.isEmpty())
                break;
            for (qint64 pid : ostalis)
                ::kill(static_cast<pid_t>(pid), SIGKILL);
            QThread::msleep(200);
        }
    }
    QDir(koren).removeRecursively();
    if (!QDir().mkpath(koren)) {
        *oshibka = QStringLiteral("cannot create ") + koren;
        return false;
    }
    m_koren = QDir(koren);
    m_bin = bin;
    m_loginy = loginy;

    for (const char *k : {"", "-wal", "-shm"})
        QFile::remove(baza() + QLatin1String(k));
    QProcess init;
    init.setProcessChannelMode(QProcess::MergedChannels);
    if (m_server.isEmpty())
        init.start(QDir(bin).filePath(QStringLiteral("voter-sql")),
                   {QStringLiteral("-S"), server(), QStringLiteral("--init"), QStringLiteral("--demo")});
    else
        init.start(QDir(bin).filePath(QStringLiteral("voter-sql")),
                   {QStringLiteral("-S"), m_server, QStringLiteral("-d"), m_basa, QStringLiteral("-U"), QStringLiteral("admin1"),
                    QStringLiteral("-P"), QStringLiteral("admin1"), QStringLiteral("--demo")});
    if (!init.waitForFinished(60000) || init.exitCode() != 0) {
        *oshibka = QStringLiteral("voter-sql --init --demo: ") + QString::fromUtf8(init.readAll());
        return false;
    }

    const QString dubler = m_koren.filePath(QStringLiteral("poweroff.sh"));
    QFile d(dubler);
    if (!d.open(QIODevice::WriteOnly))
        return false;
    d.write(QStringLiteral("#!/bin/sh\n# Stands in for the computer's power-off: notes who asked.\nbasename \"$PWD\" >> '%1'\n")
                .arg(m_koren.filePath(QStringLiteral("poweroff.log")))
                .toUtf8());
    d.close();
    d.setPermissions(d.permissions() | QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther);

    for (const QString &login : loginy) {
        const QDir p(papka(login));
        QDir().mkpath(p.path());
        for (const char *f : {"voter", "voter-sql"}) {
            if (!zhestkayaSsylka(QDir(bin).filePath(QLatin1String(f)), p.filePath(QLatin1String(f)))) {
                *oshibka = QStringLiteral("cannot link ") + QLatin1String(f);
                return false;
            }
        }
        if (!QFile::copy(QDir(bin).filePath(QStringLiteral("run.sh")), p.filePath(QStringLiteral("run.sh")))) {
            *oshibka = QStringLiteral("no run.sh in ") + bin;
            return false;
        }
        const QString ini = settingsPathFor(p.filePath(QStringLiteral("voter")));
        iniWrite(ini, QStringLiteral("Podkluchenie"), QStringLiteral("Server"), server(login));
        iniWrite(ini, QStringLiteral("Podkluchenie"), QStringLiteral("Basa"), m_basa);
        iniWrite(ini, QStringLiteral("Podkluchenie"), QStringLiteral("Login"), loginPapki(login));
    }
    return true;
}

void Zal::naServere(const QString &server, const QString &basa)
{
    m_server = server;
    m_basa = basa;
}

void Zal::vSeti(const QString &login, const QString &netns, const QString &server)
{
    m_netns.insert(login, netns);
    m_serverMesta.insert(login, server);
}

QString Zal::server(const QString &login) const
{
    if (m_serverMesta.contains(login))
        return m_serverMesta.value(login);
    return m_server.isEmpty() ? QStringLiteral("sqlite:") + baza() : m_server;
}

Zal::~Zal()
{
    ostanovitVse();
}

QStringList Zal::vyklyucheniya() const
{
    QFile f(m_koren.filePath(QStringLiteral("poweroff.log")));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

bool Zal::zapustit(const QString &login, const QString &optsii)
{
    auto p = std::make_shared<QProcess>();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("VOTER_OPTIONS"),
               QStringLiteral("--status-file=status --power-off-command=%1 %2")
                   .arg(m_koren.filePath(QStringLiteral("poweroff.sh")), optsii));
    env.insert(QStringLiteral("VOTER_RESTART_PAUSE"), QStringLiteral("1"));
    p->setProcessEnvironment(env);
    p->setWorkingDirectory(papka(login));
    p->setStandardOutputFile(QDir(papka(login)).filePath(QStringLiteral("service.log")), QIODevice::Append);
    p->setStandardErrorFile(QDir(papka(login)).filePath(QStringLiteral("service.log")), QIODevice::Append);
    if (login.startsWith(QLatin1String("admin")) && m_konsolPodSluzhboi) {
        p->start(QStringLiteral("/bin/sh"), {QStringLiteral("run.sh"), QStringLiteral("--service"),
                                             QStringLiteral("sqlite:") + baza(), QStringLiteral("hall"), login});
    } else if (login.startsWith(QLatin1String("admin"))) {
        // The operator starts the console by hand (an operator's password is typed, never
        // saved); the restart command does not touch it, so it runs without the service.
        QStringList args{QStringLiteral("--status-file=status"),
                         QStringLiteral("--power-off-command=") + m_koren.filePath(QStringLiteral("poweroff.sh"))};
        args << optsii.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        args << QStringLiteral("auto") << server(login) << m_basa << login;
        QString program = QDir(papka(login)).filePath(QStringLiteral("voter"));
        if (m_netns.contains(login)) {
            args = QStringList{QStringLiteral("netns"), QStringLiteral("exec"), m_netns.value(login), program} + args;
            program = QStringLiteral("ip");
        }
        p->start(program, args);
    } else if (m_netns.contains(login)) {
        // The service and every program it starts live in the workstation's namespace.
        p->start(QStringLiteral("ip"), {QStringLiteral("netns"), QStringLiteral("exec"), m_netns.value(login), QStringLiteral("/bin/sh"),
                                        QStringLiteral("run.sh"), QStringLiteral("--service")});
    } else {
        p->start(QStringLiteral("/bin/sh"), {QStringLiteral("run.sh"), QStringLiteral("--service")});
    }
    if (!p->waitForStarted(5000))
        return false;
    m_sluzhby.insert(login, p);
    return true;
}

void Zal::zapustitVse()
{
    for (const QString &login : m_loginy)
        zapustit(login);
}

bool Zal::sluzhbaIdet(const QString &login) const
{
    const auto p = m_sluzhby.value(login);
    return p && p->state() != QProcess::NotRunning;
}

Sostoyanie Zal::sostoyanie(const QString &login) const
{
    Sostoyanie s;
    QFile f(QDir(papka(login)).filePath(QStringLiteral("status")));
    if (!f.open(QIODevice::ReadOnly))
        return s;
    for (const QString &line : QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const int eq = line.indexOf(QLatin1Char('='));
        if (eq > 0)
            s.pole.insert(line.left(eq), line.mid(eq + 1));
    }
    return s;
}

QMap<QString, Sostoyanie> Zal::vse() const
{
    QMap<QString, Sostoyanie> out;
    for (const QString &login : m_loginy)
        out.insert(login, sostoyanie(login));
    return out;
}

bool Zal::ubit(const QString &login)
{
    const qint64 pid = sostoyanie(login).pid();
    return zhiv(pid) && ::kill(static_cast<pid_t>(pid), SIGKILL) == 0;
}

void Zal::ostanovitVse()
{
    if (m_koren.path().isEmpty() || m_koren.path() == QLatin1String("."))
        return;
    // Services first, so nothing is brought back; then whatever still runs in the hall.
    for (auto &p : m_sluzhby)
        if (p->state() != QProcess::NotRunning)
            ::kill(static_cast<pid_t>(p->processId()), SIGKILL);
    for (int i = 0; i < 3; ++i) {
        const QVector<qint64> ostalis = processyZala(m_koren.path());
        if (ostalis.isEmpty())
            break;
        for (qint64 pid : ostalis)
            ::kill(static_cast<pid_t>(pid), SIGKILL);
        QThread::msleep(200);
    }
    for (auto &p : m_sluzhby)
        p->waitForFinished(2000);
    m_sluzhby.clear();
}

}  // namespace hallsim
