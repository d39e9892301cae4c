#include "consultation/uConsulta.h"

#include "consultation/CashFlowReport.h"
#include "credit/uCompras.h"
#include "credit/uDividas.h"
#include "customers/uPesquisaCli.h"
#include "data/Ledger.h"
#include "data/OverdueReminder.h"
#include "data/Shop.h"
#include "data/Users.h"
#include "data/uDM.h"
#include "platform/core/Clock.h"
#include "platform/core/Formats.h"
#include "platform/core/Query.h"
#include "platform/widgets/DBGrid.h"
#include "platform/widgets/DataWidgets.h"
#include "platform/widgets/Messages.h"
#include "platform/widgets/ModalHost.h"
#include "platform/widgets/RadioGroup.h"
#include "platform/widgets/ScreenParts.h"
#include "reports/Printing.h"
#include "reports/ReportLayout.h"

#include <QClipboard>
#include <QComboBox>
#include <QDateEdit>
#include <QFrame>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>

TFConsulta* FConsulta = nullptr;

namespace {

const QString PickerStyle = QStringLiteral("QDateEdit { background: yellow; }");

QDateEdit* datePicker(const QString& name, QWidget* parent) {
    auto* picker = new QDateEdit(parent);
    picker->setObjectName(name);
    picker->setCalendarPopup(true);
    picker->setDisplayFormat(Formats::ShortDate);
    picker->setStyleSheet(PickerStyle);
    return picker;
}

} // namespace

