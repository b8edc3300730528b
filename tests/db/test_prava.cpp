// Least privilege: what a seat, the chairman's seat, the watcher and an operator may read and
// write. The same test body runs on every engine the machine can offer.
#include "prava_hall.h"

#include "db/parol.h"
#include "support/pgcluster.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace pravatest;

class TestPrava : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_file;
    int m_copies = 0;
    QString m_current;  // the embedded file of the running test row
    PgCluster m_pg;
    QString m_pgWhy;  // empty once the server's hall is ready
    int m_pgSessions = 0;

    // A fresh hall on the engine of the running row; false with a reason to skip.
    bool novyiZal(QString *why)
    {
        const QString engine = QString::fromLatin1(QTest::currentDataTag());
        if (engine == QLatin1String("postgresql")) {
            if (!m_pgWhy.isEmpty()) {
                *why = m_pgWhy;
                return false;
            }
            // Emptied and filled as the tables' owner, whom no policy binds.
            QStringList sql{QStringLiteral("TRUNCATE deputat, sostav, zasedanie, povestka, sessia_start, golosovanie, sessia, "
                                           "otvet, proshu_slovo RESTART IDENTITY CASCADE;"),
                            QStringLiteral("UPDATE mesto SET connected=0, podkl=NULL;")};
            for (const QString &st : nachalnoeSostoyanie())
                sql << st + QLatin1Char(';');
            QString out;
            if (!m_pg.psql(sql.join(QLatin1Char('\n')), QStringLiteral("voter"), &out)) {
                *why = out;
                return false;
            }
            return true;
        }
        m_current = m_dir.filePath(QStringLiteral("hall%1.db").arg(++m_copies));
        if (!QFile::copy(m_file, m_current)) {
            *why = QStringLiteral("cannot copy the hall");
            return false;
        }
        return true;
    }

    std::unique_ptr<Sessiya> voiti(const QString &login)
    {
        const QString engine = QString::fromLatin1(QTest::currentDataTag());
        if (engine == QLatin1String("postgresql")) {
            QString error;
            auto s = std::make_unique<SessiyaPostgres>(QStringLiteral("prava-%1-%2").arg(login).arg(++m_pgSessions));
            if (!s->open(m_pg.port(), QStringLiteral("voter"), login, login, &error)) {
                qWarning("login %s: %s", qPrintable(login), qPrintable(error));
                return nullptr;
            }
            return s;
        }
        auto s = std::make_unique<SessiyaVstroennaya>();
        if (!s->db.open({QStringLiteral("embedded"), m_current, login, login})) {
            qWarning("login %s: %s", qPrintable(login), qPrintable(s->db.firstErrorText()));
            return nullptr;
        }
        return s;
    }

    // Where each engine keeps the passwords: the embedded engine's table, the server's catalogue.
    static QStringList chtenieLoginov()
    {
        if (QString::fromLatin1(QTest::currentDataTag()) == QLatin1String("postgresql"))
            return {QStringLiteral("SELECT rolname, rolpassword FROM pg_authid"),
                    QStringLiteral("ALTER ROLE admin1 PASSWORD '07'")};
        return {QStringLiteral("SELECT password FROM logins WHERE login='admin1'"),
                QStringLiteral("SELECT count(*) FROM logins"),
                QStringLiteral("UPDATE logins SET password='07' WHERE login='admin1'")};
    }

    void engines()
    {
        QTest::addColumn<int>("unused");
        QTest::newRow("embedded") << 0;
        QTest::newRow("postgresql") << 0;
    }

    // Each statement is refused to `login` and the hall is as it was.
    void ozhidatOtkaz(const QString &login, const QStringList &statements)
    {
        auto op = voiti(QStringLiteral("admin1"));
        auto s = voiti(login);
        QVERIFY(op && s);
        const QStringList before = snimok(*op);
        for (const QString &sql : statements) {
            const Ishod r = s->exec(sql);
            // A server's row policy may also answer by changing no row.
            const bool refused = (!r.ok && r.native == 229) || (r.ok && r.rows == 0
                                                                && QString::fromLatin1(QTest::currentDataTag())
                                                                       == QLatin1String("postgresql")
                                                                && !sql.startsWith(QLatin1String("INSERT")));
            QVERIFY2(refused, qPrintable(QStringLiteral("%1 was let through: %2 (%3, %4 rows)")
                                             .arg(sql, r.text).arg(r.native).arg(r.rows)));
            QCOMPARE(snimok(*op), before);
        }
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_file = m_dir.filePath(QStringLiteral("template.db"));
        QString error;
        QVERIFY2(schema::createEmbedded(m_file, &error), qPrintable(error));
        DbConnection db;
        QVERIFY(db.open({QStringLiteral("embedded"), m_file, QStringLiteral("admin1"), QStringLiteral("admin1")}));
        for (const QString &sql : nachalnoeSostoyanie())
            QVERIFY2(db.exec(sql), qPrintable(sql + QStringLiteral(": ") + db.firstErrorText()));
        db.close();
        if (!m_pg.start()) {
            m_pgWhy = m_pg.whyNot();
        } else if (!m_pg.createHall(QStringLiteral("voter"), &error)) {
            m_pgWhy = QStringLiteral("the hall database could not be made: ") + error;
        } else {
            // Running the roles script again finds everything in place and changes nothing.
            QStringList passwords;
            for (const char *a : {"admin1", "admin2", "admin3"})
                passwords << QStringLiteral("%1_password=%1").arg(QLatin1String(a));
            if (!m_pg.psqlFile(QStringLiteral(VOTER_SOURCE_DIR "/src/db/schema/postgresql-roles.sql"),
                               QStringLiteral("voter"), passwords, &error))
                QFAIL(qPrintable(QStringLiteral("the roles script failed on its second run: ") + error));
        }
    }

    void seatIsRefusedOthersRows_data() { engines(); }
    void seatIsRefusedOthersRows()
    {
        QString why;
        if (!novyiZal(&why))
            QSKIP(qPrintable(why));
        ozhidatOtkaz(QStringLiteral("07"), chtenieLoginov() + QStringList{
            // seat 05's ballot
            QStringLiteral("INSERT INTO otvet (id_deputat,id_povestka,result,id_golosovanie) VALUES (5,1,2,1)"),
            QStringLiteral("DELETE FROM otvet WHERE (id_deputat=5) AND (id_golosovanie=1)"),
            QStringLiteral("UPDATE otvet SET result=2 WHERE id_deputat=5"),
            // the mode row
            QStringLiteral("UPDATE regim SET nomer=-5,param1=10"),
            QStringLiteral("UPDATE regim SET param2=0"),
            // a meeting
            QStringLiteral("INSERT INTO zasedanie (data,opisanie,vremya) VALUES ('20140501','Заседание № 2','00:00:00')"),
            QStringLiteral("UPDATE zasedanie SET stop = CURRENT_TIMESTAMP WHERE id=1"),
            QStringLiteral("DELETE FROM zasedanie WHERE id=1"),
            // seat 05's presence, speaker request and heartbeat
            QStringLiteral("INSERT INTO sessia (id_zasedanie,id_deputat,id_sessia) VALUES (1,5,-1)"),
            QStringLiteral("DELETE FROM sessia WHERE id_deputat=5"),
            QStringLiteral("DELETE FROM proshu_slovo WHERE id_mesto=5"),
            QStringLiteral("DELETE FROM proshu_slovo"),
            QStringLiteral("INSERT INTO proshu_slovo (id_mesto) VALUES (5)"),
            QStringLiteral("UPDATE mesto SET podkl=CURRENT_TIMESTAMP WHERE nomer = '05'"),
            // its own seat row beyond the heartbeat, the roster, the vote
            QStringLiteral("UPDATE mesto SET nomer='99' WHERE nomer='07'"),
            QStringLiteral("UPDATE sostav SET chairman=1 WHERE id_mesto=7"),
            QStringLiteral("UPDATE golosovanie SET nuzno=0"),
            QStringLiteral("INSERT INTO povestka (id_zasedanie,tip,nomer,ord,opisanie,info,aktiv) VALUES (1,0,2,2,'Вопрос 2','x',0)"),
            // the schema
            QStringLiteral("CREATE TABLE chuzhaya (a INTEGER)"),
            QStringLiteral("DROP TABLE otvet"),
        });
    }

    // What the seat's own terminal sends goes through and does what it says.
    void seatWritesItsOwnRows_data() { engines(); }
    void seatWritesItsOwnRows()
    {
        QString why;
        if (!novyiZal(&why))
            QSKIP(qPrintable(why));
        auto op = voiti(QStringLiteral("admin1"));
        auto s = voiti(QStringLiteral("07"));
        QVERIFY(op && s);
        for (const char *sql : {"UPDATE mesto SET connected=1 WHERE nomer LIKE '07'",
                                "UPDATE mesto SET podkl=CURRENT_TIMESTAMP WHERE nomer = '07';",
                                "INSERT INTO sessia (id_zasedanie,id_deputat,id_sessia) VALUES (1,6,1)",
                                "DELETE FROM otvet WHERE (id_deputat=6) AND (id_golosovanie=1)",
                                "INSERT INTO otvet (id_deputat,id_povestka,result,id_golosovanie) VALUES (6,1,3,1)",
                                "INSERT INTO proshu_slovo (id_mesto) VALUES (7)",
                                "SELECT nomer,param1,param2 FROM regim"}) {
            const Ishod r = s->exec(QString::fromLatin1(sql));
            QVERIFY2(r.ok, qPrintable(QString::fromLatin1(sql) + QStringLiteral(": ") + r.text));
        }
        QCOMPARE(op->rows(QStringLiteral("SELECT result FROM otvet WHERE id_deputat=6")), QStringList{QStringLiteral("3")});
        QCOMPARE(op->rows(QStringLiteral("SELECT id_sessia FROM sessia WHERE id_deputat=6")), QStringList{QStringLiteral("1")});
        QCOMPARE(op->rows(QStringLiteral("SELECT count(*) FROM proshu_slovo WHERE id_mesto=7")), QStringList{QStringLiteral("1")});
        QCOMPARE(op->rows(QStringLiteral("SELECT connected FROM mesto WHERE nomer='07' AND podkl IS NOT NULL")).size(), 1);
        // The seat's own readings call the T-SQL layer's helpers on the server (DATEDIFF, the
        // names of a vote's ballots): a seat login may run them.
        QCOMPARE(s->rows(QStringLiteral("SELECT nomer,connected,podkl,DATEDIFF(ss,podkl,GETDATE()) as diff FROM mesto")).size(), 27);
        QCOMPARE(s->rows(QStringLiteral("SELECT dbo.mnogoimen(1,3)")).size(), 1);
        // Its ballot reached the vote journal although the seat may not write the journal.
        if (QString::fromLatin1(QTest::currentDataTag()) == QLatin1String("postgresql")) {
            QCOMPARE(op->rows(QStringLiteral("SELECT count(*) FROM zhurnal WHERE tablica='otvet' AND zapis LIKE '%|6|%'")).value(0).toInt() > 0, true);
            QVERIFY(!s->exec(QStringLiteral("INSERT INTO zhurnal (tablica,deistvie,zapis,hash) VALUES ('otvet','I','x','y')")).ok);
        }
        // Withdrawing its request is its own row too.
        QVERIFY(s->exec(QStringLiteral("DELETE FROM proshu_slovo WHERE id_mesto=7")).ok);
        QCOMPARE(op->rows(QStringLiteral("SELECT count(*) FROM proshu_slovo WHERE id_mesto=7")), QStringList{QStringLiteral("0")});
    }

    // The seat that holds the chairman's assignment gives the floor and clears the list;
    // when the assignment moves, the right moves with it.
    void chairmanRightsFollowAssignment_data() { engines(); }
    void chairmanRightsFollowAssignment()
    {
        QString why;
        if (!novyiZal(&why))
            QSKIP(qPrintable(why));
        auto op = voiti(QStringLiteral("admin1"));
        auto chairman = voiti(QStringLiteral("02"));
        QVERIFY(op && chairman);
        Ishod r = chairman->exec(QStringLiteral("DELETE FROM proshu_slovo WHERE id_mesto=5"));
        QVERIFY2(r.ok && r.rows == 1, qPrintable(r.text));
        QVERIFY(op->exec(QStringLiteral("INSERT INTO proshu_slovo (id_mesto) VALUES (5)")).ok);
        QVERIFY(op->exec(QStringLiteral("UPDATE sostav SET chairman=0 WHERE id_mesto=2")).ok);
        ozhidatOtkaz(QStringLiteral("02"), {QStringLiteral("DELETE FROM proshu_slovo")});
        QVERIFY(op->exec(QStringLiteral("UPDATE sostav SET chairman=1 WHERE id_mesto=2")).ok);
        r = chairman->exec(QStringLiteral("DELETE FROM proshu_slovo;"));
        QVERIFY2(r.ok, qPrintable(r.text));
        QCOMPARE(op->rows(QStringLiteral("SELECT count(*) FROM proshu_slovo")), QStringList{QStringLiteral("0")});
    }

    // The watcher reads the hall; its heartbeat statement names no seat and changes nothing.
    void watcherOnlyReads_data() { engines(); }
    void watcherOnlyReads()
    {
        QString why;
        if (!novyiZal(&why))
            QSKIP(qPrintable(why));
        auto w = voiti(QStringLiteral("watcher"));
        QVERIFY(w);
        QCOMPARE(w->rows(QStringLiteral("SELECT nomer FROM regim")), QStringList{QStringLiteral("2")});
        const Ishod beat = w->exec(QStringLiteral("UPDATE mesto SET podkl=CURRENT_TIMESTAMP WHERE nomer = 'watcher';"));
        QVERIFY2(beat.ok && beat.rows == 0, qPrintable(beat.text));
        ozhidatOtkaz(QStringLiteral("watcher"), chtenieLoginov() + QStringList{
            QStringLiteral("INSERT INTO proshu_slovo (id_mesto) VALUES (5)"),
            QStringLiteral("INSERT INTO otvet (id_deputat,id_povestka,result,id_golosovanie) VALUES (6,1,1,1)"),
            QStringLiteral("UPDATE mesto SET podkl=CURRENT_TIMESTAMP WHERE nomer = '07'"),
            QStringLiteral("DELETE FROM sessia"),
            QStringLiteral("UPDATE regim SET nomer=-1"),
        });
    }

    // Operators keep every right they had.
    void operatorWritesEverything_data() { engines(); }
    void operatorWritesEverything()
    {
        QString why;
        if (!novyiZal(&why))
            QSKIP(qPrintable(why));
        auto op = voiti(QStringLiteral("admin2"));
        QVERIFY(op);
        for (const char *sql : {"UPDATE regim SET nomer=4,param1=1,param2=15", "DELETE FROM otvet WHERE id_deputat=5",
                                "INSERT INTO zasedanie (data,opisanie,vremya) VALUES ('20140501','Заседание № 2','00:00:00')",
                                "DELETE FROM proshu_slovo", "UPDATE sostav SET chairman=0"}) {
            const Ishod r = op->exec(QString::fromLatin1(sql));
            QVERIFY2(r.ok, qPrintable(QString::fromLatin1(sql) + QStringLiteral(": ") + r.text));
        }
        QCOMPARE(op->rows(QStringLiteral("SELECT nomer FROM regim")), QStringList{QStringLiteral("4")});
    }

    // Embedded engine: no password is stored in the clear, a row set by hand in the clear is
    // hashed on the next open, and a wrong or damaged value lets nobody in.
    void passwordsAreHashed()
    {
        const QString file = m_dir.filePath(QStringLiteral("parol.db"));
        QVERIFY(QFile::copy(m_file, file));
        {
            DbConnection op;
            QVERIFY(op.open({QStringLiteral("embedded"), file, QStringLiteral("admin1"), QStringLiteral("admin1")}));
            ResultSet rs;
            QVERIFY(op.query(QStringLiteral("SELECT login, password FROM logins"), &rs));
            QCOMPARE(rs.rowCount(), 31);
            for (const auto &row : rs.rows) {
                QVERIFY2(parol::eHesh(row[1].toString()), qPrintable(row[0].toString()));
                QVERIFY(parol::proverit(row[0].toString(), row[1].toString()));
            }
            // An operator sets a new password the old way.
            QVERIFY(op.exec(QStringLiteral("UPDATE logins SET password = 'Тайна 1''x' WHERE login = 'admin3'")));
        }
        DbConnection db;
        QVERIFY(!db.open({QStringLiteral("embedded"), file, QStringLiteral("admin3"), QStringLiteral("admin3")}));
        QCOMPARE(db.errors().first().nativeError, 18456);
        QVERIFY2(db.open({QStringLiteral("embedded"), file, QStringLiteral("admin3"), QStringLiteral("Тайна 1'x")}),
                 qPrintable(db.firstErrorText()));
        const QString stored = db.scalar(QStringLiteral("SELECT password FROM logins WHERE login = 'admin3'")).toString();
        QVERIFY2(stored.startsWith(QStringLiteral("pbkdf2-sha256$%1$").arg(parol::kIteracii)), qPrintable(stored));
        QVERIFY(parol::proverit(QStringLiteral("Тайна 1'x"), stored));
        QVERIFY(!parol::proverit(QStringLiteral("Тайна 1'X"), stored));
        // Tampered hash, wrong shape, absurd iteration count: refused, never a crash.
        QString tampered = stored;
        tampered[tampered.size() - 3] = tampered[tampered.size() - 3] == QLatin1Char('A') ? QLatin1Char('B') : QLatin1Char('A');
        QVERIFY(!parol::proverit(QStringLiteral("Тайна 1'x"), tampered));
        QVERIFY(!parol::proverit(QStringLiteral("x"), QStringLiteral("pbkdf2-sha256$0$AAAA$AAAA")));
        QVERIFY(!parol::proverit(QStringLiteral("x"), QStringLiteral("pbkdf2-sha256$99999999999$AAAA$AAAA")));
        QVERIFY(!parol::proverit(QString(), QStringLiteral("pbkdf2-sha256$")));
        // Two rows of one password never share a hash.
        QVERIFY(parol::hesh(QStringLiteral("a"), QStringLiteral("p")) != parol::hesh(QStringLiteral("a"), QStringLiteral("p")));
        db.close();
        DbConnection seat;
        QVERIFY(!seat.open({QStringLiteral("embedded"), file, QStringLiteral("07"), QStringLiteral("08")}));
        QVERIFY(seat.open({QStringLiteral("embedded"), file, QStringLiteral("07"), QStringLiteral("07")}));
    }
};

QTEST_GUILESS_MAIN(TestPrava)
#include "test_prava.moc"
