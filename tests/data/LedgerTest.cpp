#include "data/Ledger.h"
#include "OtherTill.h"
#include "Printers.h"
#include "TestDatabase.h"
#include "data/uDM.h"
#include "platform/core/Clock.h"
#include "platform/core/Errors.h"
#include "platform/core/FirebirdStatus.h"
#include "platform/core/Transaction.h"

#include <functional>
#include <gtest/gtest.h>

namespace {

// The shop's ledger operations on a database with no screen built.
class LedgerOperations : public ::testing::Test {
protected:
    void SetUp() override {
        dm = std::make_unique<TDM>(db.path());
        sql(QStringLiteral("insert into TABCADCLI (CODIGO, NOME) values (1, 'ANA')"));
        sql(QStringLiteral("insert into TABCADCLI (CODIGO, NOME) values (2, 'BETO')"));
        dm->TabCadCli.open();
        ASSERT_TRUE(dm->TabCadCli.locate(QStringLiteral("CODIGO"), 1));
    }
    void sql(const QString& text) { dm->FDConnection1.execute(text); }
    QStringList rows(const QString& select) { return rows(dm->FDConnection1, select); }
    static QStringList rows(Connection& connection, const QString& select) {
        QStringList out;
        for (const Row& r : connection.select(select)) {
            QStringList cells;
            for (const QVariant& v : r)
                cells << (v.isNull() ? QStringLiteral("-") : v.toString());
            out << cells.join(u'|');
        }
        return out;
    }
    QStringList entries() { return entries(dm->FDConnection1); }
    static QStringList entries(Connection& connection) {
        return rows(
            connection,
            QStringLiteral("select CODIGO, CLIENTE, DESCRICAO, QUANTIDADE, cast(VALOR_UN as varchar(20)), "
                           "cast(VALOR as varchar(20)), PARCELA, STATUS_PAG, CONTA, cast(DATA_VENC as "
                           "varchar(10)), FORM_PAG from TABDIVIDAS order by CODIGO"));
    }
    QStringList lines() {
        return rows(
            QStringLiteral("select CODIGO, DESCRICAO, QUANTIDADE, cast(VALOR as varchar(20)), STATUS, "
                           "COD_VENDA from TABDESC_COMPRAS order by CODIGO"));
    }
    void addEntry(int code, int customer, const char* value, const char* status, const char* account) {
        const QString acc = QString::fromUtf8(account);
        dm->FDConnection1.execute(
            QStringLiteral(
                "insert into TABDIVIDAS (CODIGO, CLIENTE, DESCRICAO, VALOR, STATUS_PAG, CONTA, PARCELA) "
                "values (?, ?, 'ITEM', ?, ?, ?, ?)"),
            {code, customer, QVariant::fromValue(Currency::parse(QString::fromUtf8(value))),
             QString::fromUtf8(status), acc, acc == u"V" ? LedgerWords::CashSale : LedgerWords::OnCredit});
    }
    static SaleItem item(const char* description, const char* unit, int quantity) {
        return SaleItem{QString::fromUtf8(description), Currency::parse(QString::fromUtf8(unit)), quantity,
                        QString::number(quantity)};
    }

