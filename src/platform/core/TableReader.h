#pragma once

#include "platform/core/FilterExpression.h"
#include "platform/core/TableSchema.h"

#include <QString>
#include <QVariant>
#include <QVector>
#include <functional>
#include <optional>

class Connection;

// Every read of a table's visible rows (those its filter lets through while filtered), in CODIGO order: the
// first or last rows, the rows after, before or from a key, the row at a key, rows from a position, the first
// row holding a value; how many come before a key; and the highest key of the whole table. Reads that return
// a number of rows come highest key first when read backward. A table without an integer key is small by
// design and read whole, in table order.
class TableReader {
public:
    // visibleCount tells how many rows the filter lets through: the plan for a prefix depends on it.
    TableReader(Connection& connection, const QString& table, std::function<int()> visibleCount);

    QString table() const { return m_table; }
    // Reads the catalogue (opening the connection) the first time.
    const TableSchema& schema() const;
    bool keyed() const { return schema().keyColumn >= 0; }

    const FilterExpression& filter() const { return m_filter; }
    void setFilter(FilterExpression filter) { m_filter = std::move(filter); }
    // Binds the filter to the table's columns again (the catalogue may have been read anew).
    void bindFilter() { m_filter.bind(schema()); }
    bool filtered() const { return m_filtered; }
    void setFiltered(bool on) { m_filtered = on; }

    // The visible rows as what follows "from" in a statement, for counts and sums.
    QString source(QVariantList& params) const;

    QVector<Row> first(int limit) const;
    QVector<Row> last(int limit) const;
    QVector<Row> after(qlonglong key, int limit) const;
    QVector<Row> before(qlonglong key, int limit) const;
    QVector<Row> fromKey(qlonglong key, int limit) const;
    std::optional<Row> atKey(qlonglong key) const;
    QVector<Row> fromPosition(int position, int limit) const;
    // The first visible row the database finds equal to the value (already of the column's type); the
    // caller compares it exactly.
    std::optional<Row> firstEqual(int column, const QVariant& value) const;
    // How many visible rows have a lower key.
    int countBefore(qlonglong key) const;
    // The highest key of the whole table, whatever the filter; empty when the table is empty.
    std::optional<int> highestKey() const;

private:
    QString keyName() const { return schema().columns[schema().keyColumn].name; }
    QString selectList() const;
    QString whereSql(QVariantList& params) const;
    QString orderSql(bool descending) const;
    QVector<Row> fetch(const QString& extraCondition, const QVariantList& extraParams, bool descending,
                       int limit, int skip = 0) const;

    Connection& m_connection;
    QString m_table;
    std::function<int()> m_visibleCount;
    FilterExpression m_filter;
    bool m_filtered = false;
};
