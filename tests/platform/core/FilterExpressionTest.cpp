#include "platform/core/FilterExpression.h"
#include "Printers.h"
#include "ScratchDatabase.h"
#include "TestCharacterSet.h"
#include "platform/core/Errors.h"

#include <gtest/gtest.h>

namespace {

QVector<int> visibleCodes(TableDataset& ds) {
    QVector<int> codes;
    for (ds.first(); !ds.eof(); ds.next())
        codes << ds.value(QStringLiteral("CODIGO")).toInt();
    return codes;
}

// The customers and ledger entries the cases below select from.
class FilterFixture : public ::testing::Test {
protected:
    void SetUp() override {
        const QStringList names = {
            QStringLiteral("ANA"),     QStringLiteral("ANA "),         QStringLiteral("ANABELA"),
            QStringLiteral("ana"),     QStringLiteral("D'ÁVILA"),      QStringLiteral("A_C"),
            QStringLiteral("ABC"),     QStringLiteral("MARIA"),        QStringLiteral("CLIENTE AVULSO"),
            QStringLiteral("MARIANA"), QStringLiteral("100% ALGODÃO"), QStringLiteral("JOSÉ")};
        for (int i = 0; i < names.size(); ++i)
            tables.connection.execute(
                QStringLiteral("insert into TABCADCLI (CODIGO, NOME, CPF) values (?, ?, ?)"),
                {i + 1, names[i], i % 2 ? QVariant() : QVariant(QStringLiteral("1"))});
        struct Entry {
            int code;
            QVariant client;
            const char* status;
            const char* account;
        };
        for (const Entry& e :
             {Entry{1, 12, "NP", "N"}, Entry{2, 12, "NP", "V"}, Entry{3, 12, "PG", "N"},
              Entry{4, 120, "NP", "N"}, Entry{5, 2, "NP", "P"}, Entry{6, 112, "NP", "N"},
              Entry{7, QVariant(), "NP", "N"}, Entry{8, -5, "NP", "N"}, Entry{9, 12, "N ", "N"}})
            tables.connection.execute(
                QStringLiteral(
                    "insert into TABDIVIDAS (CODIGO, CLIENTE, STATUS_PAG, CONTA) values (?, ?, ?, ?)"),
                {e.code, e.client, QString::fromUtf8(e.status), QString::fromUtf8(e.account)});
    }

    TableDataset& dataset(const QString& table) {
        return table == u"TABCADCLI" ? tables.customers : tables.ledger;
    }

