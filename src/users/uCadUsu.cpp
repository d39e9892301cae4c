#include "users/uCadUsu.h"

#include "data/Users.h"
#include "data/uDM.h"
#include "platform/widgets/DBGrid.h"
#include "platform/widgets/DataWidgets.h"
#include "platform/widgets/FieldExits.h"
#include "platform/widgets/InputRules.h"
#include "platform/widgets/Messages.h"
#include "platform/widgets/ScreenParts.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>

TFCadUsu* FCadUsu = nullptr;

TFCadUsu::TFCadUsu(QWidget* parent)
    : Form(QStringLiteral("Cadastro de Usuários"), {}, parent) {
    setObjectName(QStringLiteral("FCadUsu"));
    SpeedButton2 = closeButton();
    SpeedButton2->setObjectName(QStringLiteral("SpeedButton2"));

    auto* layout = new QVBoxLayout(body());
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    QHBoxLayout* tools = nullptr;
    auto* toolbar = ScreenParts::toolbar(body(), tools);
    BNovo = ScreenParts::toolButton(QStringLiteral("BNovo"), QStringLiteral("Novo [F4]"), toolbar, 34);
    BGravar = ScreenParts::toolButton(QStringLiteral("BGravar"), QStringLiteral("Gravar [F5]"), toolbar, 34);
    BExcluir =
        ScreenParts::toolButton(QStringLiteral("BExcluir"), QStringLiteral("Excluir [F7}"), toolbar, 34);
    BEditar = ScreenParts::toolButton(QStringLiteral("BEditar"), QStringLiteral("Editar [F6}"), toolbar, 34);
    for (QToolButton* b : {BNovo, BGravar, BExcluir, BEditar})
        tools->addWidget(b);
    tools->addStretch(1);
    layout->addWidget(toolbar);

    auto* fields = new QWidget(body());
    auto* grid = new QGridLayout(fields);
    grid->setContentsMargins(16, 12, 16, 8);
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(4);

    DBText1 = new DBText(fields);
    DBText1->setObjectName(QStringLiteral("DBText1"));
    DBText1->setStyleSheet(QStringLiteral("font-weight: bold; color: #12504f;"));
    DBEdit1 = new DBEdit(fields);
    DBEdit1->setObjectName(QStringLiteral("DBEdit1"));
    InputRules::upperCase(DBEdit1);
    DBEdit1->setMaxLength(60);
    DBEdit2 = new DBEdit(fields);
    DBEdit2->setObjectName(QStringLiteral("DBEdit2"));
    InputRules::upperCase(DBEdit2);
    DBEdit2->setMaxLength(Users::LoginLength);
    Edit1 = new QLineEdit(fields);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    InputRules::password(Edit1);
    Edit2 = new QLineEdit(fields);
    Edit2->setObjectName(QStringLiteral("Edit2"));
    InputRules::password(Edit2);

    auto* type = new QGroupBox(QStringLiteral("Tipo Usuário"), fields);
    auto* typeRow = new QVBoxLayout(type);
    RadioButton2 = new QRadioButton(QStringLiteral("Master (M)"), type);
    RadioButton2->setObjectName(QStringLiteral("RadioButton2"));
    RadioButton1 = new QRadioButton(QStringLiteral("Normal (N)"), type);
    RadioButton1->setObjectName(QStringLiteral("RadioButton1"));
    RadioButton1->setChecked(true);
    typeRow->addWidget(RadioButton2);
    typeRow->addWidget(RadioButton1);

    grid->addWidget(new QLabel(QStringLiteral("Código"), fields), 0, 0);
    grid->addWidget(DBText1, 1, 0);
    grid->addWidget(new QLabel(QStringLiteral("Nome do usuário:"), fields), 0, 1, 1, 2);
    grid->addWidget(DBEdit1, 1, 1, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("Login do usuário:"), fields), 2, 0);
    grid->addWidget(DBEdit2, 3, 0);
    grid->addWidget(new QLabel(QStringLiteral("Senha:"), fields), 2, 1);
    grid->addWidget(Edit1, 3, 1);
    grid->addWidget(new QLabel(QStringLiteral("Repetir Senha:"), fields), 2, 2);
    grid->addWidget(Edit2, 3, 2);
    grid->addWidget(type, 0, 3, 4, 1);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(2, 1);
    layout->addWidget(fields);

    DBGrid1 = new DBGrid(body());
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    DBGrid1->setColumns(
        {{QStringLiteral("CODIGO"), QStringLiteral("Código"), Qt::AlignCenter, 60},
         {QStringLiteral("NOME"), QStringLiteral("Nome"), Qt::AlignLeft | Qt::AlignVCenter, 260},
         {QStringLiteral("LOGIN"), QStringLiteral("Login"), Qt::AlignCenter, 100},
         {QStringLiteral("TIPO"), QStringLiteral("Tipo"), Qt::AlignCenter, 50},
         {QStringLiteral("DATA_HORA_LOGIN"), QStringLiteral("Último login"), Qt::AlignCenter, 150}});
    auto* gridBox = new QWidget(body());
    auto* gridRow = new QVBoxLayout(gridBox);
    gridRow->setContentsMargins(16, 4, 16, 12);
    gridRow->addWidget(DBGrid1);
    layout->addWidget(gridBox, 1);

    setTabOrder(DBEdit1, DBEdit2);
    setTabOrder(DBEdit2, Edit1);
    setTabOrder(Edit1, Edit2);
    setTabOrder(Edit2, RadioButton2);
    setTabOrder(RadioButton2, RadioButton1);
    setTabOrder(RadioButton1, DBGrid1);

    connect(BNovo, &QToolButton::clicked, this, [this] { guarded([this] { BNovoClick(); }); });
    connect(BGravar, &QToolButton::clicked, this, [this] { guarded([this] { BGravarClick(); }); });
    connect(BExcluir, &QToolButton::clicked, this, [this] { guarded([this] { BExcluirClick(); }); });
    connect(BEditar, &QToolButton::clicked, this, [this] { guarded([this] { BEditarClick(); }); });
    addFunctionKey(Qt::Key_F4, [this] { BNovoClick(); });
    addFunctionKey(Qt::Key_F5, [this] { BGravarClick(); });
    addFunctionKey(Qt::Key_F6, [this] { BEditarClick(); });
    addFunctionKey(Qt::Key_F7, [this] { BExcluirClick(); });
    m_exits = new FieldExits(this);
    m_exits->watch(DBEdit1, [this] { DBEdit1Exit(); });
    m_exits->watch(DBEdit2, [this] { DBEdit2Exit(); });
    setEntering(false);
    resize(720, 460);
}

