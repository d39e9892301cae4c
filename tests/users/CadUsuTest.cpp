#include "Printers.h"
#include "TestDatabase.h"
#include "UserScreens.h"
#include "platform/core/Transaction.h"
#include "platform/widgets/DataWidgets.h"
#include "users/uCadUsu.h"
#include "users/uTrocaSenha.h"

#include <QLineEdit>
#include <QRadioButton>
#include <QToolButton>

namespace {

class CadUsu : public UserScreens {
protected:
    void SetUp() override {
        UserScreens::SetUp();
        showActive(FCadUsu);
    }
    // Whether the screen is browsing: nothing can be typed into its fields and the grid can be moved.
    bool browsing() const {
        return DM->TabUsuarios.state() == TableDataset::State::Browse && FCadUsu->DBEdit1->isReadOnly() &&
               FCadUsu->DBEdit2->isReadOnly() && FCadUsu->Edit1->isReadOnly() &&
               FCadUsu->Edit2->isReadOnly() && FCadUsu->DBGrid1->isEnabled();
    }
    // Novo, then the name, login and both passwords, each followed by Enter except the last.
    void typeNewUser(const QString& name, const QString& login, const QString& password,
                     const QString& repeated) {
        press(Qt::Key_F4);
        for (const QString& text : {name, login, password}) {
            type(text);
            press(Qt::Key_Return);
        }
        type(repeated);
    }
};

TEST_F(CadUsu, RegistersANormalUserWithTheKeyboardAlone) {
    EXPECT_TRUE(browsing());
    EXPECT_EQ(FCadUsu->titleLabel()->text(), QStringLiteral("Cadastro de Usuários"));
    EXPECT_EQ(FCadUsu->DBGrid1->datasetModel()->rowCount(), 3);
    EXPECT_TRUE(FCadUsu->RadioButton2->isChecked()) << "the first row is a master";
    press(Qt::Key_F4);
    EXPECT_FALSE(browsing());
    EXPECT_EQ(DM->TabUsuarios.state(), TableDataset::State::Insert);
    EXPECT_EQ(FCadUsu->DBText1->text(), QStringLiteral("4"));
    EXPECT_EQ(QApplication::focusWidget(), FCadUsu->DBEdit1);
    EXPECT_TRUE(FCadUsu->RadioButton1->isChecked()) << "a new user starts as a normal one";
    type(QStringLiteral("joão da silva"));
    press(Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), FCadUsu->DBEdit2);
    type(QStringLiteral("joao"));
    press(Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), FCadUsu->Edit1);
    type(QStringLiteral("123456"));
    press(Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), FCadUsu->Edit2);
    type(QStringLiteral("123456"));
    press(Qt::Key_F5);
    EXPECT_TRUE(messages.shown.isEmpty()) << messages.log().join(u'\n').toStdString();
    EXPECT_EQ(user(4), QStringLiteral("4|JOÃO DA SILVA|JOAO|123456|N|2025-12-09"));
    EXPECT_TRUE(browsing()) << "the fields are read-only again";
    EXPECT_TRUE(FCadUsu->Edit1->text().isEmpty());
    EXPECT_TRUE(FCadUsu->Edit2->text().isEmpty());
    EXPECT_EQ(FCadUsu->DBGrid1->datasetModel()->rowCount(), 4);
    EXPECT_EQ(FCadUsu->DBGrid1->cellText(3, 2), QStringLiteral("JOAO"));
}

TEST_F(CadUsu, SavesTheTypeChosenAndTheDayOfEverySave) {
    typeNewUser(QStringLiteral("BIA"), QStringLiteral("BIA"), QStringLiteral("1"), QStringLiteral("1"));
    FCadUsu->RadioButton2->click();
    press(Qt::Key_F5);
    EXPECT_EQ(user(4), QStringLiteral("4|BIA|BIA|1|M|2025-12-09"));

    // Editing starts from the user's own type and password, whichever row the choice showed last.
    clickRow(FCadUsu->DBGrid1, 0);
    EXPECT_TRUE(FCadUsu->RadioButton2->isChecked());
    FCadUsu->DBGrid1->setFocus();
    press(Qt::Key_Down); // to ANA, by the keyboard
    EXPECT_EQ(DM->TabUsuariosLOGIN.asString(), QStringLiteral("ANA"));
    EXPECT_TRUE(FCadUsu->RadioButton1->isChecked());
    clock.set(QDateTime(QDate(2026, 3, 1), QTime(10, 0)));
    press(Qt::Key_F6);
    EXPECT_EQ(FCadUsu->Edit1->text(), QStringLiteral("111111"));
    EXPECT_EQ(FCadUsu->Edit2->text(), QStringLiteral("111111"));
    EXPECT_EQ(QApplication::focusWidget(), FCadUsu->DBEdit1);
    press(Qt::Key_F5);
    EXPECT_TRUE(messages.shown.isEmpty()) << messages.log().join(u'\n').toStdString();
    EXPECT_EQ(user(2), QStringLiteral("2|ANA|ANA|111111|N|2026-03-01")) << "an edit is dated too";
    EXPECT_TRUE(browsing());
}

