// The creation script of the embedded database, the script runner and the demo data.
#include "db/connection.h"
#include "db/parol.h"
#include "db/schema.h"

#include <QDateTime>
#include <QFile>
#include <QPdfDocument>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// Cyrillic code page 1251 as RTF's \'hh escapes use it (the letters and the few signs the
// demo texts hold), enough to read the demo contents back as text.
QString decodeRtfEscapes(const QString &rtf)
{
    static const QRegularExpression hex(QStringLiteral("\\\\'([0-9a-fA-F]{2})"));
    QString out;
    int last = 0;
    auto it = hex.globalMatch(rtf);
    while (it.hasNext()) {
        const auto m = it.next();
        out += rtf.mid(last, m.capturedStart() - last);
        const int b = m.captured(1).toInt(nullptr, 16);
        QChar c;
        if (b >= 0xC0)
            c = QChar(0x0410 + (b - 0xC0));
        else if (b == 0xA8)
            c = QChar(0x0401);
        else if (b == 0xB8)
            c = QChar(0x0451);
        else if (b == 0xAB)
            c = QChar(0x00AB);
        else if (b == 0xBB)
            c = QChar(0x00BB);
        else
            c = QChar(b);
        out += c;
        last = m.capturedEnd();
    }
    return out + rtf.mid(last);
}

ConnectionParams admin(const QString &path)
{
    return {QStringLiteral("embedded"), path, QStringLiteral("admin1"), QStringLiteral("admin1")};
}

}  // namespace

class TestSchema : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    int m_files = 0;

    // A fresh database in the temporary folder, opened as the operator.
    QString freshDatabase(DbConnection &db)
    {
        const QString path = m_dir.filePath(QStringLiteral("db%1.db").arg(++m_files));
        QString error;
        if (!schema::createEmbedded(path, &error))
            qWarning("%s", qPrintable(error));
        if (!db.open(admin(path)))
            qWarning("%s", qPrintable(db.firstErrorText()));
        return path;
    }

    static QStringList column(DbConnection &db, const QString &sql)
    {
        ResultSet rs;
        if (!db.query(sql, &rs))
            return {QStringLiteral("ERROR: ") + db.firstErrorText()};
        QStringList out;
        for (int r = 0; r < rs.rowCount(); ++r)
            out << (rs.value(r, 0).isNull() ? QStringLiteral("NULL") : rs.value(r, 0).toString());
        return out;
    }

