#include "backup/BackupJobs.h"

#include "data/Schema.h"
#include "data/Tills.h"
#include "data/uDM.h"
#include "platform/core/Connection.h"
#include "platform/core/DatabaseLocation.h"
#include "platform/core/OperatingSystem.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
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

// A server's service manager, as the connection's own user: the server decides what that user may do.
FirebirdServices serverServices(const Connection& connection, const FirebirdServices::LineHandler& onLine) {
    FirebirdServices s(connection.userName(), connection.password(),
                       DatabaseLocation(connection.databasePath()).serviceManager());
    s.setLineHandler(onLine);
    return s;
}

void tell(const FirebirdServices::LineHandler& onLine, const QString& line) {
    if (onLine)
        onLine(line);
}

std::filesystem::path fsPath(const QString& path) {
    return std::filesystem::path(path.toStdU16String());
}

QString systemMessage(const std::error_code& error) {
    return QString::fromLocal8Bit(error.message().c_str());
}

// Replaces to if it exists, in one step.
void renameOver(const QString& from, const QString& to) {
    std::error_code error;
    std::filesystem::rename(fsPath(from), fsPath(to), error);
    if (error)
        throw BrolaviError(
            QStringLiteral("Não foi possível renomear %1 para %2\n%3")
                .arg(QDir::toNativeSeparators(from), QDir::toNativeSeparators(to), systemMessage(error)));
}

