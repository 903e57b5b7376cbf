#include "detail/CoordinateFormat.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

#include "config/TextUtil.h"
#include "detail/DecimalDigits.h"
#include "detail/DxfNumber.h"

namespace quarrow {
namespace {

using decimal::IsDigit;
using decimal::kExactPowersOf10;
using decimal::kPowersOf10;
using decimal::PlainDigits;
using decimal::ReadPlainDigits;

// The shortcuts below cover values under 10^13 (14 integer digits at most after rounding, so
// never the exponent form) with at most 15 significant digits: every survey coordinate.
constexpr int kShortDigits = 15;
constexpr double kShortLimit = 1e13;
constexpr int kShortMaxExponent = 12;  // of the leading digit

// n / 10^k for k from 0 to 19. A division by a variable takes tens of cycles; by a constant
// the compiler multiplies instead, and k is nearly always the same, so the switch predicts.
constexpr std::uint64_t DividePow10(std::uint64_t n, int k) noexcept {
    switch (k) {
    case 0: return n;
    case 1: return n / 10u;
    case 2: return n / 100u;
    case 3: return n / 1'000u;
    case 4: return n / 10'000u;
    case 5: return n / 100'000u;
    case 6: return n / 1'000'000u;
    case 7: return n / 10'000'000u;
    case 8: return n / 100'000'000u;
    case 9: return n / 1'000'000'000u;
    case 10: return n / 10'000'000'000u;
    case 11: return n / 100'000'000'000u;
    case 12: return n / 1'000'000'000'000u;
    case 13: return n / 10'000'000'000'000u;
    case 14: return n / 100'000'000'000'000u;
    case 15: return n / 1'000'000'000'000'000u;
    case 16: return n / 10'000'000'000'000'000u;
    case 17: return n / 100'000'000'000'000'000u;
    case 18: return n / 1'000'000'000'000'000'000u;
    default: return n / 10'000'000'000'000'000'000u;
    }
}

// The number of decimal digits of n (1 for 0): log10 estimated from the bit length, then
// corrected by one comparison.
int DigitCount(std::uint64_t n) noexcept {
    const int estimate = (std::bit_width(n | 1) * 1233) >> 12;  // 1233 / 4096 ~ log10(2)
    return estimate + 1 - ((n | 1) < kPowersOf10[estimate] ? 1 : 0);
}

constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// Writes the lowest `count` digits of n (zeros when n runs out) ending just before `end`, two
// at a time, and takes them off n; returns where they begin.
char* PrintLowDigitsBackwards(std::uint64_t& n, int count, char* end) noexcept {
    for (; count >= 2; count -= 2, n /= 100) {
        const std::size_t pair = std::size_t(n % 100) * 2;
        *--end = kDigitPairs[pair + 1];
        *--end = kDigitPairs[pair];
    }
    if (count == 1) {
        *--end = char('0' + n % 10);
        n /= 10;
    }
    return end;
}

// Writes the digits of n ending just before `end`, two at a time, eight-digit groups apart so
// that most of the work is 32-bit; returns where they begin.
char* PrintDigitsBackwards(std::uint64_t n, char* end) noexcept {
    const auto& kPairs = kDigitPairs;
    const auto pair = [&](std::uint32_t twoDigits) {
        *--end = kPairs[twoDigits * 2 + 1];
        *--end = kPairs[twoDigits * 2];
    };
    while (n >= 100'000'000) {
        std::uint32_t group = std::uint32_t(n % 100'000'000);
        n /= 100'000'000;
        for (int i = 0; i < 4; ++i, group /= 100)
            pair(group % 100);
    }
    std::uint32_t m = std::uint32_t(n);
    for (; m >= 100; m /= 100)
        pair(m % 100);
    if (m >= 10)
        pair(m);
    else
        *--end = char('0' + m);
    return end;
}
// A decimal value held exactly: Digits x 10^Exponent, with its sign.
struct ShortDecimal {
    std::uint64_t Digits = 0;
    int Exponent = 0;
    bool Negative = false;
};

// Reads a plain decimal text of at most 19 digits, of which at most 15 significant, under
// 10^13, without its trailing zeros.
bool ReadShortDecimal(std::string_view t, ShortDecimal& d) noexcept {
    PlainDigits plain;
    if (!ReadPlainDigits(t, plain))
        return false;
    d = {};
    d.Negative = plain.Negative;
    std::uint64_t digits = plain.Digits;
    if (digits == 0)
        return true;  // zero, whatever its sign
    int exponent = -plain.FractionDigits;
    while (digits % 10 == 0) {
        digits /= 10;
        ++exponent;
    }
    if (digits >= kPowersOf10[kShortDigits] ||
        exponent + DigitCount(digits) - 1 > kShortMaxExponent)
        return false;
    d.Digits = digits;
    d.Exponent = exponent;
    return true;
}

// Rounds d once, half away from zero, at its 14th significant digit or at the decimals
// (0 to 18), whichever comes first, exactly as AppendFixed does for the double nearest to d.
// Returns false for an exact half: that double may lie on either side of it ("2.675" is
// 2.67499999999999982...), so only the general path can tell.
bool RoundShort(ShortDecimal& d, int decimals) noexcept {
    if (d.Digits != 0) {
        const int count = DigitCount(d.Digits);
        const int leading = d.Exponent + count - 1;
        const int position = std::max(leading - 13, -decimals);  // of the last digit kept
        const int drop = position - d.Exponent;
        if (drop > count) {
            d.Digits = 0;  // even the first digit dropped is a zero
        } else if (drop > 0) {
            const std::uint64_t unit = kPowersOf10[drop];
            const std::uint64_t quotient = DividePow10(d.Digits, drop);
            const std::uint64_t rest = d.Digits - quotient * unit;
            const std::uint64_t half = unit / 2;
            if (rest == half)
                return false;
            d.Digits = quotient + (rest > half ? 1 : 0);
            d.Exponent = position;
        }
    }
    return true;
}

// The eight decimal digits of n (below 10^8, leading zeros included) as text, the first digit in
// the lowest byte: 4 + 4, then 2 + 2, then 1 + 1 digits split in all lanes at once. The
// multiply-and-shift pairs divide exactly by 100 below 10^4 and by 10 below 100.
constexpr std::uint64_t EightDigitsText(std::uint32_t n) noexcept {
    const std::uint64_t halves = (n / 10'000) | (std::uint64_t(n % 10'000) << 32);
    const std::uint64_t hundreds = ((halves * 10486) >> 20) & 0x0000007F'0000007Full;
    const std::uint64_t pairs = hundreds | ((halves - hundreds * 100) << 16);
    const std::uint64_t tens = ((pairs * 103) >> 10) & 0x000F000F'000F000Full;
    const std::uint64_t digits = tens | ((pairs - tens * 10) << 8);
    return digits + 0x30303030'30303030ull;
}

// Writes d, whose last digit is at or before the decimals (0 to 18), in fixed point with
// exactly that many decimals, at `to` (kMaxCoordinateLength bytes of room); returns the end.
char* WriteShort(char* to, ShortDecimal d, int decimals) noexcept {
    if (d.Digits == 0) {
        d.Negative = false;  // never "-0"
        d.Exponent = 0;
    }
    if constexpr (std::endian::native == std::endian::little) {
        // Integer part below 10^8, up to 8 decimals of its own and 16 in all: the integer
        // part and the fraction are printed as 8-digit words whose leading zeros are shifted
        // out. Each word is stored whole; what it writes past its digits is overwritten by the
        // next piece or lies past the end, inside the room.
        if (d.Exponent <= 0 && d.Exponent >= -8 && decimals <= 16) {
            constexpr std::uint64_t kZeros = 0x30303030'30303030ull;  // "00000000"
            const int fractionDigits = -d.Exponent;                   // at most `decimals`
            const std::uint64_t unit = kPowersOf10[fractionDigits];
            const std::uint64_t whole = DividePow10(d.Digits, fractionDigits);
            if (whole < 100'000'000) {
                const auto fraction = std::uint32_t(d.Digits - whole * unit);
                char* q = to;
                *q = '-';
                q += d.Negative ? 1 : 0;
                const int wholeDigits = DigitCount(whole);
                const std::uint64_t wholeText =
                    EightDigitsText(std::uint32_t(whole)) >> (8 * (8 - wholeDigits));
                std::memcpy(q, &wholeText, 8);
                q += wholeDigits;
                if (decimals > 0) {
                    *q++ = '.';
                    // The fraction's digits, then zeros up to the decimals.
                    const std::uint64_t digits =
                        fractionDigits > 0 ? EightDigitsText(fraction) >> (8 * (8 - fractionDigits))
                                           : 0;
                    const std::uint64_t zeros =
                        fractionDigits < 8 ? kZeros << (8 * fractionDigits) : 0;
                    const std::uint64_t text = digits | zeros;
                    std::memcpy(q, &text, 8);
                    std::memcpy(q + 8, &kZeros, 8);
                    q += decimals;
                }
                return q;
            }
        }
    }
    // The layout is known before any digit is written: [-][integer part][.][decimals], at most
    // a sign, 14 integer digits, the point and 18 decimals. The text is written from its end
    // backwards, each digit straight where it belongs.
    const int count = DigitCount(d.Digits);
    const int fractionDigits = d.Exponent < 0 ? -d.Exponent : 0;  // at most `decimals`
    const int integerDigits =
        d.Exponent >= 0 ? count + d.Exponent : std::max(count - fractionDigits, 1);
    char* const end = to + (d.Negative ? 1 : 0) + integerDigits + (decimals > 0 ? decimals + 1 : 0);
    char* q = end - (decimals - fractionDigits);
    std::fill(q, end, '0');  // the decimals past the number's own digits
    std::uint64_t n = d.Digits;
    if (decimals > 0) {
        q = PrintLowDigitsBackwards(n, fractionDigits, q);
        *--q = '.';
    }
    if (d.Exponent > 0) {
        q -= d.Exponent;
        std::fill_n(q, d.Exponent, '0');
    }
    q = PrintDigitsBackwards(n, q);
    if (d.Negative)
        *--q = '-';
    return end;
}

// RoundShort, then WriteShort; returns nullptr for an exact half.
char* WriteRoundedShort(char* to, ShortDecimal d, int decimals) noexcept {
    decimals = std::clamp(decimals, 0, kMaxDecimals);
    return RoundShort(d, decimals) ? WriteShort(to, d, decimals) : nullptr;
}

// a * b as the exact sum hi + lo (Dekker's product; the build forbids fused multiply-add, so
// every operation below rounds as written).
void ExactProduct(double a, double b, double& hi, double& lo) noexcept {
    const auto split = [](double x, double& high, double& low) {
        const double c = 134217729.0 * x;  // 2^27 + 1
        high = c - (c - x);
        low = x - high;
    };
    double ah, al, bh, bl;
    split(a, ah, al);
    split(b, bh, bl);
    hi = a * b;
    lo = ((ah * bh - hi) + ah * bl + al * bh) + al * bl;
}

// 10^-k for k from 0 to 18, near enough for a margin.
constexpr double kNegativePowersOf10[] = {1e0,   1e-1,  1e-2,  1e-3,  1e-4,  1e-5,  1e-6,
                                          1e-7,  1e-8,  1e-9,  1e-10, 1e-11, 1e-12, 1e-13,
                                          1e-14, 1e-15, 1e-16, 1e-17, 1e-18};

// What FormatCoordinateText makes of the converted text of a computed value (the double
// rounded at its 14th significant digit or 15th decimal), worked out from the double in most
// cases: one rounding at whichever comes first, the text's last digit or the decimals. Rounding
// twice only differs from rounding once when the first rounding lands on the second one's half,
// so values near a half are left to the general path, as are values of 10^13 and more. The
// double's 18-digit expansion, on which AppendFixed rounds, is well inside the margin.
bool RoundComputedShort(double value, int decimals, ShortDecimal& d) noexcept {
    d = {};
    d.Negative = value < 0;
    const double a = std::fabs(value);
    if (!(a < kShortLimit))
        return false;  // too large, or not a number
    if (a == 0)
        return true;
    // The exponent of the leading digit. From 1 up: log10 of the binary exponent, then one
    // comparison, as [2^e, 2^(e+1)) holds at most one power of ten (an exact double here).
    // Below 1, 0.1 and 0.01 are doubles with no double between them and the true power.
    int leading = -3;  // below 0.01 the 15th decimal comes first, whatever the exponent
    if (a >= 1.0) {
        const int binary = int(std::bit_cast<std::uint64_t>(a) >> 52) - 1023;
        leading = (binary * 1233) >> 12;  // 1233 / 4096 ~ log10(2); exact for these exponents
        if (a >= kExactPowersOf10[leading + 1])
            ++leading;
    } else if (a >= 0.01) {
        leading = a < 0.1 ? -2 : -1;
    }
    const int textPosition = std::max(leading - 13, -15);    // the converted text's last digit
    const int position = std::max(textPosition, -decimals);  // the result's last digit
    // Rounding twice (text, then decimals) only differs from rounding once within half a unit
    // of the text's last digit from the half.
    const double twiceMargin =
        position > textPosition ? kNegativePowersOf10[position - textPosition] : 0.0;
    const double power = kExactPowersOf10[-position];
    // Below 2^47 the plain product is within 2^-7 of a x 10^-position: far from the half it
    // decides alone, near it the exact product does.
    const double product = a * power;
    if (position == leading - 13 && !(product >= 1e13 && product < 1e14))
        return false;  // a power of ten rounded across: let the general path do it
    // product is at least 0 and below 10^14 (position is at most 13 digits under the
    // leading one): truncating to an integer is the floor, one instruction instead of the
    // sequence std::floor takes without SSE4.1.
    const auto wholePart = [](double x) { return double(std::int64_t(x)); };
    double whole = wholePart(product);
    double fraction = product - whole;
    if (std::fabs(fraction - 0.5) <= 0.02 + twiceMargin) {
        double hi, lo;
        ExactProduct(a, power, hi, lo);
        whole = wholePart(hi);
        fraction = (hi - whole) + lo;  // may leave [0, 1) by a hair; rounds the same
        // The 18-digit expansion AppendFixed rounds on is within 0.00005 units of the double.
        if (std::fabs(fraction - 0.5) <= 1e-3 + twiceMargin)
            return false;
    }
    d.Digits = std::uint64_t(whole) + (fraction > 0.5 ? 1 : 0);
    d.Exponent = position;
    return true;
}

}  // namespace

