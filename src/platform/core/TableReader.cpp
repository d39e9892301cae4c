#include "platform/core/TableReader.h"

#include "platform/core/Connection.h"
#include "platform/core/RowWindow.h"

TableReader::TableReader(Connection& connection, const QString& table, std::function<int()> visibleCount)
    : m_connection(connection)
    , m_table(table)
    , m_visibleCount(std::move(visibleCount)) {}

const TableSchema& TableReader::schema() const {
    return m_connection.schema(m_table);
}

// Money is read as its decimal text, which becomes Currency exactly.
QString TableReader::selectList() const {
    QStringList cols;
    for (const ColumnInfo& c : schema().columns)
        cols << (c.type == ColumnType::Numeric ? QStringLiteral("CAST(%1 AS VARCHAR(30))").arg(c.name)
                                               : c.name);
    return cols.join(QStringLiteral(", "));
}

QString TableReader::whereSql(QVariantList& params) const {
    if (!m_filtered || m_filter.isEmpty())
        return QStringLiteral("1 = 1");
    return m_filter.toSql(params);
}

QString TableReader::source(QVariantList& params) const {
    const QString where = whereSql(params);
    return QStringLiteral("%1 where %2").arg(m_table, where);
}

QString TableReader::orderSql(bool descending) const {
    if (!keyed())
        return QString();
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
            sortFew = m_visibleCount() <= 4 * RowWindow::Chunk;
            break;
        case FilterExpression::Selectivity::None:
            break;
        }
    }
    return QStringLiteral(" ORDER BY %1%2%3")
        .arg(keyName(), sortFew ? QStringLiteral("+0") : QString(),
             descending ? QStringLiteral(" DESC") : QString());
}

QVector<Row> TableReader::fetch(const QString& extraCondition, const QVariantList& extraParams,
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

QVector<Row> TableReader::first(int limit) const {
    return fetch(QString(), {}, false, limit);
}

QVector<Row> TableReader::last(int limit) const {
    return fetch(QString(), {}, true, limit);
}

QVector<Row> TableReader::after(qlonglong key, int limit) const {
    return fetch(QStringLiteral("%1 > ?").arg(keyName()), {key}, false, limit);
}

QVector<Row> TableReader::before(qlonglong key, int limit) const {
    return fetch(QStringLiteral("%1 < ?").arg(keyName()), {key}, true, limit);
}

QVector<Row> TableReader::fromKey(qlonglong key, int limit) const {
    return fetch(QStringLiteral("%1 >= ?").arg(keyName()), {key}, false, limit);
}

std::optional<Row> TableReader::atKey(qlonglong key) const {
    const QVector<Row> rows = fetch(QStringLiteral("%1 = ?").arg(keyName()), {key}, false, 1);
    if (rows.isEmpty())
        return std::nullopt;
    return rows.front();
}

QVector<Row> TableReader::fromPosition(int position, int limit) const {
    return fetch(QString(), {}, false, limit, position);
}

std::optional<Row> TableReader::firstEqual(int column, const QVariant& value) const {
    const ColumnInfo& info = schema().columns[column];
    QString condition;
    QVariantList params;
    if (value.isNull()) {
        condition = QStringLiteral("%1 IS NULL").arg(info.name);
    } else if (info.type == ColumnType::Text) {
        // "=" alone would ignore trailing blanks.
        condition = FilterExpression::textEquality(info.name, value.toString(), params, false,
                                                   info.type == ColumnType::Text ? info.length : 0);
    } else {
        condition = QStringLiteral("%1 = ?").arg(info.name);
        params << value;
    }
    const QVector<Row> rows = fetch(condition, params, false, 1);
    if (rows.isEmpty())
        return std::nullopt;
    return rows.front();
}

int TableReader::countBefore(qlonglong key) const {
    QVariantList params;
    const QString where = whereSql(params);
    params << key;
    return m_connection
        .selectValue(
            QStringLiteral("select count(*) from %1 where %2 and %3 < ?").arg(m_table, where, keyName()),
            params)
        .toInt();
}

std::optional<int> TableReader::highestKey() const {
    const QVariant v =
        m_connection.selectValue(QStringLiteral("select max(%1) from %2").arg(keyName(), m_table));
    if (v.isNull())
        return std::nullopt;
    return v.toInt();
}
