#include "platform/core/Currency.h"

#include "platform/core/Errors.h"
#include "platform/core/WideArithmetic.h"

#include <QStringList>
#include <limits>

namespace {

using WideArithmetic::magnitude;
using WideArithmetic::Unsigned128;

ConversionError overflow() {
    return ConversionError(QStringLiteral("Valor monetário fora do intervalo"));
}

std::int64_t checked(bool negative, Unsigned128 m) {
    std::int64_t out = 0;
    if (!WideArithmetic::toSigned(negative, m, out))
        throw overflow();
    return out;
}

std::int64_t checked(bool negative, std::uint64_t m) {
    return checked(negative, Unsigned128{0, m});
}

// Whether a quotient with this remainder goes one up: ties to the even quotient. Compared as
// remainder against divisor - remainder, so that twice the remainder never has to be formed.
bool roundsUpHalfEven(Unsigned128 quotient, std::uint64_t remainder, std::uint64_t divisor) {
    const std::uint64_t rest = divisor - remainder;
    return remainder > rest || (remainder == rest && quotient.isOdd());
}

bool roundsUpHalfAway(std::uint64_t remainder, std::uint64_t divisor) {
    return remainder >= divisor - remainder;
}

// Divides rounding ties to the even quotient.
std::int64_t divideHalfEven(std::int64_t num, std::int64_t den) {
    const std::uint64_t n = magnitude(num), d = magnitude(den);
    Unsigned128 q{0, n / d};
    if (roundsUpHalfEven(q, n % d, d))
        q = q.plusOne();
    return checked((num < 0) != (den < 0), q);
}

std::int64_t divideHalfAway(std::int64_t num, std::int64_t den) {
    const std::uint64_t n = magnitude(num), d = magnitude(den);
    std::uint64_t q = n / d;
    if (roundsUpHalfAway(n % d, d))
        ++q;
    return checked((num < 0) != (den < 0), q);
}

// Parses [sign]digits[sep digits] into ten-thousandths, ties to even beyond the fourth decimal.
bool parseDecimal(QStringView s, QChar separator, std::int64_t& out) {
    if (s.isEmpty())
        return false;
    bool negative = false;
    if (s.front() == u'-' || s.front() == u'+') {
        negative = s.front() == u'-';
        s = s.mid(1);
    }
    constexpr std::uint64_t wholeLimit = std::uint64_t(std::numeric_limits<std::int64_t>::max());
    std::uint64_t whole = 0;
    // The first four decimals, the fifth, and whether any after it is not zero: all rounding needs.
    std::uint64_t fraction = 0;
    int fractionDigits = 0;
    int fifth = 0;
    bool beyondFifth = false;
    int digits = 0;
    bool inFraction = false;
    for (QChar ch : s) {
        if (ch == separator && !inFraction) {
            inFraction = true;
            continue;
        }
        if (ch < u'0' || ch > u'9')
            return false;
        const int d = ch.unicode() - u'0';
        ++digits;
        if (!inFraction) {
            if (whole > (wholeLimit - std::uint64_t(d)) / 10)
                return false;
            whole = whole * 10 + std::uint64_t(d);
        } else if (fractionDigits < 4) {
            fraction = fraction * 10 + std::uint64_t(d);
            ++fractionDigits;
        } else if (fractionDigits == 4) {
            fifth = d;
            ++fractionDigits;
        } else {
            beyondFifth = beyondFifth || d != 0;
        }
    }
    if (digits == 0)
        return false;
    for (; fractionDigits < 4; ++fractionDigits)
        fraction *= 10;
    if (fifth > 5 || (fifth == 5 && (beyondFifth || fraction % 2 != 0)))
        ++fraction;
    const Unsigned128 scaled = WideArithmetic::multiply(whole, std::uint64_t(Currency::Scale));
    if (!scaled.fitsIn64() || scaled.low > UINT64_MAX - fraction)
        return false;
    return WideArithmetic::toSigned(negative, Unsigned128{0, scaled.low + fraction}, out);
}

QString groupThousands(QString digits) {
    for (int i = int(digits.size()) - 3; i > 0; i -= 3)
        digits.insert(i, u'.');
    return digits;
}

} // namespace

void Currency::outOfRange() {
    throw overflow();
}

Currency Currency::parse(const QString& typed) {
    std::int64_t raw = 0;
    if (!parseDecimal(QStringView(typed).trimmed(), u',', raw))
        throw ConversionError::invalidValue(typed);
    return fromRaw(raw);
}

