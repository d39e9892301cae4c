#include "platform/widgets/DataWidgets.h"
#include "Printers.h"
#include "Seams.h"
#include "TestDatabase.h"
#include "data/uDM.h"
#include "platform/core/Errors.h"
#include "platform/widgets/DBGrid.h"
#include "platform/widgets/Form.h"

#include <QApplication>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>

namespace {

class DataWidgets : public ::testing::Test {
protected:
    void SetUp() override {
        dm = std::make_unique<TDM>(db.path());
        for (int i = 1; i <= 3; ++i)
            dm->FDConnection1.execute(
                QStringLiteral(
                    "insert into TABDIVIDAS (CODIGO, CLIENTE, DESCRICAO, VALOR, DATA_VENC, STATUS_PAG) "
                    "values (?, 1, ?, ?, ?, 'NP')"),
                {i, QStringLiteral("ITEM %1").arg(i), QVariant::fromValue(Currency::fromCents(123456 * i)),
                 QDate(2026, 1, i)});
    }
    TestDatabase db;
    std::unique_ptr<TDM> dm;
    RecordingMessages messages;
};

TEST_F(DataWidgets, AnEditShowsTheFieldAndTypingEditsTheRow) {
    Form f(QStringLiteral("Teste"), {});
    auto* layout = new QVBoxLayout(f.body());
    auto* description = new DBEdit(f.body());
    auto* value = new DBEdit(f.body());
    auto* label = new DBText(f.body());
    layout->addWidget(description);
    layout->addWidget(value);
    layout->addWidget(label);
    description->bind(&dm->DSDividas, QStringLiteral("DESCRICAO"));
    value->bind(&dm->DSDividas, QStringLiteral("VALOR"));
    label->bind(&dm->DSDividas, QStringLiteral("VALOR"));
    EXPECT_TRUE(description->text().isEmpty()) << "closed dataset";
    EXPECT_TRUE(description->isReadOnly());
    f.show(); // hidden labels and grids ask the database nothing

    dm->TabDividas.open();
    EXPECT_EQ(description->text(), QStringLiteral("ITEM 1"));
    EXPECT_EQ(value->text(), QStringLiteral("R$ 1.234,56"));
    EXPECT_EQ(label->text(), QStringLiteral("R$ 1.234,56"));
    EXPECT_EQ(description->maxLength(), 150);
    dm->TabDividas.next();
    EXPECT_EQ(description->text(), QStringLiteral("ITEM 2"));

    QApplication::setActiveWindow(&f);
    value->setFocus();
    EXPECT_EQ(value->text(), QStringLiteral("2469,12")) << "plain text while editing";
    value->selectAll();
    QTest::keyClicks(value, QStringLiteral("10,5"));
    EXPECT_EQ(dm->TabDividas.state(), TableDataset::State::Edit) << "typing starts editing the row";
    EXPECT_EQ(value->text(), QStringLiteral("10,5"));
    dm->TabDividas.post();
    EXPECT_EQ(dm->FDConnection1
                  .selectValue(QStringLiteral("select cast(VALOR as varchar(20)) from TABDIVIDAS "
                                              "where CODIGO = 2"))
                  .toString(),
              QStringLiteral("10.50"));
    EXPECT_EQ(label->text(), QStringLiteral("R$ 10,50"));

    value->selectAll();
    QTest::keyClicks(value, QStringLiteral("12,3,4"));
    EXPECT_THROW(dm->TabDividas.post(), ConversionError);
    EXPECT_EQ(dm->TabDividas.state(), TableDataset::State::Edit) << "the row keeps its state after the error";
    EXPECT_EQ(value->text(), QStringLiteral("12,3,4"));
    dm->TabDividas.cancel();
    EXPECT_EQ(value->text(), QStringLiteral("10,50"));
}

TEST_F(DataWidgets, TheGridShowsTitlesFormatsRowColoursAndTheCurrentCellWhiteOnRed) {
    DBGrid grid;
    grid.setColumns({{QStringLiteral("DESCRICAO"), QStringLiteral("Descrição")},
                     {QStringLiteral("VALOR"), QStringLiteral("Valor"), Qt::AlignRight | Qt::AlignVCenter},
                     {QStringLiteral("DATA_VENC"), QStringLiteral("Vencimento"), Qt::AlignCenter}});
    grid.setRowColor([](const Row& row, const Dataset& ds) {
        return row[ds.columnIndex(QStringLiteral("CODIGO"))].toInt() == 2 ? QColor(Qt::blue) : QColor();
    });
    grid.bind(&dm->DSDividas);
    grid.resize(500, 200);
    grid.show();
    EXPECT_EQ(grid.model()->rowCount(), 0);
    dm->TabDividas.open();
    ASSERT_EQ(grid.model()->rowCount(), 3);
    EXPECT_EQ(grid.model()->headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(),
              QStringLiteral("Valor"));
    EXPECT_EQ(grid.cellText(2, 1), QStringLiteral("R$ 3.703,68"));
    EXPECT_EQ(grid.cellText(0, 2), QStringLiteral("01/01/2026"));
    EXPECT_EQ(grid.cellTextColor(1, 0), QColor(Qt::blue));
    EXPECT_FALSE(grid.cellTextColor(0, 0).isValid());
    EXPECT_EQ(grid.currentIndex().row(), 0);

    grid.setCurrentIndex(grid.model()->index(2, 1));
    EXPECT_EQ(dm->TabDividasCODIGO.asInteger(), 3) << "choosing a row moves the dataset";
    QApplication::processEvents();
    const QImage shot = grid.viewport()->grab().toImage();
    const QRect cell = grid.visualRect(grid.currentIndex());
    EXPECT_EQ(QColor(shot.pixel(cell.left() + 2, cell.center().y())), QColor(Qt::red));

    dm->TabDividas.first();
    EXPECT_EQ(grid.currentIndex().row(), 0) << "the grid follows the dataset";
    dm->TabDividas.setFilter(QStringLiteral("Descricao ='ITEM 3'"));
    dm->TabDividas.setFiltered(true);
    EXPECT_EQ(grid.model()->rowCount(), 1);
    EXPECT_EQ(grid.cellText(0, 0), QStringLiteral("ITEM 3"));
    grid.hide();
    EXPECT_EQ(grid.model()->rowCount(), 0) << "a hidden grid reads nothing";
}

TEST_F(DataWidgets, TheGridFollowsARowFarDownALongView) {
    dm->FDConnection1.execute(
        QStringLiteral("execute block as declare i int = 4; begin "
                       "while (i <= 1500) do begin "
                       "insert into TABDIVIDAS (CODIGO, CLIENTE, DESCRICAO, STATUS_PAG) "
                       "values (:i, 2, 'ITEM ' || :i, 'NP'); i = i + 1; end end"));
    DBGrid grid;
    grid.setColumns({{QStringLiteral("DESCRICAO"), QStringLiteral("Descrição")}});
    grid.bind(&dm->DSDividas);
    grid.show();
    dm->TabDividas.open();
    ASSERT_TRUE(dm->TabDividas.locate(QStringLiteral("CODIGO"), 1234));
    ASSERT_EQ(grid.currentIndex().row(), 1233);
    EXPECT_EQ(grid.cellText(1233, 0), QStringLiteral("ITEM 1234"));
    dm->TabDividas.last();
    EXPECT_EQ(grid.currentIndex().row(), 1499);
    EXPECT_EQ(grid.model()->rowCount(), 1500) << "no empty rows past the end";
}

} // namespace
