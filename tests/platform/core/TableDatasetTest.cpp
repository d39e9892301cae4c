#include "Printers.h"
#include "ScratchDatabase.h"
#include "platform/core/Errors.h"
#include "platform/core/Field.h"
#include "platform/core/Transaction.h"

#include <gtest/gtest.h>

namespace {

class Dataset : public ::testing::Test {
protected:
    void addCustomer(int code, const QString& name) {
        tables.connection.execute(QStringLiteral("insert into TABCADCLI (CODIGO, NOME) values (?, ?)"),
                                  {code, name});
    }
    void addEntry(int code, int client, const char* value, const char* status = "NP") {
        tables.connection.execute(QStringLiteral("insert into TABDIVIDAS (CODIGO, CLIENTE, VALOR, "
                                                 "STATUS_PAG, CONTA) values (?, ?, ?, ?, 'N')"),
                                  {code, client,
                                   QVariant::fromValue(Currency::parse(QString::fromUtf8(value))),
                                   QString::fromUtf8(status)});
    }
    QString storedText(const QString& sql, const QVariantList& params = {}) {
        return tables.connection.selectValue(sql, params).toString();
    }
    QVector<int> codes(TableDataset& ds) {
        QVector<int> out;
        for (ds.first(); !ds.eof(); ds.next())
            out << ds.value(QStringLiteral("CODIGO")).toInt();
        return out;
    }
    QString soma() const {
        const auto s = tables.ledger.aggregate(QStringLiteral("Soma"));
        return s ? s->format() : QString();
    }