TFConsulta::TFConsulta(QWidget* parent)
    : Form(QStringLiteral("Fluxo de Caixa"), {}, parent)
    , Relatorio(CashFlowReport::relatorio()) {
    setObjectName(QStringLiteral("FConsulta"));
    setWindowTitle(QStringLiteral("Consultas"));
    SpeedButton4 = closeButton();
    SpeedButton4->setObjectName(QStringLiteral("SpeedButton4"));

    auto* layout = new QVBoxLayout(body());
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    QHBoxLayout* tools = nullptr;
    auto* toolbar = ScreenParts::toolbar(body(), tools);
    BConsultar =
        ScreenParts::toolButton(QStringLiteral("BConsultar"), QStringLiteral("Pesquisar [F4]"), toolbar);
    Panel6 = new QFrame(toolbar);
    Panel6->setObjectName(QStringLiteral("Panel6"));
    auto* panelLayout = new QHBoxLayout(Panel6);
    panelLayout->setContentsMargins(0, 0, 0, 0);
    BExcluir = ScreenParts::toolButton(QStringLiteral("BExcluir"), QStringLiteral("Excluir [F7]"), Panel6);
    panelLayout->addWidget(BExcluir);
    BCompras = ScreenParts::toolButton(QStringLiteral("BCompras"),
                                       QStringLiteral(" Compras do Cliente [F11]"), toolbar);
    BImprimir =
        ScreenParts::toolButton(QStringLiteral("BImprimir"), QStringLiteral("Imprimir [F10]"), toolbar);
    tools->addWidget(BConsultar);
    tools->addWidget(Panel6);
    tools->addWidget(BCompras);
    BLembrete =
        ScreenParts::toolButton(QStringLiteral("BLembrete"), QStringLiteral("Lembrete [F8]"), toolbar);
    tools->addWidget(BImprimir);
    tools->addWidget(BLembrete);
    tools->addStretch(1);
    layout->addWidget(toolbar);

    auto* content = new QVBoxLayout;
    content->setContentsMargins(14, 10, 14, 10);
    auto* selectors = new QHBoxLayout;
    RadioGroup1 = new RadioGroup(QStringLiteral("Tipo Consulta"),
                                 {QStringLiteral("Todos"), QStringLiteral("Nome")}, body());
    RadioGroup1->setObjectName(QStringLiteral("RadioGroup1"));
    RadioGroup2 = new RadioGroup(
        QStringLiteral("Opções"),
        {QStringLiteral("Não Pagas"), QStringLiteral("Pagas"), QStringLiteral("Vencidas")}, body());
    RadioGroup2->setObjectName(QStringLiteral("RadioGroup2"));
    auto* period = new QGroupBox(QStringLiteral("Período"), body());
    auto* periodLayout = new QVBoxLayout(period);
    ComboBox1 = new QComboBox(period);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->addItems({QStringLiteral("Hoje"), QStringLiteral("Mês Atual"), QStringLiteral("Todo Período"),
                         QStringLiteral("Personalizado")});
    auto* range = new QHBoxLayout;
    DateTimePicker1 = datePicker(QStringLiteral("DateTimePicker1"), period);
    DateTimePicker2 = datePicker(QStringLiteral("DateTimePicker2"), period);
    range->addWidget(DateTimePicker1);
    range->addWidget(new QLabel(QStringLiteral("Até:"), period));
    range->addWidget(DateTimePicker2);
    periodLayout->addWidget(ComboBox1);
    periodLayout->addLayout(range);
    BPesquisar = ScreenParts::toolButton(QStringLiteral("BPesquisar"), QString(), body());
    BPesquisar->setToolTip(QStringLiteral("Pesquisar Clientes"));
    selectors->addWidget(RadioGroup1);
    selectors->addWidget(RadioGroup2);
    selectors->addWidget(period);
    selectors->addWidget(BPesquisar);
    selectors->addStretch(1);
    content->addLayout(selectors);

    auto* nameRow = new QHBoxLayout;
    Label3 = new QLabel(QStringLiteral("Nome:"), body());
    Label3->setStyleSheet(QStringLiteral("color: #555;"));
    DBText1 = new DBText(body());
    DBText1->setObjectName(QStringLiteral("DBText1"));
    DBText1->setStyleSheet(QStringLiteral("font-size: 12pt; font-weight: bold; color: #12504f;"));
    nameRow->addWidget(Label3);
    nameRow->addWidget(DBText1, 1);
    content->addLayout(nameRow);

    DBGrid1 = new DBGrid(body());
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    const Qt::Alignment left = Qt::AlignLeft | Qt::AlignVCenter;
    const Qt::Alignment right = Qt::AlignRight | Qt::AlignVCenter;
    DBGrid1->setColumns({{QStringLiteral("DATA"), QStringLiteral("Data Compra"), Qt::AlignCenter, 85},
                         {QStringLiteral("NOME"), QStringLiteral("Nome"), left, 170},
                         {QStringLiteral("TELEFONE"), QStringLiteral("Telefone"), left, 105},
                         {QStringLiteral("DESCRICAO"), QStringLiteral("Descrição"), left, 165},
                         {QStringLiteral("PARCELA"), QStringLiteral("Modalidade"), left, 85},
                         {QStringLiteral("QUANTIDADE"), QStringLiteral("Quantidade"), right, 75},
                         {QStringLiteral("VALOR_UN"), QStringLiteral("Valor Unitário"), right, 95},
                         {QStringLiteral("VALOR"), QStringLiteral("Valor"), right, 95},
                         {QStringLiteral("DATA_VENC"), QStringLiteral("Vencimento"), Qt::AlignCenter, 85},
                         {QStringLiteral("DATA_PAG"), QStringLiteral("Pagamento"), Qt::AlignCenter, 130},
                         {QStringLiteral("FORM_PAG"), QStringLiteral("Forma Pagamento"), left, 110}});
    DBGrid1->setRowColor([](const Row& row, const Dataset& ds) {
        return ledgerRowColor(row.value(ds.columnIndex(QStringLiteral("STATUS_PAG"))),
                              row.value(ds.columnIndex(QStringLiteral("DATA_VENC"))),
                              row.value(ds.columnIndex(QStringLiteral("DATA_PAG"))), QColor(Qt::darkGreen));
    });
    content->addWidget(DBGrid1, 1);

    DBText2 = ScreenParts::totalRow(body(), content, 160);
    layout->addLayout(content, 1);

    connect(RadioGroup1, &RadioGroup::clicked, this, [this] { guarded([this] { RadioGroup1Click(); }); });
    connect(RadioGroup2, &RadioGroup::clicked, this, [this] { guarded([this] { RadioGroup2Click(); }); });
    connect(ComboBox1, &QComboBox::currentIndexChanged, this,
            [this] { guarded([this] { ComboBox1Change(); }); });
    connect(BPesquisar, &QToolButton::clicked, this, [this] { guarded([this] { BPesquisarClick(); }); });
    connect(BConsultar, &QToolButton::clicked, this, [this] { guarded([this] { BConsultarClick(); }); });
    connect(BExcluir, &QToolButton::clicked, this, [this] { guarded([this] { BExcluirClick(); }); });
    connect(BCompras, &QToolButton::clicked, this, [this] { guarded([this] { BComprasClick(); }); });
    connect(BImprimir, &QToolButton::clicked, this, [this] { guarded([this] { BImprimirClick(); }); });
    connect(BLembrete, &QToolButton::clicked, this, [this] { guarded([this] { BLembreteClick(); }); });
    addFunctionKey(Qt::Key_F4, [this] { BConsultarClick(); });
    addFunctionKey(Qt::Key_F10, [this] { BImprimirClick(); });
    addFunctionKey(Qt::Key_F11, [this] { BComprasClick(); });
    addFunctionKey(Qt::Key_F8, [this] { BLembreteClick(); });
    addFunctionKey(Qt::Key_F2, [this] {
        if (nameChosen())
            BPesquisarClick();
    });
    // Only who sees the delete button may delete.
    addFunctionKey(Qt::Key_F7, [this] {
        if (m_master)
            BExcluirClick();
    });
    resize(1260, 640);
}

