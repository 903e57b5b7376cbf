#include "engine/ProcessingRun.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <thread>

#include "config/NodeTables.h"
#include "support/BytesAssert.h"
#include "support/EngineHarness.h"
#include "support/TempDir.h"

namespace quarrow {
namespace {

namespace fs = std::filesystem;
using test::ReadFileBytes;
using test::SameBytes;
using test::TestConfig;
using test::WriteFileBytes;

const fs::path kRunData = fs::path(QUARROW_TEST_DATA) / "run";
constexpr const char* kDate = "01/02/2027 10:11:12";

// Replaces every occurrence of what by with.
std::string ReplaceAll(std::string text, const std::string& what, const std::string& with) {
    for (std::size_t at = text.find(what); at != std::string::npos;
         at = text.find(what, at + with.size()))
        text.replace(at, what.size(), with);
    return text;
}

struct RunFolders {
    test::TempDir temp;
    std::string in = temp / "in";
    std::string out = temp / "out";
    std::string log = temp / "QuarrowLog.txt";

    RunFolders() {
        fs::create_directories(in);
        fs::create_directories(out);
        for (const char* name : {"a.dxf", "b.dxf"})
            fs::copy_file(kRunData / "input" / name, fs::path(in) / name);
    }
    RunRequest Request(const std::vector<std::string>& names) const {
        RunRequest request;
        for (const auto& name : names)
            request.Entries.push_back(MakeListEntry(in, name, true));
        request.DestFolder = out;
        request.DateTimeText = kDate;
        request.LogPath = log;
        return request;
    }
    // The log with the temporary folders replaced by @IN@ and @OUT@.
    std::string Log() const {
        return ReplaceAll(ReplaceAll(ReadFileBytes(log), in + "/", "@IN@/"), out + "/", "@OUT@/");
    }
};

RunResult RunFiles(TestConfig& c, RunCounters& counters, const RunRequest& request,
                   RunObserver* observer = nullptr) {
    std::atomic<bool> cancel{false};
    return ProcessSelectedFiles(c.Config, c.DataOrder, c.SelectedKinds, counters, cancel, observer,
                                request);
}

TEST(ProcessingRunTest, DataFilesAndLogMatchTheFixtures) {
    struct Case {
        const char* name;  // folder of the expected files under tests/data/run/
        TestConfig config;
        RunCounters counters;  // as an earlier run left them
    };
    // The header line with prefixes and all three counters; LineFeed with a forced Z and the
    // label; blank Start-at texts that let the counters run on across files and runs.
    TestConfig header = test::AllKindsConfig();
    header
        .Entities({EntityNode::Points, EntityNode::Lines, EntityNode::LineStartPoint,
                   EntityNode::LineEndPoint})
        .Header(true)
        .Separator(";");
    header.Data({DataNode::LineNumber, DataNode::X, DataNode::Y, DataNode::Z,
                 DataNode::EntityHandle, DataNode::EntityLayer, DataNode::EntityType,
                 DataNode::SequentialNumber, DataNode::GroupNumber});
    header.Option(DataNode::LineNumberPrefix, "N")
        .Option(DataNode::SequentialNumberPrefix, "S")
        .Option(DataNode::GroupNumberPrefix, "G");
    header.Option(kXDecimalsOption, "2").Option(kYDecimalsOption, "2");
    TestConfig linefeed = test::AllKindsConfig();
    linefeed
        .Entities({EntityNode::Points, EntityNode::Lines, EntityNode::LineStartPoint,
                   EntityNode::LineEndPoint})
        .Header(true)
        .Separator("\r\n");
    linefeed.Data({DataNode::Label, DataNode::Z, DataNode::X, DataNode::Y});
    linefeed.Option(DataNode::LabelPrefix, "L=").Option(kLabelTextOption, "ABC");
    linefeed.Option(kZForceOption, " 100").Option(kZDecimalsOption, "2");
    TestConfig blank = test::AllKindsConfig();
    blank.Entities({EntityNode::Points, EntityNode::Lines, EntityNode::LineStartPoint,
                    EntityNode::LineEndPoint});
    blank.Data(
        {DataNode::LineNumber, DataNode::GroupNumber, DataNode::SequentialNumber, DataNode::X});
    blank.Option(kLineStartOption, "").Option(kGroupStartOption, "  ");
    // clang-format off
    const Case cases[] = {
        {"header_counters", header, {}},
        {"linefeed_forced_z_label", linefeed, {}},
        {"blank_start_runs_on", blank, {41, 0, 7}},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RunFolders folders;
        TestConfig config = c.config;
        config.Config.DataFileExt = "csv";
        RunCounters counters = c.counters;
        const RunResult result = RunFiles(config, counters, folders.Request({"a", "b"}));
        ASSERT_EQ(result.Status, RunStatus::Done) << result.Message;
        EXPECT_EQ(result.LogError, "");
        const fs::path expected = kRunData / c.name;
        EXPECT_TRUE(SameBytes(ReadFileBytes(expected / "QuarrowLog.txt"), folders.Log()));
        for (const char* data : {"a.csv", "b.csv"}) {
            SCOPED_TRACE(data);
            EXPECT_TRUE(SameBytes(ReadFileBytes(expected / data),
                                  ReadFileBytes(fs::path(folders.out) / data)));
        }
    }
}

TEST(ProcessingRunTest, ChecksBeforeARunGiveTheMessageAndTheFocus) {
    struct Case {
        const char* name;
        const char* extension;
        std::vector<int> entityNodes;  // checked entity-tree nodes
        std::vector<int> dataItems;    // checked data-tree roots
        std::string_view message;
        RunFocus focus;
    };
    // Each check in its order: a blank extension wins over everything else.
    // clang-format off
    const Case cases[] = {
        {"blank_extension", "  ", {}, {}, kMsgEnterExtension, RunFocus::ExtensionField},
        {"leading_blank_passes", " csv", {0}, {3}, "", RunFocus::None},
        {"no_kind", "csv", {}, {3}, kMsgSelectEntities, RunFocus::None},
        {"sub_option_is_no_kind", "csv", {3}, {3}, kMsgSelectEntities, RunFocus::None},
        {"no_data", "csv", {0}, {}, kMsgSelectData, RunFocus::None},
        {"ok", "csv", {24}, {29}, "", RunFocus::None},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ExportConfig config;
        config.SeparatorChoice = 0;
        ConfigTree entities = BuildEntityTree();
        ConfigTree data = BuildDataTree();
        for (int node : c.entityNodes)
            EntityNodeAt(entities, node)->SetChecked(true);
        for (int item : c.dataItems)
            DataNodeWithIndex(data, item)->SetChecked(true);
        const RunCheck check = CheckRunRequest(config, c.extension, "x", entities, data);
        EXPECT_EQ(check.Message, c.message);
        EXPECT_EQ(check.Focus, c.focus);
        if (check.Ok()) {
            EXPECT_EQ(config.FieldSeparator, ",") << "the choice wins over the field's text";
        }
    }
}

TEST(ProcessingRunTest, DataPathKeepsTheNameUpToItsLastDot) {
    // Drawings that differ after their first dot give Data files of their own.
    struct Case {
        const char* dxf;
        const char* extension;
        const char* data;
    };
    // clang-format off
    const Case cases[] = {
        {"site.dxf", "csv", "/d/site.csv"},
        {"site.old.dxf", "csv", "/d/site.old.csv"},
        {"Job 2024.05.12.dxf", "csv", "/d/Job 2024.05.12.csv"},
        {"Job 2024.06.01.dxf", "csv", "/d/Job 2024.06.01.csv"},
        {"site.dxf", " txt", "/d/site. txt"},
        {"site", "csv", "/d/site.csv"},
        {"site.", "csv", "/d/site.csv"},
        {".dxf", "csv", "/d/.csv"},
        {"SITE.DXF", ".csv", "/d/SITE.csv"},  // the dot not doubled
        {"a.b.c.DXF", "..txt", "/d/a.b.c.txt"},
    };
    // clang-format on
    for (const Case& c : cases)
        EXPECT_EQ(DataPathFor("/d/", c.dxf, c.extension), c.data) << c.dxf;
    EXPECT_EQ(MakeListEntry("/in", "a.b", true).DxfPath, "/in/a.b.dxf");
    EXPECT_EQ(MakeListEntry("/in", "a", true, "DXF").DxfPath, "/in/a.DXF");
}

TEST(ProcessingRunTest, DestinationTestCreatesNothingAndAStrayTestFileBlocksNothing) {
    test::TempDir temp;
    EXPECT_TRUE(TestDestinationWritable(temp.Path().string()));
    EXPECT_TRUE(fs::is_empty(temp.Path()));
    EXPECT_FALSE(TestDestinationWritable(temp / "missing"));
    // A file left by an old run, or the test file of a run going on at the same time.
    WriteFileBytes(temp.Path() / "quarrow$_$.tmp", "stray");
    EXPECT_TRUE(TestDestinationWritable(temp.Path().string()));
    EXPECT_EQ(ReadFileBytes(temp.Path() / "quarrow$_$.tmp"), "stray");
}

TEST(ProcessingRunTest, OnlySelectedEntriesAreNumberedAndAMissingFileIsReported) {
    RunFolders folders;
    TestConfig c = test::AllKindsConfig();
    c.Config.DataFileExt = "csv";
    RunRequest request = folders.Request({"a", "b", "b", "missing", "a"});
    request.Entries[1].Selected = false;
    request.Entries[4].Selected = false;
    RunCounters counters;
    const RunResult result = RunFiles(c, counters, request);
    ASSERT_EQ(result.Status, RunStatus::Done) << result.Message;
    EXPECT_EQ(result.ProcessedFiles, 3);
    EXPECT_EQ(result.FilesNotRead, 1);
    const std::vector<std::string>& lines = result.Report.Lines;
    EXPECT_EQ(lines[2], "Number of processed files : 3");
    std::vector<std::string> fileLines;
    for (const auto& line : lines)
        if (line.rfind("File ", 0) == 0 || line.rfind("  DXF File", 0) == 0)
            fileLines.push_back(ReplaceAll(line, folders.in + "/", ""));
    EXPECT_EQ(fileLines, (std::vector<std::string>{"File 1 :", "  DXF File  : a.dxf",
                                                   "File 2 :", "  DXF File  : b.dxf",
                                                   "File 3 :", "  DXF File  : missing.dxf"}));
    EXPECT_EQ(lines[lines.size() - 2],
              "  *** Error, cannot open this file: No such file or directory ***");
    EXPECT_EQ(lines.back(), kReportSeparator);
    EXPECT_FALSE(fs::exists(fs::path(folders.out) / "missing.csv"));
}

TEST(ProcessingRunTest, DrawingsThatAreNotValidLeaveTheEarlierDataFileAndGiveTheirNumbersBack) {
    // Why these: a copy or download that stopped anywhere in the ENTITIES section (the last
    // point then reads Y 54321 instead of 5432103.752), a Ctrl-Z there, a drawing without
    // ENTITIES, a DWG or binary DXF file renamed .dxf, a damaged code line. Each is named in
    // its block, leaves the earlier Data file, and the next drawing numbers on from the one
    // before; on one thread and on two (chunks of 256 bytes).
    const std::string head = test::Dxf({"0", "SECTION", "2", "HEADER", "9", "$ACADVER", "1",
                                        "AC1009", "0", "ENDSEC", "0", "SECTION", "2", "ENTITIES"});
    std::string points;
    for (int i = 0; i < 300; ++i)
        points += test::Dxf({"0", "POINT", "10", std::to_string(i), "20", "2"});
    const std::string last =
        test::Dxf({"0", "POINT", "10", "1.5", "20", "5432103.752", "30", "117.750"});
    const std::string end = test::Dxf({"0", "ENDSEC", "0", "EOF"});
    const std::string whole = head + points + last + end;
    const std::size_t y = whole.find("5432103.752");
    const std::string cut = "it ends inside its ENTITIES section: the file is cut short";
    struct Case {
        const char* name;
        std::string bytes;
        std::string reason;  // in the parentheses of the report line
    };
    // clang-format off
    const Case cases[] = {
        {"cut_five_digits_into_a_value", whole.substr(0, y + 5), cut},
        {"cut_after_a_code_line", whole.substr(0, y - 4), cut},
        {"cut_mid_line_end", whole.substr(0, y + 12), cut},
        {"cut_after_the_last_whole_entity", head + points + last, cut},
        {"cut_right_after_entities", head, cut},
        {"cut_inside_endsec", head + points + last + "0\r\nENDS", cut},
        {"ctrl_z_before_the_section_end", head + points + "\x1a\r\n" + last + end, cut},
        {"cut_in_the_header", head.substr(0, 30),
         "it ends before its ENTITIES section: the file is cut short"},
        {"no_entities_section", test::Dxf({"0", "SECTION", "2", "HEADER", "0", "ENDSEC", "0",
                                           "EOF"}), "it has no ENTITIES section"},
        {"dwg_drawing", std::string("AC1032\0\0\0\0\x01\x02\r\n", 14) + points,
         "it is a DWG drawing: save it as DXF"},
        {"old_dwg_drawing", "AC1.50" + std::string(40, '\x7f'),
         "it is a DWG drawing: save it as DXF"},
        {"binary_dxf", std::string("AutoCAD Binary DXF\r\n\x1a\0\0\0SECTION\0", 30),
         "it is a binary DXF file, which is not read yet: save it as ASCII DXF"},
        {"bad_code_line", head + points + "1O\r\n5\r\n" + last + end,
         "line 1815 is not a group code"},
    };
    // clang-format on
    for (const std::size_t segmentSize : {std::size_t(0), std::size_t(256)}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.name) + (segmentSize == 0 ? ", one thread" : ", two"));
            RunFolders folders;
            WriteFileBytes(fs::path(folders.in) / "p.dxf", head + points + end);
            WriteFileBytes(fs::path(folders.in) / "q.dxf", head + points + end);
            WriteFileBytes(fs::path(folders.in) / "bad.dxf", c.bytes);
            WriteFileBytes(fs::path(folders.out) / "bad.csv", "earlier\r\n");
            TestConfig c2 = test::AllKindsConfig();
            c2.Config.DataFileExt = "csv";
            c2.Entities({EntityNode::Points})
                .Data({DataNode::LineNumber, DataNode::GroupNumber, DataNode::X});
            c2.Option(kLineStartOption, "").Option(kGroupStartOption, "");
            RunCounters counters{10, 0, 20};
            RunRequest request = folders.Request({"p", "bad", "q"});
            request.SegmentSize = segmentSize;
            const RunResult result = RunFiles(c2, counters, request);
            ASSERT_EQ(result.Status, RunStatus::Done) << result.Message;
            EXPECT_EQ(result.FilesNotRead, 1);
            EXPECT_EQ(result.FilesConverted, 2);
            EXPECT_EQ(ReadFileBytes(fs::path(folders.out) / "bad.csv"), "earlier\r\n");
            const std::string q = ReadFileBytes(fs::path(folders.out) / "q.csv");
            EXPECT_EQ(q.substr(0, 16), "310,320,0.000\r\n3") << "q numbers on from p";
            EXPECT_EQ(counters.LineCounter, 610);
            EXPECT_EQ(counters.GroupCounter, 620);
            const std::string log = folders.Log();
            EXPECT_NE(log.find("  Data File : @OUT@/bad.csv\r\n\r\n"
                               "  *** Error, this is not a valid DXF file (" +
                               c.reason + ") ***\r\n" + std::string(kReportSeparator) +
                               "\r\nFile 3 :"),
                      std::string::npos)
                << log.substr(0, 3000);
            ASSERT_EQ(result.Files.size(), 3u);
            EXPECT_EQ(result.Files[1].Outcome, FileReport::Status::NotRead);
            EXPECT_EQ(result.Files[1].Reason, "this is not a valid DXF file (" + c.reason + ")");
        }
    }
}

