#include "customers/CustomerListReport.h"

namespace CustomerListReport {

using namespace Report;

namespace {

const QColor Red(255, 0, 0);
const QColor Green(0, 128, 0);
const QColor Blue(0, 0, 255);

QString field(const char* column) {
    return QStringLiteral("[DBCliente.\"%1\"]").arg(QLatin1String(column));
}

Band titleBand() {
    Band b{QStringLiteral("ReportTitle1"), BandKind::ReportTitle, 28, true, {}};
    b.objects = {
        picture(QStringLiteral("Picture1"), QStringLiteral(":/img/logo.png"), QRectF(4, 1, 39, 24)),
        placed(growing(text(QStringLiteral("Memo1"), QStringLiteral("RELATÓRIO DE CLIENTES"),
                            QRectF(0, 4, 0, 8), {18, true, Qt::black})),
               Place::Centred),
        placed(text(QStringLiteral("DBClienteDATA"), field("DATA"), QRectF(0, 21, 40, 5), {10, true, Blue}),
               Place::RightEdge),
        placed(growing(text(QStringLiteral("Memo2"), QStringLiteral("Data de Cadastro:"),
                            QRectF(0, 21.5, 0, 4.5), {9, true, Qt::black})),
               Place::LeftOf, QStringLiteral("DBClienteDATA")),
    };
    return b;
}

Band dataBand() {
    Band b{QStringLiteral("MasterData1"), BandKind::MasterData, 78, true, {}};
    struct Entry {
        const char* label;
        double labelLeft;
        double labelTop;
        const char* column;
        double left;
        double top;
        double width;
        QColor colour;
    };
    const Entry entries[] = {
        {"Nome:", 10, 5, "NOME", 24, 5, 98, Blue},
        {"Telefone:", 126, 5, "TELEFONE", 143, 5, 30, Green},
        {"CPF:", 10, 13, "CPF", 22, 13, 30, Red},
        {"RG:", 59, 13, "RG", 68, 13, 30, Blue},
        {"Endereço:", 10, 23, "ENDERECO", 29, 23, 106, Blue},
        {"N°", 141, 22, "NUMERO", 148, 22, 21, Blue},
        {"Bairro:", 10, 34, "BAIRRO", 24, 34, 49, Blue},
        {"Cidade:", 75, 34, "CIDADE", 91, 34, 35, Blue},
        {"Estado:", 128, 34, "ESTADO", 143, 34, 7, Blue},
        {"CEP:", 154, 34, "CEP", 166, 34, 21, Blue},
        {"Obs:", 10, 45, "OBS", 10, 50, 156, Blue},
    };
    const TextStyle label{9, true, Qt::black};
    for (const Entry& e : entries) {
        const QString column = QLatin1String(e.column);
        // Labels sit on the values' baseline: the smaller type lower in the same 5 mm.
        b.objects << growing(text(QStringLiteral("Label") + column, QString::fromUtf8(e.label),
                                  QRectF(e.labelLeft, e.labelTop + 0.5, 0, 4.5), label));
        Object value = text(QStringLiteral("DBCliente") + column, field(e.column),
                            QRectF(e.left, e.top, e.width, 5), {11, true, e.colour});
        if (column == QLatin1String("OBS")) {
            // Cut at its box: the block keeps its height.
            value.rect.setHeight(25);
            value.wraps = true;
        }
        b.objects << value;
    }
    return b;
}

Band summaryBand() {
    Band b{QStringLiteral("ReportSummary1"), BandKind::Summary, 9, true, {}};
    b.objects = {
        growing(text(QStringLiteral("Memo3"), QStringLiteral("Quantidade de Clientes:"),
                     QRectF(124, 2.5, 0, 4.5), {9, true, Qt::black})),
        growing(text(QStringLiteral("Count"), QStringLiteral("[COUNT(MasterData1)]"), QRectF(164, 2, 0, 5),
                     {11, true, Red})),
    };
    return b;
}

Band pageFooterBand() {
    Band b{QStringLiteral("PageFooter1"), BandKind::PageFooter, 6, false, {}};
    const TextStyle style{9, false, Qt::black};
    b.objects = {
        growing(text(QStringLiteral("Memo4"), QStringLiteral("Página"), QRectF(162, 1, 0, 4.5), style)),
        placed(text(QStringLiteral("Page"), QStringLiteral("[Page#]"), QRectF(0, 1, 16, 4.5), style,
                    Qt::AlignRight | Qt::AlignTop),
               Place::RightEdge),
    };
    return b;
}

} // namespace

Template relCliente() {
    Template t;
    t.name = QStringLiteral("RelCliente");
    t.pageSize = QSizeF(210, 297);
    t.margins = QMarginsF(10, 10, 10, 10);
    t.dataset = QStringLiteral("DBCliente");
    t.bands = {titleBand(), dataBand(), summaryBand(), pageFooterBand()};
    return t;
}

} // namespace CustomerListReport
