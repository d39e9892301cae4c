#pragma once

#include "Bench.h"

namespace Bench {

// The ledger and the customers read through the shared datasets, the way every screen reads them.
QVector<Operation> datasetOperations();

} // namespace Bench
