#include "LedgerFixture.h"
#include "Printers.h"

#include <QLineEdit>
#include <QToolButton>

namespace {

class Ledger : public LedgerTest {
protected:
    void SetUp() override {
        LedgerTest::SetUp();
        addCustomer(1, QStringLiteral("ANA"));
        addCustomer(2, QStringLiteral("BETO"));
        addCustomer(3, QStringLiteral("CLIENTE AVULSO"));
        const QDate today = clock.currentDateTime().date();
        addEntry(1, 1, QStringLiteral("10,00"), today);             // due today: red
        addEntry(2, 1, QStringLiteral("20,50"), today.addDays(1));  // due tomorrow: blue
        addEntry(3, 1, QStringLiteral("5,00"), today, "NP", "V");   // a cash sale: not on the ledger
        addEntry(4, 1, QStringLiteral("7,00"), today, "PG");        // paid: not on the ledger
        addEntry(5, 2, QStringLiteral("99,00"), today.addDays(-3)); // another customer's
        // Entry 2's line: written with it, for its customer, on its day, under its label.
        DM->FDConnection1.execute(
            QStringLiteral("insert into TABDESC_COMPRAS (CODIGO, CLIENTE, DATA, STATUS, "
                           "COD_VENDA) values (1, 1, ?, 'À Prazo', 2)"),
            {today});
    }
};

TEST_F(Ledger, ChoosingACustomerShowsItsOpenCreditEntriesColouredWithTheirTotal) {
    showActive(FDividas);
    EXPECT_TRUE(FDividas->DBText1->text().isEmpty());
    EXPECT_EQ(FDividas->BPesquisar->text(), QStringLiteral("Pesquisar\nClientes [F2]"));
    openLedgerFor(QStringLiteral("ANA"));
    EXPECT_EQ(DM->TabDividas.filter(), QStringLiteral("Cliente LIKE'1'AND Status_Pag ='NP'AND Conta <>'V'"));
    EXPECT_EQ(FDividas->DBText1->text(), QStringLiteral("ANA"));
    EXPECT_EQ(FPesquisaCli->Edit1->text(), QString()) << "the picker's box is emptied by a choice";
    DBGrid* grid = FDividas->DBGrid1;
    ASSERT_EQ(grid->model()->rowCount(), 2);
    EXPECT_EQ(grid->cellText(1, 6), QStringLiteral("R$ 20,50"));
    EXPECT_EQ(grid->cellTextColor(0, 1), QColor(Qt::red)) << "due today";
    EXPECT_EQ(grid->cellTextColor(1, 1), QColor(Qt::blue)) << "due tomorrow";
    EXPECT_EQ(FDividas->DBText2->text(), QStringLiteral("R$ 30,50"));

    FDividas->close();
    EXPECT_FALSE(DM->TabDividas.isOpen());
    showActive(FDividas);
    EXPECT_TRUE(FDividas->DBText1->text().isEmpty()) << "every opening starts with no customer";
    EXPECT_EQ(grid->model()->rowCount(), 0);
    EXPECT_TRUE(FDividas->DBText2->text().isEmpty());
}

TEST(LedgerColours, FollowTheDueDayAndThePayment) {
    FixedClock clock(QDateTime(QDate(2026, 3, 10), QTime(9, 0)));
    struct Case {
        const char* status;
        QDate due;
        QDateTime paid;
        QColor colour;
    };
    const QDate today(2026, 3, 10);
    for (const Case& c : {Case{"NP", today, {}, Qt::red}, Case{"NP", today.addDays(1), {}, Qt::blue},
                          Case{"NP", today.addDays(-1), {}, Qt::red},
                          Case{"PG", today, QDateTime(today, QTime(0, 0, 1)), Qt::red},
                          Case{"PG", today, today.addDays(-1).startOfDay(), Qt::blue},
                          Case{"PG", today.addDays(5), QDateTime(today, QTime(12, 0)), Qt::blue}})
        EXPECT_EQ(ledgerRowColor(QString::fromUtf8(c.status), c.due, c.paid), c.colour)
            << c.status << ' ' << c.due.toString().toStdString();
}

TEST_F(Ledger, WarnsWhenNoCustomerIsChosen) {
    showActive(FDividas);
    press(Qt::Key_F4);
    press(Qt::Key_F6);
    press(Qt::Key_F7);
    DM->TabDividas.open();
    press(Qt::Key_F5);
    EXPECT_EQ(
        messages.log(),
        (QStringList{QStringLiteral(
                         "warning|AVISO !|POR FAVOR SELECIONE O CLIENTE ANTES DE CADASTRAR UMA NOVA DIVIDA"),
                     QStringLiteral("warning|AVISO !|POR FAVOR SELECIONE O CLIENTE"),
                     QStringLiteral("warning|AVISO !|POR FAVOR SELECIONE O CLIENTE"),
                     QStringLiteral("warning|AVISO !|POR FAVOR SELECIONE O CLIENTE")}));
    EXPECT_FALSE(DM->TabDividas.isOpen()) << "F5 without a customer closes the datasets";
    EXPECT_FALSE(DM->TabCadCli.isOpen());
    EXPECT_TRUE(modal.shown.isEmpty());
}

TEST_F(Ledger, ACorrectionStoresUnitValueTimesQuantityOnEnter) {
    openLedgerFor(QStringLiteral("ANA"));
    DBGrid* grid = FDividas->DBGrid1;
    grid->setFocus();
    press(Qt::Key_Return);
    EXPECT_EQ(messages.log(),
              QStringList{QStringLiteral("warning|AVISO !|PARA EDITAR CLICK NO BOTÃO EDITAR")});
    press(Qt::Key_F6);
    EXPECT_TRUE(DM->TabDividas.isEditing());
    const QModelIndex quantity = grid->model()->index(0, 2);
    EXPECT_FALSE(grid->model()->flags(grid->model()->index(0, 6)) & Qt::ItemIsEditable)
        << "VALOR is computed";
    EXPECT_TRUE(grid->model()->setData(grid->model()->index(0, 5), QStringLiteral("2,50"), Qt::EditRole));
    EXPECT_TRUE(grid->model()->setData(quantity, QStringLiteral("3"), Qt::EditRole));
    grid->setFocus();
    press(Qt::Key_Return);
    EXPECT_FALSE(DM->TabDividas.isEditing());
    EXPECT_FALSE(grid->isEditable());
    EXPECT_EQ(column(QStringLiteral(
                  "select cast(VALOR as varchar(20)) || '|' || QUANTIDADE from TABDIVIDAS where CODIGO = 1")),
              QStringLiteral("7.50|3"));
    EXPECT_EQ(FDividas->DBText2->text(), QStringLiteral("R$ 28,00"));
}

TEST_F(Ledger, ACorrectionLeftWithoutEnterIsDroppedByTheNextOperation) {
    openLedgerFor(QStringLiteral("ANA"));
    press(Qt::Key_F6);
    FDividas->DBGrid1->model()->setData(FDividas->DBGrid1->model()->index(0, 5), QStringLiteral("1,00"),
                                        Qt::EditRole);
    messages.answers.enqueue(QMessageBox::No);
    press(Qt::Key_F7);
    EXPECT_FALSE(DM->TabDividas.isEditing());
    EXPECT_EQ(column(QStringLiteral("select cast(VALOR_UN as varchar(20)) from TABDIVIDAS where CODIGO = 1")),
              QStringLiteral("10.00"));
    press(Qt::Key_F6);
    FDividas->DBGrid1->model()->setData(FDividas->DBGrid1->model()->index(0, 5), QStringLiteral("1,00"),
                                        Qt::EditRole);
    FDividas->close();
    EXPECT_EQ(column(QStringLiteral("select cast(VALOR_UN as varchar(20)) from TABDIVIDAS where CODIGO = 1")),
              QStringLiteral("10.00"));
}

// Keys one at a time, each to whatever has the focus then (the first opens the cell's editor).
void typeKeys(const QString& text) {
    for (QChar c : text)
        QTest::keyClicks(QApplication::focusWidget(), QString(c));
}

TEST_F(Ledger, CorrectingABalanceRowKeepsItsValue) {
    sql(QStringLiteral(
        "insert into TABDIVIDAS (CODIGO, CLIENTE, DATA, DESCRICAO, VALOR, DATA_VENC, STATUS_PAG, "
        "CONTA, PARCELA) values (6, 1, current_date, 'Saldo PARCIAL', 30, current_date + 40, "
        "'NP', 'N', 'À Prazo')"));
    openLedgerFor(QStringLiteral("ANA"));
    DBGrid* grid = FDividas->DBGrid1;
    grid->setFocus();
    grid->setCurrentIndex(grid->model()->index(2, 1));
    ASSERT_EQ(DM->TabDividasCODIGO.value().toInt(), 6);
    press(Qt::Key_F6);
    typeKeys(QStringLiteral("saldo"));
    press(Qt::Key_Return);
    EXPECT_TRUE(messages.shown.isEmpty()) << messages.log().join(u'\n').toStdString();
    EXPECT_EQ(column(QStringLiteral("select DESCRICAO || '|' || cast(VALOR as varchar(20)) from TABDIVIDAS "
                                    "where CODIGO = 6")),
              QStringLiteral("saldo|30.00"));
}

TEST_F(Ledger, AValueThatDoesNotConvertLeavesTheEntryInCorrection) {
    openLedgerFor(QStringLiteral("ANA"));
    DBGrid* grid = FDividas->DBGrid1;
    grid->setFocus();
    press(Qt::Key_F6);
    grid->setCurrentIndex(grid->model()->index(0, 1));
    typeKeys(QStringLiteral("novo"));
    press(Qt::Key_Tab); // the description is written to the row, the caret in the quantity
    grid->setCurrentIndex(grid->model()->index(0, 2));
    typeKeys(QStringLiteral("abc"));
    press(Qt::Key_Return);
    EXPECT_EQ(messages.log(),
              QStringList{QStringLiteral("standard-error|Brolavi|'abc' não é um valor válido")});
    EXPECT_TRUE(DM->TabDividas.isEditing());
    EXPECT_TRUE(grid->isEditable());
    EXPECT_EQ(
        column(QStringLiteral("select DESCRICAO || '|' || QUANTIDADE from TABDIVIDAS where CODIGO = 1")),
        QStringLiteral("ITEM 1|1"))
        << "nothing stored";
    // The typed text is still there to be mended.
    auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->text(), QStringLiteral("abc"));
    editor->selectAll();
    typeKeys(QStringLiteral("2"));
    press(Qt::Key_Return);
    EXPECT_FALSE(DM->TabDividas.isEditing());
    EXPECT_EQ(
        column(QStringLiteral("select DESCRICAO || '|' || QUANTIDADE || '|' || cast(VALOR as varchar(20)) "
                              "from TABDIVIDAS where CODIGO = 1")),
        QStringLiteral("novo|2|20.00"));
}

