#include "LedgerFixture.h"
#include "Printers.h"
#include "cash/uVendasAvista.h"
#include "credit/uPagamentos.h"
#include "platform/widgets/RadioGroup.h"

#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

namespace {

class CashSale : public LedgerTest {
protected:
    void SetUp() override {
        LedgerTest::SetUp();
        addCustomer(1, QStringLiteral("ANA"));
        addCustomer(2, QStringLiteral("BETO"));
    }
    // The cash sale in normal mode with a customer chosen through the picker.
    void openFor(const QString& name) {
        showActive(FVendasAvista);
        modal.onShow(QStringLiteral("FPesquisaCli"), [name](QDialog*) {
            ASSERT_TRUE(DM->TabCadCli.locate(QStringLiteral("NOME"), name));
            FPesquisaCli->DBGrid1DblClick();
        });
        press(Qt::Key_F2);
        QApplication::setActiveWindow(FVendasAvista);
    }
    void item(const QString& description, const QString& quantity, const QString& unit) {
        press(Qt::Key_F4);
        type(description);
        press(Qt::Key_Return);
        FVendasAvista->Edit3->selectAll();
        type(quantity);
        press(Qt::Key_Return);
        type(unit);
        press(Qt::Key_Return); // Enter in the unit value confirms
    }
    // The first listed item clicked, as the shopkeeper picks one to correct.
    void clickFirstItem() {
        DBGrid* grid = FVendasAvista->DBGrid1;
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                          grid->visualRect(grid->model()->index(0, 1)).center());
    }
    QString lastEntry() {
        return column(QStringLiteral(
            "select first 1 CODIGO || '|' || CLIENTE || '|' || DESCRICAO || '|' || QUANTIDADE || '|' || "
            "cast(VALOR_UN as varchar(20)) || '|' || cast(VALOR as varchar(20)) || '|' || PARCELA || '|' || "
            "CONTA "
            "|| '|' || STATUS_PAG || '|' || cast(DATA_VENC as varchar(10)) from TABDIVIDAS order by CODIGO "
            "desc"));
    }
    QString lastLine() {
        return column(QStringLiteral(
            "select first 1 CODIGO || '|' || CLIENTE || '|' || DESCRICAO || '|' || QUANTIDADE || '|' || "
            "cast(VALOR_UN as varchar(20)) || '|' || cast(VALOR as varchar(20)) || '|' || STATUS || '|' || "
            "COD_VENDA "
            "from TABDESC_COMPRAS order by CODIGO desc"));
    }
};