QString messageOf(const std::exception_ptr& error) {
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
[[noreturn]] void reopenAndRethrow(Connection& connection, const std::exception_ptr& error) {
    try {
        connection.open();
    } catch (...) {
        throw BrolaviError(messageOf(error) + u'\n' + messageOf(std::current_exception()));
    }
    std::rethrow_exception(error);
}

// The file a backup is written into. Its job holds a lock on it while it runs, so that a job backing up
// into the same folder, from this process or another, tells it from the leftover of an interrupted one (on
// Windows the engine's open handle keeps it from being removed instead). Made for its owner alone, since it
// becomes the backup, which holds the books and the users.
class PartialBackup {
public:
    explicit PartialBackup(const QString& directory) {
        static const QString letters = QStringLiteral("abcdefghijklmnopqrstuvwxyz0123456789");
        for (int attempt = 0;; ++attempt) {
            QString tag;
            for (int i = 0; i < 6; ++i)
                tag += letters[QRandomGenerator::global()->bounded(int(letters.size()))];
            m_file.setFileName(directory + FileName + u'.' + tag + PartialBackupSuffix);
            if (m_file.open(QIODevice::WriteOnly | QIODevice::NewOnly,
                            QFileDevice::ReadOwner | QFileDevice::WriteOwner))
                break;
            // Only a name already taken is worth another try.
            if (!m_file.exists() || attempt == 10)
                throw BrolaviError(
                    QStringLiteral("Não foi possível criar o arquivo %1\n%2")
                        .arg(QDir::toNativeSeparators(m_file.fileName()), m_file.errorString()));
        }
        // Other jobs see it is this one's, and leave it alone.
        OperatingSystem::markInUse(m_file);
    }
    // Gone already once the backup has taken its place.
    ~PartialBackup() {
        m_file.close();
        QFile::remove(m_file.fileName());
    }
    PartialBackup(const PartialBackup&) = delete;
    PartialBackup& operator=(const PartialBackup&) = delete;

    QString path() const { return m_file.fileName(); }

    // Whether the job that made path still runs.
    static bool held(const QString& path) { return OperatingSystem::isInUseElsewhere(path); }

private:
    QFile m_file;
};

// Partial backups in the folder that no running job holds: what killed or crashed jobs left. They are never
// the only copy of anything, the database they were made from being elsewhere.
void removeInterruptedBackups(const QString& directory) {
    const QDir dir(directory);
    const QStringList names =
        dir.entryList({FileName + QStringLiteral(".*") + PartialBackupSuffix}, QDir::Files | QDir::Hidden);
    for (const QString& name : names) {
        const QString path = dir.filePath(name);
        if (!PartialBackup::held(path))
            QFile::remove(path);
    }
}

// What an interrupted restore left beside the database. Only while the database is at its path and open on
// the connection: then no job elsewhere works beside it (the engine lets one process have the file), and the
// leftover cannot be the only copy of the database.
void removeInterruptedRestore(Connection& connection) {
    const QString database = connection.databasePath();
    if (connection.isOpen() && QFileInfo::exists(database))
        QFile::remove(database + RestoringSuffix);
}

// The restored file opens and holds the program's tables: a backup of any other database would replace the
// shop's with one the screens cannot use.
void checkIsTheProgramsDatabase(const QString& path, const QString& user = TDM::UserName,
                                const QString& password = TDM::Password) {
    Connection restored;
    restored.setDatabasePath(path);
    restored.setUserName(user);
    restored.setPassword(password);
    restored.open();
    const QStringList missing = Schema::missingTables(restored);
    restored.close();
    if (!missing.isEmpty())
        throw ForeignBackup(
            QStringLiteral("O backup não é de um banco de dados do Brolavi: faltam as tabelas "
                           "%1. O banco de dados atual foi mantido.")
                .arg(missing.join(QStringLiteral(", "))));
}

// Gives the database a second name, in place of the one an earlier restore kept: a hard link where the file
// system has them (the same file, nothing copied), a copy where not.
void keepUnderSecondName(const QString& database, const QString& kept) {
    std::error_code error;
    std::filesystem::remove(fsPath(kept), error);
    if (!error) {
        std::filesystem::create_hard_link(fsPath(database), fsPath(kept), error);
        if (error) {
            error.clear();
            std::filesystem::copy_file(fsPath(database), fsPath(kept), error);
        }
    }
    if (error) {
        QFile::remove(kept);
        throw BrolaviError(QStringLiteral("Não foi possível guardar o banco de dados atual em %1\n%2")
                               .arg(QDir::toNativeSeparators(kept), systemMessage(error)));
    }
}

// The backup streamed from the server into the directory, through a side file as a backup made here.
void backupFromServer(Connection& connection, const QString& directory,
                      const FirebirdServices::LineHandler& onLine) {
    removeInterruptedBackups(directory);
    const PartialBackup partial(directory);
    {
        QFile out(partial.path());
        if (!out.open(QIODevice::WriteOnly))
            throw BrolaviError(QStringLiteral("Não foi possível gravar o arquivo %1\n%2")
                                   .arg(QDir::toNativeSeparators(partial.path()), out.errorString()));
        serverServices(connection, onLine)
            .backupTo(DatabaseLocation(connection.databasePath()).pathOnServer(), out);
        out.close();
        if (out.error() != QFileDevice::NoError)
            throw BrolaviError(QStringLiteral("Não foi possível gravar o arquivo %1\n%2")
                                   .arg(QDir::toNativeSeparators(partial.path()), out.errorString()));
    }
    renameOver(partial.path(), directory + FileName);
}

// The server's restore replaces the database in place: no file on its disk can be renamed from here, and a
// till still attached would go on writing into the replaced file while the others use the new one. So only
// with no other till attached; a backup of the database as it was is made first, on the server beside it,
// and restored over whatever a failed restore left.
void restoreOnServer(Connection& connection, const QString& backupFile,
                     const FirebirdServices::LineHandler& onLine) {
    if (const int others = Tills::othersAttached(connection); others > 0)
        throw OtherTillsAttached(
            others == 1
                ? QStringLiteral("A RESTAURAÇÃO NÃO FOI FEITA: HÁ OUTRO COMPUTADOR CONECTADO AO BANCO "
                                 "DE DADOS. FECHE O BROLAVI NELE E TENTE DE NOVO.")
                : QStringLiteral("A RESTAURAÇÃO NÃO FOI FEITA: HÁ %1 OUTROS COMPUTADORES CONECTADOS AO "
                                 "BANCO DE DADOS. FECHE O BROLAVI NELES E TENTE DE NOVO.")
                      .arg(others));
    QFile source(backupFile);
    if (!source.open(QIODevice::ReadOnly))
        throw BrolaviError(QStringLiteral("Não foi possível ler o arquivo %1\n%2")
                               .arg(QDir::toNativeSeparators(backupFile), source.errorString()));
    const QString database = DatabaseLocation(connection.databasePath()).pathOnServer();
    const QString undo = Tills::fileOnServer(connection) + KeptBackupSuffix;
    const FirebirdServices services = serverServices(connection, onLine);
    tell(onLine, QStringLiteral("Guardando o banco de dados atual no servidor, em %1").arg(undo));
    services.backup(database, undo);

    connection.close();
    try {
        tell(onLine, QStringLiteral("Restaurando %1").arg(QDir::toNativeSeparators(backupFile)));
        services.restoreReplacing(source, database);
        checkIsTheProgramsDatabase(connection.databasePath(), connection.userName(), connection.password());
    } catch (...) {
        const std::exception_ptr error = std::current_exception();
        try {
            tell(onLine, QStringLiteral("Voltando ao banco de dados anterior"));
            services.restoreReplacing(undo, database);
        } catch (...) {
            throw BrolaviError(
                messageOf(error) + u'\n' + messageOf(std::current_exception()) +
                QStringLiteral("\nO banco de dados anterior está no servidor, em %1").arg(undo));
        }
        reopenAndRethrow(connection, error);
    }
    connection.open();
}

bool onServer(const Connection& connection) {
    return DatabaseLocation(connection.databasePath()).isServer();
}

} // namespace

