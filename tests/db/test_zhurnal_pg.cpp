// The vote journal on a real PostgreSQL server: the same meeting as on the embedded engine,
// the same checks, and the canonical text of every entry identical on both engines.
#include "db/zhurnal.h"
#include "support/pgcluster.h"
#include "support/protokol.h"
#include "test_tsql_db.h"
#include "zhurnal_fixture.h"

#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

using namespace zhurnaltest;

namespace {

// The journal's texts with the date-times (written when the meeting was played) masked.
QStringList zapisi(DbConnection &db)
{
    static const QRegularExpression vremya(QStringLiteral("\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d{3}"));
    ResultSet j;
    if (!db.query(QStringLiteral("SELECT zapis FROM zhurnal ORDER BY id"), &j))
        return {QStringLiteral("<failed: %1>").arg(db.firstErrorText())};
    QStringList out;
    for (const auto &row : j.rows)
        out << row.value(0).toString().replace(vremya, QStringLiteral("<t>"));
    return out;
}

}  // namespace

class TestZhurnalPg : public QObject {
    Q_OBJECT

    PgCluster m_pg;
    QTemporaryDir m_dir;
    QSqlDatabase m_admin;
    int m_open = 0, m_secret = 0;
    int m_copies = 0;

    ConnectionParams params(const QString &database) const
    {
        return {m_pg.serverParam(), database, m_pg.superuser(), m_pg.superuserPassword()};
    }
    QStringList connection(const QString &database) const
    {
        return {QStringLiteral("-S"), m_pg.serverParam(), QStringLiteral("-d"), database, QStringLiteral("-U"),
                m_pg.superuser(), QStringLiteral("-P"), m_pg.superuserPassword()};
    }
    // A copy of the played meeting's database for one case.
    QString copy()
    {
        const QString name = QStringLiteral("case%1").arg(++m_copies);
        QSqlQuery q(m_admin);
        if (!q.exec(QStringLiteral("CREATE DATABASE %1 TEMPLATE played STRATEGY FILE_COPY").arg(name))) {
            qWarning("%s", qPrintable(q.lastError().text()));
            return QString();
        }
        return name;
    }

private Q_SLOTS:
    void initTestCase()
    {
        if (!m_pg.start())
            QSKIP(qPrintable(QStringLiteral("no PostgreSQL server for this test: ") + m_pg.whyNot()));
        QString error;
        QVERIFY2(schema::createPostgresDatabase(params(QStringLiteral("played")), &error), qPrintable(error));
        {
            DbConnection db;
            QVERIFY2(db.open(params(QStringLiteral("played"))), qPrintable(db.firstErrorText()));
            QVERIFY2(schema::loadDemo(db, m_dir.path(), &error), qPrintable(error));
            QVERIFY(meeting(db, &m_open, &m_secret));
        }
        m_admin = m_pg.connectSuperuser(QStringLiteral("zhurnal-admin"), QStringLiteral("postgres"), &error);
        QVERIFY2(m_admin.isOpen(), qPrintable(error));
    }

    void cleanupTestCase()
    {
        if (m_admin.isValid()) {
            m_admin.close();
            m_admin = QSqlDatabase();
            QSqlDatabase::removeDatabase(QStringLiteral("zhurnal-admin"));
        }
        m_pg.stop();
    }

    // The server writes the text the program would write, hashes it the way the program
    // does, and writes the very texts the embedded engine writes for the same meeting.
    void triggersAgreeWithTheProgramAndTheEmbeddedEngine()
    {
        DbConnection db;
        QVERIFY2(db.open(params(QStringLiteral("played"))), qPrintable(db.firstErrorText()));
        QVERIFY(cepProveryaetsya(db) > 20);
        const auto golos = golosovanieVZhurnale(db, m_open);
        QCOMPARE(golos.first, golos.second);
        QCOMPARE(db.scalar(QStringLiteral("SELECT zapis FROM zhurnal WHERE deistvie='R' AND id_zapisi=%1").arg(m_secret))
                     .toString(),
                 QStringLiteral("golosovanie|R|%1|3|1|1|5").arg(m_secret));

        const QString path = m_dir.filePath(QStringLiteral("embedded.db"));
        QString error;
        QVERIFY2(tsqltest::createHallDatabase(path, &error), qPrintable(error));
        DbConnection e;
        QVERIFY(tsqltest::openHall(e, path));
        QVERIFY2(schema::loadDemo(e, m_dir.filePath(QStringLiteral("embedded")), &error), qPrintable(error));
        int open = 0, secret = 0;
        QVERIFY(meeting(e, &open, &secret));
        QCOMPARE(open, m_open);
        QCOMPARE(secret, m_secret);
        const QStringList a = zapisi(db), b = zapisi(e);
        QCOMPARE(a.size(), b.size());
        for (int i = 0; i < a.size(); ++i)
            QVERIFY2(a[i] == b[i], qPrintable(QStringLiteral("entry %1\n  PostgreSQL %2\n  embedded   %3").arg(i + 1).arg(a[i], b[i])));
    }

