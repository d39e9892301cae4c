#include "OtherTill.h"
#include "Printers.h"
#include "ProgramFixture.h"
#include "app/uBrolavi.h"
#include "cash/uVendasAvista.h"
#include "credit/uPagamentos.h"
#include "data/uDM.h"
#include "platform/core/Connection.h"
#include "platform/widgets/DBGrid.h"
#include "platform/widgets/DataWidgets.h"

#include <QLineEdit>
#include <QToolButton>
#include <QtTest>

namespace {

class QuickSale : public ProgramFixture {
protected:
    // One click on the toolbar button; returns what the cash sale showed.
    QString click() {
        QString seen;
        modal.onShow(QStringLiteral("FVendasAvista"), [&seen](QDialog*) {
            seen = QStringLiteral("%1|%2|%3|%4")
                       .arg(FVendasAvista->DBText1->text())
                       .arg(FVendasAvista->BPesquisar->isEnabled() ? QStringLiteral("search")
                                                                   : QStringLiteral("no search"))
                       .arg(FVendasAvista->DBGrid1->model()->rowCount())
                       .arg(FVendasAvista->DBText2->text());
        });
        TelaInicial->BVendas_rapidas->click();
        return seen;
    }
    QString walkIns() {
        return sqlValue(QStringLiteral("select list(CODIGO) from TABCADCLI where NOME = 'CLIENTE AVULSO'"))
            .toString();
    }
};

TEST_F(QuickSale, CreatesTheWalkInCustomerOnceInAnEmptyTable) {
    EXPECT_EQ(click(), QStringLiteral("CLIENTE AVULSO|no search|0|"));
    EXPECT_EQ(walkIns(), QStringLiteral("1"));
    EXPECT_FALSE(FVendasAvista->AvulsoTrue) << "cleared when the cash sale closed";
    EXPECT_EQ(click(), QStringLiteral("CLIENTE AVULSO|no search|0|"));
    EXPECT_EQ(walkIns(), QStringLiteral("1"));
}

TEST_F(QuickSale, AddsTheWalkInCustomerAfterTheOthersAndListsOnlyItsOpenCashItems) {
    for (int code = 1; code <= 5; ++code)
        sql(QStringLiteral("insert into TABCADCLI (CODIGO, NOME) values (?, ?)"),
            {code, QStringLiteral("C%1").arg(code)});
    EXPECT_EQ(click(), QStringLiteral("CLIENTE AVULSO|no search|0|"));
    EXPECT_EQ(walkIns(), QStringLiteral("6"));
    struct Entry {
        int code;
        const char* status;
        const char* account;
    };
    for (const Entry& e :
         {Entry{1, "NP", "V"}, Entry{2, "NP", "V"}, Entry{3, "PG", "V"}, Entry{4, "NP", "N"}})
        sql(QStringLiteral("insert into TABDIVIDAS (CODIGO, CLIENTE, VALOR, STATUS_PAG, CONTA) values (?, 6, "
                           "2.5, ?, ?)"),
            {e.code, QString::fromUtf8(e.status), QString::fromUtf8(e.account)});
    EXPECT_EQ(click(), QStringLiteral("CLIENTE AVULSO|no search|2|R$ 5,00"));
    EXPECT_EQ(walkIns(), QStringLiteral("6")) << "found, not created again";
}

// Another till starting its first quick sale at the same time makes the walk-in customer, if there is none
// yet, while this till's quick sale looks for it or makes it (just before its statement number `at`):
// whenever that is, there is one walk-in customer.
TEST_F(QuickSale, TwoTillsStartingAtOnceMakeOneWalkInCustomer) {
    sql(QStringLiteral("insert into TABCADCLI (CODIGO, NOME) values (1, 'ANA')"));
    const std::unique_ptr<Connection> otherTill = connectTo(db.path());
    for (int at = 1; at <= 6; ++at) {
        SCOPED_TRACE(at);
        sql(QStringLiteral("delete from TABCADCLI where CODIGO > 1"));
        {
            AtStatement meanwhile(at, [&otherTill] {
                otherTill->execute(QStringLiteral(
                    "insert into TABCADCLI (CODIGO, NOME, DATA) select max(CODIGO) + 1, 'CLIENTE AVULSO', "
                    "current_timestamp from TABCADCLI having (select count(*) from TABCADCLI where NOME = "
                    "'CLIENTE AVULSO') = 0"));
            });
            EXPECT_EQ(click(), QStringLiteral("CLIENTE AVULSO|no search|0|"));
            EXPECT_TRUE(meanwhile.ran());
        }
        EXPECT_EQ(walkIns(), QStringLiteral("2"));
    }
}

// Two tills ring up quick sales for the walk-in customer at the same time: this one lists and pays the items
// it rang up and those left open before it started, never those of the other till.
TEST_F(QuickSale, ATillPaysOnlyTheWalkInItemsItRangUp) {
    sql(QStringLiteral("insert into TABCADCLI (CODIGO, NOME) values (1, 'CLIENTE AVULSO')"));
    const std::unique_ptr<Connection> otherTill = connectTo(db.path());
    const auto ringsUp = [](Connection& till, int code, int value) {
        till.execute(QStringLiteral("insert into TABDIVIDAS (CODIGO, CLIENTE, DESCRICAO, VALOR, STATUS_PAG, "
                                    "CONTA, PARCELA) values (?, 1, 'PAO', ?, 'NP', 'V', 'À Vista')"),
                     {code, value});
    };
    ringsUp(DM->FDConnection1, 1, 2); // left open by an earlier quick sale
    // A key as the shopkeeper presses it: to the control that has the focus.
    const auto press = [](Qt::Key key) {
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : FVendasAvista, key);
    };
    const auto ringUpHere = [&press](const QString& description, const QString& unit) {
        press(Qt::Key_F4);
        QTest::keyClicks(FVendasAvista->Edit1, description);
        QTest::keyClicks(FVendasAvista->Edit2, unit);
        QTest::keyClick(FVendasAvista->Edit2, Qt::Key_Return);
    };
    QString listed;
    QString due;
    modal.onShow(QStringLiteral("FVendasAvista"), [&](QDialog*) {
        ringsUp(*otherTill, 2, 5);
        ringUpHere(QStringLiteral("CAFE"), QStringLiteral("3")); // 3
        ringsUp(*otherTill, 4, 7);
        ringUpHere(QStringLiteral("LEITE"), QStringLiteral("4")); // 5
        listed = QStringLiteral("%1|%2")
                     .arg(FVendasAvista->DBGrid1->model()->rowCount())
                     .arg(FVendasAvista->DBText2->text());
        modal.onShow(QStringLiteral("FPagamentos"), [&](QDialog*) {
            due = FPagamentos->DBText3->text();
            QTest::keyClicks(FPagamentos->Edit1, QStringLiteral("10"));
            messages.answers.enqueue(QMessageBox::Yes);
            QTest::keyClick(FPagamentos->Edit1, Qt::Key_Return);
        });
        press(Qt::Key_F5);
    });
    TelaInicial->BVendas_rapidas->click();
    EXPECT_EQ(listed, QStringLiteral("3|R$ 9,00"));
    EXPECT_EQ(due, QStringLiteral("R$ 9,00"));
    EXPECT_EQ(
        sqlValue(QStringLiteral("select list(CODIGO || ':' || STATUS_PAG, ' ') from TABDIVIDAS")).toString(),
        QStringLiteral("1:PG 2:NP 3:PG 4:NP 5:PG"));
}

} // namespace
