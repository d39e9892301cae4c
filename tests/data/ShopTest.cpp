#include "data/Shop.h"
#include "Printers.h"
#include "ShopPrinters.h"
#include "TestDatabase.h"
#include "data/Documents.h"
#include "data/uDM.h"
#include "platform/core/Connection.h"
#include "platform/core/Errors.h"

#include <gtest/gtest.h>

namespace {

struct DocumentCase {
    const char* typed;
    const char* formatted; // empty: neither a CPF nor a CNPJ
};

TEST(ShopDocuments, ACpfOrACnpjIsKnownByItsCheckDigitsInAnyMask) {
    const DocumentCase cases[] = {
        {"529.982.247-25", "529.982.247-25"},
        {"52998224725", "529.982.247-25"},
        {"11.222.333/0001-81", "11.222.333/0001-81"},
        {"11222333000181", "11.222.333/0001-81"},
        {"529.982.247-24", ""},     // last check digit wrong
        {"529.982.247-15", ""},     // first check digit wrong
        {"11.222.333/0001-80", ""}, // the CNPJ's last one
        {"11.222.333/0001-91", ""}, // and its first
        {"111.111.111-11", ""},     // one digit repeated passes the check but is no CPF
        {"00000000000000", ""},
        {"5299822472", ""},   // a digit short
        {"529982247251", ""}, // one too many
        {"ABC", ""},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Documents::formatted(QString::fromUtf8(c.typed)), QString::fromUtf8(c.formatted))
            << c.typed;
}

struct KeyCase {
    PixKeyKind kind;
    const char* typed;
    const char* stored; // empty: refused for that kind
};

TEST(ShopPixKeys, EachKindTakesItsOwnShapeAndIsStoredAsAPaymentCarriesIt) {
    const KeyCase cases[] = {
        {PixKeyKind::Document, "529.982.247-25", "52998224725"},
        {PixKeyKind::Document, "11.222.333/0001-81", "11222333000181"},
        {PixKeyKind::Document, "529.982.247-24", ""},
        {PixKeyKind::Phone, "(11) 91234-5678", "+5511912345678"},
        {PixKeyKind::Phone, "+55 61 3322-4455", ""}, // a landline: PIX takes mobile numbers only
        {PixKeyKind::Phone, "+551133334444", ""},
        {PixKeyKind::Phone, "+55 (21) 99876-5432", "+5521998765432"},
        {PixKeyKind::Phone, "5511912345678", "+5511912345678"},
        {PixKeyKind::Phone, "91234-5678", ""},      // no area code
        {PixKeyKind::Phone, "(11) 81234-5678", ""}, // 9 digits but not a mobile
        {PixKeyKind::Phone, "(01) 3322-4455", ""},  // no such area code
        {PixKeyKind::Phone, "loja@exemplo.com", ""},
        {PixKeyKind::Email, " Loja@Exemplo.COM.br ", "loja@exemplo.com.br"},
        {PixKeyKind::Email, "loja@exemplo", ""},
        {PixKeyKind::Email, "loja exemplo@x.com", ""},
        {PixKeyKind::Email, "@exemplo.com", ""},
        {PixKeyKind::Email, "joão@padaria.com.br", ""}, // the payment counts its bytes: ASCII only
        {PixKeyKind::Random, "123E4567-E89B-12D3-A456-426614174000", "123e4567-e89b-12d3-a456-426614174000"},
        {PixKeyKind::Random, "123e4567e89b12d3a456426614174000", ""},
        {PixKeyKind::Random, "123e4567-e89b-12d3-a456-42661417400g", ""},
        {PixKeyKind::None, "52998224725", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Shop::pixKey(c.kind, QString::fromUtf8(c.typed)), QString::fromUtf8(c.stored)) << c.typed;
    const QString longMail = QString(70, u'a') + QStringLiteral("@loja.com");
    EXPECT_EQ(Shop::pixKey(PixKeyKind::Email, longMail), QString()) << "longer than a PIX key may be";
}

TEST(ShopPixKeys, EveryKindReadsBackFromItsCode) {
    for (PixKeyKind kind :
         {PixKeyKind::None, PixKeyKind::Document, PixKeyKind::Phone, PixKeyKind::Email, PixKeyKind::Random})
        EXPECT_EQ(Shop::kindFromCode(Shop::kindCode(kind)), kind);
    EXPECT_EQ(Shop::kindFromCode(QStringLiteral("OUTRO")), PixKeyKind::None);
}

ShopDetails sample() {
    return {QStringLiteral("AÇOUGUE SÃO JOÃO"),   QStringLiteral("11222333000181"),
            QStringLiteral("RUA DAS FLORES, 10"), QStringLiteral("(11)3322-4455"),
            QStringLiteral("SÃO PAULO"),          PixKeyKind::Phone,
            QStringLiteral("(11) 91234-5678")};
}

TEST(ShopDetailsProblems, TheFirstProblemIsNamedForTheShopkeeper) {
    struct Case {
        void (*change)(ShopDetails&);
        const char* problem;
    };
    const Case cases[] = {
        {[](ShopDetails&) {}, ""},
        {[](ShopDetails& d) { d.name = QStringLiteral("   "); }, "FAVOR DIGITE O NOME DA LOJA"},
        {[](ShopDetails& d) { d.city = QString(41, u'X'); }, "O CAMPO CIDADE ACEITA NO MÁXIMO 40 CARACTERES"},
        {[](ShopDetails& d) { d.document = QStringLiteral("11.222.333/0001-80"); }, "CPF OU CNPJ INVÁLIDO"},
        {[](ShopDetails& d) { d.document.clear(); }, ""},
        {[](ShopDetails& d) { d.pixKey = QStringLiteral("loja@exemplo.com"); },
         "CHAVE PIX INVÁLIDA PARA O TIPO ESCOLHIDO"},
        {[](ShopDetails& d) { d.pixKind = PixKeyKind::None; }, "ESCOLHA O TIPO DA CHAVE PIX"},
        {[](ShopDetails& d) {
             d.pixKind = PixKeyKind::Email;
             d.pixKey = QStringLiteral("joão@padaria.com.br");
         },
         "O CAMPO CHAVE PIX NÃO ACEITA \"ã\": SÓ LETRAS SEM ACENTO, NÚMEROS E SINAIS SIMPLES"},
        {[](ShopDetails& d) { d.pixKey = QStringLiteral("+551133334444"); },
         "TELEFONE FIXO NÃO É CHAVE PIX: DIGITE O CELULAR COM DDD"},
        {[](ShopDetails& d) { d.pixKey = QStringLiteral("(11) 3322-4455"); },
         "TELEFONE FIXO NÃO É CHAVE PIX: DIGITE O CELULAR COM DDD"},
        {[](ShopDetails& d) {
             d.pixKind = PixKeyKind::None;
             d.pixKey.clear();
         },
         ""},
    };
    for (const auto& c : cases) {
        ShopDetails d = sample();
        c.change(d);
        EXPECT_EQ(Shop::problem(d).text, QString::fromUtf8(c.problem));
    }
}

// The tables of a database and the rows of each, as the catalogue and the tables say.
QString catalogue(Connection& connection) {
    const QStringList tables =
        connection
            .selectValue(
                QStringLiteral("select list(trim(RDB$RELATION_NAME), ' ') from (select RDB$RELATION_NAME "
                               "from RDB$RELATIONS where RDB$SYSTEM_FLAG = 0 order by 1)"))
            .toString()
            .split(u' ');
    QString out;
    for (const QString& t : tables)
        out += QStringLiteral("%1=%2 ").arg(
            t, connection.selectValue(QStringLiteral("select count(*) from ") + t).toString());
    return out;
}

// A database from an older installation, in each character set one may have.
class ShopTable : public ::testing::TestWithParam<const char*> {
protected:
    ShopTable()
        : db(QString::fromUtf8(GetParam()))
        , dm(db.path())
        , connection(dm.FDConnection1) {
        connection.ensureOpen();
    }
    TestDatabase db;
    TDM dm;
    Connection& connection;
};

TEST_P(ShopTable, IsMadeOnFirstUseWithNothingElseChanged) {
    const QString before = catalogue(connection);
    EXPECT_EQ(Shop(connection).details(), ShopDetails{}) << "nothing stored yet";
    EXPECT_EQ(catalogue(connection), before + QStringLiteral("TABLOJA=0 "));
}

TEST_P(ShopTable, KeepsOneRowOfDetailsWithTheirAccentsInTheirStoredForm) {
    Shop shop(connection);
    shop.save(sample());
    ShopDetails second = sample();
    second.name = QStringLiteral("PADARIA CORAÇÃO");
    second.document = QStringLiteral("52998224725");
    shop.save(second);
    ShopDetails expected = second;
    expected.document = QStringLiteral("529.982.247-25");
    expected.pixKey = QStringLiteral("+5511912345678");
    EXPECT_EQ(Shop(connection).details(), expected);
    EXPECT_EQ(connection.selectValue(QStringLiteral("select count(*) from TABLOJA")).toInt(), 1);
}

TEST_P(ShopTable, RefusesDetailsWithAProblemAndStoresNothing) {
    ShopDetails wrong = sample();
    wrong.pixKey = QStringLiteral("123");
    try {
        Shop(connection).save(wrong);
        FAIL() << "saved";
    } catch (const BrolaviError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("CHAVE PIX INVÁLIDA PARA O TIPO ESCOLHIDO"));
    }
    EXPECT_EQ(Shop(connection).details(), ShopDetails{});
}

INSTANTIATE_TEST_SUITE_P(OlderInstallations, ShopTable, ::testing::Values("UTF8", "WIN1252", "NONE"));

} // namespace
