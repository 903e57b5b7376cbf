#include "engine/DxfNumber.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>

#include "config/TextUtil.h"

namespace quarrow {
namespace {

constexpr bool IsDigit(char c) noexcept { return c >= '0' && c <= '9'; }

// Checks the accepted grammar before from_chars, which alone would take "inf", "nan" and
// "0x1p3" and refuse a leading "+".
bool MatchesDecimalGrammar(std::string_view t, bool& negativeExponent) noexcept {
    std::size_t i = 0;
    const std::size_t n = t.size();
    if (i < n && (t[i] == '+' || t[i] == '-'))
        ++i;
    std::size_t digits = 0;
    while (i < n && IsDigit(t[i]))
        ++i, ++digits;
    if (i < n && t[i] == '.') {
        ++i;
        while (i < n && IsDigit(t[i]))
            ++i, ++digits;
    }
    if (digits == 0)
        return false;
    negativeExponent = false;
    if (i < n && (t[i] == 'E' || t[i] == 'e')) {
        ++i;
        if (i < n && (t[i] == '+' || t[i] == '-'))
            negativeExponent = t[i++] == '-';
        std::size_t expDigits = 0;
        while (i < n && IsDigit(t[i]))
            ++i, ++expDigits;
        if (expDigits == 0)
            return false;
    }
    return i == n;
}

} // namespace

bool ParseDxfDouble(std::string_view text, double& value) noexcept {
    bool negativeExponent = false;
    if (!MatchesDecimalGrammar(text, negativeExponent))
        return false;
    const bool negative = text.front() == '-';
    if (text.front() == '+' || text.front() == '-')
        text.remove_prefix(1);
    double parsed = 0.0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), parsed);
    if (end != text.data() + text.size())
        return false;
    if (ec == std::errc::result_out_of_range) {
        // Too small for a double reads as zero; too large is not a coordinate anyone drew.
        if (!negativeExponent)
            return false;
        parsed = 0.0;
    } else if (ec != std::errc{}) {
        return false;
    }
    value = negative ? -parsed : parsed;
    return true;
}

bool ParseDxfInt32(std::string_view text, std::int32_t& value) noexcept {
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    if (text.empty() || text.front() == '+')
        return false;
    std::int32_t parsed = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), parsed);
    if (ec != std::errc{} || end != text.data() + text.size())
        return false;
    value = parsed;
    return true;
}

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
    double value = 0.0;
    if (!ParseDxfDouble(TrimText(coordinate), value))
        return FormatStatus::BadCoordinate;
    AppendFixed(out, value, places);
    return FormatStatus::Ok;
}

} // namespace quarrow
