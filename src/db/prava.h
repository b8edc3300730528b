#pragma once

#include <QByteArray>
#include <QString>

struct sqlite3;

// What a login may do on the embedded engine, the same rights the server engines give
// through their roles: operators everything; a seat reads everything but the logins and
// writes only its own ballot, presence record, speaker request and heartbeat (the seat that
// holds the chairman's assignment may also clear other seats' speaker requests); the
// watcher only reads.
//
// Table and column rights are checked by SQLite's authorizer when a statement is prepared;
// rights on rows by temporary triggers of the connection, which compare the row with the
// seat's assignment in `sostav` at the moment of the write. A seat login can neither see
// nor drop them: every schema change is refused to it.
namespace prava {

enum class Rol { Operator, Mesto, Nablyudatel };

// "admin..." is an operator, "watcher" the watcher, every other login a seat.
Rol rolLogina(const QString &login);

// Native error number of a refused statement (SQL Server's "permission denied").
constexpr int kOtkazano = 229;

// Lives as long as the connection's handle; the authorizer leaves the text of its last
// refusal here, because SQLite itself reports only "not authorized".
struct Kontekst {
    Rol rol = Rol::Operator;
    QString posledniiOtkaz;
};

// Puts the rights of `login` on an open handle. Operators get no restriction.
bool ustanovit(sqlite3 *handle, const QString &login, Kontekst *kontekst, QString *error);

// The prefix of the message of a refused row; the connection maps it to kOtkazano.
QString prefiksOtkazaStroki();

}  // namespace prava
