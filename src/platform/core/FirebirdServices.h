#pragma once

#include <QString>
#include <functional>
#include <optional>

class QIODevice;

// Backup and restore through the engine's service manager: the in-process one ("service_mgr"), which runs
// the service on the calling thread and works on this machine's files, or a server's ("host:service_mgr"),
// which works on the server's files and can stream a backup to and from this machine. Progress comes as the
// engine's own verbose lines, each handed to the line handler as soon as it arrives.
class FirebirdServices {
public:
    using LineHandler = std::function<void(const QString& line)>;

    // The line a restore reports once it has read the whole backup (a few lines before its end).
    static inline const QString RestoreFinishedLine =
        QStringLiteral("gbak:finishing, closing, and going home");
    // How the last line of a backup begins, once the whole file is written ("... 12800 bytes written").
    static inline const QString BackupFinishedLine =
        QStringLiteral("gbak:closing file, committing, and finishing.");

    FirebirdServices(const QString& user, const QString& password,
                     QString serviceManager = QStringLiteral("service_mgr"));

    void setLineHandler(LineHandler handler) { m_onLine = std::move(handler); }

    // Writes a backup of the database into backupFile, overwriting it. The database may be in use. A backup
    // that never reports BackupFinishedLine has failed, whatever the engine's status says.
    // Throws DatabaseError with the engine's text.
    void backup(const QString& database, const QString& backupFile) const;

    // Builds a new database file from a backup. The target must not exist: a restore never replaces a file,
    // since a failed replace leaves no database at all. A restore that never reports RestoreFinishedLine
    // (a truncated backup) has failed; after any failure the target is removed.
    // Throws DatabaseError with the engine's text.
    void restore(const QString& backupFile, const QString& database) const;

    // A server's database streamed into out as the server writes its backup. The engine refuses progress
    // lines for such a backup (they would share the stream), so it is whole only when the stream has reached
    // its end with no error from the service. The line handler hears how much has arrived now and then.
    // Throws DatabaseError (also when out takes less than it is given).
    void backupTo(const QString& database, QIODevice& out) const;

    // Replaces a server's database by a restore of the backup read from in (sent as the service asks for
    // it), or of backupFile on the server's disk. Never reported whole without RestoreFinishedLine. A replace
    // that fails may leave the database gone or partial: the caller keeps a backup to restore it from.
    // Throws DatabaseError.
    void restoreReplacing(QIODevice& in, const QString& database) const;
    void restoreReplacing(const QString& backupFile, const QString& database) const;

    // One reply of the service to a request for its next output line, as the engine wrote it into a buffer of
    // size bytes: a line, the end of the output, or not ready yet. Throws DatabaseError for a reply it does
    // not know or one that claims more than the buffer holds.
    struct Reply {
        enum class Kind { Line, End, NotReady } kind = Kind::End;
        QString line;
    };
    static Reply parseReply(const char* buffer, int size);

    // One reply of the service to a request for the bytes it wants on its standard input and its next output
    // line: how many bytes it wants (0: none), the line if one came, and whether its output has ended.
    struct InputReply {
        quint32 wanted = 0;
        std::optional<QString> line;
        bool ended = false;
    };
    static InputReply parseInputReply(const char* buffer, int size);

private:
    // Restores backupFile (a file the service manager reads) into database, creating or replacing it
    // (option).
    void restoreFromFile(const QString& backupFile, const QString& database, int option) const;
    // Starts the action and reads its output to the end, each line to watch and then to the line handler;
    // the engine's error, reported once the output has been read, is thrown.
    void run(const QByteArray& action, const LineHandler& watch) const;

    QString m_user;
    QString m_password;
    QString m_serviceManager;
    LineHandler m_onLine;
};