TEST_F(CashSale, StoresEachItemWithItsPurchaseLine) {
    for (int code = 1; code <= 40; ++code)
        addEntry(code, 2, QStringLiteral("1,00"), QDate(2025, 1, 1), "PG", "N");
    addEntry(41, 1, QStringLiteral("4,00"), clock.currentDateTime().date(), "NP", "V");
    showActive(FVendasAvista);
    EXPECT_TRUE(FVendasAvista->DBText1->text().isEmpty()) << "no customer until one is chosen";
    press(Qt::Key_F4);
    EXPECT_EQ(messages.log(),
              QStringList{QStringLiteral(
                  "warning|AVISO !|POR FAVOR SELECIONE O CLIENTE ANTES DE CADASTRAR UMA NOVA VENDA")});
    messages.clear();
    openFor(QStringLiteral("ANA"));
    EXPECT_EQ(DM->TabDividas.filter(), QStringLiteral("Cliente LIKE'1'AND Status_Pag ='NP'AND Conta ='V'"));
    EXPECT_EQ(FVendasAvista->DBText1->text(), QStringLiteral("ANA"));
    EXPECT_EQ(FVendasAvista->DBText2->text(), QStringLiteral("R$ 4,00"));
    // What the total shows while the item is written: never every customer's entries (R$ 44,00 / R$ 51,50).
    QStringList totals;
    QObject watcher;
    for (auto signal : {&Dataset::rowsChanged, &Dataset::currentChanged})
        QObject::connect(&DM->TabDividas, signal, &watcher,
                         [&] { totals << FVendasAvista->DBText2->text(); });
    item(QStringLiteral("cafe"), QStringLiteral("3"), QStringLiteral("2,50"));
    totals.removeAll(QStringLiteral("R$ 4,00"));
    totals.removeAll(QStringLiteral("R$ 11,50"));
    EXPECT_TRUE(totals.isEmpty()) << totals.join(u' ').toStdString();
    EXPECT_TRUE(messages.shown.isEmpty()) << messages.log().join(u'\n').toStdString();
    EXPECT_EQ(lastEntry(), QStringLiteral("42|1|CAFE|3|2.50|7.50|À Vista|V|NP|2025-12-09"));
    EXPECT_EQ(lastLine(), QStringLiteral("1|1|CAFE|3|2.50|7.50|À Vista|42"));
    EXPECT_EQ(FVendasAvista->DBGrid1->model()->rowCount(), 2);
    EXPECT_EQ(FVendasAvista->DBText2->text(), QStringLiteral("R$ 11,50"));
    EXPECT_TRUE(FVendasAvista->Edit1->isReadOnly()) << "the next item needs Novo again";
    EXPECT_FALSE(FVendasAvista->BConfirmar->isVisibleTo(FVendasAvista));

    FVendasAvista->Edit2->setFocus();
    press(Qt::Key_Return);
    EXPECT_EQ(messages.log(), QStringList{QStringLiteral("warning|AVISO !|POR FAVOR DIGITE A DESCRIÇÃO ")});
}

TEST_F(CashSale, AnItemIsCorrectedFromTheGridWithAPlainUnitValue) {
    openFor(QStringLiteral("ANA"));
    item(QStringLiteral("pao"), QStringLiteral("4"), QStringLiteral("2,50"));
    clickFirstItem();
    EXPECT_EQ(FVendasAvista->Edit1->text(), QStringLiteral("PAO"));
    EXPECT_EQ(FVendasAvista->Edit2->text(), QStringLiteral("R$ 2,50"));
    EXPECT_EQ(FVendasAvista->Edit3->text(), QStringLiteral("4"));
    press(Qt::Key_F6);
    FVendasAvista->Edit2->setFocus();
    press(Qt::Key_Return);
    EXPECT_EQ(messages.log(),
              QStringList{QStringLiteral("standard-error|Brolavi|'R$ 2,50' não é um valor válido")});
    EXPECT_EQ(lastEntry().section(u'|', 4, 5), QStringLiteral("2.50|10.00")) << "nothing changed";
    FVendasAvista->Edit2->setText(QStringLiteral("3,00"));
    FVendasAvista->Edit2->setFocus();
    press(Qt::Key_Return);
    EXPECT_EQ(lastEntry().section(u'|', 4, 5), QStringLiteral("3.00|12.00"));
    EXPECT_EQ(lastLine(), QStringLiteral("1|1|PAO|4|2.50|10.00|À Vista|1"))
        << "the purchase line stays as sold";
    EXPECT_FALSE(DM->TabDividas.isEditing());
}

TEST_F(CashSale, EditarWithADescriptionShownButNoItemListedDoesNothing) {
    openFor(QStringLiteral("ANA"));
    item(QStringLiteral("pao"), QStringLiteral("4"), QStringLiteral("2,50"));
    clickFirstItem();
    ASSERT_EQ(FVendasAvista->Edit1->text(), QStringLiteral("PAO"));
    // Paid in full: the item leaves the list, its description stays on screen.
    modal.onShow(QStringLiteral("FPagamentos"), [this](QDialog*) {
        QTest::keyClicks(FPagamentos->Edit1, QStringLiteral("10"));
        messagesAnswerYes();
        QTest::keyClick(FPagamentos->Edit1, Qt::Key_Return);
    });
    press(Qt::Key_F5);
    QApplication::setActiveWindow(FVendasAvista);
    ASSERT_EQ(FVendasAvista->Edit1->text(), QStringLiteral("PAO"));
    ASSERT_TRUE(DM->TabDividas.isEmpty());
    messages.clear();
    press(Qt::Key_F6);
    EXPECT_TRUE(messages.shown.isEmpty()) << messages.log().join(u'\n').toStdString();
    EXPECT_FALSE(DM->TabDividas.isEditing());
    EXPECT_EQ(lastEntry().section(u'|', 2, 5) + lastEntry().section(u'|', 8, 8),
              QStringLiteral("PAO|4|2.50|10.00PG"));
}

