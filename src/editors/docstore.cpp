#include "editors/docstore.h"

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

QString documentPath(const QString &programDir, const QString &put, const QString &fail)
{
    QString rel = toFileSystem(put);
    while (rel.startsWith(QLatin1Char('/')))
        rel.remove(0, 1);
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
