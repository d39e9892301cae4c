#pragma once

#include "platform/core/TableSchema.h"
#include "platform/core/TextEncoding.h"
#include "platform/core/Transaction.h"

#include <QHash>
#include <QObject>
#include <QSet>
#include <QString>
#include <QVariantList>
#include <functional>
#include <ibase.h>
#include <memory>

class Cursor;
class FirebirdStatement;

// The program's one connection to its Firebird database (a file opened in-process, or a Firebird server's
// database: see DatabaseLocation), through the engine's own client library. Outside a Transaction each
// statement runs and commits in a transaction of its own; inside one, everything joins it.
//
// Text: the database's character set is read on opening. UTF8, WIN1252, ISO8859_1 and the others are talked
// to in UTF-8 and the engine converts; NONE, which holds what an older Windows program wrote, is talked to in
// Windows-1252 so that its bytes arrive as they were written and literals compare with them.
class Connection : public QObject {
    Q_OBJECT
public:
    explicit Connection(QObject* parent = nullptr);
    ~Connection() override;
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    void setDatabasePath(const QString& path) { m_path = path; }
    QString databasePath() const { return m_path; }
    void setUserName(const QString& user) { m_user = user; }
    QString userName() const { return m_user; }
    void setPassword(const QString& password) { m_password = password; }
    // For the services on the same database, which attach as the connection does.
    QString password() const { return m_password; }

    // Throws DatabaseError with the engine's text when the file cannot be opened.
    void open();
    // Closes every dataset and query on the connection first (an open statement would keep the attachment).
    void close();
    bool isOpen() const { return m_db != 0; }
    // Deletes the database it is attached to, a half-made one; the connection is closed after.
    void dropDatabase();
    // Opens the connection if it is closed (a dataset opening on a closed connection does this).
    void ensureOpen();
    // The database's default character set as its catalogue names it ("UTF8", "WIN1252", "NONE", ...).
    QString characterSet() const { return m_characterSet; }
    TextEncoding textEncoding() const { return m_encoding; }

    // Runs a statement with '?' placeholders and returns the number of rows it changed.
    int execute(const QString& sql, const QVariantList& params = {});
    // Runs a SELECT and returns its rows. With types, each column is converted to the program's type for it
    // (money selected as CAST(... AS VARCHAR(30)) becomes Currency); without, each comes in the type the
    // engine describes, numbers with decimals as Currency.
    QVector<Row> select(const QString& sql, const QVariantList& params = {},
                        const QVector<ColumnType>* types = nullptr);
    // The first column of the first row, or an invalid QVariant when there is no row.
    QVariant selectValue(const QString& sql, const QVariantList& params = {});

    // Runs a SELECT whose rows are read as they are wanted. Outside a unit the cursor keeps a transaction of
    // its own, and with it its snapshot, until it is destroyed.
    std::unique_ptr<Cursor> openCursor(const QString& sql, const QVariantList& params = {});

    // The table's columns from the catalogue, cached; throws DatabaseError when the table does not exist.
    const TableSchema& schema(const QString& table);
    void forgetSchemas() { m_schemas.clear(); }

    bool inTransaction() const { return m_inTransaction; }
    void beginTransaction(Isolation isolation = Isolation::Snapshot);
    void commitTransaction();
    void rollbackTransaction();

    // Called around every database call (the screens show the wait cursor).
    static void setBusyHook(std::function<void(bool)> hook);
    static std::function<void(bool)> busyHook();

signals:
    void aboutToClose();
    void transactionEnded(bool committed);

private:
    friend class Cursor;
    void attach(const char* characterSet);
    void detach();
    // Runs fn(statement) on the unit's transaction, or on a transaction of its own that commits after it.
    template <typename F> auto run(const QString& sql, const QVariantList& params, F&& fn);
    void releaseUnitStatements();

    QString m_path;
    QString m_user;
    QString m_password;
    isc_db_handle m_db = 0;
    isc_tr_handle m_unit = 0;
    QString m_characterSet;
    TextEncoding m_encoding = TextEncoding::Utf8;

    bool m_inTransaction = false;
    QHash<QString, FirebirdStatement*> m_unitStatements; // prepared once per unit of work
    QSet<Cursor*> m_cursors;
    QHash<QString, TableSchema> m_schemas;
};

class Cursor {
public:
    ~Cursor();
    Cursor(const Cursor&) = delete;
    Cursor& operator=(const Cursor&) = delete;

    // The next row, each value in the program's type for its column; false after the last.
    bool next(Row& row);
    const QStringList& columnNames() const;
    const QVector<ColumnType>& columnTypes() const;

private:
    friend class Connection;
    explicit Cursor(Connection& connection);
    void end();

    Connection* m_connection;
    isc_tr_handle m_own = 0;
    std::unique_ptr<FirebirdStatement> m_statement;
};

// Converts a value read from the database into the program's type for the column (money selected as decimal
// text becomes Currency).
QVariant fromDriverValue(const QVariant& v, ColumnType type);

// Shows the wait cursor (or whatever the hook does) for the life of the object.
class BusyScope {
public:
    BusyScope();
    ~BusyScope();
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;
};
