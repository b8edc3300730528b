// Database errors reach users in Russian, with the engine's own words and number kept after
// them: real failing statements on the embedded engine, real refusals of a PostgreSQL server.
#include "db/connection.h"
#include "db/oshibki.h"
#include "support/pgcluster.h"
#include "test_tsql_db.h"

#include <QFile>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QtTest>

#include <sqlite3.h>

namespace {

bool russianFirst(const QString &text)
{
    return !text.isEmpty() && text.at(0).unicode() >= 0x0410 && text.at(0).unicode() <= 0x042F;
}

}  // namespace

class TestOshibki : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_path;

    // The first pending error is `klass`, worded in Russian, and ends with the engine's text
    // and its number.
    static void expect(const DbConnection &db, oshibki::Klass klass, const char *engineWords)
    {
        QVERIFY2(db.hasErrors(), "no error was recorded");
        const DbError &e = db.errors().first();
        QVERIFY2(russianFirst(e.description), qPrintable(e.description));
        QVERIFY2(e.description.startsWith(oshibki::opisanie(klass)), qPrintable(e.description));
        QVERIFY2(e.engineText.contains(QLatin1String(engineWords), Qt::CaseInsensitive), qPrintable(e.engineText));
        const QString tail = QStringLiteral(" (") + e.engineText.simplified()
                             + (e.nativeError ? QStringLiteral(", %1").arg(e.nativeError) : QString()) + QLatin1Char(')');
        QVERIFY2(e.description.endsWith(tail), qPrintable(e.description + QStringLiteral(" / ") + tail));
        QCOMPARE(db.firstErrorText(), e.description);
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_path = m_dir.filePath(QStringLiteral("zal.db"));
        QString error;
        QVERIFY2(tsqltest::createHallDatabase(m_path, &error), qPrintable(error));
    }

    void embeddedStatements()
    {
        DbConnection db;
        QVERIFY2(tsqltest::openHall(db, m_path), qPrintable(db.firstErrorText()));
        QVERIFY(db.exec(QStringLiteral("INSERT INTO zasedanie (data,opisanie,vremya) VALUES ('20240305','З','00:00:00')")));
        const int id = db.scalar(QStringLiteral("SELECT MAX(id) FROM zasedanie")).toInt();
        QVERIFY(db.exec(QStringLiteral("INSERT INTO povestka (id_zasedanie,tip,nomer,ord,opisanie) VALUES (%1,0,1,1,'В')").arg(id)));

        QVERIFY(!db.exec(QStringLiteral("DELETE FROM zasedanie WHERE id = %1").arg(id)));
        expect(db, oshibki::Klass::Ssylka, "REFERENCE constraint");
        QCOMPARE(db.errors().first().nativeError, 547);

        QVERIFY(!db.exec(QStringLiteral("INSERT INTO zasedanie (id,data,opisanie) VALUES (%1,'20240305','x')").arg(id)));
        expect(db, oshibki::Klass::Povtor, "constraint failed");

        QVERIFY(!db.query(QStringLiteral("SELECT * FROM net_takoi_tablicy"), nullptr));
        expect(db, oshibki::Klass::NetTablicy, "no such table");

        QVERIFY(!db.query(QStringLiteral("SELECT net_polya FROM zasedanie"), nullptr));
        expect(db, oshibki::Klass::NetStolbca, "no such column");

        QVERIFY(!db.exec(QStringLiteral("SELEC 1 FRM")));
        expect(db, oshibki::Klass::Sintaksis, "");

        QVERIFY(!db.exec(QStringLiteral("UPDATE zasedanie SET start = 'abc' WHERE id = %1").arg(id)));
        expect(db, oshibki::Klass::Preobrazovanie, "Conversion failed");

        // A success leaves the errors where they were; the next failure replaces them.
        QVERIFY(db.exec(QStringLiteral("SELECT 1")));
        expect(db, oshibki::Klass::Preobrazovanie, "Conversion failed");
    }

    void embeddedBusy()
    {
        // Another process-level writer holds the write lock past the 5 s wait.
        sqlite3 *other = nullptr;
        QCOMPARE(sqlite3_open(QFile::encodeName(m_path).constData(), &other), SQLITE_OK);
        QCOMPARE(sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
        DbConnection db;
        QVERIFY2(tsqltest::openHall(db, m_path), qPrintable(db.firstErrorText()));
        const bool wrote = db.exec(QStringLiteral("UPDATE regim SET nomer = -1"));
        sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close(other);
        QVERIFY(!wrote);
        expect(db, oshibki::Klass::Zanyata, "database is locked");
        QCOMPARE(db.firstErrorText(), QStringLiteral("База данных занята другим рабочим местом. Повторите действие "
                                                     "через несколько секунд. (database is locked, 5)"));
    }

    void embeddedOpening()
    {
        DbConnection db;
        QVERIFY(!db.open({QStringLiteral("embedded"), m_path, QStringLiteral("admin1"), QStringLiteral("nepravilno")}));
        expect(db, oshibki::Klass::Vhod, "Login failed");

        QVERIFY(!db.open({QStringLiteral("embedded"), m_dir.filePath(QStringLiteral("net.db")), QStringLiteral("1"),
                          QStringLiteral("1")}));
        expect(db, oshibki::Klass::NetFaila, "does not exist");

        const QString junk = m_dir.filePath(QStringLiteral("junk.db"));
        QFile f(junk);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(8192, 'x'));
        f.close();
        QVERIFY(!db.open({QStringLiteral("embedded"), junk, QStringLiteral("1"), QStringLiteral("1")}));
        expect(db, oshibki::Klass::NeBaza, "not a database");
    }

    // What cannot be provoked on a test machine (a full disk, a failing disk, a read-only
    // file for root) is checked with the engine's own codes and texts.
    void embeddedCodes_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("klass");
        QTest::newRow("readonly") << int(SQLITE_READONLY) << int(oshibki::Klass::TolkoChtenie);
        QTest::newRow("readonly-dbmoved") << int(SQLITE_READONLY_DBMOVED) << int(oshibki::Klass::TolkoChtenie);
        QTest::newRow("full") << int(SQLITE_FULL) << int(oshibki::Klass::DiskPoln);
        QTest::newRow("ioerr-write") << int(SQLITE_IOERR_WRITE) << int(oshibki::Klass::VvodVyvod);
        QTest::newRow("corrupt") << int(SQLITE_CORRUPT) << int(oshibki::Klass::Povrezhdena);
        QTest::newRow("locked") << int(SQLITE_LOCKED) << int(oshibki::Klass::Zanyata);
        QTest::newRow("busy-snapshot") << int(SQLITE_BUSY_SNAPSHOT) << int(oshibki::Klass::Zanyata);
        QTest::newRow("notnull") << int(SQLITE_CONSTRAINT_NOTNULL) << int(oshibki::Klass::PustoeZnachenie);
        QTest::newRow("cantopen") << int(SQLITE_CANTOPEN) << int(oshibki::Klass::NetFaila);
    }

    void embeddedCodes()
    {
        QFETCH(int, code);
        QFETCH(int, klass);
        DbConnection db;
        QVERIFY(tsqltest::openHall(db, m_path));
        const QString words = QString::fromUtf8(sqlite3_errstr(code));
        db.setError(words, code);
        expect(db, oshibki::Klass(klass), qPrintable(words));
    }

    void programTextsStayAsTheyAre()
    {
        DbConnection db;
        db.setError(QStringLiteral("Место 12 не найдено"), 0);
        QCOMPARE(db.firstErrorText(), QStringLiteral("Место 12 не найдено"));
        // Unknown to the mapping: still Russian, still with the engine's words.
        db.setError(QStringLiteral("something odd"), 0);
        QCOMPARE(db.firstErrorText(), oshibki::opisanie(oshibki::Klass::Neizvestno) + QStringLiteral(" (something odd)"));
    }

    void postgresRefused()
    {
        if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QPSQL")))
            QSKIP("the PostgreSQL driver of Qt (libqt6sql6-psql) is not installed");
        // A loopback port nobody listens on: taken free, then let go.
        QTcpServer probe;
        QVERIFY(probe.listen(QHostAddress::LocalHost));
        const int port = probe.serverPort();
        probe.close();
        DbConnection db;
        QVERIFY(!db.open({QStringLiteral("pg:127.0.0.1:%1").arg(port), QStringLiteral("voter"), QStringLiteral("1"),
                          QStringLiteral("1")}));
        expect(db, oshibki::Klass::Otkazano, "Connection refused");
    }

    void postgresServer()
    {
        PgCluster pg;
        if (!pg.start())
            QSKIP(qPrintable(QStringLiteral("no PostgreSQL server for this test: ") + pg.whyNot()));
        DbConnection db;
        QVERIFY(!db.open({pg.serverParam(), QStringLiteral("postgres"), pg.superuser(), QStringLiteral("nepravilno")}));
        expect(db, oshibki::Klass::Vhod, "Login failed");
        QCOMPARE(db.errors().first().nativeError, 18456);

        QVERIFY(!db.open({pg.serverParam(), QStringLiteral("net_takoi_bazy"), pg.superuser(), pg.superuserPassword()}));
        expect(db, oshibki::Klass::NetBazy, "does not exist");

        QVERIFY2(db.open({pg.serverParam(), QStringLiteral("postgres"), pg.superuser(), pg.superuserPassword()}),
                 qPrintable(db.firstErrorText()));
        QVERIFY(!db.query(QStringLiteral("SELECT * FROM net_takoi_tablicy"), nullptr));
        expect(db, oshibki::Klass::NetTablicy, "does not exist");

        // The server ends the session: the next statement says the connection was closed.
        QVERIFY(pg.psql(QStringLiteral("SELECT pg_terminate_backend(pid) FROM pg_stat_activity "
                                       "WHERE application_name = 'voter'")));
        QVERIFY(!db.query(QStringLiteral("SELECT 1"), nullptr));
        expect(db, oshibki::Klass::Razryv, "");
    }
};

QTEST_MAIN(TestOshibki)
#include "test_oshibki.moc"
