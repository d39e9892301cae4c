#pragma once

#include <QString>
#include <QStringList>

class Connection;
struct DatabaseAccess;

namespace Schema {

// The statements that lay out an empty database: the tables the program expects (USUARIOS is left to the
// login, which creates it when missing) and the indexes behind the screens' lookups.
QStringList statements();

// The tables a database must hold to be the program's: USUARIOS is left to the login, and an older
// installation may have no PRODUTOS, which no screen needs.
QStringList requiredTables();

// The required tables the database open on connection lacks: none when it is the program's. Reads only.
QStringList missingTables(Connection& connection);

// Creates the database file at path with every table and index. Refuses a path that exists. The program makes
// UTF8 databases; another character set lays out one as an older installation made it.
// Throws DatabaseError.
void createDatabase(const QString& path, const QString& characterSet = QStringLiteral("UTF8"));
// The same for a file or a server's database ("host:path"), made as the given user, who owns it.
void createDatabase(const DatabaseAccess& access, const QString& characterSet = QStringLiteral("UTF8"));

// Where the program keeps its database on this machine.
QString defaultDatabasePath();

} // namespace Schema