TEST_F(Ledger, MovingToAnotherRowDropsTheCorrection) {
    openLedgerFor(QStringLiteral("ANA"));
    DBGrid* grid = FDividas->DBGrid1;
    grid->setFocus();
    press(Qt::Key_F6);
    grid->setCurrentIndex(grid->model()->index(0, 5));
    typeKeys(QStringLiteral("1"));
    press(Qt::Key_Down);
    EXPECT_FALSE(DM->TabDividas.isEditing());
    EXPECT_FALSE(grid->isEditable());
    EXPECT_EQ(DM->TabDividasCODIGO.value().toInt(), 2) << "the grid went down a row";
    typeKeys(QStringLiteral("9"));
    EXPECT_EQ(qobject_cast<QLineEdit*>(QApplication::focusWidget()), nullptr)
        << "the next row is not typed into";
    EXPECT_EQ(
        column(QStringLiteral("select list(cast(VALOR_UN as varchar(20)) || '/' || cast(VALOR as "
                              "varchar(20)), ' ') from (select * from TABDIVIDAS where CODIGO in (1, 2) "
                              "order by CODIGO)")),
        QStringLiteral("10.00/10.00 20.50/20.50"));
    EXPECT_TRUE(messages.shown.isEmpty()) << messages.log().join(u'\n').toStdString();
}

