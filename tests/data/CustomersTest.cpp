#include "data/Customers.h"
#include "OtherTill.h"
#include "Printers.h"
#include "TestDatabase.h"
#include "data/uDM.h"
#include "platform/core/Clock.h"
#include "platform/core/Errors.h"

#include <gtest/gtest.h>

namespace {

// The shop's customer operations on a database with no screen built.
class CustomerOperations : public ::testing::Test {
protected:
    void SetUp() override { dm = std::make_unique<TDM>(db.path()); }
    void sql(const QString& text, const QVariantList& params = {}) {
        dm->FDConnection1.execute(text, params);
    }
    int count(const QString& table) {
        return dm->FDConnection1.selectValue(QStringLiteral("select count(*) from ") + table).toInt();
    }

    TestDatabase db;
    std::unique_ptr<TDM> dm;
};

TEST_F(CustomerOperations, TheNextCodeCountsTheWholeTable) {
    EXPECT_EQ(Customers(*dm).nextCode(), 1);
    sql(QStringLiteral("insert into TABCADCLI (CODIGO, NOME) values (9, 'CLIENTE AVULSO')"));
    dm->TabCadCli.open();
    dm->TabCadCli.refilter(QStringLiteral("NOME <>'CLIENTE AVULSO'"));
    EXPECT_EQ(Customers(*dm).nextCode(), 10) << "a filter hiding the highest code does not count";
}

TEST_F(CustomerOperations, ACpfIsTakenByAnotherCustomerOnly) {
    sql(QStringLiteral("insert into TABCADCLI (CODIGO, NOME, CPF) values (1, 'ANA', '529.982.247-25')"));
    Customers customers(*dm);
    EXPECT_TRUE(customers.cpfTaken(QStringLiteral("529.982.247-25")));
    EXPECT_FALSE(customers.cpfTaken(QStringLiteral("52998224725"))) << "compared exactly as typed";
    dm->TabCadCli.open();
    dm->TabCadCli.edit();
    EXPECT_FALSE(customers.cpfTaken(QStringLiteral("529.982.247-25"))) << "its own stored CPF";
    dm->TabCadCli.cancel();
}

TEST_F(CustomerOperations, ACustomerGoesWithItsLedgerAndLinesOrNothingGoes) {
    for (int c : {1, 2}) {
        sql(QStringLiteral("insert into TABCADCLI (CODIGO, NOME) values (?, ?)"),
            {c, QStringLiteral("C%1").arg(c)});
        sql(QStringLiteral(
                "insert into TABDIVIDAS (CODIGO, CLIENTE, STATUS_PAG, CONTA) values (?, ?, 'PG', 'N')"),
            {c, c});
        sql(QStringLiteral("insert into TABDESC_COMPRAS (CODIGO, CLIENTE) values (?, ?)"), {c, c});
    }
    dm->TabCadCli.open();
    sql(QStringLiteral("create exception NO_DELETE 'exclusão recusada'"));
    sql(QStringLiteral(
        "create trigger NO_DELETE for TABCADCLI before delete as begin exception NO_DELETE; end"));
    EXPECT_THROW(Customers(*dm).deleteCurrent(), BrolaviError);
    EXPECT_EQ(count(QStringLiteral("TABDIVIDAS")), 2) << "the ledger stays when the customer cannot go";
    sql(QStringLiteral("drop trigger NO_DELETE"));
    dm->TabCadCli.refresh();
    Customers(*dm).deleteCurrent();
    EXPECT_EQ(dm->FDConnection1.selectValue(QStringLiteral("select list(CODIGO) from TABCADCLI")).toString(),
              QStringLiteral("2"));
    EXPECT_EQ(count(QStringLiteral("TABDIVIDAS")), 1);
    EXPECT_EQ(count(QStringLiteral("TABDESC_COMPRAS")), 1);
}

TEST_F(CustomerOperations, TheWalkInCustomerIsFoundOrMadeOnce) {
    const FixedClock clock{QDateTime(QDate(2026, 3, 14), QTime(9, 26, 53))};
    Customers customers(*dm);
    EXPECT_EQ(customers.walkInCustomer(), 1) << "the first customer of an empty table";
    EXPECT_EQ(customers.walkInCustomer(), 1);
    sql(QStringLiteral("delete from TABCADCLI"));
    for (int code = 1; code <= 5; ++code)
        sql(QStringLiteral("insert into TABCADCLI (CODIGO, NOME) values (?, ?)"),
            {code, QStringLiteral("C%1").arg(code)});
    sql(QStringLiteral("insert into TABCADCLI (CODIGO, NOME) values (6, 'CLIENTE AVULSO ')"));
    EXPECT_EQ(customers.walkInCustomer(), 7) << "a name with a blank after it is another customer's";
    EXPECT_EQ(
        dm->FDConnection1
            .selectValue(QStringLiteral("select NOME || '|' || cast(DATA as varchar(24)) from TABCADCLI "
                                        "where CODIGO = 7"))
            .toString(),
        QStringLiteral("CLIENTE AVULSO|2026-03-14 09:26:53.0000"));
}

// Two tills starting their first quick sale together: whenever the other one makes the walk-in customer while
// this one looks for it or makes it, there is one walk-in customer, and both sell to it.
TEST_F(CustomerOperations, TwoTillsMakingTheWalkInCustomerAtOnceMakeOne) {
    for (int at = 1; at <= 5; ++at) {
        SCOPED_TRACE(at);
        sql(QStringLiteral("delete from TABCADCLI"));
        sql(QStringLiteral("insert into TABCADCLI (CODIGO, NOME) values (1, 'ANA')"));
        TDM otherTill(db.path());
        int theirs = 0;
        int ours = 0;
        {
            AtStatement meanwhile(at, [&] { theirs = Customers(otherTill).walkInCustomer(); });
            ours = Customers(*dm).walkInCustomer();
        }
        if (theirs == 0)
            theirs = Customers(otherTill).walkInCustomer();
        EXPECT_EQ(ours, 2);
        EXPECT_EQ(theirs, 2);
        EXPECT_EQ(
            dm->FDConnection1
                .selectValue(QStringLiteral("select count(*) from TABCADCLI where NOME = 'CLIENTE AVULSO'"))
                .toInt(),
            1);
    }
}

} // namespace
