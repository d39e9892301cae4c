#include "credit/uDividas.h"

#include "credit/BookletReport.h"
#include "credit/uNovaDivida.h"
#include "credit/uPagamentos.h"
#include "customers/uPesquisaCli.h"
#include "data/Booklet.h"
#include "data/Ledger.h"
#include "data/Shop.h"
#include "data/uDM.h"
#include "platform/core/Clock.h"
#include "platform/widgets/DBGrid.h"
#include "platform/widgets/DataWidgets.h"
#include "platform/widgets/Messages.h"
#include "platform/widgets/ModalHost.h"
#include "platform/widgets/ScreenParts.h"
#include "reports/Printing.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>

TFDividas* FDividas = nullptr;

QColor ledgerRowColor(const QVariant& status, const QVariant& dueDate, const QVariant& paidAt,
                      const QColor& paidInTime) {
    const QDate due = dueDate.toDate();
    const bool paid = status.toString() == u"PG";
    if (!due.isValid())
        return paid ? paidInTime : QColor(Qt::blue);
    // A date against a moment: the due day counts from its first instant.
    const QDateTime dueStart = due.startOfDay();
    if (paid) {
        const QDateTime paidAtMoment = paidAt.toDateTime();
        return paidAtMoment.isValid() && dueStart < paidAtMoment ? QColor(Qt::red) : paidInTime;
    }
    return dueStart < Clock::now() ? QColor(Qt::red) : QColor(Qt::blue);
}

namespace {} // namespace

TFDividas::TFDividas(QWidget* parent)
    : Form(QStringLiteral("Vendas à Prazo"), {}, parent) {
    setObjectName(QStringLiteral("FDividas"));
    setWindowTitle(QStringLiteral("Lançamentos"));
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
    BCarne = ScreenParts::toolButton(QStringLiteral("BCarne"), QStringLiteral("Carnê [F8]"), toolbar);
    for (QToolButton* b : {BPesquisar, BNovo, BPagamento, BEditar, BExcluir, BCarne})
        tools->addWidget(b);
    tools->addStretch(1);
    layout->addWidget(toolbar);

    auto* content = new QVBoxLayout;
    content->setContentsMargins(14, 10, 14, 10);
    auto* nameRow = new QHBoxLayout;
    auto* nameLabel = new QLabel(QStringLiteral("Cliente:"), body());
    nameLabel->setStyleSheet(QStringLiteral("color: #555;"));
    DBText1 = new DBText(body());
    DBText1->setObjectName(QStringLiteral("DBText1"));
    DBText1->setStyleSheet(QStringLiteral("font-size: 14pt; font-weight: bold; color: #12504f;"));
    nameRow->addWidget(nameLabel);
    nameRow->addWidget(DBText1, 1);
    content->addLayout(nameRow);

    DBGrid1 = new DBGrid(body());
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    const Qt::Alignment left = Qt::AlignLeft | Qt::AlignVCenter;
    const Qt::Alignment right = Qt::AlignRight | Qt::AlignVCenter;
    DBGrid1->setColumns({{QStringLiteral("DATA"), QStringLiteral("Data"), Qt::AlignCenter, 90},
                         {QStringLiteral("DESCRICAO"), QStringLiteral("Descrição"), left, 250},
                         {QStringLiteral("QUANTIDADE"), QStringLiteral("Quantidade"), right, 80},
                         {QStringLiteral("PARCELA"), QStringLiteral("Modalidade"), left, 110},
                         {QStringLiteral("DATA_VENC"), QStringLiteral("Vencimento"), Qt::AlignCenter, 90},
                         {QStringLiteral("VALOR_UN"), QStringLiteral("Valor Unitário"), right, 110},
                         {QStringLiteral("VALOR"), QStringLiteral("Valor"), right, 110}});
    DBGrid1->setRowColor([](const Row& row, const Dataset& ds) {
        return ledgerRowColor(row.value(ds.columnIndex(QStringLiteral("STATUS_PAG"))),
                              row.value(ds.columnIndex(QStringLiteral("DATA_VENC"))),
                              row.value(ds.columnIndex(QStringLiteral("DATA_PAG"))));
    });
    content->addWidget(DBGrid1, 1);

    DBText2 = ScreenParts::totalRow(body(), content);
    layout->addLayout(content, 1);

    connect(BPesquisar, &QToolButton::clicked, this, [this] { guarded([this] { BPesquisarClick(); }); });
    connect(BNovo, &QToolButton::clicked, this, [this] { guarded([this] { BNovoClick(); }); });
    connect(BPagamento, &QToolButton::clicked, this, [this] { guarded([this] { BPagamentoClick(); }); });
    connect(BEditar, &QToolButton::clicked, this, [this] { guarded([this] { BEditarClick(); }); });
    connect(BExcluir, &QToolButton::clicked, this, [this] { guarded([this] { BExcluirClick(); }); });
    connect(BCarne, &QToolButton::clicked, this, [this] { guarded([this] { BCarneClick(); }); });
    addFunctionKey(Qt::Key_F2, [this] { BPesquisar->click(); });
    addFunctionKey(Qt::Key_F4, [this] { BNovo->click(); });
    addFunctionKey(Qt::Key_F5, [this] { BPagamento->click(); });
    addFunctionKey(Qt::Key_F6, [this] { BEditar->click(); });
    addFunctionKey(Qt::Key_F7, [this] { BExcluir->click(); });
    addFunctionKey(Qt::Key_F8, [this] { BCarne->click(); });
    resize(900, 520);
}