void TFCadUsu::bindData() {
    DBText1->bind(&DM->DSUsuarios, QStringLiteral("CODIGO"));
    DBEdit1->bind(&DM->DSUsuarios, QStringLiteral("NOME"));
    DBEdit2->bind(&DM->DSUsuarios, QStringLiteral("LOGIN"));
    DBGrid1->bind(&DM->DSUsuarios);
    connect(&DM->TabUsuarios, &Dataset::currentChanged, this, [this] {
        if (isVisible() && !enteringOrEditing())
            guarded([this] { showCurrentType(); });
    });
}

bool TFCadUsu::enteringOrEditing() const {
    return DM->TabUsuarios.isEditing();
}

void TFCadUsu::setEntering(bool on) {
    DBEdit1->setLocked(!on);
    DBEdit2->setLocked(!on);
    Edit1->setReadOnly(!on);
    Edit2->setReadOnly(!on);
    Edit1->clear();
    Edit2->clear();
    DBGrid1->setEnabled(!on);
}

void TFCadUsu::showCurrentType() {
    // Like the grid's "Tipo": anything but "N" reads as a master.
    if (DM->TabUsuariosTIPO.asString() == QStringLiteral("N"))
        RadioButton1->setChecked(true);
    else
        RadioButton2->setChecked(true);
}

void TFCadUsu::FormShow() {
    TableDataset& users = DM->TabUsuarios;
    users.open();
    users.setFiltered(false); // the change of login and password leaves the users narrowed to one
    users.refresh();          // the moments of the logins are written past the dataset
    showCurrentType();
}

void TFCadUsu::FormClose() {
    DM->TabUsuarios.cancel();
    setEntering(false);
}

