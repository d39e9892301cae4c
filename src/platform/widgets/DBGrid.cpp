#include "platform/widgets/DBGrid.h"

#include "platform/core/DataSource.h"
#include "platform/core/Dataset.h"
#include "platform/core/Formats.h"
#include "platform/core/TableDataset.h"
#include "platform/widgets/Messages.h"

#include <QApplication>

#include <QHeaderView>
#include <QPainter>
#include <QStyledItemDelegate>

namespace {

// The current cell is painted white on red, whatever the style would do.
class CurrentCellDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const auto* view = qobject_cast<const QAbstractItemView*>(parent());
        if (view && view->currentIndex() == index) {
            painter->save();
            painter->fillRect(option.rect, QColor(Qt::red));
            painter->setPen(Qt::white);
            const QVariant align = index.data(Qt::TextAlignmentRole);
            const Qt::Alignment a =
                align.isValid() ? Qt::Alignment(align.toInt()) : Qt::AlignLeft | Qt::AlignVCenter;
            painter->drawText(option.rect.adjusted(4, 0, -4, 0), int(a),
                              index.data(Qt::DisplayRole).toString());
            painter->restore();
            return;
        }
        QStyledItemDelegate::paint(painter, option, index);
    }
};

} // namespace

DatasetModel::DatasetModel(QObject* parent)
    : QAbstractTableModel(parent) {}

void DatasetModel::setDataset(Dataset* dataset) {
    beginResetModel();
    m_dataset = dataset;
    m_rows = -1;
    endResetModel();
}

void DatasetModel::setColumns(const QVector<GridColumn>& columns) {
    beginResetModel();
    m_rows = -1;
    m_columns = columns;
    endResetModel();
}

void DatasetModel::setActive(bool on) {
    if (on == m_active)
        return;
    beginResetModel();
    m_active = on;
    m_rows = -1;
    endResetModel();
}

void DatasetModel::reset() {
    beginResetModel();
    m_rows = -1;
    endResetModel();
}

namespace {
constexpr int RowsAtATime = 200;
} // namespace

int DatasetModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid() || !m_active || !m_dataset || !m_dataset->isOpen())
        return 0;
    if (m_rows < 0) {
        m_rows = 0;
        guarded([this] {
            m_dataset->rowAt(0); // reading the first rows often tells how many there are
            const int known = m_dataset->knownRowCount();
            if (known >= 0) {
                m_rows = known;
                m_exhausted = true;
            } else {
                m_rows = RowsAtATime;
                m_exhausted = false;
            }
        });
    }
    return m_rows;
}

bool DatasetModel::canFetchMore(const QModelIndex& parent) const {
    return !parent.isValid() && m_active && m_dataset && m_rows >= 0 && !m_exhausted;
}

void DatasetModel::fetchMore(const QModelIndex& parent) {
    if (canFetchMore(parent))
        fetchTo(m_rows);
}

void DatasetModel::fetchTo(int row) {
    if (!canFetchMore({}) || row < m_rows)
        return;
    int rows = m_rows;
    guarded([&] {
        const int target = row + RowsAtATime;
        if (m_dataset->rowAt(target - 1).isEmpty()) {
            const int known = m_dataset->knownRowCount();
            rows = known >= 0 ? known : m_dataset->recordCount();
            m_exhausted = true;
        } else {
            rows = target;
        }
    });
    if (rows > m_rows) {
        beginInsertRows(QModelIndex(), m_rows, rows - 1);
        m_rows = rows;
        endInsertRows();
    }
}

void DatasetModel::setEditable(bool on, const QSet<int>& readOnlyColumns) {
    m_editable = on;
    m_readOnly = readOnlyColumns;
}

Qt::ItemFlags DatasetModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (m_editable && index.isValid() && !m_readOnly.contains(index.column()) && m_dataset &&
        index.row() == m_dataset->recordNo())
        f |= Qt::ItemIsEditable;
    return f;
}

