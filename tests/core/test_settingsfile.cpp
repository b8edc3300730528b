// The settings file and the status file on a disk that fills up, and on a terminal's flash
// disk: a good file is never replaced by a worse one, and nothing is written while nothing
// changes.
#include "core/sostoyanie.h"
#include "db/inifile.h"
#include "support/workstation.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

namespace {

qulonglong inode(const QString &path)
{
    struct stat st;
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? qulonglong(st.st_ino) : 0;
}

QByteArray contents(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A small tmpfs of the test's own, unmounted when it goes.
class SmallDisk {
public:
    SmallDisk()
    {
        if (!m_dir.isValid())
            return;
        const int rc = QProcess::execute(QStringLiteral("mount"), {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                                                                  QStringLiteral("size=256k"), QStringLiteral("tmpfs"), m_dir.path()});
        m_mounted = rc == 0;
    }
    ~SmallDisk()
    {
        if (m_mounted)
            QProcess::execute(QStringLiteral("umount"), {m_dir.path()});
    }
    bool mounted() const { return m_mounted; }
    QString path(const QString &name) const { return QDir(m_dir.path()).filePath(name); }
    // Writes a filler file until the disk takes no more.
    bool fill()
    {
        QFile f(path(QStringLiteral("filler")));
        if (!f.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            return false;
        const QByteArray block(4096, 'x');
        for (int i = 0; i < 1024; ++i)
            if (f.write(block) != block.size())
                return true;
        return false;
    }
    void makeRoom() { QFile::remove(path(QStringLiteral("filler"))); }

private:
    QTemporaryDir m_dir;
    bool m_mounted = false;
};

}  // namespace

class TestSettingsFile : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void fullDiskKeepsTheGoodFiles();
    void unchangedValuesAreNotWritten();
    void idleTerminalLeavesItsSettingsFileAlone();
};

void TestSettingsFile::fullDiskKeepsTheGoodFiles()
{
    SmallDisk disk;
    if (!disk.mounted())
        QSKIP("no tmpfs can be mounted here (the test needs root)");
    const QString ini = disk.path(QStringLiteral("voter.ini"));
    QVERIFY(iniWrite(ini, QStringLiteral("Podkluchenie"), QStringLiteral("Server"), QStringLiteral("embedded")));
    QVERIFY(iniWrite(ini, QStringLiteral("Podkluchenie"), QStringLiteral("Login"), QStringLiteral("07")));
    FailSostoyaniya status;
    status.setPut(disk.path(QStringLiteral("status.txt")));
    QVERIFY(status.zapisat(QStringLiteral("stage=running\nmode=-1,0\n")));
    const QByteArray goodIni = contents(ini);
    const QByteArray goodStatus = contents(disk.path(QStringLiteral("status.txt")));

    QVERIFY(disk.fill());
    const QString longValue(8192, QLatin1Char('v'));  // more than a page: cannot fit anywhere
    QVERIFY(!iniWrite(ini, QStringLiteral("Golosovanie"), QStringLiteral("Vremya"), longValue));
    QVERIFY(!iniWrite(ini, QStringLiteral("Restart"), QStringLiteral("Zapret"), QStringLiteral("1")));
    QCOMPARE(contents(ini), goodIni);
    QCOMPARE(iniRead(ini, QStringLiteral("Podkluchenie"), QStringLiteral("Login")), QStringLiteral("07"));
    QVERIFY(!status.zapisat(QStringLiteral("stage=running\nmode=2,5\n") + longValue));
    QCOMPARE(contents(disk.path(QStringLiteral("status.txt"))), goodStatus);
    // No side file is left behind to eat what little room there is.
    QCOMPARE(QDir(disk.path(QString())).entryList(QDir::Files | QDir::Hidden).size(), 3);

    // Room again: the same writes go through, and the failed status is not taken as written.
    disk.makeRoom();
    QVERIFY(iniWrite(ini, QStringLiteral("Restart"), QStringLiteral("Zapret"), QStringLiteral("1")));
    QCOMPARE(iniRead(ini, QStringLiteral("Restart"), QStringLiteral("Zapret")), QStringLiteral("1"));
    QVERIFY(status.zapisat(QStringLiteral("stage=running\nmode=2,5\n")));
    QCOMPARE(contents(disk.path(QStringLiteral("status.txt"))), QByteArray("stage=running\nmode=2,5\n"));
}

void TestSettingsFile::unchangedValuesAreNotWritten()
{
    QTemporaryDir dir;
    const QString ini = QDir(dir.path()).filePath(QStringLiteral("voter.ini"));
    QVERIFY(iniWrite(ini, QStringLiteral("Restart"), QStringLiteral("Zapret"), QStringLiteral("0")));
    const qulonglong first = inode(ini);
    QVERIFY(first != 0);
    for (int i = 0; i < 5; ++i)
        QVERIFY(iniWrite(ini, QStringLiteral("Restart"), QStringLiteral("Zapret"), QStringLiteral(" 0 ")));
    QCOMPARE(inode(ini), first);  // every real write replaces the file, and none happened
    QVERIFY(iniWrite(ini, QStringLiteral("Restart"), QStringLiteral("Zapret"), QStringLiteral("1")));
    QVERIFY(inode(ini) != first);
    QCOMPARE(iniRead(ini, QStringLiteral("Restart"), QStringLiteral("Zapret")), QStringLiteral("1"));
}

void TestSettingsFile::idleTerminalLeavesItsSettingsFileAlone()
{
    TestHall hall;
    QVERIFY2(hall.ok(), qPrintable(hall.error()));
    QVERIFY(hall.activateItem(2));
    QVERIFY(hall.setMode(-1, 0, 0));
    Workstation &seat = hall.start(QStringLiteral("07"));
    QVERIFY(seat.started());
    seat.second();
    QCOMPARE(seat.setting(QStringLiteral("Restart"), QStringLiteral("Zapret")), QStringLiteral("0"));
    const qulonglong before = inode(seat.settingsPath());
    QVERIFY(before != 0);
    seat.second(5);  // five idle seconds, the guard re-armed on each
    QVERIFY(!seat.ended());
    QCOMPARE(inode(seat.settingsPath()), before);
    // A restart command still writes its guard.
    QVERIFY(hall.setMode(-7, 10, 0));
    seat.clock();
    QCOMPARE(seat.setting(QStringLiteral("Restart"), QStringLiteral("Zapret")), QStringLiteral("1"));
}

QTEST_MAIN(TestSettingsFile)
#include "test_settingsfile.moc"
