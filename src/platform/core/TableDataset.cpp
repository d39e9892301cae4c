#include "platform/core/TableDataset.h"

#include "platform/core/Connection.h"
#include "platform/core/Errors.h"
#include "platform/core/Formats.h"
#include "platform/core/Transaction.h"

#include <algorithm>

TableDataset::TableDataset(Connection& connection, const QString& table, QObject* parent)
    : Dataset(parent)
    , m_connection(connection)
    , m_table(table.toUpper())
    , m_reader(connection, m_table, [this] { return recordCount(); })
    , m_writer(connection, m_table)
    , m_aggregates(
          connection, [this](QVariantList& params) { return m_reader.source(params); },
          [this] { return m_window.wholeSet() ? &m_window.rows() : nullptr; }) {
    connect(&m_connection, &Connection::aboutToClose, this, &TableDataset::close);
    connect(&m_connection, &Connection::transactionEnded, this, &TableDataset::onTransactionEnded);
}

const TableSchema& TableDataset::schema() const {
    return m_reader.schema();
}

int TableDataset::columnIndex(const QString& name) const {
    return schema().indexOf(name);
}

int TableDataset::requireColumn(const QString& name) const {
    const int c = columnIndex(name);
    if (c < 0)
        throw DatabaseError(QStringLiteral("%1: coluna '%2' não encontrada").arg(m_table, name));
    return c;
}

int TableDataset::currentInWindow() const {
    // A table without a key is read whole: its rows are where their positions say.
    if (!keyed())
        return m_cursor.hasRow ? m_cursor.index : -1;
    return m_window.find(keyOf(m_cursor.row));
}

void TableDataset::forgetView() {
    m_window.clear();
    m_aggregates.forget();
}

void TableDataset::ensureLoaded() const {
    if (!m_cursor.reload.due || !isOpen())
        return;
    auto* self = const_cast<TableDataset*>(this);
    const TableCursor::Reload reload = m_cursor.reload;
    try {
        if (reload.key && reload.keepIfVisible)
            self->loadFirstKeeping(*reload.key);
        else if (reload.key)
            self->repositionAfterChange(reload.key, reload.wasSmall);
        else
            self->loadFirst();
    } catch (...) {
        self->showNothing();
        throw;
    }
}

// A view the database refused to read shows no row until the filter or the rows change: a grid asking again
// on every repaint would bring the refusal back after every OK.
void TableDataset::showNothing() {
    forgetView();
    m_cursor.reload.due = false;
    m_cursor.reload.key.reset();
    m_window.set({}, 0, true, true);
    m_cursor.clearRow();
    m_cursor.bof = m_cursor.eof = true;
}

// After a new filter: the current row stays current if the filter lets it through, else the first row is.
void TableDataset::loadFirstKeeping(qlonglong key) {
    loadFirst();
    if (const int pos = m_window.find(key); pos >= 0) {
        m_cursor.setRow(m_window.at(pos), pos);
        m_cursor.bof = pos == 0;
        return;
    }
    if (m_window.tailComplete())
        return;
    const std::optional<Row> row = m_reader.atKey(key);
    if (!row)
        return;
    m_window.set(QVector<Row>{*row}, -1, false, false);
    m_cursor.setRow(*row, -1);
    m_cursor.bof = m_cursor.eof = false;
}

void TableDataset::markStaleKeeping() {
    const std::optional<qlonglong> key = m_cursor.hasRow && keyed() && !m_cursor.reload.due
                                             ? std::optional<qlonglong>(keyOf(m_cursor.row))
                                             : m_cursor.reload.key;
    markStale();
    m_cursor.reload.key = key;
    m_cursor.reload.keepIfVisible = key.has_value();
}

void TableDataset::markStale() {
    forgetView();
    m_cursor.clearRow();
    m_cursor.reload.due = true;
    m_cursor.reload.key.reset();
    m_cursor.reload.keepIfVisible = false;
}

// After a write the view is read again only when someone looks, on the written row: a unit that writes many
// rows in a row reads nothing in between.
void TableDataset::markStaleAt(qlonglong key) {
    const bool small = m_cursor.reload.due ? m_cursor.reload.wasSmall : m_window.wholeSet();
    markStale();
    m_cursor.reload.key = key;
    m_cursor.reload.wasSmall = small;
}

// What refresh() does, when someone next looks.
void TableDataset::refreshLater() {
    if (m_cursor.reload.due || !keyed()) {
        refresh();
        return;
    }
    if (m_cursor.hasRow)
        markStaleAt(keyOf(m_cursor.row));
    else
        markStale();
}

