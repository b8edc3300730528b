#include "viewer/pdfproverka.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QTimer>

#ifdef Q_OS_UNIX
#include <sys/resource.h>
#endif

namespace {

QString &programmaProverki()
{
    static QString put;
    return put;
}
int g_limitVremeni = TPdfProverka::LimitVremeniMs;
qint64 g_limitPamyati = TPdfProverka::LimitPamyati;

}  // namespace

TPdfProverka::TPdfProverka(QObject *parent) : QObject(parent)
{
    m_taimer = new QTimer(this);
    m_taimer->setSingleShot(true);
    connect(m_taimer, &QTimer::timeout, this, [this] {
        if (!m_process)
            return;
        m_vremyaVyshlo = true;
        m_process->kill();
    });
}

TPdfProverka::~TPdfProverka()
{
    otmenit();
}

QString TPdfProverka::programma()
{
    if (!programmaProverki().isEmpty())
        return programmaProverki();
    QString imya = QStringLiteral("voter-pdf");
#ifdef Q_OS_WIN
    imya += QStringLiteral(".exe");
#endif
    return QDir(QCoreApplication::applicationDirPath()).filePath(imya);
}

void TPdfProverka::setProgramma(const QString &put)
{
    programmaProverki() = put;
}

void TPdfProverka::setLimity(int vremyaMs, qint64 pamyat)
{
    g_limitVremeni = vremyaMs > 0 ? vremyaMs : LimitVremeniMs;
    g_limitPamyati = pamyat > 0 ? pamyat : LimitPamyati;
}

void TPdfProverka::nachat(const QString &put, int shirina)
{
    otmenit();
    m_vremyaVyshlo = false;
    m_stranic = 0;
    m_process = new QProcess(this);
    m_process->setProcessChannelMode(QProcess::SeparateChannels);
    m_process->setStandardInputFile(QProcess::nullDevice());
    m_process->setStandardErrorFile(QProcess::nullDevice());
#ifdef Q_OS_UNIX
    const rlim_t cap = rlim_t(g_limitPamyati);
    // Runs in the child between fork and exec: only async-signal-safe calls.
    m_process->setChildProcessModifier([cap] {
        struct rlimit r;
        r.rlim_cur = cap;
        r.rlim_max = cap;
        setrlimit(RLIMIT_AS, &r);
        // A crash of the checker must not leave a core image of its flooded memory.
        struct rlimit core;
        core.rlim_cur = 0;
        core.rlim_max = 0;
        setrlimit(RLIMIT_CORE, &core);
    });
#endif
    QProcess *p = m_process;
    connect(p, &QProcess::finished, this, [this, p](int kod, QProcess::ExitStatus status) {
        if (p == m_process)
            zavershen(kod, status == QProcess::NormalExit);
    });
    connect(p, &QProcess::errorOccurred, this, [this, p](QProcess::ProcessError e) {
        if (p != m_process || e != QProcess::FailedToStart)
            return;
        m_taimer->stop();
        m_process = nullptr;
        p->deleteLater();
        Q_EMIT gotovo(Itog::NetProgrammy);
    });
    m_taimer->start(g_limitVremeni);
    p->start(programma(), {put, QString::number(shirina)});
}

void TPdfProverka::zavershen(int kod, bool normalno)
{
    m_taimer->stop();
    QProcess *p = m_process;
    m_process = nullptr;
    const QByteArray otvet = p->readAllStandardOutput().trimmed();
    p->deleteLater();

    Itog itog = Itog::Sboi;
    if (m_vremyaVyshlo) {
        itog = Itog::Vremya;
    } else if (normalno && kod == 0 && otvet.startsWith("ok ")) {
        m_stranic = otvet.mid(3).toInt();
        itog = m_stranic > 0 ? Itog::Goden : Itog::Otkazan;
    } else if (normalno && otvet.startsWith("error ")) {
        itog = Itog::Otkazan;
    }
    Q_EMIT gotovo(itog);
}

void TPdfProverka::otmenit()
{
    m_taimer->stop();
    if (!m_process)
        return;
    QProcess *p = m_process;
    m_process = nullptr;
    p->disconnect(this);
    p->kill();
    // Reaping a killed process is immediate; it is not left as a zombie.
    p->waitForFinished(1000);
    delete p;
}

bool TPdfProverka::idet() const
{
    return m_process != nullptr;
}

qint64 TPdfProverka::pid() const
{
    return m_process ? m_process->processId() : 0;
}