void TFDividas::bindData() {
    DBGrid1->bind(&DM->DSDividas);
    DBText2->bind(&DM->DSDividas, QStringLiteral("Soma"));
}

bool TFDividas::customerChosen() const {
    return !DBText1->text().isEmpty();
}

void TFDividas::dropCorrection() {
    if (!DM->TabDividas.isEditing())
        return;
    DBGrid1->setEditable(false);
    DM->TabDividas.cancel();
}

void TFDividas::FormShow() {
    DM->TabCadCli.open();
    DBText1->setText(QString());
    DBGrid1->setEditable(false);
    BPesquisar->setText(QStringLiteral("Pesquisar\nClientes [F2]"));
}

void TFDividas::FormClose() {
    dropCorrection();
    DM->TabCadCli.close();
    DM->TabDividas.close();
}

bool TFDividas::FormKeyDown(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    auto* focus = QApplication::focusWidget();
    if (enter && focus && (focus == DBGrid1 || DBGrid1->isAncestorOf(focus))) {
        DBGrid1KeyPress();
        return true; // the grid's own editor must not see this Enter a second time
    }
    return false;
}

void TFDividas::BPesquisarClick() {
    dropCorrection();
    ModalHost::show(FPesquisaCli);
    customerPicked();
}

void TFDividas::customerPicked() {
    // The name follows the current customer from the first showing of the picker on.
    DBText1->bind(&DM->DSCadCli, QStringLiteral("NOME"));
    if (!FPesquisaCli->customerChosen())
        return;
    DM->TabDividas.open();
    DM->filterCustomerLedger(LedgerWords::creditAccountCondition());
}

void TFDividas::BNovoClick() {
    dropCorrection();
    DM->TabCadCli.open();
    if (DM->TabCadCli.isEmpty()) {
        DM->TabCadCli.close();
        DM->TabDividas.close();
        Messages::warning(QStringLiteral("BANCO DE DADOS VAZIO"));
    } else if (!customerChosen()) {
        Messages::warning(QStringLiteral("POR FAVOR SELECIONE O CLIENTE ANTES DE CADASTRAR UMA NOVA DIVIDA"));
    } else {
        ModalHost::show(FNovaDivida);
    }
}

void TFDividas::BPagamentoClick() {
    dropCorrection();
    DM->TabCadCli.open();
    DM->TabDividas.open();
    if (DM->TabCadCli.isEmpty()) {
        Messages::warning(QStringLiteral("BANCO DE DADOS VAZIO"));
    } else if (!customerChosen()) {
        DM->TabCadCli.close();
        DM->TabDividas.close();
        Messages::warning(QStringLiteral("POR FAVOR SELECIONE O CLIENTE"));
    } else {
        DBGrid1->bind(&DM->DSDividas);
        DBText1->bind(&DM->DSCadCli, QStringLiteral("NOME"));
        DM->filterCustomerLedger(QString());
        FPagamentos->setFromCashSale(false);
        ModalHost::show(FPagamentos);
    }
}

void TFDividas::BEditarClick() {
    if (!DM->TabDividas.isOpen() || DM->TabDividas.isEmpty()) {
        Messages::warning(QStringLiteral("POR FAVOR SELECIONE O CLIENTE"));
        return;
    }
    DM->TabDividas.edit();
    // Only the description, the quantity and the unit value may be corrected.
    DBGrid1->setEditable(true, {0, 3, 4, 6});
}

void TFDividas::DBGrid1KeyPress() {
    if (!DM->TabDividas.isEditing()) {
        Messages::warning(QStringLiteral("PARA EDITAR CLICK NO BOTÃO EDITAR"));
        return;
    }
    // A value that does not convert leaves the entry in correction, nothing stored.
    if (!DBGrid1->finishEditing())
        return;
    Ledger(*DM).saveCorrection();
    DBGrid1->setEditable(false);
}

void TFDividas::BExcluirClick() {
    dropCorrection();
    if (!DM->TabDividas.isOpen() || DM->TabDividas.isEmpty()) {
        Messages::warning(QStringLiteral("POR FAVOR SELECIONE O CLIENTE"));
        return;
    }
    if (!Messages::confirm(QStringLiteral("Deseja Realmente Excluir?")))
        return;
    Ledger(*DM).deleteCurrentEntry();
}

void TFDividas::BCarneClick() {
    dropCorrection();
    if (!customerChosen() || !DM->TabCadCli.isOpen() || DM->TabCadCli.isEmpty()) {
        Messages::warning(QStringLiteral("POR FAVOR SELECIONE O CLIENTE"));
        return;
    }
    const QVector<OpenInstalment> open =
        Booklet::openInstalments(DM->FDConnection1, DM->TabCadCliCODIGO.value());
    if (open.isEmpty()) {
        Messages::warning(QStringLiteral("NENHUMA PARCELA EM ABERTO PARA ESTE CLIENTE"));
        return;
    }
    const BookletCustomer customer{DM->TabCadCliNOME.asString(),     DM->TabCadCliCPF.asString(),
                                   DM->TabCadCliENDERECO.asString(), DM->TabCadCliNUMERO.asString(),
                                   DM->TabCadCliBAIRRO.asString(),   DM->TabCadCliCIDADE.asString(),
                                   DM->TabCadCliESTADO.asString()};
    Printing::show(BookletReport::prepare(Shop(DM->FDConnection1).details(), customer, open), this);
}
