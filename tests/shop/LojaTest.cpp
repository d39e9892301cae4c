#include "Printers.h"
#include "ProgramFixture.h"
#include "ShopPrinters.h"
#include "app/uBrolavi.h"
#include "data/Shop.h"
#include "data/uDM.h"
#include "platform/widgets/ModalHost.h"
#include "shop/uLoja.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>

namespace {

class Loja : public ProgramFixture {
protected:
    // Key by key; a letter with no key of its own (Ã) arrives as its text, as a keyboard layout sends it.
    static void type(QWidget* field, const QString& text) {
        for (QChar c : text) {
            if (c.unicode() < 0x80)
                QTest::keyClick(field, c.toLatin1());
            else
                QTest::sendKeyEvent(QTest::Click, field, Qt::Key_unknown, QString(c), Qt::NoModifier);
        }
    }
    static void retype(QLineEdit* field, const QString& text) {
        field->setFocus();
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Delete);
        type(field, text);
    }
    static void save() { QTest::keyClick(QApplication::focusWidget(), Qt::Key_F5); }
    ShopDetails stored() { return Shop(DM->FDConnection1).details(); }
};

TEST_F(Loja, TheDetailsTypedAreStoredInTheirOneFormAndShownAgain) {
    createUsers({{QStringLiteral("MASTER"), QStringLiteral("907438"), QStringLiteral("M")}});
    logInAs(QStringLiteral("MASTER"));
    ModalHost::show(TelaInicial);
    modal.onShow(QStringLiteral("FLoja"), [this](QDialog*) {
        EXPECT_EQ(FLoja->Edit1->text(), QString()) << "nothing stored yet";
        EXPECT_EQ(QApplication::focusWidget(), FLoja->Edit1);
        type(FLoja->Edit1, QStringLiteral("mercearia são josé"));
        QTest::keyClick(FLoja->Edit1, Qt::Key_Return);
        EXPECT_EQ(QApplication::focusWidget(), FLoja->Edit2) << "Enter moves on";
        QTest::keyClicks(FLoja->Edit2, QStringLiteral("11222333000181"));
        QTest::keyClicks(FLoja->Edit3, QStringLiteral("rua a, 1"));
        retype(FLoja->Edit4, QStringLiteral("11912345678"));
        QTest::keyClicks(FLoja->Edit5, QStringLiteral("santos"));
        FLoja->ComboBox1->setCurrentIndex(int(PixKeyKind::Email));
        QTest::keyClicks(FLoja->Edit6, QStringLiteral("Caixa@Mercearia.com.BR"));
        save();
        EXPECT_FALSE(FLoja->isVisible()) << "a save closes the screen";
    });
    TelaInicial->BLoja->click();
    EXPECT_TRUE(messages.shown.isEmpty()) << messages.log().join(u'\n').toStdString();
    const ShopDetails expected{QStringLiteral("MERCEARIA SÃO JOSÉ"),
                               QStringLiteral("11.222.333/0001-81"),
                               QStringLiteral("RUA A, 1"),
                               QStringLiteral("(11)91234-5678"),
                               QStringLiteral("SANTOS"),
                               PixKeyKind::Email,
                               QStringLiteral("caixa@mercearia.com.br")};
    EXPECT_EQ(stored(), expected);

    showActive(FLoja);
    EXPECT_EQ(FLoja->Edit2->text(), expected.document);
    EXPECT_EQ(FLoja->ComboBox1->currentIndex(), int(PixKeyKind::Email));
    EXPECT_EQ(FLoja->Edit6->text(), expected.pixKey);
}

TEST_F(Loja, AProblemIsNamedWithTheCaretInItsFieldAndNothingIsStored) {
    struct Case {
        void (*enter)();
        const char* warning;
        QLineEdit* TFLoja::*field;
    };
    const Case cases[] = {
        {[] { retype(FLoja->Edit1, QString()); }, "FAVOR DIGITE O NOME DA LOJA", &TFLoja::Edit1},
        {[] { retype(FLoja->Edit2, QStringLiteral("123.456.789-00")); }, "CPF OU CNPJ INVÁLIDO",
         &TFLoja::Edit2},
        {[] {
             FLoja->ComboBox1->setCurrentIndex(int(PixKeyKind::Phone));
             retype(FLoja->Edit6, QStringLiteral("3322-4455"));
         },
         "CHAVE PIX INVÁLIDA PARA O TIPO ESCOLHIDO", &TFLoja::Edit6},
        {[] {
             FLoja->ComboBox1->setCurrentIndex(int(PixKeyKind::Email));
             retype(FLoja->Edit6, QStringLiteral("joão@padaria.com.br"));
         },
         "O CAMPO CHAVE PIX NÃO ACEITA \"ã\": SÓ LETRAS SEM ACENTO, NÚMEROS E SINAIS SIMPLES",
         &TFLoja::Edit6},
        {[] {
             FLoja->ComboBox1->setCurrentIndex(int(PixKeyKind::Phone));
             retype(FLoja->Edit6, QStringLiteral("+551133334444"));
         },
         "TELEFONE FIXO NÃO É CHAVE PIX: DIGITE O CELULAR COM DDD", &TFLoja::Edit6},
    };
    for (const Case& c : cases) {
        showActive(FLoja);
        retype(FLoja->Edit1, QStringLiteral("LOJA"));
        c.enter();
        messages.clear();
        save();
        ASSERT_EQ(messages.shown.size(), 1);
        EXPECT_EQ(messages.shown[0].text, QString::fromUtf8(c.warning));
        EXPECT_TRUE(FLoja->isVisible());
        EXPECT_EQ(QApplication::focusWidget(), FLoja->*c.field) << c.warning;
        FLoja->close();
        EXPECT_EQ(stored(), ShopDetails{}) << c.warning;
    }
    showActive(FLoja);
    retype(FLoja->Edit1, QStringLiteral("LOJA"));
    FLoja->ComboBox1->setCurrentIndex(int(PixKeyKind::None));
    retype(FLoja->Edit6, QStringLiteral("qualquer"));
    messages.clear();
    save();
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.shown[0].text, QStringLiteral("ESCOLHA O TIPO DA CHAVE PIX"));
    EXPECT_EQ(QApplication::focusWidget(), FLoja->ComboBox1);
}

} // namespace
