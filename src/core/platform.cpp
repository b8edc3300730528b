#include "core/platform.h"

#include <QEventLoop>
#include <QTimer>

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QProcessEnvironment>
#include <QScreen>
#include <QStyle>
#include <QSysInfo>

#include <cstdlib>
#ifndef Q_OS_WIN
#include <pwd.h>
#include <unistd.h>
#endif

void RealPlatform::endProgram(int exitCode)
{
    // Leave at once: the program ends from inside timer handlers and start-up alike.
    QCoreApplication::processEvents();
    std::exit(exitCode);
}

QString RealPlatform::restartScriptName()
{
#ifdef Q_OS_WIN
    return QStringLiteral("run.bat");
#else
    return QStringLiteral("run.sh");
#endif
}

#ifdef Q_OS_WIN
// Starts a program without a console window of its own (CREATE_NO_WINDOW).
static bool startHidden(const QString &program, const QStringList &arguments)
{
    QProcess p;
    p.setProgram(program);
    p.setArguments(arguments);
    p.setWorkingDirectory(QDir::currentPath());
    p.setCreateProcessArgumentsModifier(
        [](QProcess::CreateProcessArguments *args) { args->flags |= 0x08000000; });
    return p.startDetached();
}
#endif

bool RealPlatform::startRestartScript()
{
    const QString script = QDir::current().absoluteFilePath(restartScriptName());
    if (!QFileInfo::exists(script))
        return false;
#ifdef Q_OS_WIN
    return startHidden(QStringLiteral("cmd.exe"), {QStringLiteral("/c"), script});
#else
    return QProcess::startDetached(QStringLiteral("/bin/sh"), {script}, QDir::currentPath());
#endif
}

bool RealPlatform::powerOff()
{
    if (!m_powerOffCommand.isEmpty())
        return QProcess::startDetached(m_powerOffCommand, {}, QDir::currentPath());
#ifdef Q_OS_WIN
    return startHidden(QStringLiteral("shutdown"),
                       {QStringLiteral("-s"), QStringLiteral("-t"), QStringLiteral("00"), QStringLiteral("-f")});
#else
    return QProcess::startDetached(QStringLiteral("systemctl"), {QStringLiteral("poweroff")});
#endif
}

QString RealPlatform::computerName() const
{
    return QSysInfo::machineHostName();
}

QString RealPlatform::userName() const
{
    const QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    QString u = env.value(QStringLiteral("USERNAME"));
    if (u.isEmpty())
        u = env.value(QStringLiteral("USER"));
    if (u.isEmpty())
        u = env.value(QStringLiteral("LOGNAME"));
#ifndef Q_OS_WIN
    // A kiosk session or a service starts the program without any of them: the account of
    // the process still names the user, so the default login never ends in a bare "\".
    if (u.isEmpty()) {
        if (const passwd *pw = getpwuid(geteuid()))
            u = QString::fromLocal8Bit(pw->pw_name);
    }
#endif
    return u;
}

RealPlatform::RealPlatform()
{
    QStringList a = QCoreApplication::arguments();
    if (!a.isEmpty())
        a.removeFirst();
    a = takeGeometry(a, &m_tile);
    a = takeOption(a, QStringLiteral("status-file"), &m_statusFile);
    a = takeOption(a, QStringLiteral("power-off-command"), &m_powerOffCommand);
    // Relative paths are the program folder's, like the settings file and the restart script.
    for (QString *path : {&m_statusFile, &m_powerOffCommand})
        if (!path->isEmpty())
            *path = QDir(QDir::currentPath()).absoluteFilePath(*path);
    m_arguments = a;
}

QStringList RealPlatform::takeOption(const QStringList &arguments, const QString &name, QString *value)
{
    const QString bare = QStringLiteral("--") + name;
    const QString withValue = bare + QLatin1Char('=');
    QStringList rest;
    for (int i = 0; i < arguments.size(); ++i) {
        if (arguments[i] == bare)
            *value = i + 1 < arguments.size() ? arguments[++i] : QString();
        else if (arguments[i].startsWith(withValue))
            *value = arguments[i].mid(withValue.size());
        else
            rest << arguments[i];
    }
    return rest;
}

QStringList RealPlatform::takeGeometry(const QStringList &arguments, QRect *tile)
{
    static const QRegularExpression form(QStringLiteral("^(\\d+)x(\\d+)\\+(\\d+)\\+(\\d+)$"));
    *tile = QRect();
    QString value;
    const QStringList rest = takeOption(arguments, QStringLiteral("geometry"), &value);
    const QRegularExpressionMatch m = form.match(value);
    if (m.hasMatch() && m.captured(1).toInt() > 0 && m.captured(2).toInt() > 0)
        *tile = QRect(m.captured(3).toInt(), m.captured(4).toInt(), m.captured(1).toInt(), m.captured(2).toInt());
    return rest;
}

QSize RealPlatform::screenSize() const
{
    if (m_tile.isValid())
        return m_tile.size();
    if (QScreen *s = QGuiApplication::primaryScreen())
        return s->geometry().size();
    return QSize(1280, 1024);
}

int RealPlatform::scrollBarWidth() const
{
    return QApplication::style() ? QApplication::style()->pixelMetric(QStyle::PM_ScrollBarExtent) : 17;
}

QString RealPlatform::programPath() const
{
    return QCoreApplication::applicationFilePath();
}

QString RealPlatform::programDir() const
{
    return QCoreApplication::applicationDirPath();
}

QStringList RealPlatform::arguments() const
{
    return m_arguments;
}

bool RealPlatform::unattended() const
{
    return qEnvironmentVariable("VOTER_SERVICE") == QLatin1String("1");
}

void RealPlatform::pauseBeforeRetry()
{
    bool ok = false;
    int seconds = qEnvironmentVariableIntValue("VOTER_RETRY_PAUSE", &ok);
    if (!ok)
        seconds = 5;
    seconds = qBound(1, seconds, 60);
    QEventLoop loop;
    QTimer::singleShot(seconds * 1000, &loop, &QEventLoop::quit);
    loop.exec();
}
