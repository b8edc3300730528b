// Every statement the program sends (tests/db/statements/catalogue.sql) runs on the embedded
// engine against the sample hall and returns what SQL Server would.
#include "db/connection.h"
#include "db/schema.h"
#include "test_tsql_db.h"

#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTextStream>
#include <QtTest>

namespace {

struct Entry {
    QString id;
    int line = 0;
    QStringList setup;
    QString check;
    bool hasColumns = false;
    QStringList columns;
    QList<QStringList> rows;
    int rowCount = -1;
    bool unordered = false;
    bool expectError = false;
    int error = -1;  // -1: any error
    QString statement;
};

QString statementsDir()
{
    return QStringLiteral(VOTER_SOURCE_DIR "/tests/db/statements/");
}

QString readFile(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return QString();
    return QString::fromUtf8(f.readAll());
}

QStringList splitCells(const QString &text)
{
    QStringList cells = text.split(QStringLiteral(" | "));
    for (QString &c : cells)
        c = c.trimmed();
    return cells;
}

QList<Entry> parseCatalogue(const QString &text, QString *error)
{
    QList<Entry> entries;
    const QStringList lines = text.split(QLatin1Char('\n'));
    Entry *cur = nullptr;
    bool header = false;
    QStringList body;
    auto finish = [&] {
        if (!cur)
            return;
        while (!body.isEmpty() && body.last().trimmed().isEmpty())
            body.removeLast();
        cur->statement = body.join(QLatin1Char('\n'));
        body.clear();
    };
    for (int i = 0; i < lines.size(); ++i) {
        const QString &line = lines[i];
        if (line.startsWith(QLatin1String("-- @"))) {
            finish();
            entries.append(Entry{});
            cur = &entries.last();
            cur->id = line.mid(4).trimmed();
            cur->line = i + 1;
            header = true;
            continue;
        }
        if (line.startsWith(QLatin1String("-- ===="))) {
            finish();
            cur = nullptr;
            continue;
        }
        if (!cur)
            continue;
        if (header && line.startsWith(QLatin1String("--"))) {
            const QString h = line.mid(2).trimmed();
            auto value = [&](const char *key) { return h.mid(int(qstrlen(key))).trimmed(); };
            if (h.startsWith(QLatin1String("setup:")))
                cur->setup << value("setup:");
            else if (h.startsWith(QLatin1String("check:")))
                cur->check = value("check:");
            else if (h.startsWith(QLatin1String("columns:"))) {
                cur->hasColumns = true;
                cur->columns = splitCells(value("columns:"));
                for (QString &c : cur->columns)
                    if (c == QLatin1String("\"\""))
                        c.clear();
            } else if (h.startsWith(QLatin1String("rows:")))
                cur->rowCount = value("rows:").toInt();
            else if (h.startsWith(QLatin1String("row:")))
                cur->rows << splitCells(value("row:"));
            else if (h == QLatin1String("unordered"))
                cur->unordered = true;
            else if (h.startsWith(QLatin1String("error:"))) {
                cur->expectError = true;
                const QString e = value("error:");
                cur->error = e == QLatin1String("any") ? -1 : e.toInt();
            }
            continue;  // other lines are notes
        }
        header = false;
        body << line;
    }
    finish();
    for (const Entry &e : entries) {
        if (e.statement.trimmed().isEmpty())
            *error = QStringLiteral("entry %1 (line %2) has no statement").arg(e.id).arg(e.line);
    }
    return entries;
}

// One expected cell against one value; an empty text on success, else the difference.
QString compareCell(const QString &expected, const QVariant &v)
{
    const QString shown = v.isNull() ? QStringLiteral("NULL") : QStringLiteral("%1 (%2)").arg(v.toString(), QString::fromLatin1(v.typeName()));
    if (expected == QLatin1String("*"))
        return QString();
    if (expected == QLatin1String("NULL"))
        return v.isNull() ? QString() : shown;
    if (expected.startsWith(QLatin1Char('~')))
        return !v.isNull() && QRegularExpression(expected.mid(1)).match(v.toString()).hasMatch() ? QString() : shown;
    static const QRegularExpression integer(QStringLiteral("^-?\\d+$"));
    if (integer.match(expected).hasMatch())
        return v.typeId() == QMetaType::LongLong && v.toLongLong() == expected.toLongLong() ? QString() : shown;
    if (expected.size() >= 2 && expected.startsWith(QLatin1Char('\'')) && expected.endsWith(QLatin1Char('\''))) {
        QString text = expected.mid(1, expected.size() - 2);
        text.replace(QLatin1String("''"), QLatin1String("'"));
        return v.typeId() == QMetaType::QString && v.toString() == text ? QString() : shown;
    }
    return QStringLiteral("bad expectation %1").arg(expected);
}

QString compareRow(const QStringList &expected, const QVector<QVariant> &row)
{
    if (expected.size() != row.size())
        return QStringLiteral("%1 columns instead of %2").arg(row.size()).arg(expected.size());
    for (int c = 0; c < row.size(); ++c) {
        const QString d = compareCell(expected[c], row[c]);
        if (!d.isEmpty())
            return QStringLiteral("column %1: expected %2, got %3").arg(c + 1).arg(expected[c], d);
    }
    return QString();
}

}  // namespace

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
