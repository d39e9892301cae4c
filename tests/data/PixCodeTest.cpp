#include "data/PixCode.h"
#include "Printers.h"
#include "data/Shop.h"

#include "platform/core/Errors.h"
#include <QMap>
#include <gtest/gtest.h>

namespace {

// The payload's fields by id, read as a bank's app reads them: id, two-digit length, value.
QMap<QString, QString> fields(const QString& text) {
    QMap<QString, QString> out;
    qsizetype at = 0;
    while (at < text.size()) {
        const QString id = text.mid(at, 2);
        const int length = text.mid(at + 2, 2).toInt();
        out.insert(id, text.mid(at + 4, length));
        at += 4 + length;
    }
    EXPECT_EQ(at, text.size()) << "the last field's length reaches the end";
    return out;
}

// The CRC the payload ends with, checked against everything before it.
void expectCrcMatches(const QString& payload) {
    const QString body = payload.chopped(4);
    EXPECT_TRUE(body.endsWith(QStringLiteral("6304")));
    EXPECT_EQ(payload.right(4),
              QStringLiteral("%1").arg(PixCode::crc16(body.toUtf8()), 4, 16, QLatin1Char('0')).toUpper());
}

TEST(PixCode, TheCrcIsCcittFalse) {
    EXPECT_EQ(PixCode::crc16(QByteArrayLiteral("123456789")), 0x29B1) << "the algorithm's check value";
    EXPECT_EQ(PixCode::crc16(QByteArray()), 0xFFFF);
    // The Banco Central's dynamic example: the CRC covers the text up to and including "6304".
    const QByteArray dynamic =
        "00020101021226720014br.gov.bcb.pix2550bx.com.br/pix/8b3da2f3-9a41-40d1-a91a-bd93113bd441520400005303"
        "9865406123.455802BR5913Fulano de Tal6008BRASILIA62190515RP12345678-20196304";
    EXPECT_EQ(PixCode::crc16(dynamic), 0x45C8);
}

TEST(PixCode, TheBancoCentralStaticExampleFieldByField) {
    const QString payload =
        PixCode::payload({QStringLiteral("123e4567-e12b-12d1-a456-426655440000"), std::nullopt,
                          QStringLiteral("Fulano de Tal"), QStringLiteral("BRASILIA")});
    EXPECT_EQ(payload,
              QStringLiteral("00020126580014br.gov.bcb.pix0136123e4567-e12b-12d1-a456-42665544000052040"
                             "00053039865802BR5913Fulano de Tal6008BRASILIA62070503***63041D3D"));
    const QMap<QString, QString> f = fields(payload);
    EXPECT_EQ(f.keys(), (QStringList{"00", "26", "52", "53", "58", "59", "60", "62", "63"}));
    EXPECT_EQ(f["00"], QStringLiteral("01"));
    EXPECT_EQ(fields(f["26"]), (QMap<QString, QString>{{"00", "br.gov.bcb.pix"},
                                                       {"01", "123e4567-e12b-12d1-a456-426655440000"}}));
    EXPECT_EQ(f["52"], QStringLiteral("0000"));
    EXPECT_EQ(f["53"], QStringLiteral("986"));
    EXPECT_EQ(f["58"], QStringLiteral("BR"));
    EXPECT_EQ(f["59"], QStringLiteral("Fulano de Tal"));
    EXPECT_EQ(f["60"], QStringLiteral("BRASILIA"));
    EXPECT_EQ(fields(f["62"]), (QMap<QString, QString>{{"05", "***"}}));
    EXPECT_EQ(f["63"], QStringLiteral("1D3D"));
}

TEST(PixCode, TheShopsPaymentCarriesTheAmountAndItsNamesCutToTheirLimits) {
    ShopDetails shop;
    shop.name = QStringLiteral("Açougue e Mercearia São Sebastião");
    shop.city = QStringLiteral("São José dos Campos");
    shop.pixKind = PixKeyKind::Phone;
    shop.pixKey = QStringLiteral("+5511912345678");
    const QString payload = PixCode::payload(shop, Currency::parse(QStringLiteral("10,5")));
    // Worked out apart from the program, field by field.
    EXPECT_EQ(payload,
              QStringLiteral("00020126360014br.gov.bcb.pix0114+5511912345678520400005303986540510.5058"
                             "02BR5925Acougue e Mercearia Sao S6015Sao Jose dos Ca62070503***63049F7C"));
    expectCrcMatches(payload);
}

struct AmountCase {
    const char* typed;
    const char* field; // "" : refused
};

TEST(PixCode, AmountsHaveAPointAndTwoDecimals) {
    const AmountCase cases[] = {
        {"10,5", "10.50"},
        {"0,01", "0.01"},
        {"1234567,891", "1234567.89"},
        {"0,005", "0.01"},                  // the cent rounded half away from zero
        {"9999999999,99", "9999999999.99"}, // thirteen characters, the field's limit
        {"10000000000", ""},                // fourteen
        {"0", ""},
        {"0,004", ""}, // nothing to pay once brought to the cent
        {"-5", ""},
    };
    for (const AmountCase& c : cases) {
        PixCode::Payment p{QStringLiteral("loja@exemplo.com.br"), Currency::parse(QString::fromUtf8(c.typed)),
                           QStringLiteral("LOJA"), QStringLiteral("RECIFE")};
        const QString expected = QString::fromUtf8(c.field);
        if (expected.isEmpty()) {
            EXPECT_THROW(PixCode::payload(p), BrolaviError) << c.typed;
            continue;
        }
        const QString payload = PixCode::payload(p);
        EXPECT_EQ(fields(payload).value(QStringLiteral("54")), expected) << c.typed;
        expectCrcMatches(payload);
    }
}

struct NameCase {
    const char* name;
    const char* city;
    const char* nameField;
    const char* cityField;
};

TEST(PixCode, NamesAndCitiesArePlainAsciiWithinTheirLimits) {
    const NameCase cases[] = {
        {"João da Conceição", "São Luís", "Joao da Conceicao", "Sao Luis"},
        {"MÃE & FILHA MODAS", "GOIÂNIA", "MAE & FILHA MODAS", "GOIANIA"},
        {"COMERCIO DE CONFECCOES SAO JOSE LTDA", "BARRA DO GARÇAS", "COMERCIO DE CONFECCOES SA",
         "BARRA DO GARCAS"},
        {"LOJA", "RIO DAS OSTRAS NORTE", "LOJA", "RIO DAS OSTRAS"}, // a blank left at the cut goes
        {"  LOJA   DA\tANA ", " NATAL ", "LOJA DA ANA", "NATAL"},
        {"", "", "LOJA", "BRASIL"},               // both fields are mandatory
        {"日本", "€€", "LOJA", "BRASIL"},         // nothing of them is ASCII
        {"Ñandú Ærø", "Itaú", "Nandu r", "Itau"}, // letters without an ASCII form are left out
    };
    for (const NameCase& c : cases) {
        const QString payload = PixCode::payload({QStringLiteral("12345678909"), Currency::fromUnits(1),
                                                  QString::fromUtf8(c.name), QString::fromUtf8(c.city)});
        const QMap<QString, QString> f = fields(payload);
        EXPECT_EQ(f.value(QStringLiteral("59")), QString::fromUtf8(c.nameField)) << c.name;
        EXPECT_EQ(f.value(QStringLiteral("60")), QString::fromUtf8(c.cityField)) << c.city;
        expectCrcMatches(payload);
    }
}

TEST(PixCode, AKeyIsNeededAndFieldsStayWithinTwoDigitsOfLength) {
    EXPECT_THROW(
        PixCode::payload({QString(), Currency::fromUnits(1), QStringLiteral("A"), QStringLiteral("B")}),
        BrolaviError);
    // The longest stored key (77) still fits in the account field.
    const QString longest = QString(65, u'a') + QStringLiteral("@exemplo.com");
    ASSERT_EQ(longest.size(), Shop::PixKeyLength);
    const QString payload =
        PixCode::payload({longest, Currency::fromUnits(1), QStringLiteral("A"), QStringLiteral("B")});
    EXPECT_EQ(fields(fields(payload).value(QStringLiteral("26"))).value(QStringLiteral("01")), longest);
    EXPECT_THROW(PixCode::field(QStringLiteral("26"), QString(100, u'x')), BrolaviError);
    // A key with a letter beyond ASCII is counted in the bytes the symbol carries.
    EXPECT_EQ(PixCode::field(QStringLiteral("01"), QStringLiteral("joão@x.com")),
              QStringLiteral("0111joão@x.com"));
}

// A length counts bytes and a reader counts characters as well: a key beyond ASCII (stored before the shop's
// screen refused it) would declare one more byte than it has characters, and no bank would read the code.
TEST(PixCode, AKeyBeyondAsciiIsRefusedNamingTheCharacter) {
    for (const char* key : {"joão@padaria.com.br", "loja@padaria.com.br\u00a0", "caixa😀@loja.com"}) {
        try {
            PixCode::payload({QString::fromUtf8(key), Currency::fromUnits(10), QStringLiteral("LOJA"),
                              QStringLiteral("SP")});
            ADD_FAILURE() << key << " accepted";
        } catch (const BrolaviError& e) {
            EXPECT_TRUE(e.message().startsWith(
                QStringLiteral("A chave PIX \"%1\" tem o caractere").arg(QString::fromUtf8(key))))
                << e.message().toStdString();
        }
    }
    const QString code = PixCode::payload({QStringLiteral("joao@padaria.com.br"), Currency::fromUnits(10),
                                           QStringLiteral("JOÃO"), QStringLiteral("SÃO JOSÉ")});
    EXPECT_EQ(code.toUtf8().size(), code.size()) << "every length counts its characters too";
}

} // namespace
