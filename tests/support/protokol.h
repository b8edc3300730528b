#pragma once

#include <QString>

class DbConnection;

// The minutes of a meeting in both layouts (electronic, then edited) as plain text, read with
// the protocol window's own queries; "<failed: ...>" when they cannot be read.
QString protokolTekst(DbConnection &db, int meeting);
