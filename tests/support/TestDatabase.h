#pragma once

#include <QString>
#include <QTemporaryDir>

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