void TableDataset::loadFirst() {
    forgetView();
    m_cursor.reload.due = false;
    m_cursor.reload.key.reset();
    QVector<Row> rows = m_reader.first(RowWindow::ReadSize);
    if (keyed())
        m_window.setReadForward(std::move(rows), 0, true);
    else
        m_window.set(std::move(rows), 0, true, true);
    if (m_window.isEmpty())
        m_cursor.clearRow();
    else
        m_cursor.setRow(m_window.at(0), 0);
    m_cursor.bof = true;
    m_cursor.eof = m_window.isEmpty();
}

void TableDataset::loadLast() {
    m_cursor.reload.due = false;
    m_cursor.reload.key.reset();
    if (!keyed()) {
        loadFirst();
        if (!m_window.isEmpty())
            m_cursor.setRow(m_window.rows().back(), m_window.size() - 1);
        m_cursor.eof = true;
        m_cursor.bof = m_window.isEmpty();
        return;
    }
    forgetView();
    m_window.setReadBackward(m_reader.last(RowWindow::ReadSize), -1, true);
    if (m_window.isEmpty())
        m_cursor.clearRow();
    else
        m_cursor.setRow(m_window.rows().back(), m_window.positionOf(m_window.size() - 1));
    m_cursor.eof = true;
    m_cursor.bof = m_window.isEmpty();
}

void TableDataset::open() {
    if (isOpen())
        return;
    m_connection.ensureOpen();
    const TableSchema& s = schema(); // a missing table fails here, with the engine's words
    m_window.setKeyColumn(s.keyColumn);
    if (!m_filterText.isEmpty())
        m_reader.bindFilter();
    markStale();
    m_state = State::Browse;
    notifyStateChanged();
    notifyRowsChanged();
    notifyCurrentChanged();
}

void TableDataset::close() {
    if (!isOpen())
        return;
    m_state = State::Inactive;
    forgetView();
    m_cursor.clearRow();
    m_cursor.reload.due = false;
    m_edit.clear();
    m_cursor.eof = m_cursor.bof = true;
    notifyStateChanged();
    notifyRowsChanged();
    notifyCurrentChanged();
}

void TableDataset::refresh() {
    if (!isOpen())
        return;
    checkBrowseMode();
    if (m_cursor.reload.due) {
        forgetView();
        return;
    }
    repositionAfterChange(m_cursor.hasRow && keyed() ? std::optional<qlonglong>(keyOf(m_cursor.row))
                                                     : std::nullopt,
                          m_window.wholeSet());
}

void TableDataset::first() {
    if (!isOpen())
        return;
    checkBrowseMode();
    if (m_window.headComplete() && !m_window.isEmpty()) {
        m_cursor.setRow(m_window.at(0), 0);
        m_cursor.bof = true;
        m_cursor.eof = false;
    } else {
        loadFirst();
    }
    notifyCurrentChanged();
}

void TableDataset::last() {
    if (!isOpen())
        return;
    checkBrowseMode();
    if (m_window.tailComplete() && !m_window.isEmpty() && keyed()) {
        const int n = m_window.size();
        m_cursor.setRow(m_window.rows().back(), m_window.positionOf(n - 1));
        m_cursor.eof = true;
        m_cursor.bof = false;
    } else {
        loadLast();
    }
    notifyCurrentChanged();
}

void TableDataset::next() {
    if (!isOpen())
        return;
    checkBrowseMode();
    ensureLoaded();
    if (!m_cursor.hasRow) {
        m_cursor.eof = true;
        return;
    }
    const int pos = currentInWindow();
    const int index = m_cursor.index;
    if (pos >= 0 && pos + 1 < m_window.size()) {
        m_cursor.setRow(m_window.at(pos + 1), index >= 0 ? index + 1 : -1);
        m_cursor.bof = m_cursor.eof = false;
        notifyCurrentChanged();
        return;
    }
    if ((pos >= 0 && m_window.tailComplete()) || !keyed()) {
        m_cursor.eof = true;
        return;
    }
    QVector<Row> rows = m_reader.after(keyOf(m_cursor.row), RowWindow::ReadSize);
    if (rows.isEmpty()) {
        m_cursor.eof = true;
        return;
    }
    const int start = index >= 0 ? index + 1 : -1;
    m_window.setReadForward(std::move(rows), start, false);
    m_cursor.setRow(m_window.at(0), start);
    m_cursor.bof = m_cursor.eof = false;
    notifyCurrentChanged();
}

