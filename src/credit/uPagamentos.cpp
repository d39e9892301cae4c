#include "credit/uPagamentos.h"

#include "credit/uPix.h"
#include "data/Ledger.h"
#include "data/PixCode.h"
#include "data/Shop.h"
#include "data/uDM.h"
#include "platform/core/Errors.h"
#include "platform/core/FilterExpression.h"
#include "platform/widgets/DBGrid.h"
#include "platform/widgets/DataWidgets.h"
#include "platform/widgets/InputRules.h"
#include "platform/widgets/Messages.h"
#include "platform/widgets/ModalHost.h"
#include "platform/widgets/RadioGroup.h"
#include "reports/Printing.h"

#include <QGridLayout>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

TFPagamentos* FPagamentos = nullptr;

namespace {

enum Mode { Total = 0, Parcial = 1, SelecionarCampos = 2 };

// The cash-sale and the ledger conditions on the account.
QString cashSaleAccount() {
    return QStringLiteral("AND Conta = ") + FilterExpression::quoted(LedgerWords::CashAccount);
}

QString ledgerAccount() {
    return QStringLiteral("AND Conta <> ") + FilterExpression::quoted(LedgerWords::CashAccount);
}

// Filtering again reads the ledger afresh, so what the payment wrote shows without another refresh.
void applyFilter(const QString& account) {
    DM->TabDividas.open();
    DM->filterCustomerLedger(account);
}

QIcon pixIcon() {
    QPixmap pm(64, 40);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x32, 0xbc, 0xad));
    p.translate(18, 20);
    p.rotate(45);
    p.drawRoundedRect(QRectF(-10, -10, 20, 20), 4, 4);
    p.resetTransform();
    p.setPen(QColor(0x33, 0x33, 0x33));
    QFont f(QStringLiteral("Liberation Sans"), 13, QFont::Bold);
    p.setFont(f);
    p.drawText(QRect(30, 0, 34, 40), Qt::AlignVCenter | Qt::AlignLeft, QStringLiteral("pix"));
    return QIcon(pm);
}

