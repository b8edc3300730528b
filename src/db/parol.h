#pragma once

#include <QString>

struct sqlite3;

// Passwords of the embedded engine's logins, stored as salted PBKDF2 hashes in a
// self-describing form: "pbkdf2-sha256$<iterations>$<salt base64>$<key base64>".
namespace parol {

// Iterations for a secret password; verifying one costs a workstation a fraction of a second.
constexpr int kIteracii = 20000;
// A password equal to its login is public by the hall's login rule (seat number = login =
// password, the watcher likewise), so a slow hash would protect nothing there; it is still
// salted and hashed so the table holds no password in the clear.
constexpr int kIteraciiObshedostupnogo = 100;

// A new salted hash of `password` for `login`.
QString hesh(const QString &login, const QString &password);
// True when `stored` is in the hash form (otherwise it is a password kept in the clear).
bool eHesh(const QString &stored);
// Checks a typed password against a stored value. A value in the clear is compared as it
// is, so a row an operator set by hand still lets its login in until it is migrated.
bool proverit(const QString &password, const QString &stored);

// Replaces every password kept in the clear in table `logins` by its hash, in one
// transaction taken with the write lock (so of many workstations opening together only the
// first does the work). Returns false with `error` set when the table could not be updated.
bool heshirovatOtkrytye(sqlite3 *handle, QString *error);

}  // namespace parol
