#include "PaymentFixture.h"
#include "Printers.h"
#include "TestDatabase.h"
#include "credit/uPagamentos.h"
#include "platform/widgets/RadioGroup.h"

#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <functional>

namespace {

TEST_F(Payment, APartialPaymentReplacesTheOpenEntriesByABalanceAndAPayment) {
    pay([this] {
        EXPECT_EQ(FPagamentos->RadioGroup1->itemIndex(), 0);
        EXPECT_EQ(FPagamentos->formOfPayment(), QStringLiteral("Dinheiro"));
        EXPECT_EQ(FPagamentos->DBText3->text(), QStringLiteral("R$ 300,00"));
        FPagamentos->SpeedButton2->click();
        FPagamentos->RadioGroup1->click(1);
        EXPECT_FALSE(FPagamentos->DBText3->isVisibleTo(FPagamentos));
        typeAmount(QStringLiteral("120"));
        messagesAnswerYes();
        enter();
        EXPECT_EQ(FPagamentos->DBGrid1->model()->rowCount(), 1);
        EXPECT_EQ(FPagamentos->DBGrid1->cellText(0, 1), QStringLiteral("Saldo PARCIAL"));
        EXPECT_EQ(FPagamentos->DBText2->text(), QStringLiteral("R$ 180,00"));
        EXPECT_TRUE(FPagamentos->Edit1->text().isEmpty());
    });
    EXPECT_EQ(messages.log(),
              QStringList{QStringLiteral("question|Confirmação|Deseja Confirmar o Pagamento?")});
    EXPECT_EQ(
        rows(),
        (QStringList{QStringLiteral("4|ITEM 4|9.00|NP|V|À Vista|-|-|2025-12-09"),
                     QStringLiteral("5|ITEM 5|30.00|PG|N|À Prazo|2025-01-02 08:00:00.0000|PIX|2025-12-09"),
                     QStringLiteral("6|Saldo PARCIAL|180.00|NP|N|À Prazo|-|-|2026-01-09"),
                     QStringLiteral("7|Pagamento Saldo PARCIAL|120.00|PG|N|À Prazo|2025-12-09 "
                                    "14:05:33.0000|Cartão|2026-01-09")}));
    EXPECT_EQ(FDividas->DBText2->text(), QStringLiteral("R$ 180,00"))
        << "the ledger behind shows the balance";
}

struct PartCase {
    const char* amount;
    bool pix;
    const char* balance; // "" when nothing is written
    const char* description;
    bool button = false; // F5 confirms without the check Enter makes
};

class PartialPayment : public Payment, public ::testing::WithParamInterface<PartCase> {};

TEST_P(PartialPayment, Cases) {
    const PartCase& c = GetParam();
    pay([this, &c] {
        if (c.pix)
            FPagamentos->SpeedButton3->click();
        FPagamentos->RadioGroup1->click(1);
        typeAmount(QString::fromUtf8(c.amount));
        messagesAnswerYes();
        if (c.button)
            QTest::keyClick(FPagamentos->Edit1, Qt::Key_F5);
        else
            enter();
    });
    const QString balance = QString::fromUtf8(c.balance);
    if (balance.isEmpty()) {
        EXPECT_EQ(rows().size(), 5) << "nothing changed";
        EXPECT_EQ(messages.shown.last().kind, Messages::Kind::StandardError);
        EXPECT_EQ(messages.shown.last().text,
                  QStringLiteral("'%1' não é um valor válido").arg(QString::fromUtf8(c.amount)));
    } else {
        EXPECT_EQ(rows().at(2).section(u'|', 1, 3),
                  QString::fromUtf8(c.description) + u'|' + balance + QStringLiteral("|NP"));
    }
}

INSTANTIATE_TEST_SUITE_P(Amounts, PartialPayment,
                         ::testing::Values(PartCase{"120", true, "180.00", "Saldo Anterior"},
                                           PartCase{"400", false, "-100.00", "Saldo PARCIAL"},
                                           PartCase{"0", false, "300.00", "Saldo PARCIAL"},
                                           PartCase{"12,50", false, "", ""},
                                           PartCase{"999999999999999", false, "", "", true}));

TEST_F(Payment, APartialPaymentThatFailsLosesNoDebt) {
    sql(QStringLiteral("create exception NO_PAYMENT 'pagamento recusado'"));
    sql(QStringLiteral("create trigger NO_PAYMENT for TABDIVIDAS before insert as begin "
                       "if (new.STATUS_PAG = 'PG') then exception NO_PAYMENT; end"));
    pay([this] {
        FPagamentos->RadioGroup1->click(1);
        typeAmount(QStringLiteral("120"));
        messagesAnswerYes();
        enter();
        EXPECT_EQ(FPagamentos->DBText2->text(), QStringLiteral("R$ 300,00"));
    });
    EXPECT_TRUE(messages.shown.last().text.contains(QStringLiteral("pagamento recusado")));
    EXPECT_EQ(rows().size(), 5);
    EXPECT_EQ(
        sqlValue(QStringLiteral("select cast(sum(VALOR) as varchar(20)) from TABDIVIDAS where CONTA <> 'V' "
                                "and STATUS_PAG = 'NP'"))
            .toString(),
        QStringLiteral("300.00"));
}

TEST_F(Payment, TotalWithEnterShowsTheChangeAndPaysOnlyTheOpenCreditEntries) {
    sql(QStringLiteral("update TABDIVIDAS set VALOR = 0 where CODIGO in (2, 3)"));
    sql(QStringLiteral("update TABDIVIDAS set VALOR = 80 where CODIGO = 1"));
    pay([this] {
        typeAmount(QStringLiteral("79,99"));
        enter();
        EXPECT_TRUE(FPagamentos->Edit1->text().isEmpty());
        typeAmount(QStringLiteral("100"));
        messagesAnswerNo();
        enter();
        EXPECT_EQ(FPagamentos->Label2->text(), QStringLiteral("R$ 20,00"));
        EXPECT_TRUE(FPagamentos->Edit1->text().isEmpty()) << "No empties the amount";
        typeAmount(QStringLiteral("100"));
        messagesAnswerYes();
        enter();
        EXPECT_EQ(FPagamentos->DBGrid1->model()->rowCount(), 0);
        EXPECT_TRUE(FPagamentos->DBText2->text().isEmpty());
    });
    EXPECT_EQ(messages.log().first(), QStringLiteral("warning|AVISO !|VALOR MENOR QUE O VALOR A PAGAR"));
    const QStringList r = rows();
    for (int i : {0, 1, 2})
        EXPECT_TRUE(
            r[i].endsWith(QStringLiteral("|PG|N|À Prazo|2025-12-09 14:05:33.0000|Dinheiro|2025-12-09")))
            << r[i].toStdString();
    EXPECT_EQ(r[3], QStringLiteral("4|ITEM 4|9.00|NP|V|À Vista|-|-|2025-12-09"))
        << "the cash sale stays open";
    EXPECT_TRUE(r[4].contains(QStringLiteral("2025-01-02 08:00:00.0000|PIX")))
        << "a paid entry keeps its payment";
}

TEST_F(Payment, SelectedRowsArePaidAlone) {
    pay([this] {
        DBGrid* grid = FPagamentos->DBGrid1;
        const QRect first = grid->visualRect(grid->model()->index(0, 1));
        const QRect third = grid->visualRect(grid->model()->index(2, 1));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, first.center());
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::ControlModifier, third.center());
        EXPECT_EQ(FPagamentos->RadioGroup1->itemIndex(), 2);
        EXPECT_EQ(FPagamentos->DBText3->text(), QStringLiteral("R$ 150,00"));
        EXPECT_EQ(QApplication::focusWidget(), FPagamentos->Edit1);
        typeAmount(QStringLiteral("149"));
        enter();
        typeAmount(QStringLiteral("200"));
        messagesAnswerYes();
        enter();
        EXPECT_EQ(FPagamentos->Label2->text(), QStringLiteral("R$ 50,00"));
        EXPECT_EQ(FPagamentos->DBGrid1->model()->rowCount(), 1);

        const QPoint row = grid->visualRect(grid->model()->index(0, 1)).center();
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::ControlModifier, row);
        // A second click later than a double click's interval takes the row out of the selection again.
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::ControlModifier, row,
                          QApplication::doubleClickInterval() + 50);
        EXPECT_TRUE(FPagamentos->DBText3->text().isEmpty()) << "the selection was cleared again";
        typeAmount(QStringLiteral("10"));
        QTest::keyClick(FPagamentos->Edit1, Qt::Key_F5);
        FPagamentos->Edit1->clear();
        QTest::keyClick(FPagamentos->Edit1, Qt::Key_F5);
    });
    EXPECT_EQ(
        messages.log(),
        (QStringList{
            QStringLiteral("warning|AVISO !|VALOR MENOR QUE O VALOR A PAGAR"),
            QStringLiteral("question|Confirmação|Deseja Confirmar o Pagamento?"),
            QStringLiteral("warning|AVISO !|FAVOR SELECIONE UM REGISTRO NA TABELA A(S) CONTA(S) A PAGAR "),
            QStringLiteral(
                "warning|AVISO !|FAVOR DIGITE O VALOR E SELECIONE NA TABELA A(S) CONTA(S) A PAGAR ")}));
    const QStringList r = rows();
    EXPECT_TRUE(r[0].contains(QStringLiteral("|PG|"))) << r[0].toStdString();
    EXPECT_TRUE(r[1].contains(QStringLiteral("|NP|")));
    EXPECT_TRUE(r[2].contains(QStringLiteral("|PG|")));
}