struct TakenCase {
    const char* name;
    const char* login;
    bool leaveTheField; // false: F5 straight from the field, which leaves no field
    const char* warning;
    const char* then; // what Gravar says next, the duplicate gone
};

class TakenOnNew : public CadUsu, public ::testing::WithParamInterface<TakenCase> {};

TEST_P(TakenOnNew, IsWarnedEmptiedAndNeverSaved) {
    const TakenCase& c = GetParam();
    const bool nameTaken = QString::fromUtf8(c.warning).contains(QStringLiteral("USUÁRIO"));
    press(Qt::Key_F4);
    type(QString::fromUtf8(c.name));
    if (!nameTaken) {
        press(Qt::Key_Return);
        type(QString::fromUtf8(c.login));
    }
    DBEdit* field = nameTaken ? FCadUsu->DBEdit1 : FCadUsu->DBEdit2;
    if (c.leaveTheField)
        press(Qt::Key_Return);
    else
        press(Qt::Key_F5);
    EXPECT_EQ(messages.log(), QStringList{QStringLiteral("warning|AVISO !|") + QString::fromUtf8(c.warning)});
    EXPECT_EQ(messages.shown.value(0).icon, QMessageBox::Warning);
    EXPECT_TRUE(field->text().isEmpty());
    EXPECT_EQ(QApplication::focusWidget(), field);
    EXPECT_EQ(DM->TabUsuarios.state(), TableDataset::State::Insert);

    messages.clear();
    press(Qt::Key_F5);
    EXPECT_EQ(messages.log(), QStringList{QStringLiteral("warning|AVISO !|") + QString::fromUtf8(c.then)});
    EXPECT_EQ(users().size(), 3);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TakenOnNew,
    ::testing::Values(
        TakenCase{"ana", "", true, "NOME DE USUÁRIO JÁ EXISTENTE", "POR FAVOR DIGITE NOME DO USUÁRIO"},
        TakenCase{"ANA ", "", true, "NOME DE USUÁRIO JÁ EXISTENTE", "POR FAVOR DIGITE NOME DO USUÁRIO"},
        TakenCase{"ANA", "", false, "NOME DE USUÁRIO JÁ EXISTENTE", "POR FAVOR DIGITE NOME DO USUÁRIO"},
        TakenCase{"BIA", "chefe", true, "NOME DE LOGIN JÁ EXISTENTE", "POR FAVOR DIGITE O LOGIN DO USUÁRIO"},
        TakenCase{"BIA", "CHEFE", false, "NOME DE LOGIN JÁ EXISTENTE",
                  "POR FAVOR DIGITE O LOGIN DO USUÁRIO"}));

// Message boxes as real ones behave: each takes the active window while it is open and leaves none active.
class ActivatingMessages : public RecordingMessages {
public:
    QMessageBox::StandardButton show(const Request& request) override {
        QWidget box;
        box.show();
        QApplication::setActiveWindow(&box);
        const QMessageBox::StandardButton answer = RecordingMessages::show(request);
        box.hide();
        QApplication::setActiveWindow(nullptr);
        return answer;
    }
};

TEST_F(CadUsu, AfterARealWarningTheCaretIsBackInTheRefusedField) {
    ActivatingMessages boxes;
    press(Qt::Key_F4);
    type(QStringLiteral("ANA"));
    press(Qt::Key_Return);
    ASSERT_EQ(boxes.log(), QStringList{QStringLiteral("warning|AVISO !|NOME DE USUÁRIO JÁ EXISTENTE")});
    QCoreApplication::processEvents();
    QApplication::setActiveWindow(FCadUsu);
    EXPECT_EQ(QApplication::focusWidget(), FCadUsu->DBEdit1);
}

