#include "LedgerFixture.h"
#include "Printers.h"
#include "ReportFit.h"
#include "data/Ledger.h"
#include "data/Shop.h"

#include <QToolButton>

namespace {

// The booklet of slips printed from the ledger with F8; the pages are read as the preview would show them.
class Booklet : public LedgerTest {
protected:
    void SetUp() override {
        LedgerTest::SetUp();
        addCustomer(1, QStringLiteral("MARIA JOSÉ"), QStringLiteral("529.982.247-25"));
        sql(QStringLiteral(
            "update TABCADCLI set ENDERECO = 'RUA DAS FLORES', NUMERO = '12', BAIRRO = 'CENTRO', "
            "CIDADE = 'LINS', ESTADO = 'SP' where CODIGO = 1"));
        addCustomer(2, QStringLiteral("BETO"));
    }
    void sell(int customer, const char* description, const char* unit, int instalments) {
        SaleItem item{QString::fromUtf8(description), Currency::parse(QString::fromUtf8(unit)), 1,
                      QStringLiteral("1")};
        Ledger(*DM).creditSaleInInstalments(customer, item, instalments, QString::number(instalments));
    }
    // One object's texts on each page.
    QVector<QStringList> perPage(const QString& object) const {
        QVector<QStringList> out;
        for (const Report::Page& page : printing.last().pages) {
            QStringList texts;
            for (const Report::Item* i : page.itemsOf(object))
                texts << i->text;
            out << texts;
        }
        return out;
    }
};

TEST_F(Booklet, FourInstalmentsPrintThreeSlipsToAPageWithTheirStubsAndCutLines) {
    Shop(DM->FDConnection1)
        .save({QStringLiteral("MÓVEIS AVENIDA"), QStringLiteral("11222333000181"),
               QStringLiteral("AV. BRASIL, 1"), QStringLiteral("(14)3522-1000"), QStringLiteral("LINS"),
               PixKeyKind::None, QString()});
    sell(1, "SOFÁ 3 LUGARES", "1000,00", 4);
    sell(2, "MESA", "300,00", 3); // another customer's
    openLedgerFor(QStringLiteral("MARIA JOSÉ"));
    EXPECT_EQ(FDividas->BCarne->text(), QStringLiteral("Carnê [F8]"));
    press(Qt::Key_F8);

    ASSERT_EQ(printing.shown.size(), 1);
    EXPECT_TRUE(messages.log().isEmpty());
    const Report::Prepared& r = printing.last();
    EXPECT_EQ(r.pageSize, QSizeF(210, 297)) << "A4 portrait";
    ASSERT_EQ(r.pages.size(), 2);
    EXPECT_EQ(perPage(QStringLiteral("Parcel")),
              (QVector<QStringList>{{"Parc. 1 de 4", "Parc. 2 de 4", "Parc. 3 de 4"}, {"Parc. 4 de 4"}}));
    EXPECT_EQ(perPage(QStringLiteral("Due")),
              (QVector<QStringList>{{"09/01/2026", "09/02/2026", "09/03/2026"}, {"09/04/2026"}}));
    EXPECT_EQ(
        perPage(QStringLiteral("StubParcel")),
        (QVector<QStringList>{{"Parcela: Parc. 1 de 4", "Parcela: Parc. 2 de 4", "Parcela: Parc. 3 de 4"},
                              {"Parcela: Parc. 4 de 4"}}));
    EXPECT_EQ(perPage(QStringLiteral("StubDue"))[1], QStringList{QStringLiteral("Vencimento: 09/04/2026")});
    EXPECT_EQ(perPage(QStringLiteral("Cut")),
              (QVector<QStringList>{{QString(), QString(), QString()}, {QString()}}))
        << "a cut line under every slip";

    // Every slip and its stub say the same of the shop, the customer and the sale.
    const struct {
        const char* object;
        const char* text;
    } each[] = {
        {"Shop", "MÓVEIS AVENIDA"},
        {"ShopDocument", "CNPJ: 11.222.333/0001-81"},
        {"ShopTelephone", "Tel.: (14)3522-1000"},
        {"Customer", "Cliente: MARIA JOSÉ"},
        {"CustomerCpf", "CPF: 529.982.247-25"},
        {"CustomerAddress", "Endereço: RUA DAS FLORES, 12 - CENTRO - LINS/SP"},
        {"Description", "SOFÁ 3 LUGARES"},
        {"Value", "R$ 250,00"},
        {"StubCustomer", "MARIA JOSÉ"},
        {"StubValue", "Valor: R$ 250,00"},
        {"StubPaid", "Pago em: ____/____/______"},
        {"StubSignature", "Assinatura:"},
    };
    for (const auto& e : each) {
        const QVector<const Report::Item*> items = r.itemsOf(QString::fromUtf8(e.object));
        ASSERT_EQ(items.size(), 4) << e.object;
        for (const Report::Item* i : items)
            EXPECT_EQ(i->text, QString::fromUtf8(e.text)) << e.object;
    }
    // The stub stands left of a dashed line down the slip; the slips follow each other down the page.
    const QVector<const Report::Item*> stubCuts = r.pages[0].itemsOf(QStringLiteral("StubCut"));
    ASSERT_EQ(stubCuts.size(), 3);
    for (const Report::Item* cut : stubCuts) {
        EXPECT_TRUE(cut->dashed);
        EXPECT_GT(cut->rect.left(), r.pages[0].itemsOf(QStringLiteral("StubValue"))[0]->rect.right());
        EXPECT_LT(cut->rect.left(), r.pages[0].itemsOf(QStringLiteral("Customer"))[0]->rect.left());
    }
    const QVector<const Report::Item*> cuts = r.pages[0].itemsOf(QStringLiteral("Cut"));
    EXPECT_LE(cuts[2]->rect.bottom(), 287) << "inside the bottom margin";
    EXPECT_LT(cuts[0]->rect.top(), r.pages[0].itemsOf(QStringLiteral("Shop"))[1]->rect.top());

    // Once the first is paid, three slips are left on one page.
    sql(QStringLiteral(
        "update TABDIVIDAS set STATUS_PAG = 'PG' where CLIENTE = 1 and PARCELA = 'Parc. 1 de 4'"));
    press(Qt::Key_F8);
    ASSERT_EQ(printing.shown.size(), 2);
    EXPECT_EQ(perPage(QStringLiteral("Parcel")),
              (QVector<QStringList>{{"Parc. 2 de 4", "Parc. 3 de 4", "Parc. 4 de 4"}}));
}

TEST_F(Booklet, EveryTextOfTheSlipsPrintsWholeAtTheLongestAScreenTakes) {
    // Names at the length their fields take: the shop's 60, the customer's 60, the street 60, the number 10,
    // the district 40, the city 20; the description 150.
    const QString description = QStringLiteral(
        "JOGO DE PANELAS INOX COM 10 PEÇAS, TAMPAS DE VIDRO TEMPERADO, CABOS DE BAQUELITE, FUNDO TRIPLO PARA "
        "FOGÃO DE INDUÇÃO, COR GRAFITE, GARANTIA DE 5 ANOS.");
    const QString widest = QString(60, u'W');
    struct Case {
        QString shop;
        QString customer;
        QString street, number, district, city;
        QString description;
        const char* value;
    };
    const Case cases[] = {
        {QStringLiteral("COMERCIAL DE MÓVEIS SÃO JOÃO DA BOA VISTA LTDA"), QStringLiteral("JOSÉ DA SILVA"),
         QStringLiteral("RUA DAS FLORES"), QStringLiteral("12"), QStringLiteral("CENTRO"),
         QStringLiteral("MOGI DAS CRUZES"), QStringLiteral("SOFÁ"), "1500,00"},
        {QStringLiteral("MÓVEIS E ELETRODOMÉSTICOS SÃO JOÃO DA BOA VISTA LTDA. FILIAL"),
         QStringLiteral("MARIA APARECIDA DE FÁTIMA DOS SANTOS OLIVEIRA DE ALBUQUERQUE"),
         QStringLiteral("AVENIDA PRESIDENTE JUSCELINO KUBITSCHEK DE OLIVEIRA - QUADRA"),
         QStringLiteral("12345-BL.B"), QStringLiteral("CONJUNTO HABITACIONAL JARDIM PALMEIRA II"),
         QStringLiteral("PRESIDENTE VENCESLAU"), description, "99999999,99"},
        // The widest letter in every field, and money with as many figures as the most the program holds
        // (R$ 922.337.203.685.477,58; the ledger refuses a total past it, so less on each of three slips).
        {widest, widest, widest, widest.left(10), widest.left(40), widest.left(20), QString(150, u'W'),
         "300000000000000,00"},
    };
    int code = 100;
    for (const Case& c : cases) {
        const int customer = code;
        addCustomer(customer, c.customer);
        sql(QStringLiteral(
                "update TABCADCLI set CPF = '529.982.247-25', ENDERECO = ?, NUMERO = ?, BAIRRO = ?, "
                "CIDADE = ?, ESTADO = 'SP' where CODIGO = ?"),
            {c.street, c.number, c.district, c.city, customer});
        for (int i = 1; i <= 3; ++i)
            sql(QStringLiteral(
                    "insert into TABDIVIDAS (CODIGO, CLIENTE, DATA, DESCRICAO, QUANTIDADE, VALOR_UN, "
                    "VALOR, DATA_VENC, STATUS_PAG, CONTA, PARCELA) values (?, ?, ?, ?, 1, ?, ?, ?, "
                    "'NP', 'N', ?)"),
                {++code, customer, QDate(2026, 1, 9), c.description,
                 QVariant::fromValue(Currency::parse(QString::fromUtf8(c.value))),
                 QVariant::fromValue(Currency::parse(QString::fromUtf8(c.value))),
                 QDate(2026, 1, 9).addMonths(i), QStringLiteral("Parc. %1 de 12").arg(i)});
        code += 10;
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.customer.toStdString());
        Shop(DM->FDConnection1)
            .save({c.shop, QStringLiteral("11222333000181"), QStringLiteral("AV. BRASIL, 1"),
                   QStringLiteral("(14)99999-1000"), QStringLiteral("LINS"), PixKeyKind::None, QString()});
        openLedgerFor(c.customer);
        press(Qt::Key_F8);
        const Report::Prepared& r = printing.last();

        EXPECT_EQ(r.pages.size(), 1) << "three slips to a page";
        EXPECT_EQ(r.itemsOf(QStringLiteral("Parcel")).size(), 3);
        EXPECT_EQ(ReportFit::cutTexts(r), QStringList());
        EXPECT_EQ(ReportFit::overlappingTexts(r), QStringList());
        // Whole texts, on the slip and on the stub.
        EXPECT_EQ(r.first(QStringLiteral("Shop"))->text, c.shop);
        EXPECT_EQ(r.first(QStringLiteral("Customer"))->text, QStringLiteral("Cliente: ") + c.customer);
        EXPECT_EQ(r.first(QStringLiteral("StubCustomer"))->text, c.customer);
        EXPECT_TRUE(
            r.first(QStringLiteral("CustomerAddress"))->text.endsWith(c.city + QStringLiteral("/SP")));
        EXPECT_EQ(r.first(QStringLiteral("Value"))->text,
                  Currency::parse(QString::fromUtf8(c.value)).format());
        // Everything stays within its own slip, above the line where it is cut off.
        const QVector<const Report::Item*> cuts = r.pages[0].itemsOf(QStringLiteral("Cut"));
        ASSERT_EQ(cuts.size(), 3);
        for (const Report::Item& i : r.pages[0].items) {
            if (i.kind == Report::Item::Kind::Text && i.rect.top() < cuts[0]->rect.top()) {
                EXPECT_LE(i.rect.bottom(), cuts[0]->rect.top()) << i.name.toStdString();
            }
        }
    }
    EXPECT_TRUE(messages.log().isEmpty());
}

