#include "CustomerScreen.h"
#include "Printers.h"
#include "credit/uCompras.h"
#include "data/uDM.h"
#include "platform/core/DataSource.h"
#include "platform/core/Query.h"
#include "platform/widgets/DBGrid.h"
#include "platform/widgets/DataWidgets.h"

namespace {

// The viewer shown for the current row of a caller's ledger listing.
class PurchaseLines : public ScreenTest {
protected:
    void SetUp() override {
        ScreenTest::SetUp();
        addCustomer(1, QStringLiteral("ANA"));
        addCustomer(2, QStringLiteral("BETO"));
        addCustomer(3, QStringLiteral("ANA")); // another customer of the same name
        entry(1, 1, day);
        entry(2, 2, day);
        entry(3, 1, day.addDays(1));
        line(1, 1, day, "CAMISA", "30,00", 1);
        line(2, 1, day, "MEIA", "5,50", 1);
        line(3, 3, day, "BONE", "10,00", 1);
        line(4, 1, day.addDays(-1), "CINTO", "12,00", 1);
        line(5, 2, day, "CALCA", "80,00", 2);
        listing = std::make_unique<Query>(DM->FDConnection1);
        source = std::make_unique<DataSource>(listing.get());
        listing->setSql(
            QStringLiteral("select * from tabdividas Inner join TabCadCli on (Tabdividas.cliente = "
                           "TabcadCli.Codigo) ORDER BY tabdividas.codigo"));
        listing->open();
        FCompras->setSource(source.get());
    }
    void TearDown() override {
        FCompras->setSource(nullptr);
        source.reset();
        listing.reset();
        ScreenTest::TearDown();
    }
    void entry(int code, int customer, const QDate& sold) {
        sql(QStringLiteral(
                "insert into TABDIVIDAS (CODIGO, CLIENTE, DATA, STATUS_PAG) values (?, ?, ?, 'NP')"),
            {code, customer, sold});
    }
    void line(int code, int customer, const QDate& sold, const char* description, const char* value,
              int sale) {
        sql(QStringLiteral("insert into TABDESC_COMPRAS (CODIGO, CLIENTE, DATA, DESCRICAO, VALOR, VALOR_UN, "
                           "QUANTIDADE, STATUS, COD_VENDA) values (?, ?, ?, ?, ?, ?, 1, 'À Prazo', ?)"),
            {code, customer, sold, QString::fromUtf8(description),
             QVariant::fromValue(Currency::parse(QString::fromUtf8(value))),
             QVariant::fromValue(Currency::parse(QString::fromUtf8(value))), sale});
    }
    QStringList shown() {
        QStringList out;
        for (int r = 0; r < FCompras->DBGrid1->model()->rowCount(); ++r)
            out << FCompras->DBGrid1->cellText(r, 1);
        return out;
    }

    QDate day{2025, 11, 28};
    std::unique_ptr<Query> listing;
    std::unique_ptr<DataSource> source;
};

TEST_F(PurchaseLines, ListEveryLineOfThatNameAndDayWithTheirTotal) {
    showActive(FCompras);
    EXPECT_EQ(FCompras->DBText1->text(), QStringLiteral("ANA"));
    EXPECT_EQ(shown(),
              (QStringList{QStringLiteral("CAMISA"), QStringLiteral("MEIA"), QStringLiteral("BONE")}))
        << "every sale of the day, of every customer called so, and not the day before";
    EXPECT_EQ(FCompras->DBGrid1->cellText(1, 3), QStringLiteral("R$ 5,50"));
    EXPECT_EQ(FCompras->DBText2->text(), QStringLiteral("R$ 45,50"));
    FCompras->close();

    listing->next();
    showActive(FCompras);
    EXPECT_EQ(FCompras->DBText1->text(), QStringLiteral("BETO")) << "each showing follows the current row";
    EXPECT_EQ(shown(), QStringList{QStringLiteral("CALCA")});
    FCompras->close();

    listing->next();
    showActive(FCompras);
    EXPECT_EQ(shown(), QStringList{}) << "a day without purchase lines";
    EXPECT_TRUE(FCompras->DBText2->text().isEmpty());
    FCompras->close();
}

} // namespace
