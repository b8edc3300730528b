#pragma once

#include <QDateTime>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

#include <functional>

// The embedded engine's T-SQL layer: statements are written once, as T-SQL, and rewritten
// here into SQLite statements that return what SQL Server would.
//
// What the rewriting settles (and where SQLite on its own would differ):
// - TOP n becomes LIMIT n (inside a UNION member it limits that member only).
// - + concatenates when both operands are text and adds otherwise, by the column types of
//   the hall schema; when a type is known only at run time tsql_add decides by the values
//   (text + number converts the text to a number and fails when it is none, as the server).
// - GETDATE()/CURRENT_TIMESTAMP give local time as 'YYYY-MM-DD HH:MM:SS.SSS', read once
//   per statement.
// - DATENAME/DATEPART/DATEDIFF/DATEADD, YEAR/MONTH/DAY and CONVERT(varchar, x, style) work
//   on the stored date texts. The server language is taken to be Russian: DATENAME(mm, ...)
//   gives the month's name ("март"), DATENAME(dw, ...) the weekday's, weeks begin on
//   Monday for DATEPART(wk/dw), and a dd.mm.yyyy literal is day first. A date compared with
//   a text converts the text to a date first.
// - Text comparisons (=, <, IN, BETWEEN), LIKE and ORDER BY on text ignore case, Cyrillic
//   included, and trailing blanks (collation tsql_ci), as the server's CI collation does;
//   LIKE understands [%], [_], [a-z], [^x].
// - @@identity is the key of the last insert into a table with an identity key (NULL
//   before any); a scalar sub-select that finds several rows fails; an expression without
//   alias has an empty column name; a :name placeholder left in the text is a syntax error.
// - Statements outside the T-SQL subset that SQLite knows itself (PRAGMA, CREATE, ...) run
//   unchanged; BEGIN/COMMIT/ROLLBACK TRANSACTION are mapped; SET NOCOUNT is ignored.
// - Division by zero and CAST of a text that is no integer to int fail, as on the server.
struct sqlite3;

namespace tsql {

// The engines the statements are rewritten for.
enum class Dialect { Sqlite, Postgres };

// Column names beginning with this stand for a column without a name on engines that refuse
// an empty one; the connection reads them as blank.
constexpr char kBlankColumnPrefix[] = "tsql_blank_";

struct Translation {
    QStringList statements;  // SQLite statements to run in order; the last result set counts
    QString error;           // non-empty when the text could not be translated
    bool ok() const { return error.isEmpty(); }
};

// Translates one T-SQL statement or batch. Results are cached by statement text, so a
// poller tick pays no parsing. Not thread-safe: each thread keeps its own cache. The
// reference stays valid until the next call.
const Translation &translate(const QString &tsql, Dialect dialect = Dialect::Sqlite);

// Registers on the SQLite handle behind `db` the functions that translated statements call
// (date parts, text concatenation, mnogoimen, ...). Call once per connection.
bool installFunctions(const QSqlDatabase &db, QString *error);

// The SQLite handle behind an open embedded connection; null when there is none.
sqlite3 *sqliteHandle(const QSqlDatabase &db);

// The present time GETDATE() and CURRENT_TIMESTAMP give on the embedded engine. Tests may
// replace the clock; it is shared by every connection of the process, as one server's
// clock is. An empty function restores the real clock.
void setDatabaseClock(std::function<QDateTime()> clock);

}  // namespace tsql
