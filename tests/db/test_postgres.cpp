// The PostgreSQL engine on a real server: each way its SQL differs from SQL Server's is
// rewritten so the program sees SQL Server's values, names, order and error numbers.
#include "db/connection.h"
#include "db/schema.h"
#include "support/pgcluster.h"

#include <QElapsedTimer>
#include <QThread>
#include <QtTest>

class TestPostgres : public QObject {
    Q_OBJECT

    PgCluster m_pg;
    int m_databases = 0;

    ConnectionParams params(const QString &database) const
    {
        return {m_pg.serverParam(), database, m_pg.superuser(), m_pg.superuserPassword()};
    }

    // A new hall database with three deputies, one meeting with one item; open on `db`.
    void freshHall(DbConnection &db)
    {
        const QString name = QStringLiteral("hall%1").arg(++m_databases);
        QString error;
        QVERIFY2(schema::createPostgresDatabase(params(name), &error), qPrintable(error));
        QVERIFY2(db.open(params(name)), qPrintable(db.firstErrorText()));
        for (const char *s : {"INSERT INTO deputat (familia,imya,otchestvo) VALUES ('Иванов','Иван','Иванович')",
                              "INSERT INTO deputat (familia,imya,otchestvo) VALUES ('Петров','Пётр','')",
                              "INSERT INTO deputat (familia,imya,otchestvo) VALUES ('Сидорова','Анна','Сергеевна')",
                              "INSERT INTO zasedanie (data,opisanie,vremya) VALUES ('20140305','Заседание № 1','00:00:00')",
                              "INSERT INTO povestka (id_zasedanie,tip,nomer,ord,opisanie) VALUES (1,0,1,1,'Вопрос 1')"})
            QVERIFY2(db.exec(QString::fromUtf8(s)), qPrintable(db.firstErrorText()));
    }

    static QVariant one(DbConnection &db, const QString &sql)
    {
        bool ok = false;
        const QVariant v = db.scalar(sql, &ok);
        if (!ok)
            qWarning("%s <- %s", qPrintable(db.firstErrorText()), qPrintable(sql));
        return v;
    }

private Q_SLOTS:
    void initTestCase()
    {
        if (!m_pg.start())
            QSKIP(qPrintable(QStringLiteral("no PostgreSQL server for this test: ") + m_pg.whyNot()));
    }

    void serverParameter()
    {
        QString host;
        int port = 0;
        QCOMPARE(DbConnection::engineFor(QStringLiteral("PG:zal-db:5433")), DbEngine::Postgres);
        QVERIFY(DbConnection::postgresAddress(QStringLiteral("pg:zal-db:5433"), &host, &port));
        QCOMPARE(host, QStringLiteral("zal-db"));
        QCOMPARE(port, 5433);
        QVERIFY(DbConnection::postgresAddress(QStringLiteral("pg:zal-db"), &host, &port));
        QCOMPARE(port, 5432);
        QVERIFY(DbConnection::postgresAddress(QStringLiteral("pg:[::1]:6000"), &host, &port));
        QCOMPARE(host, QStringLiteral("::1"));
        QCOMPARE(port, 6000);
        QVERIFY(!DbConnection::postgresAddress(QStringLiteral("pg:"), &host, &port));
        QVERIFY(!DbConnection::postgresAddress(QStringLiteral("pg:host:99999"), &host, &port));
        QVERIFY(!DbConnection::postgresAddress(QStringLiteral("pg:host:x"), &host, &port));
    }