TEST(ProcessingRunTest, ADrawingCutAnywhereLeavesTheEarlierDataFile) {
    // A drawing of another program (ezdxf) cut every 97 bytes up to its ENTITIES section's
    // ENDSEC, on two threads: the earlier Data file stays as it was, and no other is left.
    const std::string dxf = test::CadDrawing("survey-blocks.dxf");
    const std::size_t sectionEnd = dxf.find("\nENDSEC", dxf.find("\nENTITIES\n")) + 7;
    RunFolders folders;
    TestConfig c = test::AllKindsConfig();
    c.Config.DataFileExt = "csv";
    for (std::size_t size = 1; size < sectionEnd; size += 97) {
        SCOPED_TRACE("cut at " + std::to_string(size));
        WriteFileBytes(fs::path(folders.in) / "cut.dxf", dxf.substr(0, size));
        WriteFileBytes(fs::path(folders.out) / "cut.csv", "earlier\r\n");
        RunCounters counters;
        RunRequest request = folders.Request({"cut"});
        request.SegmentSize = 512;
        const RunResult result = RunFiles(c, counters, request);
        ASSERT_EQ(result.Status, RunStatus::Done) << result.Message;
        ASSERT_EQ(result.FilesNotRead, 1);
        EXPECT_NE(result.Files.at(0).Reason.find("the file is cut short"), std::string::npos);
        ASSERT_EQ(ReadFileBytes(fs::path(folders.out) / "cut.csv"), "earlier\r\n");
        std::size_t files = 0;
        for ([[maybe_unused]] const auto& e : fs::directory_iterator(folders.out))
            ++files;
        ASSERT_EQ(files, 1u);
    }
}

