// The document store's folder rule and its copying into item folders.
#include "db/docstore.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class TestDocstore : public QObject {
    Q_OBJECT

    static bool write(const QString &path, const QByteArray &data)
    {
        QFile f(path);
        return f.open(QIODevice::WriteOnly) && f.write(data) == data.size();
    }
    static QByteArray read(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }

private Q_SLOTS:
    void folderRule_data()
    {
        QTest::addColumn<int>("day");
        QTest::addColumn<int>("month");
        QTest::addColumn<int>("year");
        QTest::addColumn<int>("nomer");
        QTest::addColumn<int>("tip");
        QTest::addColumn<QString>("put");
        QTest::newRow("5 March, main 3") << 5 << 3 << 2014 << 3 << 0 << QStringLiteral("5.03.2014\\3\\");
        QTest::newRow("5 March, additional 3") << 5 << 3 << 2014 << 3 << 1 << QStringLiteral("5.03.2014\\3 д\\");
        QTest::newRow("25 November, main 12") << 25 << 11 << 2014 << 12 << 0 << QStringLiteral("25.11.2014\\12\\");
        QTest::newRow("1 October, agenda item") << 1 << 10 << 2015 << 0 << 0 << QStringLiteral("1.10.2015\\0\\");
        QTest::newRow("9 September") << 9 << 9 << 2015 << 2 << 1 << QStringLiteral("9.09.2015\\2 д\\");
    }
    void folderRule()
    {
        QFETCH(int, day);
        QFETCH(int, month);
        QFETCH(int, year);
        QFETCH(int, nomer);
        QFETCH(int, tip);
        QFETCH(QString, put);
        QCOMPARE(docstore::itemFolder(docstore::dateFolder(day, month, year), nomer, tip), put);
        // The same from the texts the database returns for the day and year names.
        QCOMPARE(docstore::itemFolder(docstore::dateFolder(QString::number(day), month, QString::number(year)), nomer, tip),
                 put);
    }

    void storedPathsMapToTheFileSystem()
    {
        QCOMPARE(docstore::toFileSystem(QStringLiteral("5.03.2014\\3 д\\")), QStringLiteral("5.03.2014/3 д/"));
        QCOMPARE(docstore::documentPath(QStringLiteral("/opt/voter"), QStringLiteral("5.03.2014\\3\\"),
                                        QStringLiteral("Закон о бюджете.pdf")),
                 QStringLiteral("/opt/voter/docs/5.03.2014/3/Закон о бюджете.pdf"));
        // A stored folder without its closing backslash still names a folder.
        QCOMPARE(docstore::documentPath(QStringLiteral("/opt/voter/"), QStringLiteral("5.03.2014\\3"),
                                        QStringLiteral("a.pdf")),
                 QStringLiteral("/opt/voter/docs/5.03.2014/3/a.pdf"));
        QCOMPARE(docstore::displayPath(QStringLiteral("5.03.2014\\3\\"), QStringLiteral("a.pdf")),
                 QStringLiteral("\\docs\\5.03.2014\\3\\a.pdf"));
    }

    // Folder and file names come from the database; none of them may lead out of docs/.
    void pathsOutsideTheStoreAreRefused_data()
    {
        QTest::addColumn<QString>("put");
        QTest::addColumn<QString>("fail");
        QTest::newRow("parent steps") << QStringLiteral("..\\..\\") << QStringLiteral("voter.ini");
        QTest::newRow("parent step inside") << QStringLiteral("5.03.2014\\..\\..\\") << QStringLiteral("a.pdf");
        QTest::newRow("forward slashes") << QStringLiteral("5.03.2014/../../") << QStringLiteral("a.pdf");
        QTest::newRow("parent as the file") << QStringLiteral("5.03.2014\\3\\") << QStringLiteral("..");
        QTest::newRow("folder in the file name") << QStringLiteral("5.03.2014\\3\\") << QStringLiteral("..\\..\\x.pdf");
        QTest::newRow("absolute") << QStringLiteral("/etc/") << QStringLiteral("passwd");
        QTest::newRow("leading backslash") << QStringLiteral("\\etc\\") << QStringLiteral("passwd");
        QTest::newRow("network share") << QStringLiteral("\\\\server\\share\\") << QStringLiteral("a.pdf");
        QTest::newRow("drive") << QStringLiteral("C:\\Windows\\") << QStringLiteral("a.pdf");
        QTest::newRow("drive without slash") << QStringLiteral("C:..\\") << QStringLiteral("a.pdf");
        QTest::newRow("control character") << QStringLiteral("5.03.2014\\3\n\\") << QStringLiteral("a.pdf");
    }
    void pathsOutsideTheStoreAreRefused()
    {
        QFETCH(QString, put);
        QFETCH(QString, fail);
        QVERIFY(!docstore::safeStoredPath(put, fail));
        QCOMPARE(docstore::documentPath(QStringLiteral("/opt/voter"), put, fail), QString());

        QTemporaryDir dir;
        const QString program = dir.filePath(QStringLiteral("prog"));
        QVERIFY(QDir().mkpath(program));
        const QString source = dir.filePath(QStringLiteral("src.pdf"));
        QVERIFY(write(source, "x"));
        QString err;
        QCOMPARE(docstore::copyIntoStore(source, program, put, fail, &err), docstore::CopyResult::Failed);
        QVERIFY(!err.isEmpty());
        // Nothing was written anywhere in the temporary tree but the source.
        QDir all(dir.path());
        QCOMPARE(all.entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList({QStringLiteral("prog"), QStringLiteral("src.pdf")}));
        QVERIFY(QDir(program).isEmpty());
    }
    void ordinaryNamesStayAccepted()
    {
        // Dots inside names are not parent steps.
        QVERIFY(docstore::safeStoredPath(QStringLiteral("5.03.2014\\3 д\\"), QStringLiteral("Закон..v2.pdf")));
        QVERIFY(docstore::safeStoredPath(QStringLiteral("..5.03\\"), QStringLiteral("a.pdf")));
        QVERIFY(docstore::safeStoredPath(QString(), QStringLiteral("a.pdf")));
        QVERIFY(docstore::safeStoredPath(QStringLiteral("5.03.2014\\3\\"), QStringLiteral("Отчёт: итоги.pdf")));
    }

    void copyCreatesFoldersAndNeverOverwrites()
    {
        QTemporaryDir dir;
        const QString program = dir.filePath(QStringLiteral("prog"));
        QVERIFY(QDir().mkpath(program));
        const QString source = dir.filePath(QStringLiteral("O'Brien's report.pdf"));
        QVERIFY(write(source, "first"));
        const QString put = QStringLiteral("5.03.2014\\3 д\\");
        const QString target = docstore::documentPath(program, put, QStringLiteral("O'Brien's report.pdf"));

        QString err;
        QCOMPARE(docstore::copyIntoStore(source, program, put, QStringLiteral("O'Brien's report.pdf"), &err),
                 docstore::CopyResult::Copied);
        QCOMPARE(read(target), QByteArray("first"));
        QVERIFY(QFileInfo(program + QStringLiteral("/docs/5.03.2014/3 д")).isDir());

        // A second copy of a changed source keeps the file already in the store.
        QVERIFY(write(source, "second"));
        QCOMPARE(docstore::copyIntoStore(source, program, put, QStringLiteral("O'Brien's report.pdf"), &err),
                 docstore::CopyResult::AlreadyThere);
        QCOMPARE(read(target), QByteArray("first"));

        // Picking the file that already sits in the store is not an error either.
        QCOMPARE(docstore::copyIntoStore(target, program, put, QStringLiteral("O'Brien's report.pdf"), &err),
                 docstore::CopyResult::AlreadyThere);
    }
};

QTEST_GUILESS_MAIN(TestDocstore)
#include "test_docstore.moc"
