#include "consultation/CashFlowReport.h"

#include "platform/core/Clock.h"
#include "platform/core/Formats.h"

#include <QLocale>

namespace CashFlowReport {

using namespace Report;

namespace {

const QColor Red(255, 0, 0);
const QColor Blue(0, 0, 255);

Band titleBand() {
    Band b{QStringLiteral("ReportTitle1"), BandKind::ReportTitle, 25, true, {}};
    const TextStyle small{9, true, Qt::black};
    const TextStyle headline{14, true, Red};
    b.objects = {
        picture(QStringLiteral("Picture1"), QStringLiteral(":/img/logo.png"), QRectF(6, 1, 33, 23)),
        placed(growing(text(QStringLiteral("Memo2"), QStringLiteral("RELATÓRIO"), QRectF(0, 1, 0, 8),
                            {18, true, Qt::black})),
               Place::Centred),
        placed(growing(text(QStringLiteral("Date"), QStringLiteral("[Date]"), QRectF(1, 2, 0, 4.5), small)),
               Place::RightEdge),
        placed(growing(text(QStringLiteral("Memo13"), QStringLiteral("Data:"), QRectF(0, 2, 0, 4.5), small)),
               Place::LeftOf, QStringLiteral("Date")),
        placed(growing(text(QStringLiteral("Memo3"), QString(), QRectF(1, 9, 0, 6.5), headline)),
               Place::RightEdge),
        placed(growing(text(QStringLiteral("Memo19"), QString(), QRectF(0, 11, 0, 6.5), {14, true, Blue})),
               Place::Centred),
        text(QStringLiteral("Memo14"), QStringLiteral("Período:"), QRectF(181, 18, 15, 4.5), small),
        growing(text(QStringLiteral("Memo16"), QString(), QRectF(196, 18, 0, 4.5), small)),
        growing(text(QStringLiteral("Memo17"), QString(), QRectF(217, 18, 0, 4.5), small)),
        growing(text(QStringLiteral("Memo18"), QString(), QRectF(226, 18, 0, 4.5), small)),
    };
    return b;
}

// The table's columns, each under its caption. Money and dates are never cut: their columns hold the widest
// everyday values (R$ 99.999.999,99 bold, a payment's date and time) in the rows' type, taken from the
// description, which wraps; a larger value prints smaller to fit its column.
struct Column {
    const char* field;
    const char* caption;
    double left;
    double width;
    Qt::Alignment align;
    bool value; // money, a number or a date: shrinks to fit instead of being cut
};

const Column Columns[] = {
    {"DATA", "Data", 3, 15, Qt::AlignHCenter, true},
    {"NOME", "Nome", 19, 51, Qt::AlignLeft, false},
    {"DESCRICAO", "Descrição", 71, 55, Qt::AlignLeft, false},
    {"PARCELA", "Modalidade", 127, 17, Qt::AlignHCenter, false},
    {"QUANTIDADE", "Quantidade", 146, 15, Qt::AlignHCenter, true},
    {"VALOR_UN", "Valor Unitário", 163, 23, Qt::AlignRight, true},
    {"VALOR", "Valor", 188, 23, Qt::AlignRight, true},
    {"DATA_VENC", "Vencimento", 213, 17, Qt::AlignHCenter, true},
    {"DATA_PAG", "Data Pagamento", 232, 24, Qt::AlignHCenter, true},
    {"FORM_PAG", "Forma Pagamento", 257, 19, Qt::AlignHCenter, false},
};

Band pageHeaderBand() {
    Band b{QStringLiteral("PageHeader1"), BandKind::PageHeader, 13, false, {}};
    const TextStyle title{8, true, Qt::black};
    int n = 0;
    for (const Column& c : Columns) {
        const QString name = QStringLiteral("Header%1").arg(++n);
        const QString caption = QString::fromUtf8(c.caption);
        const QString field = QString::fromLatin1(c.field);
        if (field == QLatin1String("DATA_PAG") || field == QLatin1String("FORM_PAG")) {
            // Two lines each, centred in a box over their column.
            constexpr double Box = 20;
            Object o = text(name, caption, QRectF(c.left + (c.width - Box) / 2, 0, Box, 13), title,
                            Qt::AlignHCenter | Qt::AlignVCenter);
            o.wraps = true;
            b.objects << o;
        } else {
            // Aligned as its column's values are, widening to its own side if the caption is the wider.
            b.objects << growing(
                text(name, caption, QRectF(c.left, 4, c.width, 4), title, c.align | Qt::AlignTop));
        }
    }
    return b;
}

Band dataBand() {
    Band b{QStringLiteral("MasterData1"), BandKind::MasterData, 9, true, {}};
    const TextStyle plain{7, false, Qt::black};
    for (const Column& c : Columns) {
        const QString field = QString::fromLatin1(c.field);
        Object o =
            text(QStringLiteral("DBRelatorio") + field, QStringLiteral("[DBRelatorio.\"%1\"]").arg(field),
                 QRectF(c.left, 1, c.width, 7), plain, c.align | Qt::AlignTop);
        if (field == QLatin1String("DESCRICAO"))
            o.wraps = o.stretches = true;
        else if (field == QLatin1String("VALOR_UN"))
            o.style.bold = true;
        o.shrinks = c.value;
        b.objects << o;
    }
    return b;
}

Band footerBand() {
    Band b{QStringLiteral("Footer1"), BandKind::Footer, 10, false, {}};
    const TextStyle total{12, true, Blue};
    b.objects = {
        placed(growing(text(QStringLiteral("DBRelatorioSoma"), QStringLiteral("[DBRelatorio.\"Soma\"]"),
                            QRectF(1, 3, 0, 6), total)),
               Place::RightEdge),
        placed(
            growing(text(QStringLiteral("Memo4"), QStringLiteral("Valor Total:"), QRectF(0, 3, 0, 6), total)),
            Place::LeftOf, QStringLiteral("DBRelatorioSoma")),
    };
    return b;
}

Band pageFooterBand() {
    Band b{QStringLiteral("PageFooter1"), BandKind::PageFooter, 6, false, {}};
    const TextStyle style{9, false, Qt::black};
    b.objects = {
        placed(growing(text(QStringLiteral("Page"), QStringLiteral("[Page]"), QRectF(1, 1, 0, 4.5), style)),
               Place::RightEdge),
        placed(growing(text(QStringLiteral("Memo15"), QStringLiteral("Página"), QRectF(0, 1, 0, 4.5), style)),
               Place::LeftOf, QStringLiteral("Page")),
    };
    return b;
}

} // namespace

Template relatorio() {
    Template t;
    t.name = QStringLiteral("Relatorio");
    t.pageSize = QSizeF(297, 210);
    t.margins = QMarginsF(10, 10, 10, 10);
    t.dataset = QStringLiteral("DBRelatorio");
    t.bands = {titleBand(), pageHeaderBand(), dataBand(), footerBand(), pageFooterBand()};
    return t;
}

QString monthHeadline(const QDate& day) {
    return QLocale().toString(day, QStringLiteral("MMMM/yy")).toUpper();
}

void setHeadline(Template& report, const CashFlow::Consultation& c) {
    static const QString kinds[] = {QStringLiteral("NÃO PAGAS"), QStringLiteral("PAGAS"),
                                    QStringLiteral("VENCIDAS")};
    report.setText(QStringLiteral("Memo3"), kinds[int(c.kind)]);
    report.setText(QStringLiteral("Memo19"),
                   c.scope == CashFlow::Scope::OneCustomer ? c.customerName : QString());
    QString period;
    QString until;
    QString last;
    switch (c.period) {
    case CashFlow::Period::Today:
        period = QStringLiteral("HOJE");
        break;
    case CashFlow::Period::CurrentMonth:
        period = monthHeadline(Clock::today());
        break;
    case CashFlow::Period::AllTime:
        period = QStringLiteral("TODO O PERÍODO");
        break;
    case CashFlow::Period::Custom:
        period = Formats::date(c.from);
        until = QStringLiteral("Até");
        last = Formats::date(c.to);
        break;
    }
    report.setText(QStringLiteral("Memo16"), period);
    report.setText(QStringLiteral("Memo17"), until);
    report.setText(QStringLiteral("Memo18"), last);
}

} // namespace CashFlowReport
