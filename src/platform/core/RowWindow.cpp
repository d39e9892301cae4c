#include "platform/core/RowWindow.h"

#include <algorithm>

void RowWindow::set(QVector<Row> rows, int start, bool headComplete, bool tailComplete) {
    m_rows = std::move(rows);
    m_start = start;
    m_headComplete = headComplete;
    m_tailComplete = tailComplete;
}

void RowWindow::setReadForward(QVector<Row> rows, int start, bool headComplete) {
    const bool tail = rows.size() <= Chunk;
    if (!tail)
        rows.resize(Chunk);
    set(std::move(rows), start, headComplete, tail);
}

void RowWindow::setReadBackward(QVector<Row> rows, int end, bool tailComplete) {
    const bool head = rows.size() <= Chunk;
    if (!head)
        rows.resize(Chunk);
    std::reverse(rows.begin(), rows.end());
    const int n = int(rows.size());
    set(std::move(rows), head ? 0 : (end >= 0 ? end - n : -1), head, tailComplete);
}

void RowWindow::clear() {
    m_rows.clear();
    m_start = -1;
    m_headComplete = m_tailComplete = false;
}

int RowWindow::lowerBound(qlonglong key) const {
    auto it = std::lower_bound(m_rows.cbegin(), m_rows.cend(), key,
                               [this](const Row& r, qlonglong k) { return keyOf(r) < k; });
    return int(it - m_rows.cbegin());
}

int RowWindow::find(qlonglong key) const {
    const int i = lowerBound(key);
    return i < size() && keyOf(m_rows[i]) == key ? i : -1;
}