// Edits the configuration whenever progress is shown, as a user could while a run goes.
class EditWhileRunning final : public RunObserver {
public:
    explicit EditWhileRunning(ExportConfig& config) : config_(config) {}
    void FileStarted(std::string_view, std::uint64_t) override { Edit(); }
    void Progress(std::uint64_t) override { Edit(); }

private:
    void Edit() {
        ++edits_;
        // Longer each time, so the texts move in memory.
        config_.DataOptions[std::size_t(DataNode::XPrefix)] =
            std::string(std::size_t(edits_ * 40), 'P');
        config_.FieldSeparator = std::string(std::size_t(edits_), ';');
        config_.EntityFlags[0] = 0;
        config_.DataFileExt = "txt";
        config_.BlockNameFilter = "nothing";
    }
    ExportConfig& config_;
    int edits_ = 0;
};

TEST(ProcessingRunTest, EditsDuringARunDoNotReachItsDataFiles) {
    RunFolders folders;
    std::string big = "0\r\nSECTION\r\n2\r\nENTITIES\r\n";
    for (int i = 0; i < 20000; ++i)
        big += "0\r\nPOINT\r\n10\r\n" + std::to_string(i) + "\r\n20\r\n1\r\n";
    big += "0\r\nENDSEC\r\n";
    WriteFileBytes(fs::path(folders.in) / "big.dxf", big);
    TestConfig c = test::AllKindsConfig();
    c.Config.DataFileExt = "csv";
    c.Entities({EntityNode::Points}).Data({DataNode::X, DataNode::Y});
    c.Config.DataOptions[std::size_t(DataNode::XPrefix)] = "X=";
    RunCounters counters;
    std::atomic<bool> cancel{false};
    EditWhileRunning editor(c.Config);
    const RunResult result = ProcessSelectedFiles(c.Config, c.DataOrder, c.SelectedKinds, counters,
                                                  cancel, &editor, folders.Request({"big", "a"}));
    ASSERT_EQ(result.Status, RunStatus::Done) << result.Message;
    const std::string data = ReadFileBytes(fs::path(folders.out) / "big.csv");
    EXPECT_EQ(data.substr(0, 18), "X=0.000,1.000\r\nX=1");
    EXPECT_EQ(data.find('P'), std::string::npos);
    EXPECT_EQ(data.find(';'), std::string::npos);
    EXPECT_TRUE(fs::exists(fs::path(folders.out) / "a.csv"));
    EXPECT_FALSE(fs::exists(fs::path(folders.out) / "a.txt"));
}

