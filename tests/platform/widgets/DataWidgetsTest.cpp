#include "platform/widgets/DataWidgets.h"
#include "Printers.h"
#include "ScratchDatabase.h"
#include "Seams.h"
#include "platform/core/Errors.h"
#include "platform/core/Field.h"
#include "platform/widgets/DBGrid.h"
#include "platform/widgets/Form.h"

#include <QApplication>
#include <QClipboard>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>

namespace {

class DataWidgets : public ::testing::Test {
protected:
    void SetUp() override {
        for (int i = 1; i <= 3; ++i)
            tables.connection.execute(
                QStringLiteral(
                    "insert into TABDIVIDAS (CODIGO, CLIENTE, DESCRICAO, VALOR, DATA_VENC, STATUS_PAG) "
                    "values (?, 1, ?, ?, ?, 'NP')"),
                {i, QStringLiteral("ITEM %1").arg(i), QVariant::fromValue(Currency::fromCents(123456 * i)),
                 QDate(2026, 1, i)});
    }
    ScratchDatabase db{ShopDatasets::tables()};
    ShopDatasets tables{db.path()};
    Field entryCode{tables.ledger, QStringLiteral("CODIGO")};
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
    description->bind(&tables.ledgerSource, QStringLiteral("DESCRICAO"));
    value->bind(&tables.ledgerSource, QStringLiteral("VALOR"));
    label->bind(&tables.ledgerSource, QStringLiteral("VALOR"));
    EXPECT_TRUE(description->text().isEmpty()) << "closed dataset";
    EXPECT_TRUE(description->isReadOnly());
    f.show(); // hidden labels and grids ask the database nothing

    tables.ledger.open();
    EXPECT_EQ(description->text(), QStringLiteral("ITEM 1"));
    EXPECT_EQ(value->text(), QStringLiteral("R$ 1.234,56"));
    EXPECT_EQ(label->text(), QStringLiteral("R$ 1.234,56"));
    EXPECT_EQ(description->maxLength(), 150);
    tables.ledger.next();
    EXPECT_EQ(description->text(), QStringLiteral("ITEM 2"));

    QApplication::setActiveWindow(&f);
    value->setFocus();
    EXPECT_EQ(value->text(), QStringLiteral("2469,12")) << "plain text while editing";
    value->selectAll();
    QTest::keyClicks(value, QStringLiteral("10,5"));
    EXPECT_EQ(tables.ledger.state(), TableDataset::State::Edit) << "typing starts editing the row";
    EXPECT_EQ(value->text(), QStringLiteral("10,5"));
    tables.ledger.post();
    EXPECT_EQ(tables.connection
                  .selectValue(QStringLiteral("select cast(VALOR as varchar(20)) from TABDIVIDAS "
                                              "where CODIGO = 2"))
                  .toString(),
              QStringLiteral("10.50"));
    EXPECT_EQ(label->text(), QStringLiteral("R$ 10,50"));

