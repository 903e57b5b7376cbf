#include "detail/CoordinateFormat.h"
#include "detail/DxfNumber.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>

namespace quarrow {
namespace {

TEST(DxfNumberTest, ParseDxfDoubleAcceptsOnlyPlainDecimals) {
    struct Case {
        const char* text;
        bool ok;
        double value;
    };
    // Every accepted form, then every text a reader must refuse with a conversion error.
    // clang-format off
    const Case cases[] = {
        {"12.5", true, 12.5},     {"-7", true, -7.0},       {"+3.25", true, 3.25},
        {".5", true, 0.5},        {"5.", true, 5.0},        {"1E3", true, 1000.0},
        {"1e-3", true, 0.001},    {"-2.5E+2", true, -250.0}, {"0", true, 0.0},
        {"1e-400", true, 0.0},    {"", false, 0},           {".", false, 0},
        {"inf", false, 0},        {"nan", false, 0},        {"0x1A", false, 0},
        {"1 000", false, 0},      {"1,5", false, 0},        {" 10", false, 0},
        {"10\r", false, 0},       {"1e", false, 0},         {"e5", false, 0},
        {"--1", false, 0},        {"+-1", false, 0},        {"1e999", false, 0},
        {"1.2.3", false, 0},
        // 8 to 17 bytes after the sign, read a word at a time: both sides full, a side too
        // long for a word, and bytes next to the digits in the code table.
        {"12345678.12345678", true, 12345678.12345678},
        {"-0001234.5670000", true, -1234.567},
        {"123456789.1234567", true, 123456789.1234567},
        {"1234.56:78", false, 0}, {"12/4.5678", false, 0}, {"12345.6.78", false, 0},
        {"1234.5678 ", false, 0}, {"1234.56\xb9", false, 0},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("\"") + c.text + "\"");
        double value = -99.0;
        EXPECT_EQ(ParseDxfDouble(c.text, value), c.ok);
        if (c.ok) {
            EXPECT_EQ(value, c.value);
        }
    }
    double big = 0;
    EXPECT_TRUE(ParseDxfDouble(std::string(300, '9'), big)) << "long digit runs are fine";
}

TEST(DxfNumberTest, ParseDxfInt32IsDecimalAndBounded) {
    struct Case {
        const char* text;
        bool ok;
        std::int32_t value;
    };
    // clang-format off
    const Case cases[] = {
        {"1", true, 1},           {"-12", true, -12},        {"+7", true, 7},
        {"2147483647", true, 2147483647}, {"-2147483648", true, -2147483647 - 1},
        {"2147483648", false, 0}, {"", false, 0},           {"1.0", false, 0},
        {"$1F", false, 0},        {"0x10", false, 0},       {" 1", false, 0},
        {"++1", false, 0},        {"+", false, 0},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("\"") + c.text + "\"");
        std::int32_t value = -99;
        EXPECT_EQ(ParseDxfInt32(c.text, value), c.ok);
        if (c.ok) {
            EXPECT_EQ(value, c.value);
        }
    }
}

TEST(DxfNumberTest, FormatCoordinateRoundsOnceHalfAwayFromZero) {
    struct Case {
        const char* name;
        const char* coordinate;
        const char* decimals;
        const char* expected;
    };
    // Examples users check by hand, then the 14th-digit and exponent boundaries.
    // clang-format off
    const Case cases[] = {
        {"fourteen_digits_then_zeros", "123456789.123456789", "8", "123456789.12346000"},
        {"two_decimals", "1234.5678", "2", "1234.57"},
        {"no_decimals", "1234.5678", "0", "1235"},
        {"half_up", "2.125", "2", "2.13"},
        {"half_away_negative", "-2.125", "2", "-2.13"},
        {"no_minus_zero", "-0.004", "2", "0.00"},
        {"zero", "0", "3", "0.000"},
        {"negative_zero_text", "-0", "1", "0.0"},
        {"small_rounds_up", "0.006", "2", "0.01"},
        {"small_rounds_to_zero", "0.0004", "3", "0.000"},
        {"carry_to_new_digit", "9.996", "2", "10.00"},
        {"binary_below_half", "2.675", "2", "2.67"},  // the double is 2.67499999...
        {"point_five_no_decimals", "0.5", "0", "1"},
        {"below_half", "0.49", "0", "0"},
        {"fourteen_integer_digits", "12345678901234.5", "0", "12345678901235"},
        {"fourteen_digits_with_decimals", "12345678901234.5", "3", "12345678901235.000"},
        {"carry_past_fourteen", "99999999999999.5", "0", "1E14"},
        {"fifteen_integer_digits", "123456789012345", "2", "1.2345678901235E14"},
        {"huge", "-1e20", "3", "-1E20"},
        {"exponent_text", "1.5e2", "1", "150.0"},
        {"plus_sign", "+4", "1", "4.0"},
        {"tiny", "1e-30", "14", "0.00000000000000"},
        {"long_fraction", "0.1", "14", "0.10000000000000"},
        {"padded_texts", " 1.25 ", " 1 ", "1.3"},
        {"decimals_clamped", "1", "40", "1.000000000000000000"},
        {"negative_decimals", "7.6", "-3", "8"},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string out = "<";
        EXPECT_EQ(FormatCoordinate(out, c.coordinate, c.decimals), FormatStatus::Ok);
        EXPECT_EQ(out, std::string("<") + c.expected);
    }
}

TEST(DxfNumberTest, FormatCoordinateNamesTheTextThatFailed) {
    std::string out;
    EXPECT_EQ(FormatCoordinate(out, "", "2"), FormatStatus::BadCoordinate);
    EXPECT_EQ(FormatCoordinate(out, "1,5", "2"), FormatStatus::BadCoordinate);
    EXPECT_EQ(FormatCoordinate(out, "1.5", ""), FormatStatus::BadDecimals);
    EXPECT_EQ(FormatCoordinate(out, "1.5", "2.0"), FormatStatus::BadDecimals);
    EXPECT_EQ(out, "") << "nothing is appended on failure";
}

TEST(DxfNumberTest, ConvertedTextHasFifteenDecimalsAndReadsBack) {
    struct Case {
        double value;
        const char* expected;
    };
    // clang-format off
    const Case cases[] = {
        {1234.5678, "1234.567800000000000"},
        {-12.0, "-12.000000000000000"},
        {1.0 / 3.0, "0.333333333333330"},  // 14 significant digits
        {2.0 / 3.0, "0.666666666666670"},
        {12.0 + 2.0 * std::cos(std::numbers::pi / 2.0), "12.000000000000000"},
        {1.2246467991473532e-16, "0.000000000000000"},
        {-1e-20, "0.000000000000000"},
        {1e15, "1E15"},
        {-123456789012345678.0, "-1.2345678901235E17"},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected);
        std::string out;
        AppendConvertedText(out, c.value);
        EXPECT_EQ(out, c.expected);
        double back = 0;
        EXPECT_TRUE(ParseDxfDouble(out, back));
    }
    std::string inf;
    AppendConvertedText(inf, HUGE_VAL);
    double ignored = 0;
    EXPECT_FALSE(ParseDxfDouble(inf, ignored)) << "an overflowed computation must not pass";
}

}  // namespace
}  // namespace quarrow
