#include "customers/uPesquisaCli.h"

#include "data/Ledger.h"
#include "data/uDM.h"
#include "platform/core/FilterExpression.h"
#include "platform/widgets/DBGrid.h"
#include "platform/widgets/DataWidgets.h"
#include "platform/widgets/InputRules.h"
#include "platform/widgets/Messages.h"

#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

TFPesquisaCli* FPesquisaCli = nullptr;

TFPesquisaCli::TFPesquisaCli(QWidget* parent)
    : Form(QStringLiteral("Pesquisar Cliente"),
           {.borderless = true, .titleStrip = true, .keyPreview = false, .enterMovesFocus = false}, parent) {
    setObjectName(QStringLiteral("FPesquisaCli"));
    titleLabel()->setText(QStringLiteral("Pesquisar Clientes"));
    SpeedButton2 = closeButton();
    SpeedButton2->setObjectName(QStringLiteral("SpeedButton2"));

    auto* layout = new QVBoxLayout(body());
    layout->setContentsMargins(14, 10, 14, 10);
    layout->addWidget(new QLabel(QStringLiteral("Pesquisa por Nome"), body()));
    Edit1 = new QLineEdit(body());
    Edit1->setObjectName(QStringLiteral("Edit1"));
    InputRules::upperCase(Edit1);
    layout->addWidget(Edit1);
    DBGrid1 = new DBGrid(body());
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setColumns(
        {{QStringLiteral("NOME"), QStringLiteral("Nome"), Qt::AlignLeft | Qt::AlignVCenter, 250},
         {QStringLiteral("ENDERECO"), QStringLiteral("Endereço"), Qt::AlignLeft | Qt::AlignVCenter, 200},
         {QStringLiteral("NUMERO"), QStringLiteral("Número"), Qt::AlignLeft | Qt::AlignVCenter, 70},
         {QStringLiteral("TELEFONE"), QStringLiteral("Telefone"), Qt::AlignLeft | Qt::AlignVCenter, 120}});
    layout->addWidget(DBGrid1, 1);
    auto* countRow = new QHBoxLayout;
    Label1 = new QLabel(QStringLiteral("Total de Clientes:"), body());
    Label2 = new QLabel(body());
    Label2->setObjectName(QStringLiteral("Label2"));
    countRow->addWidget(Label1);
    countRow->addWidget(Label2);
    countRow->addStretch(1);
    layout->addLayout(countRow);

    connect(Edit1, &QLineEdit::textChanged, this, [this] { guarded([this] { Edit1Change(); }); });
    connect(DBGrid1, &DBGrid::gridDoubleClicked, this, [this] { guarded([this] { DBGrid1DblClick(); }); });
    resize(700, 440);
}

void TFPesquisaCli::bindData() {
    DBGrid1->bind(&DM->DSCadCli);
}

void TFPesquisaCli::showCount() {
    Label2->setText(QStringLiteral("(%1)").arg(DM->TabCadCli.recordCount()));
}

void TFPesquisaCli::FormShow() {
    m_chosen = false;
    TableDataset& t = DM->TabCadCli;
    t.open();
    t.refilter(QStringLiteral("NOME <>") + FilterExpression::quoted(LedgerWords::WalkInCustomer));
    showCount();
    Edit1->setFocus();
}

void TFPesquisaCli::Edit1Change() {
    TableDataset& t = DM->TabCadCli;
    t.open();
    t.refilter(QStringLiteral("NOME LIKE") + FilterExpression::quoted(Edit1->text() + u'%') +
               QStringLiteral("AND NOME <>") + FilterExpression::quoted(LedgerWords::WalkInCustomer));
    showCount();
}

void TFPesquisaCli::DBGrid1DblClick() {
    TableDataset& customers = DM->TabCadCli;
    m_chosen = customers.isOpen() && !customers.isEmpty() && !customers.eof();
    if (m_chosen)
        Edit1->clear(); // all customers again; the chosen one stays current
    close();
}
