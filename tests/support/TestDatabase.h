#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>

class Connection;

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
// A Firebird database at path that is not the shop's: made empty, then the statements run in it.
void createOtherDatabase(const QString& path, const QStringList& statements);