    ScratchDatabase db{ShopDatasets::tables()};
    ShopDatasets tables{db.path()};
    Field customerCode{tables.customers, QStringLiteral("CODIGO")};
    Field customerName{tables.customers, QStringLiteral("NOME")};
    Field customerCpf{tables.customers, QStringLiteral("CPF")};
    Field customerDate{tables.customers, QStringLiteral("DATA")};
    Field entryCode{tables.ledger, QStringLiteral("CODIGO")};
    Field entryClient{tables.ledger, QStringLiteral("CLIENTE")};
    Field entryStatus{tables.ledger, QStringLiteral("STATUS_PAG")};
    Field entryValue{tables.ledger, QStringLiteral("VALOR")};
};

TEST_F(Dataset, NextCodeIsTheHighestOfTheWholeTablePlusOne) {
    TableDataset& t = tables.customers;
    t.open();
    EXPECT_EQ(t.nextCode(), 1) << "empty table";
    addCustomer(1, QStringLiteral("A"));
    addCustomer(2, QStringLiteral("B"));
    addCustomer(7, QStringLiteral("CLIENTE AVULSO"));
    EXPECT_EQ(t.nextCode(), 8);
    t.setFilter(QStringLiteral("NOME <>'CLIENTE AVULSO'"));
    t.setFiltered(true);
    EXPECT_EQ(t.nextCode(), 8) << "a filter hiding the highest code does not count";
    t.setFiltered(false);
    t.last();
    t.remove();
    EXPECT_EQ(t.nextCode(), 3) << "the deleted highest code is given again";
}

TEST_F(Dataset, SomaFollowsEveryChangeAndIsEmptyWithoutRows) {
    addEntry(1, 5, "100,00");
    TableDataset& t = tables.ledger;
    t.open();
    t.setFilter(QStringLiteral("Cliente LIKE'12'AND Status_Pag ='NP'"));
    t.setFiltered(true);
    EXPECT_EQ(soma(), QString()) << "no visible row";
    EXPECT_EQ(t.recordCount(), 0);

    for (auto [code, value] : {std::pair{2, "10,50"}, std::pair{3, "2,25"}}) {
        t.append();
        entryCode.setValue(code);
        entryClient.setValue(12);
        entryStatus.setValue(QStringLiteral("NP"));
        entryValue.setAsString(QString::fromUtf8(value));
        t.post();
    }
    EXPECT_EQ(soma(), QStringLiteral("R$ 12,75")) << "after posting";

    ASSERT_TRUE(t.locate(QStringLiteral("CODIGO"), 2));
    t.edit();
    entryValue.setValue(QVariant::fromValue(Currency::fromUnits(1)));
    t.post();
    EXPECT_EQ(soma(), QStringLiteral("R$ 3,25")) << "after editing";

    t.edit();
    entryStatus.setValue(QStringLiteral("PG"));
    t.post();
    EXPECT_EQ(soma(), QStringLiteral("R$ 2,25")) << "after an edit that takes the row out of the filter";
    EXPECT_EQ(codes(t), QVector<int>{3});

    t.first();
    t.remove();
    EXPECT_EQ(soma(), QString()) << "after deleting the last visible row";

    t.setFiltered(false);
    EXPECT_EQ(soma(), QStringLiteral("R$ 101,00")) << "after switching the filter off";
}

TEST_F(Dataset, RefilteringTellsBoundControlsOnceAndOnlyOfTheNewView) {
    addEntry(1, 5, "100,00");
    addEntry(2, 12, "10,50");
    addEntry(3, 13, "2,25");
    TableDataset& t = tables.ledger;
    t.open();
    t.refilter(QStringLiteral("Cliente LIKE'12'"));
    // What a bound label would read at each notice: never the whole table's total in between.
    QStringList seen;
    QObject label;
    QObject::connect(&t, &TableDataset::rowsChanged, &label, [&] { seen << soma(); });
    QObject::connect(&t, &TableDataset::currentChanged, &label, [&] { seen << soma(); });

    t.refilter(QStringLiteral("Cliente LIKE'13'"));
    EXPECT_EQ(seen, (QStringList{QStringLiteral("R$ 2,25"), QStringLiteral("R$ 2,25")}));
    EXPECT_EQ(codes(t), QVector<int>{3});

    seen.clear();
    EXPECT_THROW(t.refilter(QStringLiteral("Cliente LIKE")), FilterError);
    EXPECT_FALSE(t.filtered()) << "a text that does not parse leaves the table unfiltered";
    EXPECT_EQ(t.filter(), QStringLiteral("Cliente LIKE'13'"));
    EXPECT_EQ(seen.value(0), QStringLiteral("R$ 112,75")) << "and the controls still hear of it";
}

TEST_F(Dataset, LocateFindsTheFirstVisibleExactMatch) {
    // Enough rows that the dataset holds only part of them: the lookup then goes to the database.
    for (int count : {5, 700}) {
        SCOPED_TRACE(count);
        ScratchDatabase fresh{ShopDatasets::tables()};
        ShopDatasets local(fresh.path());
        Field code{local.customers, QStringLiteral("CODIGO")};
        Field name{local.customers, QStringLiteral("NOME")};
        for (int i = 1; i <= count; ++i)
            local.connection.execute(QStringLiteral("insert into TABCADCLI (CODIGO, NOME) values (?, ?)"),
                                     {i, QStringLiteral("CLIENTE %1").arg(i)});
        local.connection.execute(QStringLiteral("update TABCADCLI set NOME = 'ANA ' where CODIGO = 2"));
        local.connection.execute(QStringLiteral("update TABCADCLI set NOME = 'ana' where CODIGO = 3"));
        local.connection.execute(QStringLiteral("update TABCADCLI set NOME = 'ANA' where CODIGO in (4, 5)"));
        TableDataset& t = local.customers;
        t.open();
        EXPECT_TRUE(t.locate(QStringLiteral("nome"), QStringLiteral("ANA")));
        EXPECT_EQ(code.asInteger(), 4);
        EXPECT_EQ(t.recordNo(), 3);
        t.next();
        EXPECT_EQ(code.asInteger(), 5);

        EXPECT_FALSE(t.locate(QStringLiteral("NOME"), QStringLiteral("Ana")));
        EXPECT_EQ(code.asInteger(), 5) << "a failed locate leaves the row where it was";
        EXPECT_TRUE(t.locate(QStringLiteral("NOME"), QStringLiteral("ANA ")));
        EXPECT_EQ(code.asInteger(), 2);

        t.setFilter(QStringLiteral("Codigo <>'4'"));
        t.setFiltered(true);
        EXPECT_TRUE(t.locate(QStringLiteral("NOME"), QStringLiteral("ANA")));
        EXPECT_EQ(code.asInteger(), 5) << "only visible rows are found";
        if (count > 5) {
            EXPECT_TRUE(t.locate(QStringLiteral("CODIGO"), 650));
            EXPECT_EQ(t.recordNo(), 648);
            t.next();
            EXPECT_EQ(name.asString(), QStringLiteral("CLIENTE 651"));
        }
    }
}

TEST_F(Dataset, WalksALargeTableWithoutHoldingIt) {
    tables.connection.execute(QStringLiteral(
        "execute block as declare i integer = 1; begin while (i <= 1000) do begin "
        "insert into TABCADCLI (CODIGO, NOME) values (:i * 2, 'C' || :i); i = i + 1; end end"));
    TableDataset& t = tables.customers;
    t.open();
    QVector<int> forward = codes(t);
    ASSERT_EQ(forward.size(), 1000);
    for (int i = 0; i < 1000; ++i)
        ASSERT_EQ(forward[i], (i + 1) * 2);

    QVector<int> backward;
    for (t.last(); !t.bof(); t.prior())
        backward.prepend(customerCode.asInteger());
    EXPECT_EQ(backward, forward);

    EXPECT_EQ(t.recordCount(), 1000);
    EXPECT_EQ(t.rowAt(777).value(0).toInt(), 1556);
    t.moveTo(950);
    EXPECT_EQ(t.recordNo(), 950);
    t.next();
    EXPECT_EQ(customerCode.asInteger(), 1904);
    t.last();
    EXPECT_EQ(t.recordNo(), 999);
    EXPECT_EQ(customerCode.asInteger(), 2000);

    t.setFilter(QStringLiteral("NOME LIKE'C99%'"));
    t.setFiltered(true);
    EXPECT_EQ(codes(t), (QVector<int>{198, 1980, 1982, 1984, 1986, 1988, 1990, 1992, 1994, 1996, 1998}));
}

TEST_F(Dataset, AppendEditPostCancelDelete) {
    addCustomer(1, QStringLiteral("A"));
    addCustomer(2, QStringLiteral("B"));
    addCustomer(3, QStringLiteral("C"));
    TableDataset& t = tables.customers;
    EXPECT_FALSE(t.isOpen()) << "closed until a screen opens it";
    t.open();
    EXPECT_EQ(t.state(), TableDataset::State::Browse);
    t.next();

    t.append();
    EXPECT_EQ(t.state(), TableDataset::State::Insert);
    customerName.setValue(QStringLiteral("NOVO"));
    t.cancel();
    EXPECT_EQ(t.state(), TableDataset::State::Browse);
    EXPECT_EQ(customerCode.asInteger(), 2) << "cancelling an insert goes back to the row before";
    EXPECT_EQ(t.recordCount(), 3);

    t.append();
    customerCode.setValue(t.nextCode());
    customerName.setValue(QStringLiteral("D"));
    customerDate.setValue(QDateTime(QDate(2026, 1, 31), QTime(10, 20, 30)));
    t.post();
    t.append(); // straight after the post, before the view is read again
    t.cancel();
    EXPECT_EQ(customerCode.asInteger(), 4) << "the posted row is current";
    EXPECT_EQ(customerDate.displayText(), QStringLiteral("31/01/2026 10:20:30"));

    t.edit();
    customerName.setValue(QStringLiteral("DD"));
    t.cancel();
    EXPECT_EQ(customerName.asString(), QStringLiteral("D"));
    t.edit();
    customerName.setValue(QStringLiteral("DD"));
    t.next(); // moving on posts, as the screens expect
    EXPECT_EQ(storedText(QStringLiteral("select NOME from TABCADCLI where CODIGO = 4")),
              QStringLiteral("DD"));

    ASSERT_TRUE(t.locate(QStringLiteral("CODIGO"), 2));
    t.remove();
    EXPECT_EQ(customerCode.asInteger(), 3) << "deleting moves to the next row";
    t.last();
    t.remove();
    EXPECT_EQ(customerCode.asInteger(), 3) << "deleting the last row moves to the new last";
    EXPECT_EQ(codes(t), (QVector<int>{1, 3}));

    EXPECT_THROW(customerName.setValue(QStringLiteral("X")), DatasetStateError) << "browsing, not editing";
}

TEST_F(Dataset, AFailedPostKeepsTheRowBeingWritten) {
    addCustomer(1, QStringLiteral("A"));
    TableDataset& t = tables.customers;
    t.open();
    t.append();
    customerCode.setValue(1);
    customerName.setValue(QStringLiteral("B"));
    try {
        t.post();
        FAIL() << "duplicate key accepted";
    } catch (const DatabaseError& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("PRIMARY or UNIQUE KEY")))
            << e.message().toStdString();
    }
    EXPECT_EQ(t.state(), TableDataset::State::Insert);
    EXPECT_EQ(customerName.asString(), QStringLiteral("B"));

    customerCpf.setValue(QStringLiteral("123456789012345"));
    try {
        t.post();
        FAIL() << "a value too long for its column was accepted";
    } catch (const DatabaseError& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("truncation"))) << e.message().toStdString();
    }
    EXPECT_EQ(t.state(), TableDataset::State::Insert);

    customerCpf.setValue(QString());
    customerName.setValue(QVariant());
    try {
        t.post();
        FAIL() << "a NULL went into a NOT NULL column";
    } catch (const DatabaseError& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("NOME"))) << e.message().toStdString();
    }
    customerName.setValue(QStringLiteral("B"));
    customerCode.setValue(2);
    t.post();
    EXPECT_EQ(t.recordCount(), 2);

    t.edit();
    try {
        customerCode.setAsString(QStringLiteral("12a"));
        FAIL();
    } catch (const ConversionError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("'12a' não é um valor válido"));
    }
    EXPECT_EQ(customerCode.asInteger(), 2);
}