TEST_F(CashSale, PaymentWaitsUntilACorrectionIsFinished) {
    openFor(QStringLiteral("ANA"));
    item(QStringLiteral("pao"), QStringLiteral("4"), QStringLiteral("2,50"));
    clickFirstItem();
    press(Qt::Key_F6);
    FVendasAvista->Edit2->setText(QStringLiteral("3,00"));
    press(Qt::Key_F5);
    EXPECT_FALSE(modal.shown.contains(QStringLiteral("FPagamentos"))) << "no payment while correcting";
    FVendasAvista->Edit2->setFocus();
    press(Qt::Key_Return);
    EXPECT_EQ(count(QStringLiteral("TABDIVIDAS")), 1) << "the correction is no new item";
    EXPECT_EQ(lastEntry().section(u'|', 2, 5), QStringLiteral("PAO|4|3.00|12.00"));
}

TEST_F(CashSale, DeletingAnItemTakesExactlyItsPurchaseLine) {
    const QDate today = clock.currentDateTime().date();
    auto line = [this, today](int code, int customer, int entry) {
        DM->FDConnection1.execute(
            QStringLiteral("insert into TABDESC_COMPRAS (CODIGO, CLIENTE, DATA, STATUS, "
                           "COD_VENDA) values (?, ?, ?, 'À Vista', ?)"),
            {code, customer, today, entry});
    };
    line(6, 2, 1); // another customer's settled item that once had code 1
    line(7, 1, 1);
    line(8, 1, 2);
    addEntry(1, 1, QStringLiteral("1,00"), today, "NP", "V");
    addEntry(2, 1, QStringLiteral("2,00"), today, "NP", "V");
    openFor(QStringLiteral("ANA"));
    EXPECT_FALSE(DM->TabDesc_Compras.isOpen());
    messages.answers.enqueue(QMessageBox::Yes);
    press(Qt::Key_F7); // the first item, code 1
    EXPECT_EQ(column(QStringLiteral("select list(CODIGO) from (select CODIGO from TABDESC_COMPRAS order by "
                                    "CODIGO)")),
              QStringLiteral("6,8"));
    EXPECT_EQ(column(QStringLiteral("select list(CODIGO) from TABDIVIDAS")), QStringLiteral("2"));
}

TEST_F(CashSale, AnItemWhoseLineFailsIsNotStored) {
    sql(QStringLiteral("create exception NO_LINE 'linha recusada'"));
    sql(QStringLiteral(
        "create trigger NO_LINE for TABDESC_COMPRAS before insert as begin exception NO_LINE; end"));
    openFor(QStringLiteral("ANA"));
    item(QStringLiteral("leite"), QStringLiteral("1"), QStringLiteral("5"));
    EXPECT_TRUE(messages.shown.last().text.contains(QStringLiteral("linha recusada")));
    EXPECT_EQ(count(QStringLiteral("TABDIVIDAS")), 0) << "no entry without its purchase line";
    EXPECT_EQ(FVendasAvista->Edit1->text(), QStringLiteral("LEITE")) << "the fields keep what was typed";
    EXPECT_EQ(DM->TabDividas.filter(), QStringLiteral("Cliente LIKE'1'AND Status_Pag ='NP'AND Conta ='V'"));
}

