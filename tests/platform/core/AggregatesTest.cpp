// Counts and sums of a set of rows give the same answers whether the rows are at hand or the database is
// asked, and what was asked is kept until the set is said to have changed.

#include "platform/core/Aggregates.h"
#include "Printers.h"
#include "ScratchDatabase.h"
#include "platform/core/Connection.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

class AggregatesTest : public ::testing::Test {
protected:
    void SetUp() override { db.connect(connection); }
    void addEntry(int customer, const std::optional<Currency>& value) {
        connection.execute(QStringLiteral("insert into TABDIVIDAS (CODIGO, CLIENTE, VALOR) values (?, ?, ?)"),
                           {++lastCode, customer, value ? QVariant::fromValue(*value) : QVariant()});
    }
    // The customer's entries as a set: from the database, or read whole into rows.
    Aggregates over(int customer, const QVector<Row>* rows) {
        return Aggregates(
            connection,
            [customer](QVariantList& params) {
                params << customer;
                return QStringLiteral("TABDIVIDAS where CLIENTE = ?");
            },
            [rows] { return rows; });
    }
    QVector<Row> rowsOf(int customer) {
        const QVector<ColumnType> types{ColumnType::Numeric};
        return connection.select(
            QStringLiteral("select CAST(VALOR AS VARCHAR(30)) from TABDIVIDAS where CLIENTE = ?"), {customer},
            &types);
    }

    ScratchDatabase db{{QStringLiteral("TABDIVIDAS")}};
    Connection connection;
    int lastCode = 0;
};

TEST_F(AggregatesTest, AnswerAlikeFromRowsAtHandAndFromTheDatabase) {
    const std::optional<Currency> none;
    struct Case {
        const char* what;
        QVector<std::optional<Currency>> values;
        int count;
        std::optional<Currency> sum;
    };
    const Case cases[] = {
        {"no row", {}, 0, none},
        {"only NULLs", {none, none}, 2, none},
        {"NULLs left out",
         {Currency::fromCents(110), none, Currency::fromCents(1)},
         3,
         Currency::fromCents(111)},
        {"a total of zero is still a total",
         {Currency::fromCents(500), Currency::fromCents(-500)},
         2,
         Currency()},
        {"cents add up exactly",
         {Currency::fromCents(10), Currency::fromCents(20), Currency::fromCents(3)},
         3,
         Currency::fromCents(33)},
    };
    int customer = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ++customer;
        for (const std::optional<Currency>& v : c.values)
            addEntry(customer, v);
        const QVector<Row> rows = rowsOf(customer);
        const Aggregates asked = over(customer, nullptr);
        const Aggregates atHand = over(customer, &rows);
        EXPECT_EQ(asked.count(), c.count);
        EXPECT_EQ(atHand.count(), c.count);
        EXPECT_EQ(asked.sum(0, QStringLiteral("VALOR")), c.sum);
        EXPECT_EQ(atHand.sum(0, QStringLiteral("VALOR")), c.sum);
    }
}

TEST_F(AggregatesTest, KeepWhatWasAskedUntilForgotten) {
    addEntry(1, Currency::fromCents(100));
    Aggregates set = over(1, nullptr);
    set.defineSum(QStringLiteral("Soma"), QStringLiteral("VALOR"));
    EXPECT_EQ(set.knownCount(), std::nullopt) << "nothing asked yet";
    EXPECT_EQ(set.count(), 1);
    EXPECT_EQ(set.sum(0, QStringLiteral("VALOR")), Currency::fromCents(100));

    addEntry(1, Currency::fromCents(50));
    EXPECT_EQ(set.knownCount(), 1);
    EXPECT_EQ(set.count(), 1) << "kept";
    EXPECT_EQ(set.sum(0, QStringLiteral("VALOR")), Currency::fromCents(100)) << "kept";

    set.forget();
    EXPECT_EQ(set.knownCount(), std::nullopt);
    EXPECT_EQ(set.count(), 2);
    EXPECT_EQ(set.sum(0, QStringLiteral("VALOR")), Currency::fromCents(150));
    EXPECT_EQ(set.sumColumn(QStringLiteral("SOMA")), QStringLiteral("VALOR")) << "names outlive forget()";
    EXPECT_EQ(set.sumColumn(QStringLiteral("Total")), std::nullopt);
}

} // namespace
