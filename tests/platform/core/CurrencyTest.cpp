#include "platform/core/Currency.h"
#include "Printers.h"
#include "platform/core/Errors.h"

#include <functional>
#include <gtest/gtest.h>
#include <optional>

struct ParseCase {
    const char* typed;
    std::int64_t raw;
};

class CurrencyParse : public ::testing::TestWithParam<ParseCase> {};

TEST_P(CurrencyParse, ReadsTheDecimalComma) {
    EXPECT_EQ(Currency::parse(QString::fromUtf8(GetParam().typed)).raw(), GetParam().raw);
}

INSTANTIATE_TEST_SUITE_P(Typed, CurrencyParse,
                         ::testing::Values(ParseCase{"12", 120000}, ParseCase{"12,5", 125000},
                                           ParseCase{"0,01", 100}, ParseCase{" 7,25 ", 72500},
                                           ParseCase{"-3,10", -31000}, ParseCase{",5", 5000},
                                           ParseCase{"1,00005", 10000},  // tie: to even
                                           ParseCase{"1,00015", 10002},  // tie: to even
                                           ParseCase{"1,000051", 10001}, // beyond the tie
                                           ParseCase{"92233720368547,7580", INT64_C(922337203685477580)},
                                           ParseCase{"1,000050000000000000000000000000000001", 10001},
                                           ParseCase{"0,99995", 10000}, // the tie carries into the unit
                                           ParseCase{"922337203685477,5807", INT64_MAX},
                                           ParseCase{"-922337203685477,5808", INT64_MIN},
                                           ParseCase{"-922337203685477,58075", INT64_MIN}));

TEST(Currency, RefusesTextThatIsNotAnAmountWithTheTextAsTyped) {
    for (const char* bad :
         {"", "abc", "12,3,4", "12.5", "1 000", "R$ 5", "--1", ",", "9999999999999999999",
          "922337203685477,5808", "922337203685477,58075", "-922337203685477,5809", "18446744073709551616"}) {
        try {
            Currency::parse(QString::fromUtf8(bad));
            ADD_FAILURE() << "accepted " << bad;
        } catch (const ConversionError& e) {
            EXPECT_EQ(e.message(), QStringLiteral("'%1' não é um valor válido").arg(QString::fromUtf8(bad)));
        }
    }
}

TEST(Currency, ArithmeticRoundsTiesToEven) {
    // 0,0125 / 2 = 0,00625 -> 0,0062; 0,0375 / 2 = 0,01875 -> 0,0188
    EXPECT_EQ((Currency::fromRaw(125) / 2).raw(), 62);
    EXPECT_EQ((Currency::fromRaw(375) / 2).raw(), 188);
    EXPECT_EQ((Currency::fromRaw(-125) / 2).raw(), -62);
    // 100 / 3 instalments
    EXPECT_EQ((Currency::fromUnits(100) / 3).raw(), 333333);
    // 0,0005 x 0,5 = 0,00025 -> 0,0002 (tie, even)
    EXPECT_EQ((Currency::fromRaw(5) * Currency::fromRaw(5000)).raw(), 2);
    EXPECT_EQ((Currency::fromRaw(15) * Currency::fromRaw(5000)).raw(), 8);
    EXPECT_EQ((Currency::parse(QStringLiteral("10,50")) * 3).raw(), 315000);
    EXPECT_THROW(Currency::fromUnits(1) / 0, ConversionError);
    EXPECT_THROW(Currency::fromRaw(INT64_MAX) + Currency::fromRaw(1), ConversionError);
}

// Products and quotients near the ends of the range: what fits comes out exact, what does not is refused.
TEST(Currency, ArithmeticAtTheEndsOfTheRangeIsExactOrRefused) {
    const Currency max = Currency::fromRaw(INT64_MAX);
    const Currency min = Currency::fromRaw(INT64_MIN);
    const Currency one = Currency::fromUnits(1);
    struct Case {
        const char* what;
        std::function<Currency()> result;
        std::optional<std::int64_t> raw; // nothing: refused
    };
    const Case cases[] = {
        {"max x 1", [&] { return max * one; }, INT64_MAX},
        {"min x 1", [&] { return min * one; }, INT64_MIN},
        {"max x -1", [&] { return max * -one; }, -INT64_MAX},
        {"min x -1", [&] { return min * -one; }, std::nullopt},
        {"min x 0,5", [&] { return min * Currency::fromRaw(5000); }, INT64_MIN / 2},
        // 10^13 x 10^4 units: the product of the raw values needs more than 64 bits, the result does not.
        {"wide product",
         [] { return Currency::fromUnits(INT64_C(10000000000000)) * Currency::fromUnits(10000); },
         std::nullopt},
        {"wide product that fits",
         [] { return Currency::fromUnits(INT64_C(1000000000)) * Currency::fromUnits(10000); },
         INT64_C(100000000000000000)},
        {"wide product, tie to even",
         [] { return Currency::fromRaw(INT64_C(3000000000000000001)) * Currency::fromRaw(5000); },
         INT64_C(1500000000000000000)},
        {"max x max", [&] { return max * max; }, std::nullopt},
        {"max x 2", [&] { return max * 2; }, std::nullopt},
        {"min x -1 (integer)", [&] { return min * -1; }, std::nullopt},
        {"min / 1", [&] { return min / 1; }, INT64_MIN},
        {"min / -1", [&] { return min / -1; }, std::nullopt},
        {"max / min", [&] { return max / INT64_MIN; }, -1},
        {"-min", [&] { return -min; }, std::nullopt},
        {"-max", [&] { return -max; }, -INT64_MAX},
        {"min - 1", [&] { return min - Currency::fromRaw(1); }, std::nullopt},
        {"max - min", [&] { return max - min; }, std::nullopt},
        {"min + max", [&] { return min + max; }, -1},
        // The cent nearest the ends is never beyond them.
        {"max to the cent", [&] { return max.roundedToCents(); }, INT64_C(9223372036854775800)},
        {"min to the cent", [&] { return min.roundedToCents(); }, INT64_C(-9223372036854775800)},
        {"share of min parts", [] { return Currency::fromUnits(100).shareToCents(INT64_MIN); }, 0},
        {"share of -1 part", [] { return Currency::fromUnits(100).shareToCents(-1); }, -1000000},
    };
    for (const Case& c : cases) {
        if (c.raw)
            EXPECT_EQ(c.result().raw(), *c.raw) << c.what;
        else
            EXPECT_THROW(c.result(), ConversionError) << c.what;
    }
}

