#include "CustomerScreen.h"
#include "Printers.h"
#include "customers/uCadCli.h"
#include "data/uDM.h"
#include "platform/widgets/DBGrid.h"
#include "platform/widgets/RadioGroup.h"
#include "reports/TextMetrics.h"

#include <QLabel>
#include <QLineEdit>

namespace {

// The customer list printed from the customer screen; the pages are read as the preview would show them.
class CustomerList : public ScreenTest {
protected:
    void SetUp() override {
        ScreenTest::SetUp();
        const QStringList names = {QStringLiteral("CARLOS"), QStringLiteral("CLIENTE AVULSO"),
                                   QStringLiteral("ANA"),    QStringLiteral("CÉLIA"),
                                   QStringLiteral("BRUNO"),  QStringLiteral("CAIO")};
        for (int i = 0; i < names.size(); ++i) {
            sql(QStringLiteral(
                    "insert into TABCADCLI (CODIGO, NOME, CIDADE, DATA) values (?, ?, 'RECIFE', ?)"),
                {i + 1, names[i], QDateTime(QDate(2025, 1, i + 1), QTime(8, 30, 15))});
        }
        showActive(FCadCli);
    }
    QStringList printedNames() const {
        QStringList out;
        for (const Report::Item* i : printing.last().itemsOf(QStringLiteral("DBClienteNOME")))
            out << i->text;
        return out;
    }
    QString printed(const QString& object) const {
        const Report::Item* i = printing.last().first(object);
        return i ? i->text : QStringLiteral("<none>");
    }
};

TEST_F(CustomerList, WithNothingListedItWarnsAndPrintsNothing) {
    press(Qt::Key_F10); // the data page, the table closed
    press(Qt::Key_F2);
    FCadCli->Edit1->setText(QStringLiteral("ZZ"));
    press(Qt::Key_F10);

    EXPECT_EQ(messages.log(), QStringList(2, QStringLiteral("warning|AVISO !|BANCO DE DADOS VAZIO")));
    EXPECT_TRUE(printing.shown.isEmpty());
}

TEST_F(CustomerList, TodosPrintsWhatTheListShowsAndCountsTheBlocks) {
    press(Qt::Key_F2);
    press(Qt::Key_F10);
    ASSERT_EQ(printing.shown.size(), 1);
    EXPECT_EQ(printedNames(),
              (QStringList{QStringLiteral("CARLOS"), QStringLiteral("ANA"), QStringLiteral("CÉLIA"),
                           QStringLiteral("BRUNO"), QStringLiteral("CAIO")}));
    EXPECT_EQ(printing.last().framesOf(QStringLiteral("MasterData1")), 5);
    EXPECT_EQ(printed(QStringLiteral("Count")), QStringLiteral("5"));
    EXPECT_EQ(printed(QStringLiteral("Memo1")), QStringLiteral("RELATÓRIO DE CLIENTES"));
    EXPECT_EQ(printed(QStringLiteral("DBClienteDATA")), QStringLiteral("01/01/2025 08:30:15"))
        << "the first printed customer's";
    // Three blocks a page under the title, the rest on the second, each page numbered.
    ASSERT_EQ(printing.last().pages.size(), 2);
    EXPECT_EQ(printing.last().pages[1].itemsOf(QStringLiteral("Page"))[0]->text, QStringLiteral("2"));

    FCadCli->Edit1->setText(QStringLiteral("C"));
    DM->TabCadCli.locate(QStringLiteral("NOME"), QStringLiteral("CÉLIA"));
    press(Qt::Key_F10);
    EXPECT_EQ(printedNames(), (QStringList{QStringLiteral("CARLOS"), QStringLiteral("CLIENTE AVULSO"),
                                           QStringLiteral("CÉLIA"), QStringLiteral("CAIO")}));
    EXPECT_EQ(printed(QStringLiteral("Count")), QStringLiteral("4"));
    EXPECT_EQ(DM->TabCadCli.value(QStringLiteral("NOME")).toString(), QStringLiteral("CÉLIA"))
        << "the list stays on the chosen customer";
    EXPECT_EQ(DM->TabCadCli.filter(), QStringLiteral("NOME LIKE'C%'"));
    EXPECT_TRUE(messages.shown.isEmpty());
}

TEST_F(CustomerList, NomePrintsTheSelectedCustomerAloneAndLeavesTheListUnfiltered) {
    press(Qt::Key_F2);
    ASSERT_TRUE(DM->TabCadCli.locate(QStringLiteral("NOME"), QStringLiteral("BRUNO")));
    FCadCli->RadioGroup1->click(1);
    bool filteredWhilePreviewing = false;
    printing.whilePreviewing = [&](const Report::Prepared&) {
        filteredWhilePreviewing = DM->TabCadCli.filtered();
    };
    press(Qt::Key_F10);

    EXPECT_EQ(printedNames(), QStringList{QStringLiteral("BRUNO")});
    EXPECT_EQ(printing.last().framesOf(QStringLiteral("MasterData1")), 1);
    EXPECT_EQ(printed(QStringLiteral("Count")), QStringLiteral("1"));
    EXPECT_EQ(printed(QStringLiteral("DBClienteDATA")), QStringLiteral("05/01/2025 08:30:15"));
    EXPECT_EQ(printed(QStringLiteral("DBClienteCIDADE")), QStringLiteral("RECIFE"));
    EXPECT_EQ(FCadCli->Edit2->text(), QStringLiteral("5"));
    EXPECT_TRUE(filteredWhilePreviewing);
    EXPECT_FALSE(DM->TabCadCli.filtered());
    EXPECT_EQ(DM->TabCadCli.filter(), QStringLiteral("Codigo LIKE'5'"));
    EXPECT_EQ(DM->TabCadCli.recordCount(), 6) << "every customer, the walk-in one too";
    EXPECT_EQ(FCadCli->Label14->text(), QStringLiteral("(5)")) << "the count is not refreshed";
}

TEST_F(CustomerList, ALongObservationIsCutAtItsBoxAndTheBlockKeepsItsHeight) {
    QString obs;
    for (int i = 1; i <= 60; ++i)
        obs += QStringLiteral("OBSERVAÇÃO NÚMERO %1 ").arg(i);
    sql(QStringLiteral("update TABCADCLI set OBS = ? where CODIGO = 3"), {obs.trimmed()});
    press(Qt::Key_F2);
    press(Qt::Key_F10);

    const Report::Item* cut = printing.last().itemsOf(QStringLiteral("DBClienteOBS"))[1];
    ASSERT_EQ(cut->text, obs.trimmed());
    const double line = Report::TextMetrics::lineHeight(cut->style);
    EXPECT_EQ(cut->lines.size(), qsizetype(25 / line));
    EXPECT_DOUBLE_EQ(cut->rect.height(), 25);
    EXPECT_TRUE(cut->clip);
    for (const Report::Item* block : printing.last().pages[0].framesOf(QStringLiteral("MasterData1")))
        EXPECT_DOUBLE_EQ(block->rect.height(), 78);
}

TEST_F(CustomerList, NothingPrintsWhileACustomerIsBeingTyped) {
    press(Qt::Key_F4);
    type(QStringLiteral("NOVO"));
    press(Qt::Key_F10);

    EXPECT_TRUE(printing.shown.isEmpty());
    EXPECT_EQ(count(QStringLiteral("TABCADCLI")), 6) << "the new customer is not saved by printing";
}

} // namespace
