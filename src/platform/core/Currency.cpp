#include "platform/core/Currency.h"

#include "platform/core/Errors.h"

#include <QStringList>
#include <limits>

namespace {

// Products of two amounts overflow 64 bits before they are scaled back.
__extension__ typedef __int128 Wide;

ConversionError overflow() {
    return ConversionError(QStringLiteral("Valor monetário fora do intervalo"));
}

std::int64_t checked(Wide v) {
    if (v > std::numeric_limits<std::int64_t>::max() || v < std::numeric_limits<std::int64_t>::min())
        throw overflow();
    return static_cast<std::int64_t>(v);
}

// Divides rounding ties to the even quotient.
Wide divideHalfEven(Wide num, Wide den) {
    if (den < 0) {
        num = -num;
        den = -den;
    }
    Wide q = num / den;
    Wide r = num % den;
    if (r == 0)
        return q;
    const Wide twice = (r < 0 ? -r : r) * 2;
    const int sign = num < 0 ? -1 : 1;
    if (twice > den || (twice == den && (q % 2 != 0)))
        q += sign;
    return q;
}

Wide divideHalfAway(Wide num, Wide den) {
    Wide q = num / den;
    Wide r = num % den;
    if ((r < 0 ? -r : r) * 2 >= den)
        q += (num < 0) ? -1 : 1;
    return q;
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
    Wide whole = 0;
    Wide frac = 0;
    Wide fracScale = 1;
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
            whole = whole * 10 + d;
            if (whole > Wide(std::numeric_limits<std::int64_t>::max()))
                return false;
        } else if (fracScale < Wide(1) << 100) {
            frac = frac * 10 + d;
            fracScale *= 10;
        }
    }
    if (digits == 0)
        return false;
    Wide raw = whole * Currency::Scale + divideHalfEven(frac * Currency::Scale, fracScale);
    if (negative)
        raw = -raw;
    if (raw > std::numeric_limits<std::int64_t>::max() || raw < std::numeric_limits<std::int64_t>::min())
        return false;
    out = static_cast<std::int64_t>(raw);
    return true;
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
    return fromRaw(checked(divideHalfAway(m_raw, 100) * 100));
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
    return fromRaw(checked(Wide(m_raw) + o.m_raw));
}

Currency Currency::operator-(Currency o) const {
    return fromRaw(checked(Wide(m_raw) - o.m_raw));
}

Currency Currency::operator-() const {
    return fromRaw(checked(-Wide(m_raw)));
}

Currency Currency::operator*(std::int64_t n) const {
    return fromRaw(checked(Wide(m_raw) * n));
}

Currency Currency::operator*(Currency o) const {
    return fromRaw(checked(divideHalfEven(Wide(m_raw) * o.m_raw, Scale)));
}

Currency Currency::operator/(std::int64_t n) const {
    if (n == 0)
        throw ConversionError(QStringLiteral("Divisão por zero"));
    return fromRaw(checked(divideHalfEven(m_raw, n)));
}

Currency Currency::shareToCents(std::int64_t n) const {
    if (n == 0)
        throw ConversionError(QStringLiteral("Divisão por zero"));
    const Wide cents = Wide(this->cents()) * (n < 0 ? -1 : 1);
    const Wide parts = n < 0 ? -Wide(n) : Wide(n);
    Wide share = divideHalfAway(cents, parts);
    const Wide last = cents - share * (parts - 1);
    if ((cents >= 0 && last < 0) || (cents < 0 && last > 0))
        share = cents / parts;
    return fromRaw(checked(share * 100));
}
