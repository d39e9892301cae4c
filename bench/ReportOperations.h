#pragma once

#include "Bench.h"

namespace Bench {

// The two printed reports through their screens' print handlers, written as PDF: the cash-flow report over
// about 10,000 consultation rows (report_cashflow) and the customer list over every customer
// (report_customers).
QVector<Operation> reportOperations();

} // namespace Bench
