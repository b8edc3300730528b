#include "hallsim/sboi.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSqlError>
#include <QSqlQuery>

#include <unistd.h>

namespace hallsim {

Sboi::Sboi(QSqlDatabase db, const QString &fail) : m_db(db), m_fail(fail) {}

Sboi::~Sboi()
{
    otpustit();
    snyatVse();
    tolkoChtenie(false);
}

bool Sboi::vyp(const QString &sql)
{
    QSqlQuery q(m_db);
    if (q.exec(sql))
        return true;
    m_oshibka = q.lastError().text() + QStringLiteral(" in ") + sql;
    return false;
}

bool Sboi::zapretit(const QString &tablica, const QString &vid, const QString &uslovie, const QString &tekst)
{
    const QString imya = QStringLiteral("sboi_%1_%2").arg(tablica).arg(++m_n);
    QString t = tekst;
    t.replace(QLatin1Char('\''), QLatin1String("''"));
    const QString kogda = uslovie.isEmpty() ? QString() : QStringLiteral(" WHEN ") + uslovie;
    if (!vyp(QStringLiteral("CREATE TRIGGER %1 BEFORE %2 ON %3%4 BEGIN SELECT RAISE(ABORT, '%5'); END")
                 .arg(imya, vid, tablica, kogda, t)))
        return false;
    m_triggery << imya;
    return true;
}

bool Sboi::spryatat(const QString &tablica)
{
    if (!vyp(QStringLiteral("ALTER TABLE %1 RENAME TO %1_sboi").arg(tablica)))
        return false;
    m_spryatany << tablica;
    return true;
}

bool Sboi::snyatVse()
{
    bool ok = true;
    for (const QString &t : std::as_const(m_triggery))
        ok = vyp(QStringLiteral("DROP TRIGGER IF EXISTS ") + t) && ok;
    m_triggery.clear();
    for (const QString &t : std::as_const(m_spryatany))
        ok = vyp(QStringLiteral("ALTER TABLE %1_sboi RENAME TO %1").arg(t)) && ok;
    m_spryatany.clear();
    return ok;
}

bool Sboi::zaperet()
{
    if (!m_zamok.isEmpty())
        return true;
    const QString imya = QStringLiteral("sboi_zamok");
    {
        QSqlDatabase z = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), imya);
        z.setDatabaseName(m_fail);
        z.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=10000"));
        QSqlQuery q(z);
        if (!z.open() || !q.exec(QStringLiteral("BEGIN EXCLUSIVE"))) {
            m_oshibka = QStringLiteral("BEGIN EXCLUSIVE: ") + (z.isOpen() ? q.lastError().text() : z.lastError().text());
            z.close();
            z = QSqlDatabase();
            QSqlDatabase::removeDatabase(imya);
            return false;
        }
    }
    m_zamok = imya;
    return true;
}

bool Sboi::otpustit()
{
    if (m_zamok.isEmpty())
        return true;
    bool ok = false;
    {
        QSqlDatabase z = QSqlDatabase::database(m_zamok, false);
        QSqlQuery q(z);
        ok = q.exec(QStringLiteral("ROLLBACK"));
        q.finish();
        z.close();
    }
    QSqlDatabase::removeDatabase(m_zamok);
    m_zamok.clear();
    return ok;
}

namespace {

bool komanda(const QString &programma, const QStringList &argumenty, QString *vyvod)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(programma, argumenty);
    const bool ok = p.waitForFinished(10000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    *vyvod = QString::fromLocal8Bit(p.readAll()).trimmed() + p.errorString();
    return ok;
}

}  // namespace

bool Sboi::tolkoChtenie(bool da)
{
    if (da == m_tolkoChtenie)
        return true;
    QString vyvod;
    if (::geteuid() == 0) {
        // Permissions do not stop root: the file is covered by a read-only view of itself.
        if (da) {
            if (!komanda(QStringLiteral("mount"), {QStringLiteral("--bind"), m_fail, m_fail}, &vyvod)
                || !komanda(QStringLiteral("mount"),
                            {QStringLiteral("-o"), QStringLiteral("remount,bind,ro"), m_fail}, &vyvod)) {
                komanda(QStringLiteral("umount"), {m_fail}, &vyvod);
                m_oshibka = QStringLiteral("read-only bind mount: ") + vyvod;
                return false;
            }
        } else if (!komanda(QStringLiteral("umount"), {m_fail}, &vyvod)) {
            m_oshibka = QStringLiteral("umount: ") + vyvod;
            return false;
        }
    } else {
        const QFile::Permissions chtenie = QFile::ReadOwner | QFile::ReadUser | QFile::ReadGroup | QFile::ReadOther;
        if (!QFile::setPermissions(m_fail, da ? chtenie : (chtenie | QFile::WriteOwner | QFile::WriteUser))) {
            m_oshibka = QStringLiteral("chmod ") + m_fail;
            return false;
        }
    }
    m_tolkoChtenie = da;
    return true;
}

// ---- A small disk -------------------------------------------------------------------------------

MalyiDisk::~MalyiDisk()
{
    razmontirovat();
}

bool MalyiDisk::smontirovat(const QString &papka, int megabait, QString *prichina)
{
    QDir().mkpath(papka);
    QProcess m;
    m.setProcessChannelMode(QProcess::MergedChannels);
    m.start(QStringLiteral("mount"), {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                                      QStringLiteral("size=%1m").arg(megabait), QStringLiteral("tmpfs"), papka});
    if (!m.waitForFinished(10000) || m.exitStatus() != QProcess::NormalExit || m.exitCode() != 0) {
        *prichina = QStringLiteral("cannot mount a small tmpfs here (needs root or CAP_SYS_ADMIN): ")
                    + QString::fromLocal8Bit(m.readAll()).trimmed() + m.errorString();
        return false;
    }
    m_papka = papka;
    return true;
}

bool MalyiDisk::zapolnit()
{
    if (m_papka.isEmpty())
        return false;
    QFile f(QDir(m_papka).filePath(QStringLiteral("zapolnitel")));
    if (!f.open(QIODevice::WriteOnly | QIODevice::Append))
        return false;
    const QByteArray kusok(64 * 1024, '\0');
    // Until the disk refuses; bounded by the disk's own size.
    for (int i = 0; i < 64 * 1024; ++i)
        if (f.write(kusok) != kusok.size() || !f.flush())
            break;
    // The last bytes a short write may have left.
    const QByteArray bait(512, '\0');
    for (int i = 0; i < 256; ++i)
        if (f.write(bait) != bait.size() || !f.flush())
            break;
    f.close();
    return true;
}

void MalyiDisk::osvobodit()
{
    if (!m_papka.isEmpty())
        QFile::remove(QDir(m_papka).filePath(QStringLiteral("zapolnitel")));
}

void MalyiDisk::razmontirovat()
{
    if (m_papka.isEmpty())
        return;
    QProcess::execute(QStringLiteral("umount"), {QStringLiteral("-l"), m_papka});
    m_papka.clear();
}

}  // namespace hallsim
