#include "platform/core/EngineFolders.h"

#include "platform/core/Errors.h"
#include "platform/core/OperatingSystem.h"

#include <QDir>
#include <QFile>

namespace EngineFolders {

namespace {

void makePrivateFolder(const QString& path) {
    const OperatingSystem::FolderResult result = OperatingSystem::makePrivateFolder(path);
    switch (result.problem) {
    case OperatingSystem::FolderProblem::None:
        return;
    case OperatingSystem::FolderProblem::CannotCreate:
        throw BrolaviError(
            QStringLiteral("Não foi possível criar a pasta %1: %2").arg(path, result.systemText));
    case OperatingSystem::FolderProblem::CannotRead:
        throw BrolaviError(
            QStringLiteral("Não foi possível ler a pasta %1: %2").arg(path, result.systemText));
    case OperatingSystem::FolderProblem::NotThisUsers:
        throw BrolaviError(
            QStringLiteral("A pasta %1 não é deste usuário: apague-a ou defina FIREBIRD_LOCK e "
                           "FIREBIRD_TMP com uma pasta deste usuário.")
                .arg(path));
    case OperatingSystem::FolderProblem::CannotProtect:
        throw BrolaviError(
            QStringLiteral("Não foi possível proteger a pasta %1: %2").arg(path, result.systemText));
    }
}

// The runtime folder the session made for this user, when there is one as it should be.
QString runtimeFolder() {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (runtime.isEmpty() || !QDir::isAbsolutePath(runtime) || !OperatingSystem::isPrivateFolder(runtime))
        return {};
    return QDir::cleanPath(runtime);
}

QString cacheFolder() {
    const QString cache = qEnvironmentVariable("XDG_CACHE_HOME");
    return QDir::cleanPath(!cache.isEmpty() && QDir::isAbsolutePath(cache)
                               ? cache
                               : QDir::homePath() + QStringLiteral("/.cache"));
}

} // namespace

QString userFolder() {
    const QString runtime = runtimeFolder();
    return runtime.isEmpty() ? cacheFolder() + QStringLiteral("/brolavi/firebird")
                             : runtime + QStringLiteral("/firebird");
}

// On Windows the engine keeps its locks in a folder of its own that every user may write.
void prepare() {
#ifdef Q_OS_UNIX
    const bool lockSet = !qEnvironmentVariableIsEmpty("FIREBIRD_LOCK");
    const bool tmpSet = !qEnvironmentVariableIsEmpty("FIREBIRD_TMP");
    if (lockSet && tmpSet)
        return;
    const QString folder = userFolder();
    if (runtimeFolder().isEmpty()) {
        // The cache folder is made as any program makes it; the program's own folder in it is private too.
        const QString cache = cacheFolder();
        if (!QDir().mkpath(cache))
            throw BrolaviError(QStringLiteral("Não foi possível criar a pasta %1").arg(cache));
        makePrivateFolder(cache + QStringLiteral("/brolavi"));
    }
    makePrivateFolder(folder);
    const QByteArray value = QFile::encodeName(folder);
    if (!lockSet)
        qputenv("FIREBIRD_LOCK", value);
    if (!tmpSet)
        qputenv("FIREBIRD_TMP", value);
#endif
}

} // namespace EngineFolders
