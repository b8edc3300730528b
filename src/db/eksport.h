#pragma once

// Open results: a meeting's votes as CSV or JSON for publication (format in the README,
// section "Open results").

#include <QByteArray>
#include <QString>

class DbConnection;

namespace eksport {

enum class Format { Csv, Json };

// The votes of meeting `zasedanie` (0: the newest meeting that has votes, or the newest
// meeting when none has any). False with the reason when there is no such meeting or a
// statement fails.
bool golosovania(DbConnection &db, int zasedanie, Format format, QByteArray *out, QString *oshibka);

}  // namespace eksport
