#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "cli/Cli.h"
#include "support/CliCapture.h"
#include "support/TempDir.h"

namespace quarrow {
namespace {

namespace fs = std::filesystem;
using test::CliResult;
using test::RunCliCapture;

const std::string kEveryKind =
    std::string(QUARROW_SOURCE_DIR) + "/data/configurations/every-kind.qrw";

// The first `lines` lines of a text, line ends included.
std::string Head(const std::string& text, int lines) {
    std::size_t end = 0;
    for (int i = 0; i < lines && end != std::string::npos; ++i) {
        end = text.find('\n', end);
        if (end != std::string::npos)
            ++end;
    }
    return end == std::string::npos ? text : text.substr(0, end);
}

TEST(PreviewCommandTest, PrintsTheHeadOfTheDataFileRunWritesAndWritesNothing) {
    test::TempDir temp;
    const fs::path samples = fs::path(QUARROW_SOURCE_DIR) / "data" / "samples";
    for (const char* name : {"points", "polylines", "inserts"}) {
        SCOPED_TRACE(name);
        const std::string drawing = (samples / (std::string(name) + ".dxf")).string();
        const CliResult run = RunCliCapture(
            {"run", "--config", kEveryKind, "--dest", temp / "out", "--quiet", drawing});
        ASSERT_EQ(run.status, kExitDone) << run.err;
        const std::string data =
            test::ReadFileBytes(temp.Path() / "out" / (std::string(name) + ".txt"));
        const auto before = std::distance(fs::directory_iterator(temp.Path() / "out"), {});

        const CliResult byDefault = RunCliCapture({"preview", "--config", kEveryKind, drawing});
        EXPECT_EQ(byDefault.status, kExitDone) << byDefault.err;
        EXPECT_EQ(byDefault.out, Head(data, 21));  // the header and 20 records
        EXPECT_EQ(byDefault.err, "");
        const CliResult three =
            RunCliCapture({"preview", "--records", "3", "--config", kEveryKind, drawing});
        EXPECT_EQ(three.out, Head(data, 4));
        EXPECT_EQ(std::distance(fs::directory_iterator(temp.Path() / "out"), {}), before);
    }
}

TEST(PreviewCommandTest, RefusalsAndUnreadableDrawings) {
    struct Case {
        const char* name;
        std::vector<std::string> args;
        int status;
        std::string errPart;
    };
    const std::string points = std::string(QUARROW_SOURCE_DIR) + "/data/samples/points.dxf";
    // clang-format off
    const Case cases[] = {
        {"empty config", {"preview", "--config=", points}, kExitRefused, "--config needs a value"},
        {"no drawing", {"preview", "--config", kEveryKind}, kExitRefused, "give one DXF file"},
        {"two drawings", {"preview", "--config", kEveryKind, points, points}, kExitRefused,
         "give one DXF file"},
        {"records not a number", {"preview", "--records", "-1", "--config", kEveryKind, points},
         kExitRefused, "--records needs a whole number of records, not \"-1\""},
        {"missing drawing", {"preview", "--config", kEveryKind, "/nonexistent/x.dxf"},
         kExitSomeFilesFailed, "\"/nonexistent/x.dxf\": cannot open this file"},
        {"not a drawing", {"preview", "--config", kEveryKind, kEveryKind}, kExitSomeFilesFailed,
         "this is not a valid DXF file"},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const CliResult r = RunCliCapture(c.args);
        EXPECT_EQ(r.status, c.status);
        EXPECT_NE(r.err.find(c.errPart), std::string::npos) << r.err;
    }
}

}  // namespace
}  // namespace quarrow
