#include "Printers.h"
#include "ReportFit.h"
#include "ScratchDatabase.h"
#include "platform/core/Clock.h"
#include "platform/core/Errors.h"
#include "platform/core/Query.h"
#include "reports/ReportLayout.h"
#include "reports/ReportPainter.h"
#include "reports/RowList.h"
#include "reports/TextMetrics.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Report;

namespace {

// A small page (80 by 100 mm inside its margins) so that a few rows make several pages: title 20 mm, header
// 10, rows 10, footer 10, page footer 5. The first page holds 6 rows, the others 8.
constexpr double PageFooterTop = 120 - 10 - 5;

Template smallReport() {
    Template t;
    t.name = QStringLiteral("Small");
    t.pageSize = QSizeF(100, 120);
    t.margins = QMarginsF(10, 10, 10, 10);
    t.dataset = QStringLiteral("DS");
    const TextStyle s{8, false, Qt::black};
    t.bands = {
        {QStringLiteral("Title"),
         BandKind::ReportTitle,
         20,
         true,
         {text(QStringLiteral("Day"), QStringLiteral("Em [Date]"), QRectF(2, 2, 40, 5), s)}},
        {QStringLiteral("Header"),
         BandKind::PageHeader,
         10,
         false,
         {text(QStringLiteral("Caption"), QStringLiteral("Descrição"), QRectF(2, 2, 30, 5), s)}},
        {QStringLiteral("Data"),
         BandKind::MasterData,
         10,
         true,
         {text(QStringLiteral("Code"), QStringLiteral("[DS.\"CODIGO\"]"), QRectF(1, 1, 8, 7), s),
          text(QStringLiteral("Text"), QStringLiteral("[DS.\"DESCRICAO\"]"), QRectF(10, 1, 30, 7), s),
          text(QStringLiteral("Value"), QStringLiteral("[DS.\"VALOR\"]"), QRectF(42, 1, 20, 7), s,
               Qt::AlignRight),
          text(QStringLiteral("Due"), QStringLiteral("[DS.\"DATA_VENC\"]"), QRectF(63, 1, 16, 7), s)}},
        {QStringLiteral("Footer"),
         BandKind::Footer,
         10,
         false,
         {placed(
              growing(text(QStringLiteral("Total"), QStringLiteral("[DS.\"Soma\"]"), QRectF(0, 2, 0, 5), s)),
              Place::RightEdge),
          placed(growing(text(QStringLiteral("TotalLabel"), QStringLiteral("Total:"), QRectF(0, 2, 0, 5), s)),
                 Place::LeftOf, QStringLiteral("Total")),
          text(QStringLiteral("Printed"), QStringLiteral("[COUNT(Data)] linhas"), QRectF(2, 2, 30, 5), s)}},
        {QStringLiteral("PageFooter"),
         BandKind::PageFooter,
         5,
         false,
         {text(QStringLiteral("Number"), QStringLiteral("Página [Page#]"), QRectF(50, 0, 30, 5), s)}},
    };
    return t;
}

class ReportEngine : public ::testing::Test {
protected:
    void SetUp() override { tables.connection.execute(QStringLiteral("delete from TABDIVIDAS")); }
    void addRows(int count, const QString& description = QStringLiteral("ITEM")) {
        for (int i = 1; i <= count; ++i)
            addRow(i, description);
    }
    void addRow(int code, const QString& description) {
        tables.connection.execute(
            QStringLiteral(
                "insert into TABDIVIDAS (CODIGO, CLIENTE, DESCRICAO, VALOR, DATA_VENC, STATUS_PAG) "
                "values (?, 1, ?, ?, ?, 'NP')"),
            {code, description, QVariant::fromValue(Currency::fromCents(qint64(100050) * code)),
             QDate(2026, 3, code % 28 + 1)});
    }
    Prepared prepared(const Template& t = smallReport()) {
        query.close();
        query.setSql(QStringLiteral("select * from TABDIVIDAS order by CODIGO"));
        query.defineSum(QStringLiteral("Soma"), QStringLiteral("VALOR"));
        query.open();
        PositionSource rows(QStringLiteral("DS"), query);
        return prepare(t, rows);
    }
    static QStringList texts(const Page& page, const QString& object) {
        QStringList out;
        for (const Item* i : page.itemsOf(object))
            out << i->text;
        return out;
    }

