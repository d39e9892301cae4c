#include "users/uTrocaSenha.h"

#include "data/Users.h"
#include "data/uDM.h"
#include "platform/widgets/DataWidgets.h"
#include "platform/widgets/InputRules.h"
#include "platform/widgets/Messages.h"
#include "platform/widgets/ScreenParts.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

TFTrocaSenha* FTrocaSenha = nullptr;

TFTrocaSenha::TFTrocaSenha(QWidget* parent)
    : Form(QStringLiteral("Trocar Senha"), {.enterMovesFocus = false}, parent) {
    setObjectName(QStringLiteral("FTrocaSenha"));
    SpeedButton2 = closeButton();
    SpeedButton2->setObjectName(QStringLiteral("SpeedButton2"));

    auto* layout = new QVBoxLayout(body());
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    QHBoxLayout* tools = nullptr;
    auto* toolbar = ScreenParts::toolbar(body(), tools);
    BGravar = ScreenParts::toolButton(QStringLiteral("BGravar"), QStringLiteral("Gravar [F5]"), toolbar, 34);
    tools->addWidget(BGravar);
    tools->addStretch(1);
    layout->addWidget(toolbar);

    auto* fields = new QWidget(body());
    auto* grid = new QGridLayout(fields);
    grid->setContentsMargins(20, 14, 20, 18);
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(8);
    DBText1 = new DBText(fields);
    DBText1->setObjectName(QStringLiteral("DBText1"));
    DBText1->setStyleSheet(QStringLiteral("font-weight: bold; color: #12504f;"));
    Edit3 = new QLineEdit(fields);
    Edit3->setObjectName(QStringLiteral("Edit3"));
    InputRules::upperCase(Edit3);
    Edit3->setMaxLength(Users::LoginLength);
    Edit1 = new QLineEdit(fields);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    InputRules::password(Edit1);
    Edit2 = new QLineEdit(fields);
    Edit2->setObjectName(QStringLiteral("Edit2"));
    InputRules::password(Edit2);
    Label3 = new QLabel(fields);
    Label3->setObjectName(QStringLiteral("Label3"));
    Label3->hide();
    grid->addWidget(new QLabel(QStringLiteral("Nome:"), fields), 0, 0);
    grid->addWidget(DBText1, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Login do usuário:"), fields), 1, 0);
    grid->addWidget(Edit3, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("Nova Senha:"), fields), 2, 0);
    grid->addWidget(Edit1, 2, 1);
    grid->addWidget(new QLabel(QStringLiteral("Repetir Senha:"), fields), 3, 0);
    grid->addWidget(Edit2, 3, 1);
    grid->setColumnStretch(1, 1);
    layout->addWidget(fields, 1);
    setTabOrder(Edit3, Edit1);
    setTabOrder(Edit1, Edit2);

    connect(BGravar, &QToolButton::clicked, this, [this] { guarded([this] { BGravarClick(); }); });
    addFunctionKey(Qt::Key_F5, [this] { BGravarClick(); });
    resize(420, 230);
}

void TFTrocaSenha::bindData() {
    DBText1->bind(&DM->DSUsuarios, QStringLiteral("NOME"));
}

void TFTrocaSenha::FormShow() {
    NomeLogin = DM->currentLogin();
    m_found = Users(*DM).showCurrentOnly();
    CodUsu = m_found ? DM->TabUsuariosCODIGO.asInteger() : 0;
    m_storedLogin = m_found ? DM->TabUsuariosLOGIN.asString() : QString();
    const QString password = m_found ? DM->TabUsuariosSENHA.asString() : QString();
    Edit1->setText(password);
    Edit2->setText(password);
    Edit3->setText(m_storedLogin);
    Edit3->setReadOnly(CodUsu == Users::MasterCode);
    Label3->setText(m_found ? QString::number(CodUsu) : QString());
    QLineEdit* first = Edit3->isReadOnly() ? Edit1 : Edit3;
    first->setFocus();
    first->selectAll();
}

void TFTrocaSenha::BGravarClick() {
    // Nobody under the current login (renamed or deleted during the run): there is no record to write to.
    if (!m_found) {
        Messages::warning(QStringLiteral("USUÁRIO DO LOGIN ATUAL NÃO ENCONTRADO"));
        return;
    }
    auto refuse = [](const QString& warning, QLineEdit* field) {
        Messages::warning(warning);
        field->setFocus();
    };
    Users users(*DM);
    const QString login = Edit3->text();
    if (login.trimmed().isEmpty())
        return refuse(QStringLiteral("POR FAVOR DIGITE O LOGIN DO USUÁRIO"), Edit3);
    // Only a changed login is checked: one the user already had stays theirs.
    if (login != m_storedLogin && users.loginTaken(login, CodUsu))
        return refuse(QStringLiteral("NOME DE LOGIN JÁ EXISTENTE"), Edit3);
    if (Edit1->text().isEmpty())
        return refuse(QStringLiteral("POR FAVOR DIGITE A NOVA SENHA DO USUÁRIO"), Edit1);
    if (Edit2->text().isEmpty())
        return refuse(QStringLiteral("POR FAVOR REDIGITE A NOVA SENHA DO USUÁRIO"), Edit2);
    if (Edit1->text() != Edit2->text()) {
        Edit1->clear();
        Edit2->clear();
        return refuse(QStringLiteral("SENHAS DIFERENTES, POR FAVOR DIGITE NOVAMENTE"), Edit1);
    }
    users.changeCredentials(Label3->text().toInt(), login, Edit1->text());
    close();
}