// A grid asks for rows on every repaint: a view the database refuses to read must refuse once, not after
// every OK of the error box, and show no row until the filter changes.
TEST_F(Dataset, AViewTheDatabaseRefusesIsRefusedOnceAndReadAgainUnderANewFilter) {
    addCustomer(1, QStringLiteral("ANA"));
    addCustomer(2, QStringLiteral("BETO"));
    addCustomer(3, QStringLiteral("BIA"));
    // Reading BETO's row divides by zero.
    tables.connection.execute(
        QStringLiteral("alter table TABCADCLI add UM_POR computed by (1 / (CODIGO - 2))"));
    TableDataset& t = tables.customers;
    t.open();
    t.refilter(QStringLiteral("NOME LIKE'B%'"));
    int refusals = 0;
    for (int repaint = 0; repaint < 3; ++repaint) {
        try {
            t.rowAt(0);
            t.isEmpty();
            t.eof();
            t.value(QStringLiteral("NOME"));
        } catch (const DatabaseError&) {
            ++refusals;
        }
    }
    EXPECT_EQ(refusals, 1);
    EXPECT_TRUE(t.isEmpty());
    EXPECT_EQ(t.recordCount(), 0) << "no row shown, none counted";
    t.refilter(QStringLiteral("NOME LIKE'A%'"));
    EXPECT_EQ(codes(t), QVector<int>{1});
    EXPECT_EQ(t.recordCount(), 1);
}

