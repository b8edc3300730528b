#pragma once

// A fresh embedded hall database for the T-SQL layer's tests: the real creation script,
// opened through the connection class as the operator.
#include "db/connection.h"
#include "db/schema.h"

#include <QString>

namespace tsqltest {

inline bool createHallDatabase(const QString &path, QString *error)
{
    return schema::createEmbedded(path, error, true);
}

inline bool openHall(DbConnection &db, const QString &path)
{
    return db.open({QStringLiteral("embedded"), path, QStringLiteral("admin1"), QStringLiteral("admin1")});
}

}  // namespace tsqltest
