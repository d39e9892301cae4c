#include "BackupJobs.h"

#include "Connection.h"
#include "Errors.h"
#include "uDM.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <filesystem>
#include <system_error>

namespace BackupJobs {

namespace {

bool g_running = false;

class RunningJob {
public:
    RunningJob() {
        if (g_running)
            throw BrolaviError(QStringLiteral("Já existe um backup ou uma restauração em andamento"));
        g_running = true;
    }
    ~RunningJob() { g_running = false; }
    RunningJob(const RunningJob&) = delete;
    RunningJob& operator=(const RunningJob&) = delete;
};

FirebirdServices services(const FirebirdServices::LineHandler& onLine) {
    FirebirdServices s(TDM::UserName, TDM::Password);
    s.setLineHandler(onLine);
    return s;
}

// A file name in the folder of pattern that nothing else uses; the file is created empty to hold the name.
QString reserveName(const QString& pattern) {
    QTemporaryFile file(pattern);
    file.setAutoRemove(false);
    if (!file.open())
        throw BrolaviError(
            QStringLiteral("Não foi possível criar um arquivo em %1\n%2")
                .arg(QDir::toNativeSeparators(QFileInfo(pattern).absolutePath()), file.errorString()));
    return file.fileName();
}

std::filesystem::path fsPath(const QString& path) {
    return std::filesystem::path(path.toStdU16String());
}

// Replaces to if it exists, in one step.
void renameOver(const QString& from, const QString& to) {
    std::error_code error;
    std::filesystem::rename(fsPath(from), fsPath(to), error);
    if (error)
        throw BrolaviError(QStringLiteral("Não foi possível renomear %1 para %2\n%3")
                               .arg(QDir::toNativeSeparators(from), QDir::toNativeSeparators(to),
                                    QString::fromLocal8Bit(error.message().c_str())));
}

QString messageOf(std::exception_ptr error) {
    try {
        std::rethrow_exception(error);
    } catch (const BrolaviError& e) {
        return e.message();
    } catch (const std::exception& e) {
        return QString::fromLocal8Bit(e.what());
    } catch (...) {
        return QStringLiteral("Erro inesperado");
    }
}

// After a failed restore the program goes on with the database as it was, so the connection must come back
// even then; if it cannot, the error says so beside the restore's own.
[[noreturn]] void reopenAndRethrow(Connection& connection, std::exception_ptr error) {
    try {
        connection.open();
    } catch (...) {
        throw BrolaviError(messageOf(error) + u'\n' + messageOf(std::current_exception()));
    }
    std::rethrow_exception(error);
}

} // namespace

bool running() {
    return g_running;
}

void backup(Connection& connection, const QString& directory, const FirebirdServices::LineHandler& onLine) {
    RunningJob job;
    const QString target = directory + FileName;
    const QString partial = reserveName(target + QStringLiteral(".XXXXXX.tmp"));
    try {
        services(onLine).backup(connection.databasePath(), partial);
        renameOver(partial, target);
    } catch (...) {
        QFile::remove(partial);
        throw;
    }
}

void restore(Connection& connection, const QString& backupFile, const FirebirdServices::LineHandler& onLine) {
    RunningJob job;
    const QString database = connection.databasePath();
    const FirebirdServices service = services(onLine);

    // The engine creates the new file itself and refuses one that exists: the name is only held.
    const QString restored = reserveName(database + QStringLiteral(".XXXXXX.restore"));
    QFile::remove(restored);
    service.restore(backupFile, restored);
    QString previous;
    try {
        service.checkOpens(restored);
        previous = reserveName(database + QStringLiteral(".XXXXXX.old"));
    } catch (...) {
        QFile::remove(restored);
        throw;
    }

    connection.close();
    try {
        renameOver(database, previous);
    } catch (...) {
        QFile::remove(restored);
        QFile::remove(previous);
        reopenAndRethrow(connection, std::current_exception());
    }
    try {
        renameOver(restored, database);
        connection.open();
    } catch (...) {
        const std::exception_ptr error = std::current_exception();
        connection.close();
        try {
            if (QFileInfo::exists(database))
                renameOver(database, restored);
            renameOver(previous, database);
        } catch (...) {
            // The old file is still there under its other name: say where, since nothing else will.
            throw BrolaviError(messageOf(error) + u'\n' + messageOf(std::current_exception()) +
                               QStringLiteral("\nO banco de dados anterior está em %1")
                                   .arg(QDir::toNativeSeparators(previous)));
        }
        QFile::remove(restored);
        reopenAndRethrow(connection, error);
    }
    if (!QFile::remove(previous) && onLine)
        onLine(QStringLiteral("Não foi possível apagar o banco de dados anterior, em %1")
                   .arg(QDir::toNativeSeparators(previous)));
}

} // namespace BackupJobs