    FixedClock clock{QDateTime(QDate(2026, 3, 14), QTime(9, 30))};
    ScratchDatabase db{ShopDatasets::tables()};
    ShopDatasets tables{db.path()};
    Query query{tables.connection};
};

TEST_F(ReportEngine, RowsFlowOverPagesEachWithItsHeaderAndNumberedFooter) {
    addRows(20);
    const Prepared r = prepared();

    ASSERT_EQ(r.pages.size(), 3);
    const QStringList perPage[] = {{"1", "2", "3", "4", "5", "6"},
                                   {"7", "8", "9", "10", "11", "12", "13", "14"},
                                   {"15", "16", "17", "18", "19", "20"}};
    for (int p = 0; p < 3; ++p) {
        SCOPED_TRACE(p + 1);
        const Page& page = r.pages[p];
        EXPECT_EQ(texts(page, QStringLiteral("Code")), perPage[p]);
        EXPECT_EQ(page.itemsOf(QStringLiteral("Day")).size(), p == 0 ? 1 : 0);
        ASSERT_EQ(page.itemsOf(QStringLiteral("Caption")).size(), 1);
        EXPECT_EQ(page.itemsOf(QStringLiteral("Caption"))[0]->rect.top(), p == 0 ? 32 : 12);
        EXPECT_EQ(texts(page, QStringLiteral("Number")), QStringList{QStringLiteral("Página %1").arg(p + 1)});
        EXPECT_DOUBLE_EQ(page.itemsOf(QStringLiteral("Number"))[0]->rect.top(), PageFooterTop);
        for (const Item* frame : page.framesOf(QStringLiteral("Data")))
            EXPECT_LE(frame->rect.bottom(), PageFooterTop + 1e-6);
    }
    EXPECT_EQ(texts(r.pages[2], QStringLiteral("Printed")), QStringList{QStringLiteral("20 linhas")});
    EXPECT_EQ(r.framesOf(QStringLiteral("Data")), 20);
}

TEST_F(ReportEngine, TheFooterGoesOnANewPageWhenTheLastOneIsFull) {
    addRows(14); // 6 + 8 rows fill two pages to the page footer's edge
    const Prepared r = prepared();

    ASSERT_EQ(r.pages.size(), 3);
    EXPECT_TRUE(r.pages[1].itemsOf(QStringLiteral("Total")).isEmpty());
    EXPECT_TRUE(r.pages[2].itemsOf(QStringLiteral("Code")).isEmpty());
    EXPECT_EQ(r.pages[2].itemsOf(QStringLiteral("Caption")).size(), 1);
    ASSERT_EQ(r.pages[2].itemsOf(QStringLiteral("Total")).size(), 1);
    EXPECT_EQ(texts(r.pages[2], QStringLiteral("Number")), QStringList{QStringLiteral("Página 3")});
}

TEST_F(ReportEngine, ALongTextWrapsAndMakesOnlyItsRowTaller) {
    Template t = smallReport();
    t.object(QStringLiteral("Text"))->wraps = true;
    t.object(QStringLiteral("Text"))->stretches = true;
    addRow(1, QStringLiteral("CURTA"));
    addRow(2,
           QStringLiteral("UMA DESCRIÇÃO BEM MAIS LONGA QUE A COLUNA, QUE QUEBRA EM VÁRIAS LINHAS DE TEXTO"));
    addRow(3, QStringLiteral("CURTA"));
    const Prepared r = prepared(t);

    const QVector<const Item*> frames = r.pages[0].framesOf(QStringLiteral("Data"));
    const QVector<const Item*> descriptions = r.itemsOf(QStringLiteral("Text"));
    const QVector<const Item*> values = r.itemsOf(QStringLiteral("Value"));
    ASSERT_EQ(frames.size(), 3);
    const double line = TextMetrics::lineHeight({8, false, Qt::black});
    const qsizetype lines = descriptions[1]->lines.size();
    EXPECT_GE(lines, 4);
    EXPECT_EQ(descriptions[1]->lines.join(u' '), descriptions[1]->text);
    EXPECT_NEAR(descriptions[1]->rect.height(), line * double(lines), 1e-6);
    EXPECT_NEAR(frames[1]->rect.height(), 10 + line * double(lines) - 7, 1e-6);
    EXPECT_DOUBLE_EQ(frames[0]->rect.height(), 10);
    EXPECT_DOUBLE_EQ(frames[2]->rect.height(), 10);
    EXPECT_DOUBLE_EQ(frames[2]->rect.top(), frames[1]->rect.bottom());
    EXPECT_DOUBLE_EQ(values[1]->rect.height(), 7);
    for (const Item* d : descriptions)
        for (const QString& l : d->lines)
            EXPECT_LE(TextMetrics::width(d->style, l), 30 + 1e-6) << l.toStdString();
}

TEST_F(ReportEngine, AWrappingTextThatDoesNotStretchIsCutAtItsBox) {
    Template t = smallReport();
    t.object(QStringLiteral("Text"))->wraps = true;
    addRow(1,
           QStringLiteral("UMA DESCRIÇÃO BEM MAIS LONGA QUE A COLUNA, QUE QUEBRA EM VÁRIAS LINHAS DE TEXTO"));
    const Prepared r = prepared(t);

    const Item* text = r.first(QStringLiteral("Text"));
    ASSERT_NE(text, nullptr);
    const double line = TextMetrics::lineHeight(text->style);
    EXPECT_EQ(text->lines.size(), qsizetype(7 / line));
    EXPECT_LT(text->lines.join(u' ').size(), text->text.size());
    EXPECT_DOUBLE_EQ(text->rect.height(), 7);
    EXPECT_TRUE(text->clip);
    EXPECT_DOUBLE_EQ(r.pages[0].framesOf(QStringLiteral("Data"))[0]->rect.height(), 10);
}

TEST_F(ReportEngine, AShrinkingTextPrintsInSmallerTypeUntilItFitsItsBox) {
    const QString longText =
        QStringLiteral("UMA DESCRIÇÃO BEM MAIS LONGA QUE A COLUNA, QUE QUEBRA EM VÁRIAS LINHAS DE TEXTO");
    struct Case {
        const char* name;
        bool wraps;
        QString description;
        bool smaller;
    };
    const Case cases[] = {
        {"a line that fits keeps its size", false, QStringLiteral("CURTA"), false},
        {"a line too wide", false, longText, true},
        {"a wrapping text that fits keeps its size", true, QStringLiteral("CURTA MAS EM DUAS"), false},
        {"a wrapping text past its box", true, longText, true},
        {"one long word", true, QString(60, u'W'), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Template t = smallReport();
        t.object(QStringLiteral("Text"))->shrinks = true;
        t.object(QStringLiteral("Text"))->wraps = c.wraps;
        tables.connection.execute(QStringLiteral("delete from TABDIVIDAS"));
        addRow(1, c.description);
        const Prepared r = prepared(t);

        const Item* text = r.first(QStringLiteral("Text"));
        ASSERT_NE(text, nullptr);
        EXPECT_EQ(text->text, c.description);
        EXPECT_EQ(text->rect, QRectF(20, 41, 30, 7)) << "the box stays as it is";
        EXPECT_EQ(ReportFit::cutTexts(r), QStringList());
        if (!c.smaller) {
            EXPECT_EQ(text->style.points, 8);
        } else {
            EXPECT_LT(text->style.points, 8);
            // As large as fits: a step larger would not.
            TextStyle larger = text->style;
            larger.points += 0.1;
            const QStringList lines = TextMetrics::wrap(larger, text->text, 30);
            if (c.wraps)
                EXPECT_GT(TextMetrics::lineHeight(larger) * double(lines.size()), 7);
            else
                EXPECT_GT(TextMetrics::width(larger, text->text), 30);
        }
        EXPECT_DOUBLE_EQ(r.pages[0].framesOf(QStringLiteral("Data"))[0]->rect.height(), 10);
    }
}

TEST_F(ReportEngine, ExpressionsPrintDisplayTextsTheDateThePageTheCountAndNamedValues) {
    addRows(2);
    const Prepared r = prepared();

    EXPECT_EQ(r.first(QStringLiteral("Day"))->text, QStringLiteral("Em 14/03/2026"));
    EXPECT_EQ(texts(r.pages[0], QStringLiteral("Value")),
              (QStringList{QStringLiteral("R$ 1.000,50"), QStringLiteral("R$ 2.001,00")}));
    EXPECT_EQ(texts(r.pages[0], QStringLiteral("Due")),
              (QStringList{QStringLiteral("02/03/2026"), QStringLiteral("03/03/2026")}));
    EXPECT_EQ(r.first(QStringLiteral("Total"))->text, QStringLiteral("R$ 3.001,50"));
    EXPECT_EQ(r.first(QStringLiteral("Printed"))->text, QStringLiteral("2 linhas"));

    for (const char* bad : {"[Hoje]", "[OUTRO.\"CODIGO\"]", "[COUNT()]"}) {
        Template t = smallReport();
        t.object(QStringLiteral("Day"))->text = QString::fromUtf8(bad);
        EXPECT_THROW(prepared(t), BrolaviError) << bad;
    }
    // What the program sets (a customer's name) prints as it stands, brackets and all.
    Template t = smallReport();
    t.setText(QStringLiteral("Day"), QStringLiteral("ANA [Hoje] [Date] [Page]"));
    EXPECT_EQ(prepared(t).first(QStringLiteral("Day"))->text, QStringLiteral("ANA [Hoje] [Date] [Page]"));
    EXPECT_THROW(t.setText(QStringLiteral("Memo99"), QStringLiteral("x")), BrolaviError);
}

TEST_F(ReportEngine, ObjectsStandAgainstTheRightEdgeAndImmediatelyLeftOfAnother) {
    addRows(3);
    const Prepared r = prepared();

    const Item* total = r.first(QStringLiteral("Total"));
    const Item* label = r.first(QStringLiteral("TotalLabel"));
    EXPECT_DOUBLE_EQ(total->rect.right(), 90);
    EXPECT_NEAR(total->rect.left() - label->rect.right(), 1, 1e-9) << "a space between them";
    EXPECT_GE(total->rect.width(), TextMetrics::width(total->style, total->text));
    EXPECT_FALSE(total->clip);
}

TEST_F(ReportEngine, AnEmptySourcePrintsEveryBandButTheRowsWithAnEmptyTotal) {
    const Prepared r = prepared();

    ASSERT_EQ(r.pages.size(), 1);
    EXPECT_EQ(r.framesOf(QStringLiteral("Title")), 1);
    EXPECT_EQ(r.framesOf(QStringLiteral("Data")), 0);
    EXPECT_EQ(r.first(QStringLiteral("Caption"))->text, QStringLiteral("Descrição"));
    EXPECT_EQ(r.first(QStringLiteral("Total"))->text, QString());
    EXPECT_EQ(r.first(QStringLiteral("Printed"))->text, QStringLiteral("0 linhas"));
    EXPECT_EQ(r.first(QStringLiteral("Number"))->text, QStringLiteral("Página 1"));
}

TEST_F(ReportEngine, ThePdfHoldsEveryPageAndAFailedWriteLeavesNoFile) {
    addRows(20);
    const Prepared r = prepared();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("small.pdf"));
    writePdf(r, path);
    QFile pdf(path);
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    const QByteArray bytes = pdf.readAll();
    EXPECT_TRUE(bytes.startsWith("%PDF"));
    EXPECT_EQ(bytes.count("/Type /Page\n") + bytes.count("/Type /Page\r") + bytes.count("/Type /Page "), 3);

    const QString nowhere = dir.filePath(QStringLiteral("missing/folder/small.pdf"));
    EXPECT_THROW(writePdf(r, nowhere), BrolaviError);
    EXPECT_FALSE(QFile::exists(nowhere));
}

TEST_F(ReportEngine, ATableRunsThroughItsFilteredRowsQuietlyAndStaysOnItsRow) {
    for (int i = 1; i <= 450; ++i)
        tables.connection.execute(
            QStringLiteral("insert into TABCADCLI (CODIGO, NOME) values (?, ?)"),
            {i, i % 3 == 0 ? QStringLiteral("TERCO %1").arg(i) : QStringLiteral("OUTRO")});
    TableDataset& customers = tables.customers;
    customers.open();
    customers.refilter(QStringLiteral("NOME LIKE'TERCO%'"));
    ASSERT_TRUE(customers.locate(QStringLiteral("CODIGO"), 30));
    QSignalSpy moved(&customers, &Dataset::currentChanged);

    Template t;
    t.name = QStringLiteral("Names");
    t.pageSize = QSizeF(210, 297);
    t.margins = QMarginsF(10, 10, 10, 10);
    t.dataset = QStringLiteral("DBCliente");
    t.bands = {{QStringLiteral("Data"),
                BandKind::MasterData,
                5,
                false,
                {text(QStringLiteral("Code"), QStringLiteral("[DBCliente.\"CODIGO\"]"), QRectF(0, 0, 20, 5),
                      {8, false, Qt::black})}}};
    Prepared r;
    {
        CursorSource rows(QStringLiteral("DBCliente"), customers);
        r = prepare(t, rows);
    }
    QStringList codes;
    for (const Item* i : r.itemsOf(QStringLiteral("Code")))
        codes << i->text;
    ASSERT_EQ(codes.size(), 150);
    EXPECT_EQ(codes.first(), QStringLiteral("3"));
    EXPECT_EQ(codes.last(), QStringLiteral("450"));
    EXPECT_EQ(customers.value(QStringLiteral("CODIGO")).toInt(), 30);
    EXPECT_LE(moved.count(), 1);
}

} // namespace

