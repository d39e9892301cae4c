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

Band pageHeaderBand() {
    Band b{QStringLiteral("PageHeader1"), BandKind::PageHeader, 13, false, {}};
    const TextStyle title{8, true, Qt::black};
    const std::pair<const char*, double> columns[] = {
        {"Data", 4},         {"Nome", 19},        {"Descrição", 71},
        {"Modalidade", 132}, {"Quantidade", 152}, {"Valor Unitário", 172},
        {"Valor", 201},      {"Vencimento", 211},
    };
    int n = 0;
    for (const auto& [caption, left] : columns)
        b.objects << growing(text(QStringLiteral("Header%1").arg(++n), QString::fromUtf8(caption),
                                  QRectF(left, 4, 0, 4), title));
    // Two lines each, centred in their boxes.
    for (const auto& [caption, left] :
         {std::pair{"Data Pagamento", 233.0}, std::pair{"Forma Pagamento", 256.0}}) {
        Object o = text(QStringLiteral("Header%1").arg(++n), QString::fromUtf8(caption),
                        QRectF(left, 0, 20, 13), title, Qt::AlignHCenter | Qt::AlignVCenter);
        o.wraps = true;
        b.objects << o;
    }
    return b;
}

Band dataBand() {
    Band b{QStringLiteral("MasterData1"), BandKind::MasterData, 9, true, {}};
    const TextStyle plain{7, false, Qt::black};
    struct Column {
        const char* field;
        double left;
        double width;
        Qt::Alignment align;
    };
    const Column columns[] = {
        {"DATA", 3, 15, Qt::AlignHCenter},         {"NOME", 19, 51, Qt::AlignLeft},
        {"DESCRICAO", 71, 60, Qt::AlignLeft},      {"PARCELA", 132, 17, Qt::AlignHCenter},
        {"QUANTIDADE", 154, 15, Qt::AlignHCenter}, {"VALOR_UN", 177, 14, Qt::AlignRight},
        {"VALOR", 192, 17, Qt::AlignRight},        {"DATA_VENC", 211, 20, Qt::AlignHCenter},
        {"DATA_PAG", 233, 21, Qt::AlignHCenter},   {"FORM_PAG", 255, 21, Qt::AlignHCenter},
    };
    for (const Column& c : columns) {
        const QString field = QString::fromLatin1(c.field);
        Object o =
            text(QStringLiteral("DBRelatorio") + field, QStringLiteral("[DBRelatorio.\"%1\"]").arg(field),
                 QRectF(c.left, 1, c.width, 7), plain, c.align | Qt::AlignTop);
        if (field == QLatin1String("DESCRICAO"))
            o.wraps = o.stretches = true;
        else if (field == QLatin1String("VALOR_UN"))
            o.style.bold = true;
        else if (field == QLatin1String("VALOR"))
            o.grows = true;
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
