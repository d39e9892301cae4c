#include "customers/uCadCli.h"

#include "customers/CustomerListReport.h"
#include "data/Customers.h"
#include "data/Documents.h"
#include "data/Ledger.h"
#include "data/uDM.h"
#include "platform/core/Clock.h"
#include "platform/core/FilterExpression.h"
#include "platform/widgets/DBGrid.h"
#include "platform/widgets/DataWidgets.h"
#include "platform/widgets/FieldExits.h"
#include "platform/widgets/InputRules.h"
#include "platform/widgets/Messages.h"
#include "platform/widgets/RadioGroup.h"
#include "platform/widgets/ScreenParts.h"
#include "reports/Printing.h"
#include "reports/ReportLayout.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QStackedWidget>
#include <QToolButton>
#include <QVBoxLayout>

TFCadCli* FCadCli = nullptr;

bool IsValidCPF(const QString& pCPF) {
    return Documents::validCpf(pCPF);
}

QString ClrDig(const QString& fField) {
    return Documents::digits(fField);
}

TFCadCli::TFCadCli(QWidget* parent)
    : Form(QStringLiteral("Cadastro de Clientes"), {}, parent)
    , RelCliente(CustomerListReport::relCliente()) {
    setObjectName(QStringLiteral("FCadCli"));
    SpeedButton2 = closeButton();
    SpeedButton2->setObjectName(QStringLiteral("SpeedButton2"));

    auto* layout = new QVBoxLayout(body());
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    QHBoxLayout* tools = nullptr;
    auto* toolbar = ScreenParts::toolbar(body(), tools);
    BNovo = ScreenParts::toolButton(QStringLiteral("BNovo"), QStringLiteral("Novo [F4]"), toolbar, 34);
    BGravar = ScreenParts::toolButton(QStringLiteral("BGravar"), QStringLiteral("Gravar [F5]"), toolbar, 34);
    BEditar = ScreenParts::toolButton(QStringLiteral("BEditar"), QStringLiteral("Editar [F6]"), toolbar, 34);
    BExcluir =
        ScreenParts::toolButton(QStringLiteral("BExcluir"), QStringLiteral("Excluir [F7]"), toolbar, 34);
    BPesquisar =
        ScreenParts::toolButton(QStringLiteral("BPesquisar"), QStringLiteral("Pesquisar [F2]"), toolbar, 34);
    BVoltar = ScreenParts::toolButton(QStringLiteral("BVoltar"), QStringLiteral("Voltar [F9)"), toolbar, 34);
    for (QToolButton* b : {BNovo, BGravar, BEditar, BExcluir, BPesquisar, BVoltar})
        tools->addWidget(b);
    tools->addStretch(1);

    GroupBox1 = new QGroupBox(QStringLiteral("Imprimir"), toolbar);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    auto* print = new QHBoxLayout(GroupBox1);
    print->setContentsMargins(6, 2, 6, 2);
    RadioGroup1 = new RadioGroup(QString(), {QStringLiteral("Todos"), QStringLiteral("Nome")}, GroupBox1,
                                 Qt::Horizontal);
    RadioGroup1->setObjectName(QStringLiteral("RadioGroup1"));
    RadioGroup1->setFlat(true);
    RadioGroup1->setStyleSheet(QStringLiteral("QGroupBox { border: none; margin: 0; padding: 0; }"));
    BImprimir = ScreenParts::toolButton(QStringLiteral("BImprimir"), QStringLiteral("[F10]"), GroupBox1, 34);
    BImprimir->setToolTip(QStringLiteral("Impressões"));
    print->addWidget(RadioGroup1);
    print->addWidget(BImprimir);
    tools->addWidget(GroupBox1);
    layout->addWidget(toolbar);

    PageControl1 = new QStackedWidget(body());
    TabSheet1 = new QWidget(PageControl1);
    TabSheet1->setObjectName(QStringLiteral("TabSheet1"));
    TabSheet1->setWindowTitle(QStringLiteral("Cliente"));
    TabSheet2 = new QWidget(PageControl1);
    TabSheet2->setObjectName(QStringLiteral("TabSheet2"));
    TabSheet2->setWindowTitle(QStringLiteral("Pesquisar"));
    PageControl1->addWidget(TabSheet1);
    PageControl1->addWidget(TabSheet2);
    layout->addWidget(PageControl1, 1);

    // The data page: one field per column, in tab order.
    auto* grid = new QGridLayout(TabSheet1);
    grid->setContentsMargins(16, 14, 16, 14);
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(6);
    auto edit = [this](const QString& name) {
        auto* e = new DBEdit(TabSheet1);
        e->setObjectName(name);
        return e;
    };
    auto label = [this](const QString& text) {
        return new QLabel(text, TabSheet1);
    };
    DBEdit1 = edit(QStringLiteral("DBEdit1"));
    DBEdit1->setLocked(true); // the key: the ledger and purchase lines point at it
    DBEdit1->setFocusPolicy(Qt::NoFocus);
    DBEdit1->setMaximumWidth(90);
    DBEdit2 = edit(QStringLiteral("DBEdit2"));
    InputRules::upperCase(DBEdit2);
    DBEdit3 = edit(QStringLiteral("DBEdit3"));
    DBEdit3->setPlaceholderText(QStringLiteral("Somente números, s/ '.' ou '-'"));
    DBEdit4 = edit(QStringLiteral("DBEdit4"));
    DBEdit5 = edit(QStringLiteral("DBEdit5"));
    InputRules::editMask(DBEdit5, QStringLiteral("!\\(99\\)99999-9999;1;_"));
    DBEdit6 = edit(QStringLiteral("DBEdit6"));
    InputRules::upperCase(DBEdit6, QStringLiteral("ENDEREÇO"));
    DBEdit7 = edit(QStringLiteral("DBEdit7"));
    DBEdit8 = edit(QStringLiteral("DBEdit8"));
    InputRules::upperCase(DBEdit8);
    DBEdit9 = edit(QStringLiteral("DBEdit9"));
    InputRules::upperCase(DBEdit9);
    DBComboBox1 = new DBComboBox(TabSheet1);
    DBComboBox1->setObjectName(QStringLiteral("DBComboBox1"));
    DBComboBox1->addItems(
        {QStringLiteral("AC"), QStringLiteral("AL"), QStringLiteral("AP"), QStringLiteral("AM"),
         QStringLiteral("BA"), QStringLiteral("CE"), QStringLiteral("DF"), QStringLiteral("ES"),
         QStringLiteral("GO"), QStringLiteral("MA"), QStringLiteral("MT"), QStringLiteral("MS"),
         QStringLiteral("MG"), QStringLiteral("PA"), QStringLiteral("PB"), QStringLiteral("PR"),
         QStringLiteral("PE"), QStringLiteral("PI"), QStringLiteral("RJ"), QStringLiteral("RN"),
         QStringLiteral("RS"), QStringLiteral("RO"), QStringLiteral("RR"), QStringLiteral("SC"),
         QStringLiteral("SP"), QStringLiteral("SE"), QStringLiteral("TO")});
    InputRules::upperCase(DBComboBox1->lineEdit());
    InputRules::typedAsIs(DBComboBox1);
    DBEdit10 = edit(QStringLiteral("DBEdit10"));
    DBEdit10->setMaxLength(9);
    InputRules::editMask(DBEdit10, QStringLiteral("00000\\-999;1;_"));
    DBMemo1 = new DBMemo(TabSheet1);
    DBMemo1->setObjectName(QStringLiteral("DBMemo1"));
    DBMemo1->setUpperCase(true);
    DBMemo1->setTabChangesFocus(true);
    DBMemo1->setMinimumHeight(70);

    grid->addWidget(label(QStringLiteral("Código:")), 0, 0);
    grid->addWidget(DBEdit1, 0, 1);
    grid->addWidget(label(QStringLiteral("Nome: ")), 1, 0);
    grid->addWidget(DBEdit2, 1, 1, 1, 3);
    grid->addWidget(label(QStringLiteral("CPF: ")), 2, 0);
    grid->addWidget(DBEdit3, 2, 1);
    grid->addWidget(label(QStringLiteral("RG:")), 2, 2);
    grid->addWidget(DBEdit4, 2, 3);
    grid->addWidget(label(QStringLiteral("Telefone:")), 3, 0);
    grid->addWidget(DBEdit5, 3, 1);
    grid->addWidget(label(QStringLiteral("Endereço:")), 4, 0);
    grid->addWidget(DBEdit6, 4, 1);
    grid->addWidget(label(QStringLiteral("Número:")), 4, 2);
    grid->addWidget(DBEdit7, 4, 3);
    grid->addWidget(label(QStringLiteral("Bairro:")), 5, 0);
    grid->addWidget(DBEdit8, 5, 1);
    grid->addWidget(label(QStringLiteral("Cidade:")), 5, 2);
    grid->addWidget(DBEdit9, 5, 3);
    grid->addWidget(label(QStringLiteral("Estado:")), 6, 0);
    grid->addWidget(DBComboBox1, 6, 1);
    grid->addWidget(label(QStringLiteral("CEP:")), 6, 2);
    grid->addWidget(DBEdit10, 6, 3);
    grid->addWidget(label(QStringLiteral("Obs:")), 7, 0, Qt::AlignTop);
    grid->addWidget(DBMemo1, 7, 1, 1, 3);
    grid->setColumnStretch(1, 3);
    grid->setColumnStretch(3, 2);
    grid->setRowStretch(7, 1);
    setTabOrder(DBEdit2, DBEdit3);
    setTabOrder(DBEdit3, DBEdit4);
    setTabOrder(DBEdit4, DBEdit5);
    setTabOrder(DBEdit5, DBEdit6);
    setTabOrder(DBEdit6, DBEdit7);
    setTabOrder(DBEdit7, DBEdit8);
    setTabOrder(DBEdit8, DBEdit9);
    setTabOrder(DBEdit9, DBComboBox1);
    setTabOrder(DBComboBox1, DBEdit10);
    setTabOrder(DBEdit10, DBMemo1);

    // The search page.
    auto* search = new QVBoxLayout(TabSheet2);
    search->setContentsMargins(16, 12, 16, 12);
    auto* nameRow = new QHBoxLayout;
    nameRow->addWidget(new QLabel(QStringLiteral("Nome:"), TabSheet2));
    Edit1 = new QLineEdit(TabSheet2);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    InputRules::upperCase(Edit1);
    nameRow->addWidget(Edit1, 1);
    search->addLayout(nameRow);
    DBGrid1 = new DBGrid(TabSheet2);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setColumns(
        {{QStringLiteral("CODIGO"), QStringLiteral("Código"), Qt::AlignCenter, 60},
         {QStringLiteral("NOME"), QStringLiteral("Nome"), Qt::AlignLeft | Qt::AlignVCenter, 260},
         {QStringLiteral("ENDERECO"), QStringLiteral("Endereço"), Qt::AlignLeft | Qt::AlignVCenter, 220},
         {QStringLiteral("NUMERO"), QStringLiteral("Número"), Qt::AlignLeft | Qt::AlignVCenter, 70},
         {QStringLiteral("TELEFONE"), QStringLiteral("Telefone"), Qt::AlignLeft | Qt::AlignVCenter, 120}});
    search->addWidget(DBGrid1, 1);
    auto* countRow = new QHBoxLayout;
    Label15 = new QLabel(QStringLiteral("Total de Clientes:"), TabSheet2);
    Label14 = new QLabel(TabSheet2);
    Label14->setObjectName(QStringLiteral("Label14"));
    countRow->addWidget(Label15);
    countRow->addWidget(Label14);
    countRow->addStretch(1);
    search->addLayout(countRow);
    Edit2 = new QLineEdit(TabSheet2);
    Edit2->setObjectName(QStringLiteral("Edit2"));
    Edit2->hide();

    connect(BNovo, &QToolButton::clicked, this, [this] { guarded([this] { BNovoClick(); }); });
    connect(BGravar, &QToolButton::clicked, this, [this] { guarded([this] { BGravarClick(); }); });
    connect(BEditar, &QToolButton::clicked, this, [this] { guarded([this] { BEditarClick(); }); });
    connect(BExcluir, &QToolButton::clicked, this, [this] { guarded([this] { BExcluirClick(); }); });
    connect(BPesquisar, &QToolButton::clicked, this, [this] { guarded([this] { BPesquisarClick(); }); });
    connect(BVoltar, &QToolButton::clicked, this, [this] { guarded([this] { BVoltarClick(); }); });
    connect(BImprimir, &QToolButton::clicked, this, [this] { guarded([this] { BImprimirClick(); }); });
    connect(Edit1, &QLineEdit::textChanged, this, [this] { guarded([this] { Edit1Change(); }); });
    addFunctionKey(Qt::Key_F2, [this] { BPesquisarClick(); });
    addFunctionKey(Qt::Key_F4, [this] { BNovoClick(); });
    addFunctionKey(Qt::Key_F5, [this] { BGravarClick(); });
    addFunctionKey(Qt::Key_F6, [this] { BEditarClick(); });
    addFunctionKey(Qt::Key_F7, [this] { BExcluirClick(); });
    addFunctionKey(Qt::Key_F9, [this] { BVoltarClick(); });
    addFunctionKey(Qt::Key_F10, [this] { BImprimirClick(); });
    m_exits = new FieldExits(this);
    m_exits->watch(DBEdit2, [this] { DBEdit2Exit(); });
    m_exits->watch(DBEdit3, [this] { DBEdit3Exit(); });
    DBEdit2->installEventFilter(this);
    resize(760, 470);
}

