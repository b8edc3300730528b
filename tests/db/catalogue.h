#pragma once

// The statement catalogue (tests/db/statements/catalogue.sql): its entries and how a result
// is held against an entry's expectations. Shared by the runs on each engine.
#include "db/connection.h"

#include <QFile>
#include <QList>
#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QtTest>
#include <QVariant>

namespace catalogue {

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

inline QString statementsDir()
{
    return QStringLiteral(VOTER_SOURCE_DIR "/tests/db/statements/");
}

inline QString readFile(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return QString();
    return QString::fromUtf8(f.readAll());
}

inline QStringList splitCells(const QString &text)
{
    QStringList cells = text.split(QStringLiteral(" | "));
    for (QString &c : cells)
        c = c.trimmed();
    return cells;
}

inline QList<Entry> parseCatalogue(const QString &text, QString *error)
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
inline QString compareCell(const QString &expected, const QVariant &v)
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

inline QString compareRow(const QStringList &expected, const QVector<QVariant> &row)
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

// Runs one entry on an open connection; the result the expectations apply to goes to *rs.
inline QString runEntry(DbConnection &db, const Entry &e, ResultSet *rs)
{
    for (const QString &s : e.setup)
        if (!db.exec(s))
            return db.firstErrorText() + QStringLiteral(" <- setup ") + s;
    const bool ok = db.query(e.statement, rs);
    if (e.expectError) {
        if (ok)
            return QStringLiteral("the statement was expected to fail");
        if (e.error >= 0 && db.errors().first().nativeError != e.error)
            return QStringLiteral("native error %1 instead of %2 (%3)").arg(db.errors().first().nativeError).arg(e.error).arg(db.firstErrorText());
        db.clearErrors();
    } else if (!ok) {
        return db.firstErrorText() + QStringLiteral("\n") + e.statement;
    }
    if (!e.check.isEmpty() && !db.query(e.check, rs))
        return db.firstErrorText() + QStringLiteral(" <- check ") + e.check;
    return QString();
}

inline QString checkExpectations(const Entry &e, const ResultSet &rs)
{
    if (e.expectError && e.check.isEmpty())
        return QString();
    if (e.hasColumns && rs.columns != e.columns)
        return QStringLiteral("columns %1 instead of %2").arg(rs.columns.join(QLatin1Char('|')), e.columns.join(QLatin1Char('|')));
    const int expectedCount = e.rowCount >= 0 ? e.rowCount : int(e.rows.size());
    if (rs.rowCount() != expectedCount)
        return QStringLiteral("%1 rows instead of %2").arg(rs.rowCount()).arg(expectedCount);
    if (e.unordered) {
        QVector<bool> used(rs.rowCount(), false);
        for (const QStringList &want : e.rows) {
            bool found = false;
            for (int r = 0; r < rs.rowCount() && !found; ++r)
                if (!used[r] && compareRow(want, rs.rows[r]).isEmpty())
                    used[r] = found = true;
            if (!found)
                return QStringLiteral("no row like ") + want.join(QStringLiteral(" | "));
        }
        return QString();
    }
    for (int r = 0; r < e.rows.size(); ++r) {
        const QString d = compareRow(e.rows[r], rs.rows[r]);
        if (!d.isEmpty())
            return QStringLiteral("row %1: %2").arg(r + 1).arg(d);
    }
    return QString();
}

// One data row per entry, named by its id (the "index" column).
inline void entryRows(const QList<Entry> &entries)
{
    QTest::addColumn<int>("index");
    for (int i = 0; i < entries.size(); ++i)
        QTest::newRow(qPrintable(entries[i].id)) << i;
}

// A copy of the sample database for entry `index` (empty when it cannot be made).
inline QString entryCopy(const QTemporaryDir &dir, const QString &sample, int index)
{
    const QString path = dir.filePath(QStringLiteral("entry%1.db").arg(index));
    QFile::remove(path);
    return QFile::copy(sample, path) ? path : QString();
}

}  // namespace catalogue
