#pragma once

#include "platform/core/TableSchema.h"

#include <QVariant>
#include <QVector>

// The values of a row being edited or appended, and which columns were set since: an update writes only
// those.
class EditBuffer {
public:
    // A new row, every column NULL.
    void startAppend(int columns) { start(Row(columns), columns); }
    // The stored row's values.
    void startEdit(const Row& stored, int columns) { start(stored, columns); }
    void clear() { m_values.clear(); }

    const Row& values() const { return m_values; }
    QVariant value(int column) const { return m_values.value(column); }
    void setValue(int column, const QVariant& value) {
        m_values[column] = value;
        m_changed[column] = true;
    }
    const QVector<bool>& changed() const { return m_changed; }

private:
    void start(const Row& values, int columns) {
        m_values = values;
        m_changed = QVector<bool>(columns, false);
    }

    Row m_values;
    QVector<bool> m_changed;
};