// The partial payment takes whole currency units only.
bool wholeAmount(const QString& typed) {
    return !typed.isEmpty() &&
           std::all_of(typed.cbegin(), typed.cend(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

QLabel* checkMark(QWidget* parent) {
    auto* l = new QLabel(QStringLiteral("✔"), parent);
    l->setStyleSheet(QStringLiteral("color: #2e7d32; font-size: 16pt; font-weight: bold;"));
    return l;
}

} // namespace

TFPagamentos::TFPagamentos(QWidget* parent)
    : Form(QStringLiteral("Pagamentos"),
           {.borderless = true, .titleStrip = true, .keyPreview = true, .enterMovesFocus = false}, parent) {
    setObjectName(QStringLiteral("FPagamentos"));
    SpeedButton4 = closeButton();
    SpeedButton4->setObjectName(QStringLiteral("SpeedButton4"));

    auto* layout = new QVBoxLayout(body());
    layout->setContentsMargins(14, 10, 14, 12);
    DBText1 = new DBText(body());
    DBText1->setObjectName(QStringLiteral("DBText1"));
    DBText1->setStyleSheet(QStringLiteral("font-size: 13pt; font-weight: bold; color: #12504f;"));
    layout->addWidget(DBText1);

    DBGrid1 = new DBGrid(body());
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    const Qt::Alignment left = Qt::AlignLeft | Qt::AlignVCenter;
    const Qt::Alignment right = Qt::AlignRight | Qt::AlignVCenter;
    DBGrid1->setColumns({{QStringLiteral("DATA"), QStringLiteral("Data"), Qt::AlignCenter, 90},
                         {QStringLiteral("DESCRICAO"), QStringLiteral("Descrição"), left, 220},
                         {QStringLiteral("QUANTIDADE"), QStringLiteral("Quantidade"), right, 80},
                         {QStringLiteral("PARCELA"), QStringLiteral("Modalidade"), left, 110},
                         {QStringLiteral("DATA_VENC"), QStringLiteral("Vencimento"), Qt::AlignCenter, 90},
                         {QStringLiteral("VALOR_UN"), QStringLiteral("Valor Unitário"), right, 110},
                         {QStringLiteral("VALOR"), QStringLiteral("Valor"), right, 110}});
    DBGrid1->setMultiRowSelection(true);
    layout->addWidget(DBGrid1, 1);

    auto* bottom = new QHBoxLayout;
    auto* forms = new QGridLayout;
    SpeedButton1 = new QToolButton(body());
    SpeedButton1->setObjectName(QStringLiteral("SpeedButton1"));
    SpeedButton1->setText(QStringLiteral("Dinheiro"));
    SpeedButton2 = new QToolButton(body());
    SpeedButton2->setObjectName(QStringLiteral("SpeedButton2"));
    SpeedButton2->setText(QStringLiteral("Cartão"));
    SpeedButton3 = new QToolButton(body());
    SpeedButton3->setObjectName(QStringLiteral("SpeedButton3"));
    SpeedButton3->setIcon(pixIcon());
    SpeedButton3->setIconSize(QSize(64, 40));
    SpeedButton3->setToolTip(QStringLiteral("PIX"));
    for (QToolButton* b : {SpeedButton1, SpeedButton2, SpeedButton3}) {
        b->setFocusPolicy(Qt::NoFocus);
        b->setMinimumSize(96, 44);
    }
    Image1 = checkMark(body());
    Image2 = checkMark(body());
    Image3 = checkMark(body());
    forms->addWidget(SpeedButton1, 0, 0);
    forms->addWidget(Image1, 0, 1);
    forms->addWidget(SpeedButton2, 1, 0);
    forms->addWidget(Image2, 1, 1);
    forms->addWidget(SpeedButton3, 2, 0);
    forms->addWidget(Image3, 2, 1);
    bottom->addLayout(forms);

    RadioGroup1 = new RadioGroup(
        QStringLiteral("Modalidade Pagamento"),
        {QStringLiteral("Total"), QStringLiteral("Parcial"), QStringLiteral("Selecionar Campos")}, body());
    RadioGroup1->setObjectName(QStringLiteral("RadioGroup1"));
    bottom->addWidget(RadioGroup1);

    auto* amounts = new QGridLayout;
    const QString big = QStringLiteral("font-size: 13pt; font-weight: bold;");
    amounts->addWidget(new QLabel(QStringLiteral("Entrada R$"), body()), 0, 0);
    Edit1 = new QLineEdit(body());
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setAlignment(Qt::AlignRight);
    Edit1->setStyleSheet(big);
    InputRules::money(Edit1);
    amounts->addWidget(Edit1, 0, 1);
    amounts->addWidget(new QLabel(QStringLiteral("Valor à Pagar"), body()), 1, 0);
    DBText3 = new DBText(body());
    DBText3->setObjectName(QStringLiteral("DBText3"));
    DBText3->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    DBText3->setStyleSheet(big);
    amounts->addWidget(DBText3, 1, 1);
    amounts->addWidget(new QLabel(QStringLiteral("Troco"), body()), 2, 0);
    Label2 = new QLabel(body());
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Label2->setStyleSheet(QStringLiteral("font-size: 13pt; font-weight: bold; color: #2e7d32;"));
    amounts->addWidget(Label2, 2, 1);
    amounts->addWidget(new QLabel(QStringLiteral("Valor Total"), body()), 3, 0);
    DBText2 = new DBText(body());
    DBText2->setObjectName(QStringLiteral("DBText2"));
    DBText2->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    DBText2->setStyleSheet(QStringLiteral("font-size: 13pt; font-weight: bold; color: #b71c1c;"));
    amounts->addWidget(DBText2, 3, 1);
    amounts->setColumnMinimumWidth(1, 170);
    bottom->addLayout(amounts);
    layout->addLayout(bottom);

    BConfirmar = new QPushButton(QStringLiteral("Confirmar [F5]"), body());
    BConfirmar->setObjectName(QStringLiteral("BConfirmar"));
    BConfirmar->setAutoDefault(false);
    BConfirmar->setFocusPolicy(Qt::NoFocus);
    BConfirmar->setMinimumHeight(34);
    BConfirmar->setStyleSheet(
        QStringLiteral("QPushButton { background: #12504f; color: white; font-weight: bold; "
                       "border: none; border-radius: 3px; padding: 4px 18px; }"
                       "QPushButton:hover { background: #1a6a69; }"));
    BRecibo = new QPushButton(QStringLiteral("Recibo [F8]"), body());
    BRecibo->setObjectName(QStringLiteral("BRecibo"));
    BPix = new QPushButton(QStringLiteral("PIX [F9]"), body());
    BPix->setObjectName(QStringLiteral("BPix"));
    for (QPushButton* b : {BRecibo, BPix}) {
        b->setAutoDefault(false);
        b->setFocusPolicy(Qt::NoFocus);
        b->setMinimumHeight(34);
        b->setStyleSheet(
            QStringLiteral("QPushButton { color: #12504f; font-weight: bold; padding: 4px 14px; }"));
    }
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(BRecibo);
    buttons->addWidget(BPix);
    buttons->addWidget(BConfirmar, 1);
    layout->addLayout(buttons);

    connect(SpeedButton1, &QToolButton::clicked, this, [this] { guarded([this] { SpeedButton1Click(); }); });
    connect(SpeedButton2, &QToolButton::clicked, this, [this] { guarded([this] { SpeedButton2Click(); }); });
    connect(SpeedButton3, &QToolButton::clicked, this, [this] { guarded([this] { SpeedButton3Click(); }); });
    connect(RadioGroup1, &RadioGroup::clicked, this, [this] { guarded([this] { RadioGroup1Click(); }); });
    connect(DBGrid1, &QTableView::clicked, this, [this] { guarded([this] { DBGrid1CellClick(); }); });
    // The keys change the selection too (arrows, typing a name in the grid): the sum shown is what gets paid.
    connect(DBGrid1->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (RadioGroup1->itemIndex() == SelecionarCampos && !DBText3->text().isEmpty())
            guarded([this] { showSelectedSum(); });
    });
    connect(BConfirmar, &QPushButton::clicked, this, [this] { guarded([this] { BConfirmarClick(); }); });
    connect(BRecibo, &QPushButton::clicked, this, [this] { guarded([this] { BReciboClick(); }); });
    connect(BPix, &QPushButton::clicked, this, [this] { guarded([this] { BPixClick(); }); });
    addFunctionKey(Qt::Key_F5, [this] { BConfirmarClick(); });
    addFunctionKey(Qt::Key_F8, [this] { BReciboClick(); });
    addFunctionKey(Qt::Key_F9, [this] { BPixClick(); });
    Edit1->installEventFilter(this);
    resize(880, 560);
}

void TFPagamentos::bindData() {
    DBText1->bind(&DM->DSCadCli, QStringLiteral("NOME"));
    DBGrid1->bind(&DM->DSDividas);
    DBText2->bind(&DM->DSDividas, QStringLiteral("Soma"));
}

bool TFPagamentos::fromCashSale() const {
    return m_fromCashSale;
}

QString TFPagamentos::formOfPayment() const {
    if (Image2->isVisibleTo(this))
        return QStringLiteral("Cartão");
    if (Image3->isVisibleTo(this))
        return QStringLiteral("PIX");
    return QStringLiteral("Dinheiro");
}

void TFPagamentos::choose(QLabel* mark) {
    for (QLabel* m : {Image1, Image2, Image3})
        m->setVisible(m == mark);
}

void TFPagamentos::SpeedButton1Click() {
    choose(Image1);
}

void TFPagamentos::SpeedButton2Click() {
    choose(Image2);
}

void TFPagamentos::SpeedButton3Click() {
    choose(Image3);
}

void TFPagamentos::FormShow() {
    m_receipt.reset();
    if (fromCashSale()) {
        RadioGroup1->setItemIndex(Total);
        RadioGroup1->setEnabled(false);
        applyFilter(cashSaleAccount());
    } else {
        DM->TabCadCli.open();
        applyFilter(ledgerAccount());
        Edit1->clear();
        Label2->clear();
        RadioGroup1->setEnabled(true);
        RadioGroup1->setItemIndex(Total);
    }
    RadioGroup1Click();
    DBGrid1->clearSelection();
    Edit1->setFocus();
    choose(Image1);
}

void TFPagamentos::RadioGroup1Click() {
    switch (RadioGroup1->itemIndex()) {
    case Total:
        DBText3->bind(&DM->DSDividas, QStringLiteral("Soma"));
        DBText3->show();
        break;
    case Parcial:
        DBText3->hide();
        break;
    default:
        DBText3->bind(nullptr, QString());
        DBText3->show();
    }
}

void TFPagamentos::DBGrid1CellClick() {
    if (!fromCashSale()) {
        RadioGroup1->setItemIndex(SelecionarCampos);
        RadioGroup1Click();
        DBText3->bind(nullptr, QString());
        Label2->setText(QStringLiteral(" "));
        showSelectedSum();
    }
    Edit1->setFocus();
}

void TFPagamentos::showSelectedSum() {
    const QVector<int> rows = DBGrid1->selectedRowNumbers();
    if (rows.isEmpty()) {
        DBText3->setText(QString());
        return;
    }
    Currency sum;
    const int value = DM->TabDividas.columnIndex(QStringLiteral("VALOR"));
    for (int r : rows)
        sum += DM->TabDividas.rowAt(r).value(value).value<Currency>();
    Pag_Sel = sum;
    DBText3->setText(Pag_Sel.format());
}

bool TFPagamentos::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Edit1 && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            guarded([this] { Edit1Enter(); });
            return true;
        }
    }
    return Form::eventFilter(watched, event);
}