TEST_F(Payment, TheChangeShownIsThatOfThePaymentJustConfirmed) {
    pay([this] {
        DBGrid* grid = FPagamentos->DBGrid1;
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                          grid->visualRect(grid->model()->index(0, 1)).center());
        typeAmount(QStringLiteral("166,67"));
        messagesAnswerYes();
        enter();
        EXPECT_EQ(FPagamentos->Label2->text(), QStringLiteral("R$ 66,67"));
        FPagamentos->RadioGroup1->click(1);
        typeAmount(QStringLiteral("100"));
        messagesAnswerYes();
        enter();
        EXPECT_EQ(FPagamentos->Label2->text(), QStringLiteral("R$ 0,00"))
            << "a part payment gives nothing back";
    });
    EXPECT_EQ(column(QStringLiteral("select list(DESCRICAO) from (select DESCRICAO from TABDIVIDAS where "
                                    "STATUS_PAG = 'PG' and FORM_PAG = 'Dinheiro' order by CODIGO)")),
              QStringLiteral("ITEM 1,Pagamento Saldo PARCIAL"));
}

TEST_F(Payment, TheSumShownFollowsASelectionMovedWithTheKeys) {
    pay([this] {
        DBGrid* grid = FPagamentos->DBGrid1;
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                          grid->visualRect(grid->model()->index(0, 1)).center());
        EXPECT_EQ(FPagamentos->DBText3->text(), QStringLiteral("R$ 100,00"));
        QTest::keyClick(grid, Qt::Key_Down); // the selection moves to the second entry
        EXPECT_EQ(FPagamentos->DBText3->text(), QStringLiteral("R$ 150,00"));
        typeAmount(QStringLiteral("200"));
        messagesAnswerYes();
        enter();
        EXPECT_EQ(FPagamentos->Label2->text(), QStringLiteral("R$ 50,00"));
    });
    EXPECT_EQ(
        column(QStringLiteral("select list(CODIGO) from TABDIVIDAS where STATUS_PAG = 'PG' and CODIGO < 5")),
        QStringLiteral("2"))
        << "what was paid is what was shown";
}

