#include "data/CashFlow.h"
#include "Printers.h"
#include "TestDatabase.h"
#include "data/Ledger.h"
#include "data/uDM.h"
#include "platform/core/Clock.h"
#include "platform/core/Query.h"

#include <gtest/gtest.h>

namespace {

using CashFlow::Kind;
using CashFlow::Period;
using CashFlow::Scope;

TEST(CashFlowStatements, EachScopeKindAndPeriodPicksItsStatementAndNamesOnlyItsParameters) {
    const struct {
        Scope scope;
        Kind kind;
        Period period;
        int number;
        QStringList params;
    } cases[] = {
        {Scope::AllCustomers, Kind::Unpaid, Period::Today, 1, {}},
        {Scope::AllCustomers, Kind::Unpaid, Period::CurrentMonth, 2, {"MES", "ANO"}},
        {Scope::AllCustomers, Kind::Unpaid, Period::AllTime, 3, {}},
        {Scope::AllCustomers, Kind::Unpaid, Period::Custom, 4, {"PINICIAL", "PFINAL"}},
        {Scope::AllCustomers, Kind::Paid, Period::Today, 5, {}},
        {Scope::AllCustomers, Kind::Paid, Period::CurrentMonth, 6, {"MES", "ANO"}},
        {Scope::AllCustomers, Kind::Paid, Period::AllTime, 7, {}},
        {Scope::AllCustomers, Kind::Paid, Period::Custom, 8, {"PINICIAL", "PAPOSFINAL"}},
        {Scope::AllCustomers, Kind::Overdue, Period::Today, 9, {}},
        {Scope::AllCustomers, Kind::Overdue, Period::CurrentMonth, 10, {"MES", "ANO"}},
        {Scope::AllCustomers, Kind::Overdue, Period::AllTime, 11, {}},
        {Scope::AllCustomers, Kind::Overdue, Period::Custom, 12, {"PINICIAL", "PFINAL"}},
        {Scope::OneCustomer, Kind::Unpaid, Period::Today, 13, {"QNOME"}},
        {Scope::OneCustomer, Kind::Unpaid, Period::CurrentMonth, 14, {"MES", "ANO", "QNOME"}},
        {Scope::OneCustomer, Kind::Unpaid, Period::AllTime, 15, {"QNOME"}},
        {Scope::OneCustomer, Kind::Unpaid, Period::Custom, 16, {"QNOME", "PINICIAL", "PFINAL"}},
        {Scope::OneCustomer, Kind::Paid, Period::Today, 17, {"QNOME"}},
        {Scope::OneCustomer, Kind::Paid, Period::CurrentMonth, 18, {"MES", "ANO", "QNOME"}},
        {Scope::OneCustomer, Kind::Paid, Period::AllTime, 19, {"QNOME"}},
        {Scope::OneCustomer, Kind::Paid, Period::Custom, 20, {"QNOME", "PINICIAL", "PFINAL"}},
        {Scope::OneCustomer, Kind::Overdue, Period::Today, 21, {"QNOME"}},
        {Scope::OneCustomer, Kind::Overdue, Period::CurrentMonth, 22, {"MES", "ANO", "QNOME"}},
        {Scope::OneCustomer, Kind::Overdue, Period::AllTime, 23, {"QNOME"}},
        {Scope::OneCustomer, Kind::Overdue, Period::Custom, 24, {"QNOME", "PINICIAL", "PFINAL"}},
    };
    for (const auto& c : cases) {
        const int number = CashFlow::statementNumber(c.scope, c.kind, c.period);
        EXPECT_EQ(number, c.number);
        QStringList names;
        replaceNamedParameters(CashFlow::statement(number), names);
        EXPECT_EQ(names, c.params) << number;
        EXPECT_TRUE(CashFlow::statement(number).startsWith(
            QStringLiteral("select * from tabdividas Inner join TabCadCli on (Tabdividas.cliente = "
                           "TabcadCli.Codigo) Where")));
        EXPECT_TRUE(CashFlow::statement(number).endsWith(QStringLiteral("ORDER BY tabdividas.codigo Desc")));
    }
}

TEST(CashFlowStatements, KeepTheTextsTheShopHasAlwaysRun) {
    const QString prefix = QStringLiteral(
        "select * from tabdividas Inner join TabCadCli on (Tabdividas.cliente = TabcadCli.Codigo) ");
    EXPECT_EQ(CashFlow::statement(4),
              prefix + QStringLiteral("Where  TabDividas.data BETWEEN :pInicial and :pFinal AND "
                                      "TabDividas.STATUS_PAG = 'NP'ORDER BY tabdividas.codigo Desc"));
    EXPECT_EQ(CashFlow::statement(9),
              prefix +
                  QStringLiteral("Where TabDividas.data_Venc = Current_date  AND TabDividas.STATUS_PAG = "
                                 "'NP'ORDER BY tabdividas.codigo Desc"));
    EXPECT_EQ(CashFlow::statement(13),
              prefix + QStringLiteral("Where TabCadCli.Nome = :qNome AND TabDividas.data = CURRENT_DATE AND "
                                      "TabDividas.STATUS_PAG = 'NP'ORDER BY tabdividas.codigo Desc"));
    EXPECT_EQ(CashFlow::statement(19),
              prefix +
                  QStringLiteral("Where TabCadCli.Nome = :qnome  AND TabDividas.STATUS_PAG = 'PG'ORDER BY "
                                 "tabdividas.codigo Desc"));
    EXPECT_EQ(CashFlow::statement(21),
              prefix +
                  QStringLiteral("Where TabCadCli.Nome = :qNome AND TabDividas.data_Venc = Current_date  "
                                 "AND TabDividas.STATUS_PAG = 'NP'ORDER BY tabdividas.codigo Desc"));
    EXPECT_EQ(CashFlow::statement(6),
              prefix +
                  QStringLiteral("Where extract(month from TabDividas.data) = :Mes AND extract(year from "
                                 "TabDividas.data) = :Ano AND TabDividas.STATUS_PAG = 'PG' ORDER BY "
                                 "tabdividas.codigo Desc"));
}

// A small ledger around today. The statements compare with the database's own date, so the clock stands
// on the real day.
class CashFlowConsultation : public ::testing::Test {
protected:
    void SetUp() override {
        dm = std::make_unique<TDM>(db.path());
        sql(QStringLiteral("insert into TABCADCLI (CODIGO, NOME) values (1, 'ANA')"));
        sql(QStringLiteral("insert into TABCADCLI (CODIGO, NOME) values (2, 'BETO')"));
        sql(QStringLiteral("insert into TABCADCLI (CODIGO, NOME) values (3, 'ANA')"));
        const QDate lastMonth = today.addMonths(-1);
        // code, customer, sale day, due day, paid at
        entry(1, 1, today, today.addDays(30), {});                                 // sold today
        entry(2, 2, today, today, {});                                             // sold and due today
        entry(3, 1, lastMonth, today.addDays(-1), {});                             // overdue
        entry(4, 3, today.addYears(-1), today.addYears(-1).addDays(30), {});       // this month of last year
        entry(5, 2, lastMonth, today.addDays(5), QDateTime(today, QTime(17, 45))); // paid late today
        entry(6, 1, today, today.addDays(10), QDateTime(today, QTime(0, 0)));      // paid at midnight
        entry(7, 3, lastMonth, lastMonth.addDays(3), QDateTime(today.addDays(-1), QTime(9, 0)));
        entry(8, 2, today, today.addDays(2), {}, QStringLiteral("PG")); // paid, no moment recorded
    }
    void sql(const QString& text, const QVariantList& params = {}) {
        dm->FDConnection1.execute(text, params);
    }
    void entry(int code, int customer, const QDate& sold, const QDate& due, const QDateTime& paidAt,
               QString status = {}) {
        if (status.isEmpty())
            status = paidAt.isValid() ? QStringLiteral("PG") : QStringLiteral("NP");
        sql(QStringLiteral(
                "insert into TABDIVIDAS (CODIGO, CLIENTE, DATA, DATA_VENC, DATA_PAG, VALOR, STATUS_PAG, "
                "CONTA, PARCELA, QUANTIDADE) values (?, ?, ?, ?, ?, ?, ?, 'N', 'À Prazo', 1)"),
            {code, customer, sold, due, paidAt.isValid() ? QVariant(paidAt) : QVariant(),
             QVariant::fromValue(Currency::fromUnits(code)), status});
    }
    QList<int> listed(Scope scope, Kind kind, Period period, const QDate& from = {}, const QDate& to = {},
                      const QString& name = QStringLiteral("ANA")) {
        Query q(dm->FDConnection1);
        CashFlow::prepare(q, {scope, kind, period, from, to, name});
        q.open();
        QList<int> codes;
        for (; !q.eof(); q.next())
            codes << q.value(QStringLiteral("CODIGO")).toInt();
        return codes;
    }