    // Text compares and matches ignoring case (Cyrillic too) under the columns' collation;
    // LIKE goes through ILIKE with T-SQL's pattern meaning kept.
    void textIgnoresCase()
    {
        DbConnection db;
        freshHall(db);
        QCOMPARE(one(db, QStringLiteral("SELECT id FROM mesto WHERE nomer LIKE '07'")), QVariant(qlonglong(7)));
        QCOMPARE(one(db, QStringLiteral("SELECT count(*) FROM deputat WHERE familia = 'ИВАНОВ'")), QVariant(qlonglong(1)));
        QCOMPARE(one(db, QStringLiteral("SELECT count(*) FROM deputat WHERE familia LIKE 'си%'")), QVariant(qlonglong(1)));
        QCOMPARE(one(db, QStringLiteral("SELECT count(*) FROM deputat WHERE familia NOT LIKE 'и%'")), QVariant(qlonglong(2)));
        QVERIFY(db.exec(QStringLiteral("UPDATE deputat SET otchestvo = '50% a\\b' WHERE id = 1")));
        // [%] is a literal percent sign; a backslash is plain text in T-SQL.
        QCOMPARE(one(db, QStringLiteral("SELECT count(*) FROM deputat WHERE otchestvo LIKE '50[%]%'")), QVariant(qlonglong(1)));
        QCOMPARE(one(db, QStringLiteral("SELECT count(*) FROM deputat WHERE otchestvo LIKE '%a\\b'")), QVariant(qlonglong(1)));
        QCOMPARE(one(db, QStringLiteral("SELECT count(*) FROM deputat WHERE otchestvo LIKE '5_[%]%'")), QVariant(qlonglong(1)));
        QCOMPARE(one(db, QStringLiteral("SELECT count(*) FROM deputat WHERE otchestvo LIKE '51%'")), QVariant(qlonglong(0)));
        // An integer column matched by LIKE, as the server converts it.
        QCOMPARE(one(db, QStringLiteral("SELECT count(*) FROM povestka WHERE nomer LIKE '1'")), QVariant(qlonglong(1)));
        // Sorting ignores case as well.
        ResultSet rs;
        QVERIFY(db.exec(QStringLiteral("UPDATE deputat SET familia = 'аааа' WHERE id = 3")));
        QVERIFY2(db.query(QStringLiteral("SELECT familia FROM deputat ORDER BY familia"), &rs), qPrintable(db.firstErrorText()));
        QCOMPARE(rs.value(0, 0).toString(), QStringLiteral("аааа"));
        QCOMPARE(rs.value(1, 0).toString(), QStringLiteral("Иванов"));
    }

    // NULL sorts first ascending and last descending, as on SQL Server.
    void nullsSortLow()
    {
        DbConnection db;
        freshHall(db);
        QVERIFY(db.exec(QStringLiteral("UPDATE mesto SET podkl = '20140305 10:00' WHERE nomer = '02'")));
        QCOMPARE(one(db, QStringLiteral("SELECT TOP 1 nomer FROM mesto ORDER BY podkl, nomer")), QVariant(QStringLiteral("01")));
        QCOMPARE(one(db, QStringLiteral("SELECT TOP 1 nomer FROM mesto ORDER BY podkl DESC")), QVariant(QStringLiteral("02")));
        // The latest meeting is the one with the greatest date, not one without a date.
        QVERIFY(db.exec(QStringLiteral("INSERT INTO zasedanie (opisanie) VALUES ('без даты')")));
        QCOMPARE(one(db, QStringLiteral("SELECT TOP 1 id FROM zasedanie ORDER BY data DESC")), QVariant(qlonglong(1)));
    }

    // Result columns carry SQL Server's names: as written, blank for an expression, and a
    // sub-select in FROM needs no alias.
    void columnNames()
    {
        DbConnection db;
        freshHall(db);
        ResultSet rs;
        QVERIFY2(db.query(QStringLiteral("SELECT Familia, max(id), count(*) AS \"\", id AS Nomer FROM deputat GROUP BY familia, id ORDER BY Nomer DESC"), &rs),
                 qPrintable(db.firstErrorText()));
        QCOMPARE(rs.columns, (QStringList{QStringLiteral("Familia"), QString(), QString(), QStringLiteral("Nomer")}));
        QCOMPARE(rs.value(0, 3), QVariant(qlonglong(3)));
        QVERIFY2(db.query(QStringLiteral("SELECT n FROM (SELECT count(*) AS n FROM mesto) AS t"), &rs), qPrintable(db.firstErrorText()));
        QCOMPARE(rs.scalar(), QVariant(qlonglong(27)));
        QVERIFY2(db.query(QStringLiteral("SELECT count(*) FROM (SELECT id FROM mesto WHERE connected = 0)"), &rs),
                 qPrintable(db.firstErrorText()));
        QCOMPARE(rs.scalar(), QVariant(qlonglong(27)));
    }

    void numbersAsOnTheServer()
    {
        DbConnection db;
        freshHall(db);
        // bit columns take and give 0/1 integers.
        QVERIFY(db.exec(QStringLiteral("UPDATE sostav SET chairman = 1")));
        QVERIFY(db.exec(QStringLiteral("INSERT INTO sostav (id_deputat,id_mesto,chairman) VALUES (1,1,1)")));
        QCOMPARE(one(db, QStringLiteral("SELECT chairman FROM sostav WHERE id_mesto = 1")), QVariant(qlonglong(1)));
        // AVG of integers is truncated (1,2,3,4 -> 2; -1,-2 -> -1), not rounded.
        QCOMPARE(one(db, QStringLiteral("SELECT AVG(id) FROM mesto WHERE id <= 4")), QVariant(qlonglong(2)));
        QCOMPARE(one(db, QStringLiteral("SELECT AVG(-id) FROM mesto WHERE id <= 2")), QVariant(qlonglong(-1)));
        // varchar without length is 30 characters.
        QCOMPARE(one(db, QStringLiteral("SELECT CONVERT(varchar, '123456789012345678901234567890abc')")),
                 QVariant(QStringLiteral("123456789012345678901234567890")));
        QCOMPARE(one(db, QStringLiteral("SELECT CAST(7 AS varchar(5)) + 'x'")), QVariant(QStringLiteral("7x")));
        QCOMPARE(one(db, QStringLiteral("SELECT 7 / 2")), QVariant(qlonglong(3)));
    }

