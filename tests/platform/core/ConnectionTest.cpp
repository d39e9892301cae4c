#include "platform/core/Connection.h"
#include "Printers.h"
#include "ScratchDatabase.h"
#include "platform/core/Currency.h"
#include "platform/core/Errors.h"
#include "platform/core/Transaction.h"

#include <QDateTime>
#include <gtest/gtest.h>

namespace {

class ConnectionTest : public ::testing::Test {
protected:
    void SetUp() override { db.connect(connection); }
    QVariant value(const QString& sql, const QVariantList& params = {}) {
        return connection.selectValue(sql, params);
    }
    ScratchDatabase db{{QStringLiteral("TABCADCLI"), QStringLiteral("TABDIVIDAS")}};
    Connection connection;
};

// Each value goes into its column and comes back in the program's type, unchanged; money rounds to the cent
// half away from zero, as the engine's own conversion does.
TEST_F(ConnectionTest, ValuesGoInAndComeBackInTheProgramsTypes) {
    const QDateTime stamp(QDate(2025, 12, 9), QTime(14, 5, 33, 250));
    const struct {
        const char* column;
        QVariant in;
        QVariant out;
    } cases[] = {
        {"QUANTIDADE", 42, 42},
        {"QUANTIDADE", qlonglong(-7), -7},
        {"VALOR", QVariant::fromValue(Currency::parse(QStringLiteral("1234,56"))),
         QVariant::fromValue(Currency::parse(QStringLiteral("1234,56")))},
        {"VALOR", QVariant::fromValue(Currency::fromRaw(10050)),
         QVariant::fromValue(Currency::fromCents(101))},
        {"VALOR", QVariant::fromValue(Currency::fromRaw(-1250)),
         QVariant::fromValue(Currency::fromCents(-13))},
        {"VALOR", QStringLiteral("2.5"), QVariant::fromValue(Currency::fromCents(250))},
        {"DATA", QDate(2026, 2, 28), QDate(2026, 2, 28)},
        {"DATA_PAG", stamp, stamp},
        {"DESCRICAO", QStringLiteral("PÃO DE AÇÚCAR 100% 'ÓTIMO' "),
         QStringLiteral("PÃO DE AÇÚCAR 100% 'ÓTIMO' ")},
        {"DESCRICAO", QVariant(), QVariant()},
    };
    int code = 0;
    for (const auto& c : cases) {
        const QString column = QString::fromUtf8(c.column);
        connection.execute(QStringLiteral("insert into TABDIVIDAS (CODIGO, %1) values (?, ?)").arg(column),
                           {++code, c.in});
        const QVariant read =
            value(QStringLiteral("select %1 from TABDIVIDAS where CODIGO = ?").arg(column), {code});
        EXPECT_EQ(read, c.out) << c.column << " " << c.in.toString().toStdString();
    }
}

TEST_F(ConnectionTest, TextBlobsKeepTheirAccentsAndLength) {
    QString obs = QStringLiteral("Cliente de São José, paga às sextas.\n");
    obs = obs.repeated(2000); // several segments
    connection.execute(QStringLiteral("insert into TABCADCLI (CODIGO, NOME, OBS) values (1, 'A', ?)"), {obs});
    EXPECT_EQ(value(QStringLiteral("select OBS from TABCADCLI")).toString(), obs);
}

TEST_F(ConnectionTest, ErrorsCarryTheEnginesTextAndChangeNothing) {
    EXPECT_THROW(connection.execute(QStringLiteral("insert into TABCADCLI (CODIGO, NOME) values (1, ?)"),
                                    {QVariant()}),
                 DatabaseError)
        << "NULL reaches a NOT NULL column as NULL, not as an empty text";
    EXPECT_THROW(
        connection.execute(QStringLiteral("insert into TABCADCLI (CODIGO, NOME) values (?, ?)"), {1}),
        DatabaseError)
        << "a missing parameter is refused, not sent as NULL";
    try {
        connection.execute(QStringLiteral("insert into TABCADCLI (CODIGO, NOME) values (1, ?)"),
                           {QStringLiteral("X").repeated(61)});
        ADD_FAILURE() << "a text longer than its column";
    } catch (const DatabaseError& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("truncation"))) << e.message().toStdString();
    }
    EXPECT_EQ(value(QStringLiteral("select count(*) from TABCADCLI")).toInt(), 0);
}

