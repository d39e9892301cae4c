#pragma once

#include "Bench.h"

namespace Bench {

// The backup screen's backup and restore against gbak through the service manager. They replace the database
// the other operations read, so they run last.
QVector<Operation> backupOperations();

} // namespace Bench
