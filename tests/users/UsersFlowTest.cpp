#include "Printers.h"
#include "UserScreens.h"
#include "app/uBrolavi.h"
#include "platform/widgets/DBGrid.h"
#include "platform/widgets/DataWidgets.h"
#include "users/uCadUsu.h"
#include "users/uLogin.h"
#include "users/uTrocaSenha.h"

#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

namespace {

// From a database without users: the program seeds its master user itself.
class UsersFlow : public UserScreens {
protected:
    void SetUp() override { ProgramFixture::SetUp(); }

    // A new run of the program on the same database, logging in with these credentials; the main screen, if
    // it opens, runs the script.
    void runAndLogIn(const QString& login, const QString& password,
                     ScriptedModalHost::Script mainScreen = {}) {
        program.reset();
        program = std::make_unique<AppBrolavi>(db.path());
        if (mainScreen)
            modal.onShow(QStringLiteral("TelaInicial"), std::move(mainScreen));
        showActive(FLogin);
        type(login);
        press(Qt::Key_Return);
        type(password);
        FLogin->SpeedButton2->click();
    }
};

TEST_F(UsersFlow, AMasterRegistersAUserWhoLogsInAndChangesTheirPassword) {
    runAndLogIn(QStringLiteral("master"), QStringLiteral("907438"), [this](QDialog*) {
        EXPECT_TRUE(TelaInicial->BCadUsu->isVisibleTo(TelaInicial));
        modal.onShow(QStringLiteral("FCadUsu"), [](QDialog*) {
            EXPECT_EQ(FCadUsu->DBGrid1->cellText(0, 4), QStringLiteral("09/12/2025 14:05:33"))
                << "the moment of this login";
            press(Qt::Key_F4);
            for (const char* text : {"bia souza", "bia", "123456"}) {
                type(QString::fromUtf8(text));
                press(Qt::Key_Return);
            }
            type(QStringLiteral("123456"));
            press(Qt::Key_F5);
        });
        TelaInicial->BCadUsu->click();
    });
    EXPECT_EQ(modal.shown, (QStringList{QStringLiteral("TelaInicial"), QStringLiteral("FCadUsu")}));
    EXPECT_TRUE(messages.shown.isEmpty()) << messages.log().join(u'\n').toStdString();
    EXPECT_EQ(user(2), QStringLiteral("2|BIA SOUZA|BIA|123456|N|2025-12-09"));

    modal.shown.clear();
    runAndLogIn(QStringLiteral("bia"), QStringLiteral("123456"), [this](QDialog*) {
        EXPECT_FALSE(TelaInicial->BCadUsu->isVisibleTo(TelaInicial)) << "a normal user";
        modal.onShow(QStringLiteral("FTrocaSenha"), [](QDialog*) {
            EXPECT_EQ(FTrocaSenha->Edit3->text(), QStringLiteral("BIA"));
            typeNewPasswordAndSave(QStringLiteral("654321"));
        });
        TelaInicial->BTrocaSenha->click();
    });
    EXPECT_EQ(modal.shown, (QStringList{QStringLiteral("TelaInicial"), QStringLiteral("FTrocaSenha")}));
    EXPECT_TRUE(messages.shown.isEmpty()) << messages.log().join(u'\n').toStdString();

    modal.shown.clear();
    runAndLogIn(QStringLiteral("bia"), QStringLiteral("123456"));
    EXPECT_TRUE(modal.shown.isEmpty()) << "the old password is refused";
    EXPECT_EQ(messages.log(), QStringList{QStringLiteral("warning|AVISO !|USUÁRIO OU SENHA INVÁLIDO")});
    runAndLogIn(QStringLiteral("bia"), QStringLiteral("654321"));
    EXPECT_EQ(modal.shown, QStringList{QStringLiteral("TelaInicial")});
}

struct SharedCase {
    const char* sharedLogin; // given to ANA (code 2) besides its owner, as an older file may hold it
    const char* typed;
    const char* password;
    int code; // the user logged in
    bool master;
};

class SharedLogin : public UserScreens, public ::testing::WithParamInterface<SharedCase> {
protected:
    void SetUp() override {
        UserScreens::SetUp();
        sql(QStringLiteral("update usuarios set Login = ? where Codigo = 2"),
            {QString::fromUtf8(GetParam().sharedLogin)});
    }
    // Each user as "code|login|password|moment of login".
    QStringList credentials() {
        return sqlValue(QStringLiteral("select list(Codigo || '|' || Login || '|' || Senha || '|' || "
                                       "coalesce(DATA_HORA_LOGIN, '-'), ';') from (select * from usuarios "
                                       "order by Codigo)"))
            .toString()
            .split(u';');
    }
};

// The user logged in is the one whose password was typed, whoever else has the login: the main screen's
// master buttons, the change of password and the moment of login all go to that one record.
TEST_P(SharedLogin, TheUserLoggedInIsTheOneWhosePasswordMatched) {
    const SharedCase& c = GetParam();
    QStringList expected = credentials();
    expected[c.code - 1] = QStringLiteral("%1|%2|654321|09/12/2025 14:05:33")
                               .arg(c.code)
                               .arg(expected[c.code - 1].section(u'|', 1, 1));
    QString nameShown;
    modal.onShow(QStringLiteral("TelaInicial"), [&](QDialog*) {
        EXPECT_EQ(TelaInicial->BCadUsu->isVisibleTo(TelaInicial), c.master);
        EXPECT_EQ(TelaInicial->BLoja->isVisibleTo(TelaInicial), c.master);
        modal.onShow(QStringLiteral("FTrocaSenha"), [&](QDialog*) {
            nameShown = FTrocaSenha->DBText1->text();
            typeNewPasswordAndSave(QStringLiteral("654321"));
        });
        TelaInicial->BTrocaSenha->click();
    });
    showActive(FLogin);
    type(QString::fromUtf8(c.typed));
    press(Qt::Key_Return);
    type(QString::fromUtf8(c.password));
    FLogin->SpeedButton2->click();
    EXPECT_EQ(modal.shown, (QStringList{QStringLiteral("TelaInicial"), QStringLiteral("FTrocaSenha")}));
    EXPECT_TRUE(messages.shown.isEmpty()) << messages.log().join(u'\n').toStdString();
    EXPECT_EQ(nameShown, users().value(c.code - 1).section(u'|', 1, 1));
    EXPECT_EQ(DM->currentUserCode().value_or(0), c.code);
    EXPECT_EQ(credentials(), expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, SharedLogin,
                         ::testing::Values(SharedCase{"CHEFE", "CHEFE", "222222", 3, true},
                                           SharedCase{"CHEFE", "CHEFE", "111111", 2, false},
                                           SharedCase{"MASTER", "MASTER", "907438", 1, true},
                                           SharedCase{"MASTER", "MASTER", "111111", 2, false},
                                           // the database ignores trailing blanks, and so does the run
                                           SharedCase{"MASTER", "MASTER ", "907438", 1, true},
                                           SharedCase{"MASTER", "master ", "111111", 2, false}));

} // namespace
