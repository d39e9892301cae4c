// Runs one backup or restore job in a process of its own, as the program runs it, so that a test can limit
// the process's file sizes or kill it in the middle:
//   backup_job backup DATABASE DIRECTORY | backup_job restore DATABASE BACKUPFILE
// Each progress line goes to standard output as it comes; a failure's text to standard error, with status 1.
#include "backup/BackupJobs.h"
#include "data/uDM.h"
#include "platform/core/Connection.h"
#include "platform/core/Errors.h"
#include "platform/core/ProcessStart.h"

#include <QCoreApplication>
#include <iostream>

int main(int argc, char* argv[]) {
    prepareProcess();
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() != 3 || (args[0] != QStringLiteral("backup") && args[0] != QStringLiteral("restore")))
        return 2;
    const auto onLine = [](const QString& line) {
        std::cout << line.trimmed().toStdString() << std::endl;
    };
    try {
        Connection connection;
        connection.setDatabasePath(args[1]);
        connection.setUserName(TDM::UserName);
        connection.setPassword(TDM::Password);
        connection.open();
        if (args[0] == QStringLiteral("backup"))
            BackupJobs::backup(connection, args[2], onLine);
        else
            BackupJobs::restore(connection, args[2], onLine);
    } catch (const BrolaviError& e) {
        std::cerr << e.message().toStdString() << std::endl;
        return 1;
    }
    return 0;
}
