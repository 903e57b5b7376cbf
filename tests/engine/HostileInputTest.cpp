// Drawings and configuration files as users really get them (cut short, binary, wrongly
// encoded, without line feeds, with NUL bytes, floods of entities) through the run command:
// each ends in a clear message or report line, never a crash or a hang, and no input changes.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <sstream>

#include <sys/resource.h>
#include <unistd.h>

#include "cli/Cli.h"
#include "config/ConfigFile.h"
#include "config/DefaultConfig.h"
#include "config/NodeTables.h"
#include "support/CliCapture.h"
#include "support/EngineHarness.h"
#include "support/TempDir.h"

namespace quarrow {
namespace {

namespace fs = std::filesystem;
using test::ReadFileBytes;
using test::WriteFileBytes;

constexpr std::size_t kLongLine = std::size_t(50) << 20;  // 50 MiB, past the reader's cap
constexpr std::size_t kPastTheLimit = DxfLineReader::kMaxLineLength + 4096;

// Every kind and sub-option; X, Y, Z (3 decimals), type, layer, block name and text.
void HostileConfig(ExportConfig& config, ConfigTree& entities, ConfigTree& data) {
    BuildDefaultConfig(config, entities, data);
    SetDataFileExt(config, "txt");
    config.HeaderLine = 0;
    for (int node = 0; node < kEntityNodeCount; ++node) {
        config.EntityFlags[std::size_t(node)] = 1;
        EntityNodeAt(entities, node)->SetChecked(true);
    }
    for (auto& root : data.Roots) {
        const bool on = root.Index == 3 || root.Index == 6 || root.Index == 9 || root.Index == 13 ||
                        root.Index == 15 || root.Index == 19 || root.Index == 21;
        root.SetChecked(on);
        config.DataFlags[std::size_t(root.Index)] = on ? 1 : 0;
    }
}

// The same configuration as the engine harness takes it.
test::TestConfig HostileTestConfig() {
    test::TestConfig c;
    ConfigTree entities;
    ConfigTree data;
    HostileConfig(c.Config, entities, data);
    c.DataOrder = BuildDataOrder(data);
    c.SelectedKinds = BuildSelectedKinds(entities);
    return c;
}

std::string ConfigBytes() {
    ExportConfig config;
    ConfigTree entities;
    ConfigTree data;
    HostileConfig(config, entities, data);
    const auto bytes = BuildConfigFile(config, entities, data);
    return std::string(bytes.begin(), bytes.end());
}

// The bytes of a literal that holds NUL bytes, without its terminator.
template <std::size_t N>
std::string Literal(const char (&bytes)[N]) {
    return std::string(bytes, N - 1);
}

std::string Head() {
    return test::Dxf({"0", "SECTION", "2", "ENTITIES"});
}

std::string Repeat(std::string_view unit, std::size_t times) {
    std::string text;
    text.reserve(unit.size() * times);
    for (std::size_t i = 0; i < times; ++i)
        text += unit;
    return text;
}

// One complete entity of every kind, as group-code and value lines after its type line.
struct KindSample {
    int kind;                             // EntityKind
    std::vector<std::string_view> lines;  // from the type line to the last value line
};

const std::vector<KindSample>& KindSamples() {
    // clang-format off
    static const std::vector<KindSample> samples = {
        {0, {"POINT", "5", "1A", "8", "L", "10", "1", "20", "2", "30", "3"}},
        {1, {"CIRCLE", "8", "L", "10", "1", "20", "2", "30", "3", "40", "5", "210", "0", "220",
             "0", "230", "1"}},
        {2, {"ARC", "8", "L", "10", "1", "20", "2", "30", "0", "40", "1", "50", "0", "51",
             "90"}},
        {3, {"ELLIPSE", "8", "L", "10", "1", "20", "2", "30", "3", "11", "4", "21", "0", "40",
             "0.5"}},
        {4, {"LINE", "8", "L", "10", "1", "20", "2", "30", "3", "11", "4", "21", "5", "31",
             "6"}},
        {5, {"MTEXT", "8", "L", "10", "1", "20", "2", "30", "0", "3", "abc", "1", "def"}},
        {6, {"TEXT", "8", "L", "10", "1", "20", "2", "30", "0", "1", "hello"}},
        {7, {"LWPOLYLINE", "8", "L", "90", "2", "70", "0", "10", "1", "20", "2", "10", "3",
             "20", "4", "210", "0", "220", "0", "230", "1"}},
        {8, {"POLYLINE", "8", "L", "66", "1", "70", "8", "0", "VERTEX", "8", "L", "10", "1",
             "20", "2", "30", "3", "70", "32", "0", "VERTEX", "10", "4", "20", "5", "30", "6",
             "70", "32"}},
        {9, {"SPLINE", "8", "L", "70", "8", "71", "3", "10", "1", "20", "2", "30", "0", "10",
             "3", "20", "4", "30", "0", "11", "5", "21", "6", "31", "0"}},
        {10, {"3DFACE", "8", "L", "10", "0", "20", "0", "30", "0", "11", "1", "21", "0", "31",
              "0", "12", "1", "22", "1", "32", "0", "13", "0", "23", "1", "33", "0"}},
        {11, {"INSERT", "8", "L", "2", "BLK", "10", "1", "20", "2", "30", "0"}},
    };
    // clang-format on
    return samples;
}

std::string SampleText(const KindSample& s) {
    std::string text = "0\r\n";
    for (std::string_view line : s.lines) {
        text += line;
        text += "\r\n";
    }
    return text;
}

// The report's count line of a kind, as the summary writes it.
std::string CountLine(int kind, int count) {
    std::string line = "    " + std::string(kEntityKinds[std::size_t(kind)].Label) + " : " +
                       std::to_string(count) + " ";
    return kind == kKindCount - 1 ? line + "()" : line;
}

struct CliResult {
    int status = -1;
    std::string out, err;
};

struct Case {
    std::string name;
    std::function<std::string()> drawing;  // the bytes of in/a.dxf
    std::optional<std::string> config;     // the bytes of in/a.qrw (none: ConfigBytes())
    int status;
    std::string errorPart;                              // in stderr; empty: stderr is empty
    std::vector<std::string> reportLines;               // whole lines of the report
    std::function<void(const std::string&)> dataCheck;  // the Data file, when written
    bool noDataFile = false;                            // a file that is not DXF leaves none
};

bool HasLine(const std::string& text, const std::string& line) {
    std::istringstream in(text);
    for (std::string l; std::getline(in, l);)
        if (l == line)
            return true;
    return false;
}

struct InputState {
    std::string bytes;
    fs::file_time_type time;
};

InputState StateOf(const fs::path& path) {
    return {ReadFileBytes(path), fs::last_write_time(path)};
}

void RunCase(const Case& c) {
    SCOPED_TRACE(c.name);
    test::TempDir temp;
    const fs::path in = temp.Path() / "in";
    fs::create_directories(in);
    const fs::path dxf = in / "a.dxf";
    const fs::path qrw = in / "a.qrw";
    WriteFileBytes(dxf, c.drawing());
    WriteFileBytes(qrw, c.config ? *c.config : ConfigBytes());
    // Old times, so a write during the run could not keep the same time by chance.
    const auto old = fs::file_time_type::clock::now() - std::chrono::hours(24);
    fs::last_write_time(dxf, old);
    fs::last_write_time(qrw, old);
    const InputState dxfBefore = StateOf(dxf);
    const InputState qrwBefore = StateOf(qrw);

    std::ostringstream out, err;
    const auto start = std::chrono::steady_clock::now();
    const int status = RunCli({"run", "--config", qrw.string(), "--dest", temp / "out", "--log",
                               temp / "out/log.txt", dxf.string()},
                              out, err);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_LT(seconds, 20.0) << "no hang";

    EXPECT_EQ(status, c.status) << err.str().substr(0, 500);
    if (c.errorPart.empty()) {
        EXPECT_TRUE(test::IsRunTotalsAlone(err.str())) << err.str().substr(0, 500);
    } else {
        EXPECT_NE(err.str().find(c.errorPart), std::string::npos) << err.str().substr(0, 500);
        EXPECT_LT(err.str().size(), 2000u) << "a message, not a dump of the input";
    }
    for (const std::string& line : c.reportLines)
        EXPECT_TRUE(HasLine(out.str(), line)) << "missing report line \"" << line << "\"\n"
                                              << out.str().substr(0, 2000);
    const fs::path data = temp.Path() / "out" / "a.txt";
    if (status == kExitRefused) {
        EXPECT_FALSE(fs::exists(temp.Path() / "out")) << "a refused run writes nothing";
    }
    if (c.noDataFile) {
        EXPECT_FALSE(fs::exists(data)) << "a file that is not DXF leaves no Data file";
    }
    if (c.dataCheck) {
        ASSERT_TRUE(fs::exists(data));
        c.dataCheck(ReadFileBytes(data));
    }

    const InputState dxfAfter = StateOf(dxf);
    const InputState qrwAfter = StateOf(qrw);
    EXPECT_TRUE(dxfAfter.bytes == dxfBefore.bytes) << "the drawing changed";
    EXPECT_TRUE(dxfAfter.time == dxfBefore.time) << "the drawing was written";
    EXPECT_TRUE(qrwAfter.bytes == qrwBefore.bytes) << "the configuration changed";
    EXPECT_TRUE(qrwAfter.time == qrwBefore.time) << "the configuration was written";
}

const std::string kNoEntities =
    "  *** Error, this is not a valid DXF file (it has no ENTITIES section) ***";
const std::string kCutShort = "  *** Error, this is not a valid DXF file (it ends inside its "
                              "ENTITIES section: the file is cut short) ***";

std::function<void(const std::string&)> DataIs(std::string expected) {
    return [expected](const std::string& data) { EXPECT_EQ(data, expected); };
}

TEST(HostileInputTest, DrawingsEndInAMessageOrAReportLineAndStayUntouched) {
    // Why these: each is something users do receive (an empty or binary export, a file in
    // another encoding, a damaged copy without line feeds or with NUL bytes, a flood of
    // pairs), and each once could crash, hang or grow memory in readers of this kind.
    // clang-format off
    const std::vector<Case> cases = {
        {"empty_file", [] { return std::string(); }, {}, kExitSomeFilesFailed, "",
         {kNoEntities}, nullptr, true},
        // Told by its sentinel, whose Ctrl-Z ends the text: the scan never reads the binary
        // part, whatever it holds.
        {"binary_dxf",
         [] {
             return Literal("AutoCAD Binary DXF\r\n\x1a\0") +
                    Literal("\0\0SECTION\0\x02\0ENTITIES\0\0\0POINT\0\x0a\0") +
                    std::string(8, '\x7f');
         },
         {}, kExitSomeFilesFailed, "",
         {"  *** Error, this is not a valid DXF file (it is a binary DXF file, which is not "
          "read yet: save it as ASCII DXF) ***"},
         nullptr, true},
        // Its first line is no group code.
        {"utf16_with_bom",
         [] {
             std::string text = "\xFF\xFE";
             for (char ch : Head() + test::Dxf({"0", "POINT", "10", "1", "20", "2"}))
                 text += std::string{ch, '\0'};
             return text;
         },
         {}, kExitSomeFilesFailed, "",
         {"  *** Error, this is not a valid DXF file (line 1 is not a group code) ***"},
         nullptr, true},
        // Old Mac files: a lone CR ends each line.
        {"cr_only_line_ends",
         [] {
             return std::string("0\rSECTION\r2\rENTITIES\r0\rPOINT\r10\r1\r20\r2\r0\rENDSEC\r");
         },
         {}, kExitDone, "", {CountLine(0, 1)}, DataIs("1.000,2.000,0.000,POINT,!NoLayer!,,\r\n")},
        {"nul_bytes_in_texts_pass_through",
         [] {
             return Head() + test::Dxf({"0", "TEXT", "8", Literal("L\0Y"), "10",
                                        "1", "20", "2", "1", Literal("a\0b"),
                                        "0", "EOF"});
         },
         {}, kExitDone, "", {CountLine(6, 1)},
         DataIs(Literal("1.000,2.000,0.000,TEXT,L\0Y,,a\0b\r\n"))},
        {"nul_byte_in_a_coordinate",
         [] {
             return Head() + test::Dxf({"0", "POINT", "10", Literal("1\0" "2"),
                                        "20", "2", "0", "EOF"});
         },
         {}, kExitRunError, "a.dxf\", line 8: \"1\\x002\" is not a valid floating point value",
         {}, nullptr},
        {"utf8_text_passes_through_byte_for_byte",
         [] {
             return Head() + test::Dxf({"0", "TEXT", "8", "\xC3\x89tage", "10", "1", "20", "2",
                                        "1", "h\xC3\xA9llo \xE2\x82\xAC \xF0\x9F\x98\x80",
                                        "0", "EOF"});
         },
         {}, kExitDone, "", {CountLine(6, 1)},
         DataIs("1.000,2.000,0.000,TEXT,\xC3\x89tage,,h\xC3\xA9llo \xE2\x82\xAC "
                "\xF0\x9F\x98\x80\r\n")},
        {"latin1_text_passes_through",
         [] {
             return Head() + test::Dxf({"0", "TEXT", "10", "1", "20", "2", "1", "caf\xE9",
                                        "0", "EOF"});
         },
         {}, kExitDone, "", {CountLine(6, 1)},
         DataIs("1.000,2.000,0.000,TEXT,!NoLayer!,,caf\xE9\r\n")},
        {"polyline_without_seqend",
         [] {
             return Head() + test::Dxf({"0", "POLYLINE", "70", "8", "0", "VERTEX", "10", "1",
                                        "20", "2", "30", "3", "0", "VERTEX", "10", "4", "20",
                                        "5", "30", "6", "0", "EOF"});
         },
         {}, kExitDone, "", {CountLine(8, 1)},
         DataIs("1.000,2.000,3.000,3DPOLYLINE,!NoLayer!,,\r\n"
                "4.000,5.000,6.000,3DPOLYLINE,!NoLayer!,,\r\n")},
        // A million pairs that never reach a "0": the reader reads them to the end of the
        // input and holds nothing of them; the drawing is cut short there.
        {"group_codes_that_never_end",
         [] {
             return Head() + test::Dxf({"0", "POINT", "10", "1", "20", "2"}) +
                    Repeat("1001\r\nx\r\n", 1000000);
         },
         {}, kExitSomeFilesFailed, "", {kCutShort}, nullptr, true},
        {"pairs_that_never_reach_entities",
         [] { return Repeat("999\r\nENTITIESX\r\n", 1000000); }, {}, kExitSomeFilesFailed, "",
         {"  *** Error, this is not a valid DXF file (it ends before its ENTITIES section: the "
          "file is cut short) ***"},
         nullptr, true},
        // The section starts there and the input ends.
        {"entities_as_the_last_line", [] { return test::Dxf({"0", "SECTION", "2"}) + "ENTITIES"; },
         {}, kExitSomeFilesFailed, "", {kCutShort}, nullptr, true},
    };
    // clang-format on
    for (const Case& c : cases)
        RunCase(c);
}

TEST(HostileInputTest, OverlongLinesEndInAMessageOrAreCutAtTheReadersLimit) {
    // A damaged copy can lose its line feeds: the reader keeps the first 16 MiB of a line and
    // skips the rest up to its line feed, so memory stays bounded and the lines after it are
    // read as usual; a value that long that must convert is quoted short in the message. One
    // 50 MiB line; the other lines are just past the limit, which is what they test.
    // clang-format off
    const std::vector<Case> cases = {
        {"one_50MiB_line_without_line_feed", [] { return std::string(kLongLine, 'A'); }, {},
         kExitSomeFilesFailed, "", {kNoEntities}, nullptr, true},
        {"overlong_comment_before_the_entities",
         [] {
             return test::Dxf({"999"}) + std::string(kPastTheLimit, 'c') + "\r\n" + Head() +
                    test::Dxf({"0", "POINT", "10", "1", "20", "2", "0", "EOF"});
         },
         {}, kExitDone, "", {"  Processed entities count : 1", CountLine(0, 1)},
         DataIs("1.000,2.000,0.000,POINT,!NoLayer!,,\r\n")},
        {"overlong_text_value",
         [] {
             return Head() + test::Dxf({"0", "TEXT", "10", "1", "20", "2", "1"}) +
                    std::string(kPastTheLimit, 'x') + "\r\n" + test::Dxf({"0", "EOF"});
         },
         {}, kExitDone, "", {CountLine(6, 1)},
         [](const std::string& data) {
             const std::string head = "1.000,2.000,0.000,TEXT,!NoLayer!,,";
             EXPECT_EQ(data.substr(0, head.size()), head);
             EXPECT_EQ(data.size(), head.size() + DxfLineReader::kMaxLineLength + 2);
         }},
        {"overlong_coordinate",
         [] {
             return Head() + test::Dxf({"0", "POINT", "10"}) + std::string(kPastTheLimit, '7') +
                    "\r\n" + test::Dxf({"20", "2", "0", "EOF"});
         },
         {}, kExitRunError,
         "a.dxf\", line 8: \"" + std::string(100, '7') +
             "...\" is not a valid floating point value (X coordinate).",
         {}, nullptr},
    };
    // clang-format on
    for (const Case& c : cases)
        RunCase(c);
}

TEST(HostileInputTest, AnInsertFloodWithOneBlockNameEachIsTalliedInOrder) {
    // Two hundred thousand references, each to a block of its own name (bench/bounds runs a
    // million): one record and one tally line each, in order of first appearance, and the
    // names differing in letter case only share their line.
    constexpr int kInserts = 200000;
    std::string dxf = Head();
    dxf.reserve(std::size_t(kInserts) * 48);
    for (int i = 0; i < kInserts; ++i)
        dxf += "0\r\nINSERT\r\n2\r\nb" + std::to_string(i) + "\r\n10\r\n1\r\n20\r\n2\r\n";
    dxf += test::Dxf({"0", "INSERT", "2", "B7", "10", "1", "20", "2", "0", "EOF"});
    const auto start = std::chrono::steady_clock::now();
    const test::ScanRun run = test::ScanText(HostileTestConfig(), dxf);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    ASSERT_EQ(run.Result.Outcome, ScanOutcome::Done);
    EXPECT_LT(seconds, 20.0);
    const auto blocks =
        std::find(run.Report.begin(), run.Report.end(), CountLine(11, kInserts + 1));
    ASSERT_NE(blocks, run.Report.end());
    ASSERT_EQ(run.Report.end() - blocks, kInserts + 2);  // the tally lines, then the separator
    EXPECT_EQ(blocks[1], "      b0 : 1");
    EXPECT_EQ(blocks[8], "      b7 : 2");
    EXPECT_EQ(blocks[kInserts], "      b" + std::to_string(kInserts - 1) + " : 1");
    EXPECT_EQ(std::count(run.Data.begin(), run.Data.end(), '\n'), kInserts + 1);
}

#if defined(__SANITIZE_ADDRESS__)
#define QUARROW_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QUARROW_ASAN 1
#endif
#endif

#ifndef QUARROW_ASAN
// In a death-test child: limits the address space to what is in use plus 64 MiB, scans, and
// exits 0 when the scan failed (its message on stderr).
[[noreturn]] void ScanWithLittleMemoryLeft(const test::TestConfig& config, const std::string& dxf) {
    long pages = 0;
    if (std::FILE* statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%ld", &pages) != 1)
            pages = 0;
        std::fclose(statm);
    }
    const rlim_t used = rlim_t(pages) * rlim_t(::sysconf(_SC_PAGESIZE));
    const rlimit limit{used + (rlim_t(64) << 20), RLIM_INFINITY};
    if (pages == 0 || ::setrlimit(RLIMIT_AS, &limit) != 0)
        std::_Exit(2);
    const test::ScanRun run = test::ScanText(config, dxf);
    std::fprintf(stderr, "%s\n", run.Result.Error.c_str());
    std::_Exit(run.Result.Outcome == ScanOutcome::Failed ? 0 : 1);
}
#endif

TEST(HostileInputTest, AnEntityLargerThanTheMemoryLeftEndsTheRunWithAMessage) {
#ifdef QUARROW_ASAN
    GTEST_SKIP() << "an address-space limit and the sanitizer's shadow memory do not mix";
#else
    // A polyline of five million vertices is held whole until its end (its extrusion comes
    // last); with 64 MiB of address space left it cannot be, and the run must end on a
    // message instead of the program ending. Run in a child, whose limit dies with it.
    std::string dxf = Head() + test::Dxf({"0", "LWPOLYLINE"});
    for (int i = 0; i < 5000000; ++i)
        dxf += "10\n1.5\n20\n2.5\n";
    const test::TestConfig config = HostileTestConfig();
    EXPECT_EXIT(ScanWithLittleMemoryLeft(config, dxf), ::testing::ExitedWithCode(0),
                "Not enough memory");
#endif
}

TEST(HostileInputTest, BrokenConfigurationFilesAreRefusedBeforeTheRun) {
    // A configuration cut short (a copy that stopped half-way), with a damaged byte, of
    // another kind, or empty: the run is refused with the reader's message, nothing is
    // written, and neither the configuration nor the drawing is touched.
    const auto point = [] { return Head() + test::Dxf({"0", "POINT", "10", "1", "20", "2"}); };
    std::string badMarker = ConfigBytes();
    badMarker[kEntityStreamOffset] = 'X';
    std::string badVersion = ConfigBytes();
    badVersion[kEntityStreamOffset + 6] = 9;
    std::string badChunk = ConfigBytes();
    badChunk[kEntityStreamOffset + 16] = 7;  // the first node record's type
    // clang-format off
    const std::vector<Case> cases = {
        {"empty", point, std::string(), kExitRefused, "This is not a Quarrow configuration file",
         {}, nullptr},
        {"a_drawing_given_as_configuration", point, point(), kExitRefused,
         "This is not a Quarrow configuration file", {}, nullptr},
        {"cut_in_the_fields", point, ConfigBytes().substr(0, 600), kExitRefused,
         "Unable to load tree structure, not enough data available.", {}, nullptr},
        {"cut_in_the_entity_tree", point, ConfigBytes().substr(0, 9000), kExitRefused,
         "Stream data corrupt.", {}, nullptr},
        {"cut_one_byte_short", point, ConfigBytes().substr(0, kConfigFileSize - 1),
         kExitRefused, "Stream data corrupt.", {}, nullptr},
        {"damaged_marker", point, badMarker, kExitRefused,
         "Unable to load tree structure, the format is wrong.", {}, nullptr},
        {"unknown_version", point, badVersion, kExitRefused,
         "Unable to load tree structure, the version is unknown.", {}, nullptr},
        {"missing_anchor_chunk", point, badChunk, kExitRefused,
         "Stream data corrupt. A node's anchor chunk is missing.", {}, nullptr},
    };
    // clang-format on
    for (const Case& c : cases)
        RunCase(c);
}

TEST(HostileInputTest, AFileEndingInsideAnEntityOfEachKindIsRefusedAsCutShort) {
    // Every kind cut right after its last value line, without the "0" that would close it:
    // what it gathered may be cut too (a Y of "54321" for "5432103.752"), so no Data file.
    std::vector<Case> cases;
    for (const KindSample& s : KindSamples()) {
        const std::string cut = Head() + SampleText(s);
        ASSERT_FALSE(
            test::ScanText(HostileTestConfig(), cut + test::Dxf({"0", "EOF"})).Data.empty())
            << s.lines[0];
        cases.push_back({std::string(s.lines[0]),
                         [cut] { return cut; },
                         {},
                         kExitSomeFilesFailed,
                         "",
                         {kCutShort},
                         nullptr,
                         true});
    }
    for (const Case& c : cases)
        RunCase(c);
}

TEST(HostileInputTest, ACutAtEveryByteOfEveryKindIsRefusedAsCutShort) {
    // The file may end anywhere: inside a group code, a value, a CR LF, the ENDSEC. Each cut
    // is refused as cut short, never converted and never a conversion error of a cut value,
    // at every block size that puts the cut on a block edge; the whole drawing converts.
    const test::TestConfig config = HostileTestConfig();
    const std::string end = test::Dxf({"0", "ENDSEC"});
    for (const KindSample& s : KindSamples()) {
        const std::string whole = Head() + SampleText(s) + end;
        ASSERT_EQ(test::ScanText(config, whole).Result.Outcome, ScanOutcome::Done);
        // Up to the last byte of "ENDSEC": its line end may be missing.
        for (std::size_t size = Head().size(); size < whole.size() - 2; ++size) {
            SCOPED_TRACE(std::string(s.lines[0]) + " cut at " + std::to_string(size));
            for (const std::size_t block :
                 {std::size_t(1), std::size_t(7), DxfLineReader::kDefaultBlockSize}) {
                const test::ScanRun run = test::ScanText(config, whole.substr(0, size), block);
                ASSERT_EQ(run.Result.Outcome, ScanOutcome::NotDxf) << run.Result.Error;
                EXPECT_EQ(run.Result.NotValid, NotValidReason::CutShort);
                EXPECT_EQ(run.Report, (std::vector<std::string>{kCutShort, kReportSeparator}));
            }
        }
    }
}

}  // namespace
}  // namespace quarrow
