#include "db/zaprosy/konstanta.h"

#include "db/connection.h"

namespace zaprosy::konstanta {

QString znachenie(const QString &opisanie)
{
    return QStringLiteral("SELECT znachenie FROM konstanti WHERE opisanie LIKE ") + sql::quoteLike(opisanie);
}

QString kvorum()
{
    return znachenie(QStringLiteral("Кворум"));
}

QString izbrano()
{
    return znachenie(QStringLiteral("Избрано"));
}

QString ustanovlenoZakonom()
{
    return znachenie(QStringLiteral("Установлено законом"));
}

QString osvobozhdennyeMesta()
{
    return znachenie(QStringLiteral("Освобожденные места"));
}

}  // namespace zaprosy::konstanta