private Q_SLOTS:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void freshDatabaseHoldsTablesAndReferenceRows()
    {
        DbConnection db;
        freshDatabase(db);
        QVERIFY(db.isOpen());

        const QStringList tables = column(db, QStringLiteral(
            "SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite%' ORDER BY name"));
        QCOMPARE(tables, (QStringList{"deputat", "faili", "golosovanie", "konstanti", "logins", "mesto",
                                      "otvet", "povestka", "povestka_regim", "proshu_slovo", "regim",
                                      "regim_golos", "sessia", "sessia_start", "sostav", "zasedanie", "zhurnal"}));

        ResultSet mode;
        QVERIFY(db.query(QStringLiteral("SELECT nomer,param1,param2 FROM regim"), &mode));
        QCOMPARE(mode.rowCount(), 1);
        QCOMPARE(mode.rows[0], (QVector<QVariant>{qlonglong(-1), qlonglong(0), qlonglong(0)}));

        QStringList seats;
        for (int i = 1; i <= 27; ++i)
            seats << QStringLiteral("%1").arg(i, 2, 10, QLatin1Char('0'));
        QCOMPARE(column(db, QStringLiteral("SELECT nomer FROM mesto ORDER BY id")), seats);
        QCOMPARE(column(db, QStringLiteral("SELECT count(*) FROM mesto WHERE connected = 0 AND podkl IS NULL")),
                 QStringList{"27"});

        // The seven decision-rule captions of the vote set-up, in their order.
        QCOMPARE(column(db, QStringLiteral("SELECT regim FROM regim_golos ORDER BY ord")),
                 (QStringList{"Большинство от присутствующих", "Большинство от установленного числа",
                              "2/3 от установленного числа", "Большинство от числа избранных",
                              "1/3 от установленного числа депутатов", "1/3 от присутствующих депутатов",
                              "1/3 от избранных депутатов"}));
        QCOMPARE(column(db, QStringLiteral("SELECT ord FROM regim_golos ORDER BY ord")),
                 (QStringList{"1", "2", "3", "4", "5", "6", "7"}));
        QCOMPARE(column(db, QStringLiteral("SELECT count(*) FROM regim_golos WHERE opisanie <> ''")),
                 QStringList{"7"});

        ResultSet k;
        QVERIFY(db.query(QStringLiteral("SELECT opisanie, znachenie FROM konstanti ORDER BY opisanie"), &k));
        QCOMPARE(k.rowCount(), 4);
        QMap<QString, QString> constants;
        for (int r = 0; r < k.rowCount(); ++r)
            constants[k.value(r, 0).toString()] = k.value(r, 1).toString();
        QCOMPARE(constants.value("Избрано"), QStringLiteral("27"));
        QCOMPARE(constants.value("Установлено законом"), QStringLiteral("27"));
        QCOMPARE(constants.value("Кворум"), QStringLiteral("14"));
        QVERIFY(constants.contains("Освобожденные места"));
        QCOMPARE(constants.value("Освобожденные места"), QString(""));

        // Every login's password is its own name, stored only as a salted hash of it.
        ResultSet l;
        QVERIFY(db.query(QStringLiteral("SELECT login, password FROM logins"), &l));
        QCOMPARE(l.rowCount(), 31);
        for (int r = 0; r < l.rowCount(); ++r) {
            QVERIFY2(l.value(r, 0).toString() != l.value(r, 1).toString(), qPrintable(l.value(r, 0).toString()));
            QVERIFY2(parol::proverit(l.value(r, 0).toString(), l.value(r, 1).toString()), qPrintable(l.value(r, 0).toString()));
        }
    }

    void loginsFollowTheSeatRule()
    {
        DbConnection db;
        const QString path = freshDatabase(db);
        for (const QString login : {"01", "27", "admin3", "watcher"}) {
            DbConnection c;
            QVERIFY2(c.open({QString(), path, login, login}), qPrintable(login));
        }
        DbConnection wrong;
        QVERIFY(!wrong.open({QString(), path, QStringLiteral("07"), QStringLiteral("08")}));
        QCOMPARE(wrong.errors().value(0).nativeError, 18456);
        DbConnection unknown;
        QVERIFY(!unknown.open({QString(), path, QStringLiteral("28"), QStringLiteral("28")}));
    }

    void createKeepsAnExistingFileUnlessAskedToReplace()
    {
        DbConnection db;
        const QString path = freshDatabase(db);
        QVERIFY(db.exec(QStringLiteral("INSERT INTO deputat (familia,imya,otchestvo) VALUES ('А','Б','В')")));
        db.close();

        QString error;
        QVERIFY(!schema::createEmbedded(path, &error));
        QVERIFY(error.contains(path));
        QVERIFY(db.open(admin(path)));
        QCOMPARE(column(db, QStringLiteral("SELECT count(*) FROM deputat")), QStringList{"1"});
        db.close();

        QVERIFY2(schema::createEmbedded(path, &error, true), qPrintable(error));
        QVERIFY(!QFile::exists(path + QStringLiteral(".new")));
        QVERIFY(db.open(admin(path)));
        QCOMPARE(column(db, QStringLiteral("SELECT count(*) FROM deputat")), QStringList{"0"});
        QCOMPARE(column(db, QStringLiteral("SELECT count(*) FROM mesto")), QStringList{"27"});
        QCOMPARE(column(db, QStringLiteral("PRAGMA journal_mode")), QStringList{"wal"});

        // A folder that cannot be created: nothing is left behind and the reason is given.
        QFile blocker(m_dir.filePath(QStringLiteral("plainfile")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        QVERIFY(!schema::createEmbedded(m_dir.filePath(QStringLiteral("plainfile/x.db")), &error));
        QVERIFY(!error.isEmpty());
    }

    void meetingWithItemsCannotBeDeleted()
    {
        DbConnection db;
        freshDatabase(db);
        QVERIFY2(db.exec(QStringLiteral("INSERT INTO zasedanie (data,opisanie,vremya) VALUES ('20140305','Заседание № 1','00:00:00')")),
                 qPrintable(db.firstErrorText()));
        const QString meeting = db.scalar(QStringLiteral("SELECT @@identity as id;")).toString();
        QVERIFY(db.exec(QStringLiteral("INSERT INTO povestka (id_zasedanie,tip,nomer,ord,opisanie,info,aktiv) VALUES (%1,0,0,1,'Вопрос 0','',0)").arg(meeting)));
        const QString item = db.scalar(QStringLiteral("SELECT @@identity as id;")).toString();

        QVERIFY(!db.exec(QStringLiteral("DELETE FROM zasedanie WHERE id=") + meeting));
        QCOMPARE(db.errors().value(0).nativeError, 547);
        QCOMPARE(column(db, QStringLiteral("SELECT count(*) FROM zasedanie WHERE id=") + meeting), QStringList{"1"});

        db.clearErrors();
        QVERIFY(db.exec(QStringLiteral("DELETE FROM povestka WHERE id=") + item));
        QVERIFY2(db.exec(QStringLiteral("DELETE FROM zasedanie WHERE id=") + meeting), qPrintable(db.firstErrorText()));
        QCOMPARE(column(db, QStringLiteral("SELECT count(*) FROM zasedanie")), QStringList{"0"});

        // Keys are never handed out again, even after the newest row went.
        QVERIFY(db.exec(QStringLiteral("INSERT INTO zasedanie (data,opisanie,vremya) VALUES ('20140306','Заседание № 2','00:00:00')")));
        QVERIFY(db.scalar(QStringLiteral("SELECT @@identity as id;")).toLongLong() > meeting.toLongLong());
    }

    void datesAreStoredInServerForms()
    {
        DbConnection db;
        freshDatabase(db);
        QVERIFY2(db.exec(QStringLiteral("INSERT INTO zasedanie (data,opisanie,vremya) VALUES ('20140305','Заседание № 1','00:00:00')")),
                 qPrintable(db.firstErrorText()));
        // Triggers rewrite the literals; @@identity still names the meeting.
        const QString id = db.scalar(QStringLiteral("SELECT @@identity as id;")).toString();
        QCOMPARE(column(db, QStringLiteral("SELECT max(id) FROM zasedanie")), QStringList{id});
        ResultSet rs;
        QVERIFY(db.query(QStringLiteral("SELECT data, vremya, start, stop FROM zasedanie WHERE id=") + id, &rs));
        QCOMPARE(rs.value(0, 0).toString(), QStringLiteral("2014-03-05"));
        QCOMPARE(rs.value(0, 1).toString(), QStringLiteral("00:00:00"));
        QVERIFY(rs.value(0, 2).isNull());
        QVERIFY(rs.value(0, 3).isNull());
        QCOMPARE(column(db, QStringLiteral("SELECT REPLACE(CONVERT(varchar,data,103),'/','.') FROM zasedanie WHERE id=") + id),
                 QStringList{"05.03.2014"});

        QVERIFY(db.exec(QStringLiteral("UPDATE zasedanie SET data='20141125', start='20141125 10:11:12' WHERE id=") + id));
        QVERIFY(db.query(QStringLiteral("SELECT data, start FROM zasedanie WHERE id=") + id, &rs));
        QCOMPARE(rs.value(0, 0).toString(), QStringLiteral("2014-11-25"));
        QCOMPARE(rs.value(0, 1).toString(), QStringLiteral("2014-11-25 10:11:12.000"));

        // A literal that is no date is refused, as the server refuses it, and nothing changes.
        QVERIFY(!db.exec(QStringLiteral("UPDATE zasedanie SET data='kein Datum' WHERE id=") + id));
        QCOMPARE(column(db, QStringLiteral("SELECT data FROM zasedanie WHERE id=") + id), QStringList{"2014-11-25"});

        // A registration period gets its start from the database, local time, and no stop.
        const QDateTime before = QDateTime::currentDateTime().addSecs(-2);
        QVERIFY(db.exec(QStringLiteral("INSERT INTO sessia_start (id_zasedanie) VALUES (") + id + QLatin1Char(')')));
        QVERIFY(db.query(QStringLiteral("SELECT start, stop FROM sessia_start WHERE id = (SELECT max(id) FROM sessia_start)"), &rs));
        const QString start = rs.value(0, 0).toString();
        QVERIFY2(QRegularExpression(QStringLiteral("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d{3}$")).match(start).hasMatch(),
                 qPrintable(start));
        const QDateTime started = QDateTime::fromString(start, QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz"));
        QVERIFY(started >= before && started <= QDateTime::currentDateTime().addSecs(2));
        QVERIFY(rs.value(0, 1).isNull());

        // The other date columns are normalised too.
        QVERIFY(db.exec(QStringLiteral("UPDATE sessia_start SET stop='20140305 09:00'")));
        QCOMPARE(column(db, QStringLiteral("SELECT stop FROM sessia_start")), QStringList{"2014-03-05 09:00:00.000"});
        QVERIFY(db.exec(QStringLiteral("UPDATE mesto SET podkl='2014-03-05T09:00:01' WHERE nomer='05'")));
        QCOMPARE(column(db, QStringLiteral("SELECT podkl FROM mesto WHERE nomer='05'")), QStringList{"2014-03-05 09:00:01.000"});
        QVERIFY(db.exec(QStringLiteral("INSERT INTO povestka (id_zasedanie,tip,nomer,ord,opisanie,aktiv,aktiv_data) VALUES (")
                        + id + QStringLiteral(",0,1,1,'Вопрос 1',1,'20140305 09:30')")));
        QCOMPARE(column(db, QStringLiteral("SELECT aktiv_data FROM povestka")), QStringList{"2014-03-05 09:30:00.000"});
        QVERIFY(db.exec(QStringLiteral("INSERT INTO golosovanie (data,regim,id_sessia) VALUES ('20140305 09:31:02','x',1)")));
        QCOMPARE(column(db, QStringLiteral("SELECT data FROM golosovanie")), QStringList{"2014-03-05 09:31:02.000"});
    }

    void awkwardTextsSurviveQuoting()
    {
        DbConnection db;
        freshDatabase(db);
        const QString long100k = QString(100000, QChar(0x0416));  // 'Ж' x 100 000
        const QStringList texts{QStringLiteral("О'Нил ''двойные'' '"), QStringLiteral("100% _подчерк_ [скобка] [%]"),
                                QStringLiteral("C:\\docs\\5.03.2014\\1\\"), QStringLiteral("строка\nвторая\r\n;GO\n"),
                                QStringLiteral("-- не комментарий /* и это */"), long100k};
        for (const QString &t : texts) {
            QVERIFY2(db.exec(QStringLiteral("INSERT INTO zasedanie (data,opisanie,vremya) VALUES ('20140305',%1,'00:00:00')").arg(sql::quote(t))),
                     qPrintable(db.firstErrorText()));
            const QString id = db.scalar(QStringLiteral("SELECT @@identity as id;")).toString();
            QCOMPARE(db.scalar(QStringLiteral("SELECT opisanie FROM zasedanie WHERE id=") + id).toString(), t);
            QCOMPARE(db.scalar(QStringLiteral("SELECT count(*) FROM zasedanie WHERE opisanie = ") + sql::quote(t)).toInt(), 1);
        }
    }

    void scriptsSplitIntoBatchesAndStatements()
    {
        const QString text = QStringLiteral(
            "-- heading; with 'quote\n"
            "SELECT 'a;b' AS x; SELECT 'it''s' -- trailing ; comment\n"
            "go\n"
            "/* block /* nested */ GO\n"
            "still comment; */ SELECT [we;ird] FROM t\n"
            "  GO 2  \n"
            "SELECT 'line one\n"
            "GO\n"
            "line three'\n");
        const QStringList batches = schema::splitBatches(text);
        QCOMPARE(batches.size(), 4);
        QCOMPARE(batches[0], QStringLiteral("SELECT 'a;b' AS x; SELECT 'it''s'"));
        QCOMPARE(batches[1], batches[2]);  // "GO 2" runs the batch twice
        QVERIFY(batches[1].endsWith(QStringLiteral("SELECT [we;ird] FROM t")));
        QVERIFY(!batches[1].contains(QStringLiteral("still")));
        QCOMPARE(batches[3], QStringLiteral("SELECT 'line one\nGO\nline three'"));

        QCOMPARE(schema::splitStatements(batches[0]),
                 (QStringList{QStringLiteral("SELECT 'a;b' AS x"), QStringLiteral("SELECT 'it''s'")}));
        QCOMPARE(schema::splitStatements(QStringLiteral(";; SELECT 1 ;\n;")), QStringList{QStringLiteral("SELECT 1")});
        QVERIFY(schema::splitBatches(QStringLiteral("-- only a comment\nGO\n")).isEmpty());
    }

    void scriptStopsAtTheFirstFailure()
    {
        DbConnection db;
        freshDatabase(db);
        QList<ResultSet> results;
        QString error, failed;
        const bool ok = schema::runScript(db,
            QStringLiteral("INSERT INTO deputat (familia) VALUES ('Один');\n"
                           "SELECT familia FROM deputat;\nGO\n"
                           "INSERT INTO nosuch VALUES (1);\n"
                           "INSERT INTO deputat (familia) VALUES ('Два');\n"),
            &error, [&](const ResultSet &rs) { results << rs; }, &failed);
        QVERIFY(!ok);
        QVERIFY2(error.contains(QStringLiteral("nosuch")), qPrintable(error));
        QCOMPARE(failed, QStringLiteral("INSERT INTO nosuch VALUES (1)"));
        QCOMPARE(results.size(), 1);
        QCOMPARE(results[0].value(0, 0).toString(), QStringLiteral("Один"));
        QCOMPARE(column(db, QStringLiteral("SELECT count(*) FROM deputat")), QStringList{"1"});
    }

    void dateFolderFollowsTheDocumentStoreRule()
    {
        QCOMPARE(schema::dateFolder(QDate(2014, 3, 5)), QStringLiteral("5.03.2014"));
        QCOMPARE(schema::dateFolder(QDate(2014, 11, 25)), QStringLiteral("25.11.2014"));
        const QString demo = schema::demoScript(QDate(2014, 3, 5));
        QVERIFY(demo.contains(QStringLiteral("'20140305'")));
        QVERIFY(demo.contains(QStringLiteral("'5.03.2014\\1\\'")));
        QVERIFY(!demo.contains(QStringLiteral("$(")));
        // The SQL Server script is shipped and carries both server-side functions.
        const QString mssql = schema::script(QStringLiteral("mssql.sql"));
        QVERIFY(mssql.contains(QStringLiteral("CREATE FUNCTION dbo.mnogoimen (")));
        QVERIFY(mssql.contains(QStringLiteral("CREATE FUNCTION dbo.mnogoimen2 (")));
    }

    void demoDataMakesAWorkingHall()
    {
        DbConnection db;
        freshDatabase(db);
        const QString programDir = m_dir.filePath(QStringLiteral("program"));
        QString error;
        QVERIFY2(schema::loadDemo(db, programDir, &error), qPrintable(error));

        QCOMPARE(column(db, QStringLiteral("SELECT count(*) FROM deputat")), QStringList{"27"});
        QCOMPARE(column(db, QStringLiteral("SELECT count(DISTINCT id_mesto) FROM sostav")), QStringList{"27"});
        QCOMPARE(column(db, QStringLiteral("SELECT count(DISTINCT id_deputat) FROM sostav")), QStringList{"27"});
        QCOMPARE(column(db, QStringLiteral("SELECT nomer FROM sostav, mesto WHERE mesto.id = sostav.id_mesto AND chairman = 1")),
                 QStringList{"02"});

        ResultSet m;
        QVERIFY(db.query(QStringLiteral("SELECT id, data, opisanie, vremya, start, stop FROM zasedanie"), &m));
        QCOMPARE(m.rowCount(), 1);
        QCOMPARE(m.value(0, "data").toString(), QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")));
        QVERIFY(m.value(0, "opisanie").toString().startsWith(QStringLiteral("Заседание № ")));
        QCOMPARE(m.value(0, "vremya").toString(), QStringLiteral("00:00:00"));
        QVERIFY(m.value(0, "start").isNull());
        QVERIFY(m.value(0, "stop").isNull());

        ResultSet items;
        QVERIFY(db.query(QStringLiteral("SELECT tip, nomer, ord, opisanie, info, aktiv FROM povestka ORDER BY ord"), &items));
        QVERIFY(items.rowCount() >= 5);
        QCOMPARE(items.value(0, "opisanie").toString(), QStringLiteral("Вопрос 0"));
        QCOMPARE(items.value(0, "tip").toInt(), 0);
        QCOMPARE(items.value(0, "nomer").toInt(), 0);
        QCOMPARE(items.value(0, "ord").toInt(), 1);
        int additional = 0, marked = 0;
        for (int r = 0; r < items.rowCount(); ++r) {
            const QString title = items.value(r, "opisanie").toString();
            const int tip = items.value(r, "tip").toInt();
            QCOMPARE(items.value(r, "ord").toInt(), r + 1);
            QCOMPARE(items.value(r, "aktiv").toInt(), 0);
            QCOMPARE(title, (tip == 0 ? QStringLiteral("Вопрос %1") : QStringLiteral("Доп. вопрос %1"))
                                .arg(items.value(r, "nomer").toInt()));
            additional += tip;
            const QString info = items.value(r, "info").toString();
            QVERIFY2(info.startsWith(QStringLiteral("{\\rtf1\\ansi\\ansicpg1251")), qPrintable(title));
            QCOMPARE(info.count(QLatin1Char('{')), info.count(QLatin1Char('}')));
            QVERIFY(info.contains(QStringLiteral("\\b ")) || info.contains(QStringLiteral("\\b\\")));
            if (decodeRtfEscapes(info).contains(QStringLiteral("Кто вносит:")))
                ++marked;
        }
        QCOMPARE(additional, 2);
        QVERIFY(marked >= 2 && marked < items.rowCount());
        QVERIFY(column(db, QStringLiteral("SELECT count(*) FROM povestka_regim")).value(0).toInt() >= 3);
        QCOMPARE(column(db, QStringLiteral("SELECT count(*) FROM povestka_regim WHERE id_regim NOT IN (SELECT id FROM regim_golos)")),
                 QStringList{"0"});

        ResultSet doc;
        QVERIFY(db.query(QStringLiteral("SELECT fail, put, faili.opisanie, povestka.opisanie FROM faili, povestka WHERE povestka.id = faili.id_povestka"), &doc));
        QCOMPARE(doc.rowCount(), 1);
        QCOMPARE(doc.value(0, 3).toString(), QStringLiteral("Вопрос 1"));
        const QString put = doc.value(0, 1).toString();
        QCOMPARE(put, schema::dateFolder(QDate::currentDate()) + QStringLiteral("\\1\\"));
        QString rel = put;
        rel.replace(QLatin1Char('\\'), QLatin1Char('/'));
        const QString pdf = programDir + QStringLiteral("/docs/") + rel + doc.value(0, 0).toString();
        QVERIFY2(QFile::exists(pdf), qPrintable(pdf));
        QPdfDocument reader;
        QCOMPARE(reader.load(pdf), QPdfDocument::Error::None);
        QVERIFY(reader.pageCount() >= 2);
        QVERIFY(reader.getAllText(0).text().contains(QStringLiteral("бюджет")));

        // Loading twice would seat deputies twice: refused, nothing added.
        QVERIFY(!schema::loadDemo(db, programDir, &error));
        QVERIFY(!error.isEmpty());
        QCOMPARE(column(db, QStringLiteral("SELECT count(*) FROM deputat")), QStringList{"27"});
    }
};

QTEST_MAIN(TestSchema)
#include "test_schema.moc"
