// The workstation log: lines with time and login, repeated errors counted, rotation.
#include "db/connection.h"
#include "db/dnevnik.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

class TestDnevnik : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    QString prochest(const QString &file)
    {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }

private Q_SLOTS:
    void initTestCase()
    {
        qunsetenv("INVOCATION_ID");
        qunsetenv("JOURNAL_STREAM");
        dnevnik::ustanovit(m_dir.filePath(QStringLiteral("voter.ini")));
        QCOMPARE(dnevnik::fail(), m_dir.filePath(QStringLiteral("voter.log")));
    }

    void linesCarryTimeLoginAndWhatHappened()
    {
        dnevnik::setLogin(QStringLiteral("07"));
        dnevnik::start(QStringLiteral("1.1.6"));
        dnevnik::rezhim(2, 15, 60);
        // A failing statement on the connection is logged by the connection itself.
        DbConnection db;
        QVERIFY(!db.open({QStringLiteral("embedded"), m_dir.filePath(QStringLiteral("missing.db")), QStringLiteral("07"),
                          QStringLiteral("07")}));
        dnevnik::oshibka(QStringLiteral("database is locked"), 5);
        dnevnik::oshibka(QStringLiteral("database is locked"), 5);
        dnevnik::oshibka(QStringLiteral("database is locked"), 5);
        dnevnik::oshibka(QStringLiteral("Ошибка\n\rдругая"), 0);
        dnevnik::konec(1, QStringLiteral("database error"));
        const QStringList lines = prochest(dnevnik::fail()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        static const QRegularExpression head(QStringLiteral(
            "^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d{3} \\[07\\] (INFO|WARNING|ERROR) pid \\d+: "));
        for (const QString &l : lines)
            QVERIFY2(head.match(l).hasMatch(), qPrintable(l));
        const QString all = lines.join(QLatin1Char('\n'));
        QVERIFY(all.contains(QStringLiteral("program starts, version 1.1.6")));
        QVERIFY(all.contains(QStringLiteral("mode 2 (param1 15, param2 60)")));
        QVERIFY(all.contains(QStringLiteral("missing.db")));
        QCOMPARE(all.count(QStringLiteral("database is locked")), 1);
        QVERIFY(all.contains(QStringLiteral("repeated 2 more times")));
        // A multi-line text stays one line.
        QVERIFY(all.contains(QStringLiteral("Ошибка  другая")));
        QVERIFY(all.contains(QStringLiteral("program ends with code 1: database error")));
    }

    void rotatesAndKeepsThreeOldFiles()
    {
        const QString big(2000, QLatin1Char('x'));
        for (int i = 0; i < 2600; ++i)
            qWarning("%d %s", i, qPrintable(big));
        const QString f = dnevnik::fail();
        QVERIFY(QFile::exists(f + QStringLiteral(".1")));
        QVERIFY(QFile::exists(f + QStringLiteral(".3")));
        QVERIFY(!QFile::exists(f + QStringLiteral(".4")));
        QVERIFY(QFileInfo(f).size() <= 1024 * 1024 + 4096);
        // The newest line is in the current file, the one before the last rotation in .1.
        QVERIFY(prochest(f).contains(QStringLiteral("2599 x")));
    }
};

QTEST_GUILESS_MAIN(TestDnevnik)
#include "test_dnevnik.moc"