    void untouchedDatabaseVerifies()
    {
        const QString name = copy();
        QVERIFY(!name.isEmpty());
        const Run r = voterSql(connection(name), {QStringLiteral("--verify")});
        QVERIFY2(r.exitCode == 0, qPrintable(r.out));
        QVERIFY(r.out.contains(QStringLiteral("verify: the tables match the journal")));
        QVERIFY(r.out.contains(QStringLiteral("vote %1 (meeting 1): head ").arg(m_secret)));
        // Both layouts of the minutes print each vote's head as the check gives it.
        DbConnection db;
        QVERIFY2(db.open(params(name)), qPrintable(db.firstErrorText()));
        const QString heads = golovyVProtokole(db, {m_open, m_secret}, protokolTekst(db, 1));
        QVERIFY2(heads.isEmpty(), qPrintable(heads));
    }

    void plainSqlAfterTheMeetingIsFound()
    {
        const QString name = copy();
        QVERIFY(!name.isEmpty());
        DbConnection db;
        QVERIFY2(db.open(params(name)), qPrintable(db.firstErrorText()));
        const QStringList expected = byulleteniPosleZasedania(db, connection(name), m_open, m_secret);
        db.close();
        QCOMPARE(expected.size(), 3);
        const QString d = nahodkiNeTe(voterSql(connection(name), {QStringLiteral("--verify"), QStringLiteral("1")}), expected, 3);
        QVERIFY2(d.isEmpty(), qPrintable(d));
        QCOMPARE(voterSql(connection(name), {QStringLiteral("--verify"), QStringLiteral("2")}).exitCode, 0);
    }

    // With the triggers switched off (as the owner can), the changes are found by comparing
    // the tables with the journal; an edited entry breaks the chain.
    void writesOutsideTheJournalAreFound()
    {
        const QString name = copy();
        QVERIFY(!name.isEmpty());
        DbConnection db;
        QVERIFY2(db.open(params(name)), qPrintable(db.firstErrorText()));
        QSqlQuery q(db.database());
        for (const char *t : {"otvet", "golosovanie", "sessia"})
            QVERIFY2(q.exec(QStringLiteral("ALTER TABLE %1 DISABLE TRIGGER %1_zhurnal").arg(QLatin1String(t))),
                     qPrintable(q.lastError().text()));
        const int changed = db.scalar(QStringLiteral("SELECT MIN(id) FROM otvet WHERE id_golosovanie=%1").arg(m_secret)).toInt();
        const QStringList expected = mimoZhurnala(db, m_open, m_secret);
        QCOMPARE(expected.size(), 5);
        const QString d = nahodkiNeTe(voterSql(connection(name), {QStringLiteral("--verify")}), expected, 5);
        QVERIFY2(d.isEmpty(), qPrintable(d));

        const int entry = db.scalar(QStringLiteral("SELECT MAX(id) FROM zhurnal WHERE tablica='otvet' AND id_zapisi=%1").arg(changed)).toInt();
        QVERIFY(run(db, QStringLiteral("UPDATE zhurnal SET zapis='otvet|I|%1|1|2|3|%2' WHERE id=%3").arg(changed).arg(m_secret).arg(entry)));
        db.close();
        const Run r = voterSql(connection(name), {QStringLiteral("--verify")});
        QCOMPARE(r.exitCode, 3);
        QVERIFY2(r.out.contains(QStringLiteral("journal entry %1: the chain is broken there").arg(entry)), qPrintable(r.out));
    }

