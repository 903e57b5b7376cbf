#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <sstream>

#include "cli/Cli.h"
#include "config/ConfigFile.h"
#include "config/DefaultConfig.h"
#include "config/NodeTables.h"
#include "engine/ProcessingRun.h"
#include "support/CliCapture.h"
#include "support/TempDir.h"

namespace quarrow {
namespace {

namespace fs = std::filesystem;
using test::ReadFileBytes;
using test::WriteFileBytes;

using test::CliResult;
using test::RunCliCapture;

const std::string kDefault = std::string(QUARROW_SOURCE_DIR) + "/data/default.qrw";

const std::string kPointFile =
    "0\r\nSECTION\r\n2\r\nENTITIES\r\n0\r\nPOINT\r\n8\r\nL\r\n10\r\n1\r\n20\r\n2\r\n0\r\nEOF\r\n";

// Writes a configuration: the default with a change.
template <typename Change>
std::string WriteConfig(const test::TempDir& temp, const std::string& name, Change change) {
    ExportConfig config;
    ConfigTree entities;
    ConfigTree data;
    BuildDefaultConfig(config, entities, data);
    change(config, entities, data);
    const std::string path = temp / name;
    EXPECT_TRUE(WriteConfigFile(path, config, entities, data).Ok);
    return path;
}

TEST(RunCommandTest, AFolderGivesItsDxfFilesByNameAndTheReportGoesToStdoutAndLog) {
    test::TempDir temp;
    fs::create_directories(temp.Path() / "in");
    for (const char* name : {"b.dxf", "A.dxf", "c.DXF", "d.dxf.bak"})
        WriteFileBytes(temp.Path() / "in" / name, kPointFile);
    const CliResult r = RunCliCapture({"run", "--config", kDefault, "--dest", temp / "out/new",
                                       "--log", temp / "log.txt", temp / "in"});
    EXPECT_EQ(r.status, kExitDone) << r.err;
    EXPECT_EQ(r.err, "quarrow-cli run: 3 files converted, 0 not read, 0 failed, 0 warnings\n");
    EXPECT_NE(r.out.find("Number of processed files : 3\n"), std::string::npos);
    EXPECT_LT(r.out.find("in/A.dxf"), r.out.find("in/b.dxf"));
    EXPECT_LT(r.out.find("in/b.dxf"), r.out.find("in/c.DXF"));
    EXPECT_EQ(ReadFileBytes(temp.Path() / "out/new/A.csv"),
              "Line Number,X (East) coordinate,Y (North) coordinate,Z (Elevation) coordinate,"
              "Entity Layer\r\n1,1.000,2.000,0.000,L\r\n");
    EXPECT_TRUE(fs::exists(temp.Path() / "out/new/b.csv"));
    EXPECT_TRUE(fs::exists(temp.Path() / "out/new/c.csv")) << "*.DXF, as Windows names them";
    // The log holds the same lines, ended by CR LF.
    std::string log = ReadFileBytes(temp.Path() / "log.txt");
    std::string out = r.out;
    log.erase(std::remove(log.begin(), log.end(), '\r'), log.end());
    EXPECT_EQ(log, out);
}

TEST(RunCommandTest, ExitStatusesAndWhatIsWritten) {
    struct Case {
        const char* name;
        std::vector<std::string> args;  // after "run"; @T@ is the temporary folder
        int status;
        std::string errorPart;  // the end of stderr (a run ends it with its totals line)
        bool dataWritten;       // out/ok.csv exists afterwards
        bool logReplaced;       // log.txt no longer holds "old"
    };
    // Every exit status: refused before the run (2), a file not read (3), a run-ending
    // conversion error (1, no log) and success (0); --quiet keeps stdout empty.
    // clang-format off
    const std::vector<Case> cases = {
        {"usage_no_paths", {"--config", kDefault, "--dest", "@T@/out"}, kExitRefused,
         "no DXF file or folder given", false, false},
        {"usage_unknown_option", {"--fast", "@T@/ok.dxf"}, kExitRefused, "unknown option",
         false, false},
        {"config_unreadable", {"--config", "@T@/none.qrw", "--dest", "@T@/out", "@T@/ok.dxf"},
         kExitRefused, "cannot load configuration", false, false},
        {"config_foreign", {"--config", "@T@/ok.dxf", "--dest", "@T@/out", "@T@/ok.dxf"},
         kExitRefused, "This is not a Quarrow configuration file", false, false},
        {"no_kinds", {"--config", "@T@/nokinds.qrw", "--dest", "@T@/out", "@T@/ok.dxf"},
         kExitRefused, "Please, select DXF entities to be processed.", false, false},
        {"no_extension", {"--config", "@T@/noext.qrw", "--dest", "@T@/out", "@T@/ok.dxf"},
         kExitRefused, "Please, enter a file extension", false, false},
        {"dest_not_writable", {"--config", kDefault, "--dest", "/proc/self", "@T@/ok.dxf"},
         kExitRefused, "is write-protected", false, false},
        {"dest_is_a_file", {"--config", kDefault, "--dest", "@T@/ok.dxf", "@T@/ok.dxf"},
         kExitRefused, "cannot create destination folder", false, false},
        {"missing_file",
         {"--config", kDefault, "--dest", "@T@/out", "--log", "@T@/log.txt", "@T@/ok.dxf",
          "@T@/none.dxf"},
         kExitSomeFilesFailed, "1 file converted, 1 not read, 0 failed, 0 warnings\n", true,
         true},
        {"device_file",
         {"--config", kDefault, "--dest", "@T@/out", "--log", "@T@/log.txt", "@T@/ok.dxf",
          "/dev/zero"},
         kExitSomeFilesFailed, "1 file converted, 1 not read, 0 failed, 0 warnings\n", true,
         true},
        {"not_dxf",
         {"--config", kDefault, "--dest", "@T@/out", "--log", "@T@/log.txt", "--quiet",
          "@T@/ok.dxf", "@T@/nokinds.qrw"},
         kExitSomeFilesFailed, "", true, true},
        {"cut_short",
         {"--config", kDefault, "--dest", "@T@/out", "--log", "@T@/log.txt", "--quiet",
          "@T@/ok.dxf", "@T@/cut.dxf"},
         kExitSomeFilesFailed, "", true, true},
        {"conversion_error",
         {"--config", kDefault, "--dest", "@T@/out", "--log", "@T@/log.txt", "@T@/ok.dxf",
          "@T@/bad.dxf"},
         kExitRunError, "bad.dxf\", line 10: \"1,5\" is not a valid floating point value "
         "(Y coordinate).\nquarrow-cli run: 1 file converted, 0 not read, 1 failed, 0 warnings\n",
         true, false},
        {"done", {"--config", kDefault, "--dest", "@T@/out", "--log", "@T@/log.txt", "--quiet",
                  "@T@/ok.dxf"},
         kExitDone, "", true, true},
        // A run-ending error leaves the log alone; --keep-going reports the file and goes on.
        {"keep_going",
         {"--config", kDefault, "--dest", "@T@/out", "--log", "@T@/log.txt", "--keep-going",
          "@T@/bad.dxf", "@T@/ok.dxf"},
         kExitRunError, "1 file converted, 0 not read, 1 failed, 0 warnings\n", true, true},
        // Folders that hold no drawing at all: refused, naming them; one beside a drawing is
        // fine.
        {"empty_folders",
         {"--config", kDefault, "--dest", "@T@/out", "--log", "@T@/log.txt", "@T@/inbox/",
          "@T@/deep"},
         kExitRefused, "quarrow-cli run: no DXF file to convert in: \"@T@/inbox/\", "
         "\"@T@/deep\" (their subfolders hold some: add --recursive)\n", false, false},
        {"empty_folder_recursive",
         {"--config", kDefault, "--dest", "@T@/out", "-r", "@T@/inbox"},
         kExitRefused, "quarrow-cli run: no DXF file to convert in: \"@T@/inbox\"\n", false,
         false},
        {"empty_folder_beside_a_drawing",
         {"--config", kDefault, "--dest", "@T@/out", "--log", "@T@/log.txt", "--quiet",
          "@T@/inbox", "@T@/ok.dxf"},
         kExitDone, "", true, true},
        // --log is checked before anything is written.
        {"log_is_a_drawing",
         {"--config", kDefault, "--dest", "@T@/out", "--log", "@T@/ok.dxf", "@T@/ok.dxf"},
         kExitRefused, "is the DXF file", false, false},
        {"log_is_the_configuration",
         {"--config", "@T@/copy.qrw", "--dest", "@T@/out", "--log", "@T@/copy.qrw",
          "@T@/ok.dxf"},
         kExitRefused, "is the configuration file", false, false},
        {"log_is_a_data_file",
         {"--config", kDefault, "--dest", "@T@/out", "--log", "@T@/out/ok.csv", "@T@/ok.dxf"},
         kExitRefused, "is the Data file of", false, false},
        {"log_is_a_device", {"--config", kDefault, "--dest", "@T@/out", "--log", "/dev/null",
                             "@T@/ok.dxf"},
         kExitRefused, "is not a regular file", false, false},
        {"log_is_a_pipe",
         {"--config", kDefault, "--dest", "@T@/out", "--log", "@T@/pipe", "@T@/ok.dxf"},
         kExitRefused, "is not a regular file", false, false},
        {"log_is_a_link_to_a_device",
         {"--config", kDefault, "--dest", "@T@/out", "--log", "@T@/null-link", "@T@/ok.dxf"},
         kExitRefused, "is not a regular file", false, false},
        {"log_folder_not_writable",
         {"--config", kDefault, "--dest", "@T@/out", "--log", "/proc/self/quarrow.log",
          "@T@/ok.dxf"},
         kExitRefused, "does not exist or is write-protected", false, false},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
#ifdef _WIN32
        // Devices, pipes, /proc and links to devices are of POSIX systems.
        bool posixOnly = false;
        for (const std::string& arg : c.args)
            posixOnly = posixOnly || arg.rfind("/dev/", 0) == 0 || arg.rfind("/proc/", 0) == 0 ||
                        arg == "@T@/pipe" || arg == "@T@/null-link";
        if (posixOnly)
            continue;
#endif
        test::TempDir temp;
        const std::string t = temp.Path().string();
        WriteFileBytes(temp / "ok.dxf", kPointFile);
        WriteFileBytes(temp / "bad.dxf",
                       "0\nSECTION\n2\nENTITIES\n0\nPOINT\n10\n2\n20\n1,5\n0\nEOF\n");
        WriteFileBytes(temp / "cut.dxf", kPointFile.substr(0, kPointFile.size() - 12));
        WriteFileBytes(temp / "log.txt", "old");
        fs::create_directories(temp.Path() / "inbox");
        fs::create_directories(temp.Path() / "deep/job");
        WriteFileBytes(temp / "deep/job/x.dxf", kPointFile);
#ifndef _WIN32
        ASSERT_EQ(::mkfifo((temp / "pipe").c_str(), 0600), 0);
        fs::create_symlink("/dev/null", temp.Path() / "null-link");
#endif
        WriteConfig(temp, "nokinds.qrw",
                    [](ExportConfig& config, ConfigTree& entities, ConfigTree&) {
                        config.EntityFlags.fill(0);
                        for (int node = 0; node < kEntityNodeCount; ++node)
                            EntityNodeAt(entities, node)->SetChecked(false);
                    });
        const std::string copy =
            WriteConfig(temp, "copy.qrw", [](ExportConfig&, ConfigTree&, ConfigTree&) {});
        const std::string copyBytes = ReadFileBytes(copy);
        WriteConfig(temp, "noext.qrw", [](ExportConfig& config, ConfigTree&, ConfigTree&) {
            config.DataFileExt = " ";
        });
        std::vector<std::string> args = {"run"};
        for (std::string arg : c.args) {
            if (arg.rfind("@T@", 0) == 0)
                arg = t + arg.substr(3);
            args.push_back(arg);
        }
        std::string errorPart = c.errorPart;
        for (std::size_t at; (at = errorPart.find("@T@")) != std::string::npos;)
            errorPart.replace(at, 3, t);
        const CliResult r = RunCliCapture(args);
        EXPECT_EQ(r.status, c.status) << r.err;
        if (errorPart.empty()) {
            EXPECT_EQ(r.err, "");
        } else if (c.status == kExitRefused) {
            EXPECT_NE(r.err.find(errorPart), std::string::npos) << r.err;
        } else {
            EXPECT_TRUE(
                r.err.size() >= errorPart.size() &&
                r.err.compare(r.err.size() - errorPart.size(), std::string::npos, errorPart) == 0)
                << r.err;
        }
        EXPECT_EQ(fs::exists(temp.Path() / "out" / "ok.csv"), c.dataWritten);
        EXPECT_EQ(ReadFileBytes(temp / "ok.dxf"), kPointFile) << "the drawing is never written";
        EXPECT_EQ(ReadFileBytes(copy), copyBytes) << "the configuration is never written";
        EXPECT_EQ(ReadFileBytes(temp / "log.txt") != "old", c.logReplaced);
        const bool quiet = std::find(args.begin(), args.end(), "--quiet") != args.end();
        if (c.status == kExitRefused) {
            EXPECT_FALSE(fs::exists(temp.Path() / "out")) << "a refused run writes nothing";
        }
        if (quiet || c.status == kExitRefused) {
            EXPECT_EQ(r.out, "");
        } else {
            // Also when an error ended the run: the files done so far.
            EXPECT_NE(r.out.find("Quarrow report created "), std::string::npos);
        }
        EXPECT_FALSE(fs::exists(temp.Path() / "out" / "bad.csv"));
    }
}

TEST(RunCommandTest, KeepGoingReportsTheFailedFileAndNumbersOnWithoutIt) {
    test::TempDir temp;
    WriteFileBytes(temp / "a.dxf", kPointFile);
    // b writes a record, then fails.
    WriteFileBytes(temp / "b.dxf", "0\nSECTION\n2\nENTITIES\n0\nPOINT\n10\n1\n20\n1\n0\nPOINT\n"
                                   "10\n2\n20\n1,5\n0\nEOF\n");
    WriteFileBytes(temp / "c.dxf", kPointFile);
    // Line numbers run on from file to file (a blank Start-at).
    const std::string config = WriteConfig(temp, "on.qrw", [](ExportConfig& c, auto&, auto&) {
        c.DataOptions[kLineStartOption] = "";
    });
    const CliResult r =
        RunCliCapture({"run", "--config", config, "--dest", temp / "out", "--keep-going",
                       temp / "a.dxf", temp / "b.dxf", temp / "c.dxf"});
    EXPECT_EQ(r.status, kExitRunError);
    EXPECT_EQ(r.err, "quarrow-cli run: 2 files converted, 0 not read, 1 failed, 0 warnings\n");
    EXPECT_NE(r.out.find("  Data File : " + (temp / "out/b.csv") +
                         "\n\n  *** Error, Error in DXF "
                         "file \"" +
                         (temp / "b.dxf") +
                         "\", line 16: \"1,5\" is not a valid "
                         "floating point value (Y coordinate). ***\n---"),
              std::string::npos)
        << r.out;
    EXPECT_FALSE(fs::exists(temp.Path() / "out/b.csv"));
    // The line numbers of c run on from a's (0), as if b had not been there.
    EXPECT_EQ(ReadFileBytes(temp.Path() / "out/c.csv"),
              "Line Number,X (East) coordinate,Y (North) coordinate,Z (Elevation) coordinate,"
              "Entity Layer\r\n1,1.000,2.000,0.000,L\r\n");
}

// Circles unchecked in the tree with its flag set: the run says so and goes on, writing what
// the tree shows (no circle).
TEST(RunCommandTest, AConfigurationWhoseFlagsContradictItsTreesRunsWhatTheTreesShow) {
    test::TempDir temp;
    const std::string config = WriteConfig(temp, "c.qrw", [](ExportConfig& c, auto&, auto&) {
        c.EntityFlags[std::size_t(EntityNode::Circles)] = 1;
    });
    WriteFileBytes(temp / "c.dxf", "0\nSECTION\n2\nENTITIES\n0\nCIRCLE\n8\nC\n10\n5\n20\n6\n40\n1\n"
                                   "0\nPOINT\n8\nL\n10\n1\n20\n2\n0\nENDSEC\n0\nEOF\n");
    const std::string note = "configuration \"" + config + "\": " + std::string(kMsgFlagsRebuilt);
    const CliResult r = RunCliCapture(
        {"run", "--quiet", "--config", config, "--dest", temp / "out", temp / "c.dxf"});
    EXPECT_EQ(r.status, kExitDone) << r.err;
    EXPECT_EQ(r.err, "quarrow-cli run: " + note + "\n");
    EXPECT_EQ(ReadFileBytes(temp / "out/c.csv"),
              "Line Number,X (East) coordinate,Y (North) coordinate,Z (Elevation) coordinate,"
              "Entity Layer\r\n1,1.000,2.000,0.000,L\r\n");
    const CliResult shown = RunCliCapture({"show-config", config});
    EXPECT_EQ(shown.status, kExitDone);
    EXPECT_EQ(shown.err, config + ": " + std::string(kMsgFlagsRebuilt) + "\n");
    EXPECT_NE(shown.out.find("Entity flags        : 1 0 0"), std::string::npos) << shown.out;
}

TEST(RunCommandTest, TheBlockNameFilterIsTakenTrimmedAsTheDesktopLoadLeavesIt) {
    test::TempDir temp;
    const std::string config = WriteConfig(temp, "d.qrw", [](ExportConfig& c, auto&, auto&) {
        c.BlockNameFilter = "  d*  ";  // as stored by another program
    });
    WriteFileBytes(temp.Path() / "blocks.dxf",
                   "0\r\nSECTION\r\n2\r\nENTITIES\r\n0\r\nINSERT\r\n2\r\ndoor\r\n10\r\n1\r\n"
                   "20\r\n2\r\n0\r\nINSERT\r\n2\r\nwin\r\n10\r\n3\r\n20\r\n4\r\n0\r\n"
                   "ENDSEC\r\n0\r\nEOF\r\n");
    const CliResult r =
        RunCliCapture({"run", "--config", config, "--dest", temp / "out", temp / "blocks.dxf"});
    EXPECT_EQ(r.status, kExitDone) << r.err;
    EXPECT_NE(r.out.find("    Blocks : 1 (d*)\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("      door : 1\n"), std::string::npos) << r.out;
}

TEST(RunCommandTest, DrawingsOfCadProgramsRunToTheEndWithEveryKindSelected) {
    // Hatches, attributes, layers named like types, paper space, columns: none of them may
    // end the run or leave a file unread.
    test::TempDir temp;
    const CliResult r = RunCliCapture(
        {"run", "--config", std::string(QUARROW_SOURCE_DIR) + "/data/configurations/every-kind.qrw",
         "--dest", temp / "out", "--quiet", std::string(QUARROW_TEST_DATA) + "/cad"});
    EXPECT_EQ(r.status, kExitSomeFilesFailed) << r.err;
    EXPECT_FALSE(fs::exists(temp.Path() / "out/ctrl-z-inside.txt"));
    EXPECT_EQ(r.err, "");
    int dataFiles = 0, drawings = 0;
    for (const auto& entry : fs::directory_iterator(temp.Path() / "out"))
        dataFiles += entry.path().extension() == ".txt" ? 1 : 0;
    for (const auto& entry : fs::directory_iterator(std::string(QUARROW_TEST_DATA) + "/cad"))
        drawings += entry.path().extension() == ".dxf" ? 1 : 0;
    EXPECT_GE(drawings, 12);
    // All but the one a Ctrl-Z cuts short.
    EXPECT_EQ(dataFiles, drawings - 1);
}

TEST(RunCommandTest, SampleDrawingsGiveTheirFixtureDataFiles) {
    // Every kind, sub-option and data item (data/configurations/every-kind.qrw) over the
    // bundled drawings; the expected Data files were checked by hand.
    test::TempDir temp;
    const fs::path samples = fs::path(QUARROW_SOURCE_DIR) / "data" / "samples";
    const CliResult r = RunCliCapture(
        {"run", "--config", std::string(QUARROW_SOURCE_DIR) + "/data/configurations/every-kind.qrw",
         "--dest", temp / "out", "--quiet", samples.string()});
    ASSERT_EQ(r.status, kExitDone) << r.err;
    int compared = 0;
    for (const auto& entry : fs::directory_iterator(samples)) {
        const std::string name = entry.path().stem().string() + ".txt";
        SCOPED_TRACE(name);
        EXPECT_EQ(ReadFileBytes(temp.Path() / "out" / name),
                  ReadFileBytes(fs::path(QUARROW_TEST_DATA) / "samples" / name));
        ++compared;
    }
    EXPECT_GE(compared, 9);
}

// Lines of a report's "DXF File" entries, in order.
std::vector<std::string> ReportedDrawings(const std::string& report) {
    std::vector<std::string> drawings;
    const std::string label = "  DXF File  : ";
    for (std::size_t at = report.find(label); at != std::string::npos;
         at = report.find(label, at + 1)) {
        const std::size_t start = at + label.size();
        drawings.push_back(report.substr(start, report.find('\n', start) - start));
    }
    return drawings;
}

TEST(RunCommandTest, RecursiveTakesSubfoldersByNameAfterTheFolderOwnFiles) {
    test::TempDir temp;
    const fs::path in = temp.Path() / "in";
    for (const char* name : {"b.dxf", "sub/a.dxf", "sub/deeper/c.DXF", "Zed/d.dxf", "Zed/e.txt"}) {
        fs::create_directories((in / name).parent_path());
        WriteFileBytes(in / name, kPointFile);
    }
#ifndef _WIN32
    // A link back to the top would make the walk endless if it were followed.
    fs::create_directory_symlink(in, in / "sub" / "loop");
#endif
    const std::string top = temp / "in";
    const std::vector<std::string> all = {top + "/b.dxf", top + "/sub/a.dxf",
                                          top + "/sub/deeper/c.DXF", top + "/Zed/d.dxf"};
    struct Case {
        const char* name;
        const char* option;
        std::vector<std::string> drawings;
    };
    const Case cases[] = {
        {"flat", "--keep-going", {top + "/b.dxf"}},
        {"short", "-r", all},
        {"long", "--recursive", all},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const CliResult r =
            RunCliCapture({"run", "--config", kDefault, "--dest", temp / c.name, c.option, top});
        EXPECT_EQ(r.status, kExitDone) << r.err;
        EXPECT_EQ(ReportedDrawings(r.out), c.drawings);
    }
}

TEST(RunCommandTest, RecursiveMirrorsSubfoldersUnderTheDestination) {
    // Two jobs' survey.dxf: each Data file in its job's folder under the destination (made when
    // missing); given as two folders, both survey.dxf are at their top and still clash.
    test::TempDir temp;
    const fs::path jobs = temp.Path() / "jobs";
    const auto drawing = [](const char* x) {
        return "0\r\nSECTION\r\n2\r\nENTITIES\r\n0\r\nPOINT\r\n8\r\nL\r\n10\r\n" + std::string(x) +
               "\r\n20\r\n2\r\n0\r\nEOF\r\n";
    };
    fs::create_directories(jobs / "job1" / "day.2");
    fs::create_directories(jobs / "job2");
    WriteFileBytes(jobs / "top.dxf", drawing("0"));
    WriteFileBytes(jobs / "job1" / "survey.dxf", drawing("1"));
    WriteFileBytes(jobs / "job1" / "day.2" / "survey.dxf", drawing("12"));
    WriteFileBytes(jobs / "job2" / "survey.dxf", drawing("2"));
    const std::string dest = temp / "out";
    const CliResult r =
        RunCliCapture({"run", "--config", kDefault, "--dest", dest, "-r", jobs.string()});
    EXPECT_EQ(r.status, kExitDone) << r.err << r.out;
    const std::string head = "Line Number,X (East) coordinate,Y (North) coordinate,Z (Elevation) "
                             "coordinate,Entity Layer\r\n1,";
    EXPECT_EQ(ReadFileBytes(dest + "/top.csv"), head + "0.000,2.000,0.000,L\r\n");
    EXPECT_EQ(ReadFileBytes(dest + "/job1/survey.csv"), head + "1.000,2.000,0.000,L\r\n");
    EXPECT_EQ(ReadFileBytes(dest + "/job1/day.2/survey.csv"), head + "12.000,2.000,0.000,L\r\n");
    EXPECT_EQ(ReadFileBytes(dest + "/job2/survey.csv"), head + "2.000,2.000,0.000,L\r\n");
    EXPECT_NE(r.out.find("  Data File : " + dest + "/job2/survey.csv\n"), std::string::npos);

    const std::string clash = temp / "clash";
    const CliResult two = RunCliCapture({"run", "--config", kDefault, "--dest", clash, "-r",
                                         (jobs / "job1").string(), (jobs / "job2").string()});
    EXPECT_EQ(two.status, kExitSomeFilesFailed) << two.err;
    EXPECT_EQ(ReadFileBytes(clash + "/survey.csv"), head + "1.000,2.000,0.000,L\r\n");
    EXPECT_EQ(ReadFileBytes(clash + "/day.2/survey.csv"), head + "12.000,2.000,0.000,L\r\n");
    EXPECT_NE(two.out.find("  *** Error, this Data file was already written in this run, from " +
                           (jobs / "job1" / "survey.dxf").string() + " ***"),
              std::string::npos)
        << two.out;
}

// Runs in another current folder for as long as it lives.
class CurrentFolder {
public:
    explicit CurrentFolder(const fs::path& folder) : previous_(fs::current_path()) {
        fs::current_path(folder);
    }
    ~CurrentFolder() { fs::current_path(previous_); }
    CurrentFolder(const CurrentFolder&) = delete;
    CurrentFolder& operator=(const CurrentFolder&) = delete;

private:
    fs::path previous_;
};

TEST(RunCommandTest, WithoutConfigAndDestTheShippedDefaultWritesIntoTheCurrentFolder) {
    test::TempDir temp;
    WriteFileBytes(temp / "site.dxf", kPointFile);
    CliResult r;
    {
        const CurrentFolder here(temp.Path());
        r = RunCliCapture({"run", "site.dxf"});
    }
    EXPECT_EQ(r.status, kExitDone) << r.err;
    // The default configuration: comma, a header line, 3 decimals, the layer.
    EXPECT_EQ(ReadFileBytes(temp.Path() / "site.csv"),
              "Line Number,X (East) coordinate,Y (North) coordinate,Z (Elevation) coordinate,"
              "Entity Layer\r\n1,1.000,2.000,0.000,L\r\n");
    // The current folder as the system spells it ("C:\\..." on Windows).
    const std::string here = fs::path(temp.Path()).make_preferred().string();
    EXPECT_NE(r.out.find("  Data File : " + WithTrailingSeparator(here) + "site.csv"),
              std::string::npos)
        << r.out;

    // An empty value is a mistake, not a request for the default.
    const CliResult empty = RunCliCapture({"run", "--config=", temp / "site.dxf"});
    EXPECT_EQ(empty.status, kExitRefused);
    EXPECT_NE(empty.err.find("option --config needs a value"), std::string::npos) << empty.err;
}

TEST(RunCommandTest, JsonReportTellsEachFileItsStatusReasonAndRecordsPerKind) {
#ifdef _WIN32
    GTEST_SKIP() << "a Windows file name cannot hold the quote this test needs";
#endif
    test::TempDir temp;
    const std::string t = temp.Path().string();
    // A quote and a byte that is not UTF-8 (Latin-1 e acute) in a name reach the JSON intact.
    const std::string odd = t + "/caf\xe9 \"x\".dxf";
    WriteFileBytes(odd, kPointFile);
    WriteFileBytes(temp / "bad.dxf", "0\nSECTION\n2\nENTITIES\n0\nPOINT\n10\n2\n20\n1,5\n0\nEOF\n");
    const std::string json = t + "/report.json";
    struct Case {
        const char* name;
        std::vector<std::string> args;  // after the options common to all
        int status;
        std::vector<std::string> lines;  // each a whole line of the report
    };
    // clang-format off
    const Case cases[] = {
        {"keep_going", {"--keep-going", odd, t + "/none.dxf", t + "/bad.dxf"}, kExitRunError, {
            "  \"exitStatus\": 1,",
            "  \"error\": \"\",",
            "    {\"dxf\": \"" + t + "/caf\xc3\xa9 \\\"x\\\".dxf\", \"data\": \"" + t +
                "/out/caf\xc3\xa9 \\\"x\\\".csv\", \"status\": \"converted\", \"reason\": \"\", "
                "\"records\": 1, \"recordsByKind\": {\"Points\": 1, \"Lines\": 0, "
                "\"MultiLine Text\": 0, \"SingleLine Text\": 0, \"2D Polylines\": 0, "
                "\"3D Polylines\": 0, \"Blocks\": 0}, \"warnings\": [], "
                "\"paperSpaceLeftOut\": 0},",
            "    {\"dxf\": \"" + t + "/none.dxf\", \"data\": \"" + t + "/out/none.csv\", "
                "\"status\": \"notRead\", \"reason\": \"cannot open this file: No such file or "
                "directory\", \"records\": 0, \"recordsByKind\": {\"Points\": 0, \"Lines\": 0, "
                "\"MultiLine Text\": 0, \"SingleLine Text\": 0, \"2D Polylines\": 0, "
                "\"3D Polylines\": 0, \"Blocks\": 0}, \"warnings\": [], "
                "\"paperSpaceLeftOut\": 0},",
            "  \"totals\": {\"files\": 3, \"converted\": 1, \"notRead\": 1, \"failed\": 1, "
                "\"records\": 1, \"recordsByKind\": {\"Points\": 1, \"Lines\": 0, "
                "\"MultiLine Text\": 0, \"SingleLine Text\": 0, \"2D Polylines\": 0, "
                "\"3D Polylines\": 0, \"Blocks\": 0}}",
        }},
        // A run-ending error: the files after it were not reached, and nothing was written
        // for them.
        {"run_ends", {t + "/bad.dxf", odd}, kExitRunError, {
            "  \"error\": \"Error in DXF file \\\"" + t + "/bad.dxf\\\", line 10: \\\"1,5\\\" is "
                "not a valid floating point value (Y coordinate).\",",
            "    {\"dxf\": \"" + t + "/caf\xc3\xa9 \\\"x\\\".dxf\", \"data\": \"\", \"status\": "
                "\"notReached\", \"reason\": \"the run ended on an error before this file\", "
                "\"records\": 0, \"recordsByKind\": {}, \"warnings\": [], "
                "\"paperSpaceLeftOut\": 0}",
        }},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> args = {
            "run", "--quiet", "--dest", t + "/out", "--json-report=" + json, "--config", kDefault};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const CliResult r = RunCliCapture(args);
        EXPECT_EQ(r.status, c.status) << r.err;
        const std::string report = "\n" + ReadFileBytes(json);
        for (const std::string& line : c.lines)
            EXPECT_NE(report.find("\n" + line + "\n"), std::string::npos) << line << report;
        EXPECT_NE(report.find("\n  \"seconds\": "), std::string::npos);
        fs::remove_all(t + "/out");
    }

    // Checked before anything is written, as --log is.
    for (const std::string& target : {odd, t + "/log.txt"}) {
        SCOPED_TRACE(target);
        const CliResult r = RunCliCapture({"run", "--config", kDefault, "--dest", t + "/out",
                                           "--log", t + "/log.txt", "--json-report", target, odd});
        EXPECT_EQ(r.status, kExitRefused);
        EXPECT_NE(r.err.find("give --json-report another file"), std::string::npos) << r.err;
        EXPECT_FALSE(fs::exists(t + "/out"));
    }
}

TEST(RunCommandTest, JsonReportAndTotalsLineTellWarningsAndPaperSpace) {
    test::TempDir temp;
    const std::string t = temp.Path().string();
    // The default configuration takes points, lines, texts, polylines and blocks. "paper" has a
    // point in model space and a line in paper space; "nothing" gives no record: a point and a
    // line in paper space, a circle and a hatch (kinds not selected).
    WriteFileBytes(temp / "paper.dxf",
                   "0\nSECTION\n2\nENTITIES\n0\nPOINT\n10\n1\n20\n2\n0\nLINE\n67\n1\n10\n0\n"
                   "20\n0\n11\n1\n21\n1\n0\nENDSEC\n0\nEOF\n");
    WriteFileBytes(temp / "nothing.dxf",
                   "0\nSECTION\n2\nENTITIES\n0\nPOINT\n67\n1\n10\n1\n20\n2\n0\nCIRCLE\n10\n0\n"
                   "20\n0\n40\n1\n0\nHATCH\n2\nSOLID\n0\nLINE\n67\n1\n10\n0\n20\n0\n11\n1\n"
                   "21\n1\n0\nENDSEC\n0\nEOF\n");
    const CliResult r =
        RunCliCapture({"run", "--config", kDefault, "--dest", t + "/out", "--log", t + "/log.txt",
                       "--json-report", t + "/r.json", t + "/paper.dxf", t + "/nothing.dxf"});
    EXPECT_EQ(r.status, kExitDone) << r.err;
    EXPECT_EQ(r.err, "quarrow-cli run: 2 files converted, 0 not read, 0 failed, 1 warning\n");
    const std::string kinds = "\"recordsByKind\": {\"Points\": 1, \"Lines\": 0, "
                              "\"MultiLine Text\": 0, \"SingleLine Text\": 0, "
                              "\"2D Polylines\": 0, \"3D Polylines\": 0, \"Blocks\": 0}";
    std::string noKinds = kinds;
    noKinds.replace(noKinds.find("1"), 1, "0");
    const std::string json = ReadFileBytes(temp / "r.json");
    for (const std::string& line :
         {"    {\"dxf\": \"" + t + "/paper.dxf\", \"data\": \"" + t +
              "/out/paper.csv\", \"status\": \"converted\", \"reason\": \"\", \"records\": 1, " +
              kinds + ", \"warnings\": [], \"paperSpaceLeftOut\": 1},\n",
          "    {\"dxf\": \"" + t + "/nothing.dxf\", \"data\": \"" + t +
              "/out/nothing.csv\", \"status\": \"converted\", \"reason\": \"\", \"records\": 0, " +
              noKinds +
              ", \"warnings\": [\"this drawing gave no records (2 entities in paper space, 2 "
              "of kinds not selected)\"], \"paperSpaceLeftOut\": 2}\n"})
        EXPECT_NE(json.find(line), std::string::npos) << line << json;
    // The log's block keeps its lines: the paper-space count, and no word of the warning.
    const std::string log = ReadFileBytes(temp / "log.txt");
    EXPECT_NE(log.find("    Blocks : 0 ()\r\n    Paper space entities left out : 2\r\n---"),
              std::string::npos)
        << log;
    EXPECT_EQ(log.find("gave no records"), std::string::npos) << log;
    // --quiet leaves standard error to the messages.
    const CliResult quiet = RunCliCapture(
        {"run", "--quiet", "--config", kDefault, "--dest", t + "/out", t + "/paper.dxf"});
    EXPECT_EQ(quiet.status, kExitDone);
    EXPECT_EQ(quiet.err, "");
}

}  // namespace
}  // namespace quarrow