TEST(ProcessingRunTest, AFileThatCannotBeOpenedIsReportedWithTheReason) {
    RunFolders folders;
    const fs::path in(folders.in);
    fs::create_directories(in / "folder.dxf");
#ifndef _WIN32
    ASSERT_EQ(::mkfifo((in / "pipe.dxf").c_str(), 0600), 0);
    fs::create_symlink(in / "gone.dxf", in / "dangling.dxf");
#endif
    const struct {
        const char* name;
        const char* reason;
        // clang-format off
    } cases[] = {
        // clang-format on
        {"missing", "No such file or directory"},
        {"folder", "not a regular file"},
        {"pipe", "not a regular file"},
        {"dangling", "No such file or directory"},
    };
    TestConfig c = test::AllKindsConfig();
    c.Config.DataFileExt = "csv";
    for (const auto& k : cases) {
        SCOPED_TRACE(k.name);
#ifdef _WIN32
        // No named pipes there, and links need a privilege.
        if (std::string_view(k.name) == "pipe" || std::string_view(k.name) == "dangling")
            continue;
#endif
        RunCounters counters;
        const RunResult result = RunFiles(c, counters, folders.Request({k.name}));
        ASSERT_EQ(result.Status, RunStatus::Done) << result.Message;
        EXPECT_EQ(result.FilesNotRead, 1);
        const std::vector<std::string>& lines = result.Report.Lines;
        ASSERT_GE(lines.size(), 2u);
        EXPECT_EQ(lines[lines.size() - 2],
                  std::string("  *** Error, cannot open this file: ") + k.reason + " ***");
        ASSERT_EQ(result.Files.size(), 1u);
        EXPECT_EQ(result.Files[0].Outcome, FileReport::Status::NotRead);
        EXPECT_EQ(result.Files[0].Reason, std::string("cannot open this file: ") + k.reason);
        EXPECT_FALSE(fs::exists(fs::path(folders.out) / (std::string(k.name) + ".csv")));
    }
}

