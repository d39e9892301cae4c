#include "credit/uNovaDivida.h"

#include "data/Ledger.h"
#include "data/uDM.h"
#include "platform/core/Clock.h"
#include "platform/core/Currency.h"
#include "platform/widgets/DataWidgets.h"
#include "platform/widgets/InputRules.h"
#include "platform/widgets/Messages.h"
#include "platform/widgets/RadioGroup.h"
#include "platform/widgets/ScreenParts.h"

#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

TFNovaDivida* FNovaDivida = nullptr;

TFNovaDivida::TFNovaDivida(QWidget* parent)
    : Form(QStringLiteral("Vendas à Prazo"), {}, parent) {
    setObjectName(QStringLiteral("FNovaDivida"));
    setWindowTitle(QStringLiteral("Cadastros "));
    SpeedButton2 = closeButton();
    SpeedButton2->setObjectName(QStringLiteral("SpeedButton2"));

    auto* grid = new QGridLayout(body());
    grid->setContentsMargins(18, 14, 18, 16);
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(8);
    DBText1 = new DBText(body());
    DBText1->setObjectName(QStringLiteral("DBText1"));
    DBText1->setStyleSheet(QStringLiteral("font-weight: bold; color: #12504f; font-size: 12pt;"));
    Edit1 = new QLineEdit(body());
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setMaxLength(150);
    InputRules::upperCase(Edit1);
    Edit2 = new QLineEdit(body());
    Edit2->setObjectName(QStringLiteral("Edit2"));
    InputRules::money(Edit2);
    Edit3 = new QLineEdit(body());
    Edit3->setObjectName(QStringLiteral("Edit3"));
    Edit3->setAlignment(Qt::AlignRight);
    Edit3->setMaximumWidth(80);
    RadioGroup1 = new RadioGroup(QStringLiteral("Opção Pagamento"),
                                 {QStringLiteral("À Prazo"), QStringLiteral("Parcelado")}, body());
    RadioGroup1->setObjectName(QStringLiteral("RadioGroup1"));
    ComboBox1 = new QComboBox(body());
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->setEditable(true);
    for (int n = 2; n <= 12; ++n)
        ComboBox1->addItem(QString::number(n));
    InputRules::typedAsIs(ComboBox1);
    CalendarPicker1 = new QDateEdit(body());
    CalendarPicker1->setObjectName(QStringLiteral("CalendarPicker1"));
    CalendarPicker1->setCalendarPopup(true);
    CalendarPicker1->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
    CalendarPicker1->setToolTip(QStringLiteral("Data"));
    BConfirmar = new QPushButton(QStringLiteral("Confirmar [F5]"), body());
    BConfirmar->setObjectName(QStringLiteral("BConfirmar"));
    BConfirmar->setAutoDefault(false);
    BConfirmar->setFocusPolicy(Qt::NoFocus);
    BConfirmar->setMinimumHeight(34);
    BConfirmar->setStyleSheet(
        QStringLiteral("QPushButton { background: #12504f; color: white; font-weight: bold; "
                       "border: none; border-radius: 3px; padding: 4px 18px; }"
                       "QPushButton:hover { background: #1a6a69; }"));

    grid->addWidget(new QLabel(QStringLiteral("Nome:"), body()), 0, 0);
    grid->addWidget(DBText1, 0, 1, 1, 3);
    grid->addWidget(new QLabel(QStringLiteral("Descrição:"), body()), 1, 0);
    grid->addWidget(Edit1, 1, 1, 1, 3);
    grid->addWidget(new QLabel(QStringLiteral("Valor Unitário:"), body()), 2, 0);
    grid->addWidget(Edit2, 2, 1);
    grid->addWidget(new QLabel(QStringLiteral("Quant:"), body()), 2, 2);
    grid->addWidget(Edit3, 2, 3);
    grid->addWidget(RadioGroup1, 3, 0, 2, 2);
    grid->addWidget(new QLabel(QStringLiteral("Parc.(x):"), body()), 3, 2);
    grid->addWidget(ComboBox1, 3, 3);
    grid->addWidget(new QLabel(QStringLiteral("Data Vencimento:"), body()), 4, 2);
    grid->addWidget(CalendarPicker1, 4, 3);
    grid->addWidget(BConfirmar, 5, 0, 1, 4);
    grid->setColumnStretch(1, 1);
    setTabOrder(Edit1, Edit2);
    setTabOrder(Edit2, Edit3);
    setTabOrder(Edit3, ComboBox1);
    setTabOrder(ComboBox1, CalendarPicker1);

    connect(RadioGroup1, &RadioGroup::clicked, this, [this] { guarded([this] { RadioGroup1Click(); }); });
    connect(BConfirmar, &QPushButton::clicked, this, [this] { guarded([this] { BConfirmarClick(); }); });
    addFunctionKey(Qt::Key_F5, [this] { BConfirmarClick(); });
    // Enter in the unit value confirms the item.
    keepEnter(Edit2);
    Edit2->installEventFilter(this);
    setMinimumWidth(560);
}

void TFNovaDivida::bindData() {
    DBText1->bind(&DM->DSCadCli, QStringLiteral("NOME"));
}

void TFNovaDivida::FormShow() {
    RadioGroup1->setItemIndex(0);
    RadioGroup1Click();
    Edit1->setFocus();
    CalendarPicker1->setDate(Clock::today().addMonths(1));
    Edit3->setText(QStringLiteral("1"));
}

void TFNovaDivida::RadioGroup1Click() {
    if (RadioGroup1->itemIndex() == 0) {
        ComboBox1->setCurrentIndex(-1);
        ComboBox1->setEditText(QString());
        ComboBox1->setEnabled(false);
        CalendarPicker1->setEnabled(true);
    } else {
        ComboBox1->setEnabled(true);
        CalendarPicker1->setEnabled(false);
    }
}

bool TFNovaDivida::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Edit2 && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            guarded([this] { BConfirmarClick(); });
            return true;
        }
    }
    return Form::eventFilter(watched, event);
}

void TFNovaDivida::BConfirmarClick() {
    DM->TabCadCli.open();
    DM->TabDesc_Compras.open();
    DM->TabDividas.open();

    const bool instalments = RadioGroup1->itemIndex() == 1;
    const QString typedCount = ComboBox1->currentText();
    if (instalments && typedCount.isEmpty()) {
        Messages::warning(QStringLiteral("POR FAVOR SELECIONE O NÚMERO DE PARCELAS"));
        return;
    }
    // Every input converts before anything is written.
    const Currency unit = Currency::parse(Edit2->text());
    const int quantity = ScreenParts::wholeNumber(Edit3->text());
    const int n = instalments ? ScreenParts::wholeNumber(typedCount) : 1;
    if (n < 1)
        return;

    const SaleItem item{Edit1->text(), unit, quantity, Edit3->text()};
    Ledger ledger(*DM);
    if (instalments)
        ledger.creditSaleInInstalments(DM->TabCadCliCODIGO.value(), item, n, typedCount);
    else
        ledger.creditSale(DM->TabCadCliCODIGO.value(), item, CalendarPicker1->date());
    Edit1->clear();
    Edit2->clear();
    Edit1->setFocus();
}
