#include "cli/OptionParser.h"

#include <gtest/gtest.h>

namespace quarrow {
namespace {

constexpr CliOption kOptions[] = {
    {"config", 'c', "FILE", "h"},
    {"recursive", 'r', "", "h"},
};

TEST(OptionParserTest, BothValueFormsFlagsOperandsAndTheirRefusals) {
    struct Case {
        const char* name;
        std::vector<std::string> args;
        std::string problem;  // empty: parsed
        std::string config;   // the value of --config, "-" when not given
        bool recursive;
        std::vector<std::string> operands;
    };
    // Each way of giving a value, flags among operands, "--" and "-", and each refusal: the
    // forms users type from other tools' habits.
    // clang-format off
    const Case cases[] = {
        {"separate_value", {"--config", "a.qrw", "x.dxf"}, "", "a.qrw", false, {"x.dxf"}},
        {"equals_value", {"--config=a=b.qrw", "x.dxf"}, "", "a=b.qrw", false, {"x.dxf"}},
        {"equals_empty_value", {"--config=", "x.dxf"}, "", "", false, {"x.dxf"}},
        {"short_value", {"-c", "a.qrw"}, "", "a.qrw", false, {}},
        {"value_looks_like_option", {"--config", "--recursive"}, "", "--recursive", false, {}},
        {"last_value_wins", {"--config=a", "--config", "b"}, "", "b", false, {}},
        {"flags_anywhere", {"x.dxf", "-r", "y.dxf", "--recursive"}, "", "-", true,
         {"x.dxf", "y.dxf"}},
        {"double_dash_ends_options", {"--", "-r", "--config"}, "", "-", false, {"-r", "--config"}},
        {"single_dash_is_an_operand", {"-"}, "", "-", false, {"-"}},
        {"value_missing", {"x.dxf", "--config"}, "option --config needs a value", "-", false, {}},
        {"flag_with_value", {"--recursive=yes"}, "option --recursive takes no value", "-", false,
         {}},
        {"unknown_long", {"--fast=1"}, "unknown option \"--fast\"", "-", false, {}},
        {"unknown_short", {"-x"}, "unknown option \"-x\"", "-", false, {}},
        {"short_flags_not_bundled", {"-rc"}, "unknown option \"-rc\"", "-", false, {}},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ParsedOptions parsed;
        EXPECT_EQ(ParseOptions(c.args, kOptions, parsed), c.problem);
        if (!c.problem.empty())
            continue;
        EXPECT_EQ(parsed.Has("config") ? parsed.Value("config") : "-", c.config);
        EXPECT_EQ(parsed.Has("recursive"), c.recursive);
        EXPECT_EQ(parsed.Operands, c.operands);
    }
}

}  // namespace
}  // namespace quarrow
