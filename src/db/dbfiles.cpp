#include "db/dbfiles.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QMutex>
#include <QStringList>

#include <sys/stat.h>

namespace dbfiles {

namespace {

const char *const kSideSuffixes[] = {"-wal", "-shm", "-journal"};

// Open database files of this process and how many connections hold each. Process-wide on
// purpose: the locks it protects are process-wide too.
QMutex g_mutex;
QHash<QString, int> g_open;

struct FileId {
    bool ok = false;
    dev_t dev = 0;
    ino_t ino = 0;
};

FileId idOf(const QString &path)
{
    FileId id;
    struct stat st;
    if (::stat(QFile::encodeName(path).constData(), &st) == 0) {
        id.ok = true;
        id.dev = st.st_dev;
        id.ino = st.st_ino;
    }
    return id;
}

bool sameFile(const QString &a, const QString &b)
{
    if (QFileInfo(a).absoluteFilePath() == QFileInfo(b).absoluteFilePath())
        return true;
    const FileId x = idOf(a), y = idOf(b);
    return x.ok && y.ok && x.dev == y.dev && x.ino == y.ino;
}

}  // namespace

QString dataDir(const QString &programDir)
{
    return QDir(programDir).filePath(QStringLiteral("data"));
}

QString locate(const QString &programDir, const QString &fileName)
{
    const QString inData = QDir(dataDir(programDir)).filePath(fileName);
    const QString legacy = QDir(programDir).filePath(fileName);
    if (!QFileInfo::exists(inData) && QFileInfo::exists(legacy))
        return legacy;
    return inData;
}

bool migrateLegacy(const QString &programDir, const QString &fileName, QString *error)
{
    const QString legacy = QDir(programDir).filePath(fileName);
    const QString target = QDir(dataDir(programDir)).filePath(fileName);
    if (!QFileInfo::exists(legacy) || QFileInfo::exists(target))
        return true;
    for (const char *suffix : kSideSuffixes) {
        if (QFileInfo::exists(legacy + QLatin1String(suffix))) {
            if (error)
                *error = QStringLiteral("%1 is in use and stays where it is").arg(legacy);
            return false;
        }
    }
    if (!QDir().mkpath(QFileInfo(target).absolutePath())) {
        if (error)
            *error = QStringLiteral("cannot create the folder %1").arg(QFileInfo(target).absolutePath());
        return false;
    }
    // A rename on one file system: the file itself is never opened, and it is never in two
    // places or in none.
    if (!QDir().rename(legacy, target)) {
        if (error)
            *error = QStringLiteral("cannot move %1 to %2").arg(legacy, target);
        return false;
    }
    return true;
}

void opened(const QString &dbPath)
{
    QMutexLocker lock(&g_mutex);
    ++g_open[QFileInfo(dbPath).absoluteFilePath()];
}

void closed(const QString &dbPath)
{
    QMutexLocker lock(&g_mutex);
    const QString key = QFileInfo(dbPath).absoluteFilePath();
    auto it = g_open.find(key);
    if (it != g_open.end() && --it.value() <= 0)
        g_open.erase(it);
}

bool isDatabaseFile(const QString &path)
{
    if (path.isEmpty())
        return false;
    QStringList open;
    {
        QMutexLocker lock(&g_mutex);
        open = g_open.keys();
    }
    for (const QString &db : open) {
        if (sameFile(path, db))
            return true;
        for (const char *suffix : kSideSuffixes)
            if (sameFile(path, db + QLatin1String(suffix)))
                return true;
    }
    return false;
}

quint64 identity(const QString &path)
{
    const FileId id = idOf(path);
    if (!id.ok)
        return 0;
    return (quint64(id.dev) << 40) ^ quint64(id.ino) ^ 1u;
}

}  // namespace dbfiles
