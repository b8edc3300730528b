#pragma once

#include <QDateTime>
#include <QString>

#include <functional>

struct sqlite3;

// SQL Server's behaviour that translated statements call into: date literals and date
// parts, + on values of unknown type, case-insensitive LIKE and ordering, the hall's two
// name-list functions.
namespace tsql {

// A date and/or time as SQL Server reads it from a literal.
struct DateTimeValue {
    int year = 1900, month = 1, day = 1;
    int hour = 0, minute = 0, second = 0, msec = 0;
    bool hasDate = false;
    bool hasTime = false;
};

// Reads the literal forms the server accepts: '20140305', '2014-03-05', '05.03.2014'
// (day first, as the Russian server language reads it), each optionally followed by a time
// ('10:11', '10:11:12', '10:11:12.345', 'T10:11:12', '10:11 PM'), or a time alone. Blanks
// around are ignored. Returns false for anything else or for an impossible date.
bool parseDateTime(const QByteArray &utf8, DateTimeValue *out);

// Storage forms: 'YYYY-MM-DD', 'HH:MM:SS', 'YYYY-MM-DD HH:MM:SS.SSS'.
QByteArray formatDate(const DateTimeValue &v);
QByteArray formatTime(const DateTimeValue &v);
QByteArray formatDateTime(const DateTimeValue &v);

// The database's present time (local). Replaceable for tests; an empty function restores
// the real clock. Shared by every connection of the process, like one server's clock.
QDateTime databaseNow();
void setDatabaseClock(std::function<QDateTime()> clock);

// Registers every function and the tsql_ci collation on the handle.
bool registerFunctions(sqlite3 *db, QString *error);

}  // namespace tsql
