#include "detail/DxfScan.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <filesystem>

#include "config/NodeTables.h"
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
    c.Entities({EntityNode::Points, EntityNode::Lines, EntityNode::LineStartPoint,
                EntityNode::LineEndPoint});
    c.Data({DataNode::X, DataNode::Y});
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
    // clang-format off
    const Case cases[] = {
        {"empty_file", "", ScanOutcome::NotDxf, ""},
        {"blanks_around_entities", "0\nSECTION\n2\n \t ENTITIES  \n" + point, ScanOutcome::Done,
         "1.000,2.000\r\n"},
        {"lower_case_not_found", "0\nSECTION\n2\nentities\n" + point, ScanOutcome::NotDxf, ""},
        {"entities_is_last_line", point + "ENTITIES", ScanOutcome::NotDxf, ""},
        {"entities_last_with_lf", point + "ENTITIES\r\n", ScanOutcome::NotDxf, ""},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const test::ScanRun run = ScanText(PointsAndLines(), c.dxf);
        EXPECT_EQ(run.Result.Outcome, c.outcome);
        EXPECT_EQ(run.Data, c.data);
        if (c.outcome == ScanOutcome::NotDxf) {
            EXPECT_EQ(run.Report,
                      (std::vector<std::string>{"  *** Error, this is not a valid DXF file (it "
                                                "has no ENTITIES section) ***",
                                                kSep}));
        }
    }
}

TEST(DxfScanTest, TypeLinesMatchExactlyWhereverTheyStand) {
    const TestConfig c = PointsAndLines();
    // " LINE" and "LINE " start nothing; a layer named LINE, even of an entity no reader
    // consumes (a HATCH), is a value and starts nothing either.
    const std::string dxf =
        Entities({"0", "LINE ", "10", "5",    "20", "5", "0",  " LINE", "10", "6", "20", "6",
                  "0", "HATCH", "8",  "LINE", "10", "7", "20", "7",     "11", "8", "21", "8",
                  "0", "LINE",  "10", "1",    "20", "2", "11", "3",     "21", "4"});
    const test::ScanRun run = ScanText(c, dxf);
    EXPECT_EQ(run.Result.Outcome, ScanOutcome::Done);
    EXPECT_EQ(run.Data, "1.000,2.000\r\n3.000,4.000\r\n");
    EXPECT_EQ(run.Report[0], "  Processed entities count : 1");
}