bool DatasetModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    auto* table = qobject_cast<TableDataset*>(m_dataset.data());
    if (role != Qt::EditRole || !table || !(flags(index) & Qt::ItemIsEditable) || !table->isEditing())
        return false;
    bool written = false;
    guarded([&] {
        table->setValue(m_columns[index.column()].field, value);
        written = true;
    });
    lastWriteFailed = !written;
    if (written)
        emit dataChanged(index, index);
    return written;
}

int DatasetModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_columns.size());
}

QVariant DatasetModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || !m_active || !m_dataset || index.column() >= m_columns.size())
        return {};
    const GridColumn& col = m_columns[index.column()];
    if (role == Qt::TextAlignmentRole)
        return int(col.alignment);
    if (role != Qt::DisplayRole && role != Qt::ForegroundRole && role != Qt::EditRole)
        return {};
    QVariant out;
    guarded([&] {
        const Row row = m_dataset->rowAt(index.row());
        if (row.isEmpty())
            return;
        if (role == Qt::ForegroundRole) {
            if (rowColor) {
                const QColor c = rowColor(row, *m_dataset);
                if (c.isValid())
                    out = c;
            }
            return;
        }
        const int c = m_dataset->columnIndex(col.field);
        // The row being edited shows what was typed so far. A new row being typed is none of the rows shown:
        // the row the cursor stood on keeps its own values.
        const auto* table = qobject_cast<const TableDataset*>(m_dataset.data());
        const bool current = index.row() == m_dataset->recordNo() && m_dataset->isEditing() &&
                             !(table && table->state() == TableDataset::State::Insert);
        if (role == Qt::EditRole) {
            out = Formats::plainText(current ? m_dataset->value(col.field) : row.value(c));
            return;
        }
        const QVariant v = current ? m_dataset->value(col.field) : (c >= 0 ? row.value(c) : QVariant());
        out = col.format ? col.format(v) : Formats::displayText(v);
    });
    return out;
}

QVariant DatasetModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section < m_columns.size())
        return m_columns[section].title;
    if (orientation == Qt::Vertical && role == Qt::DisplayRole)
        return QString(); // the row indicator column carries no numbers
    return QAbstractTableModel::headerData(section, orientation, role);
}

DBGrid::DBGrid(QWidget* parent)
    : QTableView(parent)
    , m_model(new DatasetModel(this)) {
    setModel(m_model);
    m_model->setActive(false); // until shown
    setItemDelegate(new CurrentCellDelegate(this));
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::NoSelection);
    setAlternatingRowColors(false);
    verticalHeader()->setDefaultSectionSize(22);
    verticalHeader()->setFixedWidth(14);
    horizontalHeader()->setHighlightSections(false);
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current, const QModelIndex&) {
                if (current.isValid())
                    m_column = current.column();
                if (m_syncing || !current.isValid() || !m_connected)
                    return;
                m_syncing = true;
                guarded([&] {
                    if (m_droppedCorrection) {
                        m_droppedCorrection = false;
                        if (auto* table = qobject_cast<TableDataset*>(m_connected.data());
                            table && table->isEditing())
                            table->cancel();
                    }
                    if (m_connected->recordNo() != current.row())
                        m_connected->moveTo(current.row());
                });
                m_syncing = false;
                followDataset();
            });
}

void DBGrid::bind(DataSource* source) {
    if (m_source)
        disconnect(m_source, nullptr, this, nullptr);
    m_source = source;
    if (m_source)
        connect(m_source, &DataSource::dataSetChanged, this, &DBGrid::attach);
    attach();
}

void DBGrid::attach() {
    if (m_connected)
        disconnect(m_connected, nullptr, this, nullptr);
    m_connected = m_source ? m_source->dataSet() : nullptr;
    m_model->setDataset(m_connected);
    if (m_connected) {
        auto resetAndFollow = [this] {
            m_model->reset();
            followDataset();
        };
        connect(m_connected, &Dataset::rowsChanged, this, resetAndFollow);
        connect(m_connected, &Dataset::stateChanged, this, resetAndFollow);
        connect(m_connected, &Dataset::currentChanged, this, [this] {
            followDataset();
            viewport()->update();
        });
    }
    applyWidths();
    followDataset();
}