    value->selectAll();
    QTest::keyClicks(value, QStringLiteral("12,3,4"));
    EXPECT_THROW(tables.ledger.post(), ConversionError);
    EXPECT_EQ(tables.ledger.state(), TableDataset::State::Edit) << "the row keeps its state after the error";
    EXPECT_EQ(value->text(), QStringLiteral("12,3,4"));
    tables.ledger.cancel();
    EXPECT_EQ(value->text(), QStringLiteral("10,50"));
}

// A pasted NUL would cut the text where it is shown, a TAB or DEL hide in it: dropped, the lines kept.
TEST_F(DataWidgets, PastedControlCharactersAreDroppedAndTheLinesKept) {
    Form f(QStringLiteral("Teste"), {});
    auto* layout = new QVBoxLayout(f.body());
    auto* memo = new DBMemo(f.body());
    auto* edit = new DBEdit(f.body());
    layout->addWidget(memo);
    layout->addWidget(edit);
    memo->bind(&tables.ledgerSource, QStringLiteral("DESCRICAO"));
    edit->bind(&tables.ledgerSource, QStringLiteral("DESCRICAO"));
    f.show();
    tables.ledger.open();
    QApplication::setActiveWindow(&f);
    const QString nul = QString(QChar(0));
    memo->setFocus();
    memo->selectAll();
    QApplication::clipboard()->setText(QStringLiteral("LINHA 1\r\nLINHA") + nul +
                                       QStringLiteral(" 2\tFIM\x7f"));
    QTest::keyClick(memo, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(memo->toPlainText(), QStringLiteral("LINHA 1\nLINHA 2FIM"));
    memo->flush();
    tables.ledger.post();
    EXPECT_EQ(
        tables.connection.selectValue(QStringLiteral("select DESCRICAO from TABDIVIDAS where CODIGO = 1"))
            .toString(),
        QStringLiteral("LINHA 1\nLINHA 2FIM"));

    edit->setFocus();
    edit->selectAll();
    QApplication::clipboard()->setText(QStringLiteral("RUA") + nul + QStringLiteral("NULA\t\x01"));
    QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(edit->text(), QStringLiteral("RUANULA"));
    edit->flush();
    tables.ledger.post();
    EXPECT_EQ(
        tables.connection.selectValue(QStringLiteral("select DESCRICAO from TABDIVIDAS where CODIGO = 1"))
            .toString(),
        QStringLiteral("RUANULA"));
}

TEST_F(DataWidgets, TheGridShowsTitlesFormatsRowColoursAndTheCurrentCellWhiteOnRed) {
    DBGrid grid;
    grid.setColumns({{QStringLiteral("DESCRICAO"), QStringLiteral("Descrição")},
                     {QStringLiteral("VALOR"), QStringLiteral("Valor"), Qt::AlignRight | Qt::AlignVCenter},
                     {QStringLiteral("DATA_VENC"), QStringLiteral("Vencimento"), Qt::AlignCenter}});
    grid.setRowColor([](const Row& row, const Dataset& ds) {
        return row[ds.columnIndex(QStringLiteral("CODIGO"))].toInt() == 2 ? QColor(Qt::blue) : QColor();
    });
    grid.bind(&tables.ledgerSource);
    grid.resize(500, 200);
    grid.show();
    EXPECT_EQ(grid.model()->rowCount(), 0);
    tables.ledger.open();
    ASSERT_EQ(grid.model()->rowCount(), 3);
    EXPECT_EQ(grid.model()->headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(),
              QStringLiteral("Valor"));
    EXPECT_EQ(grid.cellText(2, 1), QStringLiteral("R$ 3.703,68"));
    EXPECT_EQ(grid.cellText(0, 2), QStringLiteral("01/01/2026"));
    EXPECT_EQ(grid.cellTextColor(1, 0), QColor(Qt::blue));
    EXPECT_FALSE(grid.cellTextColor(0, 0).isValid());
    EXPECT_EQ(grid.currentIndex().row(), 0);

    grid.setCurrentIndex(grid.model()->index(2, 1));
    EXPECT_EQ(entryCode.asInteger(), 3) << "choosing a row moves the dataset";
    QApplication::processEvents();
    const QImage shot = grid.viewport()->grab().toImage();
    const QRect cell = grid.visualRect(grid.currentIndex());
    EXPECT_EQ(QColor(shot.pixel(cell.left() + 2, cell.center().y())), QColor(Qt::red));

    tables.ledger.first();
    EXPECT_EQ(grid.currentIndex().row(), 0) << "the grid follows the dataset";
    tables.ledger.setFilter(QStringLiteral("Descricao ='ITEM 3'"));
    tables.ledger.setFiltered(true);
    EXPECT_EQ(grid.model()->rowCount(), 1);
    EXPECT_EQ(grid.cellText(0, 0), QStringLiteral("ITEM 3"));
    grid.hide();
    EXPECT_EQ(grid.model()->rowCount(), 0) << "a hidden grid reads nothing";
}

TEST_F(DataWidgets, TheGridFollowsARowFarDownALongView) {
    tables.connection.execute(
        QStringLiteral("execute block as declare i int = 4; begin "
                       "while (i <= 1500) do begin "
                       "insert into TABDIVIDAS (CODIGO, CLIENTE, DESCRICAO, STATUS_PAG) "
                       "values (:i, 2, 'ITEM ' || :i, 'NP'); i = i + 1; end end"));
    DBGrid grid;
    grid.setColumns({{QStringLiteral("DESCRICAO"), QStringLiteral("Descrição")}});
    grid.bind(&tables.ledgerSource);
    grid.show();
    tables.ledger.open();
    ASSERT_TRUE(tables.ledger.locate(QStringLiteral("CODIGO"), 1234));
    ASSERT_EQ(grid.currentIndex().row(), 1233);
    EXPECT_EQ(grid.cellText(1233, 0), QStringLiteral("ITEM 1234"));
    tables.ledger.last();
    EXPECT_EQ(grid.currentIndex().row(), 1499);
    EXPECT_EQ(grid.model()->rowCount(), 1500) << "no empty rows past the end";
}

} // namespace