TEST(DxfScanTest, SummaryHasALinePerSelectedKindTheFilterAndTheTally) {
    TestConfig c = test::AllKindsConfig();
    c.Entities({EntityNode::Points, EntityNode::Splines,
                EntityNode::Blocks});  // Splines selected but absent: its line says 0
    c.Filter("A*, B");
    const std::string dxf = Entities({"0", "INSERT", "2",  "Apple", "0",  "INSERT", "2", "B",
                                      "0", "INSERT", "2",  "APPLE", "0",  "INSERT", "2", "C",
                                      "0", "POINT",  "10", "1",     "20", "1"});
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

TEST(DxfScanTest, RecordsAreCountedPerKindOfTheEntityThatWroteThem) {
    // A line gives two records (start, end), a polyline one per vertex, a paper-space point
    // and a rejected block reference none: per-kind counts are records, not entities.
    TestConfig c = test::AllKindsConfig();
    c.Filter("A*");
    const std::string dxf = Entities(
        {"0",     "POINT", "10", "1",  "20", "1",     "0",          "LINE", "10",     "0",  "20",
         "0",     "11",    "1",  "21", "1",  "0",     "LWPOLYLINE", "90",   "3",      "10", "0",
         "20",    "0",     "10", "1",  "20", "0",     "10",         "1",    "20",     "1",  "0",
         "POINT", "67",    "1",  "10", "5",  "20",    "5",          "0",    "INSERT", "2",  "B",
         "10",    "0",     "20", "0",  "0",  "POINT", "10",         "2",    "20",     "2"});
    const test::ScanRun run = ScanText(c, dxf);
    ASSERT_EQ(run.Result.Outcome, ScanOutcome::Done);
    std::array<std::int64_t, kKindCount> expected{};
    expected[std::size_t(EntityKind::Points)] = 2;
    expected[std::size_t(EntityKind::Lines)] = 2;
    expected[std::size_t(EntityKind::Polylines2D)] = 3;
    EXPECT_EQ(run.Result.File.KindRecords, expected);
    EXPECT_EQ(run.Result.File.Records, 7);
}

TEST(DxfScanTest, NoRecordsWarningCountsEachEntityOfAKindNotSelectedOnce) {
    // Points and lines are selected. The parts of an entity (the attributes and SEQEND of a
    // block reference that is not read, the vertices of a polyline) are not entities of their
    // own; a paper-space entity of a selected kind is counted as paper space only.
    struct Case {
        const char* name;
        std::string dxf;
        std::int64_t paper;
        std::int64_t others;
    };
    // clang-format off
    const Case cases[] = {
        {"circle_and_hatch", Entities({"0", "CIRCLE", "10", "0", "20", "0", "40", "1",
                                       "0", "HATCH", "2", "SOLID"}), 0, 2},
        {"insert_with_attributes", Entities({"0", "INSERT", "66", "1", "2", "B", "10", "0",
                                             "20", "0", "0", "ATTRIB", "2", "T", "1", "v",
                                             "0", "ATTRIB", "2", "U", "1", "w", "0", "SEQEND"}),
         0, 1},
        {"polyline_with_vertices", Entities({"0", "POLYLINE", "70", "8", "0", "VERTEX", "10",
                                             "1", "20", "2", "0", "VERTEX", "10", "3", "20", "4",
                                             "0", "SEQEND"}), 0, 1},
        {"paper_point_and_line", Entities({"0", "POINT", "67", "1", "10", "1", "20", "2",
                                           "0", "LINE", "67", "1", "10", "0", "20", "0", "11", "1",
                                           "21", "1", "0", "TEXT", "1", "x"}), 2, 1},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const test::ScanRun run = ScanText(PointsAndLines(), c.dxf);
        ASSERT_EQ(run.Result.Outcome, ScanOutcome::Done);
        const FileReport& file = run.Result.File;
        EXPECT_EQ(file.Records, 0);
        EXPECT_EQ(file.PaperSpaceLeftOut, c.paper);
        EXPECT_EQ(file.OtherKindEntities, c.others);
        ASSERT_EQ(file.Warnings.size(), 1u);
        EXPECT_EQ(file.Warnings[0].What, FileWarning::Kind::NoRecords);
        EXPECT_EQ(file.Warnings[0].Text, "this drawing gave no records (" +
                                             std::to_string(c.paper) +
                                             " entities in paper space, " +
                                             std::to_string(c.others) + " of kinds not selected)");
        // The log's block has no line of it.
        EXPECT_EQ(run.Report.back(), kSep);
        EXPECT_EQ(std::count_if(run.Report.begin(), run.Report.end(),
                                [](const std::string& line) {
                                    return line.find("Warning") != std::string::npos;
                                }),
                  0);
    }
    // A block reference the block-name filter rejects is of a selected kind: said apart.
    TestConfig blocks = PointsAndLines();
    blocks.Entities({EntityNode::Points, EntityNode::Blocks});
    blocks.Filter("A*");
    const test::ScanRun filtered = ScanText(
        blocks, Entities({"0", "INSERT", "2",  "B", "10", "0", "20", "0",      "0",  "INSERT",
                          "2", "C",      "10", "0", "20", "0", "0",  "CIRCLE", "40", "1"}));
    ASSERT_EQ(filtered.Result.File.Warnings.size(), 1u);
    EXPECT_EQ(filtered.Result.File.Warnings[0].Text,
              "this drawing gave no records (0 entities in paper space, 1 of kinds not selected, "
              "2 left out by the block-name filter)");
    // A drawing with a record has no such warning.
    const test::ScanRun point = ScanText(PointsAndLines(), Entities({"0", "POINT", "10", "1"}));
    EXPECT_TRUE(point.Result.File.Warnings.empty());
}

TEST(DxfScanTest, CancelStopsBeforeTheNextLineWithoutSummary) {
    TestConfig c = PointsAndLines();
    RunSettings settings(c.Config, c.DataOrder, c.SelectedKinds);
    RunCounters counters;
    std::atomic<bool> cancel{true};
    ScanEnvironment env{settings, counters, cancel};
    const std::string dxf = Entities({"0", "POINT", "10", "1", "20", "2"});
    MemoryByteSource source(dxf);
    DxfLineReader in(source);
    DataOutput out;
    EXPECT_EQ(ScanDxfInput(env, in, out, "a.dxf", "a.csv").Outcome, ScanOutcome::Canceled);
    EXPECT_EQ(out.Buffer(), "");
}

TEST(DxfScanTest, ABadStartAtOptionIsNamedByItsItem) {
    const struct {
        int option;
        const char* text;
        const char* error;
    } cases[] = {
        {kLineStartOption, "one",
         "Error in DXF file \"a.dxf\", before line 1: \"one\" is not a valid integer value "
         "(Line Number, \"Start at :\")."},
        {kGroupStartOption, "1.5",
         "Error in DXF file \"a.dxf\", before line 1: \"1.5\" is not a valid integer value "
         "(Group Number, \"Start at :\")."},
    };
    for (const auto& c : cases) {
        TestConfig config = PointsAndLines();
        config.Option(c.option, c.text);
        RunCounters counters;
        const int refused = ApplyStartAtOptions(config.Config, counters);
        ASSERT_EQ(refused, c.option);
        EXPECT_EQ(StartAtErrorText(config.Config, refused, "a.dxf"), c.error);
    }
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
    badForcedZ.Data({DataNode::X, DataNode::Z}).Option(kZForceOption, " 1,5 ");
    TestConfig forcedZBadDecimals = badForcedZ;
    forcedZBadDecimals.Option(kZForceOption, "100").Option(kZDecimalsOption, "");
    // Line numbers are 1-based lines of the file: the ENTITIES header takes lines 1 to 4.
    // clang-format off
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
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const test::ScanRun run = ScanText(c.config, c.dxf);
        EXPECT_EQ(run.Result.Outcome, ScanOutcome::Failed);
        EXPECT_EQ(run.Result.Error, c.error);
    }
}

