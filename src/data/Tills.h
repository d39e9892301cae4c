#pragma once

#include <QString>

class Connection;

// The tills that share a Firebird server's database, as the server's monitoring tables show them: each till
// is one attachment (MON$ATTACHMENTS), so nothing is stored in the shop's tables and a till that leaves is
// gone from them at once. A user sees only its own user's attachments, and every till logs in as the same
// one. Each call reads the server afresh.
namespace Tills {

// How many attachments besides the connection's own are open on its database (the engine's own aside).
int othersAttached(Connection& connection);

// Whether the connection is the oldest attachment of its user to the database: the one till that runs the
// hourly backup. When it leaves, the next oldest takes over.
bool isOldest(Connection& connection);

// The database's file as the server itself names it (an alias resolved to its path).
QString fileOnServer(Connection& connection);

} // namespace Tills