void TFCadUsu::BNovoClick() {
    // The user being typed is finished with Gravar or dropped with "X" first.
    if (enteringOrEditing())
        return;
    const int code = Users(*DM).nextCode();
    RadioButton1->setChecked(true);
    setEntering(true);
    DM->TabUsuarios.append();
    DM->TabUsuariosCODIGO.setValue(code);
    m_exits->moveFocus(DBEdit1);
}

bool TFCadUsu::refusedAsTaken(DBEdit* field) {
    const bool entering = DM->TabUsuarios.state() == TableDataset::State::Insert;
    const int code = DM->TabUsuariosCODIGO.asInteger();
    Users users(*DM);
    const bool login = field == DBEdit2;
    const QString text = field->text();
    QString warning;
    // An edited user may share a name, never a login: the login is how each user is told apart.
    if (login && users.loginTaken(text, entering ? std::nullopt : std::optional<int>(code)))
        warning = QStringLiteral("NOME DE LOGIN JÁ EXISTENTE");
    else if (!login && entering && users.nameTaken(text))
        warning = QStringLiteral("NOME DE USUÁRIO JÁ EXISTENTE");
    // Named so, a user could never be edited or deleted again.
    else if (!login && Users::nameReserved(text, code))
        warning = QStringLiteral("O NOME \"MASTER\" É RESERVADO AO USUÁRIO MASTER");
    else
        return false;
    Messages::warning(warning);
    field->setFieldText(QString());
    m_exits->moveFocus(field);
    return true;
}

void TFCadUsu::DBEdit1Exit() {
    if (!enteringOrEditing() || refusedAsTaken(DBEdit1))
        return;
    m_exits->moveFocus(DBEdit2);
}

void TFCadUsu::DBEdit2Exit() {
    if (!enteringOrEditing() || refusedAsTaken(DBEdit2))
        return;
    m_exits->moveFocus(Edit1);
}

void TFCadUsu::BGravarClick() {
    if (!enteringOrEditing())
        return;
    auto refuse = [this](const QString& warning, QWidget* field) {
        Messages::warning(warning);
        m_exits->moveFocus(field);
    };
    if (DBEdit1->text().trimmed().isEmpty())
        return refuse(QStringLiteral("POR FAVOR DIGITE NOME DO USUÁRIO"), DBEdit1);
    // F5 and the button leave no field: the name and login are checked here too.
    if (refusedAsTaken(DBEdit1))
        return;
    if (DBEdit2->text().trimmed().isEmpty())
        return refuse(QStringLiteral("POR FAVOR DIGITE O LOGIN DO USUÁRIO"), DBEdit2);
    if (refusedAsTaken(DBEdit2))
        return;
    if (Edit1->text().isEmpty())
        return refuse(QStringLiteral("POR FAVOR DIGITE A SENHA DO USUÁRIO"), Edit1);
    if (Edit2->text().isEmpty())
        return refuse(QStringLiteral("POR FAVOR REDIGITE A SENHA DO USUÁRIO"), Edit2);
    if (Edit1->text() != Edit2->text()) {
        Edit1->clear();
        Edit2->clear();
        return refuse(QStringLiteral("SENHAS DIFERENTES, POR FAVOR DIGITE NOVAMENTE"), Edit1);
    }
    Users(*DM).saveCurrent(RadioButton1->isChecked() ? QStringLiteral("N") : QStringLiteral("M"),
                           Edit1->text());
    setEntering(false);
}

void TFCadUsu::BEditarClick() {
    if (enteringOrEditing())
        return;
    if (Users(*DM).currentIsSeededMaster()) {
        Messages::warning(QStringLiteral("USUÁRIO \"MASTER' NÃO PODE SER EDITADO"));
        return;
    }
    DM->TabUsuarios.edit();
    setEntering(true);
    const QString stored = DM->TabUsuariosSENHA.asString();
    Edit1->setText(stored);
    Edit2->setText(stored);
    m_exits->moveFocus(DBEdit1);
}

void TFCadUsu::BExcluirClick() {
    if (enteringOrEditing())
        return;
    if (Users(*DM).currentIsSeededMaster()) {
        Messages::warning(QStringLiteral("USUÁRIO \"MASTER' NÃO PODE SER DELETADO"));
        return;
    }
    if (!Messages::confirm(QStringLiteral("DESEJA REALMENTE EXCLUIR ESTE USUÁRIO?")))
        return;
    DM->TabUsuarios.remove();
}
