#pragma once

#include "platform/core/TableSchema.h"

#include <QString>
#include <QVector>

class Connection;

// The writes of one row of a table. A row of a table without an integer key is found by all the values it was
// read with, and only one of twin rows is touched.
class TableWriter {
public:
    TableWriter(Connection& connection, const QString& table);

    void insert(const Row& values) const;
    // Writes the changed columns of the stored row; nothing when none changed. Throws DatabaseError when the
    // row is no longer in the database.
    void update(const Row& stored, const Row& values, const QVector<bool>& changed) const;
    void remove(const Row& stored) const;

private:
    const TableSchema& schema() const;
    // The condition that finds the stored row, appending its parameters.
    QString rowCondition(const Row& stored, QVariantList& params) const;

    Connection& m_connection;
    QString m_table;
};