void AppendFixed(std::string& out, double value, int decimals) {
    decimals = std::clamp(decimals, 0, kMaxDecimals);
    if (!std::isfinite(value)) {
        // Only a computation can overflow; the writer refuses the text and names it.
        out += std::isnan(value) ? "NAN" : (value < 0 ? "-INF" : "INF");
        return;
    }
    constexpr int kSignificant = 14;
    constexpr int kWorkingDigits = 18;

    // The double's first 18 significant digits, correctly rounded, and its decimal exponent.
    std::array<char, 40> sci{};
    const auto res = std::to_chars(sci.data(), sci.data() + sci.size(), std::fabs(value),
                                   std::chars_format::scientific, kWorkingDigits - 1);
    std::array<int, kWorkingDigits + 1> digits{};  // slot 0 takes a carry out of the top
    int count = 0;
    const char* p = sci.data();
    for (; p < res.ptr && *p != 'e'; ++p)
        if (IsDigit(*p))
            digits[std::size_t(1 + count++)] = *p - '0';
    int exponent = 0;
    std::from_chars(p + 1 + (p[1] == '+' ? 1 : 0), res.ptr, exponent);

    // One rounding, half away from zero, at the 14th significant digit or at the decimals.
    const int keep = std::min(kSignificant, exponent + 1 + decimals);
    bool zero = true;
    int firstSlot = 1;
    if (keep >= 0) {
        if (digits[std::size_t(1 + keep)] >= 5) {
            int i = keep;  // slot of the last kept digit (slot 0 when nothing is kept)
            while (true) {
                if (++digits[std::size_t(i)] < 10)
                    break;
                digits[std::size_t(i)] = 0;
                --i;
            }
        }
        for (int i = keep + 1; i <= kWorkingDigits; ++i)
            digits[std::size_t(i)] = 0;
        if (digits[0] != 0) {  // the carry added a digit in front
            firstSlot = 0;
            ++exponent;
        }
        for (int i = firstSlot; i <= kWorkingDigits; ++i)
            zero = zero && digits[std::size_t(i)] == 0;
    }
    if (zero) {
        out += '0';
        if (decimals > 0) {
            out += '.';
            out.append(std::size_t(decimals), '0');
        }
        return;
    }
    if (value < 0)
        out += '-';
    const auto digitAt = [&](int k) -> char {  // k-th significant digit from 0
        const int slot = firstSlot + k;
        return k >= 0 && slot <= kWorkingDigits ? char('0' + digits[std::size_t(slot)]) : '0';
    };

    const int intDigits = exponent + 1;
    if (intDigits > kSignificant) {
        // Exponent form: up to 14 significant digits, trailing zeros dropped.
        int last = kSignificant - 1;
        while (last > 0 && digitAt(last) == '0')
            --last;
        out += digitAt(0);
        if (last > 0) {
            out += '.';
            for (int k = 1; k <= last; ++k)
                out += digitAt(k);
        }
        out += 'E';
        std::array<char, 8> expText{};
        const auto e = std::to_chars(expText.data(), expText.data() + expText.size(), exponent);
        out.append(expText.data(), e.ptr);
        return;
    }
    if (intDigits <= 0) {
        out += '0';
    } else {
        for (int k = 0; k < intDigits; ++k)
            out += digitAt(k);
    }
    if (decimals > 0) {
        out += '.';
        for (int k = 0; k < decimals; ++k)
            out += digitAt(intDigits + k);
    }
}