    FixedClock clock{QDateTime(QDate(2026, 1, 31), QTime(10, 0))};
    TestDatabase db;
    std::unique_ptr<TDM> dm;
};

TEST_F(LedgerOperations, InstalmentsAddUpToTheSaleAndTheLineFollowsTheLast) {
    Ledger(*dm).creditSaleInInstalments(1, item("TV", "50", 2), 3, QStringLiteral("3"));
    EXPECT_EQ(entries(),
              (QStringList{QStringLiteral("1|1|TV|2|50.00|33.33|Parc. 1 de 3|NP|P|2026-02-28|-"),
                           QStringLiteral("2|1|TV|2|50.00|33.33|Parc. 2 de 3|NP|P|2026-03-31|-"),
                           QStringLiteral("3|1|TV|2|50.00|33.34|Parc. 3 de 3|NP|P|2026-04-30|-")}));
    EXPECT_EQ(lines(), QStringList{QStringLiteral("1|TV|2|100.00|Parc. 3 de 3|3")});
    EXPECT_EQ(dm->TabDividas.filter(), QStringLiteral("Cliente LIKE'1'AND Status_Pag ='NP'AND Conta <>'V'"));
}

TEST_F(LedgerOperations, ASaleIsWrittenWholeOrNotAtAll) {
    sql(QStringLiteral("create exception NO_LINE 'linha recusada'"));
    sql(QStringLiteral("create trigger NO_LINE for TABDESC_COMPRAS before insert as begin exception NO_LINE; "
                       "end"));
    Ledger ledger(*dm);
    EXPECT_THROW(ledger.creditSaleInInstalments(1, item("TV", "10", 1), 12, QStringLiteral("12")),
                 BrolaviError);
    EXPECT_THROW(ledger.creditSale(1, item("TV", "10", 1), QDate(2026, 3, 1)), BrolaviError);
    EXPECT_THROW(ledger.cashSaleItem(1, item("ARROZ", "5", 1)), BrolaviError);
    EXPECT_TRUE(entries().isEmpty());
    EXPECT_TRUE(dm->TabDividas.filtered()) << "the customer's ledger is shown again after a failure";
    EXPECT_FALSE(dm->TabDividas.isEditing());
}

TEST_F(LedgerOperations, ACashSaleItemIsOpenUntilPaid) {
    Ledger(*dm).cashSaleItem(1, item("ARROZ", "2,50", 3));
    EXPECT_EQ(entries(), QStringList{QStringLiteral("1|1|ARROZ|3|2.50|7.50|À Vista|NP|V|2026-01-31|-")});
    EXPECT_EQ(lines(), QStringList{QStringLiteral("1|ARROZ|3|7.50|À Vista|1")});
    EXPECT_EQ(dm->TabDividas.filter(), QStringLiteral("Cliente LIKE'1'AND Status_Pag ='NP'AND Conta ='V'"));
}

TEST_F(LedgerOperations, SettlingAllPaysOnlyTheOpenEntriesOfTheAccountAsked) {
    addEntry(1, 1, "10", "NP", "N");
    addEntry(2, 1, "20", "NP", "V");
    addEntry(3, 2, "30", "NP", "N");
    Ledger(*dm).settleAll(1, LedgerWords::Card, false, Currency::fromUnits(10));
    EXPECT_EQ(rows(QStringLiteral("select CODIGO, STATUS_PAG, FORM_PAG, cast(DATA_PAG as varchar(24)) from "
                                  "TABDIVIDAS order by CODIGO")),
              (QStringList{QStringLiteral("1|PG|Cartão|2026-01-31 10:00:00.0000"), QStringLiteral("2|NP|-|-"),
                           QStringLiteral("3|NP|-|-")}));
    Ledger(*dm).settleAll(1, LedgerWords::Pix, true, Currency::fromUnits(20));
    EXPECT_EQ(rows(QStringLiteral("select STATUS_PAG || FORM_PAG from TABDIVIDAS where CODIGO = 2")),
              QStringList{QStringLiteral("PGPIX")});
}

TEST_F(LedgerOperations, APartPaymentLeavesABalanceAndAPaidRowInOneUnit) {
    addEntry(1, 1, "100", "NP", "N");
    addEntry(2, 1, "50", "NP", "P");
    addEntry(3, 1, "9", "NP", "V");
    Ledger(*dm).settlePart(1, Currency::fromUnits(150), Currency::fromUnits(40), LedgerWords::Pix);
    EXPECT_EQ(
        entries(),
        (QStringList{QStringLiteral("3|1|ITEM|-|-|9.00|À Vista|NP|V|-|-"),
                     QStringLiteral("4|1|Saldo Anterior|-|-|110.00|À Prazo|NP|N|2026-02-28|-"),
                     QStringLiteral("5|1|Pagamento Saldo PARCIAL|-|-|40.00|À Prazo|PG|N|2026-02-28|PIX")}));

    sql(QStringLiteral("create exception NO_PAYMENT 'pagamento recusado'"));
    sql(QStringLiteral("create trigger NO_PAYMENT for TABDIVIDAS before insert as begin "
                       "if (new.STATUS_PAG = 'PG') then exception NO_PAYMENT; end"));
    EXPECT_THROW(
        Ledger(*dm).settlePart(1, Currency::fromUnits(110), Currency::fromUnits(10), LedgerWords::Cash),
        BrolaviError);
    EXPECT_EQ(entries().size(), 3) << "the balance stays when the payment cannot be written";
}

// A settlement as its receipt reads it: each entry paid, then the totals.
QStringList receiptOf(const Settlement& s) {
    QStringList out;
    for (const Settlement::Entry& e : s.entries)
        out << QStringLiteral("%1|%2|%3|%4")
                   .arg(e.description, e.instalment, e.due.toString(Qt::ISODate), e.value.toDbText());
    out << QStringLiteral("%1 %2 partial %3 paid %4 open %5")
               .arg(s.paidAt.toString(Qt::ISODate), s.formOfPayment,
                    s.partial ? s.partial->toDbText() : QStringLiteral("-"), s.paid.toDbText(),
                    s.stillOpen.toDbText());
    return out;
}

TEST_F(LedgerOperations, EachPaymentTellsWhatItPaidAndWhatTheCustomerStillOwes) {
    addEntry(1, 1, "100", "NP", "N");
    addEntry(2, 1, "50", "NP", "P");
    addEntry(3, 1, "9", "NP", "V");
    addEntry(4, 1, "30", "PG", "N");
    addEntry(5, 2, "70", "NP", "N");
    sql(QStringLiteral(
        "update TABDIVIDAS set DATA_VENC = '2026-02-10', PARCELA = 'Parc. 1 de 2' where CODIGO = 2"));
    Ledger ledger(*dm);
    EXPECT_EQ(receiptOf(ledger.settleSelected({{2, Currency::fromUnits(50)}}, LedgerWords::Pix)),
              (QStringList{QStringLiteral("ITEM|Parc. 1 de 2|2026-02-10|50.00"),
                           QStringLiteral("2026-01-31T10:00:00 PIX partial - paid 50.00 open 109.00")}));
    EXPECT_EQ(receiptOf(ledger.settleAll(1, LedgerWords::Card, false, Currency::fromUnits(100))),
              (QStringList{QStringLiteral("ITEM|À Prazo||100.00"),
                           QStringLiteral("2026-01-31T10:00:00 Cartão partial - paid 100.00 open 9.00")}));
    EXPECT_EQ(receiptOf(ledger.settleAll(1, LedgerWords::Cash, true, Currency::fromUnits(9))),
              (QStringList{QStringLiteral("ITEM|À Vista||9.00"),
                           QStringLiteral("2026-01-31T10:00:00 Dinheiro partial - paid 9.00 open 0.00")}));
    addEntry(6, 1, "80", "NP", "N");
    EXPECT_EQ(
        receiptOf(ledger.settlePart(1, Currency::fromUnits(80), Currency::fromUnits(30), LedgerWords::Cash)),
        QStringList{QStringLiteral("2026-01-31T10:00:00 Dinheiro partial 30.00 paid 30.00 open 50.00")});
    EXPECT_EQ(rows(QStringLiteral("select count(*) from TABDIVIDAS where STATUS_PAG = 'PG' and CLIENTE = 1")),
              QStringList{QStringLiteral("5")})
        << "what the settlements tell is what was stored";
}

TEST_F(LedgerOperations, DeletingAnEntryTakesItsLineAndACorrectionKeepsABalance) {
    Ledger ledger(*dm);
    ledger.creditSale(1, item("TV", "10", 1), QDate(2026, 3, 1));
    addEntry(2, 1, "30", "NP", "N"); // a balance row: no unit value, no quantity
    dm->TabDividas.refresh();
    ASSERT_TRUE(dm->TabDividas.locate(QStringLiteral("CODIGO"), 2));
    dm->TabDividas.edit();
    dm->TabDividasDESCRICAO.setValue(QStringLiteral("SALDO"));
    ledger.saveCorrection();
    ASSERT_TRUE(dm->TabDividas.locate(QStringLiteral("CODIGO"), 1));
    ledger.deleteCurrentEntry();
    EXPECT_EQ(entries(), QStringList{QStringLiteral("2|1|SALDO|-|-|30.00|À Prazo|NP|N|-|-")});
    EXPECT_TRUE(lines().isEmpty());
}

// A partial payment deletes the entries it settles, keeps their purchase lines and gives their codes again:
// a deletion must then find the deleted entry's own line, never one of a settled sale.
TEST_F(LedgerOperations, DeletingAnEntryWhoseCodeWasGivenAgainLeavesTheSettledSalesLines) {
    Ledger ledger(*dm);
    ledger.creditSaleInInstalments(1, item("JOGO DE PANELAS INOX", "300", 1), 3, QStringLiteral("3")); // 1-3
    ledger.creditSale(1, item("TOALHA", "20", 1), QDate(2026, 3, 1));                                  // 4
    ledger.settlePart(1, Currency::parse("320"), Currency::parse("100"), LedgerWords::Cash); // 1, 2 again
    ledger.creditSale(2, item("CAFETEIRA", "80", 1), QDate(2026, 3, 1));                     // 3 again
    ledger.settlePart(2, Currency::parse("80"), Currency::parse("30"), LedgerWords::Cash);   // 3, 4 again
    const QStringList settled = lines();
    ASSERT_EQ(settled.size(), 3);

    // The other customer's balance and payment rows hold the codes of the panelas' and the towel's entries.
    ASSERT_TRUE(ledger.deleteEntry(4));
    dm->TabDividas.setFiltered(false);
    ASSERT_TRUE(dm->TabDividas.locate(QStringLiteral("CODIGO"), 3));
    ledger.deleteCurrentEntry();
    EXPECT_EQ(lines(), settled) << "balance and payment rows have no purchase line";

    // Sales of the same customer, on the same day and under the same label as the settled towel's: each
    // deletion takes only the line written with its entry.
    ledger.creditSale(1, item("LENCOL", "45", 1), QDate(2026, 3, 1)); // 3 again
    ledger.creditSale(1, item("FRONHA", "15", 1), QDate(2026, 3, 1)); // 4 again, as the towel
    ASSERT_TRUE(ledger.deleteEntry(4));
    ASSERT_TRUE(ledger.deleteEntry(3));
    EXPECT_EQ(lines(), settled);
}

// The units that number their rows, each as the shop runs it on customer 1.
enum class NumberingUnit { CreditSale, Instalments, CashItem, PartPayment };

std::string nameOf(NumberingUnit unit) {
    switch (unit) {
    case NumberingUnit::CreditSale:
        return "CreditSale";
    case NumberingUnit::Instalments:
        return "Instalments";
    case NumberingUnit::CashItem:
        return "CashItem";
    case NumberingUnit::PartPayment:
        return "PartPayment";
    }
    return {};
}

class CodesTakenByAnotherTill : public LedgerOperations {
protected:
    static inline const QString EntryOfTheOtherTill = QStringLiteral(
        "insert into TABDIVIDAS (CODIGO, CLIENTE, DESCRICAO, VALOR, STATUS_PAG, CONTA) values (?, 2, "
        "'OUTRO CAIXA', 5, 'NP', 'N')");
    static inline const QString LineOfTheOtherTill = QStringLiteral(
        "insert into TABDESC_COMPRAS (CODIGO, CLIENTE, DESCRICAO) values (?, 2, 'OUTRO CAIXA')");

