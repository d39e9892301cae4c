#pragma once

#include "platform/core/Errors.h"
#include "platform/core/FirebirdServices.h"

#include <QString>

class Connection;

// The backup and the restore of the program's database, as the backup screen and the hourly backup run them.
// Both run on the user-interface thread and the screens let window events through after each progress line,
// so a job could start from inside another: while one runs, the next is refused.
//
// Side files carry the name of the file they stand for, so that a job tells the leftovers of an interrupted
// one from anything else: a backup being written is FileName + ".<random>" + PartialBackupSuffix in the
// backup directory; a restored database not yet swapped in is the database + RestoringSuffix; the database a
// restore replaced is kept as the database + KeptSuffix until the next restore.
//
// A database on a Firebird server is backed up and restored through the server's own service manager, as
// the connection's user: the backup streamed into the directory here, the restore streamed from the file
// here into the database in place, the database it replaced kept as a backup on the server, at the
// server's path of the database + KeptBackupSuffix, until the next restore.
namespace BackupJobs {

inline const QString FileName = QStringLiteral("DBBROLAVI.bck");
inline const QString PartialBackupSuffix = QStringLiteral(".parcial");
inline const QString RestoringSuffix = QStringLiteral(".restaurando");
inline const QString KeptSuffix = QStringLiteral(".anterior");
inline const QString KeptBackupSuffix = QStringLiteral(".anterior.bck");

// A backup that restores, but not into a database of this program.
class ForeignBackup : public BrolaviError {
public:
    using BrolaviError::BrolaviError;
};

// A restore on a server refused while other tills are attached to the database; the message says how many.
class OtherTillsAttached : public BrolaviError {
public:
    using BrolaviError::BrolaviError;
};

bool running();

// Backs the connection's database up into directory (with its trailing separator) + FileName. The backup
// goes to a side file first, which replaces FileName only once the engine has reported it complete: a
// backup that fails leaves the previous one as it was. Partial backups of interrupted jobs in the directory
// are removed first. The backup gets the database file's access, never more (see
// OperatingSystem::restrictAccessLike; from a server, its owner's alone). Throws BrolaviError.
void backup(Connection& connection, const QString& directory, const FirebirdServices::LineHandler& onLine);

// Replaces the connection's database by the one in backupFile. The backup is restored into a side file
// while the connection stays open and must hold the program's tables (ForeignBackup otherwise); only then is
// the connection closed (with every dataset and query on it) and the file renamed over the database in one
// step, the replaced database kept as database + KeptSuffix. Whatever happens, the connection is open again
// afterwards; after a failure on the database as it was. On a server: refused with OtherTillsAttached while
// another attachment is open; the database is replaced by the server's own restore, and after a failure
// restored from the backup made first. Throws BrolaviError.
void restore(Connection& connection, const QString& backupFile, const FirebirdServices::LineHandler& onLine);

} // namespace BackupJobs
