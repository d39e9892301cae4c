#pragma once

#include <QString>
#include <QStringList>

// What every program of the project does first, before the engine is loaded or a thread started: a write past
// a file-size limit fails instead of ending the process, and the engine's lock and temporary files go to
// folders this user can write. Returns why the process cannot go on, or an empty text when it can.
QString prepareProcess();

class QProcess;

// Starts program as a child process that SIGTERM, SIGINT and SIGHUP end as they end any program, although the
// program holds them blocked in its own threads. Every child the program starts is started through here.
void startChildProcess(QProcess& process, const QString& program, const QStringList& arguments);