void DBGrid::setColumns(const QVector<GridColumn>& columns) {
    m_model->setColumns(columns);
    applyWidths();
}

void DBGrid::setRowColor(std::function<QColor(const Row&, const Dataset&)> hook) {
    m_model->rowColor = std::move(hook);
    viewport()->update();
}

void DBGrid::applyWidths() {
    const auto& cols = m_model->columns();
    for (int i = 0; i < cols.size(); ++i)
        if (cols[i].width > 0)
            setColumnWidth(i, cols[i].width);
}

void DBGrid::followDataset() {
    if (m_syncing || !m_connected || !isVisible())
        return;
    m_syncing = true;
    guarded([this] {
        const int row = m_connected->isOpen() ? m_connected->recordNo() : -1;
        if (row >= m_model->rowCount())
            m_model->fetchTo(row);
        const int col = std::min(m_column, std::max(0, m_model->columnCount() - 1));
        if (row >= 0 && row < m_model->rowCount()) {
            // Following the dataset moves the current cell only; the user's selection is left as it is.
            selectionModel()->setCurrentIndex(m_model->index(row, col), QItemSelectionModel::NoUpdate);
            scrollTo(currentIndex());
        } else {
            selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
        }
    });
    m_syncing = false;
}

void DBGrid::setEditable(bool on, const QSet<int>& readOnlyColumns) {
    if (!on)
        finishEditing();
    m_model->setEditable(on, readOnlyColumns);
    setEditTriggers(on ? QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                             QAbstractItemView::AnyKeyPressed
                       : QAbstractItemView::NoEditTriggers);
}

void DBGrid::setMultiRowSelection(bool on) {
    setSelectionBehavior(on ? QAbstractItemView::SelectRows : QAbstractItemView::SelectItems);
    setSelectionMode(on ? QAbstractItemView::ExtendedSelection : QAbstractItemView::NoSelection);
}

QVector<int> DBGrid::selectedRowNumbers() const {
    QVector<int> rows;
    for (const QModelIndex& i : selectionModel()->selectedRows())
        rows << i.row();
    std::sort(rows.begin(), rows.end());
    return rows;
}

QWidget* DBGrid::openEditor() const {
    if (state() != QAbstractItemView::EditingState)
        return nullptr;
    QWidget* editor = indexWidget(currentIndex());
    if (!editor)
        editor = QApplication::focusWidget();
    return editor && isAncestorOf(editor) && editor != viewport() ? editor : nullptr;
}

bool DBGrid::finishEditing() {
    QWidget* editor = openEditor();
    if (!editor)
        return true;
    m_model->lastWriteFailed = false;
    commitData(editor);
    if (m_model->lastWriteFailed)
        return false; // the editor stays open on what was typed
    closeEditor(editor, QAbstractItemDelegate::NoHint);
    return true;
}

void DBGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    // Another row while one is being corrected drops the correction, as closing the screen does: what was
    // typed is not written, and the new row is not typed into.
    if (!m_syncing && m_model->isEditable() && previous.isValid() && current.row() != previous.row()) {
        if (QWidget* editor = openEditor())
            closeEditor(editor, QAbstractItemDelegate::NoHint);
        m_model->setEditable(false);
        setEditTriggers(QAbstractItemView::NoEditTriggers);
        m_droppedCorrection = true;
    }
    QTableView::currentChanged(current, previous);
}

void DBGrid::showEvent(QShowEvent* event) {
    m_model->setActive(true);
    followDataset();
    QTableView::showEvent(event);
}

void DBGrid::hideEvent(QHideEvent* event) {
    QTableView::hideEvent(event);
    m_model->setActive(false);
}

void DBGrid::mouseDoubleClickEvent(QMouseEvent* event) {
    QTableView::mouseDoubleClickEvent(event);
    emit gridDoubleClicked();
}

QString DBGrid::cellText(int row, int column) const {
    return m_model->data(m_model->index(row, column), Qt::DisplayRole).toString();
}

QColor DBGrid::cellTextColor(int row, int column) const {
    return m_model->data(m_model->index(row, column), Qt::ForegroundRole).value<QColor>();
}
