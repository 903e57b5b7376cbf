#include "detail/DxfNumber.h"

#include <charconv>
#include <cstdint>

#include "detail/DecimalDigits.h"

namespace quarrow {
namespace {

using decimal::IsDigit;
using decimal::kExactPowersOf10;
using decimal::PlainDigits;
using decimal::ReadPlainDigits;

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

}  // namespace

bool ParseDxfDouble(std::string_view text, double& value) noexcept {
    // Clinger's shortcut: an integer up to 2^53 and a power of ten up to 10^22 are exact
    // doubles, so one division rounds correctly, as from_chars would.
    PlainDigits plain;
    if (ReadPlainDigits(text, plain) && plain.Digits <= (std::uint64_t(1) << 53)) {
        const double magnitude = double(plain.Digits) / kExactPowersOf10[plain.FractionDigits];
        value = plain.Negative ? -magnitude : magnitude;
        return true;
    }
    return ParseDxfDoubleByFromChars(text, value);
}

bool ParseDxfDoubleByFromChars(std::string_view text, double& value) noexcept {
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

}  // namespace quarrow
