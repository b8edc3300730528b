#include "db/docstore.h"

#include "db/dbfiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace docstore {

QString dateFolder(const QString &day, int month, const QString &year)
{
    const QString mm = month < 10 ? QStringLiteral("0") + QString::number(month) : QString::number(month);
    return day + QLatin1Char('.') + mm + QLatin1Char('.') + year;
}

QString dateFolder(int day, int month, int year)
{
    return dateFolder(QString::number(day), month, QString::number(year));
}

QString itemFolder(const QString &dateFolder, int nomer, int tip)
{
    return dateFolder + QLatin1Char('\\') + QString::number(nomer)
        + (tip == 0 ? QStringLiteral("\\") : QStringLiteral(" д\\"));
}

QString storeDir(const QString &programDir)
{
    return QDir(programDir).filePath(QStringLiteral("docs"));
}

QString toFileSystem(const QString &stored)
{
    QString p = stored;
    p.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return p;
}

namespace {

// A stored folder or file name that could reach outside the store: a parent step, an
// absolute or drive-letter start, or a control character. Names come from the database,
// which any workstation writes, so they are checked where they turn into paths.
bool leavesStore(const QString &rel)
{
    if (rel.startsWith(QLatin1Char('/')))
        return true;
    if (rel.size() >= 2 && rel.at(1) == QLatin1Char(':'))
        return true;
    for (const QChar c : rel) {
        if (c.unicode() < 0x20)
            return true;
    }
    const QStringList parts = rel.split(QLatin1Char('/'));
    for (const QString &part : parts) {
        if (part.trimmed() == QStringLiteral(".."))
            return true;
    }
    return false;
}

}  // namespace

bool safeStoredPath(const QString &put, const QString &fail)
{
    const QString name = toFileSystem(fail);
    if (name.contains(QLatin1Char('/')) || name.trimmed() == QStringLiteral(".")
        || name.trimmed() == QStringLiteral("..") || leavesStore(name))
        return false;
    return !leavesStore(toFileSystem(put));
}

QString documentPath(const QString &programDir, const QString &put, const QString &fail)
{
    if (!safeStoredPath(put, fail))
        return QString();
    QString rel = toFileSystem(put);
    if (!rel.isEmpty() && !rel.endsWith(QLatin1Char('/')))
        rel += QLatin1Char('/');
    return storeDir(programDir) + QLatin1Char('/') + rel + fail;
}

QString displayPath(const QString &put, const QString &fail)
{
    return QStringLiteral("\\docs\\") + put + fail;
}

CopyResult copyIntoStore(const QString &source, const QString &programDir, const QString &put,
                         const QString &fileName, QString *error)
{
    if (dbfiles::isDatabaseFile(source)) {
        // Reading it would drop this workstation's locks on the database.
        if (error)
            *error = QStringLiteral("%1 is the hall's database, not a document").arg(source);
        return CopyResult::Failed;
    }
    const QString target = documentPath(programDir, put, fileName);
    if (target.isEmpty()) {
        if (error)
            *error = QStringLiteral("the document path leaves the store: %1%2").arg(put, fileName);
        return CopyResult::Failed;
    }
    const QString folder = QFileInfo(target).absolutePath();
    if (!QDir().mkpath(folder)) {
        if (error)
            *error = QStringLiteral("cannot create the folder %1").arg(folder);
        return CopyResult::Failed;
    }
    if (QFileInfo::exists(target))
        return CopyResult::AlreadyThere;
    QFile in(source);
    if (!in.copy(target)) {
        // A file that appeared meanwhile is still one we must not overwrite.
        if (QFileInfo::exists(target))
            return CopyResult::AlreadyThere;
        if (error)
            *error = in.errorString();
        return CopyResult::Failed;
    }
    return CopyResult::Copied;
}

}  // namespace docstore
