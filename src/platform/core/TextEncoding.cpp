#include "platform/core/TextEncoding.h"

#include "platform/core/Errors.h"

#include <QList>
#include <array>

namespace {

// 0x80..0x9F of Windows-1252; the five bytes it leaves undefined map to the C1 controls of the same value, so
// that no byte is lost.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// The byte of a character, -1 for one Windows-1252 has not (every character beyond the 16-bit plane).
int windows1252Byte(char32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return c;
    for (std::size_t i = 0; i < kHighControls.size(); ++i)
        if (kHighControls[i] == c)
            return int(0x80 + i);
    return -1;
}

// The five bytes Windows-1252 leaves undefined: NONE keeps them as C1 controls, the engine's WIN1252 has no
// character for them.
bool undefinedInWindows1252(char32_t c) {
    return c == 0x81 || c == 0x8D || c == 0x8F || c == 0x90 || c == 0x9D;
}

template <typename Holds> bool every(QStringView text, Holds holds) {
    for (const char32_t c : text.toUcs4())
        if (!holds(c))
            return false;
    return true;
}

} // namespace

namespace TextCodec {

QByteArray encode(QStringView text, TextEncoding encoding) {
    if (encoding == TextEncoding::Utf8)
        return text.toUtf8();
    QByteArray out;
    out.reserve(text.size());
    // By characters, not UTF-16 units: the message names an emoji, not half of it.
    for (const char32_t c : text.toUcs4()) {
        const int b = windows1252Byte(c);
        if (b < 0)
            throw DatabaseError(
                QStringLiteral("O texto \"%1\" tem o caractere \"%2\", que este banco de dados não guarda "
                               "(conjunto de caracteres NONE, gravado como Windows-1252)")
                    .arg(text.toString(), QString::fromUcs4(&c, 1)));
        out.append(char(b));
    }
    return out;
}

QString decode(const char* bytes, qsizetype size, TextEncoding encoding) {
    if (encoding == TextEncoding::Utf8)
        return QString::fromUtf8(bytes, size);
    QString out(size, Qt::Uninitialized);
    QChar* d = out.data();
    for (qsizetype i = 0; i < size; ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        d[i] = QChar(b >= 0x80 && b < 0xA0 ? kHighControls[b - 0x80] : char16_t(b));
    }
    return out;
}

bool canHold(QStringView text, const QString& characterSet) {
    if (characterSet == u"NONE")
        return every(text, [](char32_t c) { return windows1252Byte(c) >= 0; });
    if (characterSet == u"WIN1252")
        return every(text, [](char32_t c) { return windows1252Byte(c) >= 0 && !undefinedInWindows1252(c); });
    if (characterSet == u"ISO8859_1")
        return every(text, [](char32_t c) { return c <= 0xFF; });
    if (characterSet == u"ASCII")
        return every(text, [](char32_t c) { return c < 0x80; });
    return true;
}

} // namespace TextCodec
