#include "Printers.h"
#include "UserScreens.h"
#include "platform/widgets/DataWidgets.h"
#include "users/uLogin.h"
#include "users/uTrocaSenha.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

namespace {

class TrocaSenha : public UserScreens {
protected:
    void showFor(const QString& login) {
        logInAs(login);
        showActive(FTrocaSenha);
    }
    static void retype(QLineEdit* field, const QString& text) {
        field->setFocus();
        field->selectAll();
        type(text);
    }
    // Whether these credentials get past the login screen.
    bool logsIn(const QString& login, const QString& password) {
        showActive(FLogin);
        FLogin->Edit1->setText(login);
        FLogin->Edit2->setText(password);
        const qsizetype before = modal.shown.size();
        messages.clear();
        FLogin->SpeedButton2->click();
        FLogin->hide();
        return modal.shown.size() > before;
    }
};

TEST_F(TrocaSenha, AUserChangesLoginAndPasswordAndTheNextLoginNeedsTheNewOnes) {
    showFor(QStringLiteral("ANA"));
    EXPECT_EQ(FTrocaSenha->titleLabel()->text(), QStringLiteral("Trocar Senha"));
    EXPECT_EQ(FTrocaSenha->DBText1->text(), QStringLiteral("ANA"));
    EXPECT_EQ(FTrocaSenha->Edit3->text(), QStringLiteral("ANA"));
    EXPECT_FALSE(FTrocaSenha->Edit3->isReadOnly());
    EXPECT_EQ(FTrocaSenha->Edit1->text(), QStringLiteral("111111")) << "filled with the current password";
    EXPECT_EQ(FTrocaSenha->Edit2->text(), QStringLiteral("111111"));
    EXPECT_EQ(FTrocaSenha->Label3->text(), QStringLiteral("2"));
    EXPECT_FALSE(FTrocaSenha->Label3->isVisible());
    EXPECT_EQ(FTrocaSenha->NomeLogin, QStringLiteral("ANA"));
    EXPECT_EQ(FTrocaSenha->CodUsu, 2);

    retype(FTrocaSenha->Edit3, QStringLiteral("aninha"));
    retype(FTrocaSenha->Edit1, QStringLiteral("654321"));
    retype(FTrocaSenha->Edit2, QStringLiteral("654321"));
    press(Qt::Key_F5);
    EXPECT_TRUE(messages.shown.isEmpty()) << messages.log().join(u'\n').toStdString();
    EXPECT_FALSE(FTrocaSenha->isVisible()) << "a save closes the screen";
    EXPECT_EQ(user(2), QStringLiteral("2|ANA|ANINHA|654321|N|-"));
    EXPECT_EQ(DM->currentLogin(), QStringLiteral("ANINHA")) << "the run goes on under the new login";
    EXPECT_EQ(DM->TabUsuarios.recordCount(), 1);

    showActive(FTrocaSenha);
    EXPECT_EQ(FTrocaSenha->Edit3->text(), QStringLiteral("ANINHA")) << "found by the new login";
    EXPECT_EQ(FTrocaSenha->CodUsu, 2);
    FTrocaSenha->close();

    EXPECT_FALSE(logsIn(QStringLiteral("ANA"), QStringLiteral("111111")));
    EXPECT_FALSE(logsIn(QStringLiteral("ANINHA"), QStringLiteral("111111")));
    EXPECT_FALSE(logsIn(QStringLiteral("ANA"), QStringLiteral("654321")));
    EXPECT_TRUE(logsIn(QStringLiteral("ANINHA"), QStringLiteral("654321")));
}

struct LoginLock {
    const char* login;
    bool loginEditable;
};

class WhoseLogin : public TrocaSenha, public ::testing::WithParamInterface<LoginLock> {};

TEST_P(WhoseLogin, OnlyTheSeededMastersLoginIsLocked) {
    const QString login = QString::fromUtf8(GetParam().login);
    showFor(login);
    EXPECT_EQ(FTrocaSenha->Edit3->isReadOnly(), !GetParam().loginEditable);
    retype(FTrocaSenha->Edit3, QStringLiteral("NOVO"));
    retype(FTrocaSenha->Edit1, QStringLiteral("1234"));
    retype(FTrocaSenha->Edit2, QStringLiteral("1234"));
    press(Qt::Key_F5);
    EXPECT_TRUE(messages.shown.isEmpty()) << messages.log().join(u'\n').toStdString();
    const QString expected = GetParam().loginEditable ? QStringLiteral("NOVO") : login;
    EXPECT_EQ(sqlValue(QStringLiteral("select Login || '|' || Senha from usuarios where Nome = ?"), {login})
                  .toString(),
              expected + QStringLiteral("|1234"));
    EXPECT_EQ(DM->currentLogin(), expected);
}

INSTANTIATE_TEST_SUITE_P(Users, WhoseLogin,
                         ::testing::Values(LoginLock{"MASTER", false}, LoginLock{"CHEFE", true},
                                           LoginLock{"ANA", true}));

TEST_F(TrocaSenha, GravarWithoutTypingSavesTheSamePassword) {
    showFor(QStringLiteral("CHEFE"));
    FTrocaSenha->BGravar->click();
    EXPECT_TRUE(messages.shown.isEmpty()) << messages.log().join(u'\n').toStdString();
    EXPECT_FALSE(FTrocaSenha->isVisible());
    EXPECT_EQ(user(3), QStringLiteral("3|CHEFE|CHEFE|222222|M|-"));
}

struct ChangeCheck {
    const char* login;
    const char* password;
    const char* repeated;
    const char* warning;
    const char* focus;
};

class ChangeChecks : public TrocaSenha, public ::testing::WithParamInterface<ChangeCheck> {};

TEST_P(ChangeChecks, RefuseWithAWarningAndWriteNothing) {
    const ChangeCheck& c = GetParam();
    showFor(QStringLiteral("ANA"));
    const QStringList before = users();
    FTrocaSenha->Edit3->setText(QString::fromUtf8(c.login));
    FTrocaSenha->Edit1->setText(QString::fromUtf8(c.password));
    FTrocaSenha->Edit2->setText(QString::fromUtf8(c.repeated));
    press(Qt::Key_F5);
    EXPECT_EQ(messages.log(), QStringList{QStringLiteral("warning|AVISO !|") + QString::fromUtf8(c.warning)});
    EXPECT_EQ(QApplication::focusWidget()->objectName(), QString::fromUtf8(c.focus));
    EXPECT_TRUE(FTrocaSenha->isVisible());
    EXPECT_EQ(users(), before);
    EXPECT_EQ(DM->currentLogin(), QStringLiteral("ANA"));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ChangeChecks,
    ::testing::Values(ChangeCheck{"ANA", "", "1", "POR FAVOR DIGITE A NOVA SENHA DO USUÁRIO", "Edit1"},
                      ChangeCheck{"ANA", "1", "", "POR FAVOR REDIGITE A NOVA SENHA DO USUÁRIO", "Edit2"},
                      ChangeCheck{"ANA", "12", "13", "SENHAS DIFERENTES, POR FAVOR DIGITE NOVAMENTE",
                                  "Edit1"},
                      ChangeCheck{"", "1", "1", "POR FAVOR DIGITE O LOGIN DO USUÁRIO", "Edit3"},
                      ChangeCheck{"  ", "1", "1", "POR FAVOR DIGITE O LOGIN DO USUÁRIO", "Edit3"},
                      ChangeCheck{"CHEFE", "1", "1", "NOME DE LOGIN JÁ EXISTENTE", "Edit3"},
                      ChangeCheck{"MASTER", "1", "1", "NOME DE LOGIN JÁ EXISTENTE", "Edit3"}));

TEST_F(TrocaSenha, DifferentPasswordsAreEmptied) {
    showFor(QStringLiteral("ANA"));
    retype(FTrocaSenha->Edit2, QStringLiteral("9"));
    press(Qt::Key_F5);
    EXPECT_TRUE(FTrocaSenha->Edit1->text().isEmpty());
    EXPECT_TRUE(FTrocaSenha->Edit2->text().isEmpty());
}

TEST_F(TrocaSenha, ALoginAlreadySharedStillLetsItsOwnerChangeThePassword) {
    // Two users under one login, as an edit on the registration allows: the master keeps "MASTER".
    sql(QStringLiteral("update usuarios set Login = 'MASTER' where Codigo = 3"));
    showFor(QStringLiteral("MASTER"));
    EXPECT_EQ(FTrocaSenha->CodUsu, 1);
    retype(FTrocaSenha->Edit1, QStringLiteral("5"));
    retype(FTrocaSenha->Edit2, QStringLiteral("5"));
    press(Qt::Key_F5);
    EXPECT_TRUE(messages.shown.isEmpty()) << messages.log().join(u'\n').toStdString();
    EXPECT_EQ(user(1), QStringLiteral("1|MASTER|MASTER|5|M|-"));
    EXPECT_EQ(user(3), QStringLiteral("3|CHEFE|MASTER|222222|M|-"));
}

TEST_F(TrocaSenha, ALoginWithAWildcardFindsOnlyItsOwnRecord) {
    sql(QStringLiteral(
        "insert into usuarios (Codigo, Login, Senha, Tipo, Nome) values (4, '%', '4', 'N', 'BIA')"));
    showFor(QStringLiteral("%"));
    EXPECT_EQ(FTrocaSenha->CodUsu, 4);
    EXPECT_EQ(FTrocaSenha->DBText1->text(), QStringLiteral("BIA"));
    retype(FTrocaSenha->Edit1, QStringLiteral("44"));
    retype(FTrocaSenha->Edit2, QStringLiteral("44"));
    press(Qt::Key_F5);
    EXPECT_EQ(user(1), QStringLiteral("1|MASTER|MASTER|907438|M|-"))
        << "not the first user the pattern matches";
    EXPECT_EQ(user(4), QStringLiteral("4|BIA|%|44|N|-"));
}

TEST_F(TrocaSenha, XClosesWithoutSaving) {
    showFor(QStringLiteral("ANA"));
    retype(FTrocaSenha->Edit1, QStringLiteral("9"));
    retype(FTrocaSenha->Edit2, QStringLiteral("9"));
    FTrocaSenha->SpeedButton2->click();
    EXPECT_FALSE(FTrocaSenha->isVisible());
    EXPECT_EQ(user(2), QStringLiteral("2|ANA|ANA|111111|N|-"));
}

TEST_F(TrocaSenha, AFailedWriteLeavesTheRecordAsItWas) {
    // A login the database refuses.
    sql(QStringLiteral("alter table usuarios add constraint LOGIN_PROIBIDO check (Login <> 'ANINHA')"));
    showFor(QStringLiteral("ANA"));
    retype(FTrocaSenha->Edit3, QStringLiteral("ANINHA"));
    retype(FTrocaSenha->Edit1, QStringLiteral("9"));
    retype(FTrocaSenha->Edit2, QStringLiteral("9"));
    press(Qt::Key_F5);
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.shown.front().kind, Messages::Kind::StandardError);
    EXPECT_TRUE(FTrocaSenha->isVisible());
    EXPECT_EQ(DM->TabUsuarios.state(), TableDataset::State::Browse) << "no edit left pending";
    EXPECT_EQ(DM->currentLogin(), QStringLiteral("ANA"));
    EXPECT_EQ(user(2), QStringLiteral("2|ANA|ANA|111111|N|-"));
}

} // namespace
