// A table without an integer key (the backup setting) is read whole, in table order; moving through it must
// never look for a key it does not have.

#include "Printers.h"
#include "ScratchDatabase.h"
#include "platform/core/Connection.h"
#include "platform/core/TableDataset.h"

#include <gtest/gtest.h>

namespace {

TEST(KeylessTable, MovesThroughItsRowsInTableOrder) {
    ScratchDatabase db({QStringLiteral("TABBACKUP")});
    Connection connection;
    db.connect(connection);
    for (const char* dir : {"/a/", "/b/", "/c/"})
        connection.execute(QStringLiteral("insert into TABBACKUP (DIRETORIO) values (?)"),
                           {QString::fromUtf8(dir)});
    TableDataset t(connection, QStringLiteral("TABBACKUP"));
    t.open();

    struct Step {
        const char* what;
        std::function<void()> move;
        const char* row;
        bool bof;
        bool eof;
        int recordNo;
    };
    const Step steps[] = {
        {"first", [&] { t.first(); }, "/a/", true, false, 0},
        {"next", [&] { t.next(); }, "/b/", false, false, 1},
        {"next", [&] { t.next(); }, "/c/", false, false, 2},
        {"next past the end", [&] { t.next(); }, "/c/", false, true, 2},
        {"prior", [&] { t.prior(); }, "/b/", false, false, 1},
        {"prior", [&] { t.prior(); }, "/a/", false, false, 0},
        {"prior before the start", [&] { t.prior(); }, "/a/", true, false, 0},
        {"last", [&] { t.last(); }, "/c/", false, true, 2},
        {"locate", [&] { t.locate(QStringLiteral("DIRETORIO"), QStringLiteral("/b/")); }, "/b/", false, false,
         1},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.what);
        s.move();
        EXPECT_EQ(t.value(QStringLiteral("DIRETORIO")).toString(), QString::fromUtf8(s.row));
        EXPECT_EQ(t.bof(), s.bof);
        EXPECT_EQ(t.eof(), s.eof);
        EXPECT_EQ(t.recordNo(), s.recordNo);
    }
    EXPECT_EQ(t.recordCount(), 3);
}

} // namespace
