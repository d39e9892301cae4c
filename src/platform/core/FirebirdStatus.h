#pragma once

#include "platform/core/Errors.h"

#include <QString>
#include <ibase.h>

namespace Firebird {

// The engine's own text for a failed call, one line per message.
QString statusText(const ISC_STATUS* status);
// The codes and the system's error number of a failed call.
EngineStatus engineStatus(const ISC_STATUS* status);
// The failed call as an error carrying both.
DatabaseError error(const ISC_STATUS* status);
bool failed(const ISC_STATUS* status);
// Throws DatabaseError with the engine's text and codes when the call failed.
void check(const ISC_STATUS* status);

// What went wrong, as far as the shopkeeper is concerned, read from the engine's codes only.
enum class Problem {
    Other,
    InUse,           // another process has the database file (the embedded engine lets one have it)
    Damaged,         // not a database file, or one the engine cannot read whole
    DiskFull,        // a write found no space left
    WriteFailed,     // any other failed write to the file
    Transliteration, // a character the database's character set cannot hold
    TooLong,         // a text longer than its column
    OutOfRange,      // a number too large for its column
    Conflict,        // a row another transaction changed or holds
    LockTimeout,     // waited for another transaction until the engine gave up
    DuplicateKey,    // a code stored already (by another till at the same time)
    ConnectionLost,  // the server or the network went away
    LoginRefused,    // a server that does not know the user or the password
};
Problem problemOf(const EngineStatus& status);
// Whether a row was refused because its primary or unique key is stored already, whatever else the engine
// said with it (a wait that timed out on another transaction's row with that key, say).
bool keyTaken(const EngineStatus& status);

// The shopkeeper's words for a problem the screens may meet, or an empty text where the engine's own is all
// there is to say.
QString explanation(Problem problem);

// The text the standard error box shows for an engine error: the shopkeeper's words first, the engine's own
// text below them for whoever supports the shop.
QString shopkeeperText(const DatabaseError& error);

} // namespace Firebird
