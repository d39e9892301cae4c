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
    return shrinking(o);
}

// Every text of a slip fits its box: names and the address wrap, and anything still too long prints in
// smaller type, so that the slip keeps its height and three still fill a page.
Band slipBand() {
    Band b{QStringLiteral("Slip"), BandKind::MasterData, SlipHeight, false, {}};
    const TextStyle small{8, false, Qt::black};
    const TextStyle smallBold{8, true, Qt::black};
    const TextStyle caption{7, true, QColor(90, 90, 90)};
    const TextStyle value{11, true, Qt::black};
    const double slipWidth = Width - SlipLeft;
    const double stubWidth = StubWidth - 4;
    b.objects = {
        // The stub the shop keeps.
        shrinking(text(QStringLiteral("StubTitle"), QStringLiteral("CANHOTO DA LOJA"),
                       QRectF(2, 3, stubWidth, 4.5), smallBold)),
        // Three lines of the name.
        wrapping(text(QStringLiteral("StubCustomer"), field("CLIENTE"), QRectF(2, 9, stubWidth, 10), small)),
        shrinking(text(QStringLiteral("StubParcel"), QStringLiteral("Parcela: ") + field("PARCELA"),
                       QRectF(2, 20, stubWidth, 4.5), small)),
        shrinking(text(QStringLiteral("StubDue"), QStringLiteral("Vencimento: ") + field("VENCIMENTO"),
                       QRectF(2, 25.5, stubWidth, 4.5), small)),
        shrinking(text(QStringLiteral("StubValue"), QStringLiteral("Valor: ") + field("VALOR"),
                       QRectF(2, 31, stubWidth, 5), {9, true, Qt::black})),
        shrinking(text(QStringLiteral("StubPaid"), QStringLiteral("Pago em: ____/____/______"),
                       QRectF(2, 46, stubWidth, 4.5), small)),
        shrinking(text(QStringLiteral("StubSignature"), QStringLiteral("Assinatura:"),
                       QRectF(2, 58, stubWidth, 4.5), small)),
        line(QStringLiteral("StubSignatureLine"), QRectF(2, 72, stubWidth, 0)),
        line(QStringLiteral("StubCut"), QRectF(StubWidth + 3, 2, 0, SlipHeight - 8), true),

        // The slip the customer takes. The shop's name takes two lines when it must.
        wrapping(
            text(QStringLiteral("Shop"), field("LOJA"), QRectF(SlipLeft, 2, 88, 9.5), {12, true, Qt::black})),
        placed(shrinking(text(QStringLiteral("Title"), QStringLiteral("CARNÊ DE PAGAMENTO"),
                              QRectF(0, 3.5, 42, 5), {9, true, Qt::black}, Qt::AlignRight | Qt::AlignTop)),
               Place::RightEdge),
        shrinking(text(QStringLiteral("ShopDocument"), field("LOJA_DOCUMENTO"), QRectF(SlipLeft, 12, 62, 4),
                       small)),
        shrinking(text(QStringLiteral("ShopTelephone"), field("LOJA_TELEFONE"),
                       QRectF(SlipLeft + 64, 12, 67, 4), small)),
        line(QStringLiteral("ShopRule"), QRectF(SlipLeft, 16.5, slipWidth, 0)),
        wrapping(text(QStringLiteral("Customer"), QStringLiteral("Cliente: ") + field("CLIENTE"),
                      QRectF(SlipLeft, 18, slipWidth, 7.5), {9, true, Qt::black})),
        shrinking(
            text(QStringLiteral("CustomerCpf"), field("CPF"), QRectF(SlipLeft, 26, slipWidth, 4), small)),
        // Two lines of the address, so that the city and the state are never left out.
        wrapping(text(QStringLiteral("CustomerAddress"), field("ENDERECO"),
                      QRectF(SlipLeft, 30, slipWidth, 6.5), small)),
        shrinking(text(QStringLiteral("DescriptionCaption"), QStringLiteral("Descrição:"),
                       QRectF(SlipLeft, 37.5, 18, 4.5), smallBold)),
        wrapping(text(QStringLiteral("Description"), field("DESCRICAO"),
                      QRectF(SlipLeft + 18, 37.5, slipWidth - 18, 10), small)),
        shrinking(text(QStringLiteral("ParcelCaption"), QStringLiteral("Parcela"),
                       QRectF(SlipLeft, 51, 40, 4), caption)),
        shrinking(text(QStringLiteral("Parcel"), field("PARCELA"), QRectF(SlipLeft, 55.5, 40, 6), value)),
        shrinking(text(QStringLiteral("DueCaption"), QStringLiteral("Vencimento"),
                       QRectF(SlipLeft + 44, 51, 40, 4), caption)),
        shrinking(
            text(QStringLiteral("Due"), field("VENCIMENTO"), QRectF(SlipLeft + 44, 55.5, 40, 6), value)),
        shrinking(text(QStringLiteral("ValueCaption"), QStringLiteral("Valor"),
                       QRectF(SlipLeft + 86, 51, slipWidth - 86, 4), caption, Qt::AlignRight | Qt::AlignTop)),
        shrinking(text(QStringLiteral("Value"), field("VALOR"),
                       QRectF(SlipLeft + 86, 55, slipWidth - 86, 6.5), {12, true, Qt::black},
                       Qt::AlignRight | Qt::AlignTop)),
        line(QStringLiteral("ValueRule"), QRectF(SlipLeft, 65, slipWidth, 0)),
        shrinking(
            text(QStringLiteral("Received"),
                 QStringLiteral("Recebido em ____/____/______   Assinatura: ______________________________"),
                 QRectF(SlipLeft, 72, slipWidth, 4.5), small)),

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