TEST_F(Booklet, PagesHoldThreeSlipsEachAndAnEntryOfNoPlanIsOneParcel) {
    const QDate today = clock.currentDateTime().date();
    openLedgerFor(QStringLiteral("BETO"));
    for (const auto& [slips, pages] :
         {std::pair{1, 1}, std::pair{3, 1}, std::pair{4, 2}, std::pair{6, 2}, std::pair{7, 3}}) {
        SCOPED_TRACE(slips);
        sql(QStringLiteral("delete from TABDIVIDAS"));
        for (int i = 1; i <= slips; ++i)
            addEntry(i, 2, QStringLiteral("10,00"), today.addDays(slips - i)); // the last due first
        press(Qt::Key_F8);
        const Report::Prepared& r = printing.last();
        EXPECT_EQ(r.pages.size(), pages);
        EXPECT_EQ(r.itemsOf(QStringLiteral("Parcel")).size(), slips);
        EXPECT_EQ(r.first(QStringLiteral("Description"))->text, QStringLiteral("ITEM %1").arg(slips))
            << "earliest due first";
        EXPECT_EQ(r.first(QStringLiteral("Parcel"))->text, QStringLiteral("Parcela única"));
        // No shop details stored and no CPF or address registered: those lines print blank.
        EXPECT_EQ(r.first(QStringLiteral("Shop"))->text, QString());
        EXPECT_EQ(r.first(QStringLiteral("ShopDocument"))->text, QString());
        EXPECT_EQ(r.first(QStringLiteral("CustomerCpf"))->text, QString());
        EXPECT_EQ(r.first(QStringLiteral("CustomerAddress"))->text, QString());
        EXPECT_EQ(r.first(QStringLiteral("Customer"))->text, QStringLiteral("Cliente: BETO"));
    }
    EXPECT_TRUE(messages.log().isEmpty());
}

