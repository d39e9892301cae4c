#include "Bench.h"

#include "platform/core/Connection.h"

#include <QElapsedTimer>
#include <QFile>
#include <algorithm>

namespace Bench {

namespace {

double sampleMs(TDM& dm, const std::function<QString(TDM&)>& run, qint64 minNs) {
    QElapsedTimer timer;
    timer.start();
    qint64 runs = 0;
    qint64 elapsed = 0;
    do {
        run(dm);
        ++runs;
        elapsed = timer.nsecsElapsed();
    } while (elapsed < minNs);
    return double(elapsed) / 1e6 / double(runs);
}

double median(QVector<double> values) {
    std::sort(values.begin(), values.end());
    const qsizetype n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

} // namespace

Measurement measure(TDM& dm, const Operation& op, const SamplerSettings& settings) {
    QVector<double> app;
    QVector<double> sql;
    for (int i = 0; i < std::max(1, settings.samples); ++i) {
        app << sampleMs(dm, op.app, settings.minSampleNs);
        sql << sampleMs(dm, op.baseline, settings.minSampleNs);
    }
    return {median(app), median(sql)};
}

QVector<ColumnType> columnTypes(const TableSchema& table) {
    QVector<ColumnType> types;
    types.reserve(table.columns.size());
    for (const ColumnInfo& c : table.columns)
        types << c.type;
    return types;
}

Fetched fetchAll(Connection& connection, const QString& sql, const QVariantList& params,
                 const TableSchema& table) {
    const QVector<ColumnType> types = columnTypes(table);
    Fetched f;
    for (const Row& row : connection.select(sql, params, &types)) {
        if (f.rows == 0)
            f.first = row.value(0);
        for (const QVariant& v : row)
            f.values += v.isNull() ? 0 : 1;
        ++f.rows;
    }
    return f;
}

double peakRssMb() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& text : status.readAll().split('\n')) {
        if (text.startsWith("VmHWM:"))
            return text.mid(6).trimmed().split(' ').value(0).toDouble() / 1024;
    }
    return 0;
}

QString line(const QString& name, const Measurement& m, double rssMb) {
    const double ratio = m.sqlMs > 0 ? m.appMs / m.sqlMs : 0;
    return QStringLiteral("bench %1 app_ms=%2 sql_ms=%3 ratio=%4 peak_rss_mb=%5")
        .arg(name, QString::number(m.appMs, 'f', 3), QString::number(m.sqlMs, 'f', 3),
             QString::number(ratio, 'f', 3), QString::number(rssMb, 'f', 1));
}

} // namespace Bench