void TFCadCli::bindData() {
    for (auto [e, column] :
         {std::pair{DBEdit1, "CODIGO"}, std::pair{DBEdit2, "NOME"}, std::pair{DBEdit3, "CPF"},
          std::pair{DBEdit4, "RG"}, std::pair{DBEdit5, "TELEFONE"}, std::pair{DBEdit6, "ENDERECO"},
          std::pair{DBEdit7, "NUMERO"}, std::pair{DBEdit8, "BAIRRO"}, std::pair{DBEdit9, "CIDADE"},
          std::pair{DBEdit10, "CEP"}})
        e->bind(&DM->DSCadCli, QString::fromLatin1(column));
    DBComboBox1->bind(&DM->DSCadCli, QStringLiteral("ESTADO"));
    DBMemo1->bind(&DM->DSCadCli, QStringLiteral("OBS"));
    DBGrid1->bind(&DM->DSCadCli);
}

bool TFCadCli::searching() const {
    return PageControl1->currentWidget() == TabSheet2;
}

bool TFCadCli::insertingOrEditing() const {
    const TableDataset::State s = DM->TabCadCli.state();
    return s == TableDataset::State::Insert || s == TableDataset::State::Edit;
}

void TFCadCli::showCount() {
    Label14->setText(QStringLiteral("(%1)").arg(DM->TabCadCli.recordCount()));
}

