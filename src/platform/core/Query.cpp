#include "platform/core/Query.h"

#include "platform/core/Connection.h"
#include "platform/core/Errors.h"

QString replaceNamedParameters(const QString& sql, QStringList& names) {
    QString out;
    out.reserve(sql.size());
    const qsizetype n = sql.size();
    for (qsizetype i = 0; i < n;) {
        const QChar ch = sql[i];
        if (ch == u'\'' || ch == u'"') {
            const qsizetype end = sql.indexOf(ch, i + 1);
            const qsizetype stop = end < 0 ? n : end + 1;
            out += QStringView(sql).mid(i, stop - i);
            i = stop;
        } else if (ch == u'-' && i + 1 < n && sql[i + 1] == u'-') {
            const qsizetype end = sql.indexOf(u'\n', i);
            const qsizetype stop = end < 0 ? n : end;
            out += QStringView(sql).mid(i, stop - i);
            i = stop;
        } else if (ch == u'/' && i + 1 < n && sql[i + 1] == u'*') {
            const qsizetype end = sql.indexOf(QStringLiteral("*/"), i + 2);
            const qsizetype stop = end < 0 ? n : end + 2;
            out += QStringView(sql).mid(i, stop - i);
            i = stop;
        } else if (ch == u':' && i + 1 < n && (sql[i + 1].isLetter() || sql[i + 1] == u'_')) {
            qsizetype j = i + 1;
            while (j < n && (sql[j].isLetterOrNumber() || sql[j] == u'_'))
                ++j;
            names << sql.mid(i + 1, j - i - 1).toUpper();
            out += u'?';
            i = j;
        } else {
            out += ch;
            ++i;
        }
    }
    return out;
}

Query::Query(Connection& connection, QObject* parent)
    : Dataset(parent)
    , m_connection(connection)
    , m_aggregates(
          connection, [this](QVariantList& params) { return QStringLiteral("(%1)").arg(positional(params)); },
          [this] { return m_fetchedAll ? &m_rows : nullptr; }) {
    connect(&m_connection, &Connection::aboutToClose, this, &Query::close);
    connect(&m_connection, &Connection::transactionEnded, this, [this] {
        if (m_open)
            reopen();
    });
}

Query::~Query() = default;

void Query::setSql(const QString& sql) {
    close();
    m_sql = sql;
    m_names.clear();
    m_positionalSql = replaceNamedParameters(sql, m_names);
}

void Query::setParam(const QString& name, const QVariant& value) {
    const QString key = name.toUpper();
    if (!m_names.contains(key))
        throw DatabaseError(QStringLiteral("Parâmetro '%1' não encontrado").arg(name));
    m_values.insert(key, value);
}

QString Query::positional(QVariantList& params) const {
    for (const QString& name : m_names) {
        auto it = m_values.find(name);
        if (it == m_values.end())
            throw DatabaseError(QStringLiteral("Parâmetro '%1' sem valor").arg(name));
        params << *it;
    }
    return m_positionalSql;
}

void Query::open() {
    if (m_open)
        return;
    QVariantList params;
    const QString sql = positional(params);
    auto q = m_connection.openCursor(sql, params);
    m_columns = q->columnNames();
    m_types = q->columnTypes();
    m_query = std::move(q);
    m_rows.clear();
    m_fetchedAll = false;
    m_aggregates.forget();
    m_open = true;
    m_current = 0;
    fetchUpTo(1);
    m_bof = true;
    m_eof = m_rows.isEmpty();
    notifyStateChanged();
    notifyRowsChanged();
    notifyCurrentChanged();
}

void Query::close() {
    if (!m_open && !m_query)
        return;
    m_query.reset(); // ends the statement's own transaction
    m_rows.clear();
    m_columns.clear();
    m_open = false;
    m_eof = m_bof = true;
    m_current = 0;
    notifyStateChanged();
    notifyRowsChanged();
    notifyCurrentChanged();
}

void Query::reopen() {
    const int at = m_current;
    m_query.reset();
    m_open = false;
    open();
    moveTo(at);
}

int Query::execSql() {
    QVariantList params;
    const QString sql = positional(params);
    return m_connection.execute(sql, params);
}

void Query::fetchUpTo(int count) const {
    if (!m_query)
        return;
    Row row;
    while (fetchedCount() < count) {
        bool more = false;
        try {
            more = m_query->next(row);
        } catch (...) {
            m_fetchedAll = true;
            m_query.reset();
            throw;
        }
        if (!more) {
            m_fetchedAll = true;
            m_query.reset();
            return;
        }
        m_rows.append(row);
    }
}

int Query::recordCount() const {
    if (!m_open)
        return 0;
    return m_aggregates.count();
}

void Query::first() {
    m_current = 0;
    m_bof = true;
    m_eof = fetchedCount() == 0;
    notifyCurrentChanged();
}

void Query::next() {
    if (!m_open)
        return;
    fetchUpTo(m_current + 2);
    if (m_current + 1 < fetchedCount()) {
        ++m_current;
        m_bof = false;
        notifyCurrentChanged();
    } else {
        m_eof = true;
    }
}

void Query::prior() {
    if (m_current > 0) {
        --m_current;
        m_eof = false;
        notifyCurrentChanged();
    } else {
        m_bof = true;
    }
}

void Query::last() {
    if (!m_open)
        return;
    fetchUpTo(std::numeric_limits<int>::max());
    m_current = std::max(0, fetchedCount() - 1);
    m_eof = true;
    m_bof = fetchedCount() == 0;
    notifyCurrentChanged();
}

void Query::moveTo(int index) {
    if (!m_open || index < 0)
        return;
    fetchUpTo(index + 1);
    if (index < fetchedCount()) {
        m_current = index;
        m_bof = m_eof = false;
        notifyCurrentChanged();
    }
}

Row Query::rowAt(int index) const {
    if (!m_open || index < 0)
        return {};
    fetchUpTo(index + 1);
    return index < fetchedCount() ? m_rows[index] : Row();
}

int Query::columnIndex(const QString& name) const {
    for (int i = 0; i < m_columns.size(); ++i)
        if (m_columns[i].compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

QVariant Query::value(int column) const {
    if (!m_open || m_current >= fetchedCount())
        return QVariant();
    return m_rows[m_current].value(column);
}

QVariant Query::value(const QString& column) const {
    const int c = columnIndex(column);
    if (c < 0 && m_open)
        throw DatabaseError(QStringLiteral("Coluna '%1' não encontrada").arg(column));
    return value(c);
}

std::optional<Currency> Query::sum(const QString& column) const {
    if (!m_open)
        return std::nullopt;
    const int c = columnIndex(column);
    if (c < 0)
        throw DatabaseError(QStringLiteral("Coluna '%1' não encontrada").arg(column));
    return m_aggregates.sum(c, m_columns[c]);
}

std::optional<Currency> Query::aggregate(const QString& name) const {
    const std::optional<QString> column = m_aggregates.sumColumn(name);
    if (!column)
        throw DatabaseError(QStringLiteral("Agregado '%1' não definido").arg(name));
    return sum(*column);
}
