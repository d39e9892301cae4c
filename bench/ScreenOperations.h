#pragma once

#include "Bench.h"

namespace Bench {

// Operations that go through the screens' own handlers. They need a QApplication; the screens reach the
// bench's data module through the global DM, as they reach the program's.
QVector<Operation> screenOperations();

// The ledger screen opened from the main screen, the customer found in its picker and double-clicked; inside
// runs while the ledger screen is open.
void withLedgerScreen(TDM& dm, int customer, const std::function<void()>& inside);

// The customer the picker returned taken by the ledger screen, every row of its grid read, and its total.
// Answers "rows=N values=N sum=X".
QString ledgerThroughScreens();

} // namespace Bench