TEST(DxfScanTest, DrawingsAreReadAsPairsWithinTheEntitiesSection) {
    // Points and lines selected; records X,Y.
    struct Case {
        const char* name;
        std::string dxf;
        ScanOutcome outcome;
        std::string data;               // when Done (a file that is not DXF leaves none)
        std::vector<std::string> tail;  // the report's lines after the count lines
    };
    const std::string section = Dxf({"0", "SECTION", "2", "ENTITIES"});
    const std::string point = Dxf({"0", "POINT", "10", "1", "20", "2"});
    const std::string end = Dxf({"0", "ENDSEC"});
    const std::string onePoint = "1.000,2.000\r\n";
    const std::string cutShort = "  *** Error, this is not a valid DXF file (it ends inside its "
                                 "ENTITIES section: the file is cut short) ***";
    const auto notCode = [](int line) {
        return "  *** Error, this is not a valid DXF file (line " + std::to_string(line) +
               " is not a group code) ***";
    };
    // clang-format off
    const Case cases[] = {
        // The section is found by its pairs only.
        {"bom_then_leading_zero_codes",
         "\xEF\xBB\xBF" "0\r\nSECTION\r\n002\r\nENTITIES\r\n" + point + end, ScanOutcome::Done,
         onePoint, {kSep}},
        {"block_named_entities_is_no_section",
         Dxf({"0", "SECTION", "2", "BLOCKS", "0", "BLOCK", "2", "ENTITIES", "0", "POINT", "10",
              "9", "20", "9", "0", "ENDBLK", "0", "ENDSEC"}) + section + point + end,
         ScanOutcome::Done, onePoint, {kSep}},
        {"entities_as_a_value_of_another_code",
         Dxf({"0", "SECTION", "1", "ENTITIES"}) + point + Dxf({"0", "EOF"}), ScanOutcome::NotDxf,
         "", {"  *** Error, this is not a valid DXF file (it has no ENTITIES section) ***", kSep}},
        {"nothing_after_eof_is_searched",
         Dxf({"0", "SECTION", "2", "HEADER", "0", "ENDSEC", "0", "EOF"}) + section + point + end,
         ScanOutcome::NotDxf, "",
         {"  *** Error, this is not a valid DXF file (it has no ENTITIES section) ***", kSep}},
        // After ENDSEC nothing is read: OBJECTS, a group named POINT, a broken line.
        {"nothing_after_endsec",
         section + point + Dxf({"0", " ENDSEC ", "0", "POINT", "10", "5", "20", "5", "x", "y"}),
         ScanOutcome::Done, onePoint, {kSep}},
        {"endsec_as_a_value_ends_nothing",
         section + Dxf({"0", "HATCH", "2", "ENDSEC", "8", "ENDSEC"}) + point + end,
         ScanOutcome::Done, onePoint, {kSep}},
        // (0, EOF) ends the section too: a writer that leaves out ENDSEC.
        {"eof_ends_the_section", section + point + Dxf({"0", "EOF", "x", "y"}), ScanOutcome::Done,
         onePoint, {kSep}},
        {"no_section_end_is_cut_short", section + point, ScanOutcome::NotDxf, "",
         {cutShort, kSep}},
        // A code line that is no whole number makes the file invalid, wherever it stands.
        {"bad_code_in_the_header",
         Dxf({"0", "SECTION", "2", "HEADER", "9.5", "$X"}) + section + end,
         ScanOutcome::NotDxf, "", {notCode(5), kSep}},
        {"bad_code_in_an_entity", section + point + Dxf({"1O", "x"}) + end, ScanOutcome::NotDxf, "",
         {notCode(11), kSep}},
        {"bad_code_in_a_skipped_entity", section + Dxf({"0", "HATCH", "+2", "x"}) + point + end,
         ScanOutcome::NotDxf, "", {notCode(7), kSep}},
        {"bad_code_in_a_polyline", section + Dxf({"0", "POLYLINE", "70", "0", "0", "VERTEX",
                                                  "ten", "1"}),
         ScanOutcome::NotDxf, "", {notCode(11), kSep}},
        // ...but a last code line without its value is the end of the input.
        {"last_code_line_alone", section + point + "garbage", ScanOutcome::NotDxf, "",
         {cutShort, kSep}},
        // Paper space: read through, converting nothing, counted apart.
        {"paper_space_left_out",
         section +
             Dxf({"0", "LINE", "67", "1", "10", "bad", "20", "0", "0", "POINT", "67", "1", "10",
                  "1,5", "0", "POINT", "10", "3", "67", "1", "20", "4"}) +
             point + end,
         ScanOutcome::Done, "3.000,4.000\r\n" + onePoint,
         {"    Paper space entities left out : 2", kSep}},
        // The byte 26 still ends the text: before the section's end, the drawing is cut
        // short there; after it, it ends nothing that is read.
        {"ctrl_z_then_more_drawing", section + point + "\x1a" + point + end, ScanOutcome::NotDxf,
         "", {cutShort, kSep}},
        {"ctrl_z_mid_line", section + point + "0\r\nPO\x1aINT\r\n" + end, ScanOutcome::NotDxf,
         "", {cutShort, kSep}},
        {"ctrl_z_then_filler_only", section + point + "\x1a\r\n \t\x1a" + std::string(1, '\0'),
         ScanOutcome::NotDxf, "", {cutShort, kSep}},
        {"ctrl_z_inside_endsec", section + point + "0\r\nEND\x1aSEC\r\n", ScanOutcome::NotDxf,
         "", {cutShort, kSep}},
        {"ctrl_z_after_endsec", section + point + end + "\x1a" + "0\r\nEOF", ScanOutcome::Done,
         onePoint, {kSep}},
    };
    // clang-format on
    TestConfig c = PointsAndLines();
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        const test::ScanRun run = ScanText(c, k.dxf);
        EXPECT_EQ(run.Result.Outcome, k.outcome) << run.Result.Error;
        std::vector<std::string> tail = run.Report;
        if (k.outcome == ScanOutcome::Done) {
            EXPECT_EQ(run.Data, k.data);
            // The count lines first: entity count, empty line, Points, Lines.
            ASSERT_GE(tail.size(), 4u);
            tail.erase(tail.begin(), tail.begin() + 4);
        }
        EXPECT_EQ(tail, k.tail);
    }
}

