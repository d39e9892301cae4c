// Holds a database open from another process until its standard input closes: what a second copy of the
// program finds.
#include "platform/core/Connection.h"
#include "platform/core/Errors.h"
#include "platform/core/ProcessStart.h"

#include <QCoreApplication>
#include <cstdio>
#include <iostream>

int main(int argc, char* argv[]) {
    if (argc != 2)
        return 2;
    try {
        if (const QString failure = prepareProcess(); !failure.isEmpty())
            throw BrolaviError(failure);
        QCoreApplication app(argc, argv);
        Connection c;
        c.setDatabasePath(QString::fromLocal8Bit(argv[1]));
        c.setUserName(QStringLiteral("SYSDBA"));
        c.open();
        c.selectValue(QStringLiteral("select count(*) from TABCADCLI"));
        std::cout << "ready" << std::endl;
        std::string line;
        while (std::getline(std::cin, line)) {
        }
    } catch (const BrolaviError& e) {
        std::cerr << e.message().toStdString() << std::endl;
        return 1;
    }
    return 0;
}