void TableDataset::prior() {
    if (!isOpen())
        return;
    checkBrowseMode();
    ensureLoaded();
    if (!m_cursor.hasRow) {
        m_cursor.bof = true;
        return;
    }
    const int pos = currentInWindow();
    const int index = m_cursor.index;
    if (pos > 0) {
        m_cursor.setRow(m_window.at(pos - 1), index >= 0 ? index - 1 : -1);
        m_cursor.bof = m_cursor.eof = false;
        notifyCurrentChanged();
        return;
    }
    if ((pos == 0 && m_window.headComplete()) || !keyed()) {
        m_cursor.bof = true;
        return;
    }
    QVector<Row> rows = m_reader.before(keyOf(m_cursor.row), RowWindow::ReadSize);
    if (rows.isEmpty()) {
        m_cursor.bof = true;
        return;
    }
    m_window.setReadBackward(std::move(rows), index, false);
    m_cursor.setRow(m_window.rows().back(), m_window.positionOf(m_window.size() - 1));
    m_cursor.bof = m_cursor.eof = false;
    notifyCurrentChanged();
}

int TableDataset::knownRowCount() const {
    if (!isOpen())
        return 0;
    if (const std::optional<int> n = m_aggregates.knownCount())
        return *n;
    if (m_window.tailComplete() && m_window.start() >= 0)
        return m_window.start() + m_window.size();
    return -1;
}

int TableDataset::recordCount() const {
    if (!isOpen())
        return 0;
    try {
        return m_aggregates.count();
    } catch (...) {
        // The rows are read with the same condition: they would be refused too.
        if (m_cursor.reload.due)
            const_cast<TableDataset*>(this)->showNothing();
        throw;
    }
}

int TableDataset::recordNo() const {
    ensureLoaded();
    if (!isOpen() || !m_cursor.hasRow)
        return -1;
    if (m_cursor.index >= 0)
        return m_cursor.index;
    const qlonglong key = keyOf(m_cursor.row);
    const int pos = m_window.find(key);
    if (pos >= 0 && m_window.start() >= 0) {
        m_cursor.index = m_window.start() + pos;
        return m_cursor.index;
    }
    m_cursor.index = m_reader.countBefore(key);
    return m_cursor.index;
}

Row TableDataset::rowAt(int index) const {
    if (!isOpen() || index < 0)
        return {};
    ensureLoaded();
    if (m_window.holdsPosition(index))
        return m_window.at(index - m_window.start());
    if (!keyed() ||
        (m_window.tailComplete() && m_window.start() >= 0 && index >= m_window.start() + m_window.size()))
        return {};
    const int start = std::max(0, index - RowWindow::Chunk / 4);
    QVector<Row> rows = m_reader.fromPosition(start, RowWindow::ReadSize);
    if (rows.isEmpty() && start > 0)
        return {}; // past the end, but where the end is this read does not tell
    m_window.setReadForward(std::move(rows), start, start == 0);
    if (index - start < m_window.size())
        return m_window.at(index - start);
    return {};
}

void TableDataset::moveTo(int index) {
    if (!isOpen())
        return;
    checkBrowseMode();
    const Row row = rowAt(index);
    if (row.isEmpty())
        return;
    m_cursor.setRow(row, index);
    m_cursor.bof = m_cursor.eof = false;
    notifyCurrentChanged();
}

bool TableDataset::locate(const QString& column, const QVariant& value) {
    if (!isOpen())
        return false;
    checkBrowseMode();
    ensureLoaded();
    const int col = requireColumn(column);
    const QVariant wanted = convert(col, value);
    auto equal = [&](const Row& r) {
        return wanted.isNull() ? r[col].isNull() : (!r[col].isNull() && r[col] == wanted);
    };
    if (m_window.wholeSet() || !keyed()) {
        for (int i = 0; i < m_window.size(); ++i) {
            if (equal(m_window.at(i))) {
                m_cursor.setRow(m_window.at(i), m_window.positionOf(i));
                m_cursor.bof = m_cursor.eof = false;
                notifyCurrentChanged();
                return true;
            }
        }
        return false;
    }
    const std::optional<Row> row = m_reader.firstEqual(col, wanted);
    if (!row || !equal(*row))
        return false;
    m_window.set(QVector<Row>{*row}, -1, false, false);
    m_cursor.setRow(*row, -1);
    m_cursor.bof = m_cursor.eof = false;
    notifyCurrentChanged();
    return true;
}