TEST_F(CadUsu, AnEditedUserMayTakeAnotherUsersName) {
    clickRow(FCadUsu->DBGrid1, 1);
    press(Qt::Key_F6);
    FCadUsu->DBEdit1->selectAll();
    type(QStringLiteral("CHEFE"));
    press(Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), FCadUsu->DBEdit2);
    press(Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), FCadUsu->Edit1);
    press(Qt::Key_F5);
    EXPECT_TRUE(messages.shown.isEmpty()) << messages.log().join(u'\n').toStdString();
    EXPECT_EQ(user(2), QStringLiteral("2|CHEFE|ANA|111111|N|2025-12-09"));
}

struct EditedLogin {
    const char* login;
    bool leaveTheField; // false: F5 straight from the field, which leaves no field
    bool refused;
};

class LoginOnEdit : public CadUsu, public ::testing::WithParamInterface<EditedLogin> {};

// Two users under one login could not be told apart at the login, nor by the screens after it.
TEST_P(LoginOnEdit, AnotherUsersLoginIsRefusedAsTheDatabaseComparesIt) {
    const EditedLogin& c = GetParam();
    clickRow(FCadUsu->DBGrid1, 1); // ANA
    press(Qt::Key_F6);
    press(Qt::Key_Return);
    ASSERT_EQ(QApplication::focusWidget(), FCadUsu->DBEdit2);
    FCadUsu->DBEdit2->selectAll();
    type(QString::fromUtf8(c.login));
    press(c.leaveTheField ? Qt::Key_Return : Qt::Key_F5);
    if (!c.refused) {
        if (c.leaveTheField)
            press(Qt::Key_F5);
        EXPECT_TRUE(messages.shown.isEmpty()) << messages.log().join(u'\n').toStdString();
        EXPECT_EQ(user(2),
                  QStringLiteral("2|ANA|%1|111111|N|2025-12-09").arg(QString::fromUtf8(c.login).toUpper()));
        EXPECT_TRUE(browsing());
        return;
    }
    EXPECT_EQ(messages.log(), QStringList{QStringLiteral("warning|AVISO !|NOME DE LOGIN JÁ EXISTENTE")});
    EXPECT_TRUE(FCadUsu->DBEdit2->text().isEmpty());
    EXPECT_EQ(QApplication::focusWidget(), FCadUsu->DBEdit2);
    EXPECT_EQ(DM->TabUsuarios.state(), TableDataset::State::Edit);
    messages.clear();
    press(Qt::Key_F5);
    EXPECT_EQ(messages.log(),
              QStringList{QStringLiteral("warning|AVISO !|POR FAVOR DIGITE O LOGIN DO USUÁRIO")});
    EXPECT_EQ(user(2), QStringLiteral("2|ANA|ANA|111111|N|-"));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LoginOnEdit,
    ::testing::Values(EditedLogin{"CHEFE", true, true}, EditedLogin{"CHEFE ", true, true},
                      EditedLogin{"chefe", true, true}, EditedLogin{"CHEFE", false, true},
                      EditedLogin{"MASTER", true, true}, EditedLogin{"MASTER", false, true},
                      EditedLogin{"ANA", true, false}, EditedLogin{"aninha", false, false}));

struct MasterName {
    int row; // the grid row edited; -1 for a new user
    const char* name;
    bool refused;
};

class NamedMaster : public CadUsu, public ::testing::WithParamInterface<MasterName> {};

// The user named "MASTER" can be neither edited nor deleted: another user named so could never be again.
TEST_P(NamedMaster, IsTheSeededMastersNameAlone) {
    const MasterName& c = GetParam();
    // The seeded master under another name, as an older file may hold it: "MASTER" is taken by nobody.
    sql(QStringLiteral("update usuarios set Nome = 'DONO' where Codigo = 1"));
    FCadUsu->close();
    showActive(FCadUsu);
    const QStringList before = users();
    if (c.row < 0) {
        press(Qt::Key_F4);
    } else {
        clickRow(FCadUsu->DBGrid1, c.row);
        press(Qt::Key_F6);
        FCadUsu->DBEdit1->selectAll();
    }
    const int code = DM->TabUsuariosCODIGO.asInteger();
    type(QString::fromUtf8(c.name));
    press(Qt::Key_Return);
    if (c.refused) {
        EXPECT_EQ(messages.log(), QStringList{QStringLiteral(
                                      "warning|AVISO !|O NOME \"MASTER\" É RESERVADO AO USUÁRIO MASTER")});
        EXPECT_TRUE(FCadUsu->DBEdit1->text().isEmpty());
        EXPECT_EQ(QApplication::focusWidget(), FCadUsu->DBEdit1);
        EXPECT_FALSE(browsing());
        EXPECT_EQ(users(), before);
        return;
    }
    if (c.row < 0) {
        type(QStringLiteral("NOVO"));
        press(Qt::Key_Return);
        type(QStringLiteral("1"));
        press(Qt::Key_Return);
        type(QStringLiteral("1"));
    }
    press(Qt::Key_F5);
    EXPECT_TRUE(messages.shown.isEmpty()) << messages.log().join(u'\n').toStdString();
    EXPECT_EQ(user(code).section(u'|', 1, 1), QString::fromUtf8(c.name).toUpper());
}

