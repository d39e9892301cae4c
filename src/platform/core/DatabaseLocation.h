#pragma once

#include <QString>

// Where a database is, read from the name the engine is given: a file the program opens in-process (a plain
// path, "C:\..." included), or a database a Firebird server holds ("host:path", "host/port:alias",
// "inet://host:port/path", "\\host\path"). The two are never mixed: the engine is told which provider to use,
// so that a file is never reached through a server that happens to run on the machine, nor the other way.
class DatabaseLocation {
public:
    explicit DatabaseLocation(QString name);

    QString name() const { return m_name; }
    bool isServer() const { return !m_server.isEmpty(); }
    // The server part ("host", "host/port", "inet://host:port"), empty for a file.
    QString server() const { return m_server; }
    // The path or alias the server resolves, or the file's own path.
    QString pathOnServer() const { return m_path; }
    // The service manager that backs up and restores this database: the server's, or the in-process one.
    QString serviceManager() const;
    // The attachment's provider list, as the engine's configuration text.
    QString providers() const;

private:
    QString m_name;
    QString m_server;
    QString m_path;
    QString m_serviceSeparator = QStringLiteral(":");
};
