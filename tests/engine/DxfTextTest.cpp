#include "detail/DxfText.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <string_view>

namespace quarrow {
namespace {

std::string PlainText(std::string_view raw, std::uint16_t codePage = 1252) {
    std::string out;
    AppendPlainText(raw, TextEncoding{codePage}, out);
    return out;
}

std::string PlainMText(std::string_view raw, std::uint16_t codePage = 1252) {
    std::string out;
    AppendPlainMText(raw, TextEncoding{codePage}, out);
    return out;
}

// An independent strict reading of UTF-8: true when text is valid UTF-8 with no C0 or C1
// control character, what a plain text promises.
bool IsPlainUtf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        const auto b = static_cast<unsigned char>(text[i]);
        std::size_t length = b < 0x80                 ? 1
                             : b >= 0xC2 && b <= 0xDF ? 2
                             : b >= 0xE0 && b <= 0xEF ? 3
                             : b >= 0xF0 && b <= 0xF4 ? 4
                                                      : 0;
        if (length == 0 || i + length > text.size())
            return false;
        char32_t c = length == 1 ? b : b & (0x7F >> length);
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80)
                return false;
            c = c << 6 | (next & 0x3F);
        }
        const char32_t shortest[] = {0, 0, 0x80, 0x800, 0x10000};
        if (c < shortest[length] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
            return false;
        if (c < 0x20 || (c >= 0x7F && c <= 0x9F))
            return false;
        i += length;
    }
    return true;
}

TEST(DxfTextTest, EncodingFromHeaderTakesReleaseThenCodePage) {
    struct Case {
        const char* name;
        const char* acadVer;
        const char* dwgCodePage;
        std::uint16_t codePage;
        DrawingEncoding kind;
    };
    const Case cases[] = {
        {"r2007_is_utf8_whatever_the_page", "AC1021", "ANSI_1251", 65001, DrawingEncoding::Utf8},
        {"r2018_is_utf8", "AC1032", "", 65001, DrawingEncoding::Utf8},
        {"r2004_uses_the_page", "AC1018", "ANSI_1251", 1251, DrawingEncoding::SingleByte},
        {"r12_double_byte", "AC1009", "ANSI_932", 932, DrawingEncoding::DoubleByte},
        {"no_header", "", "", 1252, DrawingEncoding::SingleByte},
        {"version_only", "AC1015", "", 1252, DrawingEncoding::SingleByte},
        {"case_and_blanks", " ac1015\r", "  ansi_1250 \r", 1250, DrawingEncoding::SingleByte},
        {"blanks_around_r2010", " AC1024 ", "ANSI_1252", 65001, DrawingEncoding::Utf8},
        {"unknown_page", "AC1015", "ANSI_437", 1252, DrawingEncoding::SingleByte},
        {"page_without_number", "AC1015", "ANSI_", 1252, DrawingEncoding::SingleByte},
        {"page_with_suffix", "AC1015", "ANSI_1251x", 1252, DrawingEncoding::SingleByte},
        {"page_too_long", "AC1015", "ANSI_12510", 1252, DrawingEncoding::SingleByte},
        {"old_name_big5", "AC1015", "BIG5", 950, DrawingEncoding::DoubleByte},
        {"old_name_gb2312", "AC1015", "gb2312", 936, DrawingEncoding::DoubleByte},
        {"old_name_ksc5601", "AC1015", "KSC5601", 949, DrawingEncoding::DoubleByte},
        {"old_name_dos932", "AC1015", "DOS932", 932, DrawingEncoding::DoubleByte},
        {"page_named_utf8", "AC1015", "UTF-8", 65001, DrawingEncoding::Utf8},
        {"garbled_version_uses_the_page", "R2007", "ANSI_1253", 1253, DrawingEncoding::SingleByte},
        {"version_with_letters", "AC10X1", "ANSI_1254", 1254, DrawingEncoding::SingleByte},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const TextEncoding encoding = EncodingFromHeader(c.acadVer, c.dwgCodePage);
        EXPECT_EQ(encoding.CodePage, c.codePage);
        EXPECT_EQ(encoding.Kind(), c.kind);
    }
    for (const int page :
         {874, 932, 936, 949, 950, 1250, 1251, 1252, 1253, 1254, 1255, 1256, 1257, 1258}) {
        SCOPED_TRACE(page);
        EXPECT_EQ(EncodingFromHeader("AC1015", "ANSI_" + std::to_string(page)).CodePage, page);
    }
}

