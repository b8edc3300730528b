// The data set every list and grid works on, and the connection's pending-error list.
#include "db/connection.h"
#include "db/dataset.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

class TestDataSet : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_path;
    DbConnection m_db;

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_path = m_dir.filePath(QStringLiteral("t.db"));
        {
            QSqlDatabase raw = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("raw"));
            raw.setDatabaseName(m_path);
            QVERIFY(raw.open());
            QSqlQuery q(raw);
            QVERIFY(q.exec("CREATE TABLE logins(login TEXT PRIMARY KEY, password TEXT)"));
            QVERIFY(q.exec("INSERT INTO logins VALUES('admin1','admin1')"));
            QVERIFY(q.exec("CREATE TABLE deputat(id INTEGER PRIMARY KEY AUTOINCREMENT, familia TEXT)"));
            raw.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("raw"));
        QVERIFY2(m_db.open({QStringLiteral("embedded"), m_path, QStringLiteral("admin1"), QStringLiteral("admin1")}),
                 qPrintable(m_db.firstErrorText()));
        for (const QString &f : {QStringLiteral("Иванов"), QStringLiteral("Петров"), QStringLiteral("О'Нил"),
                                 QStringLiteral("Сидоров")})
            QVERIFY(m_db.exec(QStringLiteral("INSERT INTO deputat (familia) VALUES (%1)").arg(sql::quote(f))));
    }

    void wrongPasswordFailsWithReason()
    {
        DbConnection c;
        QVERIFY(!c.open({QStringLiteral("embedded"), m_path, QStringLiteral("admin1"), QStringLiteral("x")}));
        QVERIFY(c.firstErrorText().contains(QStringLiteral("admin1")));
        QVERIFY(!c.isOpen());
        DbConnection missing;
        QVERIFY(!missing.open({QStringLiteral("embedded"), m_dir.filePath(QStringLiteral("none.db")),
                               QStringLiteral("admin1"), QStringLiteral("admin1")}));
        QVERIFY(!QFile::exists(m_dir.filePath(QStringLiteral("none.db"))));  // never created by accident
    }

    void errorListReplacedByFailureKeptBySuccess()
    {
        m_db.clearErrors();
        QVERIFY(!m_db.exec(QStringLiteral("SELECT * FROM no_such_table")));
        QCOMPARE(m_db.errors().size(), 1);
        const QString first = m_db.firstErrorText();
        QVERIFY(first.contains(QStringLiteral("no_such_table")));
        QVERIFY(m_db.exec(QStringLiteral("SELECT 1")));
        QCOMPARE(m_db.firstErrorText(), first);  // a success leaves pending errors alone
        QVERIFY(!m_db.exec(QStringLiteral("SELECT * FROM other_missing")));
        QVERIFY(m_db.firstErrorText().contains(QStringLiteral("other_missing")));
        m_db.clearErrors();
        QVERIFY(!m_db.hasErrors());
    }

    void parametersAreQuotedAndSkippedInsideLiterals()
    {
        DataSet ds(&m_db);
        ds.setSql(QStringLiteral("SELECT id, familia, ':a' as lit FROM deputat WHERE familia = :a OR id = :b"));
        ds.setParam(QStringLiteral("a"), QStringLiteral("О'Нил"));
        ds.setParam(QStringLiteral(":b"), 2);
        QVERIFY2(ds.open(), qPrintable(m_db.firstErrorText()));
        QCOMPARE(ds.rowCount(), 2);
        QCOMPARE(ds.field(QStringLiteral("lit")).toString(), QStringLiteral(":a"));
        QVERIFY(ds.locate(QStringLiteral("familia"), QStringLiteral("О'Нил")));
    }

    void cursorLocateFilterAndRequery()
    {
        DataSet ds(&m_db);
        ds.setSql(QStringLiteral("SELECT id, familia FROM deputat ORDER BY familia"));
        QSignalSpy opened(&ds, &DataSet::afterOpen);
        QSignalSpy scrolled(&ds, &DataSet::afterScroll);
        QVERIFY(ds.open());
        QCOMPARE(opened.count(), 1);
        QCOMPARE(ds.rowCount(), 4);
        QCOMPARE(ds.currentRow(), 0);
        QVERIFY(ds.locate(QStringLiteral("familia"), QStringLiteral("Сидоров")));
        const QVariant id = ds.field(QStringLiteral("id"));
        QVERIFY(!ds.locate(QStringLiteral("familia"), QStringLiteral("Нет такого")));
        QCOMPARE(ds.field(QStringLiteral("id")), id);  // a failed locate keeps the cursor
        QVERIFY(scrolled.count() >= 2);

        // Requery keeps the cursor on the same key even when rows before it appear.
        QVERIFY(m_db.exec(QStringLiteral("INSERT INTO deputat (familia) VALUES ('Андреев')")));
        QVERIFY(ds.requery());
        QCOMPARE(ds.rowCount(), 5);
        QCOMPARE(ds.field(QStringLiteral("id")), id);

        // Client-side filter: rows hidden, cursor kept when still visible, eof when none.
        ds.setFilter([](const DataSet &s, int r) {
            return s.sourceValue(r, QStringLiteral("familia")).toString().startsWith(QStringLiteral("С"));
        });
        QCOMPARE(ds.rowCount(), 1);
        QCOMPARE(ds.field(QStringLiteral("id")), id);
        ds.setFilter([](const DataSet &, int) { return false; });
        QVERIFY(ds.eof());
        QVERIFY(ds.field(QStringLiteral("id")).isNull());
        ds.setFilter(nullptr);
        QCOMPARE(ds.rowCount(), 5);
        QVERIFY(m_db.exec(QStringLiteral("DELETE FROM deputat WHERE familia = 'Андреев'")));
    }

    void failedOpenLeavesSetClosedAndErrorPending()
    {
        DataSet ds(&m_db);
        ds.setSql(QStringLiteral("SELECT id FROM deputat"));
        QVERIFY(ds.open());
        ds.setSql(QStringLiteral("SELECT nonsense FROM deputat"));
        m_db.clearErrors();
        QVERIFY(!ds.open());
        QVERIFY(!ds.isOpen());
        QCOMPARE(ds.rowCount(), 0);
        QVERIFY(m_db.hasErrors());
        m_db.clearErrors();
    }

    void modelFollowsTheSet()
    {
        DataSet ds(&m_db);
        ds.setSql(QStringLiteral("SELECT id, familia FROM deputat ORDER BY id"));
        DataSetModel model(&ds);
        model.setColumns({{QStringLiteral("familia"), QStringLiteral("ФИО"), 100}});
        model.setBackground([](int row) { return row == 0 ? QVariant(QColor(Qt::green)) : QVariant(); });
        QVERIFY(ds.open());
        QCOMPARE(model.rowCount(), 4);
        QCOMPARE(model.columnCount(), 1);
        QCOMPARE(model.headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("ФИО"));
        QCOMPARE(model.data(model.index(0, 0), Qt::DisplayRole).toString(), QStringLiteral("Иванов"));
        QCOMPARE(model.data(model.index(0, 0), Qt::BackgroundRole).value<QBrush>().color(), QColor(Qt::green));
        QVERIFY(!model.data(model.index(1, 0), Qt::BackgroundRole).isValid());
        ds.close();
        QCOMPARE(model.rowCount(), 0);
    }

    void quotingHelpers()
    {
        QCOMPARE(sql::quote(QStringLiteral("д'Артаньян")), QStringLiteral("'д''Артаньян'"));
        QCOMPARE(sql::quoteLike(QStringLiteral("0%_[")), QStringLiteral("'0[%][_][[]'"));
        QCOMPARE(sql::quoteLikePrefix(QStringLiteral("О'")), QStringLiteral("'О''%'"));
        QCOMPARE(sql::lines({QStringLiteral("SELECT"), QStringLiteral(" 1")}), QStringLiteral("SELECT\n 1"));
    }

    void engineRuleAndOdbcString()
    {
        QCOMPARE(DbConnection::engineFor(QString()), DbEngine::Embedded);
        QCOMPARE(DbConnection::engineFor(QStringLiteral("Embedded")), DbEngine::Embedded);
        QCOMPARE(DbConnection::engineFor(QStringLiteral("sqlite:/x.db")), DbEngine::Embedded);
        QCOMPARE(DbConnection::engineFor(QStringLiteral("ZAL\\SQLEXPRESS")), DbEngine::SqlServer);
        const QString s = DbConnection::odbcConnectionString(
            {QStringLiteral("zal\\SQLEXPRESS"), QStringLiteral("voter"), QStringLiteral("07"), QStringLiteral("p;w}d")});
        QVERIFY(s.contains(QStringLiteral("SERVER=zal;")));
        QVERIFY(s.contains(QStringLiteral("INSTANCE=SQLEXPRESS;")));
        QVERIFY(s.contains(QStringLiteral("PWD={p;w}}d};")));
        const QString p = DbConnection::odbcConnectionString(
            {QStringLiteral("10.0.0.5,1433"), QStringLiteral("voter"), QStringLiteral("07"), QStringLiteral("07")});
        QVERIFY(p.contains(QStringLiteral("SERVER=10.0.0.5;PORT=1433;")));
    }
};

QTEST_GUILESS_MAIN(TestDataSet)
#include "test_dataset.moc"
