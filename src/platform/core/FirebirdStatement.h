#pragma once

#include "platform/core/TableSchema.h"
#include "platform/core/TextEncoding.h"

#include <QByteArray>
#include <QStringList>
#include <QVariantList>
#include <QVector>
#include <ibase.h>
#include <memory>
#include <vector>

namespace Firebird {
// The engine's numbers for the character sets the program names.
constexpr short kCharsetNone = 0;
constexpr short kCharsetOctets = 1;
constexpr short kCharsetUtf8 = 4;
constexpr short kCharsetWin1252 = 53;

short charsetId(TextEncoding encoding);
} // namespace Firebird

// One statement prepared on an attachment through the engine's client interface. Parameters go in the
// program's types (money as whole cents, exact; NULL marked as such; text in the attachment's encoding) and
// the engine converts them to the columns'; values come back the same way.
class FirebirdStatement {
public:
    // Preparing needs a transaction; the statement runs in whichever one is set when it executes.
    FirebirdStatement(isc_db_handle* db, isc_tr_handle* tr, TextEncoding encoding, const QString& sql);
    ~FirebirdStatement();
    FirebirdStatement(const FirebirdStatement&) = delete;
    FirebirdStatement& operator=(const FirebirdStatement&) = delete;

    void setTransaction(isc_tr_handle* tr) { m_tr = tr; }
    // One value per '?', in order. Throws DatabaseError when the count differs.
    void bind(const QVariantList& params);
    // Runs the statement; a SELECT opens its cursor (closing one left open by an earlier run).
    void execute();
    // The next row of what the statement returned; false after the last.
    bool fetch(Row& row);
    // Rows the last run inserted, updated or deleted.
    int rowsAffected();

    const QStringList& columnNames() const { return m_names; }
    const QVector<ColumnType>& columnTypes() const { return m_types; }

private:
    struct Descriptor;
    void describe(bool input);
    void readRow(Row& row);
    QVariant outputValue(int column);
    void setInput(int index, const QVariant& value);
    QByteArray readBlob(const ISC_QUAD& id);
    ISC_QUAD writeBlob(const QByteArray& bytes);
    void closeCursor();
    void release();

    isc_db_handle* m_db;
    isc_tr_handle* m_tr;
    TextEncoding m_encoding;
    isc_stmt_handle m_stmt = 0;
    int m_type = 0; // isc_info_sql_stmt_*
    std::unique_ptr<Descriptor> m_in;
    std::unique_ptr<Descriptor> m_out;
    bool m_cursorOpen = false;
    bool m_rowPending = false; // a statement that returns one row without a cursor (... RETURNING)
    QStringList m_names;
    QVector<ColumnType> m_types;
};
