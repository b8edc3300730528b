// voter-sql --backup while another process keeps writing: the copy is one consistent state
// that opens and passes the integrity check.
#include "db/connection.h"
#include "db/kopiya.h"
#include "db/schema.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

class TestKopiya : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    static QString voterSql() { return QStringLiteral(VOTER_BINARY_DIR "/voter-sql"); }

    static ConnectionParams admin(const QString &file)
    {
        return {QStringLiteral("embedded"), file, QStringLiteral("admin1"), QStringLiteral("admin1")};
    }

private Q_SLOTS:
    void copyWhileAnotherProcessWrites()
    {
        const QString file = m_dir.filePath(QStringLiteral("hall.db"));
        QString error;
        QVERIFY2(schema::createEmbedded(file, &error), qPrintable(error));
        // Each ballot with its presence record in one transaction: a consistent copy holds
        // both or neither of every pair.
        QString script;
        constexpr int kPar = 4000;
        for (int i = 1; i <= kPar; ++i)
            script += QStringLiteral("BEGIN IMMEDIATE;\nINSERT INTO otvet (id_deputat,id_povestka,result,id_golosovanie) "
                                     "VALUES (%1,1,1,1);\nINSERT INTO sessia (id_zasedanie,id_deputat,id_sessia) VALUES (1,%1,1);\n"
                                     "COMMIT;\n").arg(i);
        QFile f(m_dir.filePath(QStringLiteral("writes.sql")));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(script.toUtf8());
        f.close();

        QProcess writer;
        writer.start(voterSql(), {QStringLiteral("-d"), file, QStringLiteral("-U"), QStringLiteral("admin1"),
                                  QStringLiteral("-i"), f.fileName()});
        QVERIFY(writer.waitForStarted());
        // Wait until the writer is under way, then copy while it goes on.
        DbConnection look;
        QVERIFY(look.open(admin(file)));
        QElapsedTimer t;
        t.start();
        while (look.scalar(QStringLiteral("SELECT count(*) FROM otvet")).toInt() < 50 && t.elapsed() < 30000)
            QTest::qWait(20);
        look.close();

        QStringList copies;
        for (int i = 0; i < 3; ++i) {
            const QString copy = m_dir.filePath(QStringLiteral("copy%1.db").arg(i));
            QProcess b;
            b.start(voterSql(), {QStringLiteral("-d"), file, QStringLiteral("-U"), QStringLiteral("admin2"),
                                 QStringLiteral("--backup"), copy});
            QVERIFY(b.waitForFinished(60000));
            QVERIFY2(b.exitCode() == 0, b.readAllStandardError().constData());
            copies << copy;
        }
        const bool stillWriting = writer.state() == QProcess::Running;
        QVERIFY(writer.waitForFinished(120000));
        QCOMPARE(writer.exitCode(), 0);
        if (!stillWriting)
            qWarning("the writer ended before the last copy; the copies were still taken under way");

        int previous = -1;
        for (const QString &copy : copies) {
            QVERIFY(!QFile::exists(copy + QStringLiteral("-wal")));
            DbConnection c;
            QVERIFY2(c.open(admin(copy)), qPrintable(c.firstErrorText()));
            QCOMPARE(c.scalar(QStringLiteral("PRAGMA integrity_check")).toString(), QStringLiteral("ok"));
            const int ballots = c.scalar(QStringLiteral("SELECT count(*) FROM otvet")).toInt();
            QCOMPARE(c.scalar(QStringLiteral("SELECT count(*) FROM sessia")).toInt(), ballots);
            QVERIFY(ballots >= 50 && ballots <= kPar);
            QVERIFY(ballots >= previous);  // copies taken later hold no less
            previous = ballots;
            QCOMPARE(c.scalar(QStringLiteral("SELECT count(*) FROM mesto")).toInt(), 27);
        }
    }

    void refusesToOverwriteAndLeavesNoPart()
    {
        const QString file = m_dir.filePath(QStringLiteral("one.db"));
        QString error;
        QVERIFY(schema::createEmbedded(file, &error));
        DbConnection db;
        QVERIFY(db.open(admin(file)));
        const QString target = m_dir.filePath(QStringLiteral("exists.db"));
        QFile t(target);
        QVERIFY(t.open(QIODevice::WriteOnly));
        t.write("keep me");
        t.close();
        QVERIFY(!kopiya::sdelat(db, target, &error));
        QFile back(target);
        QVERIFY(back.open(QIODevice::ReadOnly));
        QCOMPARE(back.readAll(), QByteArray("keep me"));
        QVERIFY(!kopiya::sdelat(db, m_dir.filePath(QStringLiteral("no/such/folder/x.db")), &error));
        QVERIFY(!QFile::exists(m_dir.filePath(QStringLiteral("no/such/folder/x.db.part"))));
    }
};

QTEST_GUILESS_MAIN(TestKopiya)
#include "test_kopiya.moc"
