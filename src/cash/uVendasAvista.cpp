#include "cash/uVendasAvista.h"

#include "credit/uPagamentos.h"
#include "customers/uPesquisaCli.h"
#include "data/Ledger.h"
#include "data/uDM.h"
#include "platform/core/Currency.h"
#include "platform/core/Formats.h"
#include "platform/widgets/DBGrid.h"
#include "platform/widgets/DataWidgets.h"
#include "platform/widgets/InputRules.h"
#include "platform/widgets/Messages.h"
#include "platform/widgets/ModalHost.h"
#include "platform/widgets/ScreenParts.h"

#include <QGridLayout>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

TFVendasAvista* FVendasAvista = nullptr;

TFVendasAvista::TFVendasAvista(QWidget* parent)
    : Form(QStringLiteral("Vendas à Vista"), {}, parent) {
    setObjectName(QStringLiteral("FVendasAvista"));
    SpeedButton2 = closeButton();
    SpeedButton2->setObjectName(QStringLiteral("SpeedButton2"));

    auto* layout = new QVBoxLayout(body());
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    QHBoxLayout* tools = nullptr;
    auto* toolbar = ScreenParts::toolbar(body(), tools);
    BPesquisar = ScreenParts::toolButton(QStringLiteral("BPesquisar"), QString(), toolbar);
    BPesquisar->setToolTip(QStringLiteral("Pesquisar Clientes"));
    BNovo = ScreenParts::toolButton(QStringLiteral("BNovo"), QStringLiteral("Novo [F4]"), toolbar);
    BPagamento = ScreenParts::toolButton(QStringLiteral("BPagamento"), QStringLiteral("Finalizar Venda [F5]"),
                                         toolbar);
    BEditar = ScreenParts::toolButton(QStringLiteral("BEditar"), QStringLiteral("Editar [F6]"), toolbar);
    BExcluir = ScreenParts::toolButton(QStringLiteral("BExcluir"), QStringLiteral("Excluir [F7]"), toolbar);
    for (QToolButton* b : {BPesquisar, BNovo, BPagamento, BEditar, BExcluir})
        tools->addWidget(b);
    tools->addStretch(1);
    layout->addWidget(toolbar);

    auto* content = new QVBoxLayout;
    content->setContentsMargins(14, 10, 14, 10);
    DBText1 = new DBText(body());
    DBText1->setObjectName(QStringLiteral("DBText1"));
    DBText1->setStyleSheet(QStringLiteral("font-size: 14pt; font-weight: bold; color: #12504f;"));
    content->addWidget(DBText1);

    auto* item = new QGridLayout;
    Edit1 = new QLineEdit(body());
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setMaxLength(150);
    InputRules::upperCase(Edit1);
    Edit3 = new QLineEdit(body());
    Edit3->setObjectName(QStringLiteral("Edit3"));
    Edit3->setAlignment(Qt::AlignRight);
    Edit3->setMaximumWidth(80);
    Edit2 = new QLineEdit(body());
    Edit2->setObjectName(QStringLiteral("Edit2"));
    Edit2->setAlignment(Qt::AlignRight);
    Edit2->setMaximumWidth(140);
    InputRules::money(Edit2);
    BConfirmar = new QPushButton(QStringLiteral("Confirmar"), body());
    BConfirmar->setObjectName(QStringLiteral("BConfirmar"));
    BConfirmar->setAutoDefault(false);
    BConfirmar->setFocusPolicy(Qt::NoFocus);
    BConfirmar->setStyleSheet(
        QStringLiteral("QPushButton { background: #12504f; color: white; font-weight: bold; "
                       "border: none; border-radius: 3px; padding: 6px 18px; }"
                       "QPushButton:hover { background: #1a6a69; }"));
    item->addWidget(new QLabel(QStringLiteral("Descrição:"), body()), 0, 0);
    item->addWidget(new QLabel(QStringLiteral("Quant:"), body()), 0, 1);
    item->addWidget(new QLabel(QStringLiteral("Valor Unitário:"), body()), 0, 2);
    item->addWidget(Edit1, 1, 0);
    item->addWidget(Edit3, 1, 1);
    item->addWidget(Edit2, 1, 2);
    item->addWidget(BConfirmar, 1, 3);
    item->setColumnStretch(0, 1);
    content->addLayout(item);
    setTabOrder(Edit1, Edit3);
    setTabOrder(Edit3, Edit2);

    DBGrid1 = new DBGrid(body());
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    const Qt::Alignment right = Qt::AlignRight | Qt::AlignVCenter;
    DBGrid1->setColumns(
        {{QStringLiteral("DATA"), QStringLiteral("Data"), Qt::AlignCenter, 90},
         {QStringLiteral("DESCRICAO"), QStringLiteral("Descrição"), Qt::AlignLeft | Qt::AlignVCenter, 300},
         {QStringLiteral("QUANTIDADE"), QStringLiteral("Quantidade"), right, 90},
         {QStringLiteral("VALOR_UN"), QStringLiteral("Valor Unitário"), right, 120},
         {QStringLiteral("VALOR"), QStringLiteral("Valor"), right, 120}});
    content->addWidget(DBGrid1, 1);
    DBText2 = ScreenParts::totalRow(body(), content);
    layout->addLayout(content, 1);

    connect(BPesquisar, &QToolButton::clicked, this, [this] { guarded([this] { BPesquisarClick(); }); });
    connect(BNovo, &QToolButton::clicked, this, [this] { guarded([this] { BNovoClick(); }); });
    connect(BPagamento, &QToolButton::clicked, this, [this] { guarded([this] { BPagamentoClick(); }); });
    connect(BEditar, &QToolButton::clicked, this, [this] { guarded([this] { BEditarClick(); }); });
    connect(BExcluir, &QToolButton::clicked, this, [this] { guarded([this] { BExcluirClick(); }); });
    connect(BConfirmar, &QPushButton::clicked, this, [this] { guarded([this] { BConfirmarClick(); }); });
    connect(DBGrid1, &QTableView::clicked, this, [this] { guarded([this] { DBGrid1CellClick(); }); });
    // The fields show the row the user moved to by keys as well as by a click, so that Editar changes the row
    // they show. Not while an item or a row is being typed.
    connect(DBGrid1->selectionModel(), &QItemSelectionModel::currentChanged, this, [this] {
        if (DBGrid1->hasFocus() && !enteringItem() && DM->TabDividas.isOpen() && !DM->TabDividas.isEditing())
            guarded([this] { DBGrid1CellClick(); });
    });
    addFunctionKey(Qt::Key_F2, [this] {
        if (!AvulsoTrue)
            BPesquisarClick();
    });
    addFunctionKey(Qt::Key_F4, [this] { BNovoClick(); });
    addFunctionKey(Qt::Key_F5, [this] { BPagamentoClick(); });
    addFunctionKey(Qt::Key_F6, [this] { BEditarClick(); });
    addFunctionKey(Qt::Key_F7, [this] { BExcluirClick(); });
    Edit2->installEventFilter(this);
    resize(860, 520);
}

