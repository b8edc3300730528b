// The T-SQL layer of the embedded engine: every rewrite checked against a real SQLite
// database through the connection class, with the answers SQL Server gives.
#include "db/connection.h"
#include "db/tsql.h"
#include "test_tsql_db.h"

#include <QDateTime>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#define QUERY(text, rs) \
    QVERIFY2(m_db.query(text, &(rs)), qPrintable(m_db.firstErrorText() + QStringLiteral(" <- ") + (text)))
#define EXEC(text) QVERIFY2(m_db.exec(text), qPrintable(m_db.firstErrorText() + QStringLiteral(" <- ") + (text)))

class TestTsql : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_path;
    DbConnection m_db;
    qlonglong m_meeting = 0;
    qlonglong m_item1 = 0, m_item2 = 0;

    qlonglong scalarInt(const QString &text)
    {
        bool ok = false;
        const QVariant v = m_db.scalar(text, &ok);
        if (!ok)
            qWarning() << m_db.firstErrorText() << "<-" << text;
        return v.toLongLong();
    }

    qlonglong deputy(const QString &familia)
    {
        return scalarInt(QStringLiteral("SELECT id FROM deputat WHERE familia = %1").arg(sql::quote(familia)));
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_path = m_dir.filePath(QStringLiteral("hall.db"));
        QString error;
        QVERIFY2(tsqltest::createHallDatabase(m_path, &error), qPrintable(error));
        QVERIFY2(tsqltest::openHall(m_db, m_path), qPrintable(m_db.firstErrorText()));

        // Lower-case and Ё surnames check the case-insensitive Cyrillic ordering.
        EXEC("INSERT INTO deputat (familia,imya,otchestvo) VALUES ('Иванов','Иван','Иванович')");
        EXEC("INSERT INTO deputat (familia,imya,otchestvo) VALUES ('абрамов','Антон','Андреевич')");
        EXEC("INSERT INTO deputat (familia,imya,otchestvo) VALUES ('Белов','Борис','Борисович')");
        EXEC("INSERT INTO deputat (familia,imya,otchestvo) VALUES ('Ёлкин','Егор','Ефимович')");
        EXEC("INSERT INTO deputat (familia,imya,otchestvo) VALUES ('Жуков','Павел',NULL)");
        EXEC("INSERT INTO deputat (familia,imya,otchestvo) VALUES ('Сидоров','Семён','')");
        EXEC("INSERT INTO sostav (chairman,id_deputat,id_mesto) SELECT 1, id, 2 FROM deputat WHERE familia = 'Белов'");
        EXEC("INSERT INTO sostav (id_deputat,id_mesto) SELECT id, 1 FROM deputat WHERE familia = 'Иванов'");

        EXEC("INSERT INTO zasedanie (data,opisanie,vremya) VALUES ('20140305','Заседание № 1','00:00:00')");
        m_meeting = scalarInt(QStringLiteral("SELECT @@identity as id;"));
        QVERIFY(m_meeting > 0);
        EXEC(QStringLiteral("INSERT INTO povestka (id_zasedanie,tip,nomer,ord,opisanie,info,aktiv) "
                            "VALUES (%1,0,0,1,'Вопрос 0','Повестка',0)").arg(m_meeting));
        m_item1 = scalarInt(QStringLiteral("SELECT @@identity as id;"));
        EXEC(QStringLiteral("INSERT INTO povestka (id_zasedanie,tip,nomer,ord,opisanie,info,aktiv) "
                            "VALUES (%1,0,1,2,'Вопрос 1','Бюджет',1)").arg(m_meeting));
        m_item2 = scalarInt(QStringLiteral("SELECT @@identity as id;"));
        QVERIFY(m_item2 > m_item1);

        // A table outside the hall schema: its column types are unknown to the translator.
        EXEC("CREATE TABLE misc (id INTEGER PRIMARY KEY, t TEXT, n INTEGER)");
    }

    void plusConcatenatesTextAndAddsNumbers()
    {
        ResultSet rs;
        QUERY(QStringLiteral("SELECT familia + ' ' + imya + ' ' + otchestvo as fio FROM deputat WHERE familia = 'Иванов'"), rs);
        QCOMPARE(rs.scalar().toString(), QStringLiteral("Иванов Иван Иванович"));

        EXEC("UPDATE regim SET nomer=5,param1=3,param2=2");
        QUERY(QStringLiteral("SELECT nomer + param1 + 1, param1 - param2 FROM regim"), rs);
        QCOMPARE(rs.value(0, 0), QVariant(qlonglong(9)));
        QCOMPARE(rs.value(0, 1), QVariant(qlonglong(1)));

        // The chairman's speaker list heading and the protocol's short name.
        QUERY(QStringLiteral("SELECT 'Всего записалось: ' + CAST(count(*) as NVARCHAR) as fio,-1 as id,2 as ord "
                             "FROM proshu_slovo"), rs);
        QCOMPARE(rs.scalar().toString(), QStringLiteral("Всего записалось: 0"));
        QUERY(QStringLiteral("SELECT SUBSTRING(deputat.imya,1,1) + '.' + SUBSTRING(deputat.otchestvo,1,1) + '. ' "
                             "+ deputat.familia as fio2 FROM deputat WHERE familia = 'Белов'"), rs);
        QCOMPARE(rs.scalar().toString(), QStringLiteral("Б.Б. Белов"));

        // NULL on either side makes the whole text NULL.
        QUERY(QStringLiteral("SELECT familia + ' ' + otchestvo FROM deputat WHERE familia = 'Жуков'"), rs);
        QCOMPARE(rs.rowCount(), 1);
        QVERIFY(rs.scalar().isNull());
        QUERY(QStringLiteral("SELECT NULL + 1, 'a' + NULL"), rs);
        QVERIFY(rs.value(0, 0).isNull());
        QVERIFY(rs.value(0, 1).isNull());

        // Types known only from the values: text + text concatenates, a number converts the text.
        EXEC("INSERT INTO misc (t, n) VALUES ('5', 2)");
        QUERY(QStringLiteral("SELECT t + t, n + n, t + n, '5' + 1 FROM misc"), rs);
        QCOMPARE(rs.value(0, 0).toString(), QStringLiteral("55"));
        QCOMPARE(rs.value(0, 1), QVariant(qlonglong(4)));
        QCOMPARE(rs.value(0, 2), QVariant(qlonglong(7)));
        QCOMPARE(rs.value(0, 3), QVariant(qlonglong(6)));
        QVERIFY(!m_db.query(QStringLiteral("SELECT 'x' + n FROM misc"), &rs));
        QVERIFY2(m_db.firstErrorText().contains(QStringLiteral("Conversion failed")), qPrintable(m_db.firstErrorText()));
        EXEC("DELETE FROM misc");
    }

    void topBecomesLimit()
    {
        ResultSet rs;
        QUERY(QStringLiteral("SELECT TOP 2 id FROM deputat ORDER BY id DESC"), rs);
        QCOMPARE(rs.rowCount(), 2);
        QCOMPARE(rs.value(0, 0).toLongLong(), scalarInt(QStringLiteral("SELECT MAX(id) FROM deputat")));

        // Neighbour of an agenda item, with the number run into the keyword.
        QUERY(QStringLiteral("SELECT TOP 1 ord,id FROM povestka WHERE (id_zasedanie=%1) AND (ord>1) ORDER BY ord;")
                  .arg(m_meeting), rs);
        QCOMPARE(rs.rowCount(), 1);
        QCOMPARE(rs.value(0, "id").toLongLong(), m_item2);
        QUERY(QStringLiteral("SELECT TOP 1 id FROM povestka WHERE id_zasedanie=%1ORDER by ord;").arg(m_meeting), rs);
        QCOMPARE(rs.scalar().toLongLong(), m_item1);
        QUERY(QStringLiteral("SELECT TOP (1) id FROM povestka WHERE id_zasedanie=%1 ORDER BY ord DESC").arg(m_meeting), rs);
        QCOMPARE(rs.scalar().toLongLong(), m_item2);

        // In a sub-select, and in one member of a UNION ALL only.
        QUERY(QStringLiteral("SELECT (SELECT TOP 1 familia FROM deputat ORDER BY id) as f"), rs);
        QCOMPARE(rs.scalar().toString(), QStringLiteral("Иванов"));
        QUERY(QStringLiteral("SELECT TOP 1 id FROM deputat UNION ALL SELECT id FROM deputat ORDER BY 1"), rs);
        QCOMPARE(rs.rowCount(), int(scalarInt(QStringLiteral("SELECT count(*) FROM deputat"))) + 1);
    }

    void convertAndDateParts()
    {
        ResultSet rs;
        // The meetings list: dd.mm.yyyy and the stored yyyy-mm-dd.
        QUERY(QStringLiteral("SELECT id,REPLACE(CONVERT(varchar,data,103),'/','.') as data,opisanie,vremya,data as dt,\n"
                             "start,stop\nFROM zasedanie\nORDER BY zasedanie.data DESC,id DESC"), rs);
        QCOMPARE(rs.value(0, "data").toString(), QStringLiteral("05.03.2014"));
        QCOMPARE(rs.value(0, "dt").toString(), QStringLiteral("2014-03-05"));
        QCOMPARE(rs.value(0, "vremya").toString(), QStringLiteral("00:00:00"));

        // The document folder parts: day without zero, month as a number, four-digit year.
        QUERY(QStringLiteral("SELECT DATENAME(dd,data) as dd, DATEPART(mm,data) as mm,DATENAME(yy,data) as yy "
                             "FROM zasedanie WHERE id = %1").arg(m_meeting), rs);
        QCOMPARE(rs.value(0, "dd"), QVariant(QStringLiteral("5")));
        QCOMPARE(rs.value(0, "mm"), QVariant(qlonglong(3)));
        QCOMPARE(rs.value(0, "yy"), QVariant(QStringLiteral("2014")));

        // The protocol's dt: DATENAME(day/HH/MI), DATEPART(M/yyyy) cast to text.
        EXEC(QStringLiteral("UPDATE zasedanie SET start = '20140305 09:05:07' WHERE id=%1").arg(m_meeting));
        QUERY(QStringLiteral("SELECT DATENAME(day,zasedanie.start) + '.' + CAST(DATEPART(M,zasedanie.start) as NVARCHAR) + '.'  "
                             "+ CAST(DATEPART(yyyy,zasedanie.start) as NVARCHAR) + ' ' + DATENAME(HH,zasedanie.start) + ':' "
                             "+ DATENAME(MI,zasedanie.start) as dt FROM zasedanie WHERE (zasedanie.id = %1)").arg(m_meeting), rs);
        QCOMPARE(rs.scalar().toString(), QStringLiteral("5.3.2014 9:5"));

        QUERY(QStringLiteral("SELECT DATENAME(mm,'20140305'), DATEPART(dw,'20140305'), DATENAME(dw,'20140309'), "
                             "DATEPART(ss,'2014-03-05 10:11:12.345'), YEAR(start), MONTH(start), DAY(start) "
                             "FROM zasedanie WHERE id=%1").arg(m_meeting), rs);
        QCOMPARE(rs.value(0, 0).toString(), QStringLiteral("март"));
        QCOMPARE(rs.value(0, 1), QVariant(qlonglong(3)));  // Wednesday, weeks from Monday
        QCOMPARE(rs.value(0, 2).toString(), QStringLiteral("воскресенье"));
        QCOMPARE(rs.value(0, 3), QVariant(qlonglong(12)));
        QCOMPARE(rs.value(0, 4), QVariant(qlonglong(2014)));
        QCOMPARE(rs.value(0, 5), QVariant(qlonglong(3)));
        QCOMPARE(rs.value(0, 6), QVariant(qlonglong(5)));

        // DATEDIFF counts the boundaries crossed, like the server.
        QUERY(QStringLiteral("SELECT DATEDIFF(ss,'2014-03-05 10:00:00.900','2014-03-05 10:00:01.100'),"
                             " DATEDIFF(dd,'2014-03-05 23:59','20140306 00:01'),"
                             " DATEDIFF(mm,'2014-01-31','2014-02-01'),"
                             " DATEDIFF(yy,'2014-12-31','2015-01-01'),"
                             " DATEDIFF(HH,'2014-03-05 10:59','2014-03-05 11:00'),"
                             " DATEDIFF(MI,'2014-03-05 11:00','2014-03-05 10:58:59'),"
                             " DATEDIFF(ss,NULL,GETDATE()),"
                             " DATEDIFF(yyyy,'2000-06-01','2014-01-01')"), rs);
        QCOMPARE(rs.value(0, 0), QVariant(qlonglong(1)));
        QCOMPARE(rs.value(0, 1), QVariant(qlonglong(1)));
        QCOMPARE(rs.value(0, 2), QVariant(qlonglong(1)));
        QCOMPARE(rs.value(0, 3), QVariant(qlonglong(1)));
        QCOMPARE(rs.value(0, 4), QVariant(qlonglong(1)));
        QCOMPARE(rs.value(0, 5), QVariant(qlonglong(-2)));
        QVERIFY(rs.value(0, 6).isNull());
        QCOMPARE(rs.value(0, 7), QVariant(qlonglong(14)));

        // Items active earlier today: YEAR/MONTH/DAY against GETDATE().
        EXEC(QStringLiteral("UPDATE povestka SET aktiv_data = GETDATE() WHERE id=%1").arg(m_item1));
        EXEC(QStringLiteral("UPDATE povestka SET aktiv_data = '20000101 10:00' WHERE id=%1").arg(m_item2));
        EXEC(QStringLiteral("UPDATE povestka SET aktiv = 0 WHERE id=%1").arg(m_item2));
        QUERY(QStringLiteral("SELECT\n id, opisanie, info\nFROM\n povestka\nWHERE\n (id_zasedanie = %1) AND\n (aktiv = 0) AND\n"
                             "(YEAR(aktiv_data) = YEAR(GETDATE())) AND\n(MONTH(aktiv_data) = MONTH(GETDATE())) AND\n"
                             "(DAY(aktiv_data) = DAY(GETDATE()))").arg(m_meeting), rs);
        QCOMPARE(rs.rowCount(), 1);
        QCOMPARE(rs.scalar().toLongLong(), m_item1);
        EXEC(QStringLiteral("UPDATE povestka SET aktiv = 1 WHERE id=%1").arg(m_item2));
    }

    void getDateIsLocalTimeInStorageForm()
    {
        ResultSet rs;
        QUERY(QStringLiteral("SELECT GETDATE(), getdate(), CURRENT_TIMESTAMP"), rs);
        const QRegularExpression form(QStringLiteral("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d{3}$"));
        for (int i = 0; i < 3; ++i) {
            const QString v = rs.value(0, i).toString();
            QVERIFY2(form.match(v).hasMatch(), qPrintable(v));
            const QDateTime t = QDateTime::fromString(v, QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"));
            QVERIFY(qAbs(t.secsTo(QDateTime::currentDateTime())) < 5);
        }

        // Heartbeat and the connection monitor's age, with the database clock moved on.
        EXEC("UPDATE mesto SET podkl=CURRENT_TIMESTAMP WHERE nomer = '01';");
        const QString monitor = QStringLiteral("SELECT \n   nomer,connected,podkl,\n   DATEDIFF(ss,podkl,GETDATE()) as diff\nFROM \n   mesto;");
        QUERY(monitor, rs);
        QCOMPARE(rs.rowCount(), 27);
        QVERIFY(rs.value(0, "diff").toLongLong() <= 1);
        QVERIFY(rs.value(1, "diff").isNull());  // never stamped
        const QDateTime later = QDateTime::currentDateTime().addSecs(10);
        tsql::setDatabaseClock([later] { return later; });
        QUERY(monitor, rs);
        tsql::setDatabaseClock({});
        QVERIFY(rs.value(0, "diff").toLongLong() >= 9 && rs.value(0, "diff").toLongLong() <= 10);
        QCOMPARE(rs.value(0, "connected"), QVariant(qlonglong(0)));

        // One statement reads the clock once, however many rows it touches.
        qint64 ticks = 0;
        const QDateTime base = QDateTime::currentDateTime();
        tsql::setDatabaseClock([&ticks, base] { return base.addSecs(++ticks); });
        EXEC("UPDATE mesto SET podkl = GETDATE()");
        QUERY(QStringLiteral("SELECT count(DISTINCT podkl), count(*), max(DATEDIFF(ss, podkl, CURRENT_TIMESTAMP)) FROM mesto"), rs);
        tsql::setDatabaseClock({});
        QCOMPARE(rs.value(0, 0), QVariant(qlonglong(1)));
        QCOMPARE(rs.value(0, 1), QVariant(qlonglong(27)));
        QCOMPARE(rs.value(0, 2), QVariant(qlonglong(1)));
        EXEC("UPDATE mesto SET podkl = NULL");
    }

    void identityIsTheLastIdentityKey()
    {
        DbConnection fresh;
        QVERIFY(tsqltest::openHall(fresh, m_path));
        QVERIFY(fresh.scalar(QStringLiteral("SELECT @@identity as id;")).isNull());

        EXEC("INSERT INTO zasedanie (data,opisanie,vremya) VALUES ('20140306','Заседание № 2','00:00:00')");
        const qlonglong meeting = scalarInt(QStringLiteral("SELECT MAX(id) FROM zasedanie"));
        QCOMPARE(scalarInt(QStringLiteral("SELECT @@identity as id;")), meeting);
        EXEC(QStringLiteral("INSERT INTO povestka (id_zasedanie,tip,nomer,ord,opisanie) VALUES (%1,0,0,1,'Вопрос 0')").arg(meeting));
        const qlonglong item = scalarInt(QStringLiteral("SELECT MAX(id) FROM povestka"));
        QCOMPARE(scalarInt(QStringLiteral("SELECT @@identity as id;")), item);
        EXEC(QStringLiteral("INSERT INTO faili (id_povestka,fail,opisanie,put) VALUES (%1,'a.pdf','a.pdf','6.03.2014\\0\\')").arg(item));
        const qlonglong file = scalarInt(QStringLiteral("SELECT MAX(id) FROM faili"));
        QCOMPARE(scalarInt(QStringLiteral("SELECT @@identity as id;")), file);
        // A list re-read in between changes nothing; presence records have no identity.
        ResultSet rs;
        QUERY(QStringLiteral("SELECT\nid,fail,id_povestka,opisanie,put\nFROM\nfaili\nWHERE\nid_povestka = %1\nORDER BY id").arg(item), rs);
        QCOMPARE(rs.value(0, "put").toString(), QStringLiteral("6.03.2014\\0\\"));
        EXEC(QStringLiteral("INSERT INTO sessia (id_zasedanie,id_deputat,id_sessia) VALUES (%1,1,-1)").arg(meeting));
        QCOMPARE(scalarInt(QStringLiteral("SELECT @@identity as id;")), file);
        // Another connection's inserts are not this one's.
        QVERIFY(fresh.scalar(QStringLiteral("SELECT @@identity as id;")).isNull());

        EXEC(QStringLiteral("DELETE FROM sessia WHERE id_zasedanie=%1").arg(meeting));
        EXEC(QStringLiteral("DELETE FROM faili WHERE id=%1").arg(file));
        EXEC(QStringLiteral("DELETE FROM povestka WHERE id=%1").arg(item));
        EXEC(QStringLiteral("DELETE FROM zasedanie WHERE id=%1").arg(meeting));
    }

    void likeAsOnTheServer()
    {
        EXEC("DELETE FROM misc");
        const QStringList values = {QStringLiteral("100%"),  QStringLiteral("1000"),   QStringLiteral("a_b"),
                                    QStringLiteral("axb"),   QStringLiteral("[x]"),    QStringLiteral("x"),
                                    QStringLiteral("О'Нил"), QStringLiteral("a\\b"),   QStringLiteral("c")};
        for (const QString &v : values)
            EXEC(QStringLiteral("INSERT INTO misc (t) VALUES (%1)").arg(sql::quote(v)));
        auto matches = [&](const QString &condition) {
            ResultSet rs;
            if (!m_db.query(QStringLiteral("SELECT t FROM misc WHERE ") + condition + QStringLiteral(" ORDER BY id"), &rs))
                return QStringList{QStringLiteral("error: ") + m_db.firstErrorText()};
            QStringList out;
            for (const auto &row : rs.rows)
                out << row[0].toString();
            return out;
        };
        // Literal wildcards quoted with brackets match only themselves.
        QCOMPARE(matches(QStringLiteral("t LIKE ") + sql::quoteLike(QStringLiteral("100%"))), QStringList{QStringLiteral("100%")});
        QCOMPARE(matches(QStringLiteral("t LIKE ") + sql::quoteLike(QStringLiteral("a_b"))), QStringList{QStringLiteral("a_b")});
        QCOMPARE(matches(QStringLiteral("t LIKE ") + sql::quoteLike(QStringLiteral("[x]"))), QStringList{QStringLiteral("[x]")});
        QCOMPARE(matches(QStringLiteral("t LIKE ") + sql::quoteLikePrefix(QStringLiteral("О'"))), QStringList{QStringLiteral("О'Нил")});
        QCOMPARE(matches(QStringLiteral("t LIKE 'a\\b'")), QStringList{QStringLiteral("a\\b")});
        // Unquoted wildcards and classes keep their meaning.
        QCOMPARE(matches(QStringLiteral("t LIKE '100%'")), (QStringList{QStringLiteral("100%"), QStringLiteral("1000")}));
        QCOMPARE(matches(QStringLiteral("t LIKE 'a_b'")),
                 (QStringList{QStringLiteral("a_b"), QStringLiteral("axb"), QStringLiteral("a\\b")}));
        QCOMPARE(matches(QStringLiteral("t LIKE '[a-c]%'")),
                 (QStringList{QStringLiteral("a_b"), QStringLiteral("axb"), QStringLiteral("a\\b"), QStringLiteral("c")}));
        QCOMPARE(matches(QStringLiteral("t LIKE '[^a-c0-9[]'")), QStringList{QStringLiteral("x")});
        QCOMPARE(matches(QStringLiteral("t NOT LIKE '%[%_\\]%' AND t LIKE '_'")),
                 (QStringList{QStringLiteral("x"), QStringLiteral("c")}));
        EXEC("DELETE FROM misc");

        // Cyrillic case does not matter, for LIKE and for =.
        ResultSet rs;
        QUERY(QStringLiteral("SELECT familia FROM deputat WHERE familia LIKE 'иванов'"), rs);
        QCOMPARE(rs.rowCount(), 1);
        QUERY(QStringLiteral("SELECT familia FROM deputat WHERE familia LIKE 'ЁЛ%'"), rs);
        QCOMPARE(rs.scalar().toString(), QStringLiteral("Ёлкин"));
        QUERY(QStringLiteral("SELECT familia FROM deputat WHERE familia = 'АБРАМОВ'"), rs);
        QCOMPARE(rs.scalar().toString(), QStringLiteral("абрамов"));
        QUERY(QStringLiteral("SELECT znachenie FROM konstanti WHERE opisanie LIKE 'кворум'"), rs);
        QCOMPARE(rs.scalar().toString(), QStringLiteral("14"));
        // The login check compares seat numbers with LIKE.
        QUERY(QStringLiteral("SELECT chairman FROM sostav,mesto \nWHERE (mesto.id = sostav.id_mesto) \nAND (mesto.nomer LIKE '02') "), rs);
        QCOMPARE(rs.scalar(), QVariant(qlonglong(1)));
    }

    void textOrdersWithoutCase()
    {
        ResultSet rs;
        QUERY(QStringLiteral("SELECT\nid,\nfamilia + ' ' + imya + ' ' + otchestvo as FIO,\nfamilia,\nimya,\notchestvo\n"
                             "FROM\ndeputat\nORDER BY\n2"), rs);
        QStringList order;
        for (const auto &row : rs.rows)
            order << row[2].toString();
        // Жуков has no FIO (NULL patronymic) and comes first, as NULLs do on the server.
        QCOMPARE(order, (QStringList{QStringLiteral("Жуков"), QStringLiteral("абрамов"), QStringLiteral("Белов"),
                                     QStringLiteral("Ёлкин"), QStringLiteral("Иванов"), QStringLiteral("Сидоров")}));
    }

    void comparisonsConvertLikeTheServer()
    {
        // A date compared with a text literal compares as dates; a date-time with a date as
        // with its midnight.
        EXEC("INSERT INTO zasedanie (data,opisanie,vremya) VALUES ('20140401','cmp','00:00:00')");
        const qlonglong id = scalarInt(QStringLiteral("SELECT @@identity as id;"));
        EXEC(QStringLiteral("UPDATE zasedanie SET start = data WHERE id=%1").arg(id));
        const QString where = QStringLiteral("SELECT count(*) FROM zasedanie WHERE id=%1 AND ").arg(id);
        QCOMPARE(scalarInt(where + QStringLiteral("data = '20140401'")), 1);
        QCOMPARE(scalarInt(where + QStringLiteral("data BETWEEN '01.04.2014' AND '20140430'")), 1);
        QCOMPARE(scalarInt(where + QStringLiteral("data IN ('20140331', '2014-04-01')")), 1);
        QCOMPARE(scalarInt(where + QStringLiteral("start = data")), 1);
        QCOMPARE(scalarInt(where + QStringLiteral("start < '20140401 00:00:01'")), 1);
        QCOMPARE(scalarInt(where + QStringLiteral("'20140402' > data")), 1);
        EXEC(QStringLiteral("DELETE FROM zasedanie WHERE id=%1").arg(id));

        // Text: case and trailing blanks do not count.
        QCOMPARE(scalarInt(QStringLiteral("SELECT count(*) FROM deputat WHERE familia IN ('иванов','БЕЛОВ')")), 2);
        QCOMPARE(scalarInt(QStringLiteral("SELECT count(*) FROM deputat WHERE familia = 'Иванов   '")), 1);
        QCOMPARE(scalarInt(QStringLiteral("SELECT count(*) FROM deputat WHERE familia BETWEEN 'а' AND 'в'")), 2);
    }

    void nameListsOfAVote()
    {
        EXEC(QStringLiteral("INSERT INTO sessia_start (id_zasedanie) VALUES (%1)").arg(m_meeting));
        const qlonglong period = scalarInt(QStringLiteral("SELECT max(id) FROM sessia_start;"));
        EXEC(QStringLiteral("INSERT INTO golosovanie (data,regim,tip,vid,isbrano,prisutstvuet,regim_polsov,nuzno,zak,id_povestka,id_sessia) "
                            "VALUES (getdate(),'Большинство от присутствующих',0,0,27,5,'Процедурные вопросы',3,27,%1,%2)")
                 .arg(m_item2).arg(period));
        const qlonglong vote = scalarInt(QStringLiteral("SELECT MAX(id) FROM golosovanie;"));
        const QStringList present = {QStringLiteral("Иванов"), QStringLiteral("абрамов"), QStringLiteral("Белов"),
                                     QStringLiteral("Жуков"), QStringLiteral("Сидоров")};
        for (const QString &f : present)
            EXEC(QStringLiteral("INSERT INTO sessia (id_deputat,id_sessia,id_zasedanie) VALUES (%1,%2,%3)")
                     .arg(deputy(f)).arg(period).arg(m_meeting));
        auto ballot = [&](const QString &f, int code) {
            return m_db.exec(QStringLiteral("INSERT INTO otvet (id_deputat,id_povestka,result,id_golosovanie) VALUES (%1,%2,%3,%4)")
                                 .arg(deputy(f)).arg(m_item2).arg(code).arg(vote));
        };
        QVERIFY(ballot(QStringLiteral("Иванов"), 1));
        QVERIFY(ballot(QStringLiteral("Белов"), 1));
        QVERIFY(ballot(QStringLiteral("абрамов"), 1));
        QVERIFY(ballot(QStringLiteral("Жуков"), 2));

        const QString lists = QStringLiteral(
            "SELECT dbo.mnogoimen(golosovanie.id,1) as fio_za, dbo.mnogoimen(golosovanie.id,2) as fio_protiv,"
            " dbo.mnogoimen(golosovanie.id,3) as fio_vosd, dbo.mnogoimen2(golosovanie.id,sessia_start.id) as fio_ne_golos"
            " FROM golosovanie, sessia_start WHERE (golosovanie.id_sessia=sessia_start.id) AND (golosovanie.id = %1)").arg(vote);
        ResultSet rs;
        QUERY(lists, rs);
        QCOMPARE(rs.value(0, "fio_za").toString(), QStringLiteral("абрамов А. А., Белов Б. Б., Иванов И. И."));
        QCOMPARE(rs.value(0, "fio_protiv").toString(), QStringLiteral("Жуков П."));
        QCOMPARE(rs.value(0, "fio_vosd").toString(), QString());  // no ballot of that code
        QVERIFY(!rs.value(0, "fio_vosd").isNull());
        QCOMPARE(rs.value(0, "fio_ne_golos").toString(), QStringLiteral("Сидоров С."));

        QVERIFY(ballot(QStringLiteral("Сидоров"), 3));
        QUERY(lists, rs);
        QCOMPARE(rs.value(0, "fio_vosd").toString(), QStringLiteral("Сидоров С."));
        QCOMPARE(rs.value(0, "fio_ne_golos").toString(), QString());  // everyone present voted

        // The vote board's per-code counts.
        QUERY(QStringLiteral("SELECT count(otvet.id) as result, max(otvet.result) as kak, max(nuzno) as nuzno\n"
                             "FROM otvet,golosovanie WHERE (id_golosovanie = %1)\nAND (golosovanie.id = id_golosovanie)\n"
                             "GROUP BY result").arg(vote), rs);
        QCOMPARE(rs.rowCount(), 3);
        QCOMPARE(rs.value(0, "result"), QVariant(qlonglong(3)));
        QCOMPARE(rs.value(0, "kak"), QVariant(qlonglong(1)));
        QCOMPARE(rs.value(0, "nuzno"), QVariant(qlonglong(3)));

        EXEC(QStringLiteral("DELETE FROM otvet WHERE id_golosovanie=%1").arg(vote));
        EXEC(QStringLiteral("DELETE FROM sessia WHERE id_sessia=%1").arg(period));
    }

    void scalarSubSelectMustYieldOneRow()
    {
        const QString chairman = QStringLiteral(
            "SELECT (SELECT deputat.familia + ' ' + deputat.imya + ' ' + deputat.otchestvo as fio FROM sostav, deputat "
            "WHERE (chairman = 1) AND (deputat.id = sostav.id_deputat)) as fio, "
            "(SELECT MIN(start) FROM sessia_start WHERE id_zasedanie = zasedanie.id) as zas_start "
            "FROM zasedanie WHERE (zasedanie.id = %1)").arg(m_meeting);
        ResultSet rs;
        QUERY(chairman, rs);
        QCOMPARE(rs.value(0, "fio").toString(), QStringLiteral("Белов Борис Борисович"));
        EXEC("UPDATE sostav SET chairman=1");
        QVERIFY(!m_db.query(chairman, &rs));
        QVERIFY2(m_db.firstErrorText().contains(QStringLiteral("Subquery returned more than 1 value")),
                 qPrintable(m_db.firstErrorText()));
        EXEC("UPDATE sostav SET chairman=0");
        QUERY(chairman, rs);
        QCOMPARE(rs.rowCount(), 1);
        QVERIFY(rs.value(0, "fio").isNull());
        EXEC(QStringLiteral("UPDATE sostav SET chairman=1 WHERE id_mesto=2"));
    }

    void datesWrittenAsTextAreNormalised()
    {
        EXEC("INSERT INTO zasedanie (data,opisanie,vremya) VALUES ('2014-3-7','x','10:11')");
        const qlonglong id = scalarInt(QStringLiteral("SELECT @@identity as id;"));
        ResultSet rs;
        auto read = [&] {
            return m_db.query(QStringLiteral("SELECT data,vremya,start,stop FROM zasedanie WHERE id=%1").arg(id), &rs);
        };
        QVERIFY(read());
        QCOMPARE(rs.value(0, "data").toString(), QStringLiteral("2014-03-07"));
        QCOMPARE(rs.value(0, "vremya").toString(), QStringLiteral("10:11:00"));
        QVERIFY(rs.value(0, "start").isNull());
        const QList<QPair<QString, QString>> forms = {
            {QStringLiteral("20140305"), QStringLiteral("2014-03-05 00:00:00.000")},
            {QStringLiteral("20140305 10:11"), QStringLiteral("2014-03-05 10:11:00.000")},
            {QStringLiteral("2014-03-05 10:11:12"), QStringLiteral("2014-03-05 10:11:12.000")},
            {QStringLiteral("2014-03-05T10:11:12.5"), QStringLiteral("2014-03-05 10:11:12.500")},
            {QStringLiteral("05.03.2014 1:02 PM"), QStringLiteral("2014-03-05 13:02:00.000")},
            {QStringLiteral(" 10:11:12 "), QStringLiteral("1900-01-01 10:11:12.000")},
        };
        for (const auto &f : forms) {
            EXEC(QStringLiteral("UPDATE zasedanie SET start = %1 WHERE id=%2").arg(sql::quote(f.first)).arg(id));
            QVERIFY(read());
            QCOMPARE(rs.value(0, "start").toString(), f.second);
        }
        // Impossible or unreadable dates fail the statement and change nothing.
        for (const QString &bad : {QStringLiteral("20140231"), QStringLiteral("abc"), QStringLiteral("2014-03-05 25:00"),
                                   QStringLiteral("")}) {
            QVERIFY(!m_db.exec(QStringLiteral("UPDATE zasedanie SET start = %1 WHERE id=%2").arg(sql::quote(bad)).arg(id)));
            QCOMPARE(m_db.errors().first().engineText,
                     QStringLiteral("Conversion failed when converting date and/or time from character string."));
        }
        QVERIFY(read());
        QCOMPARE(rs.value(0, "start").toString(), QStringLiteral("1900-01-01 10:11:12.000"));
        EXEC(QStringLiteral("UPDATE zasedanie SET start = NULL, data = '05.03.2014' WHERE id=%1").arg(id));
        QVERIFY(read());
        QVERIFY(rs.value(0, "start").isNull());
        QCOMPARE(rs.value(0, "data").toString(), QStringLiteral("2014-03-05"));
        QUERY(QStringLiteral("SELECT CAST('20140305 10:11' AS datetime), CONVERT(varchar, CAST('20140305' AS date), 104)"), rs);
        QCOMPARE(rs.value(0, 0).toString(), QStringLiteral("2014-03-05 10:11:00.000"));
        QCOMPARE(rs.value(0, 1).toString(), QStringLiteral("05.03.2014"));

        // A registration period gets its start from the database and no stop.
        EXEC(QStringLiteral("INSERT INTO sessia_start (id_zasedanie) VALUES (%1)").arg(id));
        QUERY(QStringLiteral("SELECT start, stop, DATEDIFF(ss, start, GETDATE()) FROM sessia_start WHERE id = (SELECT max(id) FROM sessia_start)"), rs);
        QVERIFY(QRegularExpression(QStringLiteral("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d{3}$")).match(rs.value(0, 0).toString()).hasMatch());
        QVERIFY(rs.value(0, 1).isNull());
        QVERIFY(qAbs(rs.value(0, 2).toLongLong()) <= 1);
        EXEC(QStringLiteral("DELETE FROM sessia_start WHERE id_zasedanie=%1").arg(id));
        EXEC(QStringLiteral("DELETE FROM zasedanie WHERE id=%1").arg(id));
    }

    void referenceViolationIsError547()
    {
        EXEC("INSERT INTO zasedanie (data,opisanie,vremya) VALUES ('20140310','empty','00:00:00')");
        const qlonglong empty = scalarInt(QStringLiteral("SELECT @@identity as id;"));
        m_db.clearErrors();
        QVERIFY(!m_db.exec(QStringLiteral("DELETE FROM zasedanie WHERE id=%1").arg(m_meeting)));
        QCOMPARE(m_db.errors().size(), 1);
        QCOMPARE(m_db.errors().first().nativeError, 547);
        QCOMPARE(scalarInt(QStringLiteral("SELECT count(*) FROM zasedanie WHERE id=%1").arg(m_meeting)), 1);
        m_db.clearErrors();
        EXEC(QStringLiteral("DELETE FROM zasedanie WHERE id=%1").arg(empty));
        QCOMPARE(scalarInt(QStringLiteral("SELECT count(*) FROM zasedanie WHERE id=%1").arg(empty)), 0);
    }

    void functionsAsOnTheServer_data()
    {
        QTest::addColumn<QString>("expression");
        QTest::addColumn<QVariant>("expected");
        auto text = [](const char *s) { return QVariant(QString::fromUtf8(s)); };
        auto num = [](qlonglong n) { return QVariant(n); };
        QTest::newRow("LEN ignores trailing blanks") << "LEN('abc  ')" << num(3);
        QTest::newRow("LEN of NULL") << "LEN(NULL)" << QVariant();
        QTest::newRow("RIGHT") << "RIGHT('Иванов', 3)" << text("нов");
        QTest::newRow("RIGHT 0") << "RIGHT('abc', 0)" << text("");
        QTest::newRow("RIGHT past the start") << "RIGHT('abc', 10)" << text("abc");
        QTest::newRow("LEFT") << "LEFT('Иванов', 1)" << text("И");
        QTest::newRow("UPPER Cyrillic") << "UPPER('ёлка')" << text("ЁЛКА");
        QTest::newRow("LOWER Cyrillic") << "LOWER('ИВАНОВ')" << text("иванов");
        QTest::newRow("REPLACE ignores case") << "REPLACE('Вопрос 1', 'вопрос', 'Доп. вопрос')" << text("Доп. вопрос 1");
        QTest::newRow("REPLACE signs") << "REPLACE('a/b/c','/','.')" << text("a.b.c");
        QTest::newRow("CHARINDEX") << "CHARINDEX('кто', 'Текст. Кто вносит:')" << num(8);
        QTest::newRow("CHARINDEX none") << "CHARINDEX('x', 'abc')" << num(0);
        QTest::newRow("ISNULL") << "ISNULL(NULL, 'x')" << text("x");
        QTest::newRow("COALESCE") << "COALESCE(NULL, NULL, 3)" << num(3);
        QTest::newRow("DATEADD day") << "DATEADD(dd, 1, '20140228')" << text("2014-03-01 00:00:00.000");
        QTest::newRow("DATEADD month end") << "DATEADD(mm, 1, '20140131')" << text("2014-02-28 00:00:00.000");
        QTest::newRow("DATEADD back a second") << "DATEADD(ss, -1, '20140101')" << text("2013-12-31 23:59:59.000");
        QTest::newRow("DATEADD on a date") << "DATEADD(dd, 1, CAST('20140305' AS date))" << text("2014-03-06");
        QTest::newRow("datetime + days") << "CAST('20140305 10:00' AS datetime) + 1" << text("2014-03-06 10:00:00.000");
        QTest::newRow("CONVERT 120") << "CONVERT(varchar, CAST('20140305 13:05' AS datetime), 120)" << text("2014-03-05 13:05:00");
        QTest::newRow("CONVERT 108") << "CONVERT(varchar(8), CAST('20140305 13:05:09' AS datetime), 108)" << text("13:05:09");
        QTest::newRow("CONVERT default") << "CONVERT(varchar, CAST('20140305 13:05' AS datetime))" << text("Mar  5 2014  1:05PM");
        QTest::newRow("CONVERT 112") << "CONVERT(varchar, CAST('20140305' AS datetime), 112)" << text("20140305");
        QTest::newRow("CONVERT 3") << "CONVERT(varchar, CAST('20140305' AS datetime), 3)" << text("05/03/14");
        QTest::newRow("CONVERT 104 of a date") << "CONVERT(nvarchar(10), CAST('20140305' AS date), 104)" << text("05.03.2014");
        QTest::newRow("CONVERT cuts") << "CONVERT(varchar(5), 'abcdefgh')" << text("abcde");
        QTest::newRow("CAST to text cuts at 30") << "CAST('123456789012345678901234567890xyz' AS NVARCHAR)"
                                                 << text("123456789012345678901234567890");
        QTest::newRow("CAST number to text") << "CAST(12 AS NVARCHAR) + 'x'" << text("12x");
        QTest::newRow("CAST text to int") << "CAST('42' AS int) + 1" << num(43);
        QTest::newRow("week 1") << "DATEPART(wk, '20140101')" << num(1);
        QTest::newRow("week from Monday") << "DATEPART(wk, '20140106')" << num(2);
        QTest::newRow("day of year") << "DATEPART(dy, '20140201')" << num(32);
        QTest::newRow("quarter") << "DATEPART(qq, '20140501')" << num(2);
        QTest::newRow("weeks crossed at Sunday") << "DATEDIFF(wk, '20140104', '20140105')" << num(1);
        QTest::newRow("milliseconds") << "DATEDIFF(ms, '20140101 00:00:00.100', '20140101 00:00:01')" << num(900);
        QTest::newRow("weekday name") << "DATENAME(dw, '20140303')" << text("понедельник");
        QTest::newRow("YEAR of a literal") << "YEAR('20140305')" << num(2014);
        QTest::newRow("integer division") << "7 / 2 + 7 % 3 + (-7) / 2" << num(1);
        QTest::newRow("real division") << "CAST(7 / 2.0 AS NVARCHAR)" << text("3.5");
        QTest::newRow("NULL divisor") << "7 / NULL" << QVariant();
        QTest::newRow("CASE") << "CASE WHEN 1 = 1 THEN 'a' ELSE 'b' END" << text("a");
        QTest::newRow("text + NULL text") << "'a' + CAST(NULL AS NVARCHAR)" << QVariant();
    }

    void functionsAsOnTheServer()
    {
        QFETCH(QString, expression);
        QFETCH(QVariant, expected);
        ResultSet rs;
        QUERY(QStringLiteral("SELECT ") + expression, rs);
        QCOMPARE(rs.scalar(), expected);
    }

    void malformedStatementsFailWithAReason_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("reason");
        QTest::newRow("typo") << "SELEC nomer FROM regim" << "Incorrect syntax near 'SELEC'";
        QTest::newRow("no columns") << "SELECT FROM regim" << "Incorrect syntax near the keyword 'FROM'";
        QTest::newRow("open quote") << "SELECT 'abc FROM regim" << "Unclosed quotation mark";
        QTest::newRow("cut short") << "SELECT * FROM regim WHERE" << "Incorrect syntax";
        QTest::newRow("bad date part") << "SELECT DATEPART(xx, GETDATE())" << "'xx' is not a recognized datepart option";
        QTest::newRow("unknown function") << "SELECT nosuchfunction(1)" << "nosuchfunction";
        QTest::newRow("unknown table") << "SELECT * FROM nosuchtable" << "nosuchtable";
        QTest::newRow("unknown column") << "SELECT [nosuchcolumn] FROM regim" << "nosuchcolumn";
        QTest::newRow("apostrophe in a value") << "INSERT INTO golosovanie (data,regim) VALUES (getdate(),'it's')"
                                               << "Unclosed quotation mark";
        QTest::newRow("empty value") << "INSERT INTO golosovanie (isbrano,prisutstvuet) VALUES (,5)" << "Incorrect syntax";
        QTest::newRow("variable") << "SELECT @x" << "Must declare the scalar variable";
        QTest::newRow("parameter left in") << "SELECT id FROM povestka WHERE id_zasedanie = :a" << "Incorrect syntax near ':a'";
        QTest::newRow("bad style") << "SELECT CONVERT(varchar, GETDATE(), 999)" << "999 is not a valid style number";
        QTest::newRow("division by zero") << "SELECT nomer / (param1 - param1) FROM regim" << "Divide by zero";
        QTest::newRow("modulo by zero") << "SELECT 5 % 0" << "Divide by zero";
        QTest::newRow("text to int") << "SELECT CAST('12a' AS int)" << "Conversion failed when converting the nvarchar value '12a'";
        QTest::newRow("nested too deeply") << QStringLiteral("SELECT ") + QString(100000, QLatin1Char('(')) << "nested too deeply";
        QTest::newRow("lone high surrogate") << QStringLiteral("SELECT '") + QChar(0xD83D) + QStringLiteral("' FROM regim")
                                             << "half of a UTF-16 pair, U+D83D) at position 9";
        QTest::newRow("lone low surrogate in a name") << QStringLiteral("SELECT nomer") + QChar(0xDC00) + QStringLiteral(" FROM regim")
                                                      << "U+DC00";
        QTest::newRow("minus signs") << QStringLiteral("SELECT ") + QStringLiteral("- ").repeated(100000) + QStringLiteral("1")
                                     << "nested too deeply";
    }

    void malformedStatementsFailWithAReason()
    {
        QFETCH(QString, text);
        QFETCH(QString, reason);
        ResultSet rs;
        m_db.clearErrors();
        QVERIFY(!m_db.query(text, &rs));
        QVERIFY2(m_db.firstErrorText().contains(reason), qPrintable(m_db.firstErrorText()));
        // The connection carries on.
        QVERIFY(m_db.query(QStringLiteral("SELECT nomer,param1,param2 FROM regim"), &rs));
        QCOMPARE(rs.rowCount(), 1);
        m_db.clearErrors();
    }

    // Long operator chains are one level of nesting but as many levels of the tree: past the
    // limit they fail with a reason instead of exhausting the stack.
    void longExpressionsFailCleanly()
    {
        auto chain = [](const char *term, const char *op, int n) {
            QStringList terms;
            for (int i = 0; i < n; ++i)
                terms << QLatin1String(term);
            return terms.join(QLatin1String(op));
        };
        for (const tsql::Dialect d : {tsql::Dialect::Sqlite, tsql::Dialect::Postgres}) {
            for (const QString &text : {QStringLiteral("SELECT ") + chain("1", "+", 5000),
                                        QStringLiteral("SELECT id FROM mesto WHERE ") + chain("id=1", " OR ", 50000),
                                        QStringLiteral("SELECT ") + chain("- ", "", 5000) + QStringLiteral("1"),
                                        QStringLiteral("SELECT ") + chain("(", "", 1500) + QStringLiteral("1") + chain(")", "", 1500)}) {
                const tsql::Translation &t = tsql::translate(text, d);
                QVERIFY2(!t.ok(), qPrintable(text.left(40)));
                QVERIFY2(t.error.contains(QLatin1String("too")), qPrintable(t.error));
            }
            QVERIFY(tsql::translate(QStringLiteral("SELECT ") + chain("1", "+", 900), d).ok());
        }
        ResultSet rs;
        QVERIFY(m_db.query(QStringLiteral("SELECT id FROM mesto WHERE ") + chain("id=1", " OR ", 50), &rs));
        QCOMPARE(rs.rowCount(), 1);
    }

    void batchesAndOddSpellings()
    {
        ResultSet rs;
        QUERY(QStringLiteral("UPDATE regim SET param2=7; SELECT nomer,param1,param2 FROM regim;"), rs);
        QCOMPARE(rs.value(0, "param2"), QVariant(qlonglong(7)));
        QUERY(QStringLiteral("SET NOCOUNT ON\nUPDATE regim SET param2=8\nSELECT param2 FROM regim"), rs);
        QCOMPARE(rs.scalar(), QVariant(qlonglong(8)));
        QCOMPARE(scalarInt(QStringLiteral("SELECT count (*) FROM povestka WHERE id_zasedanie = %1").arg(m_meeting)), 2);
        // Tabs, a trailing blank line and comments are only blanks.
        QUERY(QStringLiteral("SELECT mesto.nomer,otvet.result FROM otvet,sostav,mesto\nWHERE (otvet.id_golosovanie = 1)\n"
                             "AND\t  (sostav.id_deputat = otvet.id_deputat)\nAND   (mesto.id = sostav.id_mesto) -- ballots\n"), rs);
        QCOMPARE(rs.columns, (QStringList{QStringLiteral("nomer"), QStringLiteral("result")}));
        // Unnamed expressions have no column name, as on the server; bits read as 0/1.
        QUERY(QStringLiteral("SELECT count(*), max(id) as m, povestka.id, aktiv FROM povestka GROUP BY povestka.id, aktiv ORDER BY 3"), rs);
        QCOMPARE(rs.columns, (QStringList{QString(), QStringLiteral("m"), QStringLiteral("id"), QStringLiteral("aktiv")}));
        QCOMPARE(rs.value(0, 3), QVariant(qlonglong(0)));
        QCOMPARE(rs.value(1, 3), QVariant(qlonglong(1)));
        // The connection's own transactions, and those spelled the server's way.
        QVERIFY(m_db.beginTransaction());
        EXEC("UPDATE regim SET param2=9");
        QVERIFY(m_db.rollback());
        QCOMPARE(scalarInt(QStringLiteral("SELECT param2 FROM regim")), 8);
        EXEC("BEGIN TRANSACTION");
        EXEC("UPDATE regim SET param2=9");
        EXEC("ROLLBACK TRANSACTION");
        QCOMPARE(scalarInt(QStringLiteral("SELECT param2 FROM regim")), 8);
    }

    void failureInALaterRowFailsTheStatement()
    {
        // The error of a row after the first must not pass for the end of the rows.
        EXEC("DELETE FROM misc");
        EXEC("INSERT INTO misc (id, t) VALUES (1, '20140305')");
        EXEC("INSERT INTO misc (id, t) VALUES (2, 'not a date')");
        ResultSet rs;
        QVERIFY(!m_db.query(QStringLiteral("SELECT CAST(t AS datetime) FROM misc ORDER BY id"), &rs));
        QVERIFY2(m_db.firstErrorText().contains(QStringLiteral("Conversion failed")), qPrintable(m_db.firstErrorText()));
        EXEC("DELETE FROM misc");
    }

    void translationsAreCached()
    {
        const QString poll = QStringLiteral("SELECT nomer,param1,param2 FROM regim");
        const tsql::Translation *first = &tsql::translate(poll);
        QVERIFY(first->ok());
        QCOMPARE(first->statements, QStringList{poll});
        QCOMPARE(&tsql::translate(poll), first);
        const tsql::Translation &bad = tsql::translate(QStringLiteral("SELECT FROM"));
        QVERIFY(!bad.ok());
        QVERIFY(bad.statements.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestTsql)
#include "test_tsql.moc"