void TFPagamentos::Edit1Enter() {
    const Currency amount = Currency::parse(Edit1->text());
    if (nothingOpen()) {
        BConfirmarClick();
        return;
    }
    switch (RadioGroup1->itemIndex()) {
    case Total: {
        const Currency due = DM->TabDividas.aggregate(QStringLiteral("Soma")).value_or(Currency());
        if (amount < due) {
            Messages::warning(QStringLiteral("VALOR MENOR QUE O VALOR A PAGAR"));
            Edit1->clear();
            Edit1->setFocus();
            return;
        }
        Label2->setText((amount - due).format());
        Edit1->setText(amount.format());
        BConfirmarClick();
        break;
    }
    case Parcial:
        // A part payment gives nothing back: the change of an earlier payment must not stay in view.
        Label2->clear();
        BConfirmarClick();
        break;
    default:
        // With nothing selected the kept sum belongs to rows already paid: the confirmation asks for rows.
        if (DBText3->text().isEmpty()) {
            BConfirmarClick();
            return;
        }
        if (amount < Pag_Sel) {
            Messages::warning(QStringLiteral("VALOR MENOR QUE O VALOR A PAGAR"));
            Edit1->clear();
            Edit1->setFocus();
            return;
        }
        Label2->setText((amount - Pag_Sel).format());
        BConfirmarClick();
    }
}

