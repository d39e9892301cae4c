#include "CustomerScreen.h"
#include "Printers.h"
#include "TestCharacterSet.h"
#include "TestDatabase.h"
#include "customers/uCadCli.h"
#include "data/uDM.h"
#include "platform/core/Transaction.h"
#include "platform/widgets/DBGrid.h"
#include "platform/widgets/DataWidgets.h"
#include "platform/widgets/RadioGroup.h"

#include <QClipboard>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QStackedWidget>
#include <QToolButton>

namespace {

struct CpfCase {
    const char* text;
    bool valid;
};

class CpfCheck : public ::testing::TestWithParam<CpfCase> {};

TEST_P(CpfCheck, AcceptsOnlyElevenDigitsWithTheirCheckDigits) {
    EXPECT_EQ(IsValidCPF(QString::fromUtf8(GetParam().text)), GetParam().valid) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CpfCheck,
    ::testing::Values(CpfCase{"52998224725", true}, CpfCase{"11144477735", true},
                      CpfCase{"00000000191", true}, // first check digit from a remainder of 10
                      CpfCase{"52998224726", false}, CpfCase{"52998224715", false},
                      CpfCase{"11111111111", false}, CpfCase{"00000000000", false},
                      CpfCase{"5299822472", false}, CpfCase{"529982247250", false},
                      CpfCase{"529.982.247-25", false}, CpfCase{"5299822472a", false}, CpfCase{"", false}));

TEST(ClrDig, KeepsTheDigitsInOrder) {
    EXPECT_EQ(ClrDig(QStringLiteral("529.982.247-25")), QStringLiteral("52998224725"));
    EXPECT_EQ(ClrDig(QString()), QString());
    EXPECT_EQ(ClrDig(QStringLiteral("a1b2 ３c")), QStringLiteral("12")) << "only 0 to 9";
}

class CadCli : public ScreenTest {
protected:
    void SetUp() override {
        ScreenTest::SetUp();
        showActive(FCadCli);
    }
    QString buttons() const {
        QStringList shown;
        for (QWidget* b : std::initializer_list<QWidget*>{FCadCli->BNovo, FCadCli->BGravar, FCadCli->BEditar,
                                                          FCadCli->BExcluir, FCadCli->BPesquisar,
                                                          FCadCli->BVoltar, FCadCli->GroupBox1})
            if (b->isVisibleTo(FCadCli))
                shown << b->objectName();
        return shown.join(u' ');
    }
    bool onSearchPage() const { return FCadCli->PageControl1->currentWidget() == FCadCli->TabSheet2; }
};

TEST_F(CadCli, RegistersACustomerWithTheKeyboardAlone) {
    EXPECT_EQ(buttons(), QStringLiteral("BNovo BGravar BPesquisar"));
    EXPECT_FALSE(DM->TabCadCli.isOpen());
    press(Qt::Key_F4);
    EXPECT_EQ(buttons(), QStringLiteral("BGravar"));
    EXPECT_EQ(QApplication::focusWidget(), FCadCli->DBEdit2);
    EXPECT_EQ(FCadCli->DBEdit1->text(), QStringLiteral("1"));
    type(QStringLiteral("maria da silva"));
    press(Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), FCadCli->DBEdit3);
    type(QStringLiteral("52998224725"));
    press(Qt::Key_Return);
    EXPECT_EQ(FCadCli->DBEdit3->text(), QStringLiteral("529.982.247-25"))
        << "eleven digits take their points";
    EXPECT_EQ(QApplication::focusWidget(), FCadCli->DBEdit4);
    type(QStringLiteral("12.345.678-9"));
    press(Qt::Key_Return);
    type(QStringLiteral("11987654321"));
    press(Qt::Key_Return);
    type(QStringLiteral("rua das flores"));
    press(Qt::Key_Return);
    type(QStringLiteral("12A"));
    press(Qt::Key_Return);
    type(QStringLiteral("centro"));
    press(Qt::Key_Return);
    type(QStringLiteral("sao paulo"));
    press(Qt::Key_Return);
    type(QStringLiteral("sp"));
    press(Qt::Key_Return);
    FCadCli->DBEdit10->home(false);
    type(QStringLiteral("01310100"));
    press(Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), FCadCli->DBMemo1);
    type(QStringLiteral("cliente antigo"));
    press(Qt::Key_F5);
    EXPECT_TRUE(messages.shown.isEmpty()) << messages.log().join(u'\n').toStdString();
    EXPECT_EQ(
        sqlValue(QStringLiteral(
                     "select CODIGO || '|' || NOME || '|' || CPF || '|' || RG || '|' || TELEFONE || '|' || "
                     "ENDERECO || '|' || NUMERO || '|' || BAIRRO || '|' || CIDADE || '|' || ESTADO || '|' || "
                     "CEP || '|' || cast(DATA as varchar(24)) || '|' || OBS from TABCADCLI"))
            .toString(),
        QStringLiteral(
            "1|MARIA DA SILVA|529.982.247-25|12.345.678-9|(11)98765-4321|RUA DAS FLORES|12A|CENTRO|"
            "SAO PAULO|SP|01310-100|2025-12-09 14:05:33.0000|CLIENTE ANTIGO"));
    EXPECT_EQ(buttons(), QStringLiteral("BNovo BGravar BPesquisar"));
    EXPECT_FALSE(DM->TabCadCli.isOpen()) << "idle again, the fields empty";
    EXPECT_TRUE(FCadCli->DBEdit2->text().isEmpty());
}

