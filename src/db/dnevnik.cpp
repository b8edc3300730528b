#include "db/dnevnik.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QMutex>
#include <QMutexLocker>

#include <cstdio>

Q_LOGGING_CATEGORY(lcDnevnik, "voter.dnevnik", QtInfoMsg)

namespace dnevnik {

namespace {

constexpr qint64 kMaxRazmer = 1024 * 1024;
constexpr int kStaryhFailov = 3;
constexpr qint64 kPovtorMs = 5000;

struct Sostoyanie {
    QMutex mutex;
    QString fail;
    QString login;
    bool journal = false;
    bool ustanovlen = false;
    QtMessageHandler prezhnii = nullptr;
    QString poslednyayaOshibka;
    qint64 poslednyayaMs = 0;
    int povtorov = 0;
};

Sostoyanie &s()
{
    static Sostoyanie st;
    return st;
}

// Under systemd the journal reads stderr and the "<N>" priority prefix of each line.
bool podSystemd()
{
    return !qEnvironmentVariableIsEmpty("INVOCATION_ID") || !qEnvironmentVariableIsEmpty("JOURNAL_STREAM");
}

void povernut(const QString &fail)
{
    QFileInfo fi(fail);
    if (!fi.exists() || fi.size() < kMaxRazmer)
        return;
    QFile::remove(fail + QStringLiteral(".%1").arg(kStaryhFailov));
    for (int i = kStaryhFailov - 1; i >= 1; --i)
        QFile::rename(fail + QStringLiteral(".%1").arg(i), fail + QStringLiteral(".%1").arg(i + 1));
    QFile::rename(fail, fail + QStringLiteral(".1"));
}

void zapisat(QtMsgType type, const QString &tekst)
{
    Sostoyanie &st = s();
    const char *uroven = "INFO";
    int prioritet = 6;
    switch (type) {
    case QtWarningMsg: uroven = "WARNING"; prioritet = 4; break;
    case QtCriticalMsg: uroven = "ERROR"; prioritet = 3; break;
    case QtFatalMsg: uroven = "FATAL"; prioritet = 2; break;
    case QtDebugMsg: uroven = "DEBUG"; prioritet = 7; break;
    default: break;
    }
    const QString login = st.login.isEmpty() ? QStringLiteral("-") : st.login;
    QString odna = tekst;
    odna.replace(QLatin1Char('\n'), QLatin1Char(' ')).replace(QLatin1Char('\r'), QLatin1Char(' '));
    if (st.journal) {
        const QByteArray line = QStringLiteral("<%1>[%2] %3: %4\n").arg(prioritet).arg(login, QLatin1String(uroven), odna).toUtf8();
        std::fwrite(line.constData(), 1, size_t(line.size()), stderr);
        std::fflush(stderr);
        return;
    }
    if (st.fail.isEmpty())
        return;
    povernut(st.fail);
    QFile f(st.fail);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Append))
        return;
    const QString vremya = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz"));
    f.write(QStringLiteral("%1 [%2] %3 pid %4: %5\n")
                .arg(vremya, login, QLatin1String(uroven))
                .arg(QCoreApplication::applicationPid())
                .arg(odna)
                .toUtf8());
}

void obrabotchik(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    Sostoyanie &st = s();
    {
        QMutexLocker lock(&st.mutex);
        // Debug chatter stays out of the log; everything else goes in.
        if (type != QtDebugMsg)
            zapisat(type, message);
    }
    // Still shown on the terminal as before (the journal has it already).
    if (st.prezhnii && !st.journal)
        st.prezhnii(type, context, message);
}

}  // namespace

void ustanovit(const QString &failNastroek)
{
    Sostoyanie &st = s();
    {
        QMutexLocker lock(&st.mutex);
        st.journal = podSystemd();
        QString f = failNastroek;
        if (f.endsWith(QLatin1String(".ini"), Qt::CaseInsensitive))
            f.chop(4);
        st.fail = st.journal ? QString() : f + QStringLiteral(".log");
        if (!st.ustanovlen) {
            st.prezhnii = qInstallMessageHandler(obrabotchik);
            st.ustanovlen = true;
        }
    }
}

void setLogin(const QString &login)
{
    QMutexLocker lock(&s().mutex);
    s().login = login;
}

QString fail()
{
    QMutexLocker lock(&s().mutex);
    return s().fail;
}

// Only a workstation that set up its log writes these lines (tests hold many workstations
// in one process and keep their output for their own checks).
bool aktiven()
{
    QMutexLocker lock(&s().mutex);
    return s().ustanovlen;
}

void oshibka(const QString &tekst, int nativeError)
{
    if (!aktiven())
        return;
    Sostoyanie &st = s();
    const qint64 seichas = QDateTime::currentMSecsSinceEpoch();
    int bylo = 0;
    {
        QMutexLocker lock(&st.mutex);
        if (tekst == st.poslednyayaOshibka && seichas - st.poslednyayaMs < kPovtorMs) {
            ++st.povtorov;
            return;
        }
        bylo = st.povtorov;
        st.povtorov = 0;
        st.poslednyayaOshibka = tekst;
        st.poslednyayaMs = seichas;
    }
    if (bylo > 0)
        qCCritical(lcDnevnik, "the previous error was repeated %d more times", bylo);
    qCCritical(lcDnevnik, "database error %d: %s", nativeError, qUtf8Printable(tekst));
}

void soobshenie(const QString &zagolovok, const QString &tekst)
{
    if (!aktiven())
        return;
    qCWarning(lcDnevnik, "message shown: %s: %s", qUtf8Printable(zagolovok), qUtf8Printable(tekst));
}

void konec(int kod, const QString &prichina)
{
    if (!aktiven())
        return;
    if (kod != 0)
        qCCritical(lcDnevnik, "program ends with code %d: %s", kod, qUtf8Printable(prichina));
    else
        qCInfo(lcDnevnik, "program ends: %s", qUtf8Printable(prichina));
}

void perezapusk(const QString &prichina)
{
    if (!aktiven())
        return;
    qCWarning(lcDnevnik, "restart through the restart script: %s", qUtf8Printable(prichina));
}

void start(const QString &versiya)
{
    if (!aktiven())
        return;
    qCInfo(lcDnevnik, "program starts, version %s", qUtf8Printable(versiya));
}

void rezhim(int nomer, int param1, int param2)
{
    if (!aktiven())
        return;
    qCInfo(lcDnevnik, "mode %d (param1 %d, param2 %d) acted on", nomer, param1, param2);
}

}  // namespace dnevnik
