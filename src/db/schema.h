#pragma once

#include "db/connection.h"

#include <QDate>
#include <QString>
#include <QStringList>

#include <functional>

// Creation scripts of the hall database and the demo data. The scripts live in Qt resources
// under /schema: sqlite.sql (embedded engine, SQLite dialect), mssql.sql (SQL Server) and
// demo.sql (T-SQL, runs through the connection on either engine).
namespace schema {

// Text of a script from the resources ("sqlite.sql", "mssql.sql", "demo.sql"); empty when
// there is no such script.
QString script(const QString &name);

// Creates a new embedded database file at `path` with all tables and reference rows (mode
// row, seats, voting rules, constants, logins). An existing file is kept and the call fails
// unless `replace` is set; the new file is built beside it and moved into place only when
// complete, so a failure never leaves a half-made database behind.
bool createEmbedded(const QString &path, QString *error, bool replace = false);

// Creates the hall's tables, functions and reference rows (postgres.sql) in the empty
// PostgreSQL database `db` is connected to, as one transaction.
bool createPostgres(DbConnection &db, QString *error);

// Adds the vote journal (zhurnal-postgresql.sql) to a PostgreSQL hall database made before it
// existed, with the rows already there as its starting record (zhurnal_nachat). Does nothing
// where the journal is there or the hall's tables are not; of workstations opening together
// only the first does it (an advisory lock). Needs the right to create in the database.
bool dobavitZhurnalPostgres(QSqlDatabase &db, QString *error);

// Creates the PostgreSQL database named in `params` (connecting to the server's "postgres"
// database with the same login) and fills it as createPostgres does. An existing database
// is kept and the call fails unless `replace` is set.
bool createPostgresDatabase(const ConnectionParams &params, QString *error, bool replace = false);

// Splits a script into batches at lines holding only "GO" (any case), as sqlcmd does.
// Comments are removed; texts between quotes are kept whole, line breaks included.
QStringList splitBatches(const QString &script);
// Splits a batch into statements at the semicolons that end them (outside quotes).
QStringList splitStatements(const QString &batch);

// Runs a T-SQL script through the connection: batch by batch on SQL Server; statement by
// statement on the embedded engine. Stops at the first failure; `error` then gets the
// connection's error text, and `failedStatement` (when given) the statement that failed.
// `onResult` (optional) receives the rows of every statement that returned a result set.
using ResultHandler = std::function<void(const ResultSet &)>;
bool runScript(DbConnection &db, const QString &script, QString *error,
               const ResultHandler &onResult = {}, QString *failedStatement = nullptr);

// The document folder of a meeting date as the document store names it: day without
// leading zero, two-digit month, four-digit year ("5.03.2014").
QString dateFolder(const QDate &date);

// The demo script with its variables filled in for the given date.
QString demoScript(const QDate &today);

// Loads the demo data (deputies on all seats, chairman at seat 02, a meeting dated today
// with its agenda, item voting rules and a document) and writes the document's PDF under
// programDir/docs/. Refuses a database that already holds deputies or meetings. The rows
// go in as one transaction.
bool loadDemo(DbConnection &db, const QString &programDir, QString *error);

// Writes the demo document: a few pages of Russian text as PDF. Needs a QGuiApplication
// (the offscreen platform is enough).
bool writeDemoPdf(const QString &path, QString *error);

}  // namespace schema
