#pragma once

#include "db/connection.h"

#include <QString>

// A consistent copy of the hall database while the hall runs.
namespace kopiya {

// Embedded engine: SQLite's online backup into `file` (which must not exist yet), taken
// from one read snapshot, so writers go on meanwhile; the copy is checked with
// integrity_check before it is put in place. Server engines are copied with their own
// tools; then the call fails and `error` names the tool.
bool sdelat(DbConnection &db, const QString &file, QString *error);

}  // namespace kopiya
