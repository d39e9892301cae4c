#pragma once

#include <QString>
#include <QStringList>

class Connection;
class TDM;

// The shop's writes, each run on its own in a process that may be killed at any moment, and what a database
// holds before and after them.
namespace CrashPaths {

QStringList names();

// What a path changes: the books in the database, the backup file beside it, or the whole database from a
// backup file.
enum class Target { Books, BackupFile, Database };
Target target(const QString& name);
// Where the backup path writes (a folder beside the database) and where the restore path reads.
QString backupFile(const QString& database);
QString restoreSource(const QString& database);
// The rows every path starts from: customers, open and paid credit entries, cash items, purchase lines.
void seed(TDM& dm);
// Puts the datasets where the screen that runs the path puts them (untimed).
void prepare(TDM& dm, const QString& name);
// The write itself, to its end.
void run(TDM& dm, const QString& name);
// Creates the users table as the login does, with its master user.
void createUsers(Connection& connection);
// Every row of every table in a fixed order, as text: two databases hold the same books when these are equal.
QString dump(Connection& connection);

} // namespace CrashPaths