void TableDataset::setFilter(const QString& text) {
    FilterExpression parsed = FilterExpression::parse(text);
    parsed.bind(schema());
    if (isOpen() && m_reader.filtered())
        checkBrowseMode();
    m_filterText = text;
    m_reader.setFilter(std::move(parsed));
    if (isOpen() && m_reader.filtered()) {
        markStaleKeeping();
        notifyRowsChanged();
        notifyCurrentChanged();
    }
}

void TableDataset::setFiltered(bool on) {
    if (on == m_reader.filtered())
        return;
    if (isOpen())
        checkBrowseMode();
    m_reader.setFiltered(on);
    if (isOpen()) {
        markStaleKeeping();
        notifyRowsChanged();
        notifyCurrentChanged();
    }
}

void TableDataset::refilter(const QString& text) {
    ControlsDisabled quiet(*this);
    setFiltered(false);
    setFilter(text);
    setFiltered(true);
}

void TableDataset::checkBrowseMode() {
    if (m_state == State::Edit || m_state == State::Insert)
        post();
}

void TableDataset::append() {
    if (!isOpen())
        throw DatasetStateError(QStringLiteral("%1: a tabela está fechada").arg(m_table));
    checkBrowseMode();
    // A view still to be read stays so: a unit appending row after row reads nothing in between.
    m_beforeAppend = m_cursor;
    m_edit.startAppend(int(schema().columns.size()));
    m_state = State::Insert;
    notifyStateChanged();
    notifyCurrentChanged();
}

void TableDataset::edit() {
    if (m_state == State::Edit || m_state == State::Insert)
        return;
    if (!isOpen())
        throw DatasetStateError(QStringLiteral("%1: a tabela está fechada").arg(m_table));
    ensureLoaded();
    if (!m_cursor.hasRow)
        throw DatasetStateError(QStringLiteral("%1: não há registro para editar").arg(m_table));
    m_edit.startEdit(m_cursor.row, int(schema().columns.size()));
    m_state = State::Edit;
    notifyStateChanged();
}

void TableDataset::cancel() {
    if (m_state != State::Edit && m_state != State::Insert)
        return;
    if (m_state == State::Insert) {
        // A view that was still to be read when the append began is read afresh when next looked at.
        if (m_beforeAppend.reload.due)
            forgetView();
        m_cursor = m_beforeAppend;
    }
    m_edit.clear();
    m_state = State::Browse;
    notifyStateChanged();
    notifyCurrentChanged();
}

void TableDataset::post() {
    if (m_state != State::Edit && m_state != State::Insert)
        return;
    emit aboutToPost();
    if (m_state == State::Insert)
        m_writer.insert(m_edit.values());
    else
        m_writer.update(m_cursor.row, m_edit.values(), m_edit.changed());
    std::optional<qlonglong> key;
    if (keyed())
        key = m_edit.value(schema().keyColumn).toLongLong();
    const Row written = m_edit.values();
    m_state = State::Browse;
    m_edit.clear();
    if (key)
        markStaleAt(*key);
    else
        repositionAfterChange(key, m_window.wholeSet());
    if (!keyed()) {
        for (int i = 0; i < m_window.size(); ++i)
            if (m_window.at(i) == written)
                m_cursor.setRow(m_window.at(i), i);
    }
    notifyStateChanged();
    notifyRowsChanged();
    notifyCurrentChanged();
}

void TableDataset::remove() {
    if (m_state == State::Insert) {
        cancel();
        return;
    }
    ensureLoaded();
    if (!isOpen() || !m_cursor.hasRow)
        throw DatasetStateError(QStringLiteral("%1: não há registro para excluir").arg(m_table));
    std::optional<qlonglong> key;
    if (keyed())
        key = keyOf(m_cursor.row);
    m_writer.remove(m_cursor.row);
    const bool wasEditing = m_state == State::Edit;
    m_state = State::Browse;
    m_edit.clear();
    if (key)
        markStaleAt(*key);
    else
        repositionAfterChange(key, m_window.wholeSet());
    if (wasEditing)
        notifyStateChanged();
    notifyRowsChanged();
    notifyCurrentChanged();
}