TEST(Currency, WholeAmountsBeyondTheRangeAreRefusedNotWrapped) {
    EXPECT_EQ(Currency::fromUnits(922337203685477).raw(), INT64_C(9223372036854770000));
    EXPECT_EQ(Currency::fromCents(-92233720368547758).raw(), INT64_C(-9223372036854775800));
    for (std::int64_t units : {INT64_C(922337203685478), INT64_C(-922337203685478), INT64_C(999999999999999)})
        EXPECT_THROW(Currency::fromUnits(units), ConversionError) << units;
    EXPECT_THROW(Currency::fromCents(INT64_C(92233720368547759)), ConversionError);
}

TEST(Currency, SharesAreBroughtToTheCentAndTheLastTakesWhatIsLeft) {
    struct Case {
        const char* total;
        int n;
        const char* share;
        const char* last;
    };
    for (const Case& c : {Case{"100", 3, "33.33", "33.34"}, Case{"100", 6, "16.67", "16.65"},
                          Case{"0,05", 2, "0.03", "0.02"}, Case{"0,05", 10, "0.00", "0.05"},
                          Case{"0,01", 3, "0.00", "0.01"}, Case{"99,99", 1, "99.99", "99.99"},
                          Case{"1000", 7, "142.86", "142.84"}, Case{"-100", 3, "-33.33", "-33.34"}}) {
        const Currency total = Currency::parse(QString::fromUtf8(c.total));
        const Currency share = total.shareToCents(c.n);
        EXPECT_EQ(share.toDbText(), QString::fromUtf8(c.share)) << c.total << " / " << c.n;
        EXPECT_EQ((total - share * (c.n - 1)).toDbText(), QString::fromUtf8(c.last))
            << c.total << " / " << c.n;
    }
}

TEST(Currency, GoesToTheDatabaseRoundedToTheCentHalfAwayFromZero) {
    struct Case {
        std::int64_t raw;
        const char* db;
        const char* shown;
        const char* plain;
    };
    for (const Case& c : {Case{10050, "1.01", "R$ 1,01", "1,01"}, Case{10049, "1.00", "R$ 1,00", "1,00"},
                          Case{-1250, "-0.13", "-R$ 0,13", "-0,13"}, Case{0, "0.00", "R$ 0,00", "0,00"},
                          Case{12345678900, "1234567.89", "R$ 1.234.567,89", "1234567,89"},
                          Case{9990000, "999.00", "R$ 999,00", "999,00"}}) {
        const Currency v = Currency::fromRaw(c.raw);
        EXPECT_EQ(v.toDbText(), QString::fromUtf8(c.db)) << c.raw;
        EXPECT_EQ(v.format(), QString::fromUtf8(c.shown)) << c.raw;
        EXPECT_EQ(v.toPlainText(), QString::fromUtf8(c.plain)) << c.raw;
    }
}

TEST(Currency, ReadsBackWhatItShows) {
    for (const char* text : {"R$ 1.234.567,89", "R$ 0,50", "-R$ 12,00", "1.234,5", "7"})
        EXPECT_EQ(Currency::parseDisplayed(Currency::parseDisplayed(QString::fromUtf8(text)).format()),
                  Currency::parseDisplayed(QString::fromUtf8(text)))
            << text;
    EXPECT_EQ(Currency::parseDisplayed(QStringLiteral("R$ 1.234,56")).raw(), 12345600);
    EXPECT_THROW(Currency::parseDisplayed(QStringLiteral("R$ 12.34,56")), ConversionError);
    EXPECT_EQ(Currency::fromDbText(QStringLiteral("-0.13")).raw(), -1300);
}
