// Every statement the program sends (tests/db/statements/catalogue.sql) runs on the embedded
// engine against the sample hall and returns what SQL Server would.
#include "db/connection.h"
#include "db/schema.h"
#include "catalogue.h"
#include "test_tsql_db.h"

#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTextStream>
#include <QtTest>

using namespace catalogue;

class TestCatalogue : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_sample;
    QList<Entry> m_entries;

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QString error;
        m_entries = parseCatalogue(readFile(statementsDir() + QStringLiteral("catalogue.sql")), &error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        m_sample = m_dir.filePath(QStringLiteral("sample.db"));
        QVERIFY2(tsqltest::createHallDatabase(m_sample, &error), qPrintable(error));
        DbConnection db;
        QVERIFY2(tsqltest::openHall(db, m_sample), qPrintable(db.firstErrorText()));
        QString failed;
        QVERIFY2(schema::runScript(db, readFile(statementsDir() + QStringLiteral("sample.sql")), &error, {}, &failed),
                 qPrintable(error + QStringLiteral(" <- ") + failed));
        db.close();  // the last connection folds the journal into the file we copy
    }

    void catalogueIsWellFormed()
    {
        QVERIFY(m_entries.size() >= 140);
        QSet<QString> ids;
        for (const Entry &e : m_entries) {
            QVERIFY2(!ids.contains(e.id), qPrintable(QStringLiteral("duplicate id ") + e.id));
            ids.insert(e.id);
            QVERIFY2(e.expectError || e.hasColumns || !e.rows.isEmpty() || e.rowCount >= 0,
                     qPrintable(QStringLiteral("entry %1 checks nothing").arg(e.id)));
        }
    }

    void statement_data()
    {
        QTest::addColumn<int>("index");
        for (int i = 0; i < m_entries.size(); ++i)
            QTest::newRow(qPrintable(m_entries[i].id)) << i;
    }

    void statement()
    {
        QFETCH(int, index);
        const Entry &e = m_entries[index];
        const QString path = m_dir.filePath(QStringLiteral("entry%1.db").arg(index));
        QFile::remove(path);
        QVERIFY(QFile::copy(m_sample, path));
        DbConnection db;
        QVERIFY2(tsqltest::openHall(db, path), qPrintable(db.firstErrorText()));
        for (const QString &s : e.setup)
            QVERIFY2(db.exec(s), qPrintable(db.firstErrorText() + QStringLiteral(" <- setup ") + s));

        ResultSet rs;
        const bool ok = db.query(e.statement, &rs);
        if (e.expectError) {
            QVERIFY2(!ok, "the statement was expected to fail");
            if (e.error >= 0)
                QCOMPARE(db.errors().first().nativeError, e.error);
            db.clearErrors();
        } else {
            QVERIFY2(ok, qPrintable(db.firstErrorText() + QStringLiteral("\n") + e.statement));
        }
        if (!e.check.isEmpty())
            QVERIFY2(db.query(e.check, &rs), qPrintable(db.firstErrorText() + QStringLiteral(" <- check ") + e.check));
        else if (e.expectError)
            return;

        if (e.hasColumns)
            QCOMPARE(rs.columns, e.columns);
        const int expectedCount = e.rowCount >= 0 ? e.rowCount : int(e.rows.size());
        QCOMPARE(rs.rowCount(), expectedCount);
        if (e.unordered) {
            QVector<bool> used(rs.rowCount(), false);
            for (const QStringList &want : e.rows) {
                bool found = false;
                for (int r = 0; r < rs.rowCount() && !found; ++r) {
                    if (!used[r] && compareRow(want, rs.rows[r]).isEmpty())
                        used[r] = found = true;
                }
                QVERIFY2(found, qPrintable(QStringLiteral("no row like ") + want.join(QStringLiteral(" | "))));
            }
        } else {
            for (int r = 0; r < e.rows.size(); ++r) {
                const QString d = compareRow(e.rows[r], rs.rows[r]);
                QVERIFY2(d.isEmpty(), qPrintable(QStringLiteral("row %1: %2").arg(r + 1).arg(d)));
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestCatalogue)
#include "test_catalogue.moc"