TEST_F(Payment, ASecondConfirmationOfASelectionAsksForANewSelection) {
    pay([this] {
        DBGrid* grid = FPagamentos->DBGrid1;
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                          grid->visualRect(grid->model()->index(0, 1)).center());
        typeAmount(QStringLiteral("200"));
        messagesAnswerYes();
        enter();
        typeAmount(QStringLiteral("20"));
        messagesAnswerYes();
        enter();
        EXPECT_TRUE(FPagamentos->DBText3->text().isEmpty());
    });
    EXPECT_EQ(
        messages.log(),
        (QStringList{
            QStringLiteral("question|Confirmação|Deseja Confirmar o Pagamento?"),
            QStringLiteral("warning|AVISO !|FAVOR SELECIONE UM REGISTRO NA TABELA A(S) CONTA(S) A PAGAR ")}));
    EXPECT_EQ(column(QStringLiteral("select count(*) from TABDIVIDAS where STATUS_PAG = 'PG'")),
              QStringLiteral("2"));
}

TEST_F(Payment, NothingOpenIsNothingToPay) {
    addCustomer(2, QStringLiteral("BIA"));
    openLedgerFor(QStringLiteral("BIA"));
    modal.onShow(QStringLiteral("FPagamentos"), [this](QDialog*) {
        typeAmount(QStringLiteral("10"));
        messagesAnswerYes();
        enter(); // Total
        FPagamentos->RadioGroup1->click(1);
        typeAmount(QStringLiteral("10"));
        messagesAnswerYes();
        enter();
        typeAmount(QStringLiteral("10"));
        QTest::keyClick(FPagamentos->Edit1, Qt::Key_F5);
    });
    press(Qt::Key_F5);
    EXPECT_EQ(messages.log(), QStringList(3, QStringLiteral("warning|AVISO !|BANCO DE DADOS VAZIO")));
    EXPECT_EQ(rows().size(), 5) << "nothing written";
}