TEST_F(ConnectionTest, AUnitSeesItsOwnRowsAndCountsWhatItChanged) {
    {
        Transaction unit(connection);
        for (int i = 1; i <= 3; ++i)
            connection.execute(QStringLiteral("insert into TABCADCLI (CODIGO, NOME) values (?, ?)"),
                               {i, QStringLiteral("C%1").arg(i)});
        EXPECT_EQ(connection.execute(QStringLiteral("update TABCADCLI set CPF = '1' where CODIGO > ?"), {1}),
                  2);
        EXPECT_EQ(value(QStringLiteral("select count(*) from TABCADCLI")).toInt(), 3);
        const QVector<Row> returned = connection.select(
            QStringLiteral("insert into TABCADCLI (CODIGO, NOME) values (4, 'D') returning CODIGO, NOME"));
        ASSERT_EQ(returned.size(), 1);
        EXPECT_EQ(returned.front(), (Row{4, QStringLiteral("D")}));
    } // not committed
    EXPECT_EQ(value(QStringLiteral("select count(*) from TABCADCLI")).toInt(), 0);

    // A cursor outside a unit reads from the snapshot it started with until it is done.
    connection.execute(QStringLiteral("insert into TABCADCLI (CODIGO, NOME) values (1, 'A')"));
    auto cursor = connection.openCursor(QStringLiteral("select NOME from TABCADCLI order by CODIGO"));
    connection.execute(QStringLiteral("insert into TABCADCLI (CODIGO, NOME) values (2, 'B')"));
    Row row;
    QStringList names;
    while (cursor->next(row))
        names << row.front().toString();
    EXPECT_EQ(names, QStringList{QStringLiteral("A")});
    EXPECT_EQ(cursor->columnNames(), QStringList{QStringLiteral("NOME")});
    connection.close();
    EXPECT_FALSE(cursor->next(row)) << "closing the connection ends its cursors";
}

// What a unit reads of a row another connection (another till) commits after the unit began.
class UnitIsolation : public ConnectionTest, public ::testing::WithParamInterface<Isolation> {};

TEST_P(UnitIsolation, ReadCommittedSeesAnotherConnectionsRowsAtOnceASnapshotNever) {
    Connection other;
    db.connect(other);
    Transaction unit(connection, GetParam());
    EXPECT_TRUE(value(QStringLiteral("select max(CODIGO) from TABCADCLI")).isNull());
    other.execute(QStringLiteral("insert into TABCADCLI (CODIGO, NOME) values (1, 'OUTRO CAIXA')"));
    const QVariant highest = value(QStringLiteral("select max(CODIGO) from TABCADCLI"));
    if (GetParam() == Isolation::ReadCommitted)
        EXPECT_EQ(highest.toInt(), 1);
    else
        EXPECT_TRUE(highest.isNull());
    connection.execute(QStringLiteral("insert into TABCADCLI (CODIGO, NOME) values (2, 'B')"));
    unit.commit();
    EXPECT_EQ(
        value(QStringLiteral("select list(NOME, ' ') from (select NOME from TABCADCLI order by CODIGO)"))
            .toString(),
        QStringLiteral("OUTRO CAIXA B"));
}

INSTANTIATE_TEST_SUITE_P(Both, UnitIsolation,
                         ::testing::Values(Isolation::Snapshot, Isolation::ReadCommitted));

TEST_F(ConnectionTest, OnlyAKeyTheEngineSaysIsTakenRunsTheUnitAgain) {
    Connection other;
    db.connect(other);
    int attempts = 0;
    // Another connection stores the code the first attempt has just read.
    runNumberingUnit(connection, Isolation::ReadCommitted, [&] {
        ++attempts;
        const int code = value(QStringLiteral("select coalesce(max(CODIGO), 0) + 1 from TABCADCLI")).toInt();
        if (attempts == 1)
            other.execute(QStringLiteral("insert into TABCADCLI (CODIGO, NOME) values (?, 'OUTRO CAIXA')"),
                          {code});
        connection.execute(QStringLiteral("insert into TABCADCLI (CODIGO, NOME) values (?, 'B')"), {code});
    });
    EXPECT_EQ(attempts, 2);
    EXPECT_EQ(value(QStringLiteral("select list(CODIGO || NOME, ' ') from (select * from TABCADCLI order by "
                                   "CODIGO)"))
                  .toString(),
              QStringLiteral("1OUTRO CAIXA 2B"));

    // Any other failure, whatever its text says, goes on at once.
    attempts = 0;
    EXPECT_THROW(runNumberingUnit(connection, Isolation::ReadCommitted,
                                  [&] {
                                      ++attempts;
                                      throw DatabaseError(QStringLiteral(
                                          "violation of PRIMARY or UNIQUE KEY constraint \"INTEG_2\""));
                                  }),
                 DatabaseError);
    EXPECT_EQ(attempts, 1);
    attempts = 0;
    EXPECT_THROW(
        runNumberingUnit(connection, Isolation::Snapshot,
                         [&] {
                             ++attempts;
                             connection.execute(
                                 QStringLiteral("insert into TABCADCLI (CODIGO, NOME) values (9, ?)"),
                                 {QVariant()});
                         }),
        DatabaseError);
    EXPECT_EQ(attempts, 1);
    EXPECT_FALSE(connection.inTransaction());
}

} // namespace
