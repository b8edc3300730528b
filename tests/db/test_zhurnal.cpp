// The vote journal: the triggers' canonical text and hash agree with the program's, and
// voter-sql --verify finds what plain SQL changed behind the hall's back; --export publishes
// the meeting's votes with names only where the vote was not secret.
#include "db/zhurnal.h"
#include "support/protokol.h"
#include "test_tsql_db.h"
#include "zhurnal_fixture.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

using namespace zhurnaltest;

class TestZhurnal : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_played;  // a demo database after the meeting, copied by each case
    int m_open = 0, m_secret = 0;

    // A copy of the played meeting as a database from before the journal: no journal table
    // or triggers. `sql` runs on it first (the triggers do not fire for it).
    QString bezZhurnala(const QString &name, const QString &sql = QString())
    {
        const QString path = copy(name);
        bool ok = !path.isEmpty();
        {
            QSqlDatabase raw = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("older"));
            raw.setDatabaseName(path);
            ok = ok && raw.open();
            QSqlQuery q(raw);
            QStringList triggers;
            ok = ok && q.exec(QStringLiteral("SELECT name FROM sqlite_master WHERE type='trigger' AND name LIKE '%zhurnal%'"));
            while (ok && q.next())
                triggers << q.value(0).toString();
            ok = ok && triggers.size() == 15;
            for (const QString &t : triggers)
                ok = ok && q.exec(QStringLiteral("DROP TRIGGER ") + t);
            ok = ok && q.exec(QStringLiteral("DROP TABLE zhurnal")) && (sql.isEmpty() || q.exec(sql));
            q.finish();
            raw.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("older"));
        return ok ? path : QString();
    }

    QString copy(const QString &name)
    {
        const QString path = m_dir.filePath(name);
        QFile::remove(path);
        if (!QFile::copy(m_played, path))
            return QString();
        return path;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_played = m_dir.filePath(QStringLiteral("played.db"));
        QString error;
        QVERIFY2(tsqltest::createHallDatabase(m_played, &error), qPrintable(error));
        DbConnection db;
        QVERIFY(tsqltest::openHall(db, m_played));
        QVERIFY2(schema::loadDemo(db, m_dir.path(), &error), qPrintable(error));
        QVERIFY(meeting(db, &m_open, &m_secret));
        db.close();
    }

    void canonicalFieldsRoundTrip()
    {
        const QVector<QVariant> values{QVariant(), QStringLiteral("a|b"), QStringLiteral("\\N"), QStringLiteral("\\"),
                                       QStringLiteral(""), QStringLiteral("Кворум"), qlonglong(-7)};
        QStringList pieces;
        for (const QVariant &v : values)
            pieces << zhurnal::pole(v);
        const QVector<QVariant> back = zhurnal::polya(pieces.join(QLatin1Char('|')));
        QCOMPARE(back.size(), values.size());
        QVERIFY(back[0].isNull());
        for (int i = 1; i < values.size(); ++i) {
            QVERIFY(!back[i].isNull());
            QCOMPARE(back[i].toString(), values[i].toString());
        }
        // NULL and the text "\N" stay apart.
        QVERIFY(zhurnal::pole(QVariant()) != zhurnal::pole(QStringLiteral("\\N")));
    }

    // The engine writes what the program would write and hashes it the way the program does.
    void triggersAgreeWithTheProgram()
    {
        DbConnection db;
        QVERIFY(tsqltest::openHall(db, m_played));
        QCOMPARE(db.scalar(QStringLiteral("SELECT sha256('Кворум|\\N')")).toString(),
                 zhurnal::hash(QString(), QStringLiteral("Кворум|\\N")));
        QVERIFY(cepProveryaetsya(db) > 20);
        // The vote with the awkward rule name: the journal text reads back the stored row.
        const auto golos = golosovanieVZhurnale(db, m_open);
        QCOMPARE(golos.first, golos.second);
        // A withdrawal and each vote's result are in the chain.
        QCOMPARE(db.scalar(QStringLiteral("SELECT count(*) FROM zhurnal WHERE tablica='otvet' AND deistvie='D'")).toInt(), 2);
        QCOMPARE(db.scalar(QStringLiteral("SELECT zapis FROM zhurnal WHERE deistvie='R' AND id_zapisi=%1").arg(m_secret))
                     .toString(),
                 QStringLiteral("golosovanie|R|%1|3|1|1|5").arg(m_secret));
    }

    void untouchedDatabaseVerifies()
    {
        const Run r = voterSql(embedded(copy(QStringLiteral("untouched.db"))), {QStringLiteral("--verify")});
        QVERIFY2(r.exitCode == 0, qPrintable(r.out));
        QVERIFY(r.out.contains(QStringLiteral("verify: the tables match the journal")));
        QVERIFY(r.out.contains(QStringLiteral("vote %1 (meeting 1): head ").arg(m_secret)));
    }

    // Plain SQL through the same client, triggers and all: the journal records the changes,
    // and they come after the votes were closed.
    void plainSqlAfterTheMeetingIsFound()
    {
        const QString path = copy(QStringLiteral("tampered.db"));
        DbConnection db;
        QVERIFY(tsqltest::openHall(db, path));
        const QStringList expected = byulleteniPosleZasedania(db, embedded(path), m_open, m_secret);
        db.close();
        QCOMPARE(expected.size(), 3);
        const QString d = nahodkiNeTe(voterSql(embedded(path), {QStringLiteral("--verify"), QStringLiteral("1")}), expected, 3);
        QVERIFY2(d.isEmpty(), qPrintable(d));
        // Another meeting's check does not see them.
        QCOMPARE(voterSql(embedded(path), {QStringLiteral("--verify"), QStringLiteral("2")}).exitCode, 0);
    }

    // Writes that bypass the triggers, and an edited journal entry.
    void writesOutsideTheJournalAreFound()
    {
        const QString path = copy(QStringLiteral("bypassed.db"));
        DbConnection db;
        QVERIFY(tsqltest::openHall(db, path));
        for (const char *t : {"otvet_zhurnal_i", "otvet_zhurnal_u", "otvet_zhurnal_d", "sessia_zhurnal_d",
                              "golosovanie_zhurnal_u"})
            QVERIFY(run(db, QStringLiteral("DROP TRIGGER ") + QLatin1String(t)));
        const int changed = db.scalar(QStringLiteral("SELECT MIN(id) FROM otvet WHERE id_golosovanie=%1").arg(m_secret)).toInt();
        const QStringList expected = mimoZhurnala(db, m_open, m_secret);
        db.close();
        QCOMPARE(expected.size(), 5);
        const QString d = nahodkiNeTe(voterSql(embedded(path), {QStringLiteral("--verify")}), expected, 5);
        QVERIFY2(d.isEmpty(), qPrintable(d));

        // Covering the change by editing the journal breaks the chain at that entry.
        QVERIFY(tsqltest::openHall(db, path));
        const int entry = db.scalar(QStringLiteral("SELECT MAX(id) FROM zhurnal WHERE tablica='otvet' AND id_zapisi=%1").arg(changed)).toInt();
        QVERIFY(run(db, QStringLiteral("UPDATE zhurnal SET zapis='otvet|I|%1|1|2|3|%2' WHERE id=%3").arg(changed).arg(m_secret).arg(entry)));
        db.close();
        const Run r = voterSql(embedded(path), {QStringLiteral("--verify")});
        QCOMPARE(r.exitCode, 3);
        QVERIFY2(r.out.contains(QStringLiteral("journal entry %1: the chain is broken there").arg(entry)), qPrintable(r.out));
        QVERIFY2(!r.out.contains(QStringLiteral("ballot %1 (vote %2, deputy 1): changed").arg(changed).arg(m_secret)),
                 qPrintable(r.out));
    }

    // A database from before the journal: the played meeting's rows, no journal table or
    // triggers. The first open through the program adds them, with the rows as they stood.
    void olderDatabaseGetsTheJournalOnOpen()
    {
        const QString path = bezZhurnala(QStringLiteral("older.db"));
        QVERIFY(!path.isEmpty());

        DbConnection db;
        QVERIFY2(tsqltest::openHall(db, path), qPrintable(db.firstErrorText()));
        int entries = 0, rows = 0;
        const QString nachalo = nachaloZhurnala(db, m_open, m_secret, &entries, &rows);
        QVERIFY2(nachalo.isEmpty(), qPrintable(nachalo));
        db.close();
        // A second open adds nothing.
        QVERIFY(tsqltest::openHall(db, path));
        QCOMPARE(db.scalar(QStringLiteral("SELECT count(*) FROM zhurnal")).toInt(), entries);
        db.close();

        const Run r = voterSql(embedded(path), {QStringLiteral("--verify")});
        QVERIFY2(r.exitCode == 0, qPrintable(r.out));
        QVERIFY2(r.out.contains(QStringLiteral("journal: added to this database at ")), qPrintable(r.out));
        QVERIFY2(r.out.contains(QStringLiteral("; the %1 rows it already held").arg(rows)), qPrintable(r.out));
        QVERIFY(r.out.contains(QStringLiteral("verify: the tables match the journal")));

        // From then on a change is found: through the triggers as a change after the vote
        // was closed, around them as a change outside the journal.
        QVERIFY(tsqltest::openHall(db, path));
        QStringList expected = byulleteniPosleZasedania(db, embedded(path), m_open, m_secret);
        QCOMPARE(expected.size(), 3);
        QVERIFY(run(db, QStringLiteral("DROP TRIGGER sessia_zhurnal_d")));
        QVERIFY(run(db, QStringLiteral("DELETE FROM sessia WHERE id_deputat=5")));
        db.close();
        expected << QStringLiteral("presence record (deputy 5, period 1, meeting 1): deleted outside the journal");
        const QString d = nahodkiNeTe(voterSql(embedded(path), {QStringLiteral("--verify")}), expected, 4);
        QVERIFY2(d.isEmpty(), qPrintable(d));
    }

    // A vote running when the journal is added is not closed by it: a ballot cast then is no
    // finding, and the result the hall shows closes it as usual.
    void voteRunningWhenTheJournalIsAddedStaysOpen()
    {
        const QString path = bezZhurnala(QStringLiteral("running.db"),
                                         QStringLiteral("UPDATE regim SET nomer=2,param1=%1,param2=15").arg(m_open));
        QVERIFY(!path.isEmpty());
        DbConnection db;
        QVERIFY2(tsqltest::openHall(db, path), qPrintable(db.firstErrorText()));
        QCOMPARE(db.scalar(QStringLiteral("SELECT count(*) FROM zhurnal WHERE deistvie='R'")).toInt(), 1);
        db.close();
        QCOMPARE(voterSql(embedded(path), {QStringLiteral("INSERT INTO otvet (id_deputat,id_povestka,result,id_golosovanie) "
                                                          "VALUES (6,2,1,%1)").arg(m_open)})
                     .exitCode,
                 0);
        Run r = voterSql(embedded(path), {QStringLiteral("--verify")});
        QVERIFY2(r.exitCode == 0, qPrintable(r.out));

        for (const QString &q : {QStringLiteral("UPDATE regim SET nomer=4,param1=%1,param2=15").arg(m_open),
                                 QStringLiteral("INSERT INTO otvet (id_deputat,id_povestka,result,id_golosovanie) VALUES (7,2,1,%1)").arg(m_open)})
            QCOMPARE(voterSql(embedded(path), {q}).exitCode, 0);
        QVERIFY(tsqltest::openHall(db, path));
        const int late = db.scalar(QStringLiteral("SELECT MAX(id) FROM otvet")).toInt();
        db.close();
        const QString d = nahodkiNeTe(
            voterSql(embedded(path), {QStringLiteral("--verify")}),
            {QStringLiteral("ballot %1 (vote %2, deputy 7): inserted after the vote was closed").arg(late).arg(m_open)}, 1);
        QVERIFY2(d.isEmpty(), qPrintable(d));
    }

    // A hall before its first vote exports its newest meeting with no votes, not a failure.
    void exportBeforeAnyVoteIsEmpty()
    {
        const QString path = m_dir.filePath(QStringLiteral("novote.db"));
        QString error;
        QVERIFY2(tsqltest::createHallDatabase(path, &error), qPrintable(error));
        {
            DbConnection db;
            QVERIFY(tsqltest::openHall(db, path));
            QVERIFY2(schema::loadDemo(db, m_dir.filePath(QStringLiteral("novote")), &error), qPrintable(error));
            QVERIFY(run(db, QStringLiteral("INSERT INTO zasedanie (data,opisanie) VALUES (getdate(),'Второе')")));
        }
        Run r = voterSql(embedded(path), {QStringLiteral("--export")});
        QVERIFY2(r.exitCode == 0, qPrintable(r.out));
        const QJsonObject doc = QJsonDocument::fromJson(r.out.toUtf8()).object();
        QCOMPARE(doc.value(QStringLiteral("meeting")).toObject().value(QStringLiteral("title")).toString(),
                 QStringLiteral("Второе"));
        QVERIFY(doc.value(QStringLiteral("votes")).isArray());
        QVERIFY(doc.value(QStringLiteral("votes")).toArray().isEmpty());
        r = voterSql(embedded(path), {QStringLiteral("--export"), QStringLiteral("--csv")});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.out.count(QStringLiteral("\r\n")), 1);
        QCOMPARE(voterSql(embedded(path), {QStringLiteral("--export"), QStringLiteral("99")}).exitCode, 1);
    }

    void exportPublishesNamesOfOpenVotesOnly()
    {
        const QString path = copy(QStringLiteral("export.db"));
        Run r = voterSql(embedded(path), {QStringLiteral("--export")});
        QCOMPARE(r.exitCode, 0);
        const QJsonObject doc = QJsonDocument::fromJson(r.out.toUtf8()).object();
        QCOMPARE(doc.value(QStringLiteral("format")).toString(), QStringLiteral("voter-votes/1"));
        QCOMPARE(doc.value(QStringLiteral("meeting")).toObject().value(QStringLiteral("id")).toInt(), 1);
        const QJsonArray votes = doc.value(QStringLiteral("votes")).toArray();
        QCOMPARE(votes.size(), 2);
        const QJsonObject open = votes[0].toObject(), secret = votes[1].toObject();
        QCOMPARE(open.value(QStringLiteral("kind")).toString(), QStringLiteral("open"));
        QCOMPARE(secret.value(QStringLiteral("kind")).toString(), QStringLiteral("secret"));
        for (const QJsonObject &v : {open, secret}) {
            const QJsonObject t = v.value(QStringLiteral("totals")).toObject();
            QCOMPARE(t.value(QStringLiteral("for")).toInt(), 3);
            QCOMPARE(t.value(QStringLiteral("against")).toInt(), 1);
            QCOMPARE(t.value(QStringLiteral("abstained")).toInt(), 1);
            QCOMPARE(v.value(QStringLiteral("decision")).toString(), QStringLiteral("rejected"));
            QCOMPARE(v.value(QStringLiteral("rule")).toString(), QStringLiteral("Процедурные | вопросы \\ '1'"));
            QCOMPARE(v.value(QStringLiteral("quorum")).toString(), QStringLiteral("absent"));
        }
        QVERIFY(secret.value(QStringLiteral("ballots")).isNull());
        const QJsonArray ballots = open.value(QStringLiteral("ballots")).toArray();
        QCOMPARE(ballots.size(), 5);
        QStringList choices;
        for (const QJsonValue &b : ballots)
            choices << b.toObject().value(QStringLiteral("choice")).toString();
        choices.sort();
        QCOMPARE(choices, (QStringList{"abstained", "against", "for", "for", "for"}));
        QVERIFY(!ballots[0].toObject().value(QStringLiteral("deputy")).toString().isEmpty());

        r = voterSql(embedded(path), {QStringLiteral("--export"), QStringLiteral("1"), QStringLiteral("--csv")});
        QCOMPARE(r.exitCode, 0);
        const QStringList lines = r.out.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
        // Header, the open vote and its 5 ballots, the secret vote alone.
        QCOMPARE(lines.size(), 1 + 1 + 5 + 1);
        QVERIFY(lines[0].startsWith(QStringLiteral("record,meeting,vote,")));
        QVERIFY(lines[1].startsWith(QStringLiteral("vote,1,%1,").arg(m_open)));
        QVERIFY(lines[1].contains(QStringLiteral(",\"Процедурные | вопросы \\ '1'\",")) || lines[1].contains(QStringLiteral(",Процедурные | вопросы \\ '1',")));
        QCOMPARE(lines.filter(QRegularExpression(QStringLiteral("^ballot,1,%1,").arg(m_open))).size(), 5);
        QVERIFY(lines[7].startsWith(QStringLiteral("vote,1,%1,").arg(m_secret)));
        QVERIFY(lines[7].endsWith(QStringLiteral(",rejected,absent,,,,")));
    }
};

QTEST_MAIN(TestZhurnal)
#include "test_zhurnal.moc"
