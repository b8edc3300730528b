// The embedded database's files are touched by the engine alone: a file dialog on the program
// folder, with another workstation process writing the same database, loses no committed row;
// the database lives in the program's data folder, an older installation's file is found and
// moved only while nobody has it open; the document store never copies a database file.
#include "core/dialogs.h"
#include "db/connection.h"
#include "db/dbfiles.h"
#include "db/schema.h"
#include "db/docstore.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

namespace {

QString voterSql()
{
    return QDir(qEnvironmentVariable("VOTER_BINARY_DIR", QStringLiteral(VOTER_BINARY_DIR))).filePath(QStringLiteral("voter-sql"));
}

// Runs voter-sql on the database file as another workstation would; its stdout, or a null
// text when it failed.
QString otherProcess(const QString &dbPath, const QString &sql)
{
    QProcess p;
    p.start(voterSql(), {QStringLiteral("-S"), QStringLiteral("sqlite:") + dbPath, QStringLiteral("-U"),
                         QStringLiteral("admin1"), QStringLiteral("--tsv"), sql});
    if (!p.waitForFinished(30000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        p.kill();
        p.waitForFinished(1000);
        return QString();
    }
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}

ConnectionParams embedded(const QString &path)
{
    return ConnectionParams{QStringLiteral("embedded"), path, QStringLiteral("admin1"), QStringLiteral("admin1")};
}

// Opens the real file dialog as the editors do (no folder given), lets it list its folder and
// fetch its icons for a while, then cancels it.
void browseAndCancel(Dialogs &dialogs, bool save)
{
    bool seen = false;
    QTimer poke;
    QElapsedTimer open;
    poke.setInterval(50);
    QObject::connect(&poke, &QTimer::timeout, [&] {
        auto *dlg = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        if (!dlg)
            return;
        if (!seen) {
            seen = true;
            open.start();
            dlg->setViewMode(QFileDialog::Detail);  // the type column asks for every file's type
        }
        if (open.elapsed() > 1500)
            dlg->reject();
    });
    poke.start();
    const QString chosen = save ? dialogs.saveFileName(nullptr, QStringLiteral("Сохранить как"), QString(), QStringLiteral("RTF (*.rtf)"))
                                : dialogs.openFileName(nullptr, QString(), QString(), QStringLiteral("PDF (*.pdf)"));
    poke.stop();
    QVERIFY(seen);
    QVERIFY(chosen.isEmpty());
}

}  // namespace

class TestDbFiles : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void fileDialogsBesideARunningHallLoseNoWrite_data();
    void fileDialogsBesideARunningHallLoseNoWrite();
    void databaseLivesInTheDataFolder();
    void olderInstallationIsFoundAndMovedOnlyWhenClosed();
    void databaseFilesAreKnownWithoutOpeningThem();
};

void TestDbFiles::fileDialogsBesideARunningHallLoseNoWrite_data()
{
    QTest::addColumn<bool>("save");
    QTest::newRow("document open dialog") << false;
    QTest::newRow("protocol save dialog") << true;
}

void TestDbFiles::fileDialogsBesideARunningHallLoseNoWrite()
{
    QFETCH(bool, save);
    if (!QFileInfo(voterSql()).isExecutable())
        QSKIP("voter-sql is not built");
    QTemporaryDir program;
    QVERIFY(program.isValid());
    const QString path = DbConnection::embeddedFilePath(embedded(QStringLiteral("voter")), program.path());
    QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
    QString problem;
    QVERIFY2(schema::createEmbedded(path, &problem), qPrintable(problem));

    // The workstation runs from its program folder, as its restart script starts it.
    const QString before = QDir::currentPath();
    QVERIFY(QDir::setCurrent(program.path()));
    auto back = qScopeGuard([&] { QDir::setCurrent(before); });

    DbConnection console;
    QVERIFY2(console.open(embedded(path)), qPrintable(console.firstErrorText()));
    QVERIFY(console.exec(QStringLiteral("INSERT INTO deputat (familia) VALUES ('console-1')")));
    QVERIFY(!otherProcess(path, QStringLiteral("SELECT count(*) FROM deputat")).isNull());

    QtDialogs dialogs;
    browseAndCancel(dialogs, save);

    // Another workstation writes and leaves; were the console's locks gone, it would take
    // itself for the last user, checkpoint and delete the WAL the console still writes into.
    QCOMPARE(otherProcess(path, QStringLiteral("INSERT INTO deputat (familia) VALUES ('other')")), QString());
    QVERIFY(console.exec(QStringLiteral("INSERT INTO deputat (familia) VALUES ('console-2')")));
    QVERIFY(console.exec(QStringLiteral("UPDATE deputat SET imya = 'seen' WHERE familia = 'console-1'")));

    // A third process sees every committed row while the console is still connected...
    QCOMPARE(otherProcess(path, QStringLiteral("SELECT familia + ':' + ISNULL(imya, '') FROM deputat WHERE familia IN "
                                               "('console-1','other','console-2') ORDER BY id")),
             QStringLiteral("console-1:seen\nother:\nconsole-2:"));
    // ...and after it has gone.
    console.close();
    QCOMPARE(otherProcess(path, QStringLiteral("SELECT count(*) FROM deputat WHERE familia IN ('console-1','other','console-2')")),
             QStringLiteral("3"));
}

