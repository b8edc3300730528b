#pragma once

// voter-sql's checks of the record: --verify (the vote journal against the live tables) and
// --export (a meeting's votes as open data).

class DbConnection;
class QTextStream;
class QString;

// Prints the chain's state, each vote's head hash and every finding. 0 when the journal
// matches the tables, 3 when something was changed, deleted or inserted outside it, 1 when
// it cannot be read.
int proverkaZhurnala(DbConnection &db, int zasedanie, QTextStream &out, QTextStream &err);

// Writes the votes of a meeting (0: the newest with votes) as CSV or JSON to `file`, or to
// standard output when it is empty. 0 on success, 1 on failure.
int eksportGolosovanii(DbConnection &db, int zasedanie, bool csv, const QString &file, QTextStream &err);