void TFCadCli::FormShow() {
    DM->TabCadCli.close();
    GroupBox1->hide();
    RadioGroup1->setItemIndex(0);
    PageControl1->setCurrentWidget(TabSheet1);
    BVoltar->hide();
    BExcluir->hide();
    BEditar->hide();
    BNovo->show();
    BGravar->show();
    BPesquisar->show();
}

void TFCadCli::FormClose() {
    DM->TabCadCli.close(); // an unsaved new or edited customer is dropped
    DM->TabCadCli.setFiltered(false);
}

void TFCadCli::BNovoClick() {
    // The fields of a new customer are on the data page: not from the search list.
    if (searching())
        return;
    // A customer still being typed is saved first, as Gravar saves it: otherwise the new row would take its
    // code, and its save would fail. If the save is refused, its error shows and nothing else happens.
    if (insertingOrEditing() && !saveCurrent())
        return;
    BPesquisar->hide();
    const int code = Customers(*DM).nextCode();
    DM->TabCadCli.append();
    DM->TabCadCliCODIGO.setValue(code);
    // The caret goes to the name whichever field it leaves: leaving an empty CPF here is no reason to go to
    // the RG.
    m_exits->moveFocus(DBEdit2);
    BNovo->hide();
}

bool TFCadCli::saveCurrent() {
    // The database refuses a customer without a name with an engine message: say it in the screen's words.
    DBEdit2->flush();
    if (DM->TabCadCliNOME.asString().isEmpty()) {
        Messages::warning(QStringLiteral("FAVOR DIGITE O NOME"));
        m_exits->moveFocus(DBEdit2);
        return false;
    }
    // A customer started by typing into an empty list, not through Novo, has no code yet.
    if (DM->TabCadCli.state() == TableDataset::State::Insert && DM->TabCadCliCODIGO.isNull())
        DM->TabCadCliCODIGO.setValue(Customers(*DM).nextCode());
    DM->TabCadCliDATA.setValue(Clock::now());
    Customers(*DM).saveCurrent();
    return true;
}

