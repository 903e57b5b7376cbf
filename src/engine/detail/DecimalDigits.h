#pragma once
// The digit reading that number parsing and coordinate formatting share: a plain decimal text
// (sign, digits, point) as one integer, read a word at a time. Inline, as both run it once per
// coordinate. Internal to the engine.

#include <bit>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace quarrow::decimal {

constexpr bool IsDigit(char c) noexcept {
    return c >= '0' && c <= '9';
}

// 10^k for k from 0 to 19, all that a 64-bit integer holds.
inline constexpr std::uint64_t kPowersOf10[] = {
    1ull,
    10ull,
    100ull,
    1'000ull,
    10'000ull,
    100'000ull,
    1'000'000ull,
    10'000'000ull,
    100'000'000ull,
    1'000'000'000ull,
    10'000'000'000ull,
    100'000'000'000ull,
    1'000'000'000'000ull,
    10'000'000'000'000ull,
    100'000'000'000'000ull,
    1'000'000'000'000'000ull,
    10'000'000'000'000'000ull,
    100'000'000'000'000'000ull,
    1'000'000'000'000'000'000ull,
    10'000'000'000'000'000'000ull,
};

// The powers of ten that are exact doubles.
inline constexpr double kExactPowersOf10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                              1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                              1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// The digits of a plain decimal text (sign, digits, point; no exponent) as one integer, with
// the number of digits after the point.
struct PlainDigits {
    std::uint64_t Digits = 0;
    int FractionDigits = 0;
    bool Negative = false;
};

// Flags (bit 7 of each byte) the bytes of a word that are not ASCII digits, exactly: the
// high nibble must be 3 and the low one below 10 (adding 6 carries it into bit 4); no step
// carries across bytes.
constexpr std::uint64_t NonDigitBytes(std::uint64_t w) noexcept {
    constexpr std::uint64_t kLow7 = 0x7F7F7F7F'7F7F7F7Full;
    const std::uint64_t bad =
        ((w & 0xF0F0F0F0'F0F0F0F0ull) ^ 0x30303030'30303030ull) |
        (((w & 0x0F0F0F0F'0F0F0F0Full) + 0x06060606'06060606ull) & 0x10101010'10101010ull);
    return (((bad & kLow7) + kLow7) | bad) & ~kLow7;  // bit 7 set where bad is not 0
}

// One bit per flagged byte of NonDigitBytes, bit i for byte i.
constexpr unsigned FlagBits(std::uint64_t flags) noexcept {
    return unsigned(((flags >> 7) * 0x01020408'10204080ull) >> 56);
}

// The value of a word of digits (first digit in the lowest byte), zero bytes in front counting
// as leading zeros: pairs, then fours, then the eight, in three multiplications.
constexpr std::uint64_t DigitsValue(std::uint64_t w) noexcept {
    w &= 0x0F0F0F0F'0F0F0F0Full;
    w = (w * 10 + (w >> 8)) & 0x00FF00FF'00FF00FFull;
    w = (w * 100 + (w >> 16)) & 0x0000FFFF'0000FFFFull;
    return (w * 10000 + (w >> 32)) & 0xFFFFFFFFull;
}

// ReadPlainDigits for the 8 to 17 bytes after the sign, with a point and at most 8 digits on
// each side of it (every survey coordinate): the text is read as its first and last 8 bytes,
// which overlap, without a loop over its digits. Returns false, setting nothing, for any
// other text.
inline bool ReadEightToSeventeen(const char* p, const char* end, PlainDigits& d) noexcept {
    const int size = int(end - p);
    std::uint64_t first, last;
    std::memcpy(&first, p, 8);
    std::memcpy(&last, end - 8, 8);
    // Bit i: byte i of the text is not a digit. The two words together cover the text.
    const std::uint32_t others = FlagBits(NonDigitBytes(first)) |
                                 (std::uint32_t(FlagBits(NonDigitBytes(last))) << (size - 8));
    const int point = std::countr_zero(others);  // 32 when all are digits
    if ((others & (others - 1)) != 0 || point >= size || p[point] != '.')
        return false;  // no point, or some other byte that is not a digit
    const int fractionDigits = size - point - 1;
    if (point > 8 || fractionDigits > 8)
        return false;
    // The integer digits moved to the top of `first` and the fraction digits kept at the top
    // of `last`, the bytes below them cleared: leading zeros.
    const std::uint64_t integer = point == 0 ? 0 : DigitsValue(first << (8 * (8 - point)));
    const std::uint64_t fraction =
        fractionDigits == 0 ? 0
                            : DigitsValue(last & (~std::uint64_t(0) << (8 * (8 - fractionDigits))));
    d.Digits = integer * kPowersOf10[fractionDigits] + fraction;
    d.FractionDigits = fractionDigits;
    return true;
}

// Reads a plain decimal text of at most 19 digits (which cannot overflow). Returns false for
// anything else, valid or not: the general paths decide those.
inline bool ReadPlainDigits(std::string_view t, PlainDigits& d) noexcept {
    const char* p = t.data();
    const char* const end = p + t.size();
    d = {};
    if (p < end && (*p == '+' || *p == '-'))
        d.Negative = *p++ == '-';
    if constexpr (std::endian::native == std::endian::little) {
        if (end - p >= 8 && end - p <= 17 && ReadEightToSeventeen(p, end, d))
            return true;
    }
    // Every digit goes in, leading and trailing zeros included. A digit's value is taken as
    // unsigned: one comparison tells a digit, without sign extension.
    const auto valueOf = [](char c) { return unsigned(static_cast<unsigned char>(c)) - '0'; };
    std::uint64_t digits = 0;
    const char* const integerStart = p;
    for (unsigned v; p < end && (v = valueOf(*p)) < 10; ++p)
        digits = digits * 10 + v;
    const int integerDigits = int(p - integerStart);
    if (p < end && *p == '.') {
        const char* const fractionStart = ++p;
        for (unsigned v; p < end && (v = valueOf(*p)) < 10; ++p)
            digits = digits * 10 + v;
        d.FractionDigits = int(p - fractionStart);
    }
    const int total = integerDigits + d.FractionDigits;
    if (p != end || total == 0 || total > 19)
        return false;  // an exponent, a blank, garbage, no digit, or too long to add up
    d.Digits = digits;
    return true;
}

}  // namespace quarrow::decimal
