#include "data/Customers.h"
#include "Printers.h"
#include "TestDatabase.h"
#include "data/uDM.h"
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

} // namespace