FormatStatus FormatCoordinate(std::string& out, std::string_view coordinate,
                              std::string_view decimals) {
    std::int32_t places = 0;
    if (!ParseDxfInt32(TrimText(decimals), places))
        return FormatStatus::BadDecimals;
    return FormatCoordinateText(out, coordinate, places) ? FormatStatus::Ok
                                                         : FormatStatus::BadCoordinate;
}

char* WriteCoordinateText(char* to, std::string_view coordinate, int decimals) {
    coordinate = TrimText(coordinate);
    ShortDecimal d;
    if (ReadShortDecimal(coordinate, d))
        if (char* end = WriteRoundedShort(to, d, decimals))
            return end;
    std::string general;  // the rare way
    if (!FormatCoordinateByDouble(general, coordinate, decimals))
        return nullptr;
    return std::copy(general.begin(), general.end(), to);
}

bool FormatCoordinateText(std::string& out, std::string_view coordinate, int decimals) {
    char text[kMaxCoordinateLength];
    const char* end = WriteCoordinateText(text, coordinate, decimals);
    if (end != nullptr)
        out.append(text, std::size_t(end - text));
    return end != nullptr;
}

bool FormatCoordinateByDouble(std::string& out, std::string_view coordinate, int decimals) {
    double value = 0.0;
    if (!ParseDxfDoubleByFromChars(TrimText(coordinate), value))
        return false;
    AppendFixed(out, value, decimals);
    return true;
}

char* WriteComputedCoordinate(char* to, double value, int decimals) {
    if (!std::isfinite(value))
        return nullptr;
    decimals = std::clamp(decimals, 0, kMaxDecimals);
    // Its digits end at the decimals or before, and there are at most 14 of them (or a 1 and
    // 14 zeros): nothing is left to round.
    ShortDecimal d;
    if (RoundComputedShort(value, decimals, d))
        return WriteShort(to, d, decimals);
    std::string text;  // the rare way: print the converted text and read it again
    AppendConvertedText(text, value);
    std::string general;
    if (!FormatCoordinateByDouble(general, text, decimals))
        return nullptr;
    return std::copy(general.begin(), general.end(), to);
}

bool FormatComputedCoordinate(std::string& out, double value, int decimals) {
    char text[kMaxCoordinateLength];
    const char* end = WriteComputedCoordinate(text, value, decimals);
    if (end != nullptr)
        out.append(text, std::size_t(end - text));
    return end != nullptr;
}

}  // namespace quarrow
