#pragma once

#include <QString>
#include <QtGlobal>

// Keeps every part of the program but the engine away from the embedded database's files.
// SQLite's POSIX locks belong to the process: when any other code of the same process opens
// and closes the database file, its -wal or its -shm, all of the process's locks on that
// file are dropped, another workstation then checkpoints and deletes the WAL, and this
// process's later writes go into a deleted file. So file dialogs, document copies, the PDF
// view and backups ask here first and never open such a file themselves.
namespace dbfiles {

// Folder of the embedded databases named by a relative name: "data" inside the program
// folder, which no file dialog starts in.
QString dataDir(const QString &programDir);

// Where a relative database file name (with its suffix) lives for a program folder:
// <programDir>/data/<name>; an older installation's <programDir>/<name> is still used while
// it has not been moved (see migrateLegacy).
QString locate(const QString &programDir, const QString &fileName);

// Moves an older installation's <programDir>/<name> into the data folder, but only while no
// connection has it open (no -wal, -shm or -journal beside it): moving an open database would
// split its readers between two WAL files. True when the file is in the data folder afterwards
// or there was nothing to move; false (with `error`) when the move failed, the old place then
// stays in use.
bool migrateLegacy(const QString &programDir, const QString &fileName, QString *error = nullptr);

// This process opened / closed an embedded database file (several connections may share one).
void opened(const QString &dbPath);
void closed(const QString &dbPath);

// True when `path` is a database file open in this process, or its -wal, -shm or -journal.
// Decided from names and file identity (stat), never by opening.
bool isDatabaseFile(const QString &path);

// The identity (device and inode) of a file, taken by stat; 0 when it does not exist.
quint64 identity(const QString &path);

}  // namespace dbfiles
