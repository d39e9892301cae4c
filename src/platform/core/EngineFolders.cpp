#include "platform/core/EngineFolders.h"

#include "platform/core/Errors.h"

#include <QDir>
#include <QFile>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace EngineFolders {

namespace {

#ifdef Q_OS_UNIX
QString systemText() {
    return QString::fromLocal8Bit(std::strerror(errno));
}

// The folder sits in a temporary folder everyone can write: someone else may have made it first, or put a
// link there. Only a real folder of this user's, closed to everybody else, will do.
void makePrivateFolder(const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    if (::mkdir(name.constData(), 0700) != 0 && errno != EEXIST)
        throw BrolaviError(QStringLiteral("Não foi possível criar a pasta %1: %2").arg(path, systemText()));
    struct stat st {};
    if (::lstat(name.constData(), &st) != 0)
        throw BrolaviError(QStringLiteral("Não foi possível ler a pasta %1: %2").arg(path, systemText()));
    if (!S_ISDIR(st.st_mode) || st.st_uid != ::geteuid())
        throw BrolaviError(
            QStringLiteral("A pasta %1 não é deste usuário: apague-a ou defina FIREBIRD_LOCK e "
                           "FIREBIRD_TMP com uma pasta deste usuário.")
                .arg(path));
    if ((st.st_mode & 07777) != 0700 && ::chmod(name.constData(), 0700) != 0)
        throw BrolaviError(
            QStringLiteral("Não foi possível proteger a pasta %1: %2").arg(path, systemText()));
}
#endif

} // namespace

QString userFolder() {
#ifdef Q_OS_UNIX
    return QDir::tempPath() + QStringLiteral("/firebird-%1").arg(::geteuid());
#else
    return QDir::tempPath() + QStringLiteral("/firebird");
#endif
}

void prepare() {
#ifdef Q_OS_UNIX
    const bool lockSet = !qEnvironmentVariableIsEmpty("FIREBIRD_LOCK");
    const bool tmpSet = !qEnvironmentVariableIsEmpty("FIREBIRD_TMP");
    if (lockSet && tmpSet)
        return;
    const QString folder = userFolder();
    makePrivateFolder(folder);
    const QByteArray value = QFile::encodeName(folder);
    if (!lockSet)
        qputenv("FIREBIRD_LOCK", value);
    if (!tmpSet)
        qputenv("FIREBIRD_TMP", value);
#endif
}

} // namespace EngineFolders
