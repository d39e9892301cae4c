#include "Printers.h"
#include "TestDatabase.h"
#include "data/Ledger.h"
#include "data/uDM.h"
#include "platform/core/Errors.h"

#include <gtest/gtest.h>

namespace {

// The bytes a database of the character set holds for the text: UTF-8 in a UTF8 one; the single-byte
// Windows-1252 (the same as Latin-1 for the shop's accents) in the others, NONE included, since that is
// what an older Windows program wrote there.
QByteArray storedBytes(const QString& charset, const QString& text) {
    return charset == u"UTF8" ? text.toUtf8() : text.toLatin1();
}

QString hexLiteral(const QByteArray& bytes) {
    return QStringLiteral("x'%1'").arg(QString::fromLatin1(bytes.toHex()));
}

// The shop's text on databases made in each character set an older installation may have used. Rows an
// older program wrote are seeded as raw bytes, so they do not depend on how this program encodes text.
class CharacterSets : public ::testing::TestWithParam<const char*> {
protected:
    CharacterSets()
        : charset(QString::fromUtf8(GetParam()))
        , db(charset) {}
    void SetUp() override {
        dm = std::make_unique<TDM>(db.path());
        seedText(QStringLiteral("insert into TABCADCLI (CODIGO, NOME) values (1, %1)"),
                 {QStringLiteral("JOÃO D'ÁVILA")});
        seedText(
            QStringLiteral("insert into TABDIVIDAS (CODIGO, CLIENTE, DESCRICAO, QUANTIDADE, VALOR_UN, VALOR, "
                           "PARCELA, STATUS_PAG, CONTA) values (1, 1, %1, 1, 5, 5, %2, 'NP', 'V')"),
            {QStringLiteral("CAFÉ"), QStringLiteral("À Vista")});
    }
    // Runs the statement with each text written as a literal of the bytes the character set holds.
    void seedText(const QString& sql, const QStringList& texts) {
        QString text = sql;
        for (const QString& t : texts)
            text = text.arg(hexLiteral(storedBytes(charset, t)));
        dm->FDConnection1.execute(text);
    }
    QByteArray bytesOf(const QString& column, const QString& table, int code) {
        return dm->FDConnection1
            .selectValue(QStringLiteral("select cast(%1 as varchar(200) character set octets) from %2 "
                                        "where CODIGO = ?")
                             .arg(column, table),
                         {code})
            .toByteArray();
    }
    QString text(const QString& sql) { return dm->FDConnection1.selectValue(sql).toString(); }

