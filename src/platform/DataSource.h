#pragma once

#include <QObject>

class TableDataset;

// What data-aware widgets bind to: names the dataset they show and edit.
class DataSource : public QObject {
    Q_OBJECT
public:
    explicit DataSource(TableDataset* dataset = nullptr, QObject* parent = nullptr)
        : QObject(parent)
        , m_dataset(dataset) {}
    TableDataset* dataSet() const { return m_dataset; }
    void setDataSet(TableDataset* dataset) {
        m_dataset = dataset;
        emit dataSetChanged();
    }

signals:
    void dataSetChanged();

private:
    TableDataset* m_dataset;
};
