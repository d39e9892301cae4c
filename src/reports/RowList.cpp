#include "reports/RowList.h"

#include <algorithm>

namespace Report {

void RowList::moveTo(int index) {
    m_current = std::clamp(index, 0, std::max(recordCount() - 1, 0));
    notifyCurrentChanged();
}

Row RowList::rowAt(int index) const {
    return index >= 0 && index < m_rows.size() ? m_rows[index] : Row();
}

int RowList::columnIndex(const QString& name) const {
    for (int c = 0; c < m_columns.size(); ++c)
        if (m_columns[c].compare(name, Qt::CaseInsensitive) == 0)
            return c;
    return -1;
}

QVariant RowList::value(const QString& column) const {
    const int c = columnIndex(column);
    return c < 0 ? QVariant() : rowAt(recordNo()).value(c);
}

} // namespace Report
