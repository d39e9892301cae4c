#pragma once

#include <QString>
#include <memory>

class BrolaviError;
class TDM;
struct DatabaseAccess;

// Start-up: creates the data module and every screen once, in a fixed order, and releases them at the end.
// Screens made before the data module bind to it once it exists; none touches the database while being made.
class AppBrolavi {
public:
    // Opens the database at path; throws DatabaseError (with the connection's error) when it cannot, and
    // BrolaviError, having written nothing, when the file is not the program's database.
    explicit AppBrolavi(const DatabaseAccess& access);
    explicit AppBrolavi(const QString& databasePath);
    ~AppBrolavi();
    AppBrolavi(const AppBrolavi&) = delete;
    AppBrolavi& operator=(const AppBrolavi&) = delete;

    // The program: shows the splash and runs until the main screen closes, or until SIGTERM, SIGINT or SIGHUP
    // ends it the same way. Returns the exit status (128 + the signal's number after a signal).
    static int run(int argc, char** argv);

    // What the shopkeeper reads when the database at databasePath (a file, or a server's name for it) cannot
    // be opened, decided by the engine's error codes (a path may hold any word).
    static QString openFailureText(const BrolaviError& error, const QString& databasePath);
};
