// Mode writes announced by a PostgreSQL server reach a workstation's poller without waiting
// for its next poll, and keep doing so after the connection was re-established.
#include "core/rezhim.h"
#include "db/connection.h"
#include "db/schema.h"
#include "support/pgcluster.h"
#include "support/workstation.h"

#include <QTemporaryDir>
#include <QtTest>

class TestPushPg : public QObject {
    Q_OBJECT

    PgCluster m_pg;
    int m_databases = 0;

    ConnectionParams params(const QString &database, const QString &login = QString()) const
    {
        if (login.isEmpty())
            return {m_pg.serverParam(), database, m_pg.superuser(), m_pg.superuserPassword()};
        return {m_pg.serverParam(), database, login, login};
    }

    QString freshHall()
    {
        const QString name = QStringLiteral("push%1").arg(++m_databases);
        QString error;
        if (!schema::createPostgresDatabase(params(name), &error))
            qWarning("%s", qPrintable(error));
        return name;
    }

private Q_SLOTS:
    void initTestCase()
    {
        if (!m_pg.start())
            QSKIP(qPrintable(QStringLiteral("no PostgreSQL server for this test: ") + m_pg.whyNot()));
        QString error;
        // The console's login; a server superuser so the test needs no role script.
        QVERIFY2(m_pg.createLogin(QStringLiteral("admin1"), QStringLiteral("admin1"), true, &error), qPrintable(error));
    }

    // Each committed write of the mode row is announced once, to every listener and only on
    // the mode channel; other tables stay silent, and the embedded engine has no announcements.
    void announcedOncePerWrite()
    {
        const QString hall = freshHall();
        DbConnection listener, writer;
        QVERIFY2(listener.open(params(hall)), qPrintable(listener.firstErrorText()));
        QVERIFY2(writer.open(params(hall)), qPrintable(writer.firstErrorText()));
        int heard = 0;
        QVERIFY(listener.listen(rezhim::kanal(), [&heard] { ++heard; }));

        QVERIFY2(writer.exec(rezhim::gimn()), qPrintable(writer.firstErrorText()));
        QTRY_COMPARE(heard, 1);
        QVERIFY(writer.exec(QStringLiteral("UPDATE mesto SET connected = 1 WHERE nomer = '05'")));
        // A transaction that is rolled back announces nothing; two writes in one committed
        // transaction arrive as one.
        QVERIFY(writer.beginTransaction());
        QVERIFY(writer.exec(rezhim::gimnSnyat()));
        QVERIFY(writer.rollback());
        QVERIFY(writer.inTransaction([&writer] { return writer.exec(rezhim::nachatGolosovanie(3, 30)) && writer.exec(rezhim::ostalosSekund(29)); }));
        QTRY_COMPARE(heard, 2);
        // Give a stray duplicate time to arrive: the count stays.
        QTest::qWait(300);
        QCOMPARE(heard, 2);
        QCOMPARE(listener.notificationCount(), qint64(2));

        QTemporaryDir dir;
        QString error;
        QVERIFY2(schema::createEmbedded(dir.filePath(QStringLiteral("v.db")), &error), qPrintable(error));
        DbConnection embedded;
        QVERIFY2(embedded.open({QStringLiteral("sqlite:") + dir.filePath(QStringLiteral("v.db")), QString(), QStringLiteral("01"), QStringLiteral("01")}),
                 qPrintable(embedded.firstErrorText()));
        QVERIFY(!embedded.listen(rezhim::kanal(), [] {}));
    }

    // After the server went away and came back the connection listens again by itself:
    // the next write is heard, and heard once (no second subscription).
    void listensAgainAfterReconnect()
    {
        const QString hall = freshHall();
        DbConnection listener;
        QVERIFY2(listener.open(params(hall)), qPrintable(listener.firstErrorText()));
        int heard = 0;
        QVERIFY(listener.listen(rezhim::kanal(), [&heard] { ++heard; }));

        QVERIFY(m_pg.restart());
        QVERIFY(!listener.exec(QStringLiteral("SELECT 1")));  // the old session is gone
        QTRY_VERIFY_WITH_TIMEOUT(listener.exec(QStringLiteral("SELECT 1")), 10000);
        QCOMPARE(listener.reconnectCount(), qint64(1));

        DbConnection writer;
        QVERIFY2(writer.open(params(hall)), qPrintable(writer.firstErrorText()));
        QVERIFY(writer.exec(rezhim::gimn()));
        QTRY_COMPARE(heard, 1);
        QTest::qWait(300);
        QCOMPARE(heard, 1);
    }

    // A workstation whose timers never fire follows a mode written elsewhere: only the
    // announcement can have run its poller.
    void workstationTicksOnAnnouncement()
    {
        const QString hall = freshHall();
        QTemporaryDir dir;
        Workstation console(dir.path(), {QStringLiteral("auto"), m_pg.serverParam(), hall, QStringLiteral("admin1")});
        QVERIFY2(console.start(), qPrintable(console.messages().join(QLatin1Char('\n'))));
        console.poll();
        QCOMPARE(console->RegimNomer(), int(rezhim::Prostoy));
        const qint64 before = console->TikiPoUvedomleniyu();

        DbConnection writer;
        QVERIFY2(writer.open(params(hall)), qPrintable(writer.firstErrorText()));
        QVERIFY(writer.exec(rezhim::gimn()));
        QTRY_COMPARE(console->RegimNomer(), int(rezhim::Gimn));
        QVERIFY(console->TikiPoUvedomleniyu() > before);

        // A workstation whose poller is stopped (it ended, or has not started polling) is not
        // woken up by announcements.
        console->TaimerOperaziy()->setEnabled(false);
        const qint64 stopped = console->TikiPoUvedomleniyu();
        QVERIFY(writer.exec(rezhim::prostoy()));
        QTest::qWait(500);
        QCOMPARE(console->TikiPoUvedomleniyu(), stopped);
        QCOMPARE(console->RegimNomer(), int(rezhim::Gimn));
    }
};

QTEST_MAIN(TestPushPg)
#include "test_push_pg.moc"
