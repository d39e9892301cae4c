#include "credit/uCompras.h"

#include "data/uDM.h"
#include "platform/core/Query.h"
#include "platform/widgets/DBGrid.h"
#include "platform/widgets/DataWidgets.h"
#include "platform/widgets/ScreenParts.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>

TFCompras* FCompras = nullptr;

TFCompras::TFCompras(QWidget* parent)
    : Form(QStringLiteral("Compras do Cliente"), {}, parent) {
    setObjectName(QStringLiteral("FCompras"));
    setWindowTitle(QStringLiteral("Compras do Cliente"));
    SpeedButton2 = closeButton();
    SpeedButton2->setObjectName(QStringLiteral("SpeedButton2"));

    auto* layout = new QVBoxLayout(body());
    layout->setContentsMargins(14, 10, 14, 10);
    auto* nameRow = new QHBoxLayout;
    auto* nameLabel = new QLabel(QStringLiteral("Cliente:"), body());
    nameLabel->setStyleSheet(QStringLiteral("color: #555;"));
    DBText1 = new DBText(body());
    DBText1->setObjectName(QStringLiteral("DBText1"));
    DBText1->setStyleSheet(QStringLiteral("font-size: 14pt; font-weight: bold; color: #12504f;"));
    nameRow->addWidget(nameLabel);
    nameRow->addWidget(DBText1, 1);
    layout->addLayout(nameRow);

    DBGrid1 = new DBGrid(body());
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    const Qt::Alignment left = Qt::AlignLeft | Qt::AlignVCenter;
    const Qt::Alignment right = Qt::AlignRight | Qt::AlignVCenter;
    DBGrid1->setColumns({{QStringLiteral("DATA"), QStringLiteral("Data Compra"), Qt::AlignCenter, 90},
                         {QStringLiteral("DESCRICAO"), QStringLiteral("Descrição"), left, 260},
                         {QStringLiteral("QUANTIDADE"), QStringLiteral("Quantidade"), Qt::AlignCenter, 80},
                         {QStringLiteral("VALOR_UN"), QStringLiteral("Valor Unitário"), right, 110},
                         {QStringLiteral("VALOR"), QStringLiteral("Valor"), right, 110},
                         {QStringLiteral("STATUS"), QStringLiteral("Modalidade"), Qt::AlignCenter, 100}});
    layout->addWidget(DBGrid1, 1);

    DBText2 = ScreenParts::totalRow(body(), layout);
    resize(820, 420);
}

TFCompras::~TFCompras() = default;

void TFCompras::bindData() {
    QCompras = new Query(DM->FDConnection1, this);
    QCompras->defineSum(QStringLiteral("Soma"), QStringLiteral("VALOR"));
    DSCompras = new DataSource(QCompras, this);
    DBGrid1->bind(DSCompras);
    DBText2->bind(DSCompras, QStringLiteral("Soma"));
}

void TFCompras::setSource(DataSource* source) {
    m_source = source;
    DBText1->bind(source, QStringLiteral("NOME"));
}

void TFCompras::FormShow() {
    QCompras->setSql(QStringLiteral(
        "select * from tabDesc_Compras inner join TabCadCli on (TabCadCli.Codigo = TabDesc_Compras.Cliente) "
        "Where TabCadCli.Nome = :qcli AND TabDesc_Compras.data = :qdata"));
    const Dataset* row = m_source ? m_source->dataSet() : nullptr;
    const bool hasRow = row && row->isOpen() && row->recordNo() >= 0;
    QCompras->setParam(QStringLiteral("qcli"),
                       hasRow ? row->value(QStringLiteral("NOME")).toString() : QString());
    QCompras->setParam(QStringLiteral("qdata"),
                       hasRow ? row->value(QStringLiteral("DATA")).toDate() : QDate());
    QCompras->open();
}

void TFCompras::FormClose() {
    // The customers are left as they are: the screen below may be showing or about to use the current one.
    QCompras->close();
}
