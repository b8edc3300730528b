// The document store's folder rule and its copying into item folders.
#include "editors/docstore.h"

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

private slots:
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
