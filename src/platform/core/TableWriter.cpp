#include "platform/core/TableWriter.h"

#include "platform/core/Connection.h"
#include "platform/core/Errors.h"

TableWriter::TableWriter(Connection& connection, const QString& table)
    : m_connection(connection)
    , m_table(table) {}

const TableSchema& TableWriter::schema() const {
    return m_connection.schema(m_table);
}

void TableWriter::insert(const Row& values) const {
    QStringList names;
    QStringList marks;
    QVariantList params;
    const TableSchema& s = schema();
    for (int i = 0; i < s.columns.size(); ++i) {
        names << s.columns[i].name;
        marks << QStringLiteral("?");
        params << values[i];
    }
    m_connection.execute(
        QStringLiteral("insert into %1 (%2) values (%3)").arg(m_table, names.join(u','), marks.join(u',')),
        params);
}

QString TableWriter::rowCondition(const Row& stored, QVariantList& params) const {
    const TableSchema& s = schema();
    if (s.keyColumn >= 0) {
        params << stored[s.keyColumn];
        return QStringLiteral("%1 = ?").arg(s.columns[s.keyColumn].name);
    }
    // No key: the row is the one holding the values read; "rows 1" keeps twin rows apart.
    QStringList conds;
    for (int i = 0; i < s.columns.size(); ++i) {
        conds << QStringLiteral("%1 IS NOT DISTINCT FROM ?").arg(s.columns[i].name);
        params << stored[i];
    }
    return conds.join(QStringLiteral(" AND ")) + QStringLiteral(" rows 1");
}

void TableWriter::update(const Row& stored, const Row& values, const QVector<bool>& changed) const {
    const TableSchema& s = schema();
    QStringList sets;
    QVariantList params;
    for (int i = 0; i < s.columns.size(); ++i) {
        if (!changed[i])
            continue;
        sets << QStringLiteral("%1 = ?").arg(s.columns[i].name);
        params << values[i];
    }
    if (sets.isEmpty())
        return;
    const QString where = rowCondition(stored, params);
    const int rows = m_connection.execute(
        QStringLiteral("update %1 set %2 where %3").arg(m_table, sets.join(u','), where), params);
    if (rows == 0)
        throw DatabaseError(QStringLiteral("%1: o registro não existe mais no banco de dados").arg(m_table));
}

void TableWriter::remove(const Row& stored) const {
    QVariantList params;
    const QString where = rowCondition(stored, params);
    m_connection.execute(QStringLiteral("delete from %1 where %2").arg(m_table, where), params);
}
