#pragma once

#include <QMetaObject>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QVector>
#include <memory>

class Connection;
struct DatabaseAccess;
class TableDataset;

// A fresh database file for one test: a copy of an empty template made once per test run. The program makes
// UTF8 databases; older installations' come in other character sets. Without one named, the run's
// (testCharacterSet()).
class TestDatabase {
public:
    explicit TestDatabase(const QString& characterSet = {});
    const QString& path() const { return m_path; }
    QString dir() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
    QString m_path;
};

// A connection of its own to the database file at path, as the program's user, open.
std::unique_ptr<Connection> connectTo(const QString& path);
// A connection of its own to a file or a server's database, as the given user, open.
std::unique_ptr<Connection> connectTo(const DatabaseAccess& access);
// A Firebird database at path that is not the shop's: made empty, then the statements run in it.
void createOtherDatabase(const QString& path, const QStringList& statements);

// Another till on the same database file, on a connection of its own. It gets there first: just before each
// of the dataset's next inserts, as many as told, it stores and commits a row of its own under the code the
// insert is about to take. insert stores that row, with the code as its one parameter.
class AnotherTill {
public:
    explicit AnotherTill(const QString& path);
    ~AnotherTill();
    AnotherTill(const AnotherTill&) = delete;
    AnotherTill& operator=(const AnotherTill&) = delete;

    void takeCodesBefore(TableDataset& table, int times, const QString& insert);
    // The codes it took, in order.
    const QVector<int>& taken() const { return m_taken; }

private:
    std::unique_ptr<Connection> m_connection;
    QMetaObject::Connection m_hook;
    int m_left = 0;
    QVector<int> m_taken;
};
