#include "platform/core/TextEncoding.h"
#include "Printers.h"
#include "platform/core/Errors.h"

#include <gtest/gtest.h>

namespace {

// The refusal names the character typed, an emoji whole and not one half of it.
TEST(TextCodec, ARefusalNamesTheCharacterTheDatabaseCannotHold) {
    const struct {
        const char* text;
        const char* named;
    } cases[] = {{"JOSÉ 😀", "😀"}, {"ŁUKASZ", "Ł"}, {"😀😀", "😀"}, {"CAFÉ ☕ E PÃO", "☕"}};
    for (const auto& c : cases) {
        const QString text = QString::fromUtf8(c.text);
        try {
            TextCodec::encode(text, TextEncoding::Windows1252);
            ADD_FAILURE() << c.text << " encoded";
        } catch (const DatabaseError& e) {
            EXPECT_TRUE(
                e.message().contains(QStringLiteral("caractere \"%1\"").arg(QString::fromUtf8(c.named))))
                << e.message().toStdString();
        }
    }
    EXPECT_EQ(TextCodec::encode(QStringLiteral("AÇÃO €’"), TextEncoding::Windows1252),
              QByteArray("A\xC7\xC3O \x80\x92"));
}

TEST(TextCodec, EachCharacterSetHoldsItsOwnCharacters) {
    const struct {
        const char* text;
        bool utf8, win1252, latin1, none;
    } cases[] = {
        {"AÇÃO Ü ÿ", true, true, true, true}, {"€", true, true, false, true},
        {"D’ÁVILA", true, true, false, true}, {"Ł", true, false, false, false},
        {"😀", true, false, false, false},     {"", true, true, true, true},
    };
    for (const auto& c : cases) {
        const QString text = QString::fromUtf8(c.text);
        EXPECT_EQ(TextCodec::canHold(text, QStringLiteral("UTF8")), c.utf8) << c.text;
        EXPECT_EQ(TextCodec::canHold(text, QStringLiteral("WIN1252")), c.win1252) << c.text;
        EXPECT_EQ(TextCodec::canHold(text, QStringLiteral("ISO8859_1")), c.latin1) << c.text;
        EXPECT_EQ(TextCodec::canHold(text, QStringLiteral("NONE")), c.none) << c.text;
    }
}

} // namespace
