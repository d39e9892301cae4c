#pragma once

#include "platform/core/TableSchema.h"

#include <QHash>
#include <QObject>
#include <QSqlDatabase>
#include <QString>
#include <QVariantList>
#include <functional>
#include <memory>

class QSqlQuery;

// The program's one connection to its Firebird database file (embedded: a plain path, no server).
// Statements are prepared afresh each time they run, so that inside a Transaction they join it and outside
// one each commits on its own (a query prepared earlier would keep its own transaction and snapshot).
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
    void setPassword(const QString& password) { m_password = password; }

    // Throws DatabaseError with the engine's text when the file cannot be opened.
    void open();
    // Closes every dataset and query on the connection first (an open statement would keep the attachment).
    void close();
    bool isOpen() const;
    // Opens the connection if it is closed (a dataset opening on a closed connection does this).
    void ensureOpen();

    // Runs a statement with '?' placeholders and returns the number of rows it changed.
    int execute(const QString& sql, const QVariantList& params = {});
    // Runs a SELECT and returns its rows. With types, each column is converted to the program's type for it
    // (money selected as CAST(... AS VARCHAR(30)) becomes Currency); without, values come as the driver gives
    // them, two-decimal numbers as Currency.
    QVector<Row> select(const QString& sql, const QVariantList& params = {},
                        const QVector<ColumnType>* types = nullptr);
    // The first column of the first row, or an invalid QVariant when there is no row.
    QVariant selectValue(const QString& sql, const QVariantList& params = {});

    // Prepares and binds a statement on this connection; money parameters go to the engine as decimal text so
    // that the engine, not a double, converts them. Throws DatabaseError.
    void prepare(QSqlQuery& query, const QString& sql, const QVariantList& params);
    void exec(QSqlQuery& query);

    // The table's columns from the catalogue, cached; throws DatabaseError when the table does not exist.
    const TableSchema& schema(const QString& table);
    void forgetSchemas() { m_schemas.clear(); }

    bool inTransaction() const { return m_inTransaction; }
    void beginTransaction();
    void commitTransaction();
    void rollbackTransaction();

    // Called around every database call (the screens show the wait cursor).
    static void setBusyHook(std::function<void(bool)> hook);

    QSqlDatabase database() const { return QSqlDatabase::database(m_name, false); }

signals:
    void aboutToClose();
    void transactionEnded(bool committed);

private:
    QString m_name;
    QString m_path;
    QString m_user;
    QString m_password;
    QSqlQuery& statement(std::unique_ptr<QSqlQuery>& own, const QString& sql, const QVariantList& params);
    void releaseUnitStatements();

    bool m_inTransaction = false;
    QHash<QString, QSqlQuery*> m_unitStatements; // prepared once per unit of work
    QHash<QString, TableSchema> m_schemas;
};

// Converts a value the driver returned into the program's type for the column.
QVariant fromDriverValue(const QVariant& v, ColumnType type);
// The program's types for the columns of a result, as far as the driver tells them.
QVector<ColumnType> resultTypes(const class QSqlRecord& record);
// Reads the query's current row, converting each column.
Row readRow(const QSqlQuery& query, const QVector<ColumnType>& types);

// The engine's own text for a failed statement or connection.
QString engineText(const class QSqlError& error);

// Shows the wait cursor (or whatever the hook does) for the life of the object.
class BusyScope {
public:
    BusyScope();
    ~BusyScope();
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;
};
