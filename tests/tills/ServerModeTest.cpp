#include "Printers.h"
#include "TestCharacterSet.h"
#include "TestDatabase.h"
#include "TestServer.h"
#include "app/AppBrolavi.h"
#include "data/Schema.h"
#include "platform/core/Connection.h"
#include "platform/core/Errors.h"
#include "platform/core/FirebirdStatus.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class ServerMode : public ::testing::Test {
protected:
    void SetUp() override {
        if (!TestServer::available())
            GTEST_SKIP() << "no test server (scripts/test starts one)";
    }

    // What opening name fails with, while the other engine holds the file; empty when it opens.
    static QString refusal(const QString& name, const DatabaseAccess& as) {
        try {
            connectTo(DatabaseAccess{name, as.user, as.password});
        } catch (const DatabaseError& e) {
            EXPECT_EQ(Firebird::problemOf(e.engineStatus()), Firebird::Problem::InUse)
                << e.message().toStdString();
            return AppBrolavi::openFailureText(e, name);
        }
        return {};
    }
};

// Left to itself the engine reaches a file the server holds through the server, and a file opened in-process
// first locks the server out: which one the tills get would depend on who came first. Each name goes one way
// only, and the one refused is told which engine has the file.
TEST_F(ServerMode, AFileIsOpenedInProcessOnlyAndAServersDatabaseThroughTheServerOnly) {
    const TestServer::Database db = TestServer::createShopDatabase(QStringLiteral("modes"));
    {
        const auto viaServer = connectTo(db.access);
        const QString text = refusal(db.file, DatabaseAccess::ofFile(db.file));
        EXPECT_TRUE(text.contains(QStringLiteral("servidor Firebird neste computador")))
            << text.toStdString();
        EXPECT_TRUE(text.contains(QStringLiteral("localhost:") + db.file)) << text.toStdString();
    }
    {
        const auto inProcess = connectTo(db.file);
        const QString text = refusal(db.access.name, db.access);
        EXPECT_TRUE(text.contains(QStringLiteral("sem o servidor"))) << text.toStdString();
    }
    EXPECT_TRUE(Schema::missingTables(*connectTo(db.access)).isEmpty());
}

// The server makes the database on its own disk, owned by the user who asked; the till that asked keeps no
// folder named after the server's path.
TEST_F(ServerMode, ADatabaseIsCreatedOnTheServerWithNothingOfItOnTheTill) {
    QTemporaryDir here;
    const QString before = QDir::currentPath();
    QDir::setCurrent(here.path());
    const TestServer::Database db = TestServer::name(QStringLiteral("created"));
    Schema::createDatabase(db.access);
    QDir::setCurrent(before);
    EXPECT_TRUE(QDir(here.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty());
    EXPECT_TRUE(QFileInfo::exists(db.file));
    EXPECT_THROW(Schema::createDatabase(db.access), DatabaseError) << "an existing database is kept";
    const auto c = connectTo(db.access);
    EXPECT_TRUE(Schema::missingTables(*c).isEmpty());
    EXPECT_EQ(c->characterSet(), QStringLiteral("UTF8")) << "what the tool makes";
}

} // namespace