TFConsulta::~TFConsulta() = default;

void TFConsulta::bindData() {
    QConsulta = new Query(DM->FDConnection1, this);
    QConsulta->setSql(CashFlow::initialStatement());
    QConsulta->defineSum(QStringLiteral("Soma"), QStringLiteral("VALOR"));
    DSConsulta = new DataSource(QConsulta, this);
    DBGrid1->bind(DSConsulta);
    DBText2->bind(DSConsulta, QStringLiteral("Soma"));
    DBText1->bind(&DM->DSCadCli, QStringLiteral("NOME"));
}

bool TFConsulta::nameChosen() const {
    return RadioGroup1->itemIndex() == 1;
}

bool TFConsulta::hasCurrentRow() const {
    return QConsulta->isOpen() && QConsulta->recordNo() >= 0;
}

CashFlow::Consultation TFConsulta::consultation() const {
    CashFlow::Consultation c;
    c.scope = nameChosen() ? CashFlow::Scope::OneCustomer : CashFlow::Scope::AllCustomers;
    c.kind = CashFlow::Kind(std::max(0, RadioGroup2->itemIndex()));
    c.period = CashFlow::Period(std::max(0, ComboBox1->currentIndex()));
    c.from = DateTimePicker1->date();
    c.to = DateTimePicker2->date();
    if (c.scope == CashFlow::Scope::OneCustomer && DM->TabCadCli.isOpen() && !DM->TabCadCli.isEmpty())
        c.customerName = DM->TabCadCliNOME.asString();
    return c;
}

void TFConsulta::FormShow() {
    m_master = Users(*DM).currentIsMaster();
    Panel6->setVisible(m_master);
    Label3->hide();
    DBText1->hide();
    QConsulta->close();
    RadioGroup1->setItemIndex(0);
    RadioGroup1Click();
    RadioGroup2->setItemIndex(0);
    ComboBox1->setCurrentIndex(0);
    ComboBox1Change();
    DateTimePicker1->setDate(Clock::today());
    DateTimePicker2->setDate(Clock::today());
}

void TFConsulta::FormClose() {
    QConsulta->close();
    DM->TabCadCli.close();
    DM->TabDividas.close();
}

void TFConsulta::RadioGroup1Click() {
    if (nameChosen()) {
        BPesquisar->setText(QStringLiteral("Pesquisar\nClientes [F2]"));
        BPesquisar->show();
        return;
    }
    BPesquisar->hide();
    Label3->hide();
    DBText1->hide();
    QConsulta->close();
}

void TFConsulta::RadioGroup2Click() {
    QConsulta->close();
}

void TFConsulta::ComboBox1Change() {
    QConsulta->close();
    const bool custom = ComboBox1->currentIndex() == int(CashFlow::Period::Custom);
    DateTimePicker1->setEnabled(custom);
    DateTimePicker2->setEnabled(custom);
}

void TFConsulta::BPesquisarClick() {
    if (!nameChosen())
        return;
    ModalHost::show(FPesquisaCli);
    Label3->show();
    DBText1->show();
    QConsulta->close();
}

