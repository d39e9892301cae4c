#include "users/uLogin.h"

#include "data/Users.h"
#include "data/uDM.h"
#include "platform/core/Clock.h"
#include "platform/core/FirebirdDatabase.h"
#include "platform/core/Query.h"
#include "platform/widgets/Branding.h"
#include "platform/widgets/InputRules.h"
#include "platform/widgets/Messages.h"

#include <QApplication>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

TFLogin* FLogin = nullptr;

bool VerificaExisteTabela(Connection& Conexao, const QString& Tabela) {
    try {
        Query q(Conexao);
        q.setSql(QStringLiteral("SELECT  RDB$RELATION_NAME FROM RDB$RELATIONS  WHERE RDB$RELATION_NAME = ") +
                 FirebirdDatabase::quotedLiteral(Tabela));
        q.open();
        return !q.isEmpty();
    } catch (...) {
        return false;
    }
}

TFLogin::TFLogin(QWidget* parent)
    : Form(QStringLiteral("Login"), {}, parent) {
    setObjectName(QStringLiteral("FLogin"));
    SpeedButton1 = closeButton();
    SpeedButton1->setObjectName(QStringLiteral("SpeedButton1"));
    // The "X" here ends the program at once; nothing is written.
    disconnect(SpeedButton1, nullptr, this, nullptr);
    connect(SpeedButton1, &QToolButton::clicked, this, [this] { SpeedButton1Click(); });

    auto* columns = new QHBoxLayout(body());
    columns->setContentsMargins(0, 0, 0, 0);
    columns->setSpacing(0);

    auto* left = new QWidget(body());
    left->setObjectName(QStringLiteral("LoginBrand"));
    left->setStyleSheet(
        QStringLiteral("#LoginBrand { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, "
                       "stop:0 #12504f, stop:1 #0b3433); } #LoginBrand QLabel { color: white; }"));
    auto* brand = new QVBoxLayout(left);
    brand->setContentsMargins(28, 24, 28, 20);
    auto* welcome = new QLabel(QStringLiteral("BEM VINDO AO SISTEMA"), left);
    welcome->setAlignment(Qt::AlignCenter);
    welcome->setStyleSheet(QStringLiteral("font-weight: bold; letter-spacing: 1px;"));
    auto* picture = new QLabel(left);
    picture->setPixmap(QPixmap(QStringLiteral(":/img/logo.png"))
                           .scaled(120, 120, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    picture->setAlignment(Qt::AlignCenter);
    auto* name = new QLabel(QStringLiteral("Brolavi"), left);
    name->setAlignment(Qt::AlignCenter);
    name->setStyleSheet(QStringLiteral("font-size: 22pt; font-weight: bold;"));
    auto* version = new QLabel(QStringLiteral("Ver. 2.0"), left);
    version->setAlignment(Qt::AlignCenter);
    auto* author = new QLabel(Branding::AuthorLine, left);
    author->setAlignment(Qt::AlignCenter);
    author->setStyleSheet(QStringLiteral("font-size: 8pt; color: #cfe3e2;"));
    brand->addWidget(welcome);
    brand->addStretch(1);
    brand->addWidget(picture);
    brand->addWidget(name);
    brand->addWidget(version);
    brand->addStretch(1);
    brand->addWidget(author);
    columns->addWidget(left, 1);

    auto* right = new QWidget(body());
    right->setStyleSheet(QStringLiteral("background: white;"));
    auto* form = new QVBoxLayout(right);
    form->setContentsMargins(28, 28, 28, 24);
    form->setSpacing(6);
    auto* instruction = new QLabel(QStringLiteral("DIGITE O NOME DE LOGIN E SENHA"), right);
    instruction->setStyleSheet(QStringLiteral("font-weight: bold; color: #12504f;"));
    form->addWidget(instruction);
    form->addSpacing(12);
    form->addWidget(new QLabel(QStringLiteral("Login do usuário:"), right));
    Edit1 = new QLineEdit(right);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    InputRules::upperCase(Edit1);
    Edit1->setMaxLength(Users::LoginLength);
    form->addWidget(Edit1);
    form->addSpacing(6);
    form->addWidget(new QLabel(QStringLiteral("Senha:"), right));
    Edit2 = new QLineEdit(right);
    Edit2->setObjectName(QStringLiteral("Edit2"));
    InputRules::password(Edit2);
    keepEnter(Edit2);
    form->addWidget(Edit2);
    form->addSpacing(16);
    SpeedButton2 = new QPushButton(QStringLiteral("Confirmar"), right);
    SpeedButton2->setObjectName(QStringLiteral("SpeedButton2"));
    SpeedButton2->setAutoDefault(false);
    SpeedButton2->setMinimumHeight(32);
    SpeedButton2->setStyleSheet(
        QStringLiteral("QPushButton { background: #12504f; color: white; font-weight: bold; "
                       "border: none; border-radius: 3px; padding: 4px 18px; }"
                       "QPushButton:hover { background: #1a6a69; }"));
    connect(SpeedButton2, &QPushButton::clicked, this, [this] { guarded([this] { SpeedButton2Click(); }); });
    form->addWidget(SpeedButton2);
    form->addStretch(1);
    columns->addWidget(right, 1);
    setFixedSize(560, 330);
}

TFLogin::~TFLogin() = default;

void TFLogin::bindData() {
    QUsuarios = new Query(DM->FDConnection1, this);
}

QString TFLogin::currentLogin() const {
    return DM->currentLogin();
}

void TFLogin::FormShow() {
    Edit1->setFocus();
    if (!VerificaExisteTabela(DM->FDConnection1, QStringLiteral("USUARIOS"))) {
        QUsuarios->setSql(QStringLiteral("create table usuarios (Codigo Integer primary key, Data Date, Tipo "
                                         "VarChar(1), Login VarChar(10), "
                                         "DATA_HORA_LOGIN VarChar(20),Nome VarChar(60), Senha varchar(6))"));
        QUsuarios->execSql();
    }
    TableDataset& users = DM->TabUsuarios;
    users.open();
    if (users.isEmpty()) {
        users.append();
        DM->TabUsuariosCODIGO.setValue(1);
        DM->TabUsuariosDATA.setValue(Clock::today());
        DM->TabUsuariosNOME.setValue(QStringLiteral("MASTER"));
        DM->TabUsuariosLOGIN.setValue(QStringLiteral("MASTER"));
        DM->TabUsuariosSENHA.setValue(QStringLiteral("907438"));
        DM->TabUsuariosTIPO.setValue(QStringLiteral("M"));
        users.post();
    }
}

void TFLogin::SpeedButton1Click() {
    QApplication::exit(0);
}

void TFLogin::SpeedButton2Click() {
    const std::optional<QDateTime> moment = Users(*DM).logIn(Edit1->text(), Edit2->text());
    if (!moment) {
        Messages::warning(QStringLiteral("USUÁRIO OU SENHA INVÁLIDO"));
        Edit1->clear();
        Edit2->clear();
        Edit1->setFocus();
        return;
    }
    DataLogin = *moment;
    if (onLoggedIn)
        onLoggedIn();
}