    ScratchDatabase db{ShopDatasets::tables()};
    ShopDatasets tables{db.path()};
};

struct FilterCase {
    const char* table;
    const char* filter;
    QVector<int> expected;
};

class FilterSelects : public FilterFixture, public ::testing::WithParamInterface<FilterCase> {};

// The database (through the SQL the filter renders) and the tree evaluated in C++ must pick the same rows:
// the ones listed.
TEST_P(FilterSelects, TheSameRowsInTheDatabaseAndInMemory) {
    const FilterCase& c = GetParam();
    TableDataset& ds = dataset(QString::fromUtf8(c.table));
    ds.open();

    QVector<Row> all;
    for (ds.first(); !ds.eof(); ds.next()) {
        Row r;
        for (int i = 0; i < ds.schema().columns.size(); ++i)
            r << ds.value(i);
        all << r;
    }
    FilterExpression e = FilterExpression::parse(QString::fromUtf8(c.filter));
    e.bind(ds.schema());
    QVector<int> inMemory;
    for (const Row& r : all)
        if (e.matches(r))
            inMemory << r[0].toInt();
    EXPECT_EQ(inMemory, c.expected) << "in memory: " << c.filter;

    ds.setFilter(QString::fromUtf8(c.filter));
    ds.setFiltered(true);
    EXPECT_EQ(visibleCodes(ds), c.expected) << "in the database: " << c.filter;
    EXPECT_EQ(ds.recordCount(), c.expected.size()) << c.filter;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FilterSelects,
    ::testing::Values(
        FilterCase{"TABCADCLI", "NOME LIKE'ANA%'", {1, 2, 3}}, FilterCase{"TABCADCLI", "NOME LIKE'ANA'", {1}},
        FilterCase{"TABCADCLI", "NOME ='ANA'", {1}}, FilterCase{"TABCADCLI", "NOME ='ANA '", {2}},
        FilterCase{"TABCADCLI", "NOME <>'ANA'", {2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}},
        FilterCase{"TABCADCLI", "nome like'ana'", {4}}, FilterCase{"TABCADCLI", "Nome Like 'ana%'", {4}},
        FilterCase{"TABCADCLI", "NOME LIKE'D''ÁVILA'", {5}}, FilterCase{"TABCADCLI", "NOME ='D''ÁVILA'", {5}},
        FilterCase{"TABCADCLI", "NOME LIKE'A_C'", {6}}, FilterCase{"TABCADCLI", "NOME LIKE'%C'", {6, 7}},
        FilterCase{"TABCADCLI", "NOME LIKE'%A%A%'", {1, 2, 3, 8, 10}},
        FilterCase{"TABCADCLI", "NOME LIKE'%'", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}},
        FilterCase{"TABCADCLI", "NOME LIKE'100%'", {11}}, FilterCase{"TABCADCLI", "NOME LIKE'JOS%'", {12}},
        FilterCase{"TABCADCLI", "NOME LIKE'MA%'AND NOME <>'CLIENTE AVULSO'", {8, 10}},
        FilterCase{"TABCADCLI", "NOME <>'CLIENTE AVULSO'", {1, 2, 3, 4, 5, 6, 7, 8, 10, 11, 12}},
        FilterCase{"TABCADCLI", "CPF LIKE'%'", {1, 3, 5, 7, 9, 11}},
        FilterCase{"TABCADCLI", "CPF <>'2'", {1, 3, 5, 7, 9, 11}},
        FilterCase{"TABCADCLI", "Codigo LIKE'12'", {12}}, FilterCase{"TABCADCLI", "Codigo ='012'", {12}},
        FilterCase{"TABCADCLI", "Codigo =' 3'", {3}}, FilterCase{"TABCADCLI", "Codigo LIKE'012'", {}},
        FilterCase{"TABCADCLI", "Codigo LIKE'1%'", {1, 10, 11, 12}},
        FilterCase{"TABCADCLI", "Codigo <>'1'AND Codigo <>'2'", {3, 4, 5, 6, 7, 8, 9, 10, 11, 12}},
        FilterCase{"TABDIVIDAS", "Cliente LIKE'12'AND Status_Pag ='NP'AND Conta <>'V'", {1}},
        FilterCase{"TABDIVIDAS", "Cliente LIKE'12'AND Status_Pag ='NP'AND Conta ='V'", {2}},
        FilterCase{"TABDIVIDAS", "CLIENTE LIKE'12'AND STATUS_PAG='NP'AND CONTA<>'V'", {1}},
        FilterCase{"TABDIVIDAS", "Cliente LIKE'012'", {}},
        FilterCase{"TABDIVIDAS", "Cliente ='012'", {1, 2, 3, 9}},
        FilterCase{"TABDIVIDAS", "Cliente LIKE'%12'", {1, 2, 3, 6, 9}},
        FilterCase{"TABDIVIDAS", "Cliente LIKE'1_2'", {}}, FilterCase{"TABDIVIDAS", "Cliente LIKE'-5'", {8}},
        FilterCase{"TABDIVIDAS", "Cliente <>'12'", {4, 5, 6, 8}},
        FilterCase{"TABDIVIDAS", "Status_Pag ='N'", {}}, FilterCase{"TABDIVIDAS", "Status_Pag ='N '", {9}},
        FilterCase{"TABDIVIDAS", "Status_Pag LIKE'N'", {}},
        // Literals longer than the two-character column: the engine refuses such a parameter.
        FilterCase{"TABDIVIDAS", "Status_Pag ='NPX'", {}},
        FilterCase{"TABDIVIDAS", "Status_Pag <>'NPX'", {1, 2, 3, 4, 5, 6, 7, 8, 9}},
        FilterCase{"TABDIVIDAS", "Status_Pag LIKE'NPX%'", {}},
        FilterCase{"TABDIVIDAS", "Status_Pag LIKE'N%%%'", {1, 2, 4, 5, 6, 7, 8, 9}},
        FilterCase{"TABDIVIDAS", "Status_Pag LIKE'%P%G%'", {3}},
        FilterCase{"TABDIVIDAS", "Cliente LIKE'1%%%%%%%%%%%%%%%%%%%%%%'", {1, 2, 3, 4, 6, 9}},
        // Characters some character sets cannot hold (WIN1252 and NONE no "Ł", Latin-1 no "€", none of
        // them an emoji): no name stored holds them, and the engine would refuse them as parameters.
        FilterCase{"TABCADCLI", "NOME LIKE'Ł%'", {}}, FilterCase{"TABCADCLI", "NOME ='ŁUKASZ'", {}},
        FilterCase{"TABCADCLI", "NOME LIKE'100€%'", {}}, FilterCase{"TABCADCLI", "NOME LIKE'%😀%'", {}},
        FilterCase{"TABCADCLI", "NOME LIKE'A%'AND NOME <>'😀'", {1, 2, 3, 6, 7}},
        FilterCase{"TABCADCLI", "CPF <>'Ł'", {1, 3, 5, 7, 9, 11}}));