void TFCadCli::BGravarClick() {
    if (!insertingOrEditing()) {
        Messages::warning(QStringLiteral("NENHUM DADO PARA GRAVAR"));
        return;
    }
    if (!saveCurrent())
        return;
    BPesquisar->show();
    DM->TabCadCli.close();
    BNovo->show();
}

void TFCadCli::BEditarClick() {
    if (!DM->TabCadCli.isOpen() || DM->TabCadCli.isEmpty()) {
        Messages::warning(QStringLiteral("BANCO DE DADOS VAZIO"));
        return;
    }
    PageControl1->setCurrentWidget(TabSheet1);
    for (QWidget* w :
         std::initializer_list<QWidget*>{BVoltar, BNovo, BExcluir, BEditar, BPesquisar, GroupBox1})
        w->hide();
    BGravar->show();
    DM->TabCadCli.edit();
}

void TFCadCli::BExcluirClick() {
    if (!DM->TabCadCli.isOpen() || DM->TabCadCli.isEmpty()) {
        Messages::warning(QStringLiteral("BANCO DE DADOS VAZIO"));
        return;
    }
    if (!Messages::confirm(QStringLiteral("Deseja Realmente Excluir Este Cliente?")))
        return;
    Customers(*DM).deleteCurrent();
}

void TFCadCli::BPesquisarClick() {
    // Unsaved changes stay on the data page until they are saved or dropped.
    if (insertingOrEditing())
        return;
    PageControl1->setCurrentWidget(TabSheet2);
    RadioGroup1->setItemIndex(0);
    BNovo->hide();
    BGravar->hide();
    BPesquisar->hide();
    BExcluir->show();
    BEditar->show();
    BVoltar->show();
    TableDataset& t = DM->TabCadCli;
    t.open();
    t.refilter(QStringLiteral("NOME <>") + FilterExpression::quoted(LedgerWords::WalkInCustomer));
    GroupBox1->show();
    showCount();
}

