#pragma once

#include "platform/core/DataSource.h"
#include "platform/core/Dataset.h"
#include "platform/core/TableSchema.h"

#include <QAbstractTableModel>
#include <QColor>
#include <QPointer>
#include <QSet>
#include <QTableView>
#include <functional>

struct GridColumn {
    GridColumn(QString fieldName, QString caption, Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter,
               int pixels = 0, std::function<QString(const QVariant&)> formatter = {})
        : field(std::move(fieldName))
        , title(std::move(caption))
        , alignment(align)
        , width(pixels)
        , format(std::move(formatter)) {}

    QString field;
    QString title;
    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter;
    int width = 0; // pixels; 0 leaves it to the grid
    // How the value reads in the cell; money and dates have their fixed formats by default.
    std::function<QString(const QVariant&)> format;
};

// The rows of a dataset as a table model, read through the dataset's window of rows.
class DatasetModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit DatasetModel(QObject* parent = nullptr);

    void setDataset(Dataset* dataset);
    Dataset* dataset() const { return m_dataset; }
    void setColumns(const QVector<GridColumn>& columns);
    const QVector<GridColumn>& columns() const { return m_columns; }
    // Colour of a row's text (an invalid colour keeps the default).
    std::function<QColor(const Row& row, const Dataset& dataset)> rowColor;

    // Cells of the current row that may be typed into while its dataset is being edited.
    void setEditable(bool on, const QSet<int>& readOnlyColumns = {});
    bool isEditable() const { return m_editable; }
    bool lastWriteFailed = false; // the last setData was refused

    // Rows are offered a chunk at a time as the grid scrolls, so that a large view is never counted.
    int rowCount(const QModelIndex& parent = {}) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;
    // Offers the rows up to a position and a screenful past it in one read, not a screenful at a time.
    void fetchTo(int row);
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    void reset();
    // A hidden grid asks its dataset nothing: it shows no rows until it is shown again.
    void setActive(bool on);

private:
    QPointer<Dataset> m_dataset;
    QVector<GridColumn> m_columns;
    bool m_editable = false;
    bool m_active = true;
    mutable int m_rows = -1; // rows offered so far; -1 until the view asks
    mutable bool m_exhausted = false;
    QSet<int> m_readOnly;
};

// A read-only data grid over a data source: column titles, alignment, display formats, a per-row text colour
// and the current cell painted white on red. The current row follows the dataset, and choosing a row moves
// it.
class DBGrid : public QTableView {
    Q_OBJECT
public:
    explicit DBGrid(QWidget* parent = nullptr);

    void bind(DataSource* source);
    void setColumns(const QVector<GridColumn>& columns);
    DatasetModel* datasetModel() const { return m_model; }
    void setRowColor(std::function<QColor(const Row&, const Dataset&)> hook);
    // Lets the current row's cells be typed into (all but the read-only columns), or makes the grid
    // read-only.
    void setEditable(bool on, const QSet<int>& readOnlyColumns = {});
    bool isEditable() const { return m_model->isEditable(); }
    // Writes what a cell editor holds to the row and closes the editor. False when the row refused it (the
    // error has been shown): the editor stays open on the text.
    bool finishEditing();
    // Whole rows can be selected, several at once (Ctrl/Shift clicks); the selection stays visible.
    void setMultiRowSelection(bool on);
    // Positions of the selected rows, in order.
    QVector<int> selectedRowNumbers() const;
    // A data grid has no type-ahead search: typed keys belong to the cell being corrected.
    void keyboardSearch(const QString&) override {}

    // The text a cell shows, as painted.
    QString cellText(int row, int column) const;
    QColor cellTextColor(int row, int column) const;

signals:
    // A double click anywhere on the rows' area, on a row or not.
    void gridDoubleClicked();

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void attach();
    void followDataset();
    void applyWidths();
    QWidget* openEditor() const;

    QPointer<DataSource> m_source;
    QPointer<Dataset> m_connected;
    DatasetModel* m_model;
    bool m_syncing = false;
    int m_column = 0; // the column of the current cell, kept across resets
    bool m_droppedCorrection = false;
};