TEST_F(Payment, ConfirmingWithoutAnAmountWarnsAndReopeningResetsTheScreen) {
    pay([] {
        FPagamentos->SpeedButton3->click();
        QTest::keyClick(FPagamentos->Edit1, Qt::Key_F5);
        FPagamentos->RadioGroup1->click(1);
        QTest::keyClick(FPagamentos->Edit1, Qt::Key_F5);
        QTest::keyClick(FPagamentos->Edit1, Qt::Key_Return);
    });
    EXPECT_EQ(messages.log(),
              (QStringList{QStringLiteral("warning|AVISO !|FAVOR DIGITE O VALOR"),
                           QStringLiteral("warning|AVISO !|FAVOR DIGITE O VALOR"),
                           QStringLiteral("standard-error|Brolavi|'' não é um valor válido")}));
    modal.onShow(QStringLiteral("FPagamentos"), [](QDialog*) {
        EXPECT_EQ(FPagamentos->formOfPayment(), QStringLiteral("Dinheiro"));
        EXPECT_EQ(FPagamentos->RadioGroup1->itemIndex(), 0);
    });
    press(Qt::Key_F5);
    EXPECT_EQ(rows().size(), 5);
}

// Another till changes Ana's account while this till's payment screen shows it; the payment made as the
// screen showed the account stores nothing, says why, and the screen shows the account as it now is.
struct ChangedMeanwhile {
    const char* mode;
    const char* otherTill; // a statement the other till runs
    std::function<void()> pay;
    int rowsAfter;
    const char* totalAfter;
};

void PrintTo(const ChangedMeanwhile& c, std::ostream* out) {
    *out << c.mode;
}

void typeAndEnter(const QString& amount) {
    FPagamentos->Edit1->clear();
    QTest::keyClicks(FPagamentos->Edit1, amount);
    QTest::keyClick(FPagamentos->Edit1, Qt::Key_Return);
}

class PaymentOfAChangedAccount : public Payment, public ::testing::WithParamInterface<ChangedMeanwhile> {};

const char* const soldFifty =
    "insert into TABDIVIDAS (CODIGO, CLIENTE, DESCRICAO, VALOR, STATUS_PAG, CONTA, PARCELA) values (6, 1, "
    "'TV', 50, 'NP', 'N', 'À Prazo')";

TEST_P(PaymentOfAChangedAccount, StoresNothingAndShowsTheAccountAgain) {
    const ChangedMeanwhile& c = GetParam();
    QStringList afterTheOtherTill;
    pay([&] {
        connectTo(db.path())->execute(QString::fromUtf8(c.otherTill));
        afterTheOtherTill = rows();
        messagesAnswerYes();
        c.pay();
        EXPECT_EQ(FPagamentos->DBGrid1->model()->rowCount(), c.rowsAfter);
        EXPECT_EQ(FPagamentos->DBText2->text(), QString::fromUtf8(c.totalAfter));
        EXPECT_TRUE(FPagamentos->Label2->text().isEmpty()) << "no change is given for a payment not made";
    });
    EXPECT_EQ(
        messages.log(),
        (QStringList{QStringLiteral("question|Confirmação|Deseja Confirmar o Pagamento?"),
                     QStringLiteral("warning|AVISO !|A CONTA DESTE CLIENTE FOI ALTERADA EM OUTRO CAIXA: O "
                                    "PAGAMENTO NÃO FOI FEITO. CONFIRA A CONTA ATUALIZADA E FAÇA O "
                                    "PAGAMENTO NOVAMENTE.")}));
    EXPECT_EQ(rows(), afterTheOtherTill);
    EXPECT_EQ(FDividas->DBText2->text(), QString::fromUtf8(c.totalAfter)) << "the ledger behind too";
}

INSTANTIATE_TEST_SUITE_P(
    Modes, PaymentOfAChangedAccount,
    ::testing::Values(
        ChangedMeanwhile{"Total", soldFifty, [] { typeAndEnter(QStringLiteral("400")); }, 4, "R$ 350,00"},
        ChangedMeanwhile{"Parcial", soldFifty,
                         [] {
                             FPagamentos->RadioGroup1->click(1);
                             typeAndEnter(QStringLiteral("100"));
                         },
                         4, "R$ 350,00"},
        ChangedMeanwhile{"Selecionar Campos",
                         "update TABDIVIDAS set STATUS_PAG = 'PG', FORM_PAG = 'Cartão', DATA_PAG = "
                         "'2025-12-09 14:00:00' where CODIGO = 1",
                         [] {
                             DBGrid* grid = FPagamentos->DBGrid1;
                             const QRect first = grid->visualRect(grid->model()->index(0, 1));
                             const QRect third = grid->visualRect(grid->model()->index(2, 1));
                             QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, first.center());
                             QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::ControlModifier,
                                               third.center());
                             typeAndEnter(QStringLiteral("150"));
                         },
                         2, "R$ 200,00"}),
    [](const ::testing::TestParamInfo<ChangedMeanwhile>& shown) {
        return QString::fromUtf8(shown.param.mode).remove(u' ').toStdString();
    });

} // namespace
