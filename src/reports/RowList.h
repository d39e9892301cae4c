#pragma once

#include "platform/core/Dataset.h"

#include <QStringList>

// Rows a report prints that no table holds (the lines of a receipt), kept in memory with their column names.
namespace Report {

class RowList : public Dataset {
public:
    RowList(const QStringList& columns, const QVector<Row>& rows, QObject* parent = nullptr)
        : Dataset(parent)
        , m_columns(columns)
        , m_rows(rows) {}

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
