#include "db/kvorum.h"

namespace kvorum {

QString zaprosKvoruma()
{
    return QStringLiteral("SELECT znachenie FROM konstanti WHERE opisanie LIKE 'Кворум'");
}

QString verdikt(const QString &kvorum, int prisutstvuet)
{
    bool ok = false;
    const int nuzhno = kvorum.trimmed().toInt(&ok);
    if (!ok)
        return QString();
    return prisutstvuet >= nuzhno ? Est() : Net();
}

}  // namespace kvorum
