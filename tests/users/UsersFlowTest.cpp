#include "Printers.h"
#include "UserScreens.h"
#include "app/uBrolavi.h"
#include "platform/widgets/DBGrid.h"
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
            for (QLineEdit* field : {FTrocaSenha->Edit1, FTrocaSenha->Edit2}) {
                field->setFocus();
                field->selectAll();
                type(QStringLiteral("654321"));
            }
            press(Qt::Key_F5);
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

} // namespace
