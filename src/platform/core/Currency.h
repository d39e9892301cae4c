#pragma once

#include "platform/core/WideArithmetic.h"

#include <QMetaType>
#include <QString>
#include <compare>
#include <cstdint>

// Money as a whole number of ten-thousandths. Arithmetic rounds ties to even; the database's two-decimal
// columns receive the value rounded to the cent, half away from zero. Never passes through double.
class Currency {
public:
    static constexpr std::int64_t Scale = 10000;

    constexpr Currency() = default;
    static constexpr Currency fromRaw(std::int64_t raw) {
        Currency c;
        c.m_raw = raw;
        return c;
    }
    // Throw ConversionError when the amount is beyond the range (a wrapped amount would be a wrong one).
    static constexpr Currency fromCents(std::int64_t cents) { return scaled(cents, 100); }
    static constexpr Currency fromUnits(std::int64_t units) { return scaled(units, Scale); }

    // Typed text: optional sign, digits, a decimal comma ("12,5"). Blanks around are ignored.
    static Currency parse(const QString& typed);
    // Also takes what format() produced: "R$ 1.234,56".
    static Currency parseDisplayed(const QString& text);
    // The database's decimal text, with a point ("1234.50").
    static Currency fromDbText(const QString& text);

    constexpr std::int64_t raw() const { return m_raw; }
    Currency roundedToCents() const;
    std::int64_t cents() const { return roundedToCents().m_raw / 100; }

    // "R$ 1.234,56", rounded to the cent half away from zero; "-R$ 1,00" below zero.
    QString format() const;
    // "1234,56": the plain text a money field shows for editing.
    QString toPlainText() const;
    // "1234.56": the exact text sent to a two-decimal column.
    QString toDbText() const;

    Currency operator+(Currency o) const;
    Currency operator-(Currency o) const;
    Currency operator-() const;
    Currency& operator+=(Currency o) { return *this = *this + o; }
    Currency& operator-=(Currency o) { return *this = *this - o; }
    Currency operator*(std::int64_t n) const;
    Currency operator*(Currency o) const;
    Currency operator/(std::int64_t n) const;
    // One share of this amount (in the cent) split into n instalments, the last of which takes what is left:
    // the amount divided by n brought to the cent, half away from zero, or towards zero where rounding up
    // would leave the last instalment below zero (a few cents in many instalments).
    Currency shareToCents(std::int64_t n) const;

    // NOLINTNEXTLINE(modernize-use-nullptr): the check misreads a defaulted comparison
    constexpr auto operator<=>(const Currency&) const = default;
    constexpr bool isZero() const { return m_raw == 0; }

private:
    [[noreturn]] static void outOfRange();
    static constexpr Currency scaled(std::int64_t n, std::int64_t factor) {
        std::int64_t raw = 0;
        if (!WideArithmetic::multiply(n, factor, raw))
            outOfRange();
        return fromRaw(raw);
    }

    std::int64_t m_raw = 0;
};

Q_DECLARE_METATYPE(Currency)