TEST_F(CashSale, IsPaidInFullOnlyItsCashItems) {
    const QDate today = clock.currentDateTime().date();
    addEntry(1, 1, QStringLiteral("1,00"), today, "NP", "V");
    addEntry(2, 1, QStringLiteral("50,00"), today, "NP", "N");
    openFor(QStringLiteral("ANA"));
    item(QStringLiteral("cafe"), QStringLiteral("2"), QStringLiteral("3"));
    modal.onShow(QStringLiteral("FPagamentos"), [this](QDialog*) {
        EXPECT_FALSE(FPagamentos->RadioGroup1->isEnabled()) << "only Total from the cash sale";
        EXPECT_EQ(FPagamentos->DBText3->text(), QStringLiteral("R$ 7,00"));
        FPagamentos->SpeedButton3->click();
        QTest::keyClicks(FPagamentos->Edit1, QStringLiteral("10"));
        messagesAnswerYes();
        QTest::keyClick(FPagamentos->Edit1, Qt::Key_Return);
        EXPECT_EQ(FPagamentos->Label2->text(), QStringLiteral("R$ 3,00"));
        EXPECT_EQ(FPagamentos->DBGrid1->model()->rowCount(), 0);
    });
    press(Qt::Key_F5);
    EXPECT_EQ(column(QStringLiteral(
                  "select list(CODIGO || ':' || STATUS_PAG || ':' || coalesce(FORM_PAG, '-'), ' ') "
                  "from TABDIVIDAS")),
              QStringLiteral("1:PG:PIX 2:NP:- 3:PG:PIX"));
    EXPECT_EQ(FVendasAvista->DBGrid1->model()->rowCount(), 0);
}

TEST_F(CashSale, ClosingAndReopeningReturnsToNormalMode) {
    FVendasAvista->AvulsoTrue = true;
    showActive(FVendasAvista);
    EXPECT_FALSE(FVendasAvista->BPesquisar->isEnabled());
    press(Qt::Key_F2);
    EXPECT_TRUE(modal.shown.isEmpty()) << "F2 does nothing for the walk-in customer";
    FVendasAvista->close();
    EXPECT_FALSE(FVendasAvista->AvulsoTrue);
    showActive(FVendasAvista);
    EXPECT_TRUE(FVendasAvista->BPesquisar->isEnabled());
    EXPECT_EQ(FVendasAvista->BPesquisar->text(), QStringLiteral("Pesquisar\nClientes [F2]"));
}

TEST_F(CashSale, TheUnitValueTakesOnlyDigitsAndTheComma) {
    openFor(QStringLiteral("ANA"));
    press(Qt::Key_F4);
    FVendasAvista->Edit2->setFocus();
    type(QStringLiteral("-2a 0,5x"));
    EXPECT_EQ(FVendasAvista->Edit2->text(), QStringLiteral("20,5"));
}

TEST_F(CashSale, EditingAfterMovingWithTheKeysChangesTheRowShown) {
    openFor(QStringLiteral("ANA"));
    item(QStringLiteral("arroz"), QStringLiteral("1"), QStringLiteral("5"));
    item(QStringLiteral("estorno"), QStringLiteral("1"), QStringLiteral("2"));
    clickFirstItem();
    ASSERT_EQ(FVendasAvista->Edit1->text(), QStringLiteral("ARROZ"));
    press(Qt::Key_Down);
    EXPECT_EQ(FVendasAvista->Edit1->text(), QStringLiteral("ESTORNO"));
    press(Qt::Key_F6);
    press(Qt::Key_Return);
    press(Qt::Key_Return);
    FVendasAvista->Edit2->selectAll();
    type(QStringLiteral("10"));
    press(Qt::Key_Return);
    EXPECT_TRUE(messages.shown.isEmpty()) << messages.log().join(u'\n').toStdString();
    EXPECT_EQ(column(QStringLiteral("select list(DESCRICAO || '/' || cast(VALOR as varchar(20)), ' ') from "
                                    "(select * from TABDIVIDAS order by CODIGO)")),
              QStringLiteral("ARROZ/5.00 ESTORNO/10.00"));
}

} // namespace