void TFConsulta::BConsultarClick() {
    DM->TabCadCli.open();
    DM->TabDividas.open();
    if (ComboBox1->currentIndex() < 0)
        return;
    if (ComboBox1->currentIndex() == int(CashFlow::Period::Custom) &&
        DateTimePicker1->date() > DateTimePicker2->date()) {
        Messages::warning(
            QStringLiteral("INTERVALO DE DATAS INVÁLIDO, A DATA INICIAL É MAIOR QUE A DATA FINAL!"));
        DateTimePicker1->setDate(Clock::today());
        DateTimePicker2->setDate(Clock::today());
        DM->TabDividas.close();
        // The statement held from before is shown again.
        QConsulta->open();
        return;
    }
    const CashFlow::Consultation c = consultation();
    if (c.period == CashFlow::Period::Custom) {
        Inicio = Formats::date(c.from);
        Final = Formats::date(c.to);
    }
    CashFlow::prepare(*QConsulta, c);
    QConsulta->open();
}

void TFConsulta::BExcluirClick() {
    // After a refused date range the grid shows the earlier rows again but the ledger is closed: that is no
    // consultation to delete from.
    if (!DM->TabDividas.isOpen() || !hasCurrentRow()) {
        Messages::warning(QStringLiteral("BANCO DE DADOS VAZIO"));
        return;
    }
    if (Messages::confirm(QStringLiteral("Deseja Realmente Excluir?")))
        Ledger(*DM).deleteEntry(QConsulta->value(QStringLiteral("CODIGO")));
    BConsultarClick();
}

void TFConsulta::BComprasClick() {
    if (!hasCurrentRow())
        return;
    FCompras->setSource(DSConsulta);
    ModalHost::show(FCompras);
}

void TFConsulta::BImprimirClick() {
    if (!QConsulta->isOpen() || ComboBox1->currentIndex() < 0)
        return;
    CashFlowReport::setHeadline(Relatorio, consultation());
    Report::PositionSource rows(QStringLiteral("DBRelatorio"), *QConsulta);
    Printing::show(Report::prepare(Relatorio, rows), this);
}

void TFConsulta::BLembreteClick() {
    // Any change of the kind closes the query, so an open one with "Vencidas" chosen lists overdue entries.
    if (RadioGroup2->itemIndex() != int(CashFlow::Kind::Overdue) || !hasCurrentRow()) {
        Messages::warning(QStringLiteral("LISTE AS VENCIDAS E SELECIONE O CLIENTE"));
        return;
    }
    const QString name = QConsulta->value(QStringLiteral("NOME")).toString();
    const QVector<OverdueEntry> entries = OverdueReminder::overdueEntries(
        DM->FDConnection1, QConsulta->value(QStringLiteral("CLIENTE")), Clock::today());
    if (entries.isEmpty()) {
        Messages::warning(QStringLiteral("NENHUMA CONTA VENCIDA EM ABERTO PARA ESTE CLIENTE"));
        return;
    }
    const QString message = OverdueReminder::message(name, entries, Shop(DM->FDConnection1).details());
    const OverdueReminder::WhatsAppNumber number =
        OverdueReminder::whatsAppNumber(QConsulta->value(QStringLiteral("TELEFONE")).toString());
    if (number.problem == OverdueReminder::PhoneProblem::None) {
        QGuiApplication::clipboard()->setText(message + QStringLiteral("\n\n") +
                                              OverdueReminder::link(number.digits, message));
        Messages::plain(
            QStringLiteral("MENSAGEM COPIADA PARA A ÁREA DE TRANSFERÊNCIA, COM O LINK DO WHATSAPP"));
        return;
    }
    QGuiApplication::clipboard()->setText(message);
    switch (number.problem) {
    case OverdueReminder::PhoneProblem::Missing:
        Messages::warning(QStringLiteral("CLIENTE SEM TELEFONE: MENSAGEM COPIADA SEM O LINK DO WHATSAPP"));
        break;
    case OverdueReminder::PhoneProblem::NoAreaCode:
        Messages::warning(
            QStringLiteral("TELEFONE DO CLIENTE SEM DDD: MENSAGEM COPIADA SEM O LINK DO WHATSAPP"));
        break;
    default:
        Messages::warning(
            QStringLiteral("TELEFONE DO CLIENTE INVÁLIDO: MENSAGEM COPIADA SEM O LINK DO WHATSAPP"));
        break;
    }
}
