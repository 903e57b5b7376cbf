#include "cli/Cli.h"

#include <gtest/gtest.h>

#include <sstream>

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
             "Data order          : 0 3 6 9 -1 15 -1 -1 -1 -1 -1 -1\n",
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
    for (const char* key : {"signature", "dataFileExt", "headerLine", "separatorChoice",
                            "blockNameFilter", "fieldSeparator", "entityFlags", "dataFlags",
                            "dataOptions", "dataOrder", "selectedKinds", "entityTree", "dataTree"})
        EXPECT_NE(r.out.find(std::string("\"") + key + "\":"), std::string::npos) << key;
    EXPECT_NE(r.out.find("\"fieldSeparator\":\",\""), std::string::npos);
    EXPECT_NE(r.out.find("\"dataOrder\":[0,3,6,9,-1,15,-1,-1,-1,-1,-1,-1]"), std::string::npos);
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

}  // namespace
}  // namespace quarrow