    QString charset;
    TestDatabase db;
    std::unique_ptr<TDM> dm;
};

TEST_P(CharacterSets, TheConnectionKnowsTheCharacterSetAndReadsTheAccents) {
    EXPECT_EQ(dm->FDConnection1.characterSet(), charset);
    dm->TabCadCli.open();
    EXPECT_EQ(dm->TabCadCliNOME.asString(), QStringLiteral("JOÃO D'ÁVILA"));
    dm->TabDividas.open();
    EXPECT_EQ(dm->TabDividasDESCRICAO.asString(), QStringLiteral("CAFÉ"));
    EXPECT_EQ(dm->TabDividasPARCELA.asString(), LedgerWords::CashSale);
    EXPECT_EQ(text(QStringLiteral("select count(*) from TABDIVIDAS where PARCELA = 'À Vista'")),
              QStringLiteral("1"))
        << "a literal in a statement compares with the stored text";
}

TEST_P(CharacterSets, TextIsStoredInTheDatabasesOwnBytes) {
    dm->TabCadCli.open();
    dm->TabCadCli.append();
    dm->TabCadCliCODIGO.setValue(2);
    dm->TabCadCliNOME.setValue(QStringLiteral("MARIA DA CONCEIÇÃO"));
    dm->TabCadCliCIDADE.setValue(QStringLiteral("SÃO PAULO"));
    dm->TabCadCli.post();
    EXPECT_EQ(bytesOf(QStringLiteral("NOME"), QStringLiteral("TABCADCLI"), 2),
              storedBytes(charset, QStringLiteral("MARIA DA CONCEIÇÃO")));
    EXPECT_EQ(bytesOf(QStringLiteral("CIDADE"), QStringLiteral("TABCADCLI"), 2),
              storedBytes(charset, QStringLiteral("SÃO PAULO")));
    // Unchanged by being read and written back.
    dm->FDConnection1.execute(
        QStringLiteral("update TABCADCLI set NOME = ? where CODIGO = 1"),
        {dm->FDConnection1.selectValue(QStringLiteral("select NOME from TABCADCLI where CODIGO = 1"))});
    EXPECT_EQ(bytesOf(QStringLiteral("NOME"), QStringLiteral("TABCADCLI"), 1),
              storedBytes(charset, QStringLiteral("JOÃO D'ÁVILA")));
}

TEST_P(CharacterSets, LookupsAndFiltersFindAccentedTextExactly) {
    dm->FDConnection1.execute(QStringLiteral("insert into TABCADCLI (CODIGO, NOME) values (2, ?)"),
                              {QStringLiteral("JOÃO D'ÁVILA ")});
    TableDataset& t = dm->TabCadCli;
    t.open();
    ASSERT_TRUE(t.locate(QStringLiteral("NOME"), QStringLiteral("JOÃO D'ÁVILA ")));
    EXPECT_EQ(dm->TabCadCliCODIGO.asInteger(), 2) << "the trailing blank counts";
    ASSERT_TRUE(t.locate(QStringLiteral("NOME"), QStringLiteral("JOÃO D'ÁVILA")));
    EXPECT_EQ(dm->TabCadCliCODIGO.asInteger(), 1);

    const struct {
        const char* filter;
        int count;
    } cases[] = {{"NOME ='JOÃO D''ÁVILA'", 1},  {"NOME ='JOÃO D''ÁVILA '", 1},
                 {"NOME <>'JOÃO D''ÁVILA'", 1}, {"NOME LIKE'JOÃO D''ÁVILA'", 1},
                 {"NOME LIKE'JOÃO%'", 2},       {"NOME LIKE'%ÁVILA'", 1},
                 {"NOME LIKE'JOAO%'", 0}};
    for (const auto& c : cases) {
        t.setFilter(QString::fromUtf8(c.filter));
        t.setFiltered(true);
        EXPECT_EQ(t.recordCount(), c.count) << c.filter;
    }
}

TEST_P(CharacterSets, AnOldCashSaleItemIsPaidAndANewOneWritten) {
    dm->TabCadCli.open();
    Ledger ledger(*dm);
    ledger.cashSaleItem(
        1, SaleItem{QStringLiteral("PÃO DE AÇÚCAR"), Currency::fromCents(350), 2, QStringLiteral("2")});
    EXPECT_EQ(bytesOf(QStringLiteral("PARCELA"), QStringLiteral("TABDIVIDAS"), 2),
              storedBytes(charset, LedgerWords::CashSale));
    EXPECT_EQ(bytesOf(QStringLiteral("DESCRICAO"), QStringLiteral("TABDESC_COMPRAS"), 1),
              storedBytes(charset, QStringLiteral("PÃO DE AÇÚCAR")));

    ledger.settleAll(1, LedgerWords::Cash, true, Currency::fromUnits(12));
    EXPECT_EQ(text(QStringLiteral("select list(CODIGO || ':' || STATUS_PAG, ' ') from TABDIVIDAS")),
              QStringLiteral("1:PG 2:PG"))
        << "the entry the older program wrote is paid too";
}

// A character the database cannot hold is refused with a message; a '?' stored in its place would change
// the shop's data without a word.
TEST_P(CharacterSets, TextTheDatabaseCannotHoldIsRefused) {
    const QString polish = QStringLiteral("ŁUKASZ"); // not in Windows-1252 or Latin-1
    if (charset == u"UTF8") {
        dm->FDConnection1.execute(QStringLiteral("insert into TABCADCLI (CODIGO, NOME) values (2, ?)"),
                                  {polish});
        EXPECT_EQ(text(QStringLiteral("select NOME from TABCADCLI where CODIGO = 2")), polish);
        return;
    }
    EXPECT_THROW(dm->FDConnection1.execute(
                     QStringLiteral("insert into TABCADCLI (CODIGO, NOME) values (2, ?)"), {polish}),
                 DatabaseError);
    EXPECT_EQ(text(QStringLiteral("select count(*) from TABCADCLI")), QStringLiteral("1"));
}

INSTANTIATE_TEST_SUITE_P(OlderInstallations, CharacterSets,
                         ::testing::Values("UTF8", "WIN1252", "ISO8859_1", "NONE"));

// Every byte an older program may have written in a NONE database is read and written back unchanged, the
// five that Windows-1252 leaves undefined included.
TEST(NoneCharacterSet, EveryByteSurvivesAReadAndAWrite) {
    TestDatabase db(QStringLiteral("NONE"));
    TDM dm(db.path());
    Connection& c = dm.FDConnection1;
    QVector<QByteArray> parts(2);
    for (int b = 0x20; b <= 0xFF; ++b)
        if (b != 0x27)
            parts[b < 0x90 ? 0 : 1].append(char(b));
    for (int i = 0; i < parts.size(); ++i) {
        c.execute(QStringLiteral("insert into TABDIVIDAS (CODIGO, DESCRICAO) values (?, %1)")
                      .arg(hexLiteral(parts[i])),
                  {i});
        const QVariant read =
            c.selectValue(QStringLiteral("select DESCRICAO from TABDIVIDAS where CODIGO = ?"), {i});
        EXPECT_EQ(read.toString().size(), parts[i].size());
        c.execute(QStringLiteral("update TABDIVIDAS set DESCRICAO = ? where CODIGO = ?"), {read, i});
        EXPECT_EQ(c.selectValue(QStringLiteral("select cast(DESCRICAO as varchar(200) character set octets) "
                                               "from TABDIVIDAS where CODIGO = ?"),
                                {i})
                      .toByteArray(),
                  parts[i]);
    }
}

} // namespace
