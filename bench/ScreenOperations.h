#pragma once

#include "Bench.h"

namespace Bench {

// Operations that go through the screens' own handlers. They need a QApplication; the screens reach the
// bench's data module through the global DM, as they reach the program's.
QVector<Operation> screenOperations();

// The ledger of a customer as the shopkeeper opens it: chosen in the picker with the ledger screen behind,
// every row of its grid read, and its total. Answers "rows=N values=N sum=X".
QString ledgerThroughScreens(TDM& dm, int customer);

} // namespace Bench
