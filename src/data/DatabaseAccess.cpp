#include "data/DatabaseAccess.h"

#include "data/Schema.h"
#include "data/uDM.h"

#include <QFile>
#include <QSettings>

namespace {

const QString NameKey = QStringLiteral("BancoDeDados/Nome");
const QString UserKey = QStringLiteral("BancoDeDados/Usuario");
const QString PasswordKey = QStringLiteral("BancoDeDados/Senha");

QString settingsPath() {
    const QSettings s(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Brolavi"),
                      QStringLiteral("Brolavi"));
    return s.fileName();
}

} // namespace

DatabaseAccess DatabaseAccess::ofFile(const QString& path) {
    return {path, TDM::UserName, TDM::Password};
}

QString DatabaseAccess::settingsFile() {
    return settingsPath();
}

DatabaseAccess DatabaseAccess::chosen(const QString& commandLineName) {
    const QString path = settingsPath();
    if (QFile::exists(path))
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    const QSettings s(path, QSettings::IniFormat);
    DatabaseAccess access = ofFile(Schema::defaultDatabasePath());
    if (!commandLineName.isEmpty())
        access.name = commandLineName;
    else if (const QString name = s.value(NameKey).toString().trimmed(); !name.isEmpty())
        access.name = name;
    const QString envUser = qEnvironmentVariable("ISC_USER");
    const QString envPassword = qEnvironmentVariable("ISC_PASSWORD");
    if (s.contains(UserKey)) {
        access.user = s.value(UserKey).toString();
        access.password = s.value(PasswordKey).toString();
    } else if (!envUser.isEmpty()) {
        access.user = envUser;
        access.password = envPassword;
    }
    return access;
}
