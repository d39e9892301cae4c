#pragma once

#include <QString>
#include <ibase.h>

namespace Firebird {

// The engine's own text for a failed call, one line per message.
QString statusText(const ISC_STATUS* status);
bool failed(const ISC_STATUS* status);
// Throws DatabaseError with the engine's text when the call failed.
void check(const ISC_STATUS* status);

} // namespace Firebird
