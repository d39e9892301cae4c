#pragma once

#include <cstdint>
#include <limits>

// Exact 64-bit integer arithmetic that reports an overflow instead of wrapping, and the 128-bit products and
// quotients money needs on the way, written without compiler builtins or a 128-bit type so that MSVC builds
// it as g++ and clang do.
namespace WideArithmetic {

// An unsigned 128-bit value as two halves.
struct Unsigned128 {
    std::uint64_t high = 0;
    std::uint64_t low = 0;

    constexpr bool fitsIn64() const { return high == 0; }
    constexpr bool isOdd() const { return (low & 1) != 0; }
    constexpr Unsigned128 plusOne() const {
        return low == UINT64_MAX ? Unsigned128{high + 1, 0} : Unsigned128{high, low + 1};
    }
    constexpr bool greaterThan(std::uint64_t v) const { return high != 0 || low > v; }
};

// |v|, exact for the most negative value too.
constexpr std::uint64_t magnitude(std::int64_t v) {
    return v < 0 ? std::uint64_t(0) - std::uint64_t(v) : std::uint64_t(v);
}

constexpr Unsigned128 multiply(std::uint64_t a, std::uint64_t b) {
    constexpr std::uint64_t mask = 0xFFFFFFFFu;
    const std::uint64_t a0 = a & mask, a1 = a >> 32, b0 = b & mask, b1 = b >> 32;
    const std::uint64_t p00 = a0 * b0, p01 = a0 * b1, p10 = a1 * b0, p11 = a1 * b1;
    const std::uint64_t middle = (p00 >> 32) + (p01 & mask) + (p10 & mask);
    return {p11 + (p01 >> 32) + (p10 >> 32) + (middle >> 32), (middle << 32) | (p00 & mask)};
}

// Long division by a divisor that fits in 32 bits, a 32-bit digit at a time; remainder gets what is left.
constexpr Unsigned128 divide(Unsigned128 n, std::uint32_t divisor, std::uint64_t& remainder) {
    const std::uint64_t digits[4] = {n.high >> 32, n.high & 0xFFFFFFFFu, n.low >> 32, n.low & 0xFFFFFFFFu};
    std::uint64_t quotient[4] = {};
    std::uint64_t rest = 0;
    for (int i = 0; i < 4; ++i) {
        const std::uint64_t current = (rest << 32) | digits[i];
        quotient[i] = current / divisor;
        rest = current % divisor;
    }
    remainder = rest;
    return {(quotient[0] << 32) | quotient[1], (quotient[2] << 32) | quotient[3]};
}

// The signed value of a sign and a magnitude, when it fits in 64 bits.
constexpr bool toSigned(bool negative, Unsigned128 m, std::int64_t& out) {
    constexpr std::uint64_t limit = std::uint64_t(std::numeric_limits<std::int64_t>::max());
    if (!m.fitsIn64() || m.low > limit + (negative ? 1 : 0))
        return false;
    out = negative ? std::int64_t(std::uint64_t(0) - m.low) : std::int64_t(m.low);
    return true;
}

constexpr bool add(std::int64_t a, std::int64_t b, std::int64_t& out) {
    constexpr std::int64_t max = std::numeric_limits<std::int64_t>::max();
    constexpr std::int64_t min = std::numeric_limits<std::int64_t>::min();
    if ((b > 0 && a > max - b) || (b < 0 && a < min - b))
        return false;
    out = a + b;
    return true;
}

constexpr bool subtract(std::int64_t a, std::int64_t b, std::int64_t& out) {
    constexpr std::int64_t max = std::numeric_limits<std::int64_t>::max();
    constexpr std::int64_t min = std::numeric_limits<std::int64_t>::min();
    if ((b < 0 && a > max + b) || (b > 0 && a < min + b))
        return false;
    out = a - b;
    return true;
}

constexpr bool multiply(std::int64_t a, std::int64_t b, std::int64_t& out) {
    return toSigned((a < 0) != (b < 0), multiply(magnitude(a), magnitude(b)), out);
}

} // namespace WideArithmetic
