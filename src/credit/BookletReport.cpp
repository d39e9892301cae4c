#include "credit/BookletReport.h"

#include "data/Shop.h"
#include "platform/core/Formats.h"
#include "reports/ReportLayout.h"
#include "reports/ReportSource.h"
#include "reports/RowList.h"

#include <QStringList>

namespace BookletReport {

using namespace Report;

namespace {

const QString Dataset = QStringLiteral("Carne");
const QStringList Columns = {
    QStringLiteral("LOJA"),          QStringLiteral("LOJA_DOCUMENTO"),
    QStringLiteral("LOJA_TELEFONE"), QStringLiteral("CLIENTE"),
    QStringLiteral("CPF"),           QStringLiteral("ENDERECO"),
    QStringLiteral("DESCRICAO"),     QStringLiteral("PARCELA"),
    QStringLiteral("VENCIMENTO"),    QStringLiteral("VALOR"),
};

// Three slips fill the 277 mm between the margins of an A4 page.
constexpr double SlipHeight = 92;
constexpr double StubWidth = 52;
constexpr double SlipLeft = 59;
constexpr double Width = 190;

QString field(const char* column) {
    return QStringLiteral("[%1.\"%2\"]").arg(Dataset, QLatin1String(column));
}

// "Label: value", or nothing when there is no value.
QString labelled(const QString& label, const QString& value) {
    return value.trimmed().isEmpty() ? QString() : label + QStringLiteral(" ") + value.trimmed();
}

QString shopDocument(const QString& document) {
    // Stored masked: 14 characters for a CPF, 18 for a CNPJ.
    return labelled(document.trimmed().size() > 14 ? QStringLiteral("CNPJ:") : QStringLiteral("CPF:"),
                    document);
}

Object wrapping(Object o) {
    o.wraps = true;
    return o;
}

Band slipBand() {
    Band b{QStringLiteral("Slip"), BandKind::MasterData, SlipHeight, false, {}};
    const TextStyle small{8, false, Qt::black};
    const TextStyle smallBold{8, true, Qt::black};
    const TextStyle caption{7, true, QColor(90, 90, 90)};
    const TextStyle value{11, true, Qt::black};
    const double slipWidth = Width - SlipLeft;
    b.objects = {
        // The stub the shop keeps.
        text(QStringLiteral("StubTitle"), QStringLiteral("CANHOTO DA LOJA"), QRectF(2, 3, StubWidth - 4, 4.5),
             smallBold),
        wrapping(
            text(QStringLiteral("StubCustomer"), field("CLIENTE"), QRectF(2, 9, StubWidth - 4, 7), small)),
        text(QStringLiteral("StubParcel"), QStringLiteral("Parcela: ") + field("PARCELA"),
             QRectF(2, 18, StubWidth - 4, 4.5), small),
        text(QStringLiteral("StubDue"), QStringLiteral("Vencimento: ") + field("VENCIMENTO"),
             QRectF(2, 24, StubWidth - 4, 4.5), small),
        text(QStringLiteral("StubValue"), QStringLiteral("Valor: ") + field("VALOR"),
             QRectF(2, 30, StubWidth - 4, 5), {9, true, Qt::black}),
        text(QStringLiteral("StubPaid"), QStringLiteral("Pago em: ____/____/______"),
             QRectF(2, 46, StubWidth - 4, 4.5), small),
        text(QStringLiteral("StubSignature"), QStringLiteral("Assinatura:"),
             QRectF(2, 58, StubWidth - 4, 4.5), small),
        line(QStringLiteral("StubSignatureLine"), QRectF(2, 72, StubWidth - 4, 0)),
        line(QStringLiteral("StubCut"), QRectF(StubWidth + 3, 2, 0, SlipHeight - 8), true),

        // The slip the customer takes.
        text(QStringLiteral("Shop"), field("LOJA"), QRectF(SlipLeft, 3, 88, 6), {12, true, Qt::black}),
        placed(text(QStringLiteral("Title"), QStringLiteral("CARNÊ DE PAGAMENTO"), QRectF(0, 3.5, 42, 5),
                    {9, true, Qt::black}, Qt::AlignRight | Qt::AlignTop),
               Place::RightEdge),
        text(QStringLiteral("ShopDocument"), field("LOJA_DOCUMENTO"), QRectF(SlipLeft, 10, 62, 4.5), small),
        text(QStringLiteral("ShopTelephone"), field("LOJA_TELEFONE"), QRectF(SlipLeft + 64, 10, 67, 4.5),
             small),
        line(QStringLiteral("ShopRule"), QRectF(SlipLeft, 16, slipWidth, 0)),
        text(QStringLiteral("Customer"), QStringLiteral("Cliente: ") + field("CLIENTE"),
             QRectF(SlipLeft, 18.5, slipWidth, 5), {9, true, Qt::black}),
        text(QStringLiteral("CustomerCpf"), field("CPF"), QRectF(SlipLeft, 24, slipWidth, 4.5), small),
        text(QStringLiteral("CustomerAddress"), field("ENDERECO"), QRectF(SlipLeft, 29, slipWidth, 4.5),
             small),
        text(QStringLiteral("DescriptionCaption"), QStringLiteral("Descrição:"),
             QRectF(SlipLeft, 36, 18, 4.5), smallBold),
        wrapping(text(QStringLiteral("Description"), field("DESCRICAO"),
                      QRectF(SlipLeft + 18, 36, slipWidth - 18, 11), small)),
        text(QStringLiteral("ParcelCaption"), QStringLiteral("Parcela"), QRectF(SlipLeft, 51, 40, 4),
             caption),
        text(QStringLiteral("Parcel"), field("PARCELA"), QRectF(SlipLeft, 55.5, 40, 6), value),
        text(QStringLiteral("DueCaption"), QStringLiteral("Vencimento"), QRectF(SlipLeft + 44, 51, 40, 4),
             caption),
        text(QStringLiteral("Due"), field("VENCIMENTO"), QRectF(SlipLeft + 44, 55.5, 40, 6), value),
        text(QStringLiteral("ValueCaption"), QStringLiteral("Valor"),
             QRectF(SlipLeft + 86, 51, slipWidth - 86, 4), caption, Qt::AlignRight | Qt::AlignTop),
        text(QStringLiteral("Value"), field("VALOR"), QRectF(SlipLeft + 86, 55, slipWidth - 86, 6.5),
             {12, true, Qt::black}, Qt::AlignRight | Qt::AlignTop),
        line(QStringLiteral("ValueRule"), QRectF(SlipLeft, 65, slipWidth, 0)),
        text(QStringLiteral("Received"),
             QStringLiteral("Recebido em ____/____/______   Assinatura: ______________________________"),
             QRectF(SlipLeft, 72, slipWidth, 4.5), small),

        // Where the page is cut between slips.
        line(QStringLiteral("Cut"), QRectF(0, SlipHeight - 3, Width, 0), true),
    };
    return b;
}

} // namespace

Template carne() {
    Template t;
    t.name = QStringLiteral("Carne");
    t.pageSize = QSizeF(210, 297);
    t.margins = QMarginsF(10, 10, 10, 10);
    t.dataset = Dataset;
    t.bands = {slipBand()};
    return t;
}

QString addressLine(const BookletCustomer& customer) {
    QString street = customer.street.trimmed();
    if (!customer.number.trimmed().isEmpty())
        street += (street.isEmpty() ? QString() : QStringLiteral(", ")) + customer.number.trimmed();
    QString city = customer.city.trimmed();
    if (!customer.state.trimmed().isEmpty())
        city += (city.isEmpty() ? QString() : QStringLiteral("/")) + customer.state.trimmed();
    QStringList parts;
    for (const QString& part : {street, customer.district.trimmed(), city})
        if (!part.isEmpty())
            parts << part;
    return parts.join(QStringLiteral(" - "));
}

Prepared prepare(const ShopDetails& shop, const BookletCustomer& customer,
                 const QVector<OpenInstalment>& instalments) {
    RowList rows(Columns);
    for (const OpenInstalment& i : instalments)
        rows.append({shop.name, shopDocument(shop.document),
                     labelled(QStringLiteral("Tel.:"), shop.telephone), customer.name,
                     labelled(QStringLiteral("CPF:"), customer.cpf),
                     labelled(QStringLiteral("Endereço:"), addressLine(customer)), i.description,
                     Booklet::parcelText(i.label), Formats::date(i.due), QVariant::fromValue(i.value)});
    PositionSource source(Dataset, rows);
    return Report::prepare(carne(), source);
}

} // namespace BookletReport
