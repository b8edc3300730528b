#include "db/kvorum.h"

#include "db/zaprosy/konstanta.h"

namespace kvorum {

QString zaprosKvoruma()
{
    return zaprosy::konstanta::kvorum();
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