void TestDbFiles::databaseLivesInTheDataFolder()
{
    QTemporaryDir program;
    const QDir dir(program.path());
    auto at = [&](const QString &server, const QString &database) {
        return DbConnection::embeddedFilePath(ConnectionParams{server, database, QString(), QString()}, program.path());
    };
    QCOMPARE(at(QStringLiteral("embedded"), QStringLiteral("voter")), dir.filePath(QStringLiteral("data/voter.db")));
    QCOMPARE(at(QString(), QString()), dir.filePath(QStringLiteral("data/voter.db")));
    QCOMPARE(at(QStringLiteral("local"), QStringLiteral("hall.sqlite")), dir.filePath(QStringLiteral("data/hall.sqlite")));
    // Paths given in full are the operator's choice and stay as they are.
    QCOMPARE(at(QStringLiteral("embedded"), QStringLiteral("/srv/hall/voter.db")), QStringLiteral("/srv/hall/voter.db"));
    QCOMPARE(at(QStringLiteral("sqlite:/srv/hall/x.db"), QStringLiteral("voter")), QStringLiteral("/srv/hall/x.db"));

    // The dialogs never start in the program folder or in the data folder.
    QVERIFY(QDir::setCurrent(program.path()));
    const QString start = QtDialogs::startFolder(QString());
    QDir::setCurrent(QDir::tempPath());
    QVERIFY2(QDir(start) != dir && !start.startsWith(dir.filePath(QStringLiteral("data"))), qPrintable(start));
    QCOMPARE(QtDialogs::startFolder(QStringLiteral("/srv/docs")), QStringLiteral("/srv/docs"));
}

void TestDbFiles::olderInstallationIsFoundAndMovedOnlyWhenClosed()
{
    QTemporaryDir program;
    const QDir dir(program.path());
    const QString legacy = dir.filePath(QStringLiteral("voter.db"));
    QString problem;
    QVERIFY2(schema::createEmbedded(legacy, &problem), qPrintable(problem));
    QVERIFY(dbfiles::locate(program.path(), QStringLiteral("voter.db")) == legacy);

    // Open by another workstation (its WAL is there): found in place, not moved.
    {
        DbConnection other;
        QVERIFY2(other.open(embedded(legacy)), qPrintable(other.firstErrorText()));
        QVERIFY(other.exec(QStringLiteral("INSERT INTO deputat (familia) VALUES ('kept')")));
        QVERIFY(QFileInfo::exists(legacy + QStringLiteral("-wal")));
        DbConnection ws;
        QVERIFY2(ws.open(embedded(QStringLiteral("voter")), program.path()), qPrintable(ws.firstErrorText()));
        QCOMPARE(ws.scalar(QStringLiteral("SELECT count(*) FROM deputat WHERE familia = 'kept'")).toInt(), 1);
        QVERIFY(QFileInfo::exists(legacy));
        QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("data/voter.db"))));
    }
    // Nobody connected any more: the next start moves it, with its rows.
    QVERIFY(!QFileInfo::exists(legacy + QStringLiteral("-wal")));
    DbConnection ws;
    QVERIFY2(ws.open(embedded(QStringLiteral("voter")), program.path()), qPrintable(ws.firstErrorText()));
    QCOMPARE(ws.scalar(QStringLiteral("SELECT count(*) FROM deputat WHERE familia = 'kept'")).toInt(), 1);
    QVERIFY(!QFileInfo::exists(legacy));
    QVERIFY(QFileInfo::exists(dir.filePath(QStringLiteral("data/voter.db"))));
}

void TestDbFiles::databaseFilesAreKnownWithoutOpeningThem()
{
    QTemporaryDir program;
    const QDir dir(program.path());
    const QString path = dir.filePath(QStringLiteral("data/voter.db"));
    QVERIFY(dir.mkpath(QStringLiteral("data")));
    QString problem;
    QVERIFY2(schema::createEmbedded(path, &problem), qPrintable(problem));
    QVERIFY(!dbfiles::isDatabaseFile(path));  // nobody has it open in this process
    {
        DbConnection ws;
        QVERIFY(ws.open(embedded(path)));
        QVERIFY(ws.exec(QStringLiteral("UPDATE regim SET param1 = 0")));
        QVERIFY(dbfiles::isDatabaseFile(path));
        QVERIFY(dbfiles::isDatabaseFile(path + QStringLiteral("-wal")));
        QVERIFY(dbfiles::isDatabaseFile(path + QStringLiteral("-shm")));
        // The same file by another name (a link in a folder the operator browses).
        const QString link = dir.filePath(QStringLiteral("looks-like-a.pdf"));
        QVERIFY(QFile::link(path, link));
        QVERIFY(dbfiles::isDatabaseFile(link));
        QVERIFY(!dbfiles::isDatabaseFile(dir.filePath(QStringLiteral("data"))));

        // The document store refuses to copy it into docs/.
        QString why;
        QCOMPARE(docstore::copyIntoStore(link, program.path(), QStringLiteral("1.01.2026\\1\\"), QStringLiteral("a.pdf"), &why),
                 docstore::CopyResult::Failed);
        QVERIFY(!why.isEmpty());
        QVERIFY(!QFileInfo::exists(docstore::documentPath(program.path(), QStringLiteral("1.01.2026\\1\\"), QStringLiteral("a.pdf"))));
    }
    QVERIFY(!dbfiles::isDatabaseFile(path));
}

QTEST_MAIN(TestDbFiles)
#include "test_dbfiles.moc"
