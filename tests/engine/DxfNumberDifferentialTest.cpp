// The number shortcuts against the general paths they stand in for, over millions of inputs:
// ParseDxfDouble against from_chars, FormatCoordinateText against the double and AppendFixed,
// FormatComputedCoordinate against printing the converted text and reading it again. Any
// difference is a wrong byte in a Data file.

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <random>
#include <string>

#include "detail/CoordinateFormat.h"
#include "detail/DxfNumber.h"

namespace quarrow {
namespace {

constexpr int kRounds = 1'000'000;  // per family of inputs

class Inputs {
public:
    explicit Inputs(std::uint64_t seed) : random_(seed) {}

    std::uint64_t Below(std::uint64_t n) { return random_() % n; }
    bool OneIn(std::uint64_t n) { return Below(n) == 0; }
    char Digit() { return char('0' + Below(10)); }

    // Decimals as a configuration holds them, with a few out of range.
    int Decimals() {
        if (OneIn(50))
            return OneIn(2) ? -1 : 25;
        return int(Below(19));
    }

    // A text as DXF files hold coordinates: survey values, odd digit strings, and the
    // patterns where rounding is delicate (halves, runs of 9, powers of ten).
    std::string CoordinateText() {
        std::string t;
        switch (Below(8)) {
        case 0: t += '-'; break;
        case 1:
            if (OneIn(4))
                t += '+';
            break;
        default: break;
        }
        const int shape = int(Below(6));
        if (shape == 0) {  // survey: up to 7 integer digits, up to 9 decimals
            t += std::to_string(Below(10'000'000));
            const int decimals = int(Below(10));
            if (decimals > 0 || OneIn(8))
                t += '.';
            for (int i = 0; i < decimals; ++i)
                t += Digit();
            return t;
        }
        if (shape == 1) {  // a power of ten or a half at some position
            const int zeros = int(Below(20));
            if (OneIn(2)) {
                t += "0.";
                t.append(std::size_t(zeros), '0');
                t += OneIn(2) ? "1" : "5";
            } else {
                t += OneIn(2) ? "1" : "5";
                t.append(std::size_t(zeros % 13), '0');
                if (OneIn(2))
                    t += ".0";
            }
            return t;
        }
        // Random digits around a point, with runs of 9, 0 and 5 that sit on rounding edges.
        const int integer = int(Below(16));
        const int fraction = int(Below(20));
        const int total = integer + fraction;
        for (int i = 0; i < total; ++i) {
            if (i == integer && (fraction > 0 || OneIn(4)))
                t += '.';
            switch (shape) {
            case 2: t += Digit(); break;
            case 3: t += OneIn(3) ? Digit() : '9'; break;
            case 4: t += OneIn(3) ? Digit() : '0'; break;
            default: t += i + 1 == total || OneIn(3) ? '5' : Digit(); break;
            }
        }
        if (total == 0)
            t += '0';
        if (OneIn(40))
            t += OneIn(2) ? "e2" : "E-3";  // exponents take the general path
        return t;
    }

