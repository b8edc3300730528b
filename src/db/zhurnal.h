#pragma once

// The vote journal: the chain of hashed events that the database's triggers append for every
// ballot, vote, vote result, registration period and presence record (table zhurnal, see
// the schema scripts), and the check that walks it against the live tables.

#include <QMap>
#include <QString>
#include <QStringList>
#include <QVariant>

class DbConnection;
struct sqlite3;

namespace zhurnal {

// One field of an event's canonical text: NULL as \N, otherwise the value as text with each
// backslash doubled and each bar written as backslash-bar. The engine's zhurnal_pole agrees.
QString pole(const QVariant &value);
// The fields of a canonical text (inverse of joining pole() values with |); a \N field is
// a null QVariant.
QVector<QVariant> polya(const QString &zapis);
// Link of the chain: lower-case hex SHA-256 of the UTF-8 of previous hash + text.
QString hash(const QString &predydushii, const QString &zapis);

struct Proverka {
    int zapisei = 0;                // journal rows read
    QString nachalo;                // when the journal was added to a database that had none
    int nachalnyh = 0;              // rows of the tables recorded as they stood at that moment
    QStringList nahodki;            // every row changed, deleted or inserted outside the journal
    QMap<int, QString> golovy;      // vote -> hash of its last journal row (what the minutes print)
    QMap<int, int> zasedanieGolosovania;  // vote -> its meeting
};

// Walks the whole chain and compares it with otvet, golosovanie, sessia_start and sessia.
// zasedanie > 0 keeps only what belongs to that meeting. False (with the reason) when the
// journal or a table cannot be read.
bool proverit(DbConnection &db, int zasedanie, Proverka *out, QString *oshibka);

// The statement that reads the head hash of vote `golosovanie` (one column, NULL when the
// vote has no journal row).
QString golovaSql(const QString &golosovanie);

// The journal's table, index and triggers on the embedded engine (SQLite dialect), made from
// the same list of journalled columns that the check reads.
QString sxemaSqlite();

// Adds the journal to an embedded database made before it existed: the table and triggers,
// then a starting record (event S) of every row already in the journalled tables, each
// closed registration period (C) and each vote not running (R), after a first entry
// "zhurnal|S|<time>". Done under the write lock, so of many workstations opening together
// only the first does it; a database that has the journal, or lacks the tables it journals,
// is left alone. Needs the engine's functions (sha256, zhurnal_pole) on the handle.
bool dobavitSqlite(sqlite3 *handle, QString *error);

}  // namespace zhurnal
