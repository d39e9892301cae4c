#include "PaymentFixture.h"
#include "Printers.h"
#include "credit/uPix.h"
#include "data/Shop.h"
#include "platform/widgets/QrCode.h"
#include "platform/widgets/RadioGroup.h"

#include <QClipboard>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>

namespace {

class PaymentExtras : public Payment {
protected:
    void storeShop() {
        ShopDetails shop;
        shop.name = QStringLiteral("Loja da Ana");
        shop.document = QStringLiteral("11222333000181");
        shop.address = QStringLiteral("RUA DO SOL, 10");
        shop.telephone = QStringLiteral("(81) 3333-4444");
        shop.city = QStringLiteral("Recife");
        shop.pixKind = PixKeyKind::Phone;
        shop.pixKey = QStringLiteral("(81) 98765-4321");
        Shop(DM->FDConnection1).save(shop);
    }
    static void selectRows(std::initializer_list<int> rows) {
        DBGrid* grid = FPagamentos->DBGrid1;
        Qt::KeyboardModifiers modifiers;
        for (int r : rows) {
            QTest::mouseClick(grid->viewport(), Qt::LeftButton, modifiers,
                              grid->visualRect(grid->model()->index(r, 1)).center());
            modifiers = Qt::ControlModifier;
        }
    }
    // The PIX screen as the payment screen showed it: its amount and code, or "-" when it did not open.
    QString pixShown(const std::function<void()>& before) {
        QString shown = QStringLiteral("-");
        modal.onShow(QStringLiteral("FPix"), [&shown](QDialog*) {
            shown = FPix->Label1->text() + u' ' + FPix->Memo1->toPlainText();
            // The symbol carries the text shown beside it.
            EXPECT_EQ(FPix->Image1->pixmap().toImage().convertToFormat(QImage::Format_Grayscale8),
                      QrCode::image(FPix->Memo1->toPlainText(), TFPix::ModuleSize));
        });
        pay([&before] {
            before();
            QTest::keyClick(FPagamentos->Edit1, Qt::Key_F9);
        });
        return shown;
    }
    // The texts an object of the last receipt printed, over all its pages.
    QStringList printed(const QString& object) const {
        QStringList out;
        for (const Report::Item* item : printing.last().itemsOf(object))
            out << item->text;
        return out;
    }
};

struct PixCase {
    const char* name;
    bool pix;
    bool shop;
    int mode;
    const char* typed;
    std::vector<int> selected;
    const char* message; // "" when the code shows
    const char* shown;   // what the PIX screen showed, "-" for nothing
};

class PixKey : public PaymentExtras, public ::testing::WithParamInterface<PixCase> {};

TEST_P(PixKey, ShowsTheCodeOfWhatThePaymentWouldTakeNow) {
    const PixCase& c = GetParam();
    if (c.shop)
        storeShop();
    const QString shown = pixShown([&c] {
        if (c.pix)
            FPagamentos->SpeedButton3->click();
        if (c.mode != 0)
            FPagamentos->RadioGroup1->click(c.mode);
        for (int r : c.selected)
            selectRows({r});
        if (c.selected.size() > 1) // one selection of several rows
            selectRows({c.selected[0], c.selected[1]});
        typeAmount(QString::fromUtf8(c.typed));
    });
    EXPECT_EQ(messages.log().join(u'\n'), QString::fromUtf8(c.message));
    EXPECT_EQ(shown, QString::fromUtf8(c.shown));
    EXPECT_EQ(column(QStringLiteral("select count(*) from TABDIVIDAS where STATUS_PAG = 'NP'")),
              QStringLiteral("4"))
        << "showing the code pays nothing";
}

const char* const Code300 =
    "R$ 300,00 00020126360014br.gov.bcb.pix0114+55819876543215204000053039865406300.005802BR"
    "5911Loja da Ana6006Recife62070503***63048EA7";
const char* const Code120 =
    "R$ 120,00 00020126360014br.gov.bcb.pix0114+55819876543215204000053039865406120.005802BR"
    "5911Loja da Ana6006Recife62070503***6304F0C1";
const char* const Code150 =
    "R$ 150,00 00020126360014br.gov.bcb.pix0114+55819876543215204000053039865406150.005802BR"
    "5911Loja da Ana6006Recife62070503***63043DB9";

INSTANTIATE_TEST_SUITE_P(
    Cases, PixKey,
    ::testing::Values(
        PixCase{"Cash", false, true, 0, "", {}, "plain|Brolavi|ESCOLHA PIX COMO FORMA DE PAGAMENTO", "-"},
        PixCase{"NoKey", true, false, 0, "", {}, "warning|AVISO !|CADASTRE A CHAVE PIX DA LOJA", "-"},
        PixCase{"Total", true, true, 0, "", {}, "", Code300},
        PixCase{"TotalWhateverIsHandedOver", true, true, 0, "500", {}, "", Code300},
        PixCase{"Partial", true, true, 1, "120", {}, "", Code120},
        PixCase{"PartialEmpty", true, true, 1, "", {}, "warning|AVISO !|FAVOR DIGITE O VALOR", "-"},
        PixCase{"PartialWithCents",
                true,
                true,
                1,
                "12,50",
                {},
                "warning|AVISO !|VALOR INVÁLIDO PARA O PAGAMENTO PARCIAL",
                "-"},
        PixCase{"PartialZero", true, true, 1, "0", {}, "warning|AVISO !|NENHUM VALOR A PAGAR", "-"},
        PixCase{"Selected", true, true, 2, "", {0, 2}, "", Code150},
        PixCase{"NoneSelected",
                true,
                true,
                2,
                "",
                {},
                "warning|AVISO !|FAVOR SELECIONE UM REGISTRO NA TABELA A(S) CONTA(S) A PAGAR ",
                "-"}),
    [](const ::testing::TestParamInfo<PixCase>& param) { return std::string(param.param.name); });

TEST_F(PaymentExtras, NothingOpenHasNoPixCodeAndTheCodeCanBeCopied) {
    storeShop();
    sql(QStringLiteral("update TABDIVIDAS set VALOR = 0 where CODIGO in (1, 2, 3)"));
    pay([] {
        FPagamentos->SpeedButton3->click();
        QTest::keyClick(FPagamentos->Edit1, Qt::Key_F9);
    });
    EXPECT_EQ(messages.log(), QStringList{QStringLiteral("warning|AVISO !|NENHUM VALOR A PAGAR")});
    EXPECT_FALSE(modal.shown.contains(QStringLiteral("FPix")));

    sql(QStringLiteral("update TABDIVIDAS set VALOR = 9 where CODIGO = 1"));
    modal.onShow(QStringLiteral("FPix"), [](QDialog*) {
        QGuiApplication::clipboard()->clear();
        FPix->BCopiar->click();
        EXPECT_EQ(QGuiApplication::clipboard()->text(), FPix->Memo1->toPlainText());
        EXPECT_TRUE(FPix->Memo1->toPlainText().contains(QStringLiteral("54049.00")));
    });
    modal.onShow(QStringLiteral("FPagamentos"), [](QDialog*) {
        FPagamentos->SpeedButton3->click();
        FPagamentos->BPix->click();
    });
    press(Qt::Key_F5);
    EXPECT_TRUE(modal.shown.contains(QStringLiteral("FPix")));
}

TEST_F(PaymentExtras, NoReceiptBeforeAPaymentSinceTheScreenWasShown) {
    pay([this] {
        QTest::keyClick(FPagamentos->Edit1, Qt::Key_F8);
        typeAmount(QStringLiteral("400"));
        messagesAnswerNo();
        enter();
        FPagamentos->BRecibo->click();
        typeAmount(QStringLiteral("400"));
        messagesAnswerYes();
        enter();
    });
    EXPECT_EQ(messages.log(),
              (QStringList{QStringLiteral("warning|AVISO !|NENHUM PAGAMENTO PARA IMPRIMIR"),
                           QStringLiteral("question|Confirmação|Deseja Confirmar o Pagamento?"),
                           QStringLiteral("warning|AVISO !|NENHUM PAGAMENTO PARA IMPRIMIR"),
                           QStringLiteral("question|Confirmação|Deseja Confirmar o Pagamento?")}));
    messages.clear();
    // Shown again: the payment made before belongs to the last showing.
    modal.onShow(QStringLiteral("FPagamentos"),
                 [](QDialog*) { QTest::keyClick(FPagamentos->Edit1, Qt::Key_F8); });
    press(Qt::Key_F5);
    EXPECT_EQ(messages.log(), QStringList{QStringLiteral("warning|AVISO !|NENHUM PAGAMENTO PARA IMPRIMIR")});
    EXPECT_TRUE(printing.shown.isEmpty());
}

TEST_F(PaymentExtras, TheReceiptOfATotalPaymentListsTheEntriesAndTheChange) {
    storeShop();
    pay([this] {
        FPagamentos->SpeedButton2->click();
        typeAmount(QStringLiteral("400"));
        messagesAnswerYes();
        enter();
        QTest::keyClick(FPagamentos->Edit1, Qt::Key_F8);
    });
    ASSERT_EQ(printing.shown.size(), 1);
    EXPECT_EQ(printing.last().pages.size(), 1);
    const QStringList head = printed(QStringLiteral("ShopName")) + printed(QStringLiteral("ShopDocument")) +
                             printed(QStringLiteral("ShopAddress")) +
                             printed(QStringLiteral("ShopTelephone")) + printed(QStringLiteral("Customer")) +
                             printed(QStringLiteral("PaidAt")) + printed(QStringLiteral("FormOfPayment"));
    EXPECT_EQ(head, (QStringList{"Loja da Ana", "CPF/CNPJ: 11.222.333/0001-81", "RUA DO SOL, 10 - Recife",
                                 "Telefone: (81) 3333-4444", "Cliente: ANA", "Data: 09/12/2025 14:05:33",
                                 "Forma de pagamento: Cartão"}));
    EXPECT_EQ(printed(QStringLiteral("DBReciboDESCRICAO")), (QStringList{"ITEM 1", "ITEM 2", "ITEM 3"}));
    EXPECT_EQ(printed(QStringLiteral("DBReciboDATA_VENC")), QStringList(3, QStringLiteral("09/12/2025")));
    EXPECT_EQ(printed(QStringLiteral("DBReciboVALOR")), (QStringList{"R$ 100,00", "R$ 150,00", "R$ 50,00"}));
    EXPECT_EQ(printed(QStringLiteral("Paid")) + printed(QStringLiteral("Received")) +
                  printed(QStringLiteral("Change")) + printed(QStringLiteral("StillOpen")),
              (QStringList{"R$ 300,00", "R$ 400,00", "R$ 100,00", "R$ 9,00"}))
        << "the open cash-sale item is still owed";
}

struct ReceiptCase {
    const char* name;
    int mode;
    const char* typed;
    bool enter;         // false: confirmed with F5, without the comparison Enter makes
    const char* lines;  // description|value of each line
    const char* totals; // paid, received, change, still open
    const char* stillOpenLabel = "Saldo em aberto:";
};

class Receipt : public PaymentExtras, public ::testing::WithParamInterface<ReceiptCase> {};

TEST_P(Receipt, PrintsWhatThePaymentPaid) {
    const ReceiptCase& c = GetParam();
    pay([this, &c] {
        FPagamentos->SpeedButton3->click();
        if (c.mode == 1)
            FPagamentos->RadioGroup1->click(1);
        if (c.mode == 2)
            selectRows({0, 2});
        typeAmount(QString::fromUtf8(c.typed));
        messagesAnswerYes();
        if (c.enter)
            enter();
        else
            QTest::keyClick(FPagamentos->Edit1, Qt::Key_F5);
        QTest::keyClick(FPagamentos->Edit1, Qt::Key_F8);
    });
    ASSERT_EQ(printing.shown.size(), 1) << messages.log().join(u'\n').toStdString();
    QStringList lines;
    const QStringList descriptions = printed(QStringLiteral("DBReciboDESCRICAO"));
    const QStringList values = printed(QStringLiteral("DBReciboVALOR"));
    for (qsizetype i = 0; i < descriptions.size(); ++i)
        lines << descriptions[i] + u'|' + values.value(i);
    EXPECT_EQ(lines.join(u';'), QString::fromUtf8(c.lines));
    EXPECT_EQ((printed(QStringLiteral("Paid")) + printed(QStringLiteral("Received")) +
               printed(QStringLiteral("Change")) + printed(QStringLiteral("StillOpen")))
                  .join(QStringLiteral(", ")),
              QString::fromUtf8(c.totals));
    EXPECT_EQ(printed(QStringLiteral("StillOpenLabel")), QStringList{QString::fromUtf8(c.stillOpenLabel)});
    EXPECT_EQ(printed(QStringLiteral("ShopName")), QStringList{QString()}) << "no shop details: blank";
    EXPECT_EQ(printed(QStringLiteral("FormOfPayment")),
              QStringList{QStringLiteral("Forma de pagamento: PIX")});
}

INSTANTIATE_TEST_SUITE_P(
    Modes, Receipt,
    ::testing::Values(ReceiptCase{"Partial", 1, "120", true, "Pagamento parcial|R$ 120,00",
                                  "R$ 120,00, R$ 120,00, R$ 0,00, R$ 189,00"},
                      ReceiptCase{"Selected", 2, "200", true, "ITEM 1|R$ 100,00;ITEM 3|R$ 50,00",
                                  "R$ 150,00, R$ 200,00, R$ 50,00, R$ 159,00"},
                      ReceiptCase{"TotalBelowWithF5", 0, "250", false,
                                  "ITEM 1|R$ 100,00;ITEM 2|R$ 150,00;ITEM 3|R$ 50,00",
                                  "R$ 300,00, R$ 250,00, R$ 0,00, R$ 9,00"},
                      // More than the debt: the balance left is the customer's credit.
                      ReceiptCase{"PartialAboveTheDebt", 1, "400", true, "Pagamento parcial|R$ 400,00",
                                  "R$ 400,00, R$ 400,00, R$ 0,00, R$ 91,00", "Crédito do cliente:"}),
    [](const ::testing::TestParamInfo<ReceiptCase>& param) { return std::string(param.param.name); });

TEST_F(PaymentExtras, TheCashSalesReceiptListsItsItemsAndTheLastPaymentIsTheOnePrinted) {
    // As the cash sale opens the payment for its chosen customer.
    DM->TabCadCli.open();
    ASSERT_TRUE(DM->TabCadCli.locate(QStringLiteral("NOME"), QStringLiteral("ANA")));
    modal.onShow(QStringLiteral("FPagamentos"), [this](QDialog*) {
        typeAmount(QStringLiteral("10"));
        messagesAnswerYes();
        enter();
        QTest::keyClick(FPagamentos->Edit1, Qt::Key_F8);
    });
    FPagamentos->setFromCashSale(true);
    ModalHost::show(FPagamentos);
    FPagamentos->setFromCashSale(false);
    ASSERT_EQ(printing.shown.size(), 1);
    EXPECT_EQ(printed(QStringLiteral("DBReciboDESCRICAO")), QStringList{QStringLiteral("ITEM 4")});
    EXPECT_EQ(printed(QStringLiteral("DBReciboPARCELA")), QStringList{QStringLiteral("À Vista")});
    EXPECT_EQ(printed(QStringLiteral("Paid")) + printed(QStringLiteral("Change")) +
                  printed(QStringLiteral("StillOpen")),
              (QStringList{"R$ 9,00", "R$ 1,00", "R$ 300,00"}));

    pay([this] {
        selectRows({1});
        typeAmount(QStringLiteral("150"));
        messagesAnswerYes();
        enter();
        FPagamentos->RadioGroup1->click(0);
        typeAmount(QStringLiteral("200"));
        messagesAnswerYes();
        enter(); // what is left
        FPagamentos->BRecibo->click();
    });
    ASSERT_EQ(printing.shown.size(), 2);
    EXPECT_EQ(printed(QStringLiteral("DBReciboDESCRICAO")), (QStringList{"ITEM 1", "ITEM 3"}));
    EXPECT_EQ(printed(QStringLiteral("StillOpen")), QStringList{QStringLiteral("R$ 0,00")});
}

} // namespace