    // A database from before the journal: the played meeting without the journal's table,
    // functions and triggers. The first open adds them, with the rows as they stood.
    void olderDatabaseGetsTheJournalOnOpen()
    {
        const QString name = copy();
        QVERIFY(!name.isEmpty());
        {
            QString error;
            QSqlDatabase raw = m_pg.connectSuperuser(QStringLiteral("older"), name, &error);
            QVERIFY2(raw.isOpen(), qPrintable(error));
            QSqlQuery q(raw);
            QVERIFY2(q.exec(QStringLiteral(
                         "DO $$ DECLARE f record; BEGIN FOR f IN SELECT p.oid::regprocedure AS sig FROM pg_proc p "
                         "JOIN pg_namespace n ON n.oid = p.pronamespace WHERE n.nspname = 'public' AND p.proname LIKE "
                         "'%zhurnal%' LOOP EXECUTE 'DROP FUNCTION ' || f.sig || ' CASCADE'; END LOOP; END $$; "
                         "DROP TABLE zhurnal")),
                     qPrintable(q.lastError().text()));
            QVERIFY(q.exec(QStringLiteral("SELECT count(*) FROM pg_trigger WHERE NOT tgisinternal AND tgname LIKE '%zhurnal%'")) && q.next());
            QCOMPARE(q.value(0).toInt(), 0);
            q.finish();
            raw.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("older"));

        DbConnection db;
        QVERIFY2(db.open(params(name)), qPrintable(db.firstErrorText()));
        int entries = 0, rows = 0;
        const QString nachalo = nachaloZhurnala(db, m_open, m_secret, &entries, &rows);
        QVERIFY2(nachalo.isEmpty(), qPrintable(nachalo));
        db.close();
        QVERIFY(db.open(params(name)));
        QCOMPARE(db.scalar(QStringLiteral("SELECT count(*) FROM zhurnal")).toInt(), entries);

        const Run r = voterSql(connection(name), {QStringLiteral("--verify")});
        QVERIFY2(r.exitCode == 0, qPrintable(r.out));
        QVERIFY2(r.out.contains(QStringLiteral("; the %1 rows it already held").arg(rows)), qPrintable(r.out));
        const QStringList expected = byulleteniPosleZasedania(db, connection(name), m_open, m_secret);
        db.close();
        QCOMPARE(expected.size(), 3);
        const QString d = nahodkiNeTe(voterSql(connection(name), {QStringLiteral("--verify")}), expected, 3);
        QVERIFY2(d.isEmpty(), qPrintable(d));
    }

    // Under the hall's roles a seat may write nothing but its own rows, yet its ballot is
    // journalled: the journal is written with the table owner's rights.
    void seatBallotIsJournalledUnderTheHallsRoles()
    {
        const QString name = copy();
        QVERIFY(!name.isEmpty());
        QString out;
        QVERIFY2(m_pg.psqlFile(QStringLiteral(VOTER_SOURCE_DIR "/src/db/schema/postgresql-roles.sql"), name,
                               {QStringLiteral("admin1_password=admin1"), QStringLiteral("admin2_password=admin2"),
                                QStringLiteral("admin3_password=admin3")},
                               &out),
                 qPrintable(out));

        DbConnection op;
        QVERIFY2(op.open(params(name)), qPrintable(op.firstErrorText()));
        const int deputy = op.scalar(QStringLiteral("SELECT s.id_deputat FROM sostav s JOIN mesto m ON m.id = s.id_mesto "
                                                    "WHERE m.nomer = '05'")).toInt();
        const int before = op.scalar(QStringLiteral("SELECT count(*) FROM zhurnal")).toInt();
        DbConnection seat;
        QVERIFY2(seat.open({m_pg.serverParam(), name, QStringLiteral("05"), QStringLiteral("05")}),
                 qPrintable(seat.firstErrorText()));
        QVERIFY2(seat.exec(QStringLiteral("INSERT INTO otvet (id_deputat,id_povestka,result,id_golosovanie) VALUES (%1,2,1,%2)")
                               .arg(deputy)
                               .arg(m_open)),
                 qPrintable(seat.firstErrorText()));
        // Its own rights are unchanged: it cannot write the journal itself.
        QVERIFY(!seat.exec(QStringLiteral("INSERT INTO zhurnal (tablica,deistvie,zapis,hash) VALUES ('otvet','I','x','y')")));
        QCOMPARE(op.scalar(QStringLiteral("SELECT count(*) FROM zhurnal")).toInt(), before + 1);
        QCOMPARE(cepProveryaetsya(op), before + 1);
    }
};

QTEST_MAIN(TestZhurnalPg)
#include "test_zhurnal_pg.moc"