    void datesAsOnTheServer()
    {
        DbConnection db;
        freshHall(db);
        // Day-first literals, dates read back in SQL Server's forms.
        QVERIFY2(db.exec(QStringLiteral("UPDATE zasedanie SET data = '05.03.2014', start = '05.03.2014 10:00:00'")), qPrintable(db.firstErrorText()));
        QCOMPARE(one(db, QStringLiteral("SELECT data FROM zasedanie")), QVariant(QStringLiteral("2014-03-05")));
        QCOMPARE(one(db, QStringLiteral("SELECT start FROM zasedanie")), QVariant(QStringLiteral("2014-03-05 10:00:00.000")));
        QCOMPARE(one(db, QStringLiteral("SELECT vremya FROM zasedanie")), QVariant(QStringLiteral("00:00:00")));
        QCOMPARE(one(db, QStringLiteral("SELECT CONVERT(varchar, data, 104) FROM zasedanie")), QVariant(QStringLiteral("05.03.2014")));
        QCOMPARE(one(db, QStringLiteral("SELECT CONVERT(varchar(10), start, 108) FROM zasedanie")), QVariant(QStringLiteral("10:00:00")));
        // Second boundaries, not elapsed whole seconds.
        QCOMPARE(one(db, QStringLiteral("SELECT DATEDIFF(ss, '20140305 10:00:00.900', '20140305 10:00:01.100')")), QVariant(qlonglong(1)));
        QCOMPARE(one(db, QStringLiteral("SELECT DATEDIFF(mi, start, '20140305 11:30') FROM zasedanie")), QVariant(qlonglong(90)));
        // Russian month and weekday names, whatever locales the server has.
        QCOMPARE(one(db, QStringLiteral("SELECT DATENAME(mm, data) FROM zasedanie")), QVariant(QStringLiteral("март")));
        QCOMPARE(one(db, QStringLiteral("SELECT DATENAME(dw, data) FROM zasedanie")), QVariant(QStringLiteral("среда")));
        QCOMPARE(one(db, QStringLiteral("SELECT DATEPART(dw, data) FROM zasedanie")), QVariant(qlonglong(3)));
        QCOMPARE(one(db, QStringLiteral("SELECT DATEADD(dd, 30, data) FROM zasedanie")), QVariant(QStringLiteral("2014-04-04")));
        // GETDATE is the statement's time in local time, moving on inside a transaction.
        const QDateTime before = QDateTime::currentDateTime().addSecs(-2);
        QVERIFY(db.beginTransaction());
        const QString t1 = one(db, QStringLiteral("SELECT GETDATE()")).toString();
        QThread::msleep(30);
        const QString t2 = one(db, QStringLiteral("SELECT GETDATE()")).toString();
        QVERIFY(db.commit());
        QVERIFY2(t1 < t2, qPrintable(t1 + QStringLiteral(" / ") + t2));
        const QDateTime got = QDateTime::fromString(t1, QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz"));
        QVERIFY2(got >= before && got <= QDateTime::currentDateTime().addSecs(2), qPrintable(t1));
    }

    void identityAndFunctions()
    {
        DbConnection db;
        freshHall(db);
        DbConnection other;
        QVERIFY(other.open(db.params()));
        // No insert yet on this connection: NULL, not an error.
        bool ok = false;
        QVERIFY(other.scalar(QStringLiteral("SELECT @@identity"), &ok).isNull());
        QVERIFY2(ok, qPrintable(other.firstErrorText()));
        QVERIFY(other.exec(QStringLiteral("INSERT INTO proshu_slovo (id_mesto) VALUES (3)")));
        QVERIFY(other.exec(QStringLiteral("INSERT INTO proshu_slovo (id_mesto) VALUES (4)")));
        QCOMPARE(one(other, QStringLiteral("SELECT @@identity")), QVariant(qlonglong(2)));

        for (const char *s : {"INSERT INTO golosovanie (regim,id_povestka,id_sessia) VALUES ('x',1,1)",
                              "INSERT INTO otvet (id_deputat,id_povestka,result,id_golosovanie) VALUES (3,1,1,1)",
                              "INSERT INTO otvet (id_deputat,id_povestka,result,id_golosovanie) VALUES (1,1,1,1)",
                              "INSERT INTO otvet (id_deputat,id_povestka,result,id_golosovanie) VALUES (2,1,2,1)",
                              "INSERT INTO sessia (id_deputat,id_sessia,id_zasedanie) VALUES (1,1,1)",
                              "INSERT INTO sessia (id_deputat,id_sessia,id_zasedanie) VALUES (2,1,1)"})
            QVERIFY2(db.exec(QString::fromUtf8(s)), qPrintable(db.firstErrorText()));
        QCOMPARE(one(db, QStringLiteral("SELECT dbo.mnogoimen(1,1)")), QVariant(QStringLiteral("Иванов И. И., Сидорова А. С.")));
        QCOMPARE(one(db, QStringLiteral("SELECT dbo.mnogoimen(1,2)")), QVariant(QStringLiteral("Петров П.")));
        QCOMPARE(one(db, QStringLiteral("SELECT dbo.mnogoimen(1,3)")), QVariant(QString(QLatin1String(""))));
        QVERIFY(db.exec(QStringLiteral("DELETE FROM otvet WHERE id_deputat = 2")));
        QCOMPARE(one(db, QStringLiteral("SELECT dbo.mnogoimen2(1,1)")), QVariant(QStringLiteral("Петров П.")));
    }

    void errorsAsOnTheServer()
    {
        DbConnection db;
        freshHall(db);
        QVERIFY(!db.exec(QStringLiteral("DELETE FROM zasedanie WHERE id = 1")));
        QCOMPARE(db.errors().first().nativeError, 547);
        QVERIFY(!db.exec(QStringLiteral("SELECT 1 / 0")));
        QCOMPARE(db.errors().first().nativeError, 8134);
        QVERIFY(!db.exec(QStringLiteral("SELECT id FROM nosuchtable")));
        QCOMPARE(db.errors().first().nativeError, 208);

        // A failure inside a transaction does not leave the session refusing what follows.
        QVERIFY(db.beginTransaction());
        QVERIFY(db.exec(QStringLiteral("INSERT INTO proshu_slovo (id_mesto) VALUES (5)")));
        QVERIFY(!db.exec(QStringLiteral("INSERT INTO povestka (id_zasedanie) VALUES (99)")));
        QCOMPARE(db.errors().first().nativeError, 547);
        QVERIFY2(db.exec(QStringLiteral("INSERT INTO proshu_slovo (id_mesto) VALUES (6)")), qPrintable(db.firstErrorText()));
        db.commit();
        QCOMPARE(one(db, QStringLiteral("SELECT count(*) FROM proshu_slovo WHERE id_mesto = 6")), QVariant(qlonglong(1)));

        DbConnection wrong;
        ConnectionParams p = db.params();
        p.password = QStringLiteral("not-the-password");
        QVERIFY(!wrong.open(p));
        QCOMPARE(wrong.errors().first().nativeError, 18456);
        QCOMPARE(wrong.errors().first().engineText, QStringLiteral("Login failed for user 'postgres'."));
        p = db.params();
        p.database = QStringLiteral("nosuchdb");
        QVERIFY(!wrong.open(p));
        QCOMPARE(wrong.errors().first().nativeError, 4060);
    }

    // A server restart fails the statements in flight; the connection comes back by itself.
    void reconnectsAfterRestart()
    {
        DbConnection db;
        freshHall(db);
        QVERIFY(db.exec(QStringLiteral("UPDATE regim SET nomer = 2")));
        QVERIFY2(m_pg.restart(), qPrintable(m_pg.whyNot()));
        QVERIFY(!db.exec(QStringLiteral("UPDATE regim SET nomer = 3")));  // the old session is gone
        QElapsedTimer t;
        t.start();
        bool back = false;
        while (!back && t.elapsed() < 10000) {
            back = db.exec(QStringLiteral("UPDATE regim SET nomer = 3"));
            if (!back)
                QThread::msleep(200);
        }
        QVERIFY2(back, qPrintable(db.firstErrorText()));
        QCOMPARE(one(db, QStringLiteral("SELECT nomer FROM regim")), QVariant(qlonglong(3)));
    }

    void cleanupTestCase() { m_pg.stop(); }
};

QTEST_GUILESS_MAIN(TestPostgres)
#include "test_postgres.moc"
