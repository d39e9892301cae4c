#include "reports/ReportSource.h"

#include "platform/core/TableDataset.h"

namespace Report {

Row PositionSource::first() {
    m_index = 0;
    return dataset().rowAt(m_index);
}

Row PositionSource::next() {
    return dataset().rowAt(++m_index);
}

CursorSource::CursorSource(const QString& name, TableDataset& table)
    : Source(name, table)
    , m_table(table)
    , m_quiet(std::make_unique<ControlsDisabled>(table)) {
    if (m_table.isOpen() && !m_table.isEmpty() && m_table.schema().keyColumn >= 0)
        m_key = m_table.keyValue();
}

CursorSource::~CursorSource() = default;

Row CursorSource::current() const {
    if (!m_table.isOpen() || m_table.eof() || m_table.isEmpty())
        return {};
    Row row(m_table.schema().columns.size());
    for (int c = 0; c < row.size(); ++c)
        row[c] = m_table.value(c);
    return row;
}

Row CursorSource::first() {
    if (!m_table.isOpen())
        return {};
    m_table.first();
    return current();
}

Row CursorSource::next() {
    m_table.next();
    return current();
}

void CursorSource::finish() {
    if (m_key && m_table.isOpen())
        m_table.locate(m_table.schema().columns[m_table.schema().keyColumn].name, *m_key);
    m_quiet.reset();
}

} // namespace Report
