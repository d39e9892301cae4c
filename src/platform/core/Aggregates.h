#pragma once

#include "platform/core/Currency.h"
#include "platform/core/TableSchema.h"

#include <QHash>
#include <QString>
#include <QVariantList>
#include <QVector>
#include <functional>
#include <optional>

class Connection;

// The count and the sums of a set of rows the database holds, a table's filtered view or a screen's query.
// Each is asked of the database once and kept until forget(); while every row of the set is in memory they
// are worked out there instead. Named sums (Soma = Sum(VALOR)) are kept here too, so that a label can ask for
// one by name.
class Aggregates {
public:
    // The rows as what follows "from" in a statement ("TABDIVIDAS where ..." or "(select ...)"), appending
    // its parameters.
    using Source = std::function<QString(QVariantList& params)>;
    // Every row of the set when all are in memory; nullptr otherwise.
    using WholeSet = std::function<const QVector<Row>*()>;

    Aggregates(Connection& connection, Source source, WholeSet wholeSet);

    int count() const;
    // The count when it is known without asking the database.
    std::optional<int> knownCount() const;
    // The sum of a money column (its index in a row, its name in the statement); empty over no value.
    std::optional<Currency> sum(int column, const QString& sqlName) const;
    // The rows changed: what was asked is asked again.
    void forget();

    void defineSum(const QString& name, const QString& column);
    bool hasSum(const QString& name) const { return m_named.contains(name.toUpper()); }
    // The column a named sum adds up; empty for a name never defined.
    std::optional<QString> sumColumn(const QString& name) const;

private:
    Connection& m_connection;
    Source m_source;
    WholeSet m_wholeSet;
    mutable std::optional<int> m_count;
    mutable QHash<int, std::optional<Currency>> m_sums;
    QHash<QString, QString> m_named; // upper-case name -> column
};
