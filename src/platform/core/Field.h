#pragma once

#include "platform/core/Currency.h"

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QVariant>

class TableDataset;

// A named handle on one column of a dataset's current row (the data module's TabDividasVALOR and so on).
// It resolves the column by name when used, so it exists before the table does.
class Field {
public:
    Field(TableDataset& dataset, const QString& column)
        : m_dataset(&dataset)
        , m_column(column) {}

    TableDataset& dataset() const { return *m_dataset; }
    const QString& fieldName() const { return m_column; }

    QVariant value() const;
    void setValue(const QVariant& v);
    bool isNull() const;

    QString asString() const;
    void setAsString(const QString& text) { setValue(text); }
    int asInteger() const;
    Currency asCurrency() const; // zero when NULL
    QDate asDate() const;
    QDateTime asDateTime() const;
    // As grids and labels show it: money as R$ 1.234,56, dates dd/MM/yyyy.
    QString displayText() const;

private:
    TableDataset* m_dataset;
    QString m_column;
};