TEST(DxfScanTest, RecordsWithAQuotedValueAreCountedAndWarnedOf) {
    // Lot 12, Block B written with the comma, quoting off: quoted, else a reader of the Data
    // file would see one field more.
    const std::string dxf =
        Entities({"0",  "TEXT", "8",  "L",   "10", "1.5", "20", "2",     "1", "Lot 12, Block B",
                  "0",  "TEXT", "8",  "L,2", "10", "3",   "20", "4",     "1", "plain",
                  "0",  "TEXT", "10", "5",   "20", "6",   "1",  "plain", "0", "POINT",
                  "67", "1",    "10", "0",   "20", "0"});
    const auto warning = [](int n) {
        return "  *** Warning, " + std::to_string(n) +
               " records hold the field separator, a line break or a leading quote inside a "
               "value: those values are quoted ***";
    };
    struct Case {
        const char* name;
        const char* separator;
        std::vector<int> data;
        const char* xPrefix;
        std::string expected;  // the warning line, or "" for none
    };
    // clang-format off
    const Case cases[] = {
        {"comma_in_text_and_layer", ",", {3, 15, 21}, "", warning(2)},
        {"texts_not_exported", ",", {3, 6}, "", ""},
        {"prefix_holds_it", ";", {3, 6}, "X;", warning(3)},
        {"a_point_in_every_number", ".", {3, 6}, "", warning(3)},
        {"two_characters_across_fields", ", ", {21, 3}, "", warning(1)},
        {"tab_nowhere", "\t", {3, 15, 21}, "", ""},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestConfig config = test::AllKindsConfig();
        config.Entities({EntityNode::Points, EntityNode::SingleLineText}).Separator(c.separator);
        config.DataOrder.fill(-1);
        for (std::size_t i = 0; i < c.data.size(); ++i)
            config.DataOrder[i] = c.data[i];
        config.Option(DataNode::XPrefix, c.xPrefix);
        const test::ScanRun run = ScanText(config, dxf);
        ASSERT_EQ(run.Result.Outcome, ScanOutcome::Done) << run.Result.Error;
        // After the count lines and the paper-space line, before the separator line.
        const std::size_t n = run.Report.size();
        ASSERT_GE(n, 3u);
        if (c.expected.empty()) {
            EXPECT_EQ(run.Report[n - 2], "    Paper space entities left out : 1");
        } else {
            EXPECT_EQ(run.Report[n - 3], "    Paper space entities left out : 1");
            EXPECT_EQ(run.Report[n - 2], c.expected);
        }
        EXPECT_EQ(run.Report[n - 1], kSep);
    }
}