void TFPagamentos::BConfirmarClick() {
    // Whatever the outcome, the caller's view is shown again and the amount field emptied.
    struct Closing {
        TFPagamentos* screen;
        ~Closing() {
            guarded([this] { screen->closingSteps(); });
        }
    } closing{this};
    switch (RadioGroup1->itemIndex()) {
    case Total:
        payTotal();
        break;
    case Parcial:
        payPart();
        break;
    default:
        paySelected();
    }
}

void TFPagamentos::closingSteps() {
    applyFilter(fromCashSale() ? cashSaleAccount() : ledgerAccount());
    Edit1->clear();
    // The rows are read again and the selection with them; the sum of the selection goes too, so that a later
    // confirmation asks for a selection instead of paying nothing.
    DBGrid1->clearSelection();
    if (RadioGroup1->itemIndex() == SelecionarCampos)
        DBText3->setText(QString());
}

bool TFPagamentos::nothingOpen() const {
    return !DM->TabDividas.aggregate(QStringLiteral("Soma")).has_value();
}

bool TFPagamentos::refusedAsEmpty() const {
    if (!nothingOpen())
        return false;
    Messages::warning(QStringLiteral("BANCO DE DADOS VAZIO"));
    Edit1->setFocus();
    return true;
}

void TFPagamentos::payTotal() {
    if (Edit1->text().isEmpty()) {
        Messages::warning(QStringLiteral("FAVOR DIGITE O VALOR"));
        Edit1->setFocus();
        return;
    }
    if (refusedAsEmpty())
        return;
    if (!Messages::confirm(QStringLiteral("Deseja Confirmar o Pagamento?")))
        return;
    const Currency due = DM->TabDividas.aggregate(QStringLiteral("Soma")).value_or(Currency());
    // From the cash sale the items listed are paid, which are this till's own: another till's items of the
    // same customer are for it to pay.
    if (fromCashSale())
        settle([this] { return Ledger(*DM).settleSelected(shownEntries(), formOfPayment()); });
    else
        settle([this, due] {
            return Ledger(*DM).settleAll(DM->TabCadCliCODIGO.value(), formOfPayment(), false, due);
        });
}

void TFPagamentos::payPart() {
    if (Edit1->text().isEmpty()) {
        Messages::warning(QStringLiteral("FAVOR DIGITE O VALOR"));
        Edit1->setFocus();
        return;
    }
    if (refusedAsEmpty())
        return;
    if (!Messages::confirm(QStringLiteral("Deseja Confirmar o Pagamento?")))
        return;
    const Currency VSoma = DM->TabDividas.aggregate(QStringLiteral("Soma")).value_or(Currency());
    // A whole number of currency units; one too large for money is refused like any other bad amount.
    const QString typed = Edit1->text().trimmed();
    if (!wholeAmount(typed))
        throw ConversionError::invalidValue(Edit1->text());
    const Currency VParcial = Currency::parse(typed);
    settle([this, VSoma, VParcial] {
        return Ledger(*DM).settlePart(DM->TabCadCliCODIGO.value(), VSoma, VParcial, formOfPayment());
    });
}

