// The preview of one drawing: its lines are the head of the Data file a run writes, its points
// those of the records, and it reads no further than the records asked for.

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/Preview.h"
#include "support/EngineHarness.h"
#include "support/TempDir.h"

namespace quarrow {
namespace {

namespace fs = std::filesystem;
using test::TestConfig;

// Every data item, with a header line: the counters and every text of the records.
TestConfig EveryItemConfig() {
    TestConfig c = test::AllKindsConfig();
    c.Header(true).Separator(";");
    c.Option(kLabelTextOption, "pt");
    for (std::size_t i = 0; i < kDataItemNodes.size(); ++i)
        c.DataOrder[i] = kDataItemNodes[i];
    return c;
}

std::vector<std::string> SplitLines(const std::string& data) {
    std::vector<std::string> lines;
    std::size_t from = 0;
    for (std::size_t end = data.find("\r\n"); end != std::string::npos;
         end = data.find("\r\n", from)) {
        lines.push_back(data.substr(from, end - from));
        from = end + 2;
    }
    return lines;
}

PreviewResult Preview(const TestConfig& c, const std::string& path, std::size_t maxRecords,
                      std::size_t blockSize = kDefaultBlockSize,
                      const std::atomic<bool>* cancel = nullptr) {
    const RunSettings settings(c.Config, c.DataOrder, c.SelectedKinds);
    return PreviewDrawing(settings, path, {maxRecords, blockSize, cancel});
}

TEST(PreviewTest, LinesAreTheHeadOfTheDataFileAtEveryBlockSize) {
    std::vector<fs::path> drawings;
    for (const fs::path& folder :
         {fs::path(QUARROW_SOURCE_DIR) / "data" / "samples", fs::path(QUARROW_TEST_DATA) / "cad"})
        for (const auto& entry : fs::directory_iterator(folder))
            if (entry.path().extension() == ".dxf")
                drawings.push_back(entry.path());
    ASSERT_GE(drawings.size(), 20u);
    struct ConfigCase {
        const char* name;
        TestConfig config;
    };
    const ConfigCase configs[] = {{"coordinates", test::AllKindsConfig()},
                                  {"every item with header", EveryItemConfig()}};
    for (const ConfigCase& cc : configs) {
        SCOPED_TRACE(cc.name);
        for (const fs::path& drawing : drawings) {
            SCOPED_TRACE(drawing.filename().string());
            const test::ScanRun run = test::ScanTextOnce(cc.config, test::ReadFileBytes(drawing),
                                                         kDefaultBlockSize, {}, 0);
            std::vector<std::string> lines = SplitLines(run.Data);
            const std::size_t headerLines = cc.config.Config.HeaderLine == 1 ? 1 : 0;
            const std::size_t total = lines.size() - headerLines;
            for (const std::size_t blockSize :
                 {std::size_t(1), std::size_t(2), std::size_t(3), std::size_t(7), std::size_t(64),
                  kDefaultBlockSize}) {
                // None, the first, a few, exactly all, and more than there are; at the small
                // block sizes (slow on files) a few and all.
                std::vector<std::size_t> counts = {3, total + 1};
                if (blockSize == kDefaultBlockSize)
                    counts = {0, 1, 3, total, total + 1};
                for (const std::size_t maxRecords : counts) {
                    SCOPED_TRACE("records " + std::to_string(maxRecords) + ", block size " +
                                 std::to_string(blockSize));
                    const PreviewResult p =
                        Preview(cc.config, drawing.string(), maxRecords, blockSize);
                    std::vector<std::string> got;
                    if (p.HasHeader)
                        got.push_back(p.Header);
                    got.insert(got.end(), p.Records.begin(), p.Records.end());
                    const std::size_t expected = headerLines + std::min(maxRecords, total);
                    EXPECT_EQ(got, std::vector<std::string>(lines.begin(),
                                                            lines.begin() + long(expected)));
                    EXPECT_EQ(p.Points.size(), p.Records.size());
                    if (run.Result.Outcome != ScanOutcome::Done) {
                        // A drawing cut short shows its records before the cut.
                        if (maxRecords > total)
                            EXPECT_EQ(p.Error, run.Result.Error);
                        else
                            EXPECT_EQ(p.Outcome, PreviewOutcome::Limited);
                    } else {
                        EXPECT_EQ(p.Outcome, maxRecords > total ? PreviewOutcome::Complete
                                                                : PreviewOutcome::Limited);
                    }
                }
            }
        }
    }
}

TEST(PreviewTest, PointsAreThoseOfTheRecordsWithTheirTypes) {
    // A point kept as text, a line's two ends, and a circle's center computed through its
    // extrusion; X is not exported, the points still have it.
    test::TempDir temp;
    const std::string path = temp / "p.dxf";
    test::WriteFileBytes(
        path, test::Entities({"0",  "POINT", "10",  "1.25",   "20",  "-2", "30",  "3", "0",  "LINE",
                              "10", "4",     "20",  "5",      "30",  "6",  "11",  "7", "21", "8",
                              "31", "9",     "0",   "CIRCLE", "10",  "1",  "20",  "2", "30", "3",
                              "40", "1",     "210", "0",      "220", "0",  "230", "-1"}));
    TestConfig c = test::AllKindsConfig();
    c.Data({DataNode::Y, DataNode::EntityType});
    const PreviewResult p = Preview(c, path, 20);
    ASSERT_EQ(p.Outcome, PreviewOutcome::Complete) << p.Error;
    EXPECT_EQ(p.Records, (std::vector<std::string>{"-2.000,POINT", "5.000,LINE", "8.000,LINE",
                                                   "2.000,CIRCLE"}));
    EXPECT_EQ(p.Types, (std::vector<std::string>{"POINT", "LINE", "CIRCLE"}));
    struct Expected {
        double x, y, z;
        std::uint16_t type;
    };
    // The extrusion (0, 0, -1) mirrors X and Z of the center.
    const Expected expected[] = {{1.25, -2, 3, 0}, {4, 5, 6, 1}, {7, 8, 9, 1}, {-1, 2, -3, 2}};
    ASSERT_EQ(p.Points.size(), std::size(expected));
    for (std::size_t i = 0; i < p.Points.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_DOUBLE_EQ(p.Points[i].X, expected[i].x);
        EXPECT_DOUBLE_EQ(p.Points[i].Y, expected[i].y);
        EXPECT_DOUBLE_EQ(p.Points[i].Z, expected[i].z);
        EXPECT_EQ(p.Points[i].Type, expected[i].type);
    }
}

TEST(PreviewTest, StopsBeforeWhatFollowsTheRecordsAskedFor) {
    // The third point does not convert: a run ends there, a preview of two records never
    // reads it, and a longer one shows the records before it with the run's error.
    test::TempDir temp;
    const std::string path = temp / "bad.dxf";
    test::WriteFileBytes(path, test::Entities({"0", "POINT", "10", "1", "20", "2", "30", "0",
                                               "0", "POINT", "10", "3", "20", "4", "30", "0",
                                               "0", "POINT", "10", "x", "20", "6", "30", "0"}));
    const TestConfig c = test::AllKindsConfig();
    const PreviewResult two = Preview(c, path, 2);
    EXPECT_EQ(two.Outcome, PreviewOutcome::Limited);
    EXPECT_EQ(two.Records, (std::vector<std::string>{"1.000,2.000,0.000", "3.000,4.000,0.000"}));
    const PreviewResult more = Preview(c, path, 20);
    EXPECT_EQ(more.Outcome, PreviewOutcome::Failed);
    EXPECT_EQ(more.Records, two.Records);
    EXPECT_NE(more.Error.find("line 24: \"x\" is not a valid floating point value"),
              std::string::npos)
        << more.Error;

    const std::atomic<bool> cancel{true};
    const PreviewResult canceled = Preview(c, path, 20, kDefaultBlockSize, &cancel);
    EXPECT_EQ(canceled.Outcome, PreviewOutcome::Canceled);
    EXPECT_TRUE(canceled.Records.empty());

    const PreviewResult missing = Preview(c, temp / "none.dxf", 20);
    EXPECT_EQ(missing.Outcome, PreviewOutcome::NotOpened);
    EXPECT_NE(missing.Error.find("cannot open this file"), std::string::npos);
}

// The table cuts records as a CSV reader does when the fields are quoted: a quoted field may
// hold the separator and doubled quotes; unquoted, every separator cuts.
TEST(PreviewTest, RecordsSplitAsTheirReaderWould) {
    struct Case {
        const char* name;
        std::string_view record;
        std::string_view separator;
        bool quoted;
        std::vector<std::string> fields;
    };
    // clang-format off
    const Case cases[] = {
        {"plain", "a,b,,c", ",", false, {"a", "b", "", "c"}},
        {"plain_keeps_quotes", "\"a,b\",c", ",", false, {"\"a", "b\"", "c"}},
        {"quoted_separator", "\"a,b\",c", ",", true, {"a,b", "c"}},
        {"doubled_quote", "\"say \"\"hi\"\"\",x", ",", true, {"say \"hi\"", "x"}},
        {"long_separator", "\"a--\"--b--", "--", true, {"a--", "b", ""}},
        {"line_break_inside", "\"1\r\n2\";3", ";", true, {"1\r\n2", "3"}},
        {"unterminated", "\"abc", ",", true, {"abc"}},
        {"empty_separator", "a,b", "", true, {"a,b"}},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(SplitRecord(c.record, c.separator, c.quoted), c.fields);
    }
}

// The preview's cells are the fields as the Data file holds them: cut where a reader cuts,
// quotes kept, so a value written quoted shows so and one that breaks its record shows in two.
TEST(PreviewTest, RecordsSplitIntoTheFieldsAsTheFileHoldsThem) {
    struct Case {
        const char* name;
        std::string_view record;
        std::string_view separator;
        std::vector<std::string_view> fields;
    };
    // clang-format off
    const Case cases[] = {
        {"plain", "a,b,,c", ",", {"a", "b", "", "c"}},
        {"unquoted_separator_breaks", "Fence post 12", " ", {"Fence", "post", "12"}},
        {"quoted_separator", "\"Fence post\" 12", " ", {"\"Fence post\"", "12"}},
        {"doubled_quote", "\"say \"\"hi, you\"\"\",x", ",", {"\"say \"\"hi, you\"\"\"", "x"}},
        {"quote_inside_unquoted", "5\" pipe,x", ",", {"5\" pipe", "x"}},
        {"line_break_inside", "\"1\r\n2\";3", ";", {"\"1\r\n2\"", "3"}},
        {"long_separator", "\"a--\"--b--", "--", {"\"a--\"", "b", ""}},
        {"unterminated", "\"abc,d", ",", {"\"abc,d"}},
        {"empty_separator", "a,b", "", {"a,b"}},
        {"empty", "", ",", {""}},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(SplitRecordAsHeld(c.record, c.separator), c.fields);
    }
}

}  // namespace
}  // namespace quarrow
