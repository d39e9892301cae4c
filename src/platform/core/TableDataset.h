#pragma once

#include "platform/core/Aggregates.h"
#include "platform/core/Currency.h"
#include "platform/core/Dataset.h"
#include "platform/core/EditBuffer.h"
#include "platform/core/FilterExpression.h"
#include "platform/core/RowWindow.h"
#include "platform/core/TableCursor.h"
#include "platform/core/TableReader.h"
#include "platform/core/TableSchema.h"
#include "platform/core/TableWriter.h"

#include <QObject>
#include <QString>
#include <QVariant>
#include <QVector>
#include <optional>

class Connection;

// A table's rows in CODIGO order with a current row, narrowed by a filter expression, editable one row at a
// time. It never holds the whole table: it reads a chunk of rows around where the cursor or a grid looks, and
// asks the database for counts, sums and the next code (answering in memory when every visible row fits in
// the one chunk it holds). Each post and delete commits on its own unless a Transaction is running.
// A table without an integer key (the backup setting) is small by design and read whole, in table order.
// Its parts: a reader with every statement that reads, a writer, a window of rows, the counts and sums, the
// cursor with any read put off, and the buffer of the row being typed.
class TableDataset : public Dataset {
    Q_OBJECT
public:
    enum class State { Inactive, Browse, Edit, Insert };

    TableDataset(Connection& connection, const QString& table, QObject* parent = nullptr);

    QString tableName() const { return m_table; }
    Connection& connection() const { return m_connection; }
    // The table's columns; reads the catalogue (opening the connection) the first time.
    const TableSchema& schema() const;
    int columnIndex(const QString& name) const override; // -1 when missing

    void open();
    void close();
    bool isOpen() const override { return m_state != State::Inactive; }
    bool isEditing() const override { return m_state == State::Edit || m_state == State::Insert; }
    State state() const { return m_state; }
    // Reads the rows again, staying on the current row when it is still visible.
    void refresh();

    void first();
    void last();
    void next();
    void prior();
    bool eof() const {
        ensureLoaded();
        return m_cursor.eof;
    }
    bool bof() const {
        ensureLoaded();
        return m_cursor.bof;
    }
    bool isEmpty() const {
        ensureLoaded();
        return !m_cursor.hasRow && m_state != State::Insert;
    }
    int recordCount() const override;
    int knownRowCount() const override;
    int
    recordNo() const override; // 0-based position of the current row among the visible ones; -1 without one
    void moveTo(int index) override;
    // The visible row at a position without moving the current row (grids read through this).
    Row rowAt(int index) const override;
    // Moves to the first visible row whose column equals the value exactly; false (and no move) if none.
    bool locate(const QString& column, const QVariant& value);

    // A text that does not parse (or names an unknown column) throws FilterError and leaves the filter as it
    // was. The filter applies while filtered() is on.
    void setFilter(const QString& text);
    QString filter() const { return m_filterText; }
    void setFiltered(bool on);
    bool filtered() const { return m_reader.filtered(); }
    // Filtered off, the new filter, filtered on, with bound controls told once at the end. On a text that
    // does not parse the dataset is left unfiltered and the error thrown.
    void refilter(const QString& text);

    void append();
    void edit();
    // Writes the row; on failure throws DatabaseError with the engine's text and keeps the state and values.
    void post();
    void cancel();
    void remove();
    // Posts a pending insert or edit (what moving to another row does).
    void checkBrowseMode();

    QVariant value(int column) const;
    QVariant value(const QString& column) const override;
    // The value as stored, while the row is being edited.
    QVariant oldValue(const QString& column) const;
    // Converts the value to the column's type (ConversionError for a text that does not convert).
    void setValue(int column, const QVariant& value);
    void setValue(const QString& column, const QVariant& value);

    // The sum of a money column over the visible rows; empty while no row is visible.
    std::optional<Currency> sum(const QString& column) const;
    // Named aggregates: Soma = Sum(VALOR) on the ledger.
    void defineSum(const QString& name, const QString& column);
    bool hasAggregate(const QString& name) const;
    std::optional<Currency> aggregate(const QString& name) const;

    // The highest code of the whole table plus one (1 when empty), whatever the filter.
    int nextCode() const;
    // Posts the row being appended under nextCode() and returns that code. Inside a read-committed unit a
    // code another connection stored meanwhile shows when read again: the row then takes the next one, a
    // few times, without undoing the unit.
    int postUnderNextCode();
    // Posts the row as it stands; a new row whose code another connection stored meanwhile takes the next
    // free one and is posted again, a few times. A failed post keeps the row as typed, so only its code
    // changes.
    void postTakingAFreeCode();

    QVariant keyValue() const;

private:
    int requireColumn(const QString& name) const;
    // Rows are read when first looked at, so that a filter followed by a count costs one count.
    void ensureLoaded() const;
    void showNothing();
    void markStale();
    void markStaleAt(qlonglong key);
    void markStaleKeeping();
    void refreshLater();
    void loadFirstKeeping(qlonglong key);
    bool keyed() const { return m_reader.keyed(); }
    qlonglong keyOf(const Row& row) const { return m_window.keyOf(row); }
    // The window's index of the current row; -1 when it does not hold it.
    int currentInWindow() const;
    // The rows changed or the filter did: the window and what was counted and summed go.
    void forgetView();
    void loadFirst();
    void loadLast();
    void repositionAfterChange(std::optional<qlonglong> key, bool wasSmall);
    QVariant convert(int column, const QVariant& value) const;
    void onTransactionEnded();

    Connection& m_connection;
    QString m_table;
    State m_state = State::Inactive;
    QString m_filterText;

    TableReader m_reader;
    TableWriter m_writer;
    mutable RowWindow m_window;
    Aggregates m_aggregates;
    TableCursor m_cursor;
    TableCursor m_beforeAppend; // where an append stood, for cancel
    EditBuffer m_edit;
};
