#include "platform/core/TableDataset.h"

#include "platform/core/Connection.h"
#include "platform/core/Errors.h"
#include "platform/core/Formats.h"

#include <algorithm>

namespace {

// Rows read at a time: a screenful of a grid many times over, a customer's whole ledger in one go.
constexpr int Chunk = 200;

} // namespace

TableDataset::TableDataset(Connection& connection, const QString& table, QObject* parent)
    : Dataset(parent)
    , m_connection(connection)
    , m_table(table.toUpper())
    , m_writer(connection, m_table) {
    connect(&m_connection, &Connection::aboutToClose, this, &TableDataset::close);
    connect(&m_connection, &Connection::transactionEnded, this, &TableDataset::onTransactionEnded);
}

const TableSchema& TableDataset::schema() const {
    return m_connection.schema(m_table);
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

// Money is read as its exact decimal text; the driver alone would hand it over as a double.
QString TableDataset::selectList() const {
    QStringList cols;
    for (const ColumnInfo& c : schema().columns)
        cols << (c.type == ColumnType::Numeric ? QStringLiteral("CAST(%1 AS VARCHAR(30))").arg(c.name)
                                               : c.name);
    return cols.join(QStringLiteral(", "));
}

QString TableDataset::whereSql(QVariantList& params) const {
    if (!m_filtered || m_filter.isEmpty())
        return QStringLiteral("1 = 1");
    return m_filter.toSql(params);
}

QString TableDataset::orderSql(bool descending) const {
    if (!keyed())
        return QString();
    const QString key = schema().columns[schema().keyColumn].name;
    // Walking the key in order suits a large view; a filter that picks few rows through its own index is
    // better served by sorting those few. A prefix may pick many: its count (which the screens show anyway)
    // decides.
    bool sortFew = false;
    if (m_filtered) {
        switch (m_filter.selectivity()) {
        case FilterExpression::Selectivity::Equality:
            sortFew = true;
            break;
        case FilterExpression::Selectivity::Prefix:
            sortFew = recordCount() <= 4 * Chunk;
            break;
        case FilterExpression::Selectivity::None:
            break;
        }
    }
    return QStringLiteral(" ORDER BY %1%2%3")
        .arg(key, sortFew ? QStringLiteral("+0") : QString(),
             descending ? QStringLiteral(" DESC") : QString());
}

QVector<Row> TableDataset::fetch(const QString& extraCondition, const QVariantList& extraParams,
                                 bool descending, int limit, int skip) const {
    QVariantList params;
    QString sql = QStringLiteral("select ");
    if (keyed()) {
        sql += QStringLiteral("first %1 ").arg(limit);
        if (skip > 0)
            sql += QStringLiteral("skip %1 ").arg(skip);
    }
    sql += selectList() + QStringLiteral(" from ") + m_table + QStringLiteral(" where ") + whereSql(params);
    if (!extraCondition.isEmpty()) {
        sql += QStringLiteral(" and ") + extraCondition;
        params += extraParams;
    }
    sql += orderSql(descending);
    QVector<ColumnType> types;
    for (const ColumnInfo& c : schema().columns)
        types << c.type;
    return m_connection.select(sql, params, &types);
}

int TableDataset::findCached(qlonglong key) const {
    if (!keyed())
        return m_hasCurrent ? m_currentIndex : -1;
    auto it = std::lower_bound(m_cache.cbegin(), m_cache.cend(), key,
                               [this](const Row& r, qlonglong k) { return keyOf(r) < k; });
    if (it == m_cache.cend() || keyOf(*it) != key)
        return -1;
    return int(it - m_cache.cbegin());
}

void TableDataset::setCache(QVector<Row> rows, int start, bool headComplete, bool tailComplete) const {
    m_cache = std::move(rows);
    m_cacheStart = start;
    m_headComplete = headComplete;
    m_tailComplete = tailComplete;
}

void TableDataset::setCurrent(const Row& row, int index) {
    m_current = row;
    m_hasCurrent = true;
    m_currentIndex = index;
}

void TableDataset::clearCurrent() {
    m_current.clear();
    m_hasCurrent = false;
    m_currentIndex = -1;
}

void TableDataset::invalidate() {
    m_cache.clear();
    m_cacheStart = -1;
    m_headComplete = m_tailComplete = false;
    m_count.reset();
    m_sums.clear();
}

void TableDataset::ensureLoaded() const {
    if (!m_stale || !isOpen())
        return;
    auto* self = const_cast<TableDataset*>(this);
    if (m_pendingKey && m_pendingKeep)
        self->loadFirstKeeping(*m_pendingKey);
    else if (m_pendingKey)
        self->repositionAfterChange(m_pendingKey, m_pendingWasSmall);
    else
        self->loadFirst();
}

// After a new filter: the current row stays current if the filter lets it through, else the first row is.
void TableDataset::loadFirstKeeping(qlonglong key) {
    loadFirst();
    if (const int pos = findCached(key); pos >= 0) {
        setCurrent(m_cache[pos], pos);
        m_bof = pos == 0;
        return;
    }
    if (m_tailComplete)
        return;
    const QVector<Row> rows =
        fetch(QStringLiteral("%1 = ?").arg(schema().columns[schema().keyColumn].name), {key}, false, 1);
    if (rows.isEmpty())
        return;
    setCache(rows, -1, false, false);
    setCurrent(rows.front(), -1);
    m_bof = m_eof = false;
}

void TableDataset::markStaleKeeping() {
    const std::optional<qlonglong> key =
        m_hasCurrent && keyed() && !m_stale ? std::optional<qlonglong>(keyOf(m_current)) : m_pendingKey;
    markStale();
    m_pendingKey = key;
    m_pendingKeep = key.has_value();
}

void TableDataset::markStale() {
    invalidate();
    clearCurrent();
    m_stale = true;
    m_pendingKey.reset();
    m_pendingKeep = false;
}

// After a write the view is read again only when someone looks, on the written row: a unit that writes many
// rows in a row reads nothing in between.
void TableDataset::markStaleAt(qlonglong key) {
    const bool small = m_stale ? m_pendingWasSmall : wholeSetCached();
    markStale();
    m_pendingKey = key;
    m_pendingWasSmall = small;
}

// What refresh() does, when someone next looks.
void TableDataset::refreshLater() {
    if (m_stale || !keyed()) {
        refresh();
        return;
    }
    if (m_hasCurrent)
        markStaleAt(keyOf(m_current));
    else
        markStale();
}

void TableDataset::loadFirst() {
    invalidate();
    m_stale = false;
    m_pendingKey.reset();
    QVector<Row> rows = fetch(QString(), {}, false, Chunk + 1);
    const bool tail = !keyed() || rows.size() <= Chunk;
    if (rows.size() > Chunk && keyed())
        rows.resize(Chunk);
    setCache(std::move(rows), 0, true, tail);
    if (m_cache.isEmpty())
        clearCurrent();
    else
        setCurrent(m_cache.front(), 0);
    m_bof = true;
    m_eof = m_cache.isEmpty();
}

void TableDataset::loadLast() {
    m_stale = false;
    m_pendingKey.reset();
    if (!keyed()) {
        loadFirst();
        if (!m_cache.isEmpty())
            setCurrent(m_cache.back(), int(m_cache.size()) - 1);
        m_eof = true;
        m_bof = m_cache.isEmpty();
        return;
    }
    invalidate();
    QVector<Row> rows = fetch(QString(), {}, true, Chunk + 1);
    const bool head = rows.size() <= Chunk;
    if (!head)
        rows.resize(Chunk);
    std::reverse(rows.begin(), rows.end());
    const int n = int(rows.size());
    setCache(std::move(rows), head ? 0 : -1, head, true);
    if (m_cache.isEmpty())
        clearCurrent();
    else
        setCurrent(m_cache.back(), head ? n - 1 : -1);
    m_eof = true;
    m_bof = m_cache.isEmpty();
}

void TableDataset::open() {
    if (isOpen())
        return;
    m_connection.ensureOpen();
    const TableSchema& s = schema(); // a missing table fails here, with the engine's words
    if (!m_filterText.isEmpty())
        m_filter.bind(s);
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
    invalidate();
    clearCurrent();
    m_stale = false;
    m_buffer.clear();
    m_eof = m_bof = true;
    notifyStateChanged();
    notifyRowsChanged();
    notifyCurrentChanged();
}

void TableDataset::refresh() {
    if (!isOpen())
        return;
    checkBrowseMode();
    if (m_stale) {
        invalidate();
        return;
    }
    repositionAfterChange(m_hasCurrent && keyed() ? std::optional<qlonglong>(keyOf(m_current)) : std::nullopt,
                          wholeSetCached());
}

void TableDataset::first() {
    if (!isOpen())
        return;
    checkBrowseMode();
    if (m_headComplete && !m_cache.isEmpty()) {
        setCurrent(m_cache.front(), 0);
        m_bof = true;
        m_eof = false;
    } else {
        loadFirst();
    }
    notifyCurrentChanged();
}

void TableDataset::last() {
    if (!isOpen())
        return;
    checkBrowseMode();
    if (m_tailComplete && !m_cache.isEmpty() && keyed()) {
        const int n = int(m_cache.size());
        setCurrent(m_cache.back(), m_cacheStart >= 0 ? m_cacheStart + n - 1 : -1);
        m_eof = true;
        m_bof = false;
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
    if (!m_hasCurrent) {
        m_eof = true;
        return;
    }
    const int pos = findCached(keyOf(m_current));
    const int index = m_currentIndex;
    if (pos >= 0 && pos + 1 < m_cache.size()) {
        setCurrent(m_cache[pos + 1], index >= 0 ? index + 1 : -1);
        m_bof = m_eof = false;
        notifyCurrentChanged();
        return;
    }
    if ((pos >= 0 && m_tailComplete) || !keyed()) {
        m_eof = true;
        return;
    }
    QVector<Row> rows = fetch(QStringLiteral("%1 > ?").arg(schema().columns[schema().keyColumn].name),
                              {keyOf(m_current)}, false, Chunk + 1);
    if (rows.isEmpty()) {
        m_eof = true;
        return;
    }
    const bool tail = rows.size() <= Chunk;
    if (!tail)
        rows.resize(Chunk);
    const int start = index >= 0 ? index + 1 : -1;
    setCache(std::move(rows), start, false, tail);
    setCurrent(m_cache.front(), start);
    m_bof = m_eof = false;
    notifyCurrentChanged();
}

void TableDataset::prior() {
    if (!isOpen())
        return;
    checkBrowseMode();
    ensureLoaded();
    if (!m_hasCurrent) {
        m_bof = true;
        return;
    }
    const int pos = findCached(keyOf(m_current));
    const int index = m_currentIndex;
    if (pos > 0) {
        setCurrent(m_cache[pos - 1], index >= 0 ? index - 1 : -1);
        m_bof = m_eof = false;
        notifyCurrentChanged();
        return;
    }
    if ((pos == 0 && m_headComplete) || !keyed()) {
        m_bof = true;
        return;
    }
    QVector<Row> rows = fetch(QStringLiteral("%1 < ?").arg(schema().columns[schema().keyColumn].name),
                              {keyOf(m_current)}, true, Chunk + 1);
    if (rows.isEmpty()) {
        m_bof = true;
        return;
    }
    const bool head = rows.size() <= Chunk;
    if (!head)
        rows.resize(Chunk);
    std::reverse(rows.begin(), rows.end());
    const int n = int(rows.size());
    const int start = head ? 0 : (index >= 0 ? index - n : -1);
    setCache(std::move(rows), start, head, false);
    setCurrent(m_cache.back(), start >= 0 ? start + n - 1 : -1);
    m_bof = m_eof = false;
    notifyCurrentChanged();
}

int TableDataset::knownRowCount() const {
    if (!isOpen())
        return 0;
    if (wholeSetCached())
        return int(m_cache.size());
    if (m_count)
        return *m_count;
    if (m_tailComplete && m_cacheStart >= 0)
        return m_cacheStart + int(m_cache.size());
    return -1;
}

int TableDataset::recordCount() const {
    if (!isOpen())
        return 0;
    if (wholeSetCached())
        return int(m_cache.size());
    if (!m_count) {
        QVariantList params;
        const QString where = whereSql(params);
        m_count =
            m_connection
                .selectValue(QStringLiteral("select count(*) from %1 where %2").arg(m_table, where), params)
                .toInt();
    }
    return *m_count;
}

int TableDataset::recordNo() const {
    ensureLoaded();
    if (!isOpen() || !m_hasCurrent)
        return -1;
    if (m_currentIndex >= 0)
        return m_currentIndex;
    const qlonglong key = keyOf(m_current);
    const int pos = findCached(key);
    if (pos >= 0 && m_cacheStart >= 0) {
        m_currentIndex = m_cacheStart + pos;
        return m_currentIndex;
    }
    QVariantList params;
    const QString where = whereSql(params);
    params << key;
    m_currentIndex = m_connection
                         .selectValue(QStringLiteral("select count(*) from %1 where %2 and %3 < ?")
                                          .arg(m_table, where, schema().columns[schema().keyColumn].name),
                                      params)
                         .toInt();
    return m_currentIndex;
}

Row TableDataset::rowAt(int index) const {
    if (!isOpen() || index < 0)
        return {};
    ensureLoaded();
    if (m_cacheStart >= 0 && index >= m_cacheStart && index < m_cacheStart + m_cache.size())
        return m_cache[index - m_cacheStart];
    if (!keyed() || (m_tailComplete && m_cacheStart >= 0 && index >= m_cacheStart + m_cache.size()))
        return {};
    const int start = std::max(0, index - Chunk / 4);
    QVector<Row> rows = fetch(QString(), {}, false, Chunk + 1, start);
    if (rows.isEmpty() && start > 0)
        return {}; // past the end, but where the end is this read does not tell
    const bool tail = rows.size() <= Chunk;
    if (!tail)
        rows.resize(Chunk);
    setCache(std::move(rows), start, start == 0, tail);
    if (index - start < m_cache.size())
        return m_cache[index - start];
    return {};
}

void TableDataset::moveTo(int index) {
    if (!isOpen())
        return;
    checkBrowseMode();
    const Row row = rowAt(index);
    if (row.isEmpty())
        return;
    setCurrent(row, index);
    m_bof = m_eof = false;
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
    if (wholeSetCached() || !keyed()) {
        for (int i = 0; i < m_cache.size(); ++i) {
            if (equal(m_cache[i])) {
                setCurrent(m_cache[i], m_cacheStart >= 0 ? m_cacheStart + i : -1);
                m_bof = m_eof = false;
                notifyCurrentChanged();
                return true;
            }
        }
        return false;
    }
    const ColumnInfo& info = schema().columns[col];
    QString condition;
    QVariantList params;
    if (wanted.isNull()) {
        condition = QStringLiteral("%1 IS NULL").arg(info.name);
    } else if (info.type == ColumnType::Text) {
        // "=" alone would ignore trailing blanks.
        condition = QStringLiteral("(%1 = ? AND OCTET_LENGTH(%1) = ?)").arg(info.name);
        params << wanted << int(wanted.toString().toUtf8().size());
    } else {
        condition = QStringLiteral("%1 = ?").arg(info.name);
        params << wanted;
    }
    const QVector<Row> rows = fetch(condition, params, false, 1);
    if (rows.isEmpty() || !equal(rows.front()))
        return false;
    setCache(rows, -1, false, false);
    setCurrent(rows.front(), -1);
    m_bof = m_eof = false;
    notifyCurrentChanged();
    return true;
}

void TableDataset::setFilter(const QString& text) {
    FilterExpression parsed = FilterExpression::parse(text);
    parsed.bind(schema());
    if (isOpen() && m_filtered)
        checkBrowseMode();
    m_filterText = text;
    m_filter = std::move(parsed);
    if (isOpen() && m_filtered) {
        markStaleKeeping();
        notifyRowsChanged();
        notifyCurrentChanged();
    }
}

void TableDataset::setFiltered(bool on) {
    if (on == m_filtered)
        return;
    if (isOpen())
        checkBrowseMode();
    m_filtered = on;
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
    m_savedStale = m_stale;
    m_savedPendingKey = m_pendingKey;
    m_savedPendingWasSmall = m_pendingWasSmall;
    m_savedPendingKeep = m_pendingKeep;
    m_savedCurrent = m_current;
    m_savedHasCurrent = m_hasCurrent;
    m_savedIndex = m_currentIndex;
    m_buffer = Row(schema().columns.size());
    m_modified = QVector<bool>(schema().columns.size(), false);
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
    if (!m_hasCurrent)
        throw DatasetStateError(QStringLiteral("%1: não há registro para editar").arg(m_table));
    m_buffer = m_current;
    m_modified = QVector<bool>(schema().columns.size(), false);
    m_state = State::Edit;
    notifyStateChanged();
}

void TableDataset::cancel() {
    if (m_state != State::Edit && m_state != State::Insert)
        return;
    if (m_state == State::Insert && m_savedStale) {
        markStale();
        m_pendingKey = m_savedPendingKey;
        m_pendingWasSmall = m_savedPendingWasSmall;
        m_pendingKeep = m_savedPendingKeep;
    } else if (m_state == State::Insert) {
        m_current = m_savedCurrent;
        m_hasCurrent = m_savedHasCurrent;
        m_currentIndex = m_savedIndex;
    }
    m_buffer.clear();
    m_state = State::Browse;
    notifyStateChanged();
    notifyCurrentChanged();
}

void TableDataset::post() {
    if (m_state != State::Edit && m_state != State::Insert)
        return;
    emit aboutToPost();
    std::optional<qlonglong> key;
    if (m_state == State::Insert)
        m_writer.insert(m_buffer);
    else
        m_writer.update(m_current, m_buffer, m_modified);
    if (keyed())
        key = m_buffer[schema().keyColumn].toLongLong();
    const Row written = m_buffer;
    m_state = State::Browse;
    m_buffer.clear();
    if (key)
        markStaleAt(*key);
    else
        repositionAfterChange(key, wholeSetCached());
    if (!keyed()) {
        for (int i = 0; i < m_cache.size(); ++i)
            if (m_cache[i] == written)
                setCurrent(m_cache[i], i);
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
    if (!isOpen() || !m_hasCurrent)
        throw DatasetStateError(QStringLiteral("%1: não há registro para excluir").arg(m_table));
    std::optional<qlonglong> key;
    if (keyed())
        key = keyOf(m_current);
    m_writer.remove(m_current);
    const bool wasEditing = m_state == State::Edit;
    m_state = State::Browse;
    m_buffer.clear();
    if (key)
        markStaleAt(*key);
    else
        repositionAfterChange(key, wholeSetCached());
    if (wasEditing)
        notifyStateChanged();
    notifyRowsChanged();
    notifyCurrentChanged();
}

// Reads the view again after a change and puts the cursor on the given row, or on the one after it when it is
// gone (deleted, or no longer let through by the filter), or on the last row.
void TableDataset::repositionAfterChange(std::optional<qlonglong> key, bool wasSmall) {
    m_stale = false;
    m_pendingKey.reset();
    const int oldIndex = m_currentIndex;
    if (!keyed() || !key) {
        loadFirst();
        if (!keyed() && oldIndex >= 0 && oldIndex < m_cache.size())
            setCurrent(m_cache[oldIndex], oldIndex);
        return;
    }
    const QString keyName = schema().columns[schema().keyColumn].name;
    if (wasSmall) {
        loadFirst();
        if (wholeSetCached()) {
            auto it = std::lower_bound(m_cache.cbegin(), m_cache.cend(), *key,
                                       [this](const Row& r, qlonglong k) { return keyOf(r) < k; });
            if (it != m_cache.cend()) {
                setCurrent(*it, int(it - m_cache.cbegin()));
                m_bof = m_eof = false;
            } else if (!m_cache.isEmpty()) {
                setCurrent(m_cache.back(), int(m_cache.size()) - 1);
                m_bof = m_eof = false;
            }
            return;
        }
    }
    invalidate();
    QVector<Row> rows = fetch(QStringLiteral("%1 >= ?").arg(keyName), {*key}, false, Chunk + 1);
    if (rows.isEmpty()) {
        loadLast();
        m_eof = m_cache.isEmpty();
        return;
    }
    const bool tail = rows.size() <= Chunk;
    if (!tail)
        rows.resize(Chunk);
    setCache(std::move(rows), -1, false, tail);
    setCurrent(m_cache.front(), -1);
    m_bof = m_eof = false;
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
        return m_buffer.value(column);
    ensureLoaded();
    if (!m_hasCurrent)
        return QVariant();
    return m_current.value(column);
}

QVariant TableDataset::oldValue(const QString& column) const {
    const int c = requireColumn(column);
    if (m_state == State::Insert || !m_hasCurrent)
        return QVariant();
    return m_current.value(c);
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
    m_buffer[column] = convert(column, v);
    m_modified[column] = true;
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
    const QString key = column.toUpper();
    if (auto it = m_sums.find(key); it != m_sums.end())
        return *it;
    std::optional<Currency> result;
    if (wholeSetCached()) {
        for (const Row& r : m_cache) {
            if (r[col].isNull())
                continue;
            result = result.value_or(Currency()) + r[col].value<Currency>();
        }
    } else {
        QVariantList params;
        const QString where = whereSql(params);
        const QVariant v =
            m_connection.selectValue(QStringLiteral("select CAST(sum(%1) AS VARCHAR(40)) from %2 where %3")
                                         .arg(schema().columns[col].name, m_table, where),
                                     params);
        if (!v.isNull())
            result = Currency::fromDbText(v.toString());
    }
    m_sums.insert(key, result);
    return result;
}

void TableDataset::defineSum(const QString& name, const QString& column) {
    m_aggregates.insert(name.toUpper(), column);
}

bool TableDataset::hasAggregate(const QString& name) const {
    return m_aggregates.contains(name.toUpper());
}

std::optional<Currency> TableDataset::aggregate(const QString& name) const {
    auto it = m_aggregates.find(name.toUpper());
    if (it == m_aggregates.end())
        throw DatabaseError(QStringLiteral("%1: agregado '%2' não definido").arg(m_table, name));
    return sum(*it);
}

int TableDataset::nextCode() const {
    const TableSchema& s = schema();
    if (s.keyColumn < 0)
        throw DatasetStateError(QStringLiteral("%1 não tem código").arg(m_table));
    const QVariant v = m_connection.selectValue(
        QStringLiteral("select max(%1) from %2").arg(s.columns[s.keyColumn].name, m_table));
    return v.isNull() ? 1 : v.toInt() + 1;
}
