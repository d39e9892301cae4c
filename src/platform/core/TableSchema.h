#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

enum class ColumnType { Integer, BigInt, Numeric, Text, Date, Timestamp, Time, TextBlob, BinaryBlob, Float };

struct ColumnInfo {
    QString name; // upper case, as the catalogue holds it
    ColumnType type = ColumnType::Text;
    int length = 0;       // characters, for text columns
    QString characterSet; // of a text column, as the catalogue names it ("UTF8", "WIN1252", "NONE", ...)
    int scale = 0;        // decimals, for numeric columns
    bool notNull = false;
    bool leadsIndex = false; // first column of some index: a lookup on it is cheap
};

// One row of a table or query, one value per column, in column order. Integers are int or qlonglong, money
// is Currency, text is QString, dates QDate/QDateTime, binary blobs QByteArray; NULL is an invalid QVariant.
using Row = QVector<QVariant>;

struct TableSchema {
    QString table;
    QVector<ColumnInfo> columns;
    int keyColumn = -1; // the integer primary key, CODIGO; -1 for a table without one

    // Index of the column, names compared without regard to case; -1 when missing.
    int indexOf(const QString& name) const;
    bool isInteger(int column) const {
        const ColumnType t = columns[column].type;
        return t == ColumnType::Integer || t == ColumnType::BigInt;
    }
};
