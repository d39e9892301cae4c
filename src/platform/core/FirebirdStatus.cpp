#include "platform/core/FirebirdStatus.h"

#include "platform/core/Errors.h"

#include <QStringList>

namespace Firebird {

QString statusText(const ISC_STATUS* status) {
    QStringList lines;
    char buffer[1024];
    const ISC_STATUS* p = status;
    while (fb_interpret(buffer, sizeof buffer, &p) > 0)
        lines << QString::fromLocal8Bit(buffer);
    return lines.join(u'\n');
}

bool failed(const ISC_STATUS* status) {
    return status[0] == 1 && status[1] != 0;
}

void check(const ISC_STATUS* status) {
    if (failed(status))
        throw DatabaseError(statusText(status));
}

} // namespace Firebird
