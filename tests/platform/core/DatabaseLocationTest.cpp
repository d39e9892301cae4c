#include "platform/core/DatabaseLocation.h"

#include <gtest/gtest.h>

// What the engine is given decides whether the file is opened in-process or asked of a server, and which
// service manager backs it up; a Windows drive letter is not a host.
TEST(DatabaseLocationTest, TellsFilesFromServersDatabases) {
    const struct {
        const char* name;
        const char* server;
        const char* path;
        const char* serviceManager;
    } cases[] = {
        {"/home/loja/.local/share/Brolavi/DB/DBBROLAVI.FDB", "",
         "/home/loja/.local/share/Brolavi/DB/DBBROLAVI.FDB", "service_mgr"},
        {"C:\\Brolavi\\DB\\DBBROLAVI.FDB", "", "C:\\Brolavi\\DB\\DBBROLAVI.FDB", "service_mgr"},
        {"C:/Brolavi/DB/DBBROLAVI.FDB", "", "C:/Brolavi/DB/DBBROLAVI.FDB", "service_mgr"},
        {"DBBROLAVI.FDB", "", "DBBROLAVI.FDB", "service_mgr"},
        {"./a:b.fdb", "", "./a:b.fdb", "service_mgr"},
        {"caixa1:/var/lib/firebird/3.0/data/DBBROLAVI.FDB", "caixa1",
         "/var/lib/firebird/3.0/data/DBBROLAVI.FDB", "caixa1:service_mgr"},
        {"192.168.0.10/3051:brolavi", "192.168.0.10/3051", "brolavi", "192.168.0.10/3051:service_mgr"},
        {"localhost:C:\\Brolavi\\DB\\DBBROLAVI.FDB", "localhost", "C:\\Brolavi\\DB\\DBBROLAVI.FDB",
         "localhost:service_mgr"},
        {"inet://servidor:3050/brolavi", "inet://servidor:3050", "brolavi",
         "inet://servidor:3050/service_mgr"},
        {"\\\\servidor\\brolavi", "\\\\servidor", "brolavi", "\\\\servidor\\service_mgr"},
    };
    for (const auto& c : cases) {
        const DatabaseLocation location(QString::fromUtf8(c.name));
        EXPECT_EQ(location.isServer(), *c.server != 0) << c.name;
        EXPECT_EQ(location.server(), QString::fromUtf8(c.server)) << c.name;
        EXPECT_EQ(location.pathOnServer(), QString::fromUtf8(c.path)) << c.name;
        EXPECT_EQ(location.serviceManager(), QString::fromUtf8(c.serviceManager)) << c.name;
        EXPECT_EQ(location.providers(), location.isServer() ? QStringLiteral("Providers = Remote")
                                                            : QStringLiteral("Providers = Engine12"))
            << c.name;
    }
}
