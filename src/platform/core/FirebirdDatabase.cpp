#include "platform/core/FirebirdDatabase.h"

#include "platform/core/Errors.h"

#include <QStringList>
#include <ibase.h>

namespace {

QString statusText(const ISC_STATUS* status) {
    QStringList lines;
    char buffer[1024];
    const ISC_STATUS* p = status;
    while (fb_interpret(buffer, sizeof buffer, &p) > 0)
        lines << QString::fromLocal8Bit(buffer);
    return lines.join(u'\n');
}

} // namespace

namespace FirebirdDatabase {

QString quotedLiteral(const QString& text) {
    QString out = text;
    out.replace(u'\'', QStringLiteral("''"));
    return u'\'' + out + u'\'';
}

void create(const QString& path, const QString& user, const QString& password, int pageSize) {
    const QByteArray sql = QStringLiteral("CREATE DATABASE %1 USER %2 PASSWORD %3 PAGE_SIZE %4 "
                                          "DEFAULT CHARACTER SET UTF8")
                               .arg(quotedLiteral(path), quotedLiteral(user), quotedLiteral(password))
                               .arg(pageSize)
                               .toUtf8();
    ISC_STATUS_ARRAY status{};
    isc_db_handle db = 0;
    isc_tr_handle tr = 0;
    if (isc_dsql_execute_immediate(status, &db, &tr, 0, sql.constData(), SQL_DIALECT_V6, nullptr)) {
        throw DatabaseError(statusText(status));
    }
    if (isc_detach_database(status, &db))
        throw DatabaseError(statusText(status));
}

} // namespace FirebirdDatabase