TEST_F(Dataset, MoneyIsStoredRoundedToTheCentHalfAwayFromZero) {
    TableDataset& t = tables.ledger;
    t.open();
    struct Case {
        std::int64_t raw;
        const char* stored;
    };
    int code = 0;
    for (const Case& c : {Case{10050, "1.01"}, Case{10049, "1.00"}, Case{-1250, "-0.13"},
                          Case{9999999999999900, "999999999999.99"}, Case{11300, "1.13"}}) {
        t.append();
        entryCode.setValue(++code);
        entryValue.setValue(QVariant::fromValue(Currency::fromRaw(c.raw)));
        t.post();
        EXPECT_EQ(
            storedText(QStringLiteral("select cast(VALOR as varchar(30)) from TABDIVIDAS where CODIGO = ?"),
                       {code}),
            QString::fromUtf8(c.stored));
        EXPECT_EQ(entryValue.asCurrency().toDbText(), QString::fromUtf8(c.stored)) << "read back exactly";
    }
}

TEST_F(Dataset, AUnitThatFailsLeavesTheDatabaseAsItWas) {
    addCustomer(1, QStringLiteral("A"));
    TableDataset& t = tables.ledger;
    t.open();
    t.setFilter(QStringLiteral("Cliente LIKE'1'"));
    t.setFiltered(true);
    try {
        Transaction unit(tables.connection);
        for (int i = 0; i < 3; ++i) {
            t.append();
            entryCode.setValue(t.nextCode()); // sees the unit's own rows
            entryClient.setValue(1);
            entryValue.setValue(QVariant::fromValue(Currency::fromUnits(10)));
            t.post();
        }
        EXPECT_EQ(t.recordCount(), 3);
        EXPECT_EQ(soma(), QStringLiteral("R$ 30,00"));
        tables.connection.execute(QStringLiteral("delete from TABCADCLI where CODIGO = ?"), {1});
        t.append();
        entryCode.setValue(1); // duplicate: the unit fails here
        t.post();
        unit.commit();
        FAIL() << "duplicate accepted";
    } catch (const DatabaseError&) {
    }
    EXPECT_EQ(storedText(QStringLiteral("select count(*) from TABDIVIDAS")), QStringLiteral("0"));
    EXPECT_EQ(storedText(QStringLiteral("select count(*) from TABCADCLI")), QStringLiteral("1"));
    EXPECT_EQ(t.state(), TableDataset::State::Browse);
    EXPECT_EQ(t.recordCount(), 0) << "the dataset shows the database as it is";
    EXPECT_EQ(soma(), QString());
    EXPECT_FALSE(tables.connection.inTransaction());

    {
        Transaction unit(tables.connection);
        for (int i = 0; i < 2; ++i) {
            t.append();
            entryCode.setValue(t.nextCode());
            entryClient.setValue(1);
            entryValue.setValue(QVariant::fromValue(Currency::fromUnits(5)));
            t.post();
        }
        unit.commit();
    }
    EXPECT_EQ(storedText(QStringLiteral("select count(*) from TABDIVIDAS")), QStringLiteral("2"));
    EXPECT_EQ(codes(t), (QVector<int>{1, 2}));
    EXPECT_EQ(soma(), QStringLiteral("R$ 10,00"));
    EXPECT_THROW(
        {
            Transaction a(tables.connection);
            Transaction b(tables.connection);
        },
        DatasetStateError)
        << "units do not nest";
}

TEST_F(Dataset, ClosingTheConnectionClosesEveryDatasetAndTheyOpenAgain) {
    addCustomer(1, QStringLiteral("A"));
    tables.customers.open();
    tables.ledger.open();
    tables.customers.edit();
    customerName.setValue(QStringLiteral("UNSAVED"));
    tables.connection.close();
    EXPECT_FALSE(tables.connection.isOpen());
    EXPECT_FALSE(tables.customers.isOpen());
    EXPECT_FALSE(tables.ledger.isOpen());
    EXPECT_EQ(tables.customers.recordCount(), 0);

    // No statement was left holding the file: another attachment can replace it.
    {
        Connection other;
        other.setDatabasePath(db.path());
        other.setUserName(ScratchDatabase::UserName);
        other.open();
        other.execute(QStringLiteral("update TABCADCLI set NOME = 'B'"));
    }
    tables.customers.open(); // opens the connection again
    EXPECT_TRUE(tables.connection.isOpen());
    EXPECT_EQ(customerName.asString(), QStringLiteral("B"));
}

} // namespace
