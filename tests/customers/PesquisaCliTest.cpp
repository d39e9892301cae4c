#include "CustomerScreen.h"
#include "Printers.h"
#include "customers/uPesquisaCli.h"
#include "data/uDM.h"
#include "platform/widgets/DBGrid.h"

#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

namespace {

class Picker : public ScreenTest {
protected:
    void SetUp() override {
        ScreenTest::SetUp();
        const QStringList names = {QStringLiteral("MARIA"), QStringLiteral("CLIENTE AVULSO"),
                                   QStringLiteral("MARCOS"), QStringLiteral("ANA"),
                                   QStringLiteral("D'ÁVILA")};
        for (int i = 0; i < names.size(); ++i)
            addCustomer(i + 1, names[i]);
    }
    // Double-clicks a row of the picker's grid, or its empty area with row -1.
    void doubleClick(int row) {
        DBGrid* grid = FPesquisaCli->DBGrid1;
        const QPoint at = row >= 0 ? grid->visualRect(grid->model()->index(row, 0)).center() : QPoint(5, 300);
        QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, at);
    }
};

TEST_F(Picker, ListsEveryoneButTheWalkInCustomerAndSearchesByPrefix) {
    modal.onShow(QStringLiteral("FPesquisaCli"), [](QDialog*) {
        EXPECT_EQ(FPesquisaCli->Label2->text(), QStringLiteral("(4)"));
        EXPECT_EQ(QApplication::focusWidget(), FPesquisaCli->Edit1);
        QTest::keyClicks(FPesquisaCli->Edit1, QStringLiteral("ma"));
        EXPECT_EQ(DM->TabCadCli.filter(), QStringLiteral("NOME LIKE'MA%'AND NOME <>'CLIENTE AVULSO'"));
        EXPECT_EQ(FPesquisaCli->Label2->text(), QStringLiteral("(2)"));
        FPesquisaCli->Edit1->setText(QStringLiteral("CLIENTE"));
        EXPECT_EQ(FPesquisaCli->Label2->text(), QStringLiteral("(0)")) << "never the walk-in customer";
        FPesquisaCli->Edit1->setText(QStringLiteral("D'"));
        EXPECT_EQ(FPesquisaCli->DBGrid1->cellText(0, 0), QStringLiteral("D'ÁVILA"));
        QTest::keyClick(FPesquisaCli->Edit1, Qt::Key_Return);
        EXPECT_TRUE(FPesquisaCli->isVisible()) << "Enter does not choose";
    });
    ModalHost::show(FPesquisaCli);
    EXPECT_EQ(FPesquisaCli->Edit1->text(), QStringLiteral("D'")) << "kept for the next use";
}

// A character the database cannot hold is in no name stored there: nothing is found and nothing said.
TEST_F(Picker, ASearchWithACharacterTheDatabaseCannotHoldFindsNothingAndGoesOn) {
    modal.onShow(QStringLiteral("FPesquisaCli"), [this](QDialog*) {
        for (const char* typed : {"Ł", "€", "😀", "MA😀"}) {
            FPesquisaCli->Edit1->setText(QString::fromUtf8(typed));
            FPesquisaCli->DBGrid1->grab(); // the list painted as the screen shows it
            EXPECT_TRUE(messages.shown.isEmpty())
                << typed << ": " << messages.log().join(u'\n').toStdString();
            messages.clear();
            EXPECT_EQ(FPesquisaCli->Label2->text(), QStringLiteral("(0)")) << typed;
        }
        FPesquisaCli->Edit1->setText(QStringLiteral("MA"));
        EXPECT_EQ(FPesquisaCli->Label2->text(), QStringLiteral("(2)"));
        EXPECT_EQ(FPesquisaCli->DBGrid1->cellText(0, 0), QStringLiteral("MARIA"));
    });
    ModalHost::show(FPesquisaCli);
    EXPECT_TRUE(messages.shown.isEmpty()) << messages.log().join(u'\n').toStdString();
}

TEST_F(Picker, ADoubleClickLeavesTheChosenCustomerCurrent) {
    modal.onShow(QStringLiteral("FPesquisaCli"), [this](QDialog* f) {
        f->resize(700, 440);
        doubleClick(2);
        EXPECT_FALSE(f->isVisible());
    });
    ModalHost::show(FPesquisaCli);
    EXPECT_EQ(DM->TabCadCliNOME.asString(), QStringLiteral("ANA"));
    EXPECT_FALSE(DM->TabDividas.isOpen()) << "with neither ledger screen behind, no ledger filter";
}

TEST_F(Picker, AnEmptyListOrTheXCloseWithoutChoosing) {
    modal.onShow(QStringLiteral("FPesquisaCli"), [this](QDialog* f) {
        FPesquisaCli->Edit1->setText(QStringLiteral("ZZZ"));
        doubleClick(-1);
        EXPECT_FALSE(f->isVisible());
    });
    ModalHost::show(FPesquisaCli);
    EXPECT_TRUE(DM->TabCadCli.isEmpty());

    modal.onShow(QStringLiteral("FPesquisaCli"), [](QDialog*) {
        FPesquisaCli->Edit1->clear();
        DM->TabCadCli.moveTo(1);
        FPesquisaCli->SpeedButton2->click();
    });
    ModalHost::show(FPesquisaCli);
    EXPECT_EQ(DM->TabCadCliNOME.asString(), QStringLiteral("MARCOS")) << "the clicked row stays current";
    EXPECT_TRUE(DM->TabCadCli.isOpen());
    EXPECT_EQ(DM->TabCadCli.filter(), QStringLiteral("NOME LIKE'%'AND NOME <>'CLIENTE AVULSO'"));
}

} // namespace
