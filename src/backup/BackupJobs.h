#pragma once

#include "FirebirdServices.h"

#include <QString>

class Connection;

// The backup and the restore of the program's database, as the backup screen and the hourly backup run them.
// Both run on the user-interface thread and the screens let window events through after each progress line,
// so a job could start from inside another: while one runs, the next is refused.
namespace BackupJobs {

inline const QString FileName = QStringLiteral("DBBROLAVI.bck");

bool running();

// Backs the connection's database up into directory (with its trailing separator) + FileName. The backup
// goes to a temporary file beside it first, which replaces FileName only once complete: a backup that fails
// leaves the previous one as it was. Throws BrolaviError.
void backup(Connection& connection, const QString& directory, const FirebirdServices::LineHandler& onLine);

// Replaces the connection's database by the one in backupFile. The backup is restored into a new file beside
// the database while the connection stays open; only once that file is complete and opens is the
// connection closed (with every dataset and query on it) and the file swapped in, the old one kept until the
// swap has succeeded. Whatever happens, the connection is open again afterwards; after a failure on the
// database as it was. Throws BrolaviError.
void restore(Connection& connection, const QString& backupFile, const FirebirdServices::LineHandler& onLine);

} // namespace BackupJobs
