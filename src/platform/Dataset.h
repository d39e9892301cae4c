#pragma once

#include "TableSchema.h"

#include <QObject>
#include <QString>
#include <QVariant>

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

signals:
    void stateChanged();
    // The current row moved or its values changed.
    void currentChanged();
    // Rows were added, changed, removed or filtered: counts, grids and aggregates must be read again.
    void rowsChanged();
    // Bound edits write what they hold before the row is posted.
    void aboutToPost();
};