TEST(ProcessingRunTest, TwoRunsAtOnceIntoOneFolderEachLeaveAWholeDataFile) {
    // Two folders' x.dxf into one destination, at the same time: neither run refuses the
    // other, and the Data file is always the whole result of one of them, never a mix.
    test::TempDir temp;
    const fs::path a = temp.Path() / "a";
    const fs::path b = temp.Path() / "b";
    const fs::path out = temp.Path() / "out";
    for (const fs::path& dir : {a, b, out})
        fs::create_directories(dir);
    const auto drawing = [](const char* y) {
        std::string text = "0\r\nSECTION\r\n2\r\nENTITIES\r\n";
        for (int i = 0; i < 60000; ++i)
            text += "0\r\nPOINT\r\n10\r\n" + std::to_string(i) + "\r\n20\r\n" + y + "\r\n";
        return text + "0\r\nENDSEC\r\n";
    };
    WriteFileBytes(a / "x.dxf", drawing("1"));
    WriteFileBytes(b / "x.dxf", drawing("2"));
    TestConfig c = test::AllKindsConfig();
    c.Config.DataFileExt = "csv";
    c.Entities({EntityNode::Points}).Data({DataNode::X, DataNode::Y});
    const auto run = [&](const fs::path& folder) {
        RunCounters counters;
        std::atomic<bool> cancel{false};
        RunRequest request;
        request.Entries = {MakeListEntry(folder.string(), "x", true)};
        request.DestFolder = out.string();
        request.DateTimeText = kDate;
        return ProcessSelectedFiles(c.Config, c.DataOrder, c.SelectedKinds, counters, cancel,
                                    nullptr, request);
    };
    ASSERT_EQ(run(a).Status, RunStatus::Done);
    const std::string fromA = ReadFileBytes(out / "x.csv");
    ASSERT_EQ(run(b).Status, RunStatus::Done);
    const std::string fromB = ReadFileBytes(out / "x.csv");
    ASSERT_NE(fromA, fromB);
    for (int round = 0; round < 8; ++round) {
        SCOPED_TRACE(round);
        RunResult first, second;
        std::thread other([&] { first = run(a); });
        second = run(b);
        other.join();
        EXPECT_EQ(first.Status, RunStatus::Done) << first.Message;
        EXPECT_EQ(second.Status, RunStatus::Done) << second.Message;
        const std::string data = ReadFileBytes(out / "x.csv");
        EXPECT_TRUE(data == fromA || data == fromB) << "a Data file mixing two runs";
    }
    int files = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(out))
        ++files;
    EXPECT_EQ(files, 1) << "no temporary file left";
}

