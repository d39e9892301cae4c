#include "LedgerFixture.h"
#include "Printers.h"
#include "credit/uNovaDivida.h"
#include "platform/widgets/RadioGroup.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>

namespace {

class NewSale : public LedgerTest {
protected:
    // On the ledger with customer 1 chosen, the new sale screen open; the script types one item and confirms.
    void sell(const QString& description, const QString& unit, const QString& quantity, const QString& count,
              const QDate& due = {}) {
        modal.onShow(QStringLiteral("FNovaDivida"), [=](QDialog*) {
            QApplication::setActiveWindow(FNovaDivida);
            QTest::keyClicks(FNovaDivida->Edit1, description);
            QTest::keyClicks(FNovaDivida->Edit2, unit);
            FNovaDivida->Edit3->setText(quantity);
            if (!count.isNull()) {
                FNovaDivida->RadioGroup1->click(1);
                FNovaDivida->ComboBox1->clearEditText();
                QTest::keyClicks(FNovaDivida->ComboBox1->lineEdit(), count);
            } else if (due.isValid()) {
                FNovaDivida->CalendarPicker1->setDate(due);
            }
            QTest::keyClick(FNovaDivida->Edit2, Qt::Key_Return); // Enter in the unit value confirms
        });
        press(Qt::Key_F4);
    }
    QStringList entries() {
        QStringList out;
        for (const Row& r : DM->FDConnection1.select(QStringLiteral(
                 "select CODIGO, CLIENTE, cast(DATA as varchar(10)), DESCRICAO, QUANTIDADE, cast(DATA_VENC "
                 "as varchar(10)), "
                 "cast(VALOR_UN as varchar(20)), cast(VALOR as varchar(20)), PARCELA, STATUS_PAG, CONTA, "
                 "coalesce(cast(DATA_PAG as varchar(24)), '-') || coalesce(FORM_PAG, '-') from TABDIVIDAS "
                 "order by CODIGO"))) {
            QStringList cells;
            for (const QVariant& v : r)
                cells << v.toString();
            out << cells.join(u'|');
        }
        return out;
    }
    QStringList purchaseLines() {
        QStringList out;
        for (const Row& r :
             DM->FDConnection1.select(QStringLiteral("select CODIGO, CLIENTE, cast(DATA as varchar(10)), "
                                                     "DESCRICAO, cast(VALOR as varchar(20)), STATUS, "
                                                     "QUANTIDADE, cast(VALOR_UN as varchar(20)), COD_VENDA "
                                                     "from TABDESC_COMPRAS order by CODIGO"))) {
            QStringList cells;
            for (const QVariant& v : r)
                cells << v.toString();
            out << cells.join(u'|');
        }
        return out;
    }
    void SetUp() override {
        LedgerTest::SetUp();
        addCustomer(1, QStringLiteral("ANA"));
    }
};

TEST_F(NewSale, ThreeInstalmentsOfAHundred) {
    clock.set(QDateTime(QDate(2026, 3, 15), QTime(10, 0)));
    openLedgerFor(QStringLiteral("ANA"));
    sell(QStringLiteral("geladeira"), QStringLiteral("100,00"), QStringLiteral("1"), QStringLiteral("3"));
    EXPECT_TRUE(messages.shown.isEmpty()) << messages.log().join(u'\n').toStdString();
    EXPECT_EQ(
        entries(),
        (QStringList{
            QStringLiteral("1|1|2026-03-15|GELADEIRA|1|2026-04-15|100.00|33.33|Parc. 1 de 3|NP|P|--"),
            QStringLiteral("2|1|2026-03-15|GELADEIRA|1|2026-05-15|100.00|33.33|Parc. 2 de 3|NP|P|--"),
            QStringLiteral("3|1|2026-03-15|GELADEIRA|1|2026-06-15|100.00|33.34|Parc. 3 de 3|NP|P|--")}));
    EXPECT_EQ(purchaseLines(),
              QStringList{QStringLiteral("1|1|2026-03-15|GELADEIRA|100.00|Parc. 3 de 3|1|100.00|3")});
    EXPECT_EQ(DM->TabDividas.filter(), QStringLiteral("Cliente LIKE'1'AND Status_Pag ='NP'AND Conta <>'V'"));
    EXPECT_EQ(FDividas->DBGrid1->model()->rowCount(), 3);
    EXPECT_EQ(FDividas->DBText2->text(), QStringLiteral("R$ 100,00"));
}

TEST_F(NewSale, InstalmentsAddUpToTheSale) {
    openLedgerFor(QStringLiteral("ANA"));
    sell(QStringLiteral("sofa"), QStringLiteral("100"), QStringLiteral("1"), QStringLiteral("6"));
    QStringList values;
    for (const QString& e : entries())
        values << e.section(u'|', 7, 7);
    EXPECT_EQ(values, (QStringList{5, QStringLiteral("16.67")} << QStringLiteral("16.65")));
    EXPECT_EQ(FDividas->DBText2->text(), QStringLiteral("R$ 100,00"));
}

TEST_F(NewSale, InstalmentsFromTheThirtyFirstOfJanuaryFallOnTheLastDayOfShortMonths) {
    clock.set(QDateTime(QDate(2027, 1, 31), QTime(10, 0)));
    openLedgerFor(QStringLiteral("ANA"));
    sell(QStringLiteral("tv"), QStringLiteral("10"), QStringLiteral("3"), QStringLiteral("3"));
    QStringList due;
    for (const QString& e : entries())
        due << e.section(u'|', 5, 5);
    EXPECT_EQ(due, (QStringList{QStringLiteral("2027-02-28"), QStringLiteral("2027-03-31"),
                                QStringLiteral("2027-04-30")}));
    EXPECT_EQ(entries().front().section(u'|', 7, 7), QStringLiteral("10.00")) << "30,00 in three";
}

TEST_F(NewSale, OneDueDateAndItsPurchaseLine) {
    clock.set(QDateTime(QDate(2026, 4, 2), QTime(10, 0)));
    sql(QStringLiteral(
        "insert into TABDIVIDAS (CODIGO, CLIENTE, STATUS_PAG, CONTA) values (7, 9, 'PG', 'N')"));
    sql(QStringLiteral("insert into TABDESC_COMPRAS (CODIGO, CLIENTE) values (4, 9)"));
    openLedgerFor(QStringLiteral("ANA"));
    modal.onShow(QStringLiteral("FNovaDivida"), [](QDialog*) {
        EXPECT_EQ(FNovaDivida->CalendarPicker1->date(), QDate(2026, 5, 2)) << "one month ahead";
        EXPECT_EQ(FNovaDivida->Edit3->text(), QStringLiteral("1"));
        EXPECT_FALSE(FNovaDivida->ComboBox1->isEnabled());
    });
    press(Qt::Key_F4);
    sell(QStringLiteral("camisa"), QStringLiteral("12,5x0"), QStringLiteral("2"), QString(),
         QDate(2026, 5, 10));
    EXPECT_EQ(entries().last(),
              QStringLiteral("8|1|2026-04-02|CAMISA|2|2026-05-10|12.50|25.00|À Prazo|NP|N|--"))
        << "the letter was never typed";
    EXPECT_EQ(purchaseLines().last(), QStringLiteral("5|1|2026-04-02|CAMISA|25.00|À Prazo|2|12.50|8"));
}

TEST_F(NewSale, ATypedCountIsUsedAsTyped) {
    openLedgerFor(QStringLiteral("ANA"));
    // "1" typed where the list offers "10", then Enter in the list: one instalment, and the list as it was.
    modal.onShow(QStringLiteral("FNovaDivida"), [](QDialog*) {
        QApplication::setActiveWindow(FNovaDivida);
        QTest::keyClicks(FNovaDivida->Edit1, QStringLiteral("a"));
        QTest::keyClicks(FNovaDivida->Edit2, QStringLiteral("7"));
        FNovaDivida->RadioGroup1->click(1);
        FNovaDivida->ComboBox1->setFocus();
        QTest::keyClicks(FNovaDivida->ComboBox1->lineEdit(), QStringLiteral("1"));
        QTest::keyClick(FNovaDivida->ComboBox1->lineEdit(), Qt::Key_Return);
        EXPECT_EQ(FNovaDivida->ComboBox1->currentText(), QStringLiteral("1"));
        EXPECT_EQ(FNovaDivida->ComboBox1->count(), 11) << "nothing typed joins the list";
        QTest::keyClick(FNovaDivida->Edit2, Qt::Key_Return);
    });
    press(Qt::Key_F4);
    EXPECT_TRUE(messages.shown.isEmpty()) << messages.log().join(u'\n').toStdString();
    EXPECT_EQ(entries(),
              QStringList{QStringLiteral("1|1|2025-12-09|A|1|2026-01-09|7.00|7.00|Parc. 1 de 1|NP|P|--")});
    EXPECT_EQ(instalmentLabel(99, QStringLiteral("99")), QStringLiteral("Parc. 99 de 99"))
        << "fits the column";
}

TEST_F(NewSale, TheLedgerBehindShowsOnlyTheCustomersEntriesWhileASaleIsWritten) {
    addCustomer(2, QStringLiteral("BETO"));
    addEntry(1, 2, QStringLiteral("999,00"), QDate(2026, 1, 1));
    addEntry(2, 1, QStringLiteral("10,00"), QDate(2026, 1, 1));
    openLedgerFor(QStringLiteral("ANA"));
    ASSERT_EQ(FDividas->DBText2->text(), QStringLiteral("R$ 10,00"));
    QStringList totals;
    QObject watcher;
    for (auto signal : {&Dataset::rowsChanged, &Dataset::currentChanged})
        QObject::connect(&DM->TabDividas, signal, &watcher, [&] { totals << FDividas->DBText2->text(); });
    sell(QStringLiteral("item"), QStringLiteral("50,00"), QStringLiteral("1"), QStringLiteral("2"));
    EXPECT_EQ(FDividas->DBText2->text(), QStringLiteral("R$ 60,00"));
    totals.removeAll(QStringLiteral("R$ 10,00"));
    totals.removeAll(QStringLiteral("R$ 60,00"));
    EXPECT_TRUE(totals.isEmpty()) << "every customer's total showed: " << totals.join(u' ').toStdString();
}

struct Refused {
    const char* unit;
    const char* quantity;
    const char* count; // nullptr: a single due date
    const char* message;
};

class RefusedSale : public NewSale, public ::testing::WithParamInterface<Refused> {};

TEST_P(RefusedSale, WritesNothingAndLeavesTheLedgerFiltered) {
    openLedgerFor(QStringLiteral("ANA"));
    const Refused& c = GetParam();
    sell(QStringLiteral("item"), QString::fromUtf8(c.unit), QString::fromUtf8(c.quantity),
         c.count ? QString::fromUtf8(c.count) : QString());
    EXPECT_TRUE(entries().isEmpty());
    EXPECT_TRUE(purchaseLines().isEmpty());
    const QString message = QString::fromUtf8(c.message);
    if (message.isEmpty()) {
        EXPECT_TRUE(messages.shown.isEmpty());
    } else {
        ASSERT_EQ(messages.shown.size(), 1);
        EXPECT_TRUE(messages.log().front().contains(message)) << messages.log().front().toStdString();
    }
    EXPECT_EQ(DM->TabDividas.filter(), QStringLiteral("Cliente LIKE'1'AND Status_Pag ='NP'AND Conta <>'V'"));
    EXPECT_TRUE(DM->TabDividas.filtered());
    EXPECT_FALSE(DM->TabDividas.isEditing());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RefusedSale,
    ::testing::Values(Refused{"", "1", nullptr, "standard-error|Brolavi|'' não é um valor válido"},
                      Refused{"12,3,4", "1", nullptr,
                              "standard-error|Brolavi|'12,3,4' não é um valor válido"},
                      Refused{"10", "1,5", nullptr, "standard-error|Brolavi|'1,5' não é um valor válido"},
                      Refused{"10", "1", "", "warning|AVISO !|POR FAVOR SELECIONE O NÚMERO DE PARCELAS"},
                      Refused{"10", "1", "dois", "standard-error|Brolavi|'dois' não é um valor válido"},
                      Refused{"10", "1", "0", ""},
                      // the label "Parc. 1 de 100" fits but the hundredth does not: the whole sale goes back
                      Refused{"10", "1", "100", "truncation"}));

TEST_F(NewSale, ConfirmingAgainRightAfterWritesNothing) {
    openLedgerFor(QStringLiteral("ANA"));
    modal.onShow(QStringLiteral("FNovaDivida"), [](QDialog*) {
        QTest::keyClicks(FNovaDivida->Edit1, QStringLiteral("x"));
        QTest::keyClicks(FNovaDivida->Edit2, QStringLiteral("5"));
        QTest::keyClick(FNovaDivida->Edit2, Qt::Key_Return);
        EXPECT_TRUE(FNovaDivida->Edit1->text().isEmpty());
        EXPECT_TRUE(FNovaDivida->Edit2->text().isEmpty());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F5);
    });
    press(Qt::Key_F4);
    EXPECT_EQ(entries().size(), 1);
    EXPECT_EQ(messages.log(), QStringList{QStringLiteral("standard-error|Brolavi|'' não é um valor válido")});
}

} // namespace