TEST_F(Ledger, DeletingAnEntryTakesItsPurchaseLineInOneUnit) {
    openLedgerFor(QStringLiteral("ANA"));
    messages.answers.enqueue(QMessageBox::No);
    press(Qt::Key_F7);
    EXPECT_EQ(count(QStringLiteral("TABDIVIDAS")), 5) << "No changes nothing";

    messages.answers.enqueue(QMessageBox::Yes);
    press(Qt::Key_F7); // entry 1 has no purchase line
    EXPECT_EQ(column(QStringLiteral("select list(CODIGO) from TABDIVIDAS where CLIENTE = 1")),
              QStringLiteral("2,3,4"));
    EXPECT_EQ(count(QStringLiteral("TABDESC_COMPRAS")), 1);

    sql(QStringLiteral("create exception KEEP_ENTRY 'lançamento protegido'"));
    sql(QStringLiteral(
        "create trigger KEEP_ENTRY for TABDIVIDAS before delete as begin exception KEEP_ENTRY; end"));
    messages.answers.enqueue(QMessageBox::Yes);
    press(Qt::Key_F7); // entry 2 and its line: the entry refuses to go
    EXPECT_EQ(messages.shown.last().kind, Messages::Kind::StandardError);
    EXPECT_EQ(count(QStringLiteral("TABDESC_COMPRAS")), 1) << "the purchase line came back with the entry";
    sql(QStringLiteral("drop trigger KEEP_ENTRY"));

    messages.answers.enqueue(QMessageBox::Yes);
    press(Qt::Key_F7);
    EXPECT_EQ(column(QStringLiteral("select list(CODIGO) from TABDIVIDAS where CLIENTE = 1")),
              QStringLiteral("3,4"));
    EXPECT_EQ(count(QStringLiteral("TABDESC_COMPRAS")), 0);
    EXPECT_TRUE(FDividas->DBText2->text().isEmpty()) << "no open entry left";
}

} // namespace