    void run(NumberingUnit unit) {
        Ledger ledger(*dm);
        switch (unit) {
        case NumberingUnit::CreditSale:
            ledger.creditSale(1, item("TV", "10", 1), QDate(2026, 3, 1));
            break;
        case NumberingUnit::Instalments:
            ledger.creditSaleInInstalments(1, item("TV", "50", 2), 3, QStringLiteral("3"));
            break;
        case NumberingUnit::CashItem:
            ledger.cashSaleItem(1, item("ARROZ", "2,50", 3));
            break;
        case NumberingUnit::PartPayment:
            ledger.settlePart(1, Currency::fromUnits(150), Currency::fromUnits(40), LedgerWords::Pix);
            break;
        }
    }
    // The debts a partial payment settles, and a cash item it leaves.
    void openDebts() {
        addEntry(1, 1, "100", "NP", "N");
        addEntry(2, 1, "50", "NP", "P");
        addEntry(3, 1, "9", "NP", "V");
    }
};

struct TakenCodeCase {
    NumberingUnit unit;
    bool lineTaken; // the purchase line's code is taken; otherwise the ledger entry's
    int times;      // how many attempts meet a taken code
    QStringList entries;
    QStringList lines;
};

class ACodeTakenMeanwhile : public CodesTakenByAnotherTill,
                            public ::testing::WithParamInterface<TakenCodeCase> {};

TEST_P(ACodeTakenMeanwhile, LeavesTheUnitStoredWholeUnderTheNextFreeCodes) {
    const TakenCodeCase& c = GetParam();
    if (c.unit == NumberingUnit::PartPayment)
        openDebts();
    AnotherTill till(db.path());
    till.takeCodesBefore(c.lineTaken ? dm->TabDesc_Compras : dm->TabDividas, c.times,
                         c.lineTaken ? LineOfTheOtherTill : EntryOfTheOtherTill);
    run(c.unit);
    EXPECT_EQ(till.taken().size(), c.times);
    EXPECT_EQ(entries(), c.entries);
    EXPECT_EQ(lines(), c.lines);
    EXPECT_FALSE(dm->TabDividas.isEditing());
    EXPECT_FALSE(dm->TabDesc_Compras.isEditing());
}

const QString OtherEntry = QStringLiteral("|2|OUTRO CAIXA|-|-|5.00|-|NP|N|-|-");
const QString OtherLine = QStringLiteral("|OUTRO CAIXA|-|-|-|-");

INSTANTIATE_TEST_SUITE_P(
    Cases, ACodeTakenMeanwhile,
    ::testing::Values(
        TakenCodeCase{NumberingUnit::CreditSale,
                      false,
                      1,
                      {u'1' + OtherEntry, QStringLiteral("2|1|TV|1|10.00|10.00|À Prazo|NP|N|2026-03-01|-")},
                      {QStringLiteral("1|TV|1|10.00|À Prazo|2")}},
        TakenCodeCase{NumberingUnit::CreditSale,
                      true,
                      1,
                      {QStringLiteral("1|1|TV|1|10.00|10.00|À Prazo|NP|N|2026-03-01|-")},
                      {u'1' + OtherLine, QStringLiteral("2|TV|1|10.00|À Prazo|1")}},
        TakenCodeCase{NumberingUnit::Instalments,
                      false,
                      2,
                      {u'1' + OtherEntry, u'2' + OtherEntry,
                       QStringLiteral("3|1|TV|2|50.00|33.33|Parc. 1 de 3|NP|P|2026-02-28|-"),
                       QStringLiteral("4|1|TV|2|50.00|33.33|Parc. 2 de 3|NP|P|2026-03-31|-"),
                       QStringLiteral("5|1|TV|2|50.00|33.34|Parc. 3 de 3|NP|P|2026-04-30|-")},
                      {QStringLiteral("1|TV|2|100.00|Parc. 3 de 3|5")}},
        TakenCodeCase{NumberingUnit::Instalments,
                      true,
                      1,
                      {QStringLiteral("1|1|TV|2|50.00|33.33|Parc. 1 de 3|NP|P|2026-02-28|-"),
                       QStringLiteral("2|1|TV|2|50.00|33.33|Parc. 2 de 3|NP|P|2026-03-31|-"),
                       QStringLiteral("3|1|TV|2|50.00|33.34|Parc. 3 de 3|NP|P|2026-04-30|-")},
                      {u'1' + OtherLine, QStringLiteral("2|TV|2|100.00|Parc. 3 de 3|3")}},
        TakenCodeCase{NumberingUnit::CashItem,
                      true,
                      1,
                      {QStringLiteral("1|1|ARROZ|3|2.50|7.50|À Vista|NP|V|2026-01-31|-")},
                      {u'1' + OtherLine, QStringLiteral("2|ARROZ|3|7.50|À Vista|1")}},
        TakenCodeCase{NumberingUnit::PartPayment,
                      false,
                      1,
                      {QStringLiteral("3|1|ITEM|-|-|9.00|À Vista|NP|V|-|-"), u'4' + OtherEntry,
                       QStringLiteral("5|1|Saldo Anterior|-|-|110.00|À Prazo|NP|N|2026-02-28|-"),
                       QStringLiteral("6|1|Pagamento Saldo PARCIAL|-|-|40.00|À Prazo|PG|N|2026-02-28|PIX")},
                      {}}),
    [](const ::testing::TestParamInfo<TakenCodeCase>& p) {
        return nameOf(p.param.unit) + (p.param.lineTaken ? "LineTaken" : "EntryTaken");
    });

class EveryCodeTaken : public CodesTakenByAnotherTill, public ::testing::WithParamInterface<NumberingUnit> {};

TEST_P(EveryCodeTaken, GivesUpAfterABoundSayingSoInPortugueseAndStoresNothing) {
    const bool part = GetParam() == NumberingUnit::PartPayment;
    if (part)
        openDebts();
    const QStringList before = entries();
    AnotherTill till(db.path());
    till.takeCodesBefore(dm->TabDividas, 1000, EntryOfTheOtherTill);
    try {
        run(GetParam());
        ADD_FAILURE() << "stored although every code was taken";
    } catch (const DatabaseError& e) {
        EXPECT_TRUE(Firebird::shopkeeperText(e).startsWith(
            QStringLiteral("JÁ EXISTE UM REGISTRO COM ESTE CÓDIGO: A OPERAÇÃO NÃO FOI CONCLUÍDA. TENTE "
                           "NOVAMENTE.\n")))
            << Firebird::shopkeeperText(e).toStdString();
    }
    // A row takes the next code at once, a few times, before the whole unit is tried again.
    const int tries = KeyConflicts::Attempts * KeyConflicts::Attempts;
    EXPECT_EQ(till.taken().size(), tries) << "tried again a few times, then gave up";
    QStringList expected = before;
    for (int code : till.taken())
        expected << QString::number(code) + OtherEntry;
    expected.sort();
    QStringList stored = entries();
    stored.sort();
    EXPECT_EQ(stored, expected) << "nothing of the unit is stored";
    EXPECT_TRUE(lines().isEmpty());
    EXPECT_FALSE(dm->TabDividas.isEditing());
}

INSTANTIATE_TEST_SUITE_P(Units, EveryCodeTaken,
                         ::testing::Values(NumberingUnit::CreditSale, NumberingUnit::Instalments,
                                           NumberingUnit::CashItem, NumberingUnit::PartPayment),
                         [](const ::testing::TestParamInfo<NumberingUnit>& p) { return nameOf(p.param); });

// Another till on the same database file changes the customer's account after this till's screen read it,
// or at the moment this till pays: the payment, made as the screen showed the account, stores nothing.
struct ChangedAccount {
    const char* what;
    std::function<void(TDM&)> otherTill;
    std::function<void(Ledger&)> payment;
};

void PrintTo(const ChangedAccount& c, std::ostream* out) {
    *out << c.what;
}

SaleItem tv() {
    return SaleItem{QStringLiteral("TV"), Currency::fromUnits(50), 1, QStringLiteral("1")};
}

const ChangedAccount paidSelected{
    "entries paid by the other till, paid as selected",
    [](TDM& o) {
        Ledger(o).settleSelected({{1, Currency::fromUnits(100)}}, LedgerWords::Card);
    },
    [](Ledger& l) {
        l.settleSelected({{1, Currency::fromUnits(100)}, {2, Currency::fromUnits(50)}}, LedgerWords::Pix);
    }};
const ChangedAccount correctedSelected{
    "an entry the other till corrected, paid as selected",
    [](TDM& o) {
        o.FDConnection1.execute(QStringLiteral("update TABDIVIDAS set VALOR = 60 where CODIGO = 2"));
    },
    [](Ledger& l) {
        l.settleSelected({{2, Currency::fromUnits(50)}}, LedgerWords::Pix);
    }};
const ChangedAccount soldThenPart{"a sale of the other till, then a partial payment",
                                  [](TDM& o) { Ledger(o).creditSale(1, tv(), QDate(2026, 3, 1)); },
                                  [](Ledger& l) {
                                      l.settlePart(1, Currency::fromUnits(150), Currency::fromUnits(30),
                                                   LedgerWords::Cash);
                                  }};
const ChangedAccount paidThenPart{
    "a payment of the other till, then a partial payment",
    [](TDM& o) {
        Ledger(o).settleSelected({{2, Currency::fromUnits(50)}}, LedgerWords::Card);
    },
    [](Ledger& l) {
        l.settlePart(1, Currency::fromUnits(150), Currency::fromUnits(30), LedgerWords::Cash);
    }};
const ChangedAccount soldThenAll{"a sale of the other till, then paying everything",
                                 [](TDM& o) { Ledger(o).creditSale(1, tv(), QDate(2026, 3, 1)); },
                                 [](Ledger& l) {
                                     l.settleAll(1, LedgerWords::Cash, false, Currency::fromUnits(150));
                                 }};
const ChangedAccount paidThenAll{
    "a payment of the other till, then paying everything",
    [](TDM& o) {
        Ledger(o).settleSelected({{1, Currency::fromUnits(100)}}, LedgerWords::Card);
    },
    [](Ledger& l) {
        l.settleAll(1, LedgerWords::Cash, false, Currency::fromUnits(150));
    }};
const ChangedAccount rungThenAllCash{"a cash item of the other till, then paying every cash item",
                                     [](TDM& o) { Ledger(o).cashSaleItem(1, tv()); },
                                     [](Ledger& l) {
                                         l.settleAll(1, LedgerWords::Cash, true, Currency::fromUnits(9));
                                     }};

class TwoTills : public LedgerOperations,
                 public ::testing::WithParamInterface<std::pair<ChangedAccount, bool>> {
protected:
    void SetUp() override {
        LedgerOperations::SetUp();
        addEntry(1, 1, "100", "NP", "N");
        addEntry(2, 1, "50", "NP", "N");
        addEntry(3, 1, "9", "NP", "V");
        other = std::make_unique<TDM>(db.path());
        other->TabCadCli.open();
        ASSERT_TRUE(other->TabCadCli.locate(QStringLiteral("CODIGO"), 1));
    }
    std::unique_ptr<TDM> other;
};

TEST_P(TwoTills, APaymentOfAnAccountAnotherTillChangedStoresNothing) {
    const ChangedAccount& change = GetParam().first;
    const bool atTheSameMoment = GetParam().second;
    QStringList afterTheOtherTill;
    const auto otherTill = [&] {
        change.otherTill(*other);
        afterTheOtherTill = entries(other->FDConnection1);
    };
    Ledger ledger(*dm);
    if (atTheSameMoment) {
        AtStatement meanwhile(1, otherTill);
        EXPECT_THROW(change.payment(ledger), AccountChanged);
        EXPECT_TRUE(meanwhile.ran());
    } else {
        otherTill();
        EXPECT_THROW(change.payment(ledger), AccountChanged);
    }
    EXPECT_EQ(entries(), afterTheOtherTill);
}

// At the same moment only what the other till changed in the rows paid counts: a sale of its own is not in
// what this till's unit sees, pays or deletes, and stays open.
INSTANTIATE_TEST_SUITE_P(Changes, TwoTills,
                         ::testing::Values(std::pair{paidSelected, false},
                                           std::pair{correctedSelected, false},
                                           std::pair{soldThenPart, false}, std::pair{paidThenPart, false},
                                           std::pair{soldThenAll, false}, std::pair{paidThenAll, false},
                                           std::pair{rungThenAllCash, false}, std::pair{paidSelected, true},
                                           std::pair{correctedSelected, true}, std::pair{paidThenPart, true},
                                           std::pair{paidThenAll, true}));

} // namespace