struct CodeCase {
    QVector<int> existing;
    const char* leftFilter;
    int expected;
};

class NewCustomerCode : public CadCli, public ::testing::WithParamInterface<CodeCase> {};

TEST_P(NewCustomerCode, IsTheHighestOfTheWholeTablePlusOne) {
    for (int code : GetParam().existing)
        addCustomer(code, code == 7 ? QStringLiteral("CLIENTE AVULSO") : QStringLiteral("C%1").arg(code));
    if (*GetParam().leftFilter) {
        DM->TabCadCli.open();
        DM->TabCadCli.setFilter(QString::fromUtf8(GetParam().leftFilter));
        DM->TabCadCli.setFiltered(true);
    }
    FCadCli->BNovoClick();
    EXPECT_EQ(DM->TabCadCliCODIGO.asInteger(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, NewCustomerCode,
                         ::testing::Values(CodeCase{{}, "", 1}, CodeCase{{1, 2, 7}, "", 8},
                                           CodeCase{{1, 2, 7}, "NOME <>'CLIENTE AVULSO'", 8},
                                           CodeCase{{1, 2, 7}, "NOME LIKE'X%'", 8}));

struct CpfExit {
    const char* stored; // a CPF already in the table, or ""
    const char* typed;
    const char* after;   // the field's text afterwards
    const char* message; // kind|text, or ""
};

class CpfField : public CadCli, public ::testing::WithParamInterface<CpfExit> {};

TEST_P(CpfField, IsCheckedWhenLeft) {
    if (*GetParam().stored)
        addCustomer(1, QStringLiteral("OUTRO"), QString::fromUtf8(GetParam().stored));
    press(Qt::Key_F4);
    type(QStringLiteral("ANA"));
    press(Qt::Key_Return);
    type(QString::fromUtf8(GetParam().typed));
    press(Qt::Key_Return);
    EXPECT_EQ(FCadCli->DBEdit3->text(), QString::fromUtf8(GetParam().after));
    const QString message = QString::fromUtf8(GetParam().message);
    QStringList expected;
    if (!message.isEmpty())
        expected << message;
    QStringList got;
    for (const auto& r : messages.shown)
        got << RecordingMessages::kindName(r.kind) + u'|' + r.text;
    EXPECT_EQ(got, expected);
    EXPECT_EQ(QApplication::focusWidget(), message.isEmpty() ? FCadCli->DBEdit4 : FCadCli->DBEdit3);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CpfField,
    ::testing::Values(CpfExit{"", "", "", ""}, CpfExit{"", "52998224725", "529.982.247-25", ""},
                      CpfExit{"", "529.982.247-25", "529.982.247-25", ""},
                      CpfExit{"", "52998224726", "", "plain|O CPF não é válido."},
                      CpfExit{"", "123", "", "plain|O CPF não é válido."},
                      CpfExit{"529.982.247-25", "529.982.247-25", "529.982.247-25", "warning|CPF já Existe"},
                      CpfExit{"529.982.247-25", "52998224725", "529.982.247-25", ""},
                      CpfExit{"52998224725", "52998224725", "52998224725", "warning|CPF já Existe"}));

TEST_F(CadCli, AnEditedCustomerKeepsItsOwnCpfAndGetsANewDate) {
    addCustomer(1, QStringLiteral("ANA"), QStringLiteral("529.982.247-25"));
    press(Qt::Key_F2);
    EXPECT_EQ(buttons(), QStringLiteral("BEditar BExcluir BVoltar GroupBox1"));
    press(Qt::Key_F6);
    EXPECT_EQ(buttons(), QStringLiteral("BGravar"));
    EXPECT_FALSE(onSearchPage());
    FCadCli->DBEdit3->setFocus();
    press(Qt::Key_Return);
    EXPECT_TRUE(messages.shown.isEmpty()) << "its own stored CPF is no duplicate";
    clock.set(QDateTime(QDate(2026, 1, 31), QTime(8, 0)));
    press(Qt::Key_F5);
    EXPECT_EQ(sqlValue(QStringLiteral("select cast(DATA as varchar(24)) from TABCADCLI")).toString(),
              QStringLiteral("2026-01-31 08:00:00.0000"));
}

TEST_F(CadCli, TheEmptyNameIsQuestionedAndYesDropsTheNewCustomer) {
    addCustomer(1, QStringLiteral("ANA"));
    press(Qt::Key_F4);
    messages.answers.enqueue(QMessageBox::No);
    press(Qt::Key_Return); // leaves the empty name, then the Enter itself reaches it
    EXPECT_EQ(messages.log(),
              (QStringList{QStringLiteral("question|AVISO !|FAVOR DIGITE O NOME OU QUER CANCELAR(SIM)"),
                           QStringLiteral("warning|AVISO !|FAVOR DIGITE O NOME")}));
    EXPECT_EQ(QApplication::focusWidget(), FCadCli->DBEdit2);
    EXPECT_EQ(DM->TabCadCli.state(), TableDataset::State::Insert);
    EXPECT_TRUE(FCadCli->BPesquisar->isVisibleTo(FCadCli)) << "the warning shows Pesquisar again";

    messages.clear();
    messages.answers.enqueue(QMessageBox::Yes);
    FCadCli->DBEdit3->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(DM->TabCadCli.state(), TableDataset::State::Browse) << "Yes drops the new customer";
    EXPECT_EQ(QApplication::focusWidget(), FCadCli->DBEdit2);
    EXPECT_TRUE(FCadCli->BPesquisar->isVisibleTo(FCadCli));
    EXPECT_EQ(FCadCli->DBEdit2->text(), QStringLiteral("ANA")) << "the table stays open on its row";
    EXPECT_EQ(count(QStringLiteral("TABCADCLI")), 1);
}

TEST_F(CadCli, NovoWhileTypingSavesTheCustomerFirst) {
    clock.set(QDateTime(QDate(2026, 2, 3), QTime(9, 30)));
    press(Qt::Key_F4);
    type(QStringLiteral("ana"));
    press(Qt::Key_Return); // the caret in the CPF
    press(Qt::Key_F4);
    EXPECT_EQ(FCadCli->DBEdit1->text(), QStringLiteral("2"));
    EXPECT_EQ(QApplication::focusWidget(), FCadCli->DBEdit2);
    type(QStringLiteral("bia"));
    press(Qt::Key_F4);
    // The third one is left unnamed: Novo's save is refused with the screen's warning, and nothing else.
    press(Qt::Key_F4);
    EXPECT_EQ(messages.log(), QStringList{QStringLiteral("warning|AVISO !|FAVOR DIGITE O NOME")});
    EXPECT_EQ(QApplication::focusWidget(), FCadCli->DBEdit2);
    EXPECT_EQ(FCadCli->DBEdit1->text(), QStringLiteral("3")) << "still the same new customer";
    EXPECT_EQ(DM->TabCadCli.state(), TableDataset::State::Insert);
    EXPECT_EQ(
        sqlValue(QStringLiteral("select list(CODIGO || ' ' || NOME || ' ' || cast(DATA as varchar(24)), "
                                "'; ') from (select * from TABCADCLI order by CODIGO)"))
            .toString(),
        QStringLiteral("1 ANA 2026-02-03 09:30:00.0000; 2 BIA 2026-02-03 09:30:00.0000"));
}

TEST_F(CadCli, ANameTypedAndErasedIsNoName) {
    press(Qt::Key_F4);
    type(QStringLiteral("a"));
    press(Qt::Key_Backspace);
    press(Qt::Key_F5);
    EXPECT_EQ(messages.log(), QStringList{QStringLiteral("warning|AVISO !|FAVOR DIGITE O NOME")});
    EXPECT_EQ(DM->TabCadCli.state(), TableDataset::State::Insert) << "still being typed";
    EXPECT_EQ(count(QStringLiteral("TABCADCLI")), 0);
}

TEST_F(CadCli, ANameTypedIntoTheEmptyListAfterDroppingANewCustomerIsSavedWithACode) {
    press(Qt::Key_F4);
    messages.answers.enqueue(QMessageBox::Yes);
    FCadCli->DBEdit3->setFocus(Qt::TabFocusReason); // the empty name questioned, Yes drops the new customer
    ASSERT_EQ(QApplication::focusWidget(), FCadCli->DBEdit2);
    type(QStringLiteral("ana"));
    press(Qt::Key_F5);
    EXPECT_EQ(messages.log(),
              QStringList{QStringLiteral("question|AVISO !|FAVOR DIGITE O NOME OU QUER CANCELAR(SIM)")});
    EXPECT_EQ(sqlValue(QStringLiteral("select list(CODIGO || ' ' || NOME) from TABCADCLI")).toString(),
              QStringLiteral("1 ANA"));
}

TEST_F(CadCli, NovoAfterANameOnlySaveStartsInTheName) {
    press(Qt::Key_F4);
    type(QStringLiteral("ana"));
    press(Qt::Key_Return); // the caret in the empty CPF
    press(Qt::Key_F5);
    press(Qt::Key_F4);
    EXPECT_EQ(QApplication::focusWidget(), FCadCli->DBEdit2);
    type(QStringLiteral("bia"));
    press(Qt::Key_F5);
    EXPECT_TRUE(messages.shown.isEmpty()) << messages.log().join(u'\n').toStdString();
    EXPECT_EQ(sqlValue(QStringLiteral("select list(NOME || '/' || coalesce(RG, '-'), ' ') from "
                                      "(select * from TABCADCLI order by CODIGO)"))
                  .toString(),
              QStringLiteral("ANA/- BIA/-"));
}

TEST_F(CadCli, AStateTypedIsStoredAndNotAddedToTheList) {
    press(Qt::Key_F4);
    type(QStringLiteral("ana"));
    FCadCli->DBComboBox1->setFocus(Qt::TabFocusReason);
    const int states = FCadCli->DBComboBox1->count();
    type(QStringLiteral("s"));
    EXPECT_EQ(FCadCli->DBComboBox1->currentText(), QStringLiteral("S")) << "not completed to SC";
    type(QStringLiteral("x"));
    press(Qt::Key_Return);
    press(Qt::Key_F5);
    EXPECT_EQ(FCadCli->DBComboBox1->count(), states);
    EXPECT_EQ(sqlValue(QStringLiteral("select ESTADO from TABCADCLI")).toString(), QStringLiteral("SX"));
}

TEST_F(CadCli, TheCodeAndTheStateTakeNoMoreThanTheirColumns) {
    addCustomer(1, QStringLiteral("ANA"));
    press(Qt::Key_F2);
    press(Qt::Key_F6); // editing ANA
    FCadCli->DBEdit1->setFocus();
    type(QStringLiteral("9"));
    EXPECT_TRUE(FCadCli->DBEdit1->isReadOnly()) << "the ledger points at the code";
    FCadCli->DBComboBox1->setFocus(Qt::TabFocusReason);
    type(QStringLiteral("scx"));
    press(Qt::Key_F5);
    EXPECT_TRUE(messages.shown.isEmpty()) << messages.log().join(u'\n').toStdString();
    EXPECT_EQ(sqlValue(QStringLiteral("select list(CODIGO || ' ' || NOME || ' ' || ESTADO) from TABCADCLI"))
                  .toString(),
              QStringLiteral("1 ANA SC"));
}

TEST_F(CadCli, OperationsWithoutTheirPreconditionsWarn) {
    press(Qt::Key_F5);
    press(Qt::Key_F6);
    press(Qt::Key_F7);
    EXPECT_EQ(messages.log(), (QStringList{QStringLiteral("warning|AVISO !|NENHUM DADO PARA GRAVAR"),
                                           QStringLiteral("warning|AVISO !|BANCO DE DADOS VAZIO"),
                                           QStringLiteral("warning|AVISO !|BANCO DE DADOS VAZIO")}));
    messages.clear();
    press(Qt::Key_F4);
    press(Qt::Key_F5); // no name: refused in the screen's words, not the database's
    EXPECT_EQ(messages.log(), QStringList{QStringLiteral("warning|AVISO !|FAVOR DIGITE O NOME")});
    EXPECT_EQ(DM->TabCadCli.state(), TableDataset::State::Insert) << "the row stays being inserted";
    press(Qt::Key_F2);
    EXPECT_FALSE(onSearchPage()) << "no search over unsaved changes";
    FCadCli->close();
    EXPECT_EQ(count(QStringLiteral("TABCADCLI")), 0) << "closing drops the new customer";
    EXPECT_FALSE(DM->TabCadCli.isOpen());
}

TEST_F(CadCli, SearchListsEveryoneButTheWalkInCustomerUntilAPrefixMatchesIt) {
    const QStringList names = {QStringLiteral("CARLOS"), QStringLiteral("CLIENTE AVULSO"),
                               QStringLiteral("ANA"), QStringLiteral("D'ÁVILA"), QStringLiteral("CÉLIA")};
    for (int i = 0; i < names.size(); ++i)
        addCustomer(i + 1, names[i]);
    press(Qt::Key_F2);
    EXPECT_TRUE(onSearchPage());
    EXPECT_EQ(FCadCli->Label14->text(), QStringLiteral("(4)"));
    EXPECT_EQ(FCadCli->RadioGroup1->itemIndex(), 0);
    FCadCli->Edit1->setText(QStringLiteral("c"));
    EXPECT_EQ(DM->TabCadCli.filter(), QStringLiteral("NOME LIKE'C%'"));
    EXPECT_EQ(FCadCli->Label14->text(), QStringLiteral("(3)"));
    EXPECT_EQ(FCadCli->DBGrid1->cellText(1, 1), QStringLiteral("CLIENTE AVULSO"));
    FCadCli->Edit1->setText(QStringLiteral("D'"));
    EXPECT_EQ(FCadCli->Label14->text(), QStringLiteral("(1)"));
    EXPECT_EQ(FCadCli->DBGrid1->cellText(0, 1), QStringLiteral("D'ÁVILA"));
    press(Qt::Key_F4);
    EXPECT_TRUE(onSearchPage()) << "no new customer from the search list";
    press(Qt::Key_F9);
    EXPECT_FALSE(onSearchPage());
    EXPECT_FALSE(DM->TabCadCli.isOpen());
    EXPECT_FALSE(DM->TabCadCli.filtered());
    EXPECT_EQ(FCadCli->Edit1->text(), QStringLiteral("D'")) << "the box keeps its text";
}

// A character the database cannot hold (WIN1252 and NONE have no "Ł", Latin-1 no "€", none an emoji) is in
// no name stored there: the search finds nothing, says nothing, and goes on with the next text typed. Latin-1
// has no typographic apostrophe either: the one phones type is taken for the plain one there.
TEST_F(CadCli, ASearchWithACharacterTheDatabaseCannotHoldFindsNothingAndGoesOn) {
    addCustomer(1, QStringLiteral("ANA"));
    addCustomer(2, QStringLiteral("D'ÁVILA"));
    press(Qt::Key_F2);
    const bool latin1 = testCharacterSet() == u"ISO8859_1";
    const struct {
        const char* typed;
        const char* count;
    } cases[] = {{"Ł", "(0)"}, {"€", "(0)"}, {"😀", "(0)"}, {"D’", latin1 ? "(1)" : "(0)"}, {"A", "(1)"}};
    for (const auto& c : cases) {
        FCadCli->Edit1->setText(QString::fromUtf8(c.typed));
        FCadCli->DBGrid1->grab(); // the list painted as the screen shows it
        EXPECT_TRUE(messages.shown.isEmpty()) << c.typed << ": " << messages.log().join(u'\n').toStdString();
        messages.clear();
        EXPECT_EQ(FCadCli->Label14->text(), QString::fromUtf8(c.count)) << c.typed;
    }
    EXPECT_EQ(FCadCli->DBGrid1->cellText(0, 1), QStringLiteral("ANA"));
}

// What is pasted into a field is stored as it shows: control characters are dropped, and a text whose
// capitals would not fit the field ("ß" becomes "SS", "ﬁ" becomes "FI") is refused naming the field, never
// cut.
TEST_F(CadCli, PastedTextIsStoredAsItShowsOrRefusedNamingTheField) {
    const QString nul = QString(QChar(0));
    const struct {
        DBEdit* TFCadCli::*field;
        const char* column;
        QString pasted;
        const char* stored; // null: NULL
        const char* warning;
    } cases[] = {
        {&TFCadCli::DBEdit2, "NOME", QString(60, QChar(0xDF)), "ANA",
         "O CAMPO NOME ACEITA NO MÁXIMO 60 CARACTERES"},
        {&TFCadCli::DBEdit2, "NOME", QString(31, QChar(0xFB01)), "ANA",
         "O CAMPO NOME ACEITA NO MÁXIMO 60 CARACTERES"},
        {&TFCadCli::DBEdit2, "NOME", QStringLiteral("joão straße ﬁlho"), "JOÃO STRASSE FILHO", ""},
        {&TFCadCli::DBEdit2, "NOME", QStringLiteral("ana\tmaria"), "ANAMARIA", ""},
        {&TFCadCli::DBEdit6, "ENDERECO", QStringLiteral("rua\x01nula"), "RUANULA", ""},
        {&TFCadCli::DBEdit6, "ENDERECO", QStringLiteral("rua\x7fnula"), "RUANULA", ""},
        {&TFCadCli::DBEdit6, "ENDERECO", QStringLiteral("rua") + nul + QStringLiteral("nula"), "RUANULA", ""},
        {&TFCadCli::DBEdit6, "ENDERECO", QString(35, QChar(0xDF)), nullptr,
         "O CAMPO ENDEREÇO ACEITA NO MÁXIMO 60 CARACTERES"},
        {&TFCadCli::DBEdit8, "BAIRRO", QString(21, QChar(0xDF)), nullptr,
         "O CAMPO BAIRRO ACEITA NO MÁXIMO 40 CARACTERES"},
        {&TFCadCli::DBEdit7, "NUMERO", QStringLiteral("12\tA"), "12A", ""},
    };
    int code = 0;
    for (const auto& c : cases) {
        const QString what = QStringLiteral("%1 <- %2").arg(QString::fromUtf8(c.column), c.pasted);
        press(Qt::Key_F4);
        ++code;
        type(QStringLiteral("ana"));
        DBEdit* field = FCadCli->*c.field;
        field->setFocus();
        field->selectAll();
        QApplication::clipboard()->setText(c.pasted);
        QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
        QCoreApplication::sendPostedEvents(); // the refusal is said once the edit has undone the paste
        EXPECT_EQ(messages.log(),
                  *c.warning ? QStringList{QStringLiteral("warning|AVISO !|") + QString::fromUtf8(c.warning)}
                             : QStringList{})
            << what.toStdString();
        messages.clear();
        press(Qt::Key_F5);
        EXPECT_TRUE(messages.shown.isEmpty())
            << what.toStdString() << messages.log().join(u'\n').toStdString();
        messages.clear();
        const QVariant stored = sqlValue(
            QStringLiteral("select %1 from TABCADCLI where CODIGO = ?").arg(QString::fromUtf8(c.column)),
            {code});
        if (c.stored)
            EXPECT_EQ(stored.toString(), QString::fromUtf8(c.stored)) << what.toStdString();
        else
            EXPECT_TRUE(stored.isNull())
                << what.toStdString() << " stored " << stored.toString().toStdString();
    }
}

// Printing runs through the rows, which would save a customer still being typed: F10 says so instead.
TEST_F(CadCli, PrintingWhileACustomerIsBeingTypedSaysToSaveOrCancelFirst) {
    addCustomer(1, QStringLiteral("ANA"));
    for (const int start : {Qt::Key_F4, Qt::Key_F6}) {
        if (start == Qt::Key_F6)
            press(Qt::Key_F2);
        press(start);
        type(QStringLiteral("bia"));
        press(Qt::Key_F10);
        EXPECT_EQ(messages.log(), QStringList{QStringLiteral(
                                      "warning|AVISO !|SALVE OU CANCELE O CADASTRO ANTES DE IMPRIMIR")});
        messages.clear();
        EXPECT_TRUE(printing.shown.isEmpty());
        EXPECT_TRUE(DM->TabCadCli.isEditing()) << "the customer is still being typed";
        FCadCli->close();
        showActive(FCadCli);
    }
    EXPECT_EQ(sqlValue(QStringLiteral("select list(NOME) from TABCADCLI")).toString(), QStringLiteral("ANA"));
}

class CustomerDeletion : public CadCli {
protected:
    void SetUp() override {
        CadCli::SetUp();
        addCustomer(1, QStringLiteral("ANA"));
        addCustomer(2, QStringLiteral("BETO"));
        for (int i = 1; i <= 4; ++i) {
            sql(QStringLiteral(
                    "insert into TABDIVIDAS (CODIGO, CLIENTE, STATUS_PAG, CONTA) values (?, ?, ?, 'N')"),
                {i, i <= 3 ? 1 : 2, i == 2 ? QStringLiteral("PG") : QStringLiteral("NP")});
            sql(QStringLiteral("insert into TABDESC_COMPRAS (CODIGO, CLIENTE, COD_VENDA) values (?, ?, ?)"),
                {i, i <= 3 ? 1 : 2, i});
        }
        press(Qt::Key_F2);
        ASSERT_EQ(FCadCli->DBGrid1->cellText(0, 1), QStringLiteral("ANA"));
    }
};

TEST_F(CustomerDeletion, TakesTheLedgerAndPurchaseLinesWithIt) {
    messages.answers.enqueue(QMessageBox::No);
    press(Qt::Key_F7);
    EXPECT_EQ(count(QStringLiteral("TABCADCLI")), 2) << "No keeps the customer";
    messages.answers.enqueue(QMessageBox::Yes);
    press(Qt::Key_F7);
    EXPECT_EQ(messages.log().last(),
              QStringLiteral("question|Confirmação|Deseja Realmente Excluir Este Cliente?"));
    EXPECT_EQ(sqlValue(QStringLiteral("select list(CODIGO) from TABCADCLI")).toString(), QStringLiteral("2"));
    EXPECT_EQ(sqlValue(QStringLiteral("select list(CLIENTE) from TABDIVIDAS")).toString(),
              QStringLiteral("2"));
    EXPECT_EQ(sqlValue(QStringLiteral("select list(CLIENTE) from TABDESC_COMPRAS")).toString(),
              QStringLiteral("2"));
    EXPECT_TRUE(onSearchPage());
    EXPECT_EQ(FCadCli->DBGrid1->cellText(0, 1), QStringLiteral("BETO"));
}

TEST_F(CustomerDeletion, IsAllOrNothing) {
    sql(QStringLiteral("create exception KEEP_CUSTOMER 'cliente protegido'"));
    sql(QStringLiteral("create trigger TABCADCLI_KEEP for TABCADCLI before delete as begin "
                       "exception KEEP_CUSTOMER; end"));
    messages.answers.enqueue(QMessageBox::Yes);
    press(Qt::Key_F7);
    ASSERT_EQ(messages.shown.size(), 2);
    EXPECT_EQ(messages.shown.last().kind, Messages::Kind::StandardError);
    EXPECT_TRUE(messages.shown.last().text.contains(QStringLiteral("cliente protegido")));
    EXPECT_EQ(count(QStringLiteral("TABCADCLI")), 2);
    EXPECT_EQ(count(QStringLiteral("TABDIVIDAS")), 4) << "the ledger deletion was rolled back";
    EXPECT_EQ(count(QStringLiteral("TABDESC_COMPRAS")), 4) << "and the purchase lines' too";
    EXPECT_FALSE(DM->FDConnection1.inTransaction());
    EXPECT_EQ(FCadCli->DBGrid1->cellText(0, 1), QStringLiteral("ANA"));
}

} // namespace

TEST_F(CadCli, NeitherVoltarNorASearchPostsACustomerBeingTyped) {
    addCustomer(1, QStringLiteral("ANA"));
    press(Qt::Key_F4);
    type(QStringLiteral("bia"));
    press(Qt::Key_F9);                                           // its button is hidden, its key is not
    FCadCli->PageControl1->setCurrentWidget(FCadCli->TabSheet2); // the search page's tab clicked
    FCadCli->Edit1->setFocus();
    type(QStringLiteral("a"));
    EXPECT_TRUE(messages.shown.isEmpty()) << messages.log().join(u'\n').toStdString();
    EXPECT_EQ(DM->TabCadCli.state(), TableDataset::State::Insert);
    EXPECT_EQ(count(QStringLiteral("TABCADCLI")), 1) << "nothing saved behind the shopkeeper's back";
    FCadCli->PageControl1->setCurrentWidget(FCadCli->TabSheet1);
    press(Qt::Key_F5);
    EXPECT_TRUE(messages.shown.isEmpty()) << messages.log().join(u'\n').toStdString();
    EXPECT_EQ(
        sqlValue(QStringLiteral("select list(NOME, ' ') from (select * from TABCADCLI order by CODIGO)"))
            .toString(),
        QStringLiteral("ANA BIA"));
    EXPECT_EQ(count(QStringLiteral("TABCADCLI where NOME = 'BIA' and DATA is not null")), 1)
        << "saved by Gravar";
}

// Another till may save a customer under the code this screen showed while its own was being typed.
TEST_F(CadCli, ACodeAnotherTillTookMeanwhileGivesTheCustomerTheNextFreeOne) {
    press(Qt::Key_F4);
    EXPECT_EQ(FCadCli->DBEdit1->text(), QStringLiteral("1"));
    type(QStringLiteral("bia"));
    addCustomer(1, QStringLiteral("OUTRO CAIXA"));
    press(Qt::Key_F5);
    EXPECT_TRUE(messages.shown.isEmpty()) << messages.log().join(u'\n').toStdString();
    EXPECT_EQ(sqlValue(QStringLiteral("select list(CODIGO || ' ' || NOME, '; ') from (select * from "
                                      "TABCADCLI order by CODIGO)"))
                  .toString(),
              QStringLiteral("1 OUTRO CAIXA; 2 BIA"));
}

TEST_F(CadCli, WhenAnotherTillKeepsTakingTheCodeTheCustomerIsRefusedInPortugueseAndKept) {
    press(Qt::Key_F4);
    type(QStringLiteral("bia"));
    {
        AnotherTill till(db.path());
        till.takeCodesBefore(
            DM->TabCadCli, 1000,
            QStringLiteral("insert into TABCADCLI (CODIGO, NOME) values (?, 'OUTRO CAIXA')"));
        press(Qt::Key_F5);
        EXPECT_EQ(till.taken().size(), KeyConflicts::Attempts) << "tried again a few times, then gave up";
    }
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.shown.front().kind, Messages::Kind::StandardError);
    EXPECT_TRUE(messages.shown.front().text.startsWith(QStringLiteral(
        "JÁ EXISTE UM REGISTRO COM ESTE CÓDIGO: A OPERAÇÃO NÃO FOI CONCLUÍDA. TENTE NOVAMENTE.\n")))
        << messages.shown.front().text.toStdString();
    EXPECT_EQ(count(QStringLiteral("TABCADCLI where NOME = 'BIA'")), 0);
    EXPECT_EQ(DM->TabCadCli.state(), TableDataset::State::Insert) << "the customer typed is still there";
    EXPECT_EQ(FCadCli->DBEdit2->text(), QStringLiteral("BIA"));

    messages.clear();
    press(Qt::Key_F5);
    EXPECT_TRUE(messages.shown.isEmpty()) << messages.log().join(u'\n').toStdString();
    EXPECT_EQ(sqlValue(QStringLiteral("select CODIGO from TABCADCLI where NOME = 'BIA'")).toInt(), 9);
}
