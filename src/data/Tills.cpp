#include "data/Tills.h"

#include "platform/core/Connection.h"

namespace Tills {

int othersAttached(Connection& connection) {
    return connection
        .selectValue(QStringLiteral("select count(*) from MON$ATTACHMENTS where MON$SYSTEM_FLAG = 0 and "
                                    "MON$ATTACHMENT_ID <> CURRENT_CONNECTION"))
        .toInt();
}

bool isOldest(Connection& connection) {
    // The database numbers its attachments in the order they come, which orders two made in the same
    // instant too, where their times would not.
    return connection
               .selectValue(QStringLiteral("select count(*) from MON$ATTACHMENTS where MON$SYSTEM_FLAG = 0 "
                                           "and MON$USER = CURRENT_USER and MON$ATTACHMENT_ID < "
                                           "CURRENT_CONNECTION"))
               .toInt() == 0;
}

QString fileOnServer(Connection& connection) {
    return connection.selectValue(QStringLiteral("select MON$DATABASE_NAME from MON$DATABASE")).toString();
}

} // namespace Tills