// Rows the program makes itself, with lines drawn between them: a dashed one across, a solid one down.
TEST(ReportRowsAndLines, MadeRowsPrintByColumnNameAndLinesLandWhereTheirBandPrints) {
    FixedClock clock{QDateTime(QDate(2026, 3, 14), QTime(9, 30))};
    Template t;
    t.name = QStringLiteral("Lines");
    t.pageSize = QSizeF(100, 60);
    t.margins = QMarginsF(10, 10, 10, 10);
    t.dataset = QStringLiteral("M");
    t.bands = {{QStringLiteral("Row"),
                BandKind::MasterData,
                20,
                false,
                {text(QStringLiteral("Name"), QStringLiteral("[M.\"nome\"] [M.\"VALOR\"]"),
                      QRectF(0, 1, 60, 5), {8, false, Qt::black}),
                 line(QStringLiteral("Cut"), QRectF(0, 19, 80, 0), true),
                 line(QStringLiteral("Stub"), QRectF(30, 2, 0, 15))}}};
    RowList rows({QStringLiteral("NOME"), QStringLiteral("VALOR")});
    for (int i = 1; i <= 3; ++i)
        rows.append({QStringLiteral("ITEM %1").arg(i),
                     QVariant::fromValue(Currency::fromUnits(std::int64_t(i) * 1000))});
    PositionSource source(QStringLiteral("M"), rows);
    const Prepared r = prepare(t, source);

    ASSERT_EQ(r.pages.size(), 2) << "two 20 mm rows to the 40 mm of a page";
    ASSERT_EQ(r.pages[1].itemsOf(QStringLiteral("Name")).size(), 1);
    EXPECT_EQ(r.pages[1].itemsOf(QStringLiteral("Name"))[0]->text, QStringLiteral("ITEM 3 R$ 3.000,00"));
    const QVector<const Item*> cuts = r.pages[0].itemsOf(QStringLiteral("Cut"));
    ASSERT_EQ(cuts.size(), 2);
    EXPECT_EQ(cuts[1]->kind, Item::Kind::Line);
    EXPECT_TRUE(cuts[1]->dashed);
    EXPECT_EQ(cuts[1]->rect, QRectF(10, 49, 80, 0));
    const Item* stub = r.pages[0].itemsOf(QStringLiteral("Stub"))[0];
    EXPECT_FALSE(stub->dashed);
    EXPECT_EQ(stub->rect, QRectF(40, 12, 0, 15));

    // Painted: the solid line is unbroken down its length, the dashed one has gaps along it.
    QImage page(QSize(400, 240), QImage::Format_RGB32); // 4 pixels to the millimetre at 101.6 dpi
    page.setDotsPerMeterX(4000);
    page.setDotsPerMeterY(4000);
    page.fill(Qt::white);
    QPainter painter(&page);
    paintPage(painter, r, 0);
    painter.end();
    auto dark = [&page](int x, int y) {
        return qGray(page.pixel(x, y)) < 128;
    };
    int solid = 0;
    for (int y = 50; y < 106; ++y)
        solid += dark(159, y) || dark(160, y) || dark(161, y) ? 1 : 0;
    EXPECT_EQ(solid, 56);
    int dashes = 0;
    for (int x = 42; x < 358; ++x)
        dashes += dark(x, 195) || dark(x, 196) || dark(x, 197) ? 1 : 0;
    EXPECT_GT(dashes, 100);
    EXPECT_LT(dashes, 300);
}
