#include "TestDatabase.h"

#include "TestCharacterSet.h"
#include "data/Schema.h"
#include "data/uDM.h"
#include "platform/core/Connection.h"
#include "platform/core/FirebirdDatabase.h"
#include "platform/core/TableDataset.h"

#include <QFile>
#include <QHash>
#include <stdexcept>

namespace {

QString templatePath(const QString& characterSet) {
    static QTemporaryDir dir;
    static QHash<QString, QString> made;
    auto it = made.find(characterSet);
    if (it == made.end()) {
        const QString p = dir.filePath(QStringLiteral("template-%1.fdb").arg(characterSet));
        Schema::createDatabase(p, characterSet);
        it = made.insert(characterSet, p);
    }
    return *it;
}

} // namespace

TestDatabase::TestDatabase(const QString& characterSet) {
    const QString charset = characterSet.isEmpty() ? testCharacterSet() : characterSet;
    m_path = m_dir.filePath(QStringLiteral("DBBROLAVI.FDB"));
    if (!QFile::copy(templatePath(charset), m_path))
        throw std::runtime_error("cannot copy the template database");
}

std::unique_ptr<Connection> connectTo(const QString& path) {
    return connectTo(DatabaseAccess::ofFile(path));
}

std::unique_ptr<Connection> connectTo(const DatabaseAccess& access) {
    auto c = std::make_unique<Connection>();
    c->setDatabasePath(access.name);
    c->setUserName(access.user);
    c->setPassword(access.password);
    c->open();
    return c;
}

void createOtherDatabase(const QString& path, const QStringList& statements) {
    FirebirdDatabase::create(path, TDM::UserName, TDM::Password);
    const std::unique_ptr<Connection> c = connectTo(path);
    for (const QString& statement : statements)
        c->execute(statement);
    c->close();
}

AnotherTill::AnotherTill(const QString& path)
    : m_connection(connectTo(path)) {}

AnotherTill::~AnotherTill() {
    QObject::disconnect(m_hook);
}

void AnotherTill::takeCodesBefore(TableDataset& table, int times, const QString& insert) {
    QObject::disconnect(m_hook);
    m_left = times;
    m_hook = QObject::connect(&table, &TableDataset::aboutToPost, [this, &table, insert] {
        if (m_left == 0 || table.state() != TableDataset::State::Insert)
            return;
        --m_left;
        const int code = table.value(QStringLiteral("CODIGO")).toInt();
        m_connection->execute(insert, {code});
        m_taken << code;
    });
}