Currency Currency::parseDisplayed(const QString& text) {
    QString s = text.trimmed();
    bool negative = false;
    if (s.startsWith(u'-')) {
        negative = true;
        s = s.mid(1).trimmed();
    }
    if (s.startsWith(QStringLiteral("R$")))
        s = s.mid(2).trimmed();
    // Group points are only accepted where format() puts them.
    const qsizetype comma = s.indexOf(u',');
    QString whole = comma < 0 ? s : s.left(comma);
    if (whole.contains(u'.')) {
        const QStringList groups = whole.split(u'.');
        bool ok = !groups.front().isEmpty() && groups.front().size() <= 3;
        for (qsizetype i = 1; i < groups.size(); ++i)
            ok = ok && groups[i].size() == 3;
        if (!ok)
            throw ConversionError::invalidValue(text);
        whole.remove(u'.');
    }
    s = whole + (comma < 0 ? QString() : s.mid(comma));
    std::int64_t raw = 0;
    if (s.startsWith(u'-') || s.startsWith(u'+') || !parseDecimal(s, u',', raw))
        throw ConversionError::invalidValue(text);
    return fromRaw(negative ? -raw : raw);
}

Currency Currency::fromDbText(const QString& text) {
    std::int64_t raw = 0;
    if (!parseDecimal(QStringView(text).trimmed(), u'.', raw))
        throw ConversionError::invalidValue(text);
    return fromRaw(raw);
}

Currency Currency::roundedToCents() const {
    return fromRaw(checked(m_raw < 0, WideArithmetic::multiply(magnitude(divideHalfAway(m_raw, 100)), 100)));
}

QString Currency::toPlainText() const {
    const std::int64_t cents = roundedToCents().m_raw / 100;
    const std::uint64_t abs = cents < 0 ? std::uint64_t(0) - std::uint64_t(cents) : std::uint64_t(cents);
    return QStringLiteral("%1%2,%3")
        .arg(cents < 0 ? QStringLiteral("-") : QString())
        .arg(abs / 100)
        .arg(abs % 100, 2, 10, QLatin1Char('0'));
}

QString Currency::format() const {
    const std::int64_t cents = roundedToCents().m_raw / 100;
    const std::uint64_t abs = cents < 0 ? std::uint64_t(0) - std::uint64_t(cents) : std::uint64_t(cents);
    return QStringLiteral("%1R$ %2,%3")
        .arg(cents < 0 ? QStringLiteral("-") : QString())
        .arg(groupThousands(QString::number(abs / 100)))
        .arg(abs % 100, 2, 10, QLatin1Char('0'));
}

QString Currency::toDbText() const {
    const std::int64_t cents = roundedToCents().m_raw / 100;
    const std::uint64_t abs = cents < 0 ? std::uint64_t(0) - std::uint64_t(cents) : std::uint64_t(cents);
    return QStringLiteral("%1%2.%3")
        .arg(cents < 0 ? QStringLiteral("-") : QString())
        .arg(abs / 100)
        .arg(abs % 100, 2, 10, QLatin1Char('0'));
}

Currency Currency::operator+(Currency o) const {
    std::int64_t out = 0;
    if (!WideArithmetic::add(m_raw, o.m_raw, out))
        throw overflow();
    return fromRaw(out);
}

Currency Currency::operator-(Currency o) const {
    std::int64_t out = 0;
    if (!WideArithmetic::subtract(m_raw, o.m_raw, out))
        throw overflow();
    return fromRaw(out);
}

Currency Currency::operator-() const {
    return fromRaw(checked(m_raw > 0, magnitude(m_raw)));
}

Currency Currency::operator*(std::int64_t n) const {
    std::int64_t out = 0;
    if (!WideArithmetic::multiply(m_raw, n, out))
        throw overflow();
    return fromRaw(out);
}

// The product of two amounts has eight decimals and may pass 64 bits before it is scaled back to four.
Currency Currency::operator*(Currency o) const {
    std::uint64_t remainder = 0;
    Unsigned128 q = WideArithmetic::divide(WideArithmetic::multiply(magnitude(m_raw), magnitude(o.m_raw)),
                                           std::uint32_t(Scale), remainder);
    if (roundsUpHalfEven(q, remainder, std::uint64_t(Scale)))
        q = q.plusOne();
    return fromRaw(checked((m_raw < 0) != (o.m_raw < 0), q));
}

Currency Currency::operator/(std::int64_t n) const {
    if (n == 0)
        throw ConversionError(QStringLiteral("Divisão por zero"));
    return fromRaw(divideHalfEven(m_raw, n));
}

Currency Currency::shareToCents(std::int64_t n) const {
    if (n == 0)
        throw ConversionError(QStringLiteral("Divisão por zero"));
    const std::int64_t total = cents();
    const std::uint64_t cents = magnitude(total);
    const std::uint64_t parts = magnitude(n);
    std::uint64_t share = cents / parts;
    // Rounded up only while the other parts - 1 shares still leave the last one its sign.
    if (roundsUpHalfAway(cents % parts, parts) &&
        !WideArithmetic::multiply(share + 1, parts - 1).greaterThan(cents))
        ++share;
    return fromRaw(checked((total < 0) != (n < 0), WideArithmetic::multiply(share, 100)));
}