TEST_F(Booklet, NeedsACustomerWithSomethingOpenOnCredit) {
    const QDate today = clock.currentDateTime().date();
    addEntry(1, 2, QStringLiteral("10,00"), today, "PG");     // paid
    addEntry(2, 2, QStringLiteral("5,00"), today, "NP", "V"); // a cash-sale item
    addEntry(3, 1, QStringLiteral("7,00"), today);            // someone else's
    showActive(FDividas);
    press(Qt::Key_F8);
    openLedgerFor(QStringLiteral("BETO"));
    press(Qt::Key_F8);
    EXPECT_EQ(messages.log(),
              (QStringList{QStringLiteral("warning|AVISO !|POR FAVOR SELECIONE O CLIENTE"),
                           QStringLiteral("warning|AVISO !|NENHUMA PARCELA EM ABERTO PARA ESTE CLIENTE")}));
    EXPECT_TRUE(printing.shown.isEmpty());
    EXPECT_TRUE(DM->TabDividas.isOpen()) << "the ledger stays as it was";
}

TEST_F(Booklet, ACorrectionLeftWithoutEnterIsDroppedBeforePrinting) {
    addEntry(1, 2, QStringLiteral("10,00"), clock.currentDateTime().date());
    openLedgerFor(QStringLiteral("BETO"));
    press(Qt::Key_F6);
    FDividas->DBGrid1->model()->setData(FDividas->DBGrid1->model()->index(0, 1), QStringLiteral("OUTRA"),
                                        Qt::EditRole);
    press(Qt::Key_F8);
    EXPECT_FALSE(DM->TabDividas.isEditing());
    EXPECT_EQ(printing.last().first(QStringLiteral("Description"))->text, QStringLiteral("ITEM 1"));
}

} // namespace
