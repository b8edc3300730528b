#pragma once

// The quorum verdict: the stored "Кворум" constant against the number present.

#include <QString>

namespace kvorum {

inline QString Est() { return QStringLiteral("Кворум есть"); }
inline QString Net() { return QStringLiteral("Кворума нет"); }

// "SELECT znachenie FROM konstanti WHERE opisanie LIKE 'Кворум'"
QString zaprosKvoruma();

// "Кворум есть" when `prisutstvuet` reaches the constant, "Кворума нет" when it does not;
// empty when the constant is not a whole number (then it is only shown as stored).
QString verdikt(const QString &kvorum, int prisutstvuet);

}  // namespace kvorum