// Presses Stop when the scan of a given file begins.
class StopAtFile final : public RunObserver {
public:
    StopAtFile(std::atomic<bool>& cancel, int file) : cancel_(cancel), file_(file) {}
    void FileStarted(std::string_view, std::uint64_t) override {
        if (++started_ == file_)
            cancel_.store(true);
    }

private:
    std::atomic<bool>& cancel_;
    int file_;
    int started_ = 0;
};

TEST(ProcessingRunTest, StopDuringTheSecondFileEndsItsBlockAndWritesTheLog) {
    RunFolders folders;
    TestConfig c = test::AllKindsConfig();
    c.Config.DataFileExt = "csv";
    RunCounters counters;
    std::atomic<bool> cancel{true};  // a run clears a flag left from before
    StopAtFile stop(cancel, 2);
    const RunResult result = ProcessSelectedFiles(c.Config, c.DataOrder, c.SelectedKinds, counters,
                                                  cancel, &stop, folders.Request({"a", "b", "a"}));
    ASSERT_EQ(result.Status, RunStatus::Done);
    EXPECT_TRUE(result.Canceled);
    EXPECT_EQ(result.ProcessedFiles, 2);
    const std::string log = folders.Log();
    EXPECT_NE(log.find("  Processed entities count : 3\r\n"), std::string::npos);
    const std::string tail = "File 2 :\r\n\r\n  DXF File  : @IN@/b.dxf\r\n"
                             "  Data File : @OUT@/b.csv\r\n\r\n"
                             "*** Process canceled by user ***\r\n";
    ASSERT_GE(log.size(), tail.size());
    EXPECT_EQ(log.substr(log.size() - tail.size()), tail);
}

