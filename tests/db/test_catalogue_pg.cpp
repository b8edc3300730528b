// The statement catalogue on a real PostgreSQL server, side by side with the embedded engine:
// every entry must meet its expectations on both, and both must return the same columns and
// values (types included) wherever the expectation does not leave a cell open.
#include "catalogue.h"
#include "db/connection.h"
#include "db/schema.h"
#include "support/pgcluster.h"
#include "test_tsql_db.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

using namespace catalogue;

namespace {

// Cells the entry leaves open (*, ~pattern) hold times of day and may differ between runs.
bool openCell(const Entry &e, int row, int column)
{
    if (row >= e.rows.size() || column >= e.rows[row].size())
        return false;
    const QString &c = e.rows[row][column];
    return c == QLatin1String("*") || c.startsWith(QLatin1Char('~'));
}

}  // namespace

class TestCataloguePg : public QObject {
    Q_OBJECT

    PgCluster m_pg;
    QTemporaryDir m_dir;
    QString m_sample;
    QList<Entry> m_entries;
    QSqlDatabase m_admin;

    ConnectionParams pgParams(const QString &database) const
    {
        return {m_pg.serverParam(), database, m_pg.superuser(), m_pg.superuserPassword()};
    }

private Q_SLOTS:
    void initTestCase()
    {
        if (!m_pg.start())
            QSKIP(qPrintable(QStringLiteral("no PostgreSQL server for this test: ") + m_pg.whyNot()));
        QString error;
        m_entries = parseCatalogue(readFile(statementsDir() + QStringLiteral("catalogue.sql")), &error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        const QString sample = readFile(statementsDir() + QStringLiteral("sample.sql"));

        m_sample = m_dir.filePath(QStringLiteral("sample.db"));
        QVERIFY2(tsqltest::createHallDatabase(m_sample, &error), qPrintable(error));
        {
            DbConnection db;
            QVERIFY2(tsqltest::openHall(db, m_sample), qPrintable(db.firstErrorText()));
            QVERIFY2(schema::runScript(db, sample, &error), qPrintable(error));
        }
        QVERIFY2(schema::createPostgresDatabase(pgParams(QStringLiteral("sample")), &error), qPrintable(error));
        {
            DbConnection db;
            QVERIFY2(db.open(pgParams(QStringLiteral("sample"))), qPrintable(db.firstErrorText()));
            QString failed;
            QVERIFY2(schema::runScript(db, sample, &error, {}, &failed), qPrintable(error + QStringLiteral(" <- ") + failed));
        }
        m_admin = m_pg.connectSuperuser(QStringLiteral("catalogue-admin"), QStringLiteral("postgres"), &error);
        QVERIFY2(m_admin.isOpen(), qPrintable(error));
    }

    void cleanupTestCase()
    {
        if (m_admin.isValid()) {
            m_admin.close();
            m_admin = QSqlDatabase();
            QSqlDatabase::removeDatabase(QStringLiteral("catalogue-admin"));
        }
        m_pg.stop();
    }

    void statement_data() { entryRows(m_entries); }

    void statement()
    {
        QFETCH(int, index);
        const Entry &e = m_entries[index];

        const QString path = entryCopy(m_dir, m_sample, index);
        QVERIFY(!path.isEmpty());
        ResultSet embedded;
        {
            DbConnection db;
            QVERIFY2(tsqltest::openHall(db, path), qPrintable(db.firstErrorText()));
            const QString d = runEntry(db, e, &embedded);
            QVERIFY2(d.isEmpty(), qPrintable(QStringLiteral("embedded: ") + d));
            QVERIFY2(checkExpectations(e, embedded).isEmpty(), qPrintable(QStringLiteral("embedded: ") + checkExpectations(e, embedded)));
        }
        QFile::remove(path);

        // Entries that fail on purpose or drive transactions of their own get a copy of the
        // sample database; the others run in a transaction that is rolled back, with the
        // identity counters put back, which is the same state and much faster.
        static const QRegularExpression transactional(QStringLiteral("\\b(TRAN|TRANSACTION|COMMIT|ROLLBACK|BEGIN)\\b"),
                                                      QRegularExpression::CaseInsensitiveOption);
        const bool copy = e.expectError || transactional.match(e.statement + e.setup.join(QLatin1Char(' '))).hasMatch();
        const QString name = copy ? QStringLiteral("entry%1").arg(index) : QStringLiteral("sample");
        QSqlQuery admin(m_admin);
        if (copy)
            QVERIFY2(admin.exec(QStringLiteral("CREATE DATABASE %1 TEMPLATE sample STRATEGY FILE_COPY").arg(name)),
                     qPrintable(admin.lastError().text()));
        ResultSet pg;
        {
            DbConnection db;
            QVERIFY2(db.open(pgParams(name)), qPrintable(db.firstErrorText()));
            if (!copy)
                QVERIFY(db.beginTransaction());
            const QString d = runEntry(db, e, &pg);
            if (!copy) {
                QVERIFY(db.rollback());
                QSqlQuery reset(db.database());
                QVERIFY2(reset.exec(QStringLiteral(
                             "DO $$ DECLARE t record; BEGIN FOR t IN SELECT c.relname AS tab FROM pg_class c "
                             "JOIN pg_attribute a ON a.attrelid = c.oid AND a.attname = 'id' AND a.attidentity <> '' "
                             "WHERE c.relkind = 'r' LOOP EXECUTE format('SELECT setval(pg_get_serial_sequence(%L, ''id''), "
                             "coalesce((SELECT max(id) FROM %I), 0) + 1, false)', t.tab, t.tab); END LOOP; END $$")),
                         qPrintable(reset.lastError().text()));
            }
            QVERIFY2(d.isEmpty(), qPrintable(QStringLiteral("PostgreSQL: ") + d));
            const QString c = checkExpectations(e, pg);
            QVERIFY2(c.isEmpty(), qPrintable(QStringLiteral("PostgreSQL: ") + c));
        }
        if (copy)
            admin.exec(QStringLiteral("DROP DATABASE %1").arg(name));

        if (e.expectError && e.check.isEmpty())
            return;
        QCOMPARE(pg.columns, embedded.columns);
        QCOMPARE(pg.rowCount(), embedded.rowCount());
        if (e.unordered)
            return;  // the expectations above held on both; the order is free
        for (int r = 0; r < pg.rowCount(); ++r)
            for (int c = 0; c < pg.columns.size(); ++c) {
                if (openCell(e, r, c))
                    continue;
                const QVariant a = pg.rows[r][c], b = embedded.rows[r][c];
                QVERIFY2(a == b && a.typeId() == b.typeId() && a.isNull() == b.isNull(),
                         qPrintable(QStringLiteral("row %1 column %2: PostgreSQL %3 (%4), embedded %5 (%6)")
                                        .arg(r + 1).arg(c + 1).arg(a.toString(), QString::fromLatin1(a.typeName()),
                                                                   b.toString(), QString::fromLatin1(b.typeName()))));
            }
    }
};

QTEST_GUILESS_MAIN(TestCataloguePg)
#include "test_catalogue_pg.moc"