void TFVendasAvista::bindData() {
    DBGrid1->bind(&DM->DSDividas);
    DBText2->bind(&DM->DSDividas, QStringLiteral("Soma"));
}

bool TFVendasAvista::customerChosen() const {
    return !DBText1->text().isEmpty();
}

void TFVendasAvista::setFieldsEditable(bool on) {
    for (QLineEdit* e : {Edit1, Edit3, Edit2})
        e->setReadOnly(!on);
}

bool TFVendasAvista::enteringItem() const {
    return BConfirmar->isVisibleTo(this);
}

void TFVendasAvista::FormShow() {
    setFieldsEditable(false);
    Edit1->clear();
    Edit2->clear();
    Edit3->setText(QString());
    if (AvulsoTrue) {
        BPesquisar->setEnabled(false);
        BPesquisar->setText(QString());
        BConfirmar->hide();
        DM->TabCadCli.open();
        DBText1->bind(&DM->DSCadCli, QStringLiteral("NOME"));
    } else {
        BPesquisar->setEnabled(true);
        BPesquisar->setText(QStringLiteral("Pesquisar\nClientes [F2]"));
        BConfirmar->hide();
        DM->TabCadCli.open();
        DBText1->setText(QString());
    }
}

void TFVendasAvista::FormClose() {
    DM->TabCadCli.close(); // a pending edit of a row is dropped with it
    DM->TabDividas.close();
    DM->endCashSale();
    AvulsoTrue = false;
}

bool TFVendasAvista::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Edit2 && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter)
            guarded([this] { Edit2Enter(); });
    }
    return Form::eventFilter(watched, event);
}

void TFVendasAvista::BPesquisarClick() {
    ModalHost::show(FPesquisaCli);
    customerPicked();
}

void TFVendasAvista::customerPicked() {
    // The name follows the current customer from the first showing of the picker on.
    DBText1->bind(&DM->DSCadCli, QStringLiteral("NOME"));
    if (!FPesquisaCli->customerChosen())
        return;
    DM->TabDividas.open();
    DM->beginCashSale();
    DM->filterCustomerLedger(LedgerWords::cashAccountCondition());
    Edit1->clear();
    Edit2->clear();
    Edit3->setText(QString());
}

