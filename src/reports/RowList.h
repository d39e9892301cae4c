#pragma once

#include "platform/core/Dataset.h"

#include <QStringList>
#include <QVector>

namespace Report {

// Rows a report prints that no table holds (a receipt's lines, a booklet's slips), made by the program and
// kept in memory with their columns named; read them with a PositionSource.
class RowList : public Dataset {
public:
    explicit RowList(const QStringList& columns, const QVector<Row>& rows = {}, QObject* parent = nullptr)
        : Dataset(parent)
        , m_columns(columns)
        , m_rows(rows) {}
    void append(const Row& row) { m_rows.append(row); }

    bool isOpen() const override { return true; }
    int recordCount() const override { return int(m_rows.size()); }
    int knownRowCount() const override { return recordCount(); }
    int recordNo() const override { return m_rows.isEmpty() ? -1 : m_current; }
    void moveTo(int index) override;
    Row rowAt(int index) const override;
    int columnIndex(const QString& name) const override;
    QVariant value(const QString& column) const override;

private:
    QStringList m_columns;
    QVector<Row> m_rows;
    int m_current = 0;
};

} // namespace Report
