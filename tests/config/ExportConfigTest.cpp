#include "config/ExportConfig.h"

#include <gtest/gtest.h>

#include <string>

namespace quarrow {
namespace {

// The field setters carry the cut and trim rules; each row is one rule a user can run into.
TEST(ExportConfigTest, FieldSettersCutAndTrimAsEachFieldRequires) {
    ExportConfig c;
    SetDataFileExt(c, "abcdefghijkl");
    EXPECT_EQ(c.DataFileExt, "abcdefghij");
    SetDataFileExt(c, " csv ");
    EXPECT_EQ(c.DataFileExt, " csv ") << "the extension is stored untrimmed";

    SetBlockNameFilter(c, "  DOOR*, WIN? \t");
    EXPECT_EQ(c.BlockNameFilter, "DOOR*, WIN?") << "ends trimmed, inner spaces kept";
    SetBlockNameFilter(c, std::string(300, 'A'));
    EXPECT_EQ(c.BlockNameFilter.size(), 255u);

    SetFieldSeparator(c, " ; ");
    EXPECT_EQ(c.FieldSeparator, " ; ");
    SetFieldSeparator(c, std::string(256, '|'));
    EXPECT_EQ(c.FieldSeparator.size(), 255u);

    SetDataOption(c, 25, std::string(260, 'x'));
    EXPECT_EQ(c.DataOptions[25].size(), 255u);
    SetDataOption(c, 32, "ignored");
    SetDataOption(c, -1, "ignored");
}

TEST(ExportConfigTest, ResolveFieldSeparatorGivesTheChoiceOrTheFieldText) {
    struct Case {
        const char* name;
        int choice;
        std::string expected;
    };
    // Every fixed choice, "Other" keeping blanks, and the out-of-range values a damaged file
    // can bring.
    // clang-format off
    const Case cases[] = {
        {"comma", 0, ","},          {"semicolon", 1, ";"},  {"space", 2, " "},
        {"tab", 3, "\t"},           {"linefeed", 4, "\r\n"}, {"other", 5, " | "},
        {"negative", -1, ","},      {"beyond", 6, ","},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ExportConfig config;
        config.FieldSeparator = "typed";
        config.SeparatorChoice = c.choice;
        ResolveFieldSeparator(config, " | ");
        EXPECT_EQ(config.FieldSeparator, c.expected);
    }
}

}  // namespace
}  // namespace quarrow