TEST(DxfTextTest, CodePagesDecodeAsWindowsWrites) {
    struct Case {
        const char* name;
        std::uint16_t codePage;
        const char* raw;
        const char* expected;
    };
    // Each page's own letters, then the first and last pair of each double-byte page (the last
    // one checks the whole packed table), then bytes a page leaves undefined.
    const Case cases[] = {
        {"thai", 874, "\xCA\xC7\xD1\xCA\xB4\xD5", "สวัสดี"},
        {"central_european", 1250, "\xA3\xF3\x64\x9F \x8Elu\x9Dou\xE8k\xFD", "Łódź Žluťoučký"},
        {"cyrillic", 1251, "\xCF\xF0\xE8\xE2\xE5\xF2, \xA8\xEB\xEA\xE0 \xB9\x35",
         "Привет, Ёлка №5"},
        {"western", 1252, "Stra\xDF\x65 \x80\x35 \x93\x9C\x94", "Straße €5 “œ”"},
        {"greek", 1253, "\xCA\xE1\xEB\xE7\xEC\xDD\xF1\xE1", "Καλημέρα"},
        {"turkish", 1254, "\xDDstanbul \xF0\xFC\xFE", "İstanbul ğüş"},
        {"hebrew", 1255, "\xF9\xEC\xE5\xED \xA4", "שלום ₪"},
        {"arabic", 1256, "\xE3\xD1\xCD\xC8\xC7 \xA1\xBA\xBF", "مرحبا ،؛؟"},
        {"baltic", 1257, "\xC0\xE8\xE6\xEB\xE1\xF0\xF8\xFB\xFE", "Ąčęėįšųūž"},
        {"vietnamese", 1258, "Xin ch\xE0o \xFE", "Xin chào ₫"},
        {"japanese", 932, "\x93\xFA\x96{\x8C\xEA \xB1\xB2\xB3", "日本語 ｱｲｳ"},
        {"japanese_first_last", 932, "\x81\x40\xFC\x4B", "\u3000黑"},
        {"simplified_chinese", 936, "\xD6\xD0\xCE\xC4\xB0\xA1", "中文啊"},
        {"simplified_first_last", 936, "\x81\x40\xFE\x4F", "丂\uFA29"},
        {"korean", 949, "\xC7\xD1\xB1\xB9\xBE\xEE \x8C\x63\xB9\xE6", "한국어 똠방"},
        {"korean_first_last", 949, "\x81\x41\xFD\xFE", "갂\u8A70"},
        {"traditional_chinese", 950, "\xC1\x63\xC5\xE9 \xA4\x40", "繁體 一"},
        {"traditional_first_last", 950, "\xA1\x40\xF9\xFE", "\u3000▓"},
        {"utf8", 65001, "ünï 日本 😀", "ünï 日本 😀"},
        {"undefined_single_byte", 1252, "a\x81z", "a\uFFFDz"},
        {"undefined_thai", 874, "\xFF", "\uFFFD"},
        // One broken double-byte character is one U+FFFD; a byte that cannot be its trail keeps
        // its own meaning.
        {"undefined_pair", 932, "\x81\xADz", "\uFFFDz"},
        {"page_without_lead_byte", 932, "\x85\x40", "\uFFFD@"},
        {"lead_before_blank", 932, "\x82 a", "\uFFFD a"},
        {"lead_at_end", 932, "a\x82", "a\uFFFD"},
        {"lead_before_non_trail", 950, "\xA1!", "\uFFFD!"},
        {"neither_lead_nor_character", 936, "\x80\xFF", "\uFFFD\uFFFD"},
        // Malformed UTF-8: one U+FFFD per longest valid start, as Python and browsers read it.
        {"utf8_invalid_byte", 65001, "a\xFFz", "a\uFFFDz"},
        {"utf8_cut_short", 65001, "\xE2\x82z", "\uFFFDz"},
        {"utf8_cut_at_end", 65001, "A\xE2\x82", "A\uFFFD"},
        {"utf8_overlong", 65001, "\xC0\xAF", "\uFFFD\uFFFD"},
        {"utf8_overlong_three_bytes", 65001, "\xE0\x80\xAF", "\uFFFD\uFFFD\uFFFD"},
        {"utf8_overlong_four_bytes", 65001, "\xF0\x8F\xBF\xBF", "\uFFFD\uFFFD\uFFFD\uFFFD"},
        {"utf8_surrogate", 65001, "\xED\xA0\x80", "\uFFFD\uFFFD\uFFFD"},
        {"utf8_past_max", 65001, "\xF4\x90\x80\x80", "\uFFFD\uFFFD\uFFFD\uFFFD"},
        {"utf8_lone_continuation", 65001, "\x80\xBF", "\uFFFD\uFFFD"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(PlainText(c.raw, c.codePage), c.expected);
        EXPECT_EQ(PlainMText(c.raw, c.codePage), c.expected);
    }
}

TEST(DxfTextTest, DoubleByteTrailBytesStartNoCode) {
    struct Case {
        const char* name;
        std::uint16_t codePage;
        const char* raw;
        const char* expected;
    };
    // Trail bytes 0x5C "\", 0x5E "^", 0x7B "{" and 0x7D "}", each followed by what would make
    // them a code.
    const Case cases[] = {
        {"japanese", 932, "\x83\x5CP\x81\x5EJ\x81\x7Bx\x81\x7D", "ソP／J＋x±"},
        {"japanese_backslash_backslash", 932, "\x95\x5C\\\\", "表\\"},
        {"simplified_chinese", 936, "\x81\x5CP\x81\x5EJ\x81\x7Bx\x81\x7D", "乗P乛J亄x亇"},
        {"traditional_chinese", 950, "\xA5\x5CP\xA1\x5EJ\xA1\x7Bx\xA1\x7D", "功P）J﹃x﹙"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(PlainMText(c.raw, c.codePage), c.expected);
    }
    EXPECT_EQ(PlainText("\x83\x5CU+00B0", 932), "ソU+00B0");
}

TEST(DxfTextTest, TextCodesAndEscapes) {
    struct Case {
        const char* name;
        const char* raw;
        const char* expected;
    };
    const Case cases[] = {
        {"symbols", "%%d %%D %%p %%P %%c %%C", "° ° ± ± ⌀ ⌀"},
        {"percent_sign", "100%%% and 5%", "100% and 5%"},
        {"percent_code_first", "%%%d", "%d"},
        {"lines_dropped", "%%uunder%%U %%Oover%%o %%kstrike%%K", "under over strike"},
        {"numbered", "%%065%%176%%128%%937", "A°€Ω"},
        {"numbered_control", "a%%009b%%010c", "a bc"},
        {"three_digits_only", "%%0651", "A1"},
        {"no_codes", "%%x %%12 50% %", "%%x %%12 50% %"},
        {"percents_at_end", "5%%", "5%%"},
        {"unicode", "\\U+00B0\\U+00e9", "°é"},
        {"surrogate_pair", "\\U+D83D\\U+DE00", "😀"},
        {"eight_digits", "\\U+0001F600!", "😀!"},
        {"lone_high_surrogate", "\\U+D800x", "\uFFFDx"},
        {"lone_low_surrogate", "\\U+DC00", "\uFFFD"},
        {"short_escape", "\\U+12G4 \\U+", "\\U+12G4 \\U+"},
        {"lower_case_u", "\\u+00B0", "\\u+00B0"},
        {"multibyte_japanese", "\\M+182A0", "あ"},
        {"multibyte_big5", "\\M+2A440", "一"},
        {"multibyte_korean", "\\M+3B0A1", "가"},
        {"multibyte_gb", "\\M+5B0A1", "啊"},
        {"multibyte_without_table", "\\M+4B0A1\\M+9B0A1", "\uFFFD\uFFFD"},
        {"multibyte_undefined_pair", "\\M+18540\\M+10041", "\uFFFD\uFFFD"},
        {"backslash_and_braces_stay", "C:\\temp\\Plan {A}", "C:\\temp\\Plan {A}"},
        {"carets", "a^Jb^Mc^Id^ e x^2 ^", "abc d^e x^2 ^"},
        {"caret_nul", "a^@b", "a b"},
        {"controls", "a\tb\nc\rd\x7Fz", "a bcd z"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(PlainText(c.raw), c.expected);
    }
}

TEST(DxfTextTest, NamesDecodeEscapesOnly) {
    struct Case {
        const char* name;
        std::uint16_t codePage;
        const char* raw;
        const char* expected;
    };
    const Case cases[] = {
        {"codes_are_part_of_the_name", 1252, "DIM%%C ^J {A}\\P", "DIM%%C ^J {A}\\P"},
        {"escapes", 1252, "Ebene \\U+00DC\\M+182A0", "Ebene Üあ"},
        {"code_page", 1251, "\xD1\xEB\xEE\xE9", "Слой"},
        {"trail_byte_backslash", 932, "\x83\x5CU+00DC", "ソU+00DC"},
        {"controls", 65001, "a\tb\x7F", "a b "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string out;
        AppendPlainName(c.raw, TextEncoding{c.codePage}, out);
        EXPECT_EQ(out, c.expected);
    }
}

TEST(DxfTextTest, MTextDropsFormatting) {
    struct Case {
        const char* name;
        const char* raw;
        const char* expected;
    };
    const Case cases[] = {
        {"font_group", "{\\fArial|b1|i0|c0|p34;Bold} text", "Bold text"},
        {"shx_font", "\\Fromans.shx;x", "x"},
        {"sizes", "\\H2.5x;a\\H3;b\\W0.8x;c\\T1.1;d\\Q15;e\\H1e-1x;f", "abcdef"},
        {"colours", "\\C1;a\\c16711680;b", "ab"},
        {"codes_without_semicolon", "\\C1red \\H2xbig \\Q-15.5slant \\H2east",
         "red big slant east"},
        {"alignment", "\\A1;x\\A2y", "xy"},
        {"paragraph", "\\pxi-3,l3,t4,c8;\\pxqc;x", "x"},
        {"strokes", "\\Lu\\l \\Oo\\o \\Kk\\k", "u o k"},
        {"breaks_are_blanks", "a\\Pb\\Nc\\Xd\\~e", "a b c d e"},
        {"escaped", "\\\\ \\{ \\}", "\\ { }"},
        {"groups_dropped", "{{a}b}}", "ab"},
        {"fraction", "\\S1/2;", "1/2"},
        {"diagonal_fraction", "\\S1#2;", "1/2"},
        {"tolerance", "\\S+0.1^ -0.2;", "+0.1/-0.2"},
        {"caret_without_blank", "\\S1^2;", "1/2"},
        {"superscript", "x\\S2^ ;", "x2"},
        {"subscript", "H\\S^ 2;O", "H2O"},
        {"escapes_in_stack", "\\Sx\\;y/z\\#;", "x;y/z#"},
        {"codes_in_stack", "\\S%%p0.1/\\U+00B0;", "±0.1/°"},
        {"second_divider_is_text", "\\S1/2/3;", "1/2/3"},
        {"percent_and_unicode", "%%c10 \\U+00B1 %%uu", "⌀10 ± u"},
        {"unknown_command_shown", "C:\\temp\\dwg", "C:\\temp\\dwg"},
        {"carets", "a^Jb^Mc^Id^ e", "a bc d^e"},
        {"line_feed", "a\nb\r\nc", "a b c"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(PlainMText(c.raw), c.expected);
    }
}

TEST(DxfTextTest, MalformedMTextEndsCleanly) {
    struct Case {
        const char* name;
        const char* raw;
        const char* expected;
    };
    const Case cases[] = {
        {"lone_backslash", "abc\\", "abc"},
        {"font_without_end", "x\\fArial", "x"},
        {"paragraph_without_end", "x\\pxqc", "x"},
        {"stack_without_end", "\\S1/2", "1/2"},
        {"stack_ends_in_backslash", "\\S1/\\", "1"},
        {"height_without_value", "x\\H", "x"},
        {"alignment_at_end", "x\\A", "x"},
        {"unicode_cut_short", "\\U+00", "\\U+00"},
        {"multibyte_cut_short", "\\M+1", "\\M+1"},
        {"codes_cut_short", "%%", "%%"},
        {"caret_at_end", "x^", "x^"},
        {"braces_only", "{}}{", ""},
        {"empty", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(PlainMText(c.raw), c.expected);
    }
    EXPECT_EQ(PlainMText("x\\A\x82", 932), "x") << "a lead byte at the end is one character";
}

TEST(DxfTextTest, AnyBytesGiveValidPlainUtf8) {
    // Random values of syntax characters and any bytes, in every kind of encoding: the result is
    // valid UTF-8 without controls, and what was in the output before stays.
    const std::string_view syntax = "\\{}%^;/#PUMSfHCAL+0123456789ABCDEFx ";
    std::mt19937 random(20240601);  // mt19937 gives the same numbers everywhere
    for (const std::uint16_t page : {65001, 1252, 1251, 874, 932, 936, 949, 950}) {
        SCOPED_TRACE(page);
        for (int round = 0; round < 3000; ++round) {
            std::string raw;
            const std::size_t length = random() % 40;
            for (std::size_t i = 0; i < length; ++i) {
                const std::uint32_t r = random();
                raw.push_back(r % 3 == 0 ? char(r >> 8) : syntax[(r >> 8) % syntax.size()]);
            }
            std::string name = "kept";
            std::string text = "kept";
            std::string mtext = "kept";
            AppendPlainName(raw, TextEncoding{page}, name);
            AppendPlainText(raw, TextEncoding{page}, text);
            AppendPlainMText(raw, TextEncoding{page}, mtext);
            for (const std::string* out : {&name, &text, &mtext}) {
                ASSERT_TRUE(IsPlainUtf8(*out) && out->rfind("kept", 0) == 0)
                    << testing::PrintToString(raw);
            }
        }
    }
}

TEST(DxfTextTest, LongPathologicalValuesTakeLinearTime) {
    // A quarter megabyte of each code left open: quadratic work would not finish.
    for (const std::string_view unit :
         {"\\S", "\\f", "\\S1/", "{", "\\", "%%", "^", "\\U+", "\\H", "\x82", "\\U+D800"}) {
        SCOPED_TRACE(testing::PrintToString(std::string(unit)));
        std::string raw;
        while (raw.size() < (1u << 18))
            raw += unit;
        for (const std::uint16_t page : {65001, 1252, 932}) {
            std::string text;
            std::string mtext;
            AppendPlainText(raw, TextEncoding{page}, text);
            AppendPlainMText(raw, TextEncoding{page}, mtext);
            EXPECT_LE(text.size(), 3 * raw.size());
            EXPECT_LE(mtext.size(), 3 * raw.size());
        }
    }
}

TEST(DxfTextTest, Windows1252ConfigurationTexts) {
    struct Case {
        const char* name;
        const char* bytes;
        const char* expected;
    };
    const Case cases[] = {
        {"ascii_and_tab_unchanged", "a\tb;%%d\\P", "a\tb;%%d\\P"},
        {"upper_half", "\x80\xE9\xFF", "€éÿ"},
        {"undefined", "\x81", "\uFFFD"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string out = "kept ";
        AppendWindows1252(c.bytes, out);
        EXPECT_EQ(out, std::string("kept ") + c.expected);
    }
}

}  // namespace
}  // namespace quarrow
