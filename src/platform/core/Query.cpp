#include "platform/core/Query.h"

#include "platform/core/Connection.h"
#include "platform/core/Errors.h"

#include <QRegularExpression>
#include <limits>

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

QString withoutTrailingOrderBy(const QString& sql) {
    qsizetype depth = 0;
    qsizetype orderAt = -1;
    const qsizetype n = sql.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar ch = sql[i];
        if (ch == u'\'' || ch == u'"') {
            const qsizetype end = sql.indexOf(ch, i + 1);
            if (end < 0)
                return sql;
            i = end;
        } else if (ch == u'(') {
            ++depth;
        } else if (ch == u')') {
            --depth;
        } else if (depth == 0 && (ch == u'O' || ch == u'o') && (i == 0 || !sql[i - 1].isLetterOrNumber()) &&
                   QStringView(sql).mid(i, 5).compare(QStringLiteral("ORDER"), Qt::CaseInsensitive) == 0) {
            qsizetype j = i + 5;
            if (j < n && !sql[j].isSpace())
                continue;
            while (j < n && sql[j].isSpace())
                ++j;
            if (QStringView(sql).mid(j, 2).compare(QStringLiteral("BY"), Qt::CaseInsensitive) == 0)
                orderAt = i;
        }
    }
    if (orderAt < 0)
        return sql;
    // A row limit after the order picks rows by it: then the order stays.
    static const QRegularExpression limit(QStringLiteral("\\b(ROWS|OFFSET|FETCH)\\b"),
                                          QRegularExpression::CaseInsensitiveOption);
    if (limit.match(sql, orderAt).hasMatch())
        return sql;
    return sql.left(orderAt);
}

Query::Query(Connection& connection, QObject* parent)
    : Dataset(parent)
    , m_connection(connection)
    , m_aggregates(
          connection,
          [this](QVariantList& params) {
              // Columns named by position: a join's "select *" repeats names, which a derived table refuses.
              // The order changes no count or sum, and sorting for them would be wasted.
              QStringList positions;
              for (int i = 0; i < m_columns.size(); ++i)
                  positions << QStringLiteral("C%1").arg(i + 1);
              return QStringLiteral("(%1) Q (%2)")
                  .arg(withoutTrailingOrderBy(positional(params)), positions.join(u','));
          },
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
    // A name met again takes a suffix, as the joined customer's CODIGO_1, so that every column can be named.
    m_columns.clear();
    for (const QString& name : q->columnNames()) {
        QString unique = name;
        for (int k = 1; m_columns.contains(unique, Qt::CaseInsensitive); ++k)
            unique = QStringLiteral("%1_%2").arg(name).arg(k);
        m_columns << unique;
    }
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
    if (!m_query || fetchedCount() >= count)
        return;
    // A block of rows at a time: a short result is then read whole at once, and its count known without
    // asking the database.
    constexpr int Block = 200;
    const int goal =
        count > std::numeric_limits<int>::max() - Block ? count : (count + Block - 1) / Block * Block;
    Row row;
    while (fetchedCount() < goal) {
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
    // Named sums read like columns, so that a label can show the total.
    if (c < 0 && m_aggregates.hasSum(column)) {
        const std::optional<Currency> total = aggregate(column);
        return total ? QVariant::fromValue(*total) : QVariant();
    }
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
    return m_aggregates.sum(c, QStringLiteral("C%1").arg(c + 1));
}

std::optional<Currency> Query::aggregate(const QString& name) const {
    const std::optional<QString> column = m_aggregates.sumColumn(name);
    if (!column)
        throw DatabaseError(QStringLiteral("Agregado '%1' não definido").arg(name));
    return sum(*column);
}