TEST(ProcessingRunTest, RunEndingErrorsKeepTheDrawingAndThePreviousLog) {
    struct Case {
        const char* name;
        std::string extension;
        bool destIsInput;
        std::string dxfA;   // replaces a.dxf when not empty
        std::string error;  // with @IN@ for the input folder
    };
    // The Data path equal to the drawing (extension "dxf" into the drawing's own folder), and
    // a value that does not convert: both stop before the second file, without a log.
    // clang-format off
    const Case cases[] = {
        {"data_path_is_the_drawing", "dxf", true, "",
         "Cannot create Data file \"@IN@/a.dxf\": it is the DXF file being read. Choose "
         "another destination folder or Data file extension."},
        {"decimal_comma", "csv", false, test::Entities({"0", "POINT", "10", "12,5", "20", "1"}),
         "Error in DXF file \"@IN@/a.dxf\", line 8: \"12,5\" is not a valid floating point "
         "value (X coordinate)."},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RunFolders folders;
        if (!c.dxfA.empty())
            WriteFileBytes(fs::path(folders.in) / "a.dxf", c.dxfA);
        const std::string drawing = ReadFileBytes(fs::path(folders.in) / "a.dxf");
        WriteFileBytes(folders.log, "old log");
        TestConfig config = test::AllKindsConfig();
        config.Config.DataFileExt = c.extension;
        RunRequest request = folders.Request({"a", "b"});
        if (c.destIsInput)
            request.DestFolder = folders.in;
        RunCounters counters;
        const RunResult result = RunFiles(config, counters, request);
        EXPECT_EQ(result.Status, RunStatus::Failed);
        EXPECT_EQ(ReplaceAll(result.Message, folders.in + "/", "@IN@/"), c.error);
        EXPECT_EQ(ReadFileBytes(fs::path(folders.in) / "a.dxf"), drawing);
        EXPECT_EQ(ReadFileBytes(folders.log), "old log");
        if (!c.destIsInput) {
            EXPECT_FALSE(fs::exists(fs::path(folders.out) / "b.csv"));
        }
    }
}

