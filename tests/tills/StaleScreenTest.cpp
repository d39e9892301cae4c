#include "Printers.h"
#include "TestServer.h"
#include "data/Customers.h"
#include "data/Ledger.h"
#include "data/uDM.h"

#include <gtest/gtest.h>
#include <memory>

namespace {

// Two tills on the server, each with its own data module, as on two computers: what one did since the other's
// screen read the account is never paid over or erased by the other.
class StaleScreen : public ::testing::Test {
protected:
    void SetUp() override {
        if (!TestServer::available())
            GTEST_SKIP() << "no test server (scripts/test starts one)";
        db = TestServer::createShopDatabase(QStringLiteral("stale"));
        first = std::make_unique<TDM>(db.access);
        second = std::make_unique<TDM>(db.access);
        first->FDConnection1.execute(
            QStringLiteral("insert into TABCADCLI (CODIGO, NOME) values (1, 'MARIA')"));
        first->TabCadCli.open();
        second->TabCadCli.open();
    }

    static void sell(TDM& till, const char* what, int cents) {
        Ledger(till).creditSale(1,
                                {QString::fromUtf8(what), Currency::fromCents(cents), 1, QStringLiteral("1")},
                                QDate::currentDate().addMonths(1));
    }

    QVector<Row> rows(const QString& sql) { return first->FDConnection1.select(sql); }

    Currency owed() {
        return first->FDConnection1
            .selectValue(
                QStringLiteral("select sum(VALOR) from TABDIVIDAS where CLIENTE = 1 and STATUS_PAG = 'NP'"))
            .value<Currency>();
    }

    TestServer::Database db;
    std::unique_ptr<TDM> first;
    std::unique_ptr<TDM> second;
};

TEST_F(StaleScreen, AnEntryPaidByAnotherTillIsNotPaidAgain) {
    sell(*first, "TV", 3000);
    const QVector<ShownEntry> shown = {{1, Currency::fromCents(3000)}};
    Ledger(*second).settleSelected(shown, LedgerWords::Card);
    EXPECT_THROW(Ledger(*first).settleSelected(shown, LedgerWords::Cash), AccountChanged);
    const QVector<Row> paid = rows(QStringLiteral("select STATUS_PAG, FORM_PAG from TABDIVIDAS"));
    ASSERT_EQ(paid.size(), 1);
    EXPECT_EQ(paid[0][0].toString(), LedgerWords::Paid);
    EXPECT_EQ(paid[0][1].toString(), LedgerWords::Card) << "the first payment's form is kept";
}

TEST_F(StaleScreen, APartialPaymentAfterAnotherTillsSaleErasesNothing) {
    sell(*first, "TV", 3000);
    // The first till's screen shows R$ 30,00; the second sells R$ 50,00 more to the same customer.
    sell(*second, "FERRO", 5000);
    EXPECT_THROW(
        Ledger(*first).settlePart(1, Currency::fromCents(3000), Currency::fromCents(1000), LedgerWords::Cash),
        AccountChanged);
    EXPECT_THROW(Ledger(*first).settleAll(1, LedgerWords::Cash, false, Currency::fromCents(3000)),
                 AccountChanged);
    EXPECT_EQ(owed(), Currency::fromCents(8000));
    // Shown afresh, the account is paid as it now is.
    Ledger(*first).settlePart(1, Currency::fromCents(8000), Currency::fromCents(1000), LedgerWords::Cash);
    EXPECT_EQ(owed(), Currency::fromCents(7000));
}

TEST_F(StaleScreen, TwoTillsMakeOneWalkInCustomer) {
    const int a = Customers(*first).walkInCustomer();
    const int b = Customers(*second).walkInCustomer();
    EXPECT_EQ(a, b);
    EXPECT_EQ(first->FDConnection1
                  .selectValue(QStringLiteral("select count(*) from TABCADCLI where NOME = ?"),
                               {LedgerWords::WalkInCustomer})
                  .toInt(),
              1);
}

} // namespace
