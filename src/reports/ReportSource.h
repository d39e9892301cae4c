#pragma once

#include "platform/core/TableSchema.h"

#include <QString>
#include <memory>
#include <optional>

class Dataset;
class ControlsDisabled;
class TableDataset;

// The rows a master data band prints, one at a time, as the report runs through them. Only the row being
// printed is held.
namespace Report {

class Source {
public:
    Source(const QString& name, const Dataset& dataset)
        : m_name(name)
        , m_dataset(dataset) {}
    virtual ~Source() = default;
    Source(const Source&) = delete;
    Source& operator=(const Source&) = delete;

    const QString& name() const { return m_name; }
    const Dataset& dataset() const { return m_dataset; }

    // Each gives the row it reaches, or an empty row past the end.
    virtual Row first() = 0;
    virtual Row next() = 0;
    // Called once the report has run through the rows.
    virtual void finish() {}

private:
    QString m_name;
    const Dataset& m_dataset;
};

// A dataset read by position, without moving its current row (a query keeps what it fetched).
class PositionSource : public Source {
public:
    using Source::Source;
    Row first() override;
    Row next() override;

private:
    int m_index = 0;
};

// A table read with its own cursor, which walks the view by key; bound controls hear nothing until the
// report is done, and the row that was current is current again.
class CursorSource : public Source {
public:
    CursorSource(const QString& name, TableDataset& table);
    ~CursorSource() override;
    Row first() override;
    Row next() override;
    void finish() override;

private:
    Row current() const;
    TableDataset& m_table;
    std::unique_ptr<ControlsDisabled> m_quiet;
    std::optional<QVariant> m_key;
};

} // namespace Report
