#pragma once

#include "platform/core/Aggregates.h"
#include "platform/core/Currency.h"
#include "platform/core/Dataset.h"
#include "platform/core/TableSchema.h"

#include <QHash>
#include <QObject>
#include <QStringList>
#include <QVariant>
#include <memory>
#include <optional>

class Connection;
class Cursor;

// A screen's own statement with named parameters (":qNome"). Names match without regard to case, and a
// statement with a parameter left unbound is refused rather than run with NULL. Opened, a SELECT is a
// read-only dataset: rows are fetched as they are looked at, counts and sums asked of the database until
// every row has been read.
class Query : public Dataset {
    Q_OBJECT
public:
    explicit Query(Connection& connection, QObject* parent = nullptr);
    ~Query() override;

    void setSql(const QString& sql);
    QString sql() const { return m_sql; }
    QStringList paramNames() const { return m_names; }
    // Throws DatabaseError for a name the statement does not have.
    void setParam(const QString& name, const QVariant& value);
    void clearParams() { m_values.clear(); }

    void open();
    void close();
    bool isOpen() const override { return m_open; }
    // Runs a statement that returns no rows; returns the rows it changed.
    int execSql();

    QStringList columnNames() const { return m_columns; }
    void first();
    void next();
    void prior();
    void last();
    bool eof() const { return m_eof; }
    bool bof() const { return m_bof; }
    bool isEmpty() const { return recordCount() == 0; }
    int recordCount() const override;
    int knownRowCount() const override { return m_aggregates.knownCount().value_or(-1); }
    int recordNo() const override { return m_open && m_current < fetchedCount() ? m_current : -1; }
    void moveTo(int index) override;
    Row rowAt(int index) const override;

    QVariant value(const QString& column) const override;
    QVariant value(int column) const;
    int columnIndex(const QString& name) const override;

    std::optional<Currency> sum(const QString& column) const;
    void defineSum(const QString& name, const QString& column) { m_aggregates.defineSum(name, column); }
    std::optional<Currency> aggregate(const QString& name) const;

private:
    // The statement with '?' in place of the names, and the values in their order.
    QString positional(QVariantList& params) const;
    void fetchUpTo(int count) const;
    int fetchedCount() const { return int(m_rows.size()); }
    void reopen();

    Connection& m_connection;
    QString m_sql;
    QString m_positionalSql;
    QStringList m_names; // one per placeholder, in order, upper case
    QHash<QString, QVariant> m_values;

    bool m_open = false;
    QStringList m_columns;
    mutable std::unique_ptr<Cursor> m_query;
    mutable QVector<ColumnType> m_types;
    mutable QVector<Row> m_rows;
    mutable bool m_fetchedAll = false;
    int m_current = 0;
    bool m_eof = true;
    bool m_bof = true;
    Aggregates m_aggregates;
};

// Splits ":name" placeholders out of a statement (outside quotes and comments): returns the statement with
// '?' in their place and appends each name, upper case, to names.
QString replaceNamedParameters(const QString& sql, QStringList& names);
// The statement without a closing ORDER BY (outside parentheses and quotes), which changes no count or sum;
// as it is when a row limit follows the order.
QString withoutTrailingOrderBy(const QString& sql);
