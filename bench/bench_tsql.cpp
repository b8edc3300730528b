// The embedded engine's overhead on the statement every workstation sends four times a
// second: the mode row read through DbConnection (translation cached) against the same
// statement run directly with QSqlQuery on the same SQLite file. Rounds alternate between
// the two so that both see the same machine state. Goal: ratio under 1.20.
//
//   bench_tsql [iterations]        (default 200000)
#include "db/connection.h"
#include "db/schema.h"
#include "db/tsql.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTextStream>

#include <cstdio>

namespace {

const QString kPoll = QStringLiteral("SELECT nomer,param1,param2 FROM regim");

qint64 runNative(QSqlDatabase &db, int n, qint64 *checksum)
{
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < n; ++i) {
        QSqlQuery q(db);
        q.setForwardOnly(true);
        if (!q.exec(kPoll)) {
            std::fprintf(stderr, "native: %s\n", qPrintable(q.lastError().text()));
            return -1;
        }
        while (q.next())
            *checksum += q.value(0).toLongLong() + q.value(1).toLongLong() + q.value(2).toLongLong();
    }
    return t.nsecsElapsed();
}

qint64 runConnection(DbConnection &db, int n, qint64 *checksum)
{
    QElapsedTimer t;
    t.start();
    ResultSet rs;
    for (int i = 0; i < n; ++i) {
        if (!db.query(kPoll, &rs)) {
            std::fprintf(stderr, "connection: %s\n", qPrintable(db.firstErrorText()));
            return -1;
        }
        for (const auto &row : rs.rows)
            *checksum += row[0].toLongLong() + row[1].toLongLong() + row[2].toLongLong();
    }
    return t.nsecsElapsed();
}

}  // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int iterations = argc > 1 ? qMax(1000, QString::fromLocal8Bit(argv[1]).toInt()) : 200000;
    const int rounds = 20;
    const int perRound = iterations / rounds;

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bench.db"));
    QString error;
    if (!schema::createEmbedded(path, &error)) {
        std::fprintf(stderr, "cannot create the database: %s\n", qPrintable(error));
        return 1;
    }
    DbConnection conn;
    if (!conn.open({QStringLiteral("embedded"), path, QStringLiteral("admin1"), QStringLiteral("admin1")})) {
        std::fprintf(stderr, "cannot open: %s\n", qPrintable(conn.firstErrorText()));
        return 1;
    }
    {
        QSqlDatabase native = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("native"));
        native.setDatabaseName(path);
        native.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
        if (!native.open()) {
            std::fprintf(stderr, "cannot open natively: %s\n", qPrintable(native.lastError().text()));
            return 1;
        }
        QSqlQuery pragma(native);
        pragma.exec(QStringLiteral("PRAGMA journal_mode=WAL"));
        pragma.exec(QStringLiteral("PRAGMA foreign_keys=ON"));

        // Warm-up: caches, the translation, the page cache.
        qint64 sumNative = 0, sumConn = 0;
        runNative(native, 2000, &sumNative);
        runConnection(conn, 2000, &sumConn);

        qint64 nativeNs = 0, connNs = 0;
        sumNative = sumConn = 0;
        for (int r = 0; r < rounds; ++r) {
            const qint64 a = runNative(native, perRound, &sumNative);
            const qint64 b = runConnection(conn, perRound, &sumConn);
            if (a < 0 || b < 0)
                return 1;
            nativeNs += a;
            connNs += b;
        }
        if (sumNative != sumConn) {
            std::fprintf(stderr, "the two paths read different rows\n");
            return 1;
        }
        const int total = perRound * rounds;
        const double ratio = double(connNs) / double(nativeNs);
        QTextStream out(stdout);
        out << "statement: " << kPoll << "\n"
            << "iterations: " << total << " each, " << rounds << " interleaved rounds\n"
            << "native QSqlQuery:   " << QString::number(double(nativeNs) / total / 1000.0, 'f', 2) << " us/statement\n"
            << "DbConnection:       " << QString::number(double(connNs) / total / 1000.0, 'f', 2) << " us/statement\n"
            << "ratio: " << QString::number(ratio, 'f', 3) << (ratio < 1.20 ? "  (goal < 1.20: met)\n" : "  (goal < 1.20: NOT met)\n");

        // For scale: translating a long statement once (what a cache miss costs).
        QElapsedTimer t;
        t.start();
        const int misses = 2000;
        for (int i = 0; i < misses; ++i)
            tsql::translate(QStringLiteral("SELECT DATENAME(HH,golosovanie.data) + ':' + DATENAME(MI,golosovanie.data) as vremya,"
                                           " dbo.mnogoimen(golosovanie.id,1) as fio_za FROM golosovanie, povestka, sessia_start"
                                           " WHERE (golosovanie.id_sessia=sessia_start.id) AND (sessia_start.id_zasedanie=%1)"
                                           " AND (povestka.id = golosovanie.id_povestka) ORDER BY golosovanie.data")
                                .arg(i));
        out << "uncached translation of a protocol-size statement: "
            << QString::number(double(t.nsecsElapsed()) / misses / 1000.0, 'f', 1) << " us\n";
    }
    QSqlDatabase::removeDatabase(QStringLiteral("native"));
    return 0;
}
