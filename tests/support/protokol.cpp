#include "support/protokol.h"

#include "db/connection.h"
#include "db/dataset.h"
#include "protocol/text/protocol_text.h"

QString protokolTekst(DbConnection &db, int meeting)
{
    DataSet v(&db);
    v.setSql(protocol::otchet1Sql());
    v.setParam(QStringLiteral("a"), meeting);
    DataSet m(&db);
    m.setSql(protocol::otchet2Sql());
    m.setParam(QStringLiteral("a"), meeting);
    if (!v.open() || !m.open())
        return QStringLiteral("<failed: %1>").arg(db.firstErrorText());
    const auto votes = protocol::votesFrom(v.resultSet());
    const auto row = protocol::meetingFrom(m.resultSet());
    return protocol::plainText(protocol::buildElectronic(row, votes, {})) + QLatin1Char('\n')
           + protocol::plainText(protocol::buildEdited(row, votes, {}));
}
