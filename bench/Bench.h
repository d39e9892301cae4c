#pragma once

#include "platform/core/TableSchema.h"

#include <QString>
#include <QVariant>
#include <QVector>
#include <functional>

class Connection;
class TDM;

namespace Bench {

// One measured operation: the program's own path against the plain SQL that gives the same result. Both
// return their answer as text so that the runner can tell they agree before it times anything.
struct Operation {
    QString name;
    std::function<void(TDM&)> setup; // untimed: picks its data and puts the datasets in the state it needs
    std::function<QString(TDM&)> app;
    std::function<QString(TDM&)> baseline;
    // Untimed: opens the screens the operation works in, the way the program opens them, and runs the
    // comparison and the timing (the argument) while they are open. Without it they run directly.
    std::function<void(TDM&, const std::function<void()>&)> within = nullptr;
};

struct SamplerSettings {
    int samples = 5;
    qint64 minSampleNs = 100'000'000;
};

struct Measurement {
    double appMs = 0;
    double sqlMs = 0;
};

// Median time of one run of each side, taking app and baseline samples in turn so that drift on a shared
// machine hits both alike.
Measurement measure(TDM& dm, const Operation& op, const SamplerSettings& settings);

// The program's types for a table's columns, in order: a baseline reads with them, as the datasets do (money
// selected as its decimal text becomes Currency).
QVector<ColumnType> columnTypes(const TableSchema& table);

// What a baseline read: its rows, their non-null values (to compare with what a dataset gave) and the first
// column of the first row.
struct Fetched {
    int rows = 0;
    int values = 0;
    QVariant first;
};

// The baselines' plain fetch: every row of a SELECT of the table's columns, prepared afresh on the connection
// (a statement kept open would keep its transaction and snapshot), typed from the table's schema.
Fetched fetchAll(Connection& connection, const QString& sql, const QVariantList& params,
                 const TableSchema& table);

// The process's peak resident memory so far (VmHWM), in MB.
double peakRssMb();

// "bench NAME app_ms=... sql_ms=... ratio=... peak_rss_mb=..."
QString line(const QString& name, const Measurement& m, double rssMb);

} // namespace Bench
