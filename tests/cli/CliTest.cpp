#include "cli/Cli.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "cli/CliCommand.h"
#include "support/CliCapture.h"
#include "support/TempDir.h"

namespace quarrow {
namespace {

using test::CliResult;
using test::RunCliCapture;

const std::string kDefault = std::string(QUARROW_SOURCE_DIR) + "/data/default.qrw";

TEST(CliTest, ShowConfigPrintsFieldsOrderKindsAndTrees) {
    const CliResult r = RunCliCapture({"show-config", kDefault});
    EXPECT_EQ(r.status, kExitDone) << r.err;
    EXPECT_EQ(r.err, "");
    for (const char* line : {
             "Signature           : \"QRW300\"\n",
             "Data file extension : \"csv\"\n",
             "Separator choice    : 0 (Comma (,))\n",
             "Data order          : 0 3 6 9 -1 15 -1 -1 -1 -1 -1 -1 -1\n",
             "Quote values (CSV)  : no\n",
             "Text                : as written\n",
             "  [ ] Attributes  #32\n",
             "      Tags :  #34 = \"\"\n",
             "Selected kinds      : Points, Lines, MultiLine Text, SingleLine Text, 2D "
             "Polylines, 3D Polylines, Blocks\n",
             "  [x] Lines  (expanded)\n",
             "      [ ] Start Point  (disabled)\n",
             "  [x] X (East) coordinate  #3  (expanded)\n",
             "      Decimals :  #5 = \"3\"\n",
         })
        EXPECT_NE(r.out.find(line), std::string::npos) << line;
}

TEST(CliTest, ShowConfigJsonHasTheDocumentedKeys) {
    const CliResult r = RunCliCapture({"show-config", "--json", kDefault});
    EXPECT_EQ(r.status, kExitDone) << r.err;
    ASSERT_FALSE(r.out.empty());
    EXPECT_EQ(r.out.front(), '{');
    EXPECT_EQ(r.out.substr(r.out.size() - 2), "}\n");
    for (const char* key :
         {"signature", "dataFileExt", "headerLine", "separatorChoice", "blockNameFilter",
          "fieldSeparator", "entityFlags", "dataFlags", "dataOptions", "dataOrder", "selectedKinds",
          "entityTree", "dataTree", "quoteFields", "textMode"})
        EXPECT_NE(r.out.find(std::string("\"") + key + "\":"), std::string::npos) << key;
    EXPECT_NE(r.out.find("\"fieldSeparator\":\",\""), std::string::npos);
    EXPECT_NE(r.out.find("\"dataOrder\":[0,3,6,9,-1,15,-1,-1,-1,-1,-1,-1,-1]"), std::string::npos);
}

// make-config takes back what show-config --json prints: the file it writes is the file shown,
// byte for byte, also with the options kept after the trees; a spec that says something
// impossible names its key and writes nothing.
TEST(CliTest, MakeConfigRebuildsTheFileShowConfigPrints) {
    test::TempDir dir;
    const std::string spec = dir / "spec.json";
    const std::string made = dir / "made.qrw";
    const std::string again = dir / "again.qrw";
    std::string json = RunCliCapture({"show-config", "--json", kDefault}).out;
    test::WriteFileBytes(spec, json);
    ASSERT_EQ(RunCliCapture({"make-config", "--json", spec, made}).status, kExitDone);
    EXPECT_EQ(test::ReadFileBytes(made), test::ReadFileBytes(kDefault));

    // The new options, a moved and checked Attributes item and a text of every byte value.
    const auto replace = [&json](const std::string& from, const std::string& to) {
        const std::size_t at = json.find(from);
        ASSERT_NE(at, std::string::npos) << from;
        json.replace(at, from.size(), to);
    };
    replace("\"quoteFields\":false", "\"quoteFields\":true");
    replace("\"textMode\":\"as-written\"", "\"textMode\":\"plain-utf8\"");
    replace("\"blockNameFilter\":\"\"", "\"blockNameFilter\":\"A\u00e9\\\"\\u0001\"");
    replace("\"label\":\"Attributes\",\"index\":32,\"checkType\":2,\"checked\":false",
            "\"label\":\"Attributes\",\"index\":32,\"checkType\":2,\"checked\":true");
    test::WriteFileBytes(spec, json);
    ASSERT_EQ(RunCliCapture({"make-config", "--json", spec, made}).status, kExitDone);
    const CliResult shown = RunCliCapture({"show-config", "--json", made});
    ASSERT_EQ(shown.status, kExitDone) << shown.err;
    EXPECT_NE(shown.out.find("\"dataOrder\":[0,3,6,9,-1,15,-1,-1,-1,-1,-1,-1,32]"),
              std::string::npos)
        << shown.out;
    EXPECT_NE(shown.out.find("\"blockNameFilter\":\"A\u00e9\\\"\\u0001\""), std::string::npos);
    test::WriteFileBytes(spec, shown.out);
    ASSERT_EQ(RunCliCapture({"make-config", "--json", spec, again}).status, kExitDone);
    EXPECT_EQ(test::ReadFileBytes(again), test::ReadFileBytes(made));

    struct Case {
        const char* name;
        std::string spec;
        std::string errPart;
    };
    // clang-format off
    const Case cases[] = {
        {"not_json", "{\"headerLine\":", "is not JSON"},
        {"not_an_object", "[1]", "\"(top level)\""},
        {"bad_flag", "{\"quoteFields\":\"yes\"}", "\"quoteFields\""},
        {"bad_mode", "{\"textMode\":\"utf16\"}", "\"textMode\""},
        {"choice_range", "{\"separatorChoice\":9}", "\"separatorChoice\""},
        {"wide_character", "{\"fieldSeparator\":\"\u20ac\"}", "\"fieldSeparator\""},
        {"entity_shape", "{\"entityTree\":[]}", "\"entityTree\""},
        {"unknown_item", "{\"dataTree\":[{\"index\":4}]}", "\"dataTree[0].index\""},
        {"option_text", "{\"dataOptions\":[1]}", "\"dataOptions[0]\""},
        // A typo is named with the key it was probably meant to be, at the top and in a node.
        {"unknown_key", "{\"quoteFeilds\":true}",
         "unknown key \"quoteFeilds\" in \"@SPEC@\"; the nearest known key is \"quoteFields\""},
        {"unknown_key_letter_case", "{\"HeaderLine\":1}",
         "unknown key \"HeaderLine\" in \"@SPEC@\"; the nearest known key is \"headerLine\""},
        {"unknown_node_key", "{\"dataTree\":[{\"index\":0,\"chekced\":true}]}",
         "unknown key \"dataTree[0].chekced\" in \"@SPEC@\"; the nearest known key is "
         "\"dataTree[0].checked\""},
        {"flag_list_size", "{\"entityFlags\":[1,0]}", "\"entityFlags\""},
        {"flag_value", "{\"entityFlags\":[0,0,2,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0]}",
         "\"entityFlags[2]\" in \"@SPEC@\" must be true or false"},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string out = dir / (std::string(c.name) + ".qrw");
        test::WriteFileBytes(spec, c.spec);
        const CliResult r = RunCliCapture({"make-config", "--json", spec, out});
        std::string errPart = c.errPart;
        if (const std::size_t at = errPart.find("@SPEC@"); at != std::string::npos)
            errPart.replace(at, 6, spec);
        EXPECT_EQ(r.status, kExitRefused);
        EXPECT_NE(r.err.find(errPart), std::string::npos) << r.err;
        EXPECT_FALSE(std::filesystem::exists(out));
    }
}

// What a spec that leaves keys out means: a separator alone brings its choice, and a flag list
// checks its tree only when the tree is left out; where both are given, the tree counts and
// make-config says the flags were overruled.
TEST(CliTest, MakeConfigTakesASeparatorAloneAndFlagListsOnlyWithoutTheirTree) {
    test::TempDir dir;
    const std::string spec = dir / "spec.json";
    const std::string made = dir / "made.qrw";
    const std::string shown = RunCliCapture({"show-config", "--json", kDefault}).out;
    // The default's JSON with Circles' flag set: its tree still has Circles unchecked.
    std::string contradicting = shown;
    const std::string flags = "\"entityFlags\":[1,0,";
    ASSERT_NE(contradicting.find(flags), std::string::npos);
    contradicting.replace(contradicting.find(flags), flags.size(), "\"entityFlags\":[1,1,");
    const std::string kindsOfDefault = "Selected kinds      : Points, Lines, MultiLine Text, "
                                       "SingleLine Text, 2D Polylines, 3D Polylines, Blocks\n";
    struct Case {
        const char* name;
        std::string spec;
        std::vector<std::string> lines;  // of show-config
        std::string err;
    };
    // clang-format off
    const Case cases[] = {
        {"semicolon_alone", "{\"fieldSeparator\":\";\"}",
         {"Separator choice    : 1 (Semi-colon (;))\n", "Field separator     : \";\"\n"}, ""},
        {"tab_alone", "{\"fieldSeparator\":\"\\t\"}",
         {"Separator choice    : 3 (Tabulation)\n"}, ""},
        {"line_end_alone", "{\"fieldSeparator\":\"\\r\\n\"}",
         {"Separator choice    : 4 (LineFeed)\n"}, ""},
        {"other_alone", "{\"fieldSeparator\":\"|\"}",
         {"Separator choice    : 5 (Other)\n", "Field separator     : \"|\"\n"}, ""},
        {"both_kept", "{\"separatorChoice\":0,\"fieldSeparator\":\"|\"}",
         {"Separator choice    : 0 (Comma (,))\n", "Field separator     : \"|\"\n"}, ""},
        // Circles and Arcs by their flags (Arcs' Center among its sub-options), Line Number
        // unchecked and Entity Type checked.
        {"flags_without_trees",
         "{\"entityFlags\":[1,1,1,0,0,1,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0],"
         "\"dataFlags\":[0,0,0,1,0,0,1,0,0,1,0,0,0,1,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0]}",
         {"Entity flags        : 1 1 1 0 0 1 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0\n",
          "Selected kinds      : Points, Circles, Arcs\n", "      [ ] Start Point\n",
          "      [x] Center\n", "Data order          : -1 3 6 9 13 -1 -1 -1 -1 -1 -1 -1 -1\n"},
         ""},
        {"flags_against_the_tree", contradicting,
         {kindsOfDefault, "  [ ] Circles\n"},
         "quarrow-cli make-config: \"entityFlags\" in \"" + spec +
             "\" contradicts the tree; the tree's check marks were written\n"},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::WriteFileBytes(spec, c.spec);
        const CliResult r = RunCliCapture({"make-config", "--json", spec, made});
        EXPECT_EQ(r.status, kExitDone) << r.err;
        EXPECT_EQ(r.err, c.err);
        const CliResult text = RunCliCapture({"show-config", made});
        for (const std::string& line : c.lines)
            EXPECT_NE(text.out.find(line), std::string::npos) << line << text.out;
    }
    // A run takes the separator that show-config shows.
    const std::string drawing = dir / "p.dxf";
    test::WriteFileBytes(drawing,
                         "0\nSECTION\n2\nENTITIES\n0\nPOINT\n8\nL\n10\n1\n20\n2\n0\nEOF\n");
    test::WriteFileBytes(spec, "{\"fieldSeparator\":\";\"}");
    ASSERT_EQ(RunCliCapture({"make-config", "--json", spec, made}).status, kExitDone);
    const CliResult preview = RunCliCapture({"preview", "--config", made, drawing});
    EXPECT_NE(preview.out.find("1;1.000;2.000;0.000;L\r\n"), std::string::npos) << preview.out;
}

TEST(CliTest, RefusalsExitWithStatus2AndAMessage) {
    test::TempDir dir;
    const std::string foreign = dir / "foreign.qrw";
    test::WriteFileBytes(foreign, "\x05QRW300 and more");
    struct Case {
        const char* name;
        std::vector<std::string> args;
        std::string errPart;
    };
    // clang-format off
    const Case cases[] = {
        {"no_arguments", {}, "Usage:"},
        {"unknown_command", {"frobnicate"}, "unknown command \"frobnicate\""},
        {"no_file", {"show-config"}, "give the configuration file"},
        {"missing_file", {"show-config", dir / "none.qrw"}, "Cannot open file"},
        {"foreign_file", {"show-config", foreign}, "This is not a Quarrow configuration file"},
        {"bad_option", {"show-config", "--yaml", kDefault}, "unknown option \"--yaml\""},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const CliResult r = RunCliCapture(c.args);
        EXPECT_EQ(r.status, kExitRefused);
        EXPECT_NE(r.err.find(c.errPart), std::string::npos) << r.err;
        EXPECT_EQ(r.out, "");
    }
}

TEST(CliTest, HelpAndVersionSucceed) {
    EXPECT_EQ(RunCliCapture({"--help"}).status, kExitDone);
    const CliResult v = RunCliCapture({"--version"});
    EXPECT_EQ(v.status, kExitDone);
    EXPECT_EQ(v.out.rfind("quarrow-cli ", 0), 0u);
}

TEST(CliTest, EveryCommandHasItsHelpOnStdoutBothWays) {
    const CliResult usage = RunCliCapture({"help"});
    EXPECT_EQ(usage.status, kExitDone);
    EXPECT_EQ(usage.out, RunCliCapture({"--help"}).out);
    for (const CliCommand& command : CliCommands()) {
        const std::string name(command.Name);
        SCOPED_TRACE(name);
        EXPECT_NE(usage.out.find("  " + name + " "), std::string::npos) << usage.out;
        const CliResult help = RunCliCapture({"help", name});
        EXPECT_EQ(help.status, kExitDone);
        EXPECT_EQ(help.err, "");
        EXPECT_EQ(help.out.rfind("Usage: quarrow-cli " + name + " ", 0), 0u) << help.out;
        for (const CliOption& option : command.Options)
            EXPECT_NE(help.out.find("--" + std::string(option.Long)), std::string::npos)
                << option.Long;
        // Wherever --help stands among the options, even beside a wrong one.
        for (const std::vector<std::string>& args :
             {std::vector<std::string>{name, "--help"}, {name, "--bogus", "-h"}}) {
            const CliResult asked = RunCliCapture(args);
            EXPECT_EQ(asked.status, kExitDone);
            EXPECT_EQ(asked.out, help.out);
            EXPECT_EQ(asked.err, "");
        }
    }
    const CliResult unknown = RunCliCapture({"help", "frobnicate"});
    EXPECT_EQ(unknown.status, kExitRefused);
    EXPECT_NE(unknown.err.find("unknown command \"frobnicate\""), std::string::npos);
    EXPECT_EQ(unknown.out, "");
}

TEST(CliTest, CompletionAndManualKnowEveryCommandAndOption) {
    // Both are written by hand; a command or option added to the table alone fails here.
    const std::string completion =
        test::ReadFileBytes(std::string(QUARROW_SOURCE_DIR) + "/data/completion/quarrow-cli");
    const std::string manual =
        test::ReadFileBytes(std::string(QUARROW_SOURCE_DIR) + "/data/man/quarrow-cli.1");
    const auto roff = [](const std::string& text) {
        std::string out;
        for (char ch : text) {
            if (ch == '-')
                out.push_back('\\');
            out.push_back(ch);
        }
        return out;
    };
    // The words of its line local commands="...", each between spaces.
    const std::size_t list = completion.find("local commands=\"");
    ASSERT_NE(list, std::string::npos);
    const std::size_t first = list + 16;
    std::string commands(1, ' ');
    commands.append(completion, first, completion.find('"', first) - first);
    commands.push_back(' ');
    for (const CliCommand& command : CliCommands()) {
        const std::string name(command.Name);
        SCOPED_TRACE(name);
        EXPECT_NE(commands.find(" " + name + " "), std::string::npos) << commands;
        EXPECT_NE(completion.find(name + ")"), std::string::npos);
        EXPECT_NE(manual.find(".B quarrow-cli " + name), std::string::npos);
        for (const CliOption& option : command.Options) {
            const std::string flag = "--" + std::string(option.Long);
            EXPECT_NE(completion.find(flag + " "), std::string::npos) << flag;
            EXPECT_NE(manual.find(roff(flag)), std::string::npos) << flag;
        }
    }
}

}  // namespace
}  // namespace quarrow
