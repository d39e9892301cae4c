#pragma once

#include <QString>
#include <functional>

// Backup and restore through the engine's service manager. The engine is embedded, so the service runs in
// this process, on the calling thread, and works on the files directly. Progress comes as the engine's own
// verbose lines, each handed to the line handler as soon as it arrives.
class FirebirdServices {
public:
    using LineHandler = std::function<void(const QString& line)>;

    // The line a restore reports once it has read the whole backup (a few lines before its end).
    static inline const QString RestoreFinishedLine =
        QStringLiteral("gbak:finishing, closing, and going home");
    // How the last line of a backup begins, once the whole file is written ("... 12800 bytes written").
    static inline const QString BackupFinishedLine =
        QStringLiteral("gbak:closing file, committing, and finishing.");

    FirebirdServices(const QString& user, const QString& password);

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

    // One reply of the service to a request for its next output line, as the engine wrote it into a buffer of
    // size bytes: a line, the end of the output, or not ready yet. Throws DatabaseError for a reply it does
    // not know or one that claims more than the buffer holds.
    struct Reply {
        enum class Kind { Line, End, NotReady } kind = Kind::End;
        QString line;
    };
    static Reply parseReply(const char* buffer, int size);

private:
    // Starts the action and reads its output to the end, each line to watch and then to the line handler;
    // the engine's error, reported once the output has been read, is thrown.
    void run(const QByteArray& action, const LineHandler& watch) const;

    QString m_user;
    QString m_password;
    LineHandler m_onLine;
};
