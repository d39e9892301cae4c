#include "TestServer.h"

#include "TestCharacterSet.h"
#include "data/Schema.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

namespace TestServer {

bool available() {
    return !qEnvironmentVariable("BROLAVI_TEST_SERVER").isEmpty();
}

Database name(const QString& stem) {
    const QString file = QDir(qEnvironmentVariable("BROLAVI_TEST_SERVER_FOLDER"))
                             .filePath(QStringLiteral("%1-%2-%3.fdb")
                                           .arg(stem, testCharacterSet())
                                           .arg(QCoreApplication::applicationPid()));
    QFile::remove(file);
    return {{qEnvironmentVariable("BROLAVI_TEST_SERVER") + u':' + file,
             qEnvironmentVariable("BROLAVI_TEST_SERVER_USER"),
             qEnvironmentVariable("BROLAVI_TEST_SERVER_PASSWORD")},
            file};
}

Database createShopDatabase(const QString& stem) {
    Database db = name(stem);
    Schema::createDatabase(db.access, testCharacterSet());
    return db;
}

} // namespace TestServer
