#pragma once

#include "Bench.h"

class QDialog;
class DBGrid;
class DBText;

namespace Bench {

// The screens the operations use, made once over the bench's data module, with the scripted seams in place.
void screens(TDM& dm);
// What runs inside the next showing of a screen, which then closes as its "X" would.
void onNextShow(QDialog* form, std::function<void()> script);
// The first rows of a grid (all of them when there are fewer) read as the screen paints them, counting the
// non-empty values of the rows behind them, and the total: "rows=N values=N sum=X".
QString readGrid(DBGrid* grid, DBText* total, int rows = -1);
// The same answer from plain SQL: the rows fetched and the sum as the database gave it.
QString answer(int rows, int values, const QString& total);

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