void TFCadCli::Edit1Change() {
    // Filtering moves off the row: it would post a customer still being typed without its checks.
    if (insertingOrEditing())
        return;
    TableDataset& t = DM->TabCadCli;
    t.refilter(QStringLiteral("NOME LIKE") + FilterExpression::quoted(Edit1->text() + u'%'));
    showCount();
}

void TFCadCli::BVoltarClick() {
    // F9 works with the button hidden: a customer still being typed stays until saved or dropped.
    if (insertingOrEditing())
        return;
    PageControl1->setCurrentWidget(TabSheet1);
    BNovo->show();
    BGravar->show();
    BPesquisar->show();
    BExcluir->hide();
    BEditar->hide();
    BVoltar->hide();
    DM->TabCadCli.setFiltered(false);
    GroupBox1->hide();
    DM->TabCadCli.close();
}

void TFCadCli::BImprimirClick() {
    TableDataset& t = DM->TabCadCli;
    // Printing runs through the rows, which would post a customer still being typed.
    if (insertingOrEditing()) {
        Messages::warning(QStringLiteral("SALVE OU CANCELE O CADASTRO ANTES DE IMPRIMIR"));
        return;
    }
    if (!t.isOpen() || t.isEmpty()) {
        Messages::warning(QStringLiteral("BANCO DE DADOS VAZIO"));
        return;
    }
    const auto printList = [this, &t] {
        Report::CursorSource rows(QStringLiteral("DBCliente"), t);
        Printing::show(Report::prepare(RelCliente, rows), this);
    };
    if (RadioGroup1->itemIndex() != 1) {
        printList();
        return;
    }
    Edit2->setText(QString::number(t.value(QStringLiteral("CODIGO")).toInt()));
    t.refilter(QStringLiteral("Codigo LIKE") + FilterExpression::quoted(Edit2->text()));
    // The list goes back to every customer once the preview has closed, or when printing failed.
    try {
        printList();
    } catch (...) {
        t.setFiltered(false);
        throw;
    }
    t.setFiltered(false);
}

