#include "platform/core/FirebirdDatabase.h"

#include "platform/core/Errors.h"
#include "platform/core/FirebirdStatus.h"

#include <QRegularExpression>
#include <ibase.h>

namespace FirebirdDatabase {

QString quotedLiteral(const QString& text) {
    QString out = text;
    out.replace(u'\'', QStringLiteral("''"));
    return u'\'' + out + u'\'';
}

void create(const QString& path, const QString& user, const QString& password, int pageSize,
            const QString& characterSet) {
    static const QRegularExpression name(QStringLiteral("^[A-Z0-9_]+$"));
    if (!name.match(characterSet).hasMatch())
        throw DatabaseError(QStringLiteral("Conjunto de caracteres inválido: %1").arg(characterSet));
    const QByteArray sql = QStringLiteral("CREATE DATABASE %1 USER %2 PASSWORD %3 PAGE_SIZE %4 "
                                          "DEFAULT CHARACTER SET %5")
                               .arg(quotedLiteral(path), quotedLiteral(user), quotedLiteral(password))
                               .arg(pageSize)
                               .arg(characterSet)
                               .toUtf8();
    ISC_STATUS_ARRAY status{};
    isc_db_handle db = 0;
    isc_tr_handle tr = 0;
    if (isc_dsql_execute_immediate(status, &db, &tr, 0, sql.constData(), SQL_DIALECT_V6, nullptr)) {
        throw Firebird::error(status);
    }
    if (isc_detach_database(status, &db))
        throw Firebird::error(status);
}

} // namespace FirebirdDatabase