bool running() {
    return g_running;
}

void backup(Connection& connection, const QString& directory, const FirebirdServices::LineHandler& onLine) {
    RunningJob job;
    if (onServer(connection)) {
        backupFromServer(connection, directory, onLine);
        return;
    }
    removeInterruptedRestore(connection);
    removeInterruptedBackups(directory);
    const PartialBackup partial(directory);
    services(onLine).backup(connection.databasePath(), partial.path());
    // Set once the engine has written it, whichever way it opened the file: nobody who may not read the
    // database reads its backup.
    if (const std::optional<QString> failure =
            OperatingSystem::restrictAccessLike(connection.databasePath(), partial.path()))
        throw BrolaviError(QStringLiteral("Não foi possível proteger o arquivo %1\n%2")
                               .arg(QDir::toNativeSeparators(partial.path()), *failure));
    renameOver(partial.path(), directory + FileName);
}

void restore(Connection& connection, const QString& backupFile, const FirebirdServices::LineHandler& onLine) {
    RunningJob job;
    if (onServer(connection)) {
        restoreOnServer(connection, backupFile, onLine);
        return;
    }
    removeInterruptedRestore(connection);
    const QString database = connection.databasePath();
    const QString restored = database + RestoringSuffix;
    const QString kept = database + KeptSuffix;

    // The engine creates the new file itself, and removes it when the restore fails.
    services(onLine).restore(backupFile, restored);
    try {
        checkIsTheProgramsDatabase(restored);
    } catch (...) {
        QFile::remove(restored);
        throw;
    }

    // The database is never missing from its path: it gets its second name first, and the restored file
    // then takes the path over in one step.
    connection.close();
    try {
        keepUnderSecondName(database, kept);
        try {
            renameOver(restored, database);
        } catch (...) {
            QFile::remove(kept);
            throw;
        }
    } catch (...) {
        QFile::remove(restored);
        reopenAndRethrow(connection, std::current_exception());
    }
    try {
        connection.open();
    } catch (...) {
        const std::exception_ptr error = std::current_exception();
        try {
            renameOver(kept, database);
        } catch (...) {
            throw BrolaviError(
                messageOf(error) + u'\n' + messageOf(std::current_exception()) +
                QStringLiteral("\nO banco de dados anterior está em %1").arg(QDir::toNativeSeparators(kept)));
        }
        reopenAndRethrow(connection, error);
    }
}

} // namespace BackupJobs