INSTANTIATE_TEST_SUITE_P(Cases, NamedMaster,
                         ::testing::Values(MasterName{1, "MASTER", true}, MasterName{1, "master", true},
                                           MasterName{1, "MASTER ", true}, MasterName{2, "MASTER", true},
                                           MasterName{-1, "MASTER", true}, MasterName{1, "MASTERS", false},
                                           MasterName{-1, "MASTER DA LOJA", false},
                                           MasterName{0, "MASTER", false}));

struct SaveCheck {
    const char* name;
    const char* login;
    const char* password;
    const char* repeated;
    const char* warning;
    const char* focus;
    bool passwordsEmptied;
};

class SaveChecks : public CadUsu, public ::testing::WithParamInterface<SaveCheck> {};

TEST_P(SaveChecks, StopAtTheFirstFailureWithTheCaretInItsField) {
    const SaveCheck& c = GetParam();
    typeNewUser(QString::fromUtf8(c.name), QString::fromUtf8(c.login), QString::fromUtf8(c.password),
                QString::fromUtf8(c.repeated));
    press(Qt::Key_F5);
    EXPECT_EQ(messages.log(), QStringList{QStringLiteral("warning|AVISO !|") + QString::fromUtf8(c.warning)});
    EXPECT_EQ(QApplication::focusWidget()->objectName(), QString::fromUtf8(c.focus));
    EXPECT_EQ(FCadUsu->Edit1->text().isEmpty() && FCadUsu->Edit2->text().isEmpty(), c.passwordsEmptied);
    EXPECT_EQ(DM->TabUsuarios.state(), TableDataset::State::Insert) << "still typing the new user";
    EXPECT_EQ(users().size(), 3);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SaveChecks,
    ::testing::Values(
        SaveCheck{"", "BIA", "1", "1", "POR FAVOR DIGITE NOME DO USUÁRIO", "DBEdit1", false},
        SaveCheck{"   ", "BIA", "1", "1", "POR FAVOR DIGITE NOME DO USUÁRIO", "DBEdit1", false},
        SaveCheck{"BIA", "", "1", "1", "POR FAVOR DIGITE O LOGIN DO USUÁRIO", "DBEdit2", false},
        SaveCheck{"BIA", "BIA", "", "1", "POR FAVOR DIGITE A SENHA DO USUÁRIO", "Edit1", false},
        SaveCheck{"BIA", "BIA", "1", "", "POR FAVOR REDIGITE A SENHA DO USUÁRIO", "Edit2", false},
        SaveCheck{"BIA", "BIA", "12", "13", "SENHAS DIFERENTES, POR FAVOR DIGITE NOVAMENTE", "Edit1", true}));

TEST_F(CadUsu, TheSeededMasterIsNeitherEditedNorDeleted) {
    ASSERT_EQ(DM->TabUsuariosNOME.asString(), QStringLiteral("MASTER"));
    press(Qt::Key_F6);
    press(Qt::Key_F7);
    EXPECT_EQ(messages.log(),
              (QStringList{QStringLiteral("warning|AVISO !|USUÁRIO \"MASTER' NÃO PODE SER EDITADO"),
                           QStringLiteral("warning|AVISO !|USUÁRIO \"MASTER' NÃO PODE SER DELETADO")}))
        << "no question before the refusal";
    EXPECT_TRUE(browsing());
    EXPECT_EQ(user(1), QStringLiteral("1|MASTER|MASTER|907438|M|-"));

    // Browsing, its fields take nothing typed: no way round "Editar".
    FCadUsu->DBEdit1->setFocus();
    type(QStringLiteral("X"));
    FCadUsu->Edit1->setFocus();
    type(QStringLiteral("1"));
    press(Qt::Key_F5);
    EXPECT_EQ(FCadUsu->DBEdit1->text(), QStringLiteral("MASTER"));
    EXPECT_TRUE(FCadUsu->Edit1->text().isEmpty());
    EXPECT_TRUE(browsing());
    EXPECT_EQ(messages.shown.size(), 2) << "Gravar while browsing does nothing";
    EXPECT_EQ(user(1), QStringLiteral("1|MASTER|MASTER|907438|M|-"));
}