// Latin-1 has no typographic apostrophe, which phones type for the plain one; where the column can hold it,
// it is a character of its own.
TEST_F(FilterFixture, ATypographicApostropheIsThePlainOneOnlyWhereTheColumnCannotHoldIt) {
    const QVector<int> expected = testCharacterSet() == u"ISO8859_1" ? QVector<int>{5} : QVector<int>{};
    TableDataset& ds = tables.customers;
    ds.open();
    ds.setFilter(QStringLiteral("NOME LIKE'D’%'"));
    ds.setFiltered(true);
    EXPECT_EQ(visibleCodes(ds), expected);
    FilterExpression e = FilterExpression::parse(QStringLiteral("NOME ='D’ÁVILA'"));
    e.bind(ds.schema());
    QVector<int> inMemory;
    for (ds.setFiltered(false), ds.first(); !ds.eof(); ds.next()) {
        Row r;
        for (int i = 0; i < ds.schema().columns.size(); ++i)
            r << ds.value(i);
        if (e.matches(r))
            inMemory << r[0].toInt();
    }
    EXPECT_EQ(inMemory, expected) << "the same in memory";
}

struct BadFilter {
    const char* text;
    int position;
};

class FilterRefuses : public FilterFixture, public ::testing::WithParamInterface<BadFilter> {};

TEST_P(FilterRefuses, SayingWhereAndKeepingThePreviousFilter) {
    TableDataset& ds = tables.customers;
    ds.open();
    ds.setFilter(QStringLiteral("NOME LIKE'MA%'"));
    ds.setFiltered(true);
    try {
        ds.setFilter(QString::fromUtf8(GetParam().text));
        FAIL() << "accepted " << GetParam().text;
    } catch (const FilterError& e) {
        EXPECT_EQ(e.position(), GetParam().position) << e.message().toStdString();
        EXPECT_TRUE(e.message().contains(QStringLiteral("posição %1").arg(GetParam().position)))
            << e.message().toStdString();
    }
    EXPECT_EQ(ds.filter(), QStringLiteral("NOME LIKE'MA%'"));
    EXPECT_EQ(visibleCodes(ds), (QVector<int>{8, 10}));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FilterRefuses,
    ::testing::Values(BadFilter{"NOME", 5}, BadFilter{"NOME LIKE", 10}, BadFilter{"NOME LIKE'ANA", 10},
                      BadFilter{"NOME LIKE'A' OR NOME ='B'", 14}, BadFilter{"NOME > 'A'", 6},
                      BadFilter{"= 'A'", 1}, BadFilter{"NOME ='A'AND", 13},
                      BadFilter{"NOME ='A' NOME ='B'", 11}, BadFilter{"NOMEX ='A'", 1},
                      BadFilter{"NOME ='A'AND Codigo ='abc'", 14}, BadFilter{"DATA ='01/01/2026'", 1}));

TEST(FilterQuoting, DoublesApostrophesAndAddsNoBlanks) {
    EXPECT_EQ(FilterExpression::quoted(QStringLiteral("D'ÁVILA")), QStringLiteral("'D''ÁVILA'"));
    EXPECT_EQ(QStringLiteral("NOME LIKE") + FilterExpression::quoted(QStringLiteral("JO%")),
              QStringLiteral("NOME LIKE'JO%'"));
    EXPECT_TRUE(FilterExpression::parse(QStringLiteral("   ")).isEmpty());
}

} // namespace