TEST(DxfScanTest, ADrawingCutAtAnyByteBeforeItsSectionEndIsRefusedAsCutShort) {
    // A drawing made by another program (ezdxf), cut at every byte up to the last one of its
    // ENTITIES section's "ENDSEC" (its line end may be missing): never converted, never a
    // conversion error of a cut value; on two threads at every 13th byte.
    const TestConfig c = test::AllKindsConfig();
    const std::string dxf = test::CadDrawing("survey-blocks.dxf");
    const std::size_t entities = dxf.find("\nENTITIES\n");
    const std::size_t sectionEnd = dxf.find("\nENDSEC", entities) + 7;
    ASSERT_NE(entities, std::string::npos);
    ASSERT_EQ(test::ScanText(c, dxf.substr(0, sectionEnd)).Result.Outcome, ScanOutcome::Done);
    for (std::size_t size = 1; size < sectionEnd; ++size) {
        SCOPED_TRACE("cut at " + std::to_string(size));
        const std::string_view part(dxf.data(), size);
        // Until the whole word ENTITIES is read, the section has not started.
        const NotValidReason reason =
            size < entities + 9 ? NotValidReason::CutBeforeEntities : NotValidReason::CutShort;
        const test::ScanRun run =
            test::ScanTextOnce(c, part, DxfLineReader::kDefaultBlockSize, {}, 0);
        ASSERT_EQ(run.Result.Outcome, ScanOutcome::NotDxf) << run.Result.Error;
        ASSERT_EQ(run.Result.NotValid, reason);
        ASSERT_EQ(run.Report, (std::vector<std::string>{
                                  "  *** Error, " + NotValidDxfText(reason) + " ***", kSep}));
        if (size % 13 == 0) {
            const test::ScanRun two =
                test::ScanTextOnce(c, part, DxfLineReader::kDefaultBlockSize, {}, 512);
            EXPECT_EQ(two.Result.Outcome, ScanOutcome::NotDxf);
            EXPECT_EQ(two.Report, run.Report);
        }
    }
}