TEST_F(CadUsu, DeletingTheLoggedInUserLeavesTheRunGoing) {
    logInAs(QStringLiteral("CHEFE"));
    clickRow(FCadUsu->DBGrid1, 2);
    press(Qt::Key_F7);
    EXPECT_EQ(messages.log(),
              QStringList{QStringLiteral("question|Confirmação|DESEJA REALMENTE EXCLUIR ESTE USUÁRIO?")});
    EXPECT_EQ(users().size(), 3) << "No keeps the user";

    messages.clear();
    messages.answers.enqueue(QMessageBox::Yes);
    press(Qt::Key_F7);
    EXPECT_EQ(users(), (QStringList{QStringLiteral("1|MASTER|MASTER|907438|M|-"),
                                    QStringLiteral("2|ANA|ANA|111111|N|-")}));
    EXPECT_EQ(FCadUsu->DBGrid1->datasetModel()->rowCount(), 2);
    EXPECT_TRUE(FCadUsu->isVisible());

    // The change of password finds nobody under the login and writes nothing.
    FCadUsu->close();
    messages.clear();
    showActive(FTrocaSenha);
    EXPECT_TRUE(FTrocaSenha->Edit3->text().isEmpty());
    EXPECT_TRUE(FTrocaSenha->Edit1->text().isEmpty());
    EXPECT_TRUE(FTrocaSenha->DBText1->text().isEmpty());
    FTrocaSenha->Edit3->setText(QStringLiteral("CHEFE"));
    FTrocaSenha->Edit1->setText(QStringLiteral("1"));
    FTrocaSenha->Edit2->setText(QStringLiteral("1"));
    press(Qt::Key_F5);
    EXPECT_EQ(messages.log(),
              QStringList{QStringLiteral("warning|AVISO !|USUÁRIO DO LOGIN ATUAL NÃO ENCONTRADO")});
    EXPECT_TRUE(FTrocaSenha->isVisible());
    EXPECT_EQ(users().size(), 2);
}

TEST_F(CadUsu, NovoAndTheGridWaitWhileAUserIsTypedAndXDropsIt) {
    press(Qt::Key_F4);
    type(QStringLiteral("BIA"));
    press(Qt::Key_F4);
    FCadUsu->DBEdit1->flush();
    EXPECT_EQ(FCadUsu->DBGrid1->cellText(0, 1), QStringLiteral("MASTER")) << "the new user hides no row";
    EXPECT_EQ(FCadUsu->DBText1->text(), QStringLiteral("4"));
    EXPECT_EQ(FCadUsu->DBEdit1->text(), QStringLiteral("BIA"));
    clickRow(FCadUsu->DBGrid1, 1);
    EXPECT_EQ(DM->TabUsuarios.state(), TableDataset::State::Insert);
    EXPECT_EQ(FCadUsu->DBEdit1->text(), QStringLiteral("BIA"));
    press(Qt::Key_F6);
    press(Qt::Key_F7);
    EXPECT_TRUE(messages.shown.isEmpty()) << "Editar and Excluir wait too";
    EXPECT_EQ(DM->TabUsuarios.state(), TableDataset::State::Insert);

    FCadUsu->SpeedButton2->click();
    EXPECT_FALSE(FCadUsu->isVisible());
    EXPECT_TRUE(browsing());
    EXPECT_EQ(users().size(), 3);

    // An edit dropped the same way.
    showActive(FCadUsu);
    clickRow(FCadUsu->DBGrid1, 1);
    press(Qt::Key_F6);
    FCadUsu->DBEdit1->selectAll();
    type(QStringLiteral("OUTRA"));
    FCadUsu->Edit1->setFocus();
    FCadUsu->SpeedButton2->click();
    EXPECT_TRUE(browsing());
    EXPECT_EQ(user(2), QStringLiteral("2|ANA|ANA|111111|N|-"));
    EXPECT_TRUE(messages.shown.isEmpty());
}

