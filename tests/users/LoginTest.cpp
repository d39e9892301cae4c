#include "Printers.h"
#include "ProgramFixture.h"
#include "app/uBrolavi.h"
#include "data/uDM.h"
#include "platform/core/Errors.h"
#include "users/uLogin.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

class Login : public ProgramFixture {
protected:
    // Shows the login as the splash does and types the credentials.
    void showAndType(const QString& login, const QString& password) {
        showActive(FLogin);
        QTest::keyClicks(FLogin->Edit1, login);
        QTest::keyClicks(FLogin->Edit2, password);
    }
    int users() { return sqlValue(QStringLiteral("select count(*) from usuarios")).toInt(); }
};

TEST_F(Login, CreatesTheMissingUsersTableAndSeedsTheMaster) {
    showAndType(QStringLiteral("master"), QStringLiteral("907438"));
    EXPECT_TRUE(VerificaExisteTabela(DM->FDConnection1, QStringLiteral("USUARIOS")));
    EXPECT_EQ(sqlValue(QStringLiteral(
                           "select Codigo || '|' || Nome || '|' || Login || '|' || Senha || '|' || Tipo "
                           "|| '|' || cast(Data as varchar(10)) || '|' || coalesce(DATA_HORA_LOGIN, '-') "
                           "from usuarios"))
                  .toString(),
              QStringLiteral("1|MASTER|MASTER|907438|M|2025-12-09|-"));
    EXPECT_EQ(FLogin->Edit1->text(), QStringLiteral("MASTER"))
        << "typed in lower case, entered in upper case";

    FLogin->SpeedButton2->click();
    EXPECT_EQ(modal.shown, QStringList{QStringLiteral("TelaInicial")});
    EXPECT_TRUE(messages.shown.isEmpty());
    EXPECT_EQ(
        sqlValue(QStringLiteral("select DATA_HORA_LOGIN from usuarios where Login = 'MASTER'")).toString(),
        QStringLiteral("09/12/2025 14:05:33"));
    EXPECT_EQ(FLogin->currentLogin(), QStringLiteral("MASTER")) << "the login field keeps the current login";
}

TEST_F(Login, SeedsAnEmptyTableAndLeavesOneWithRowsAsItIs) {
    createUsers({});
    FLogin->show();
    EXPECT_EQ(users(), 1);
    FLogin->hide();
    FLogin->show();
    EXPECT_EQ(users(), 1) << "seeded once";

    TestDatabase other;
    program.reset();
    program = std::make_unique<AppBrolavi>(other.path());
    createUsers({{QStringLiteral("ANA"), QStringLiteral("123"), QStringLiteral("N")}});
    showAndType(QStringLiteral("MASTER"), QStringLiteral("907438"));
    EXPECT_EQ(users(), 1) << "a table with rows gets no master";
    FLogin->SpeedButton2->click();
    EXPECT_TRUE(modal.shown.isEmpty());
    EXPECT_EQ(messages.log(), QStringList{QStringLiteral("warning|AVISO !|USUÁRIO OU SENHA INVÁLIDO")});
}

struct Credentials {
    const char* login;
    const char* password;
};

class RefusedLogin : public Login, public ::testing::WithParamInterface<Credentials> {};

TEST_P(RefusedLogin, WarnsEmptiesTheFieldsAndWritesNothing) {
    showAndType(QString::fromUtf8(GetParam().login), QString::fromUtf8(GetParam().password));
    FLogin->SpeedButton2->click();
    EXPECT_EQ(messages.log(), QStringList{QStringLiteral("warning|AVISO !|USUÁRIO OU SENHA INVÁLIDO")});
    EXPECT_EQ(messages.shown.front().icon, QMessageBox::Warning);
    EXPECT_TRUE(FLogin->Edit1->text().isEmpty());
    EXPECT_TRUE(FLogin->Edit2->text().isEmpty());
    EXPECT_EQ(QApplication::focusWidget(), FLogin->Edit1);
    EXPECT_TRUE(modal.shown.isEmpty());
    EXPECT_TRUE(sqlValue(QStringLiteral("select DATA_HORA_LOGIN from usuarios")).isNull());
}

INSTANTIATE_TEST_SUITE_P(Cases, RefusedLogin,
                         ::testing::Values(Credentials{"MASTER", "907437"}, Credentials{"MASTERX", "907438"},
                                           Credentials{"", "907438"}, Credentials{"MASTER", ""},
                                           Credentials{"", ""},
                                           // longer than the login column
                                           Credentials{"999999999999", "907438"}));

TEST_F(Login, ThePasswordFieldTakesSixDigitsAndEnterThereDoesNothing) {
    showActive(FLogin);
    EXPECT_EQ(QApplication::focusWidget(), FLogin->Edit1);
    QTest::keyClicks(FLogin->Edit1, QStringLiteral("ma'ster"));
    EXPECT_EQ(FLogin->Edit1->text(), QStringLiteral("MA'STER"));
    QTest::keyClick(FLogin->Edit1, Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), FLogin->Edit2) << "Enter moves on from the login";

    QTest::keyClicks(FLogin->Edit2, QStringLiteral("9a0 7-4x3,8.12"));
    EXPECT_EQ(FLogin->Edit2->text(), QStringLiteral("907438"));
    EXPECT_EQ(FLogin->Edit2->displayText(), QStringLiteral("******"));
    QTest::keyClick(FLogin->Edit2, Qt::Key_Backspace);
    EXPECT_EQ(FLogin->Edit2->text(), QStringLiteral("90743"));
    QTest::keyClick(FLogin->Edit2, Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), FLogin->Edit2)
        << "Enter in the password neither moves nor confirms";
    EXPECT_TRUE(modal.shown.isEmpty());
    EXPECT_TRUE(messages.shown.isEmpty());
}

TEST_F(Login, AFailingSeedGoesToTheErrorBoxAndTheLoginStaysOpen) {
    // A users table whose login column cannot take the master's login.
    sql(QStringLiteral("create table usuarios (Codigo Integer primary key, Data Date, Tipo VarChar(1), "
                       "Login VarChar(3), DATA_HORA_LOGIN VarChar(20),Nome VarChar(60), Senha varchar(6))"));
    FLogin->show();
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.shown.front().kind, Messages::Kind::StandardError);
    EXPECT_TRUE(messages.shown.front().text.contains(QStringLiteral("truncation")))
        << messages.shown.front().text.toStdString();
    EXPECT_TRUE(FLogin->isVisible());
    EXPECT_EQ(DM->TabUsuarios.state(), TableDataset::State::Insert) << "the dataset keeps its state";
    EXPECT_EQ(users(), 0);
}

TEST_F(Login, TheCatalogueCheckAnswersFalseOnAnyError) {
    EXPECT_TRUE(VerificaExisteTabela(DM->FDConnection1, QStringLiteral("TABCADCLI")));
    EXPECT_FALSE(VerificaExisteTabela(DM->FDConnection1, QStringLiteral("tabcadcli")))
        << "the catalogue is upper case";
    EXPECT_FALSE(VerificaExisteTabela(DM->FDConnection1, QStringLiteral("X' OR '1'='1")));
    Connection broken;
    broken.setDatabasePath(db.dir() + QStringLiteral("/none.fdb"));
    EXPECT_FALSE(VerificaExisteTabela(broken, QStringLiteral("TABCADCLI")));
}

} // namespace
