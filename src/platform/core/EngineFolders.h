#pragma once

#include <QString>

// Where the embedded engine keeps its lock files and its temporary (sort) files. Left alone, it uses
// /tmp/firebird for its locks for everyone on the machine, and that folder belongs to whoever ran first:
// after root, nobody else can open any database. Each user gets a folder of their own instead, in a place no
// other user can create it first (a folder made there beforehand by someone else would stop the program).
// Two engines never share a database file whatever their lock folders (the engine locks the file itself), and
// two copies run by the same user share the folder, so the second copy is refused as before.
namespace EngineFolders {

// Points FIREBIRD_LOCK and FIREBIRD_TMP at userFolder(), created private to this user, each unless the
// environment already names a folder. Every main calls it first, before anything loads the engine. Throws
// BrolaviError when the folder exists but cannot be this user's own (another user's, or a link).
void prepare();

// $XDG_RUNTIME_DIR/firebird when that folder is set and this user's alone (mode 0700, as the session makes
// it); otherwise brolavi/firebird in this user's cache folder ($XDG_CACHE_HOME, or ~/.cache).
QString userFolder();

} // namespace EngineFolders
