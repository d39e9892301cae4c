#pragma once

#include "platform/core/TableSchema.h"

#include <QObject>
#include <QString>
#include <QVariant>

#include <utility>

// What grids, labels and edits bind to: a table dataset or a screen's query, read through a current row and
// by position.
class Dataset : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    virtual bool isOpen() const = 0;
    virtual int recordCount() const = 0;
    // The number of visible rows when it is known without asking the database; -1 otherwise.
    virtual int knownRowCount() const { return -1; }
    // 0-based position of the current row; -1 without one.
    virtual int recordNo() const = 0;
    virtual void moveTo(int index) = 0;
    // The visible row at a position, without moving the current row; empty past the end.
    virtual Row rowAt(int index) const = 0;
    virtual int columnIndex(const QString& name) const = 0;
    virtual QVariant value(const QString& column) const = 0;
    // Whether the dataset is being edited or appended to (a query never is).
    virtual bool isEditing() const { return false; }

    // While controls are disabled, bound widgets hear of no change; the last enableControls() tells them
    // once. A screen that switches a filter off and on again thus never has a grid read the whole table in
    // between.
    void disableControls() { ++m_controlsDisabled; }
    void enableControls() {
        if (m_controlsDisabled == 0 || --m_controlsDisabled > 0)
            return;
        const bool state = std::exchange(m_pendingState, false);
        const bool rows = std::exchange(m_pendingRows, false);
        const bool current = std::exchange(m_pendingCurrent, false);
        if (state)
            emit stateChanged();
        if (rows)
            emit rowsChanged();
        if (current)
            emit currentChanged();
    }

signals:
    void stateChanged();
    // The current row moved or its values changed.
    void currentChanged();
    // Rows were added, changed, removed or filtered: counts, grids and aggregates must be read again.
    void rowsChanged();
    // Bound edits write what they hold before the row is posted.
    void aboutToPost();

protected:
    void notifyStateChanged() {
        if (m_controlsDisabled > 0)
            m_pendingState = true;
        else
            emit stateChanged();
    }
    void notifyCurrentChanged() {
        if (m_controlsDisabled > 0)
            m_pendingCurrent = true;
        else
            emit currentChanged();
    }
    void notifyRowsChanged() {
        if (m_controlsDisabled > 0)
            m_pendingRows = true;
        else
            emit rowsChanged();
    }

private:
    int m_controlsDisabled = 0;
    bool m_pendingState = false;
    bool m_pendingCurrent = false;
    bool m_pendingRows = false;
};

// Controls of a dataset disabled for a scope; they hear of what changed when it ends, even by an exception.
class ControlsDisabled {
public:
    explicit ControlsDisabled(Dataset& dataset)
        : m_dataset(dataset) {
        m_dataset.disableControls();
    }
    ~ControlsDisabled();
    ControlsDisabled(const ControlsDisabled&) = delete;
    ControlsDisabled& operator=(const ControlsDisabled&) = delete;

private:
    Dataset& m_dataset;
};
