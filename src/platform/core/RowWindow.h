#pragma once

#include "platform/core/TableSchema.h"

#include <QVector>

// A chunk of a view's rows in key order, around where the cursor or a grid looks. Its start is the position
// of its first row among the visible ones (-1 while unknown); a complete head or tail says that no visible
// row comes before or after it, so that with both every visible row is at hand.
class RowWindow {
public:
    // Rows read at a time: a screenful of a grid many times over, a customer's whole ledger in one go.
    static constexpr int Chunk = 200;
    // A read asks for one row more than a chunk, to learn whether more follow.
    static constexpr int ReadSize = Chunk + 1;

    void setKeyColumn(int column) { m_keyColumn = column; }

    void set(QVector<Row> rows, int start, bool headComplete, bool tailComplete);
    // Rows read forward from a start with ReadSize: the tail is complete when no more than a chunk came.
    void setReadForward(QVector<Row> rows, int start, bool headComplete);
    // Rows read backward (highest key first) with ReadSize, ending before the position end (-1 while
    // unknown): the head is complete when no more than a chunk came.
    void setReadBackward(QVector<Row> rows, int end, bool tailComplete);
    void clear();

    const QVector<Row>& rows() const { return m_rows; }
    int size() const { return int(m_rows.size()); }
    bool isEmpty() const { return m_rows.isEmpty(); }
    const Row& at(int i) const { return m_rows[i]; }
    int start() const { return m_start; }
    bool headComplete() const { return m_headComplete; }
    bool tailComplete() const { return m_tailComplete; }
    bool wholeSet() const { return m_headComplete && m_tailComplete; }
    // The position among the visible rows of the window's row i; -1 while unknown.
    int positionOf(int i) const { return m_start >= 0 ? m_start + i : -1; }
    // Whether the window holds the row at a position.
    bool holdsPosition(int position) const {
        return m_start >= 0 && position >= m_start && position < m_start + size();
    }

    qlonglong keyOf(const Row& row) const { return row[m_keyColumn].toLongLong(); }
    // The window's index of the row with the key; -1 when it does not hold it.
    int find(qlonglong key) const;
    // The window's index of the first row whose key is not below the key; size() when there is none.
    int lowerBound(qlonglong key) const;

private:
    QVector<Row> m_rows;
    int m_start = -1;
    bool m_headComplete = false;
    bool m_tailComplete = false;
    int m_keyColumn = -1;
};