void TFVendasAvista::BNovoClick() {
    // A row being corrected is finished (or dropped) before a new item starts.
    if (DM->TabDividas.isEditing())
        return;
    DM->TabCadCli.open();
    if (DM->TabCadCli.isEmpty()) {
        DM->TabCadCli.close();
        DM->TabDividas.close();
        Messages::warning(QStringLiteral("BANCO DE DADOS VAZIO"));
        return;
    }
    if (!customerChosen()) {
        Messages::warning(QStringLiteral("POR FAVOR SELECIONE O CLIENTE ANTES DE CADASTRAR UMA NOVA VENDA"));
        return;
    }
    Edit1->clear();
    Edit2->clear();
    Edit3->setText(QStringLiteral("1"));
    Edit1->setFocus();
    setFieldsEditable(true);
    BConfirmar->show();
}

void TFVendasAvista::BConfirmarClick() {
    DM->TabCadCli.open();
    DM->TabDesc_Compras.open();
    TableDataset& ledger = DM->TabDividas;
    ledger.open();
    if (DM->TabCadCli.isEmpty()) {
        DM->TabCadCli.close();
        Messages::warning(QStringLiteral("BANCO DE DADOS VAZIO"));
        return;
    }
    if (!customerChosen()) {
        ledger.close();
        DM->TabCadCli.close();
        Messages::warning(QStringLiteral("POR FAVOR SELECIONE O CLIENTE "));
        return;
    }
    if (Edit1->text().isEmpty()) {
        Messages::warning(QStringLiteral("POR FAVOR DIGITE A DESCRIÇÃO "));
        Edit1->setFocus();
        return;
    }
    if (Edit2->text().isEmpty()) {
        Messages::warning(QStringLiteral("POR FAVOR DIGITE O VALOR "));
        Edit2->setFocus();
        return;
    }
    const int quantity = ScreenParts::wholeNumber(Edit3->text());
    const Currency unit = Currency::parse(Edit2->text());
    Ledger(*DM).cashSaleItem(DM->TabCadCliCODIGO.value(),
                             SaleItem{Edit1->text(), unit, quantity, QString::number(quantity)});
    Edit1->clear();
    Edit2->clear();
    Edit3->setText(QStringLiteral("1"));
    Edit1->setFocus();
    setFieldsEditable(false);
    BConfirmar->hide();
}

void TFVendasAvista::DBGrid1CellClick() {
    Edit1->setText(DM->TabDividasDESCRICAO.asString());
    Edit2->setText(DM->TabDividasVALOR_UN.asCurrency().format());
    Edit3->setText(DM->TabDividasQUANTIDADE.asString());
}

void TFVendasAvista::BEditarClick() {
    // Not in the middle of entering a new item, and only with an item listed to correct (a description typed
    // before any customer's items are listed has no row behind it).
    TableDataset& ledger = DM->TabDividas;
    if (Edit1->text().isEmpty() || enteringItem() || !ledger.isOpen() || ledger.isEmpty())
        return;
    ledger.edit();
    Edit1->setFocus();
    setFieldsEditable(true);
}

void TFVendasAvista::Edit2Enter() {
    TableDataset& ledger = DM->TabDividas;
    if (!ledger.isEditing()) {
        BConfirmarClick();
        return;
    }
    if (Edit1->text().isEmpty())
        return;
    // Every value converts before the row is touched, so a refused one leaves it as it was.
    const int quantity = ScreenParts::wholeNumber(Edit3->text());
    const Currency unit = Currency::parse(Edit2->text());
    Ledger(*DM).correctCashSaleItem(SaleItem{Edit1->text(), unit, quantity, QString::number(quantity)});
    setFieldsEditable(false);
}

void TFVendasAvista::BExcluirClick() {
    TableDataset& ledger = DM->TabDividas;
    if (!ledger.isOpen() || ledger.isEmpty()) {
        Messages::warning(QStringLiteral("BANCO DE DADOS VAZIO"));
        return;
    }
    if (!Messages::confirm(QStringLiteral("Deseja Realmente Excluir?")))
        return;
    Ledger(*DM).deleteCurrentEntry();
}

void TFVendasAvista::BPagamentoClick() {
    // The payment lists the items again, which would end a correction under way: the Enter that follows
    // would then store the corrected fields as a new item.
    if (DM->TabDividas.isEditing())
        return;
    if (!DM->TabCadCli.isOpen() || DM->TabCadCli.isEmpty()) {
        Messages::warning(QStringLiteral("BANCO DE DADOS VAZIO"));
        return;
    }
    if (!customerChosen()) {
        DM->TabCadCli.close();
        DM->TabDividas.close();
        Messages::warning(QStringLiteral("POR FAVOR SELECIONE O CLIENTE"));
        return;
    }
    FPagamentos->setFromCashSale(true);
    ModalHost::show(FPagamentos);
}
