#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

// The embedded engine's T-SQL layer: statements are written once, as T-SQL, and rewritten
// here into SQLite statements that return what SQL Server would.
namespace tsql {

struct Translation {
    QStringList statements;  // SQLite statements to run in order; the last result set counts
    QString error;           // non-empty when the text could not be translated
    bool ok() const { return error.isEmpty(); }
};

// Translates one T-SQL statement or batch. Results are cached by statement text, so a
// poller tick pays no parsing. Not thread-safe: each thread keeps its own cache.
const Translation &translate(const QString &tsql);

// Registers on the SQLite handle behind `db` the functions that translated statements call
// (date parts, text concatenation, mnogoimen, ...). Call once per connection.
bool installFunctions(const QSqlDatabase &db, QString *error);

}  // namespace tsql
