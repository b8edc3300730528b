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

private Q_SLOTS:
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

    void statement_data() { entryRows(m_entries); }

    void statement()
    {
        QFETCH(int, index);
        const Entry &e = m_entries[index];
        const QString path = entryCopy(m_dir, m_sample, index);
        QVERIFY(!path.isEmpty());
        DbConnection db;
        QVERIFY2(tsqltest::openHall(db, path), qPrintable(db.firstErrorText()));
        ResultSet rs;
        const QString d = runEntry(db, e, &rs);
        QVERIFY2(d.isEmpty(), qPrintable(d));
        const QString c = checkExpectations(e, rs);
        QVERIFY2(c.isEmpty(), qPrintable(c));
    }
};

QTEST_GUILESS_MAIN(TestCatalogue)
#include "test_catalogue.moc"
