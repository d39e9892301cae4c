#include "platform/core/Aggregates.h"

#include "platform/core/Connection.h"

Aggregates::Aggregates(Connection& connection, Source source, WholeSet wholeSet)
    : m_connection(connection)
    , m_source(std::move(source))
    , m_wholeSet(std::move(wholeSet)) {}

int Aggregates::count() const {
    if (const QVector<Row>* rows = m_wholeSet())
        return int(rows->size());
    if (!m_count) {
        QVariantList params;
        const QString from = m_source(params);
        m_count = m_connection.selectValue(QStringLiteral("select count(*) from ") + from, params).toInt();
    }
    return *m_count;
}

std::optional<int> Aggregates::knownCount() const {
    if (const QVector<Row>* rows = m_wholeSet())
        return int(rows->size());
    return m_count;
}

std::optional<Currency> Aggregates::sum(int column, const QString& sqlName) const {
    if (auto it = m_sums.find(column); it != m_sums.end())
        return *it;
    std::optional<Currency> result;
    if (const QVector<Row>* rows = m_wholeSet()) {
        for (const Row& r : *rows) {
            if (r[column].isNull())
                continue;
            result = result.value_or(Currency()) + r[column].value<Currency>();
        }
    } else {
        QVariantList params;
        const QString from = m_source(params);
        // Read as decimal text, which becomes Currency exactly.
        const QVariant v = m_connection.selectValue(
            QStringLiteral("select CAST(sum(%1) AS VARCHAR(40)) from ").arg(sqlName) + from, params);
        if (!v.isNull())
            result = Currency::fromDbText(v.toString());
    }
    m_sums.insert(column, result);
    return result;
}

void Aggregates::forget() {
    m_count.reset();
    m_sums.clear();
}

void Aggregates::defineSum(const QString& name, const QString& column) {
    m_named.insert(name.toUpper(), column);
}

std::optional<QString> Aggregates::sumColumn(const QString& name) const {
    auto it = m_named.find(name.toUpper());
    if (it == m_named.end())
        return std::nullopt;
    return *it;
}
