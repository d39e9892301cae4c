#pragma once

#include <QObject>

class Dataset;

// What data-aware widgets bind to: names the dataset they show and edit.
class DataSource : public QObject {
    Q_OBJECT
public:
    explicit DataSource(Dataset* dataset = nullptr, QObject* parent = nullptr)
        : QObject(parent)
        , m_dataset(dataset) {}
    Dataset* dataSet() const { return m_dataset; }
    void setDataSet(Dataset* dataset) {
        m_dataset = dataset;
        emit dataSetChanged();
    }

signals:
    void dataSetChanged();

private:
    Dataset* m_dataset;
};