// Returns the drawing with a lone CR ending each line, as old Mac programs wrote it.
std::string WithLoneCrs(std::string_view dxf) {
    std::string text;
    for (std::size_t i = 0; i < dxf.size(); ++i) {
        if (dxf[i] == '\r' && i + 1 < dxf.size() && dxf[i + 1] == '\n')
            continue;
        text += dxf[i] == '\n' ? '\r' : dxf[i];
    }
    return text;
}

TEST(DxfScanTest, DrawingsWithLoneCrLineEndsReadAsTheirLineFeedCopies) {
    // The sample drawings and one of another program, their line ends made lone CRs (and a
    // stray LF after some): the same Data and report at every block size, on one thread and
    // in segments on two (ScanText).
    const TestConfig c = test::AllKindsConfig();
    std::vector<std::string> drawings = {test::CadDrawing("survey-blocks.dxf"),
                                         test::CadDrawing("mtext-codes.dxf")};
    for (const auto& entry : std::filesystem::directory_iterator(
             std::filesystem::path(QUARROW_SOURCE_DIR) / "data" / "samples"))
        if (entry.path().extension() == ".dxf")
            drawings.push_back(test::ReadFileBytes(entry.path()));
    for (const std::string& dxf : drawings) {
        const test::ScanRun reference = ScanText(c, dxf);
        ASSERT_EQ(reference.Result.Outcome, ScanOutcome::Done) << reference.Result.Error;
        std::string crs = WithLoneCrs(dxf);
        const std::size_t at = crs.find('\r', crs.size() / 2) + 1;
        ASSERT_GT(at, 0u);
        crs = crs.substr(0, at) + "\n" + crs.substr(at);  // dropped
        for (const std::size_t blockSize :
             {std::size_t(1), std::size_t(2), std::size_t(3), std::size_t(7), std::size_t(64),
              DxfLineReader::kDefaultBlockSize}) {
            SCOPED_TRACE(blockSize);
            const test::ScanRun run = ScanText(c, crs, blockSize);
            EXPECT_EQ(run.Data, reference.Data);
            EXPECT_EQ(run.Report, reference.Report);
        }
    }
}

TEST(DxfScanTest, ALargeDrawingWithLoneCrLineEndsReadsTheSameOnTwoThreads) {
    // Over 2 MiB: the second thread reads every other MiB ahead, finding its chunks' first
    // lines by lone CRs.
    TestConfig c = test::AllKindsConfig();
    c.Data({DataNode::LineNumber, DataNode::X, DataNode::Y, DataNode::EntityLayer,
            DataNode::GroupNumber});
    std::string dxf = test::Dxf({"0", "SECTION", "2", "ENTITIES"});
    const std::string layers[] = {"L0", "L1", "L2"};
    for (int i = 0; dxf.size() < (std::size_t(5) << 19); ++i)
        dxf += test::Dxf({"0", "POINT", "8", layers[i % 3], "10", std::to_string(i), "20", "2.5",
                          "0", "LINE", "10", "1", "20", "2", "11", "3", "21", "4"});
    dxf += test::Dxf({"0", "ENDSEC", "0", "EOF"});
    const test::ScanRun reference =
        test::ScanTextOnce(c, dxf, DxfLineReader::kDefaultBlockSize, {}, 0);
    ASSERT_EQ(reference.Result.Outcome, ScanOutcome::Done);
    const test::ScanRun two = test::ScanTextOnce(
        c, WithLoneCrs(dxf), DxfLineReader::kDefaultBlockSize, {}, kDefaultSegmentSize);
    test::ExpectSameScan(two, reference);
}

TEST(DxfScanTest, SampleDrawingsGiveTheSameBytesAtEveryBlockSize) {
    const TestConfig c = test::AllKindsConfig();
    const std::filesystem::path samples =
        std::filesystem::path(QUARROW_SOURCE_DIR) / "data" / "samples";
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

}  // namespace
}  // namespace quarrow
