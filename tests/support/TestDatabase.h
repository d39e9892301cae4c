#pragma once

#include <QString>
#include <QTemporaryDir>

// A fresh database file for one test: a copy of an empty template made once per test run.
class TestDatabase {
public:
    TestDatabase();
    const QString& path() const { return m_path; }
    QString dir() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
    QString m_path;
};