    // A computed coordinate: read survey values, values transformed as the readers do,
    // values just off a half, and any bit pattern in the range coordinates take.
    double ComputedValue() {
        switch (Below(4)) {
        case 0: {
            double v = 0;
            EXPECT_TRUE(ParseDxfDoubleByFromChars(CoordinateText(), v));
            return v;
        }
        case 1: {
            const double centre = double(Below(10'000'000)) / 1000.0;
            const double radius = double(Below(100'000)) / 1000.0;
            return centre + radius * std::cos(double(Below(360'000)) / 1000.0);
        }
        case 2: {
            const double half =
                (double(Below(1'000'000'000)) + 0.5) / std::pow(10.0, double(Below(12)));
            return std::nextafter(half, OneIn(2) ? 0.0 : 1e300) * (OneIn(2) ? -1 : 1);
        }
        default: {
            // Exponents from about 1e-22 to 1e15, any mantissa, either sign.
            const std::uint64_t exponent = 1023 - 72 + Below(72 + 50);
            const std::uint64_t bits =
                (Below(2) << 63) | (exponent << 52) | (random_() & ((1ull << 52) - 1));
            return std::bit_cast<double>(bits);
        }
        }
    }

private:
    std::mt19937_64 random_;
};

TEST(DxfNumberDifferentialTest, ParseMatchesFromCharsBitForBit) {
    Inputs in(1);
    for (int round = 0; round < kRounds; ++round) {
        const std::string text = in.CoordinateText();
        double fast = 0, general = 0;
        const bool fastOk = ParseDxfDouble(text, fast);
        const bool generalOk = ParseDxfDoubleByFromChars(text, general);
        ASSERT_EQ(fastOk, generalOk) << text;
        ASSERT_EQ(std::bit_cast<std::uint64_t>(fast), std::bit_cast<std::uint64_t>(general))
            << text;
    }
}

TEST(DxfNumberDifferentialTest, TextFormattingMatchesTheDoublePath) {
    Inputs in(2);
    for (int round = 0; round < kRounds; ++round) {
        const std::string text = in.CoordinateText();
        const int decimals = in.Decimals();
        std::string fast = "<", general = "<";
        const bool fastOk = FormatCoordinateText(fast, text, decimals);
        const bool generalOk = FormatCoordinateByDouble(general, text, decimals);
        ASSERT_EQ(fastOk, generalOk) << text;
        ASSERT_EQ(fast, general) << text << " with " << decimals << " decimals";
    }
}

TEST(DxfNumberDifferentialTest, ComputedFormattingMatchesTheConvertedText) {
    Inputs in(3);
    for (int round = 0; round < kRounds; ++round) {
        const double value = in.ComputedValue();
        const int decimals = in.Decimals();
        std::string converted, fast = "<", general = "<";
        AppendConvertedText(converted, value);
        ASSERT_TRUE(FormatComputedCoordinate(fast, value, decimals));
        ASSERT_TRUE(FormatCoordinateByDouble(general, converted, decimals)) << converted;
        ASSERT_EQ(fast, general) << converted << " (" << std::hexfloat << value << ") with "
                                 << std::dec << decimals << " decimals";
    }
}

// The cases worked out by hand that the random families might meet only rarely.
TEST(DxfNumberDifferentialTest, EdgesOfTheShortcuts) {
    struct Case {
        const char* name;
        const char* text;
    };
    // Exact halves (double below and above), powers of ten whose double lies below them,
    // 15 and 16 significant digits, the 10^13 limit, signs and zeros.
    // clang-format off
    const Case cases[] = {
        {"half_below", "2.675"},         {"half_above", "2.665"},
        {"power_below", "0.0000001"},    {"power_above", "0.001"},
        {"fifteen_digits", "1234567.89012345"},
        {"sixteen_digits", "1234567.890123456"},
        {"limit_below", "9999999999999.99"},
        {"limit", "10000000000000"},     {"negative_zero", "-0.000"},
        {"leading_zeros", "000012.5000"}, {"point_only_fraction", ".5"},
        {"point_last", "5."},            {"nines", "99999999999999.5"},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        double parsed = 0, reference = 0;
        ASSERT_TRUE(ParseDxfDouble(c.text, parsed));
        ASSERT_TRUE(ParseDxfDoubleByFromChars(c.text, reference));
        EXPECT_EQ(std::bit_cast<std::uint64_t>(parsed), std::bit_cast<std::uint64_t>(reference));
        for (int decimals = 0; decimals <= 18; ++decimals) {
            std::string fast, general, computed, converted, viaText;
            ASSERT_TRUE(FormatCoordinateText(fast, c.text, decimals));
            ASSERT_TRUE(FormatCoordinateByDouble(general, c.text, decimals));
            EXPECT_EQ(fast, general) << decimals;
            ASSERT_TRUE(FormatComputedCoordinate(computed, reference, decimals));
            AppendConvertedText(converted, reference);
            ASSERT_TRUE(FormatCoordinateByDouble(viaText, converted, decimals));
            EXPECT_EQ(computed, viaText) << decimals;
        }
    }
}

}  // namespace
}  // namespace quarrow