// Reads the view again after a change and puts the cursor on the given row, or on the one after it when it is
// gone (deleted, or no longer let through by the filter), or on the last row.
void TableDataset::repositionAfterChange(std::optional<qlonglong> key, bool wasSmall) {
    m_cursor.reload.due = false;
    m_cursor.reload.key.reset();
    const int oldIndex = m_cursor.index;
    if (!keyed() || !key) {
        loadFirst();
        if (!keyed() && oldIndex >= 0 && oldIndex < m_window.size())
            m_cursor.setRow(m_window.at(oldIndex), oldIndex);
        return;
    }
    if (wasSmall) {
        loadFirst();
        if (m_window.wholeSet()) {
            if (const int i = m_window.lowerBound(*key); i < m_window.size()) {
                m_cursor.setRow(m_window.at(i), i);
                m_cursor.bof = m_cursor.eof = false;
            } else if (!m_window.isEmpty()) {
                m_cursor.setRow(m_window.rows().back(), m_window.size() - 1);
                m_cursor.bof = m_cursor.eof = false;
            }
            return;
        }
    }
    forgetView();
    QVector<Row> rows = m_reader.fromKey(*key, RowWindow::ReadSize);
    if (rows.isEmpty()) {
        loadLast();
        m_cursor.eof = m_window.isEmpty();
        return;
    }
    m_window.setReadForward(std::move(rows), -1, false);
    m_cursor.setRow(m_window.at(0), -1);
    m_cursor.bof = m_cursor.eof = false;
}

void TableDataset::onTransactionEnded() {
    if (!isOpen())
        return;
    // The unit's rows are now either committed or gone: show the database as it is.
    if (m_state == State::Edit || m_state == State::Insert)
        cancel();
    refreshLater();
    notifyRowsChanged();
    notifyCurrentChanged();
}

QVariant TableDataset::keyValue() const {
    if (!keyed())
        return QVariant();
    return value(schema().keyColumn);
}

QVariant TableDataset::value(int column) const {
    if (m_state == State::Edit || m_state == State::Insert)
        return m_edit.value(column);
    ensureLoaded();
    if (!m_cursor.hasRow)
        return QVariant();
    return m_cursor.row.value(column);
}

QVariant TableDataset::oldValue(const QString& column) const {
    const int c = requireColumn(column);
    if (m_state == State::Insert || !m_cursor.hasRow)
        return QVariant();
    return m_cursor.row.value(c);
}

QVariant TableDataset::value(const QString& column) const {
    // Aggregates read like columns, so that a label can show the ledger's total.
    if (columnIndex(column) < 0 && hasAggregate(column)) {
        const std::optional<Currency> total = aggregate(column);
        return total ? QVariant::fromValue(*total) : QVariant();
    }
    return value(requireColumn(column));
}

void TableDataset::setValue(int column, const QVariant& v) {
    if (m_state != State::Edit && m_state != State::Insert)
        throw DatasetStateError(QStringLiteral("%1: o registro não está em edição").arg(m_table));
    m_edit.setValue(column, convert(column, v));
    notifyCurrentChanged();
}

void TableDataset::setValue(const QString& column, const QVariant& v) {
    setValue(requireColumn(column), v);
}

QVariant TableDataset::convert(int column, const QVariant& v) const {
    return convertToColumn(schema().columns[column].type, v);
}

std::optional<Currency> TableDataset::sum(const QString& column) const {
    if (!isOpen())
        return std::nullopt;
    const int col = requireColumn(column);
    return m_aggregates.sum(col, schema().columns[col].name);
}

void TableDataset::defineSum(const QString& name, const QString& column) {
    m_aggregates.defineSum(name, column);
}

bool TableDataset::hasAggregate(const QString& name) const {
    return m_aggregates.hasSum(name);
}

std::optional<Currency> TableDataset::aggregate(const QString& name) const {
    const std::optional<QString> column = m_aggregates.sumColumn(name);
    if (!column)
        throw DatabaseError(QStringLiteral("%1: agregado '%2' não definido").arg(m_table, name));
    return sum(*column);
}

int TableDataset::nextCode() const {
    if (!keyed())
        throw DatasetStateError(QStringLiteral("%1 não tem código").arg(m_table));
    return m_reader.highestKey().value_or(0) + 1;
}

int TableDataset::postUnderNextCode() {
    return retryingOnKeyConflict(
        [this] {
            const int code = nextCode();
            setValue(schema().keyColumn, code);
            post();
            return code;
        },
        KeyConflicts::Pause::None);
}

void TableDataset::postTakingAFreeCode() {
    const bool isNew = m_state == State::Insert;
    bool again = false;
    retryingOnKeyConflict([&] {
        if (again && isNew)
            setValue(schema().keyColumn, nextCode());
        again = true;
        post();
    });
}
