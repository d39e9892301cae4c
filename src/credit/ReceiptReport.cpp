#include "credit/ReceiptReport.h"

#include "platform/core/Formats.h"
#include "reports/ReportLayout.h"
#include "reports/ReportSource.h"
#include "reports/RowList.h"

namespace ReceiptReport {

using namespace Report;

namespace {

const QString Lines = QStringLiteral("DBRecibo");
const QColor Teal(0x12, 0x50, 0x4f);

QString field(const char* column) {
    return QStringLiteral("[DBRecibo.\"%1\"]").arg(QLatin1String(column));
}

Band titleBand() {
    Band b{QStringLiteral("ReportTitle1"), BandKind::ReportTitle, 64, false, {}};
    const TextStyle plain{10, false, Qt::black};
    b.objects = {
        text(QStringLiteral("ShopName"), QString(), QRectF(0, 0, 180, 7), {15, true, Teal}),
        text(QStringLiteral("ShopDocument"), QString(), QRectF(0, 8, 180, 5), plain),
        text(QStringLiteral("ShopAddress"), QString(), QRectF(0, 13, 180, 5), plain),
        text(QStringLiteral("ShopTelephone"), QString(), QRectF(0, 18, 180, 5), plain),
        placed(growing(text(QStringLiteral("Title"), QStringLiteral("RECIBO DE PAGAMENTO"),
                            QRectF(0, 29, 0, 8), {16, true, Qt::black})),
               Place::Centred),
        text(QStringLiteral("Customer"), QString(), QRectF(0, 41, 180, 6), {12, true, Qt::black}),
        text(QStringLiteral("PaidAt"), QString(), QRectF(0, 48, 180, 5), plain),
        text(QStringLiteral("FormOfPayment"), QString(), QRectF(0, 54, 180, 5), plain),
    };
    return b;
}

struct Column {
    const char* caption;
    const char* field;
    double left;
    double width;
    Qt::Alignment align;
};

const Column Columns[] = {
    {"Descrição", "DESCRICAO", 2, 96, Qt::AlignLeft},
    {"Parcela", "PARCELA", 100, 30, Qt::AlignLeft},
    {"Vencimento", "DATA_VENC", 131, 22, Qt::AlignHCenter},
    {"Valor", "VALOR", 154, 24, Qt::AlignRight},
};

Band pageHeaderBand() {
    Band b{QStringLiteral("PageHeader1"), BandKind::PageHeader, 8, true, {}};
    int n = 0;
    for (const Column& c : Columns)
        b.objects << text(QStringLiteral("Header%1").arg(++n), QString::fromUtf8(c.caption),
                          QRectF(c.left, 2, c.width, 5), {9, true, Qt::black}, c.align | Qt::AlignTop);
    return b;
}

Band dataBand() {
    Band b{QStringLiteral("MasterData1"), BandKind::MasterData, 7, false, {}};
    for (const Column& c : Columns) {
        Object o = text(QStringLiteral("DBRecibo") + QLatin1String(c.field), field(c.field),
                        QRectF(c.left, 1, c.width, 5), {10, false, Qt::black}, c.align | Qt::AlignTop);
        o.wraps = o.stretches = QLatin1String(c.field) == QLatin1String("DESCRICAO");
        b.objects << o;
    }
    return b;
}

Band summaryBand() {
    Band b{QStringLiteral("ReportSummary1"), BandKind::Summary, 32, true, {}};
    const char* rows[][2] = {{"PaidLabel", "Total pago:"},
                             {"ReceivedLabel", "Valor recebido:"},
                             {"ChangeLabel", "Troco:"},
                             {"StillOpenLabel", "Saldo em aberto:"}};
    double top = 2;
    for (const auto& [name, caption] : rows) {
        const bool last = QLatin1String(name) == QLatin1String("StillOpenLabel");
        const TextStyle style{last ? 12.0 : 11.0, true, last ? QColor(0xb7, 0x1c, 0x1c) : Qt::black};
        const QString label = QString::fromLatin1(name);
        b.objects << text(label, QString::fromUtf8(caption), QRectF(80, top, 68, 6), style,
                          Qt::AlignRight | Qt::AlignTop)
                  << text(label.chopped(5), QString(), QRectF(150, top, 28, 6), style,
                          Qt::AlignRight | Qt::AlignTop);
        top += last ? 9 : 7;
    }
    return b;
}

QString labelled(const QString& label, const QString& value) {
    return value.trimmed().isEmpty() ? QString() : label + value;
}

} // namespace

Currency change(const Receipt& receipt) {
    // An amount below what was paid (confirmed without the check Enter makes) leaves no change.
    const Currency paid = receipt.settlement.paid;
    return receipt.received && *receipt.received > paid ? *receipt.received - paid : Currency();
}

Template recibo() {
    Template t;
    t.name = QStringLiteral("Recibo");
    t.pageSize = QSizeF(210, 297);
    t.margins = QMarginsF(15, 15, 15, 15);
    t.dataset = Lines;
    t.bands = {titleBand(), pageHeaderBand(), dataBand(), summaryBand()};
    return t;
}

Prepared prepared(const Receipt& receipt) {
    Template t = recibo();
    const ShopDetails& shop = receipt.shop;
    const Settlement& paid = receipt.settlement;
    t.setText(QStringLiteral("ShopName"), shop.name);
    t.setText(QStringLiteral("ShopDocument"), labelled(QStringLiteral("CPF/CNPJ: "), shop.document));
    QStringList place;
    for (const QString& part : {shop.address, shop.city})
        if (!part.trimmed().isEmpty())
            place << part.trimmed();
    t.setText(QStringLiteral("ShopAddress"), place.join(QStringLiteral(" - ")));
    t.setText(QStringLiteral("ShopTelephone"), labelled(QStringLiteral("Telefone: "), shop.telephone));
    t.setText(QStringLiteral("Customer"), QStringLiteral("Cliente: ") + receipt.customer);
    t.setText(QStringLiteral("PaidAt"), QStringLiteral("Data: ") + Formats::date(paid.paidAt.date()) + u' ' +
                                            paid.paidAt.time().toString(Formats::LongTime));
    t.setText(QStringLiteral("FormOfPayment"), QStringLiteral("Forma de pagamento: ") + paid.formOfPayment);
    t.setText(QStringLiteral("Paid"), paid.paid.format());
    t.setText(QStringLiteral("Received"), receipt.received ? receipt.received->format() : QString());
    t.setText(QStringLiteral("Change"), change(receipt).format());
    // More paid than owed leaves the customer a credit, not a debt below zero.
    const bool credit = paid.stillOpen < Currency();
    t.setText(QStringLiteral("StillOpenLabel"),
              credit ? QStringLiteral("Crédito do cliente:") : QStringLiteral("Saldo em aberto:"));
    t.setText(QStringLiteral("StillOpen"), (credit ? -paid.stillOpen : paid.stillOpen).format());

    QVector<Row> rows;
    if (paid.partial)
        rows << Row{QStringLiteral("Pagamento parcial"), QVariant(), QVariant(),
                    QVariant::fromValue(*paid.partial)};
    for (const Settlement::Entry& e : paid.entries)
        rows << Row{e.description, e.instalment, e.due, QVariant::fromValue(e.value)};
    RowList lines({QStringLiteral("DESCRICAO"), QStringLiteral("PARCELA"), QStringLiteral("DATA_VENC"),
                   QStringLiteral("VALOR")},
                  rows);
    PositionSource source(Lines, lines);
    return prepare(t, source);
}

} // namespace ReceiptReport
