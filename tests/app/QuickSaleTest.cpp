#include "Printers.h"
#include "ProgramFixture.h"
#include "app/uBrolavi.h"
#include "cash/uVendasAvista.h"
#include "data/uDM.h"
#include "platform/widgets/DBGrid.h"
#include "platform/widgets/DataWidgets.h"

#include <QToolButton>

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

} // namespace
