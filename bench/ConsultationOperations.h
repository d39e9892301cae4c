#pragma once

#include "Bench.h"

namespace Bench {

// The cash-flow consultation's statements through its screen (consult_1 ... consult_24) and the purchase
// lines viewer opened from it (purchases_view).
QVector<Operation> consultationOperations();

} // namespace Bench
