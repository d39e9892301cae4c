#include "platform/core/Query.h"
#include "Printers.h"
#include "ScratchDatabase.h"
#include "platform/core/Errors.h"

#include <gtest/gtest.h>

namespace {

class QueryTest : public ::testing::Test {
protected:
    void SetUp() override {
        db.connect(connection);
        for (int i = 1; i <= 3; ++i)
            connection.execute(
                QStringLiteral(
                    "insert into TABDIVIDAS (CODIGO, CLIENTE, DESCRICAO, VALOR) values (?, ?, ?, ?)"),
                {i, 7, QStringLiteral("ITEM %1").arg(i), QVariant::fromValue(Currency::fromCents(i * 113))});
    }
    ScratchDatabase db{{QStringLiteral("TABDIVIDAS"), QStringLiteral("TABCADCLI")}};
    Connection connection;
};

TEST_F(QueryTest, MatchesParameterNamesInAnyCase) {
    Query q(connection);
    q.setSql(
        QStringLiteral("select CODIGO from TABDIVIDAS where DESCRICAO = :qNome or DESCRICAO || '' = :qnome "
                       "or CLIENTE = :QCLI order by CODIGO"));
    EXPECT_EQ(q.paramNames(),
              (QStringList{QStringLiteral("QNOME"), QStringLiteral("QNOME"), QStringLiteral("QCLI")}));
    q.setParam(QStringLiteral("qNOME"), QStringLiteral("ITEM 2"));
    q.setParam(QStringLiteral("qcli"), 0);
    q.open();
    EXPECT_EQ(q.recordCount(), 1);
    EXPECT_EQ(q.value(QStringLiteral("codigo")).toInt(), 2);
}

TEST_F(QueryTest, RefusesAStatementWithAParameterLeftUnbound) {
    Query q(connection);
    q.setSql(QStringLiteral("delete from TABDIVIDAS where CLIENTE = :qCli or DESCRICAO = ':notAParam'"));
    EXPECT_EQ(q.paramNames(), QStringList{QStringLiteral("QCLI")});
    EXPECT_THROW(q.execSql(), DatabaseError);
    EXPECT_THROW(q.setParam(QStringLiteral("other"), 1), DatabaseError);
    EXPECT_EQ(connection.selectValue(QStringLiteral("select count(*) from TABDIVIDAS")).toInt(), 3);
    q.setParam(QStringLiteral("QCli"), 7);
    EXPECT_EQ(q.execSql(), 3);
}

TEST_F(QueryTest, MoneyGoesInAndComesOutExactly) {
    Query upd(connection);
    upd.setSql(QStringLiteral("update TABDIVIDAS set VALOR = :v where CODIGO = :c"));
    upd.setParam(QStringLiteral("v"), QVariant::fromValue(Currency::fromRaw(10050)));
    upd.setParam(QStringLiteral("c"), 1);
    upd.execSql();

    Query q(connection);
    q.setSql(QStringLiteral("select CODIGO, VALOR from TABDIVIDAS where CLIENTE = :c order by CODIGO"));
    q.setParam(QStringLiteral("c"), 7);
    q.defineSum(QStringLiteral("Soma"), QStringLiteral("VALOR"));
    q.open();
    EXPECT_EQ(q.aggregate(QStringLiteral("Soma"))->toDbText(), QStringLiteral("6.66"))
        << "summed by the database";
    EXPECT_EQ(q.value(QStringLiteral("VALOR")).value<Currency>().toDbText(), QStringLiteral("1.01"));
    q.next();
    EXPECT_EQ(q.value(QStringLiteral("VALOR")).value<Currency>().toDbText(), QStringLiteral("2.26"));
    q.last();
    EXPECT_EQ(q.recordCount(), 3);
    EXPECT_EQ(q.value(QStringLiteral("VALOR")).value<Currency>().toDbText(), QStringLiteral("3.39"));
    connection.close();
    EXPECT_FALSE(q.isOpen()) << "closing the connection closes its queries";
}

TEST_F(QueryTest, AJoinOfEveryColumnIsCountedSummedAndNamedWithoutClashes) {
    connection.execute(QStringLiteral("insert into TABCADCLI (CODIGO, NOME) values (7, 'ANA')"));
    Query q(connection);
    q.setSql(
        QStringLiteral("select * from tabdividas Inner join TabCadCli on (Tabdividas.cliente = "
                       "TabcadCli.Codigo) Where TabCadCli.Nome = :qNome ORDER BY tabdividas.codigo Desc"));
    q.setParam(QStringLiteral("qnome"), QStringLiteral("ANA"));
    q.defineSum(QStringLiteral("Soma"), QStringLiteral("VALOR"));
    q.open();
    EXPECT_EQ(q.recordCount(), 3) << "counted by the database, before every row was read";
    EXPECT_EQ(q.value(QStringLiteral("Soma")).value<Currency>().toDbText(), QStringLiteral("6.78"));
    EXPECT_EQ(q.value(QStringLiteral("CODIGO")).toInt(), 3) << "the entry's code, newest first";
    EXPECT_EQ(q.value(QStringLiteral("CODIGO_1")).toInt(), 7) << "the customer's code";
    EXPECT_EQ(q.value(QStringLiteral("NOME")).toString(), QStringLiteral("ANA"));
    EXPECT_EQ(q.columnNames().filter(QStringLiteral("CODIGO")),
              (QStringList{QStringLiteral("CODIGO"), QStringLiteral("CODIGO_1")}));
}

TEST(WithoutTrailingOrderBy, DropsOnlyAClosingOrderThatPicksNoRows) {
    const struct {
        const char* sql;
        const char* expected;
    } cases[] = {
        {"select * from T where S = 'NP'ORDER BY codigo Desc", "select * from T where S = 'NP'"},
        {"select * from T where S = 'NP' order\nby codigo", "select * from T where S = 'NP' "},
        {"select * from T where S = 'ORDER BY x'", "select * from T where S = 'ORDER BY x'"},
        {"select * from T where C in (select C from U order by C rows 1) order by C",
         "select * from T where C in (select C from U order by C rows 1) "},
        {"select * from T order by C rows 10", "select * from T order by C rows 10"},
        {"select ORDERED from T", "select ORDERED from T"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(withoutTrailingOrderBy(QString::fromUtf8(c.sql)), QString::fromUtf8(c.expected)) << c.sql;
}

} // namespace