void TFCadCli::DBEdit2Exit() {
    if (!DM->TabCadCli.isOpen() || !DBEdit2->text().isEmpty())
        return;
    if (Messages::confirm(QStringLiteral("FAVOR DIGITE O NOME OU QUER CANCELAR(SIM)"),
                          QStringLiteral("AVISO !"))) {
        DM->TabCadCli.cancel();
        m_exits->moveFocus(DBEdit2);
        BPesquisar->show();
    } else {
        m_exits->moveFocus(DBEdit2);
        BPesquisar->hide();
    }
}

void TFCadCli::DBEdit2Enter() {
    if (!DBEdit2->text().isEmpty())
        return;
    Messages::warning(QStringLiteral("FAVOR DIGITE O NOME"));
    DBEdit2->setFocus();
    BPesquisar->show();
}

void TFCadCli::DBEdit3Exit() {
    const QString typed = DBEdit3->text();
    if (typed.isEmpty()) {
        m_exits->moveFocus(DBEdit4);
        return;
    }
    if (Customers(*DM).cpfTaken(typed)) {
        Messages::warning(QStringLiteral("CPF já Existe"));
        m_exits->moveFocus(DBEdit3);
        return;
    }
    const QString RawCPF = ClrDig(typed);
    if (!IsValidCPF(RawCPF)) {
        Messages::plain(QStringLiteral("O CPF não é válido."));
        m_exits->moveFocus(DBEdit3);
        DBEdit3->setFieldText(QString());
    }
    const QString text = DBEdit3->text();
    if (text.size() == 11) {
        const QString FormattedCPF =
            QStringLiteral("%1.%2.%3-%4").arg(text.mid(0, 3), text.mid(3, 3), text.mid(6, 3), text.mid(9, 2));
        DBEdit3->setFieldText(FormattedCPF);
    }
}

bool TFCadCli::eventFilter(QObject* watched, QEvent* event) {
    if (watched == DBEdit2 && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter)
            guarded([this] { DBEdit2Enter(); });
    }
    return Form::eventFilter(watched, event);
}