    QDate today = QDate::currentDate();
    FixedClock clock{QDateTime(today, QTime(12, 0))};
    TestDatabase db;
    std::unique_ptr<TDM> dm;
};

TEST_F(CashFlowConsultation, ListsEachKindAndPeriodNewestEntryFirst) {
    const QDate yesterday = today.addDays(-1);
    EXPECT_EQ(listed(Scope::AllCustomers, Kind::Unpaid, Period::Today), (QList<int>{2, 1}));
    EXPECT_EQ(listed(Scope::AllCustomers, Kind::Unpaid, Period::AllTime), (QList<int>{4, 3, 2, 1}));
    EXPECT_EQ(listed(Scope::AllCustomers, Kind::Paid, Period::Today), (QList<int>{6, 5}))
        << "by the day of payment; a paid entry without its moment is never paid today";
    EXPECT_EQ(listed(Scope::AllCustomers, Kind::Paid, Period::AllTime), (QList<int>{8, 7, 6, 5}));
    EXPECT_EQ(listed(Scope::AllCustomers, Kind::Overdue, Period::Today), (QList<int>{2}))
        << "due exactly today";
    EXPECT_EQ(listed(Scope::AllCustomers, Kind::Overdue, Period::AllTime), (QList<int>{4, 3, 2}));
    EXPECT_EQ(listed(Scope::AllCustomers, Kind::Unpaid, Period::Custom, yesterday, today),
              (QList<int>{2, 1}));
    EXPECT_EQ(listed(Scope::AllCustomers, Kind::Overdue, Period::Custom, yesterday, yesterday),
              (QList<int>{3}));
    EXPECT_EQ(listed(Scope::AllCustomers, Kind::Overdue, Period::Custom, yesterday, today.addDays(30)),
              (QList<int>{3, 2}))
        << "an entry is overdue only once its day has come";
    EXPECT_EQ(listed(Scope::AllCustomers, Kind::Unpaid, Period::Custom, today, yesterday), QList<int>{})
        << "a reversed range holds nothing";
}

TEST_F(CashFlowConsultation, OneCustomerIsEveryCustomerOfThatName) {
    EXPECT_EQ(listed(Scope::OneCustomer, Kind::Unpaid, Period::AllTime), (QList<int>{4, 3, 1}));
    EXPECT_EQ(listed(Scope::OneCustomer, Kind::Unpaid, Period::Today), (QList<int>{1}));
    EXPECT_EQ(listed(Scope::OneCustomer, Kind::Paid, Period::AllTime), (QList<int>{7, 6}));
    EXPECT_EQ(listed(Scope::OneCustomer, Kind::Overdue, Period::AllTime), (QList<int>{4, 3}));
    EXPECT_EQ(listed(Scope::OneCustomer, Kind::Paid, Period::Custom, today, today), (QList<int>{6}))
        << "one customer's paid entries go by their sale day";
    EXPECT_EQ(listed(Scope::OneCustomer, Kind::Unpaid, Period::AllTime, {}, {}, QStringLiteral("NINGUEM")),
              QList<int>{});
}

TEST_F(CashFlowConsultation, TheCurrentMonthIsThisYearsAndGoesBySaleDay) {
    EXPECT_EQ(listed(Scope::AllCustomers, Kind::Unpaid, Period::CurrentMonth), (QList<int>{2, 1}))
        << "the same month of last year is not this month";
    EXPECT_EQ(listed(Scope::AllCustomers, Kind::Paid, Period::CurrentMonth), (QList<int>{8, 6}))
        << "sold this month, whenever paid";
    EXPECT_EQ(listed(Scope::AllCustomers, Kind::Overdue, Period::CurrentMonth), (QList<int>{2}));
    EXPECT_EQ(listed(Scope::OneCustomer, Kind::Overdue, Period::CurrentMonth), QList<int>{});
}

TEST_F(CashFlowConsultation, PaymentsOfARangeIncludeTheWholeFinalDay) {
    EXPECT_EQ(listed(Scope::AllCustomers, Kind::Paid, Period::Custom, today, today), (QList<int>{6, 5}))
        << "paid at midnight and paid at a quarter to six";
    EXPECT_EQ(listed(Scope::AllCustomers, Kind::Paid, Period::Custom, today.addDays(-1), today.addDays(-1)),
              (QList<int>{7}));
    EXPECT_EQ(listed(Scope::AllCustomers, Kind::Paid, Period::Custom, today.addDays(1), today.addDays(9)),
              QList<int>{});
}

TEST_F(CashFlowConsultation, DeletingAnEntryTakesItsPurchaseLineAndNothingElse) {
    // Each line written with its entry: same customer, sale day and label.
    sql(QStringLiteral(
            "insert into TABDESC_COMPRAS (CODIGO, CLIENTE, DATA, VALOR, STATUS, COD_VENDA) values (1, 1, ?, "
            "10, 'À Prazo', 3)"),
        {today.addMonths(-1)});
    sql(QStringLiteral(
            "insert into TABDESC_COMPRAS (CODIGO, CLIENTE, DATA, VALOR, STATUS, COD_VENDA) values (2, 1, ?, "
            "10, 'À Prazo', 1)"),
        {today});
    // Another screen left the shared ledger on one customer's open entries.
    dm->TabDividas.open();
    dm->TabDividas.setFilter(QStringLiteral("Cliente LIKE'2'"));
    dm->TabDividas.setFiltered(true);
    EXPECT_TRUE(Ledger(*dm).deleteEntry(3));
    EXPECT_TRUE(Ledger(*dm).deleteEntry(2)) << "an entry without a purchase line goes alone";
    EXPECT_FALSE(Ledger(*dm).deleteEntry(99));
    EXPECT_EQ(dm->FDConnection1
                  .selectValue(QStringLiteral("select list(CODIGO) from (select CODIGO from "
                                              "TABDIVIDAS order by CODIGO)"))
                  .toString(),
              QStringLiteral("1,4,5,6,7,8"));
    EXPECT_EQ(
        dm->FDConnection1.selectValue(QStringLiteral("select list(COD_VENDA) from TABDESC_COMPRAS")).toInt(),
        1);
    EXPECT_TRUE(dm->TabDividas.filtered()) << "the other screen's view stays as it was";
    EXPECT_EQ(dm->TabDividas.recordCount(), 2);
}

} // namespace
