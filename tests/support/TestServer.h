#pragma once

#include "data/DatabaseAccess.h"

#include <QString>

// The private Firebird server scripts/test starts for the tills' tests (scripts/test-server), named by the
// environment it exports. Without it those tests are skipped.
namespace TestServer {

bool available();
// A name for a fresh database on the server, unique to this process: the server's name for it and the file on
// this machine's disk where the server keeps it (the server runs here).
struct Database {
    DatabaseAccess access;
    QString file;
};
Database name(const QString& stem);
// A fresh shop database on the server, in the run's character set, made through the server as the program's
// tools make it.
Database createShopDatabase(const QString& stem);

} // namespace TestServer
