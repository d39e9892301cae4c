#pragma once

#include <QString>

// Which database the program opens and as whom: a file on this machine (the default) or a Firebird server's
// database shared by the shop's tills.
struct DatabaseAccess {
    QString name; // a path, or a server's name for it ("host:path", "host/port:alias")
    QString user;
    QString password;

    // The program's own file, opened as the program always opened it.
    static DatabaseAccess ofFile(const QString& path);

    // What the program and its tools open: the name given on the command line, else the settings file's,
    // else the default file. The user and password: the settings file's, else the environment's ISC_USER and
    // ISC_PASSWORD (as Firebird's own tools take them), else the program's own. A settings file that others
    // can read is made the desktop user's alone, since it may hold a password.
    static DatabaseAccess chosen(const QString& commandLineName = {});

    // The settings file a person edits to point this till at the shop's server.
    static QString settingsFile();
};