TEST(ProcessingRunTest, ASecondDrawingOfTheSameDataFileIsNotReadAndTheLogIsReplacedWhole) {
    // One name in two folders: the second drawing is not read, its block says which drawing
    // wrote the Data file, and the first drawing's records stay. Names that differ after
    // their first dot do not clash.
    RunFolders folders;
    fs::rename(fs::path(folders.in) / "a.dxf", fs::path(folders.in) / "p.one.dxf");
    fs::rename(fs::path(folders.in) / "b.dxf", fs::path(folders.in) / "p.two.dxf");
    const fs::path other = folders.temp.Path() / "other";
    fs::create_directories(other);
    fs::copy_file(kRunData / "input" / "b.dxf", other / "p.one.dxf");
    WriteFileBytes(folders.log, std::string(10000, 'x'));
    TestConfig c = test::AllKindsConfig();
    c.Config.DataFileExt = "csv";
    RunCounters counters;
    RunRequest request = folders.Request({"p.one", "p.two"});
    request.Entries.push_back(MakeListEntry(other.generic_string(), "p.one", true));
    const RunResult result = RunFiles(c, counters, request);
    ASSERT_EQ(result.Status, RunStatus::Done);
    EXPECT_EQ(result.FilesNotRead, 1);
    EXPECT_EQ(ReadFileBytes(fs::path(folders.out) / "p.one.csv"),
              "12.500,7.250,0.000\r\n0.000,0.000,0.000\r\n10.000,5.000,1.500\r\n"
              "-0.004,1234.568,0.000\r\n");
    EXPECT_TRUE(fs::exists(fs::path(folders.out) / "p.two.csv"));
    const std::string log = folders.Log();
    EXPECT_EQ(log.rfind("Quarrow report created ", 0), 0u);
    EXPECT_EQ(log.find("xxx"), std::string::npos);
    const std::string clash = "  Data File : @OUT@/p.one.csv\r\n\r\n"
                              "  *** Error, this Data file was already written in this run, "
                              "from @IN@/p.one.dxf ***\r\n" +
                              std::string(kReportSeparator) + "\r\n";
    EXPECT_NE(log.find("/other/p.one.dxf\r\n" + clash), std::string::npos) << log;
    int files = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(folders.temp.Path()))
        ++files;
    EXPECT_EQ(files, 4) << "in, other, out and the log: no temporary file left";
}

}  // namespace
}  // namespace quarrow
