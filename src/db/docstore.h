#pragma once

#include <QString>

// The document store: the folder "docs" beside the program, one folder per meeting date and
// agenda item. Paths are stored in the database with "\" separators (the form every
// workstation shares); they are turned into file-system paths only here, so a database
// prepared on one platform opens its documents on the other.
namespace docstore {

// Meeting date folder from the day name, month number and year name as the database returns
// them: day without a leading zero, month always two digits ("5.03.2014", "25.11.2014").
QString dateFolder(const QString &day, int month, const QString &year);
QString dateFolder(int day, int month, int year);

// Item folder relative to the store, as stored in faili.put: "5.03.2014\3\" for a main
// question (tip 0), "5.03.2014\3 д\" for an additional one.
QString itemFolder(const QString &dateFolder, int nomer, int tip);

// The store's folder on disk.
QString storeDir(const QString &programDir);

// Stored relative path ("5.03.2014\3\") to a path usable by the file system ("5.03.2014/3/").
// Qt accepts "/" on every platform, so the mapping is the same everywhere.
QString toFileSystem(const QString &stored);

// False when the stored folder or file name could lead out of the store: a ".." step, an
// absolute start ("/" or "\\"), a drive ("C:") or a control character, or a file
// name that holds a folder.
bool safeStoredPath(const QString &put, const QString &fail);

// Full path of a document: program folder + "docs" + put + fail; empty when
// safeStoredPath() refuses the names.
QString documentPath(const QString &programDir, const QString &put, const QString &fail);

// The path shown to the operator: "\docs\" + put + fail, in the stored form.
QString displayPath(const QString &put, const QString &fail);

enum class CopyResult { Copied, AlreadyThere, Failed };

// Copies `source` into the item folder `put` of the store under `fileName`, creating every
// missing folder. An existing file is never overwritten (AlreadyThere). On failure `error`
// (when given) says why.
CopyResult copyIntoStore(const QString &source, const QString &programDir, const QString &put,
                         const QString &fileName, QString *error = nullptr);

}  // namespace docstore
