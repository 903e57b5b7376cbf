#include "engine/DxfScan.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "engine/ProcessingReport.h"
#include "support/EngineHarness.h"
#include "support/TempDir.h"

namespace quarrow {
namespace {

using test::Dxf;
using test::Entities;
using test::ScanText;
using test::TestConfig;

const std::string kSep = kReportSeparator;

TestConfig PointsAndLines() {
    TestConfig c = test::AllKindsConfig();
    c.Entities({0, 7, 8, 9});
    c.Data({3, 6});
    return c;
}

TEST(DxfScanTest, ReportLinesOfTheEntitiesSearch) {
    struct Case {
        const char* name;
        std::string dxf;
        ScanOutcome outcome;
        std::string data;
    };
    const std::string point = Dxf({"0", "POINT", "10", "1", "20", "2", "0", "EOF"});
    // The search takes the trimmed value of (2, ENTITIES) after (0, SECTION), case included.
    const Case cases[] = {
        {"empty_file", "", ScanOutcome::NotDxf, ""},
        {"blanks_around_entities", "0\nSECTION\n2\n \t ENTITIES  \n" + point, ScanOutcome::Done,
         "1.000,2.000\r\n"},
        {"lower_case_not_found", "0\nSECTION\n2\nentities\n" + point, ScanOutcome::NotDxf, ""},
        {"entities_is_last_line", point + "ENTITIES", ScanOutcome::NotDxf, ""},
        {"entities_last_with_lf", point + "ENTITIES\r\n", ScanOutcome::NotDxf, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const test::ScanRun run = ScanText(PointsAndLines(), c.dxf);
        EXPECT_EQ(run.Result.Outcome, c.outcome);
        EXPECT_EQ(run.Data, c.data);
        if (c.outcome == ScanOutcome::NotDxf) {
            EXPECT_EQ(run.Report, (std::vector<std::string>{
                                      "  *** Error, this is not a valid DXF file ***", kSep}));
        }
    }
}

TEST(DxfScanTest, TypeLinesMatchExactlyWhereverTheyStand) {
    const TestConfig c = PointsAndLines();
    // " LINE" and "LINE " start nothing; a layer named LINE, even of an entity no reader
    // consumes (a HATCH), is a value and starts nothing either.
    const std::string dxf = Entities({"0", "LINE ", "10", "5", "20", "5", "0", " LINE", "10",
                                      "6", "20", "6", "0", "HATCH", "8", "LINE", "10", "7",
                                      "20", "7", "11", "8", "21", "8", "0", "LINE", "10", "1",
                                      "20", "2", "11", "3", "21", "4"});
    const test::ScanRun run = ScanText(c, dxf);
    EXPECT_EQ(run.Result.Outcome, ScanOutcome::Done);
    EXPECT_EQ(run.Data, "1.000,2.000\r\n3.000,4.000\r\n");
    EXPECT_EQ(run.Report[0], "  Processed entities count : 1");
}

TEST(DxfScanTest, SummaryHasALinePerSelectedKindTheFilterAndTheTally) {
    TestConfig c = test::AllKindsConfig();
    c.Entities({0, 16, 24});  // Splines selected but absent: its line says 0
    c.Filter("A*, B");
    const std::string dxf = Entities({"0", "INSERT", "2", "Apple", "0", "INSERT", "2", "B",
                                      "0", "INSERT", "2", "APPLE", "0", "INSERT", "2", "C",
                                      "0", "POINT", "10", "1", "20", "1"});
    const test::ScanRun run = ScanText(c, dxf);
    EXPECT_EQ(run.Report, (std::vector<std::string>{
                              "  Processed entities count : 4",
                              "",
                              "    Points : 1 ",
                              "    Splines : 0 ",
                              "    Blocks : 3 (A*, B)",
                              "      Apple : 2",
                              "      B : 1",
                              kSep,
                          }));
}

TEST(DxfScanTest, CancelStopsBeforeTheNextLineWithoutSummary) {
    TestConfig c = PointsAndLines();
    RunSettings settings(c.Config, c.DataOrder, c.SelectedKinds);
    RunCounters counters;
    ProcessingReport report;
    std::atomic<bool> cancel{true};
    ScanEnvironment env{settings, counters, report, cancel};
    const std::string dxf = Entities({"0", "POINT", "10", "1", "20", "2"});
    MemoryByteSource source(dxf);
    DxfLineReader in(source);
    DataOutput out;
    EXPECT_EQ(ScanDxfInput(env, in, out, "a.dxf", "a.csv").Outcome, ScanOutcome::Canceled);
    EXPECT_TRUE(report.Lines.empty());
    EXPECT_EQ(out.Buffer(), "");
}

TEST(DxfScanTest, RunEndingErrorsNameFileLineAndText) {
    struct Case {
        const char* name;
        TestConfig config;
        std::string dxf;
        std::string error;
    };
    TestConfig blankSequential = PointsAndLines();
    blankSequential.Option(kSequentialStartOption, " ");
    TestConfig badDecimals = PointsAndLines();
    badDecimals.Option(kYDecimalsOption, "two");
    // The forced Z and the decimals are read once per run; their errors still come with the
    // first record that needs them, decimals first.
    TestConfig badForcedZ = PointsAndLines();
    badForcedZ.Data({3, 9}).Option(kZForceOption, " 1,5 ");
    TestConfig forcedZBadDecimals = badForcedZ;
    forcedZBadDecimals.Option(kZForceOption, "100").Option(kZDecimalsOption, "");
    // Line numbers are 1-based lines of the file: the ENTITIES header takes lines 1 to 4.
    const Case cases[] = {
        {"decimal_comma", PointsAndLines(),
         Entities({"0", "POINT", "10", "1,5", "20", "2"}),
         "Error in DXF file \"test.dxf\", line 8: \"1,5\" is not a valid floating point value "
         "(X coordinate)."},
        {"missing_y", PointsAndLines(), Entities({"0", "POINT", "10", "1"}),
         "Error in DXF file \"test.dxf\", line 6: \"\" is not a valid floating point value "
         "(Y coordinate, missing from the entity that starts at this line)."},
        {"blank_sequential_start", blankSequential, Entities({"0", "POINT"}),
         "Error in DXF file \"test.dxf\", line 4: \" \" is not a valid integer value "
         "(Sequential Number, \"Start at :\")."},
        {"bad_decimals", badDecimals, Entities({"0", "POINT", "10", "1", "20", "2", "0", "X"}),
         "Error in DXF file \"test.dxf\", line 11: \"two\" is not a valid integer value "
         "(Y (North) coordinate, \"Decimals :\")."},
        {"bad_forced_z", badForcedZ, Entities({"0", "POINT", "10", "1", "20", "2", "0", "X"}),
         "Error in DXF file \"test.dxf\", line 11: \" 1,5 \" is not a valid floating point "
         "value (Z (Elevation) coordinate, \"Force to :\")."},
        {"forced_z_bad_decimals", forcedZBadDecimals,
         Entities({"0", "POINT", "10", "1", "20", "2", "0", "X"}),
         "Error in DXF file \"test.dxf\", line 11: \"\" is not a valid integer value "
         "(Z (Elevation) coordinate, \"Decimals :\")."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const test::ScanRun run = ScanText(c.config, c.dxf);
        EXPECT_EQ(run.Result.Outcome, ScanOutcome::Failed);
        EXPECT_EQ(run.Result.Error, c.error);
    }
}

TEST(DxfScanTest, SampleDrawingsGiveTheSameBytesAtEveryBlockSize) {
    const TestConfig c = test::AllKindsConfig();
    const std::filesystem::path samples = std::filesystem::path(QUARROW_SOURCE_DIR) / "data" /
                                          "samples";
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(samples)) {
        if (entry.path().extension() != ".dxf")
            continue;
        ++files;
        SCOPED_TRACE(entry.path().filename().string());
        const std::string dxf = test::ReadFileBytes(entry.path());
        const test::ScanRun reference = ScanText(c, dxf);
        ASSERT_EQ(reference.Result.Outcome, ScanOutcome::Done) << reference.Result.Error;
        for (const std::size_t blockSize : {1, 2, 3, 7, 64}) {
            SCOPED_TRACE(blockSize);
            const test::ScanRun run = ScanText(c, dxf, blockSize);
            EXPECT_EQ(run.Data, reference.Data);
            EXPECT_EQ(run.Report, reference.Report);
        }
    }
    EXPECT_GT(files, 0);
}

} // namespace
} // namespace quarrow