void TFPagamentos::paySelected() {
    if (Edit1->text().isEmpty()) {
        Messages::warning(
            QStringLiteral("FAVOR DIGITE O VALOR E SELECIONE NA TABELA A(S) CONTA(S) A PAGAR "));
        Edit1->setFocus();
        return;
    }
    if (DBText3->text().isEmpty()) {
        Messages::warning(QStringLiteral("FAVOR SELECIONE UM REGISTRO NA TABELA A(S) CONTA(S) A PAGAR "));
        Edit1->setFocus();
        return;
    }
    if (!Messages::confirm(QStringLiteral("Deseja Confirmar o Pagamento?")))
        return;
    const QVector<ShownEntry> entries = shownEntries(DBGrid1->selectedRowNumbers());
    settle([this, &entries] { return Ledger(*DM).settleSelected(entries, formOfPayment()); });
}

QVector<ShownEntry> TFPagamentos::shownEntries(std::optional<QVector<int>> rows) const {
    const TableDataset& ledger = DM->TabDividas;
    if (!rows) {
        rows.emplace();
        for (int r = 0; r < ledger.recordCount(); ++r)
            rows->append(r);
    }
    const int key = ledger.columnIndex(QStringLiteral("CODIGO"));
    const int value = ledger.columnIndex(QStringLiteral("VALOR"));
    QVector<ShownEntry> entries;
    for (int r : *rows) {
        const Row row = ledger.rowAt(r);
        entries.append({row.value(key), row.value(value).value<Currency>()});
    }
    return entries;
}

void TFPagamentos::settle(const std::function<Settlement()>& payment) {
    try {
        keepReceipt(payment());
    } catch (const AccountChanged& changed) {
        // Nothing was paid: no change to give. The closing steps show the account as it is now.
        Label2->clear();
        Messages::warning(changed.message());
    }
}

void TFPagamentos::keepReceipt(const Settlement& settlement) {
    if (settlement.entries.isEmpty() && !settlement.partial)
        return;
    ReceiptReport::Receipt receipt;
    receipt.customer = DM->TabCadCliNOME.asString();
    receipt.settlement = settlement;
    // The amount handed over as typed, or as Enter showed it.
    try {
        receipt.received = Currency::parseDisplayed(Edit1->text());
    } catch (const BrolaviError&) {
        receipt.received.reset();
    }
    m_receipt = receipt;
    // The change shown is the confirmed payment's, as its receipt prints it.
    Label2->setText(ReceiptReport::change(receipt).format());
}

void TFPagamentos::BReciboClick() {
    if (!m_receipt) {
        Messages::warning(QStringLiteral("NENHUM PAGAMENTO PARA IMPRIMIR"));
        return;
    }
    ReceiptReport::Receipt receipt = *m_receipt;
    receipt.shop = Shop(DM->FDConnection1).details();
    Printing::show(ReceiptReport::prepared(receipt), this);
}

std::optional<Currency> TFPagamentos::pixAmount() const {
    Currency amount;
    switch (RadioGroup1->itemIndex()) {
    case Total:
        amount = DM->TabDividas.aggregate(QStringLiteral("Soma")).value_or(Currency());
        break;
    case Parcial: {
        const QString typed = Edit1->text().trimmed();
        if (typed.isEmpty()) {
            Messages::warning(QStringLiteral("FAVOR DIGITE O VALOR"));
            return std::nullopt;
        }
        if (!wholeAmount(typed)) {
            Messages::warning(QStringLiteral("VALOR INVÁLIDO PARA O PAGAMENTO PARCIAL"));
            return std::nullopt;
        }
        amount = Currency::parse(typed);
        break;
    }
    default:
        if (DBText3->text().isEmpty()) {
            Messages::warning(QStringLiteral("FAVOR SELECIONE UM REGISTRO NA TABELA A(S) CONTA(S) A PAGAR "));
            return std::nullopt;
        }
        amount = Pag_Sel;
    }
    if (amount.cents() <= 0) {
        Messages::warning(QStringLiteral("NENHUM VALOR A PAGAR"));
        return std::nullopt;
    }
    return amount;
}

void TFPagamentos::BPixClick() {
    if (formOfPayment() != LedgerWords::Pix) {
        Messages::plain(QStringLiteral("ESCOLHA PIX COMO FORMA DE PAGAMENTO"));
        return;
    }
    const ShopDetails shop = Shop(DM->FDConnection1).details();
    if (shop.pixKey.isEmpty()) {
        Messages::warning(QStringLiteral("CADASTRE A CHAVE PIX DA LOJA"));
        return;
    }
    const std::optional<Currency> amount = pixAmount();
    if (!amount)
        return;
    FPix->setPayment(PixCode::payload(shop, *amount), *amount);
    ModalHost::show(FPix);
    Edit1->setFocus();
}