TEST_F(CadUsu, ReopenedAfterAChangeOfPasswordListsEveryUser) {
    FCadUsu->close();
    logInAs(QStringLiteral("ANA"));
    showActive(FTrocaSenha);
    press(Qt::Key_F5);
    ASSERT_FALSE(FTrocaSenha->isVisible());
    EXPECT_EQ(DM->TabUsuarios.recordCount(), 1) << "the change leaves the users narrowed to one";
    showActive(FCadUsu);
    EXPECT_EQ(DM->TabUsuarios.recordCount(), 3);
    EXPECT_EQ(FCadUsu->DBGrid1->datasetModel()->rowCount(), 3);
}

struct PasswordField {
    const char* screen;
    const char* field;
};

class PasswordFields : public UserScreens, public ::testing::WithParamInterface<PasswordField> {};

TEST_P(PasswordFields, TakeSixDigitsAtMostAndNothingElse) {
    Form* screen = QString::fromUtf8(GetParam().screen) == QStringLiteral("FCadUsu")
                       ? static_cast<Form*>(FCadUsu)
                       : FTrocaSenha;
    showActive(screen);
    auto* field = screen->findChild<QLineEdit*>(QString::fromUtf8(GetParam().field));
    ASSERT_NE(field, nullptr);
    if (screen == FCadUsu) {
        press(Qt::Key_F4);
        for (int moves = 0; moves < 3 && QApplication::focusWidget() != field; ++moves)
            press(Qt::Key_Return); // from the name on, as the user goes
    }
    field->setFocus();
    field->clear();
    type(QStringLiteral("9a0 7-4x3,8.12"));
    EXPECT_EQ(field->text(), QStringLiteral("907438"));
    EXPECT_EQ(field->displayText(), QStringLiteral("******"));
    press(Qt::Key_Backspace);
    EXPECT_EQ(field->text(), QStringLiteral("90743"));
}

INSTANTIATE_TEST_SUITE_P(Cases, PasswordFields,
                         ::testing::Values(PasswordField{"FCadUsu", "Edit1"},
                                           PasswordField{"FCadUsu", "Edit2"},
                                           PasswordField{"FTrocaSenha", "Edit1"},
                                           PasswordField{"FTrocaSenha", "Edit2"}));

// Another till may register a user under the code this screen showed while its own was being typed.
TEST_F(CadUsu, ACodeAnotherTillTookMeanwhileGivesTheUserTheNextFreeOne) {
    typeNewUser(QStringLiteral("BIA"), QStringLiteral("BIA"), QStringLiteral("1"), QStringLiteral("1"));
    EXPECT_EQ(FCadUsu->DBText1->text(), QStringLiteral("4"));
    sql(QStringLiteral("insert into USUARIOS (CODIGO, NOME, LOGIN, SENHA, TIPO, DATA) values (4, 'CAIO', "
                       "'CAIO', '2', 'N', '2025-12-01')"));
    press(Qt::Key_F5);
    EXPECT_TRUE(messages.shown.isEmpty()) << messages.log().join(u'\n').toStdString();
    EXPECT_EQ(user(4), QStringLiteral("4|CAIO|CAIO|2|N|2025-12-01"));
    EXPECT_EQ(user(5), QStringLiteral("5|BIA|BIA|1|N|2025-12-09"));
    EXPECT_TRUE(browsing());
}

TEST_F(CadUsu, WhenAnotherTillKeepsTakingTheCodeTheUserIsRefusedInPortuguese) {
    typeNewUser(QStringLiteral("BIA"), QStringLiteral("BIA"), QStringLiteral("1"), QStringLiteral("1"));
    AnotherTill till(db.path());
    till.takeCodesBefore(DM->TabUsuarios, 1000,
                         QStringLiteral("insert into USUARIOS (CODIGO, NOME, LOGIN, SENHA, TIPO) values (?, "
                                        "'OUTRO', 'OUTRO', '2', 'N')"));
    press(Qt::Key_F5);
    EXPECT_EQ(till.taken().size(), KeyConflicts::Attempts) << "tried again a few times, then gave up";
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.shown.front().kind, Messages::Kind::StandardError);
    EXPECT_TRUE(messages.shown.front().text.startsWith(QStringLiteral(
        "JÁ EXISTE UM REGISTRO COM ESTE CÓDIGO: A OPERAÇÃO NÃO FOI CONCLUÍDA. TENTE NOVAMENTE.\n")))
        << messages.shown.front().text.toStdString();
    EXPECT_EQ(sqlValue(QStringLiteral("select count(*) from USUARIOS where NOME = 'BIA'")).toInt(), 0);
    EXPECT_EQ(DM->TabUsuarios.state(), TableDataset::State::Insert) << "the user typed is still there";
}

} // namespace
