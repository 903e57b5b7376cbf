// Faults of the file system during a run and a save: a destination that is not writable or
// vanishes, a full disk under a Data file, a log or a configuration. Each ends in its message
// and loses nothing: the drawings, the previous log and the previous configuration stay.
// Tests run as root in CI, where permission bits stop nothing: the faults are made with
// /dev/full, a file where a folder is expected, /proc and a file-size limit.

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <sstream>
#include <vector>

#include "config/ConfigFile.h"
#include "cli/Cli.h"
#include "config/DefaultConfig.h"
#include "engine/ProcessingRun.h"
#include "support/EngineHarness.h"
#include "support/TempDir.h"

namespace quarrow {
namespace {

namespace fs = std::filesystem;
using test::ReadFileBytes;
using test::WriteFileBytes;

// Lowers the file-size limit of this process for its lifetime: a write past it fails with
// EFBIG, as a full disk fails with ENOSPC, for root too.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &saved_);
        oldHandler_ = ::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = saved_;
        limit.rlim_cur = bytes;
        ok_ = ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &saved_);
        ::signal(SIGXFSZ, oldHandler_);
    }
    bool Ok() const { return ok_; }

private:
    rlimit saved_{};
    sighandler_t oldHandler_ = SIG_DFL;
    bool ok_ = false;
};

// n points, about 40 bytes of Data each.
// n points, then `last` (lines of the section before its end).
std::string Points(int n, const std::string& last = {}) {
    std::string text = test::Dxf({"0", "SECTION", "2", "ENTITIES"});
    for (int i = 0; i < n; ++i)
        text += "0\r\nPOINT\r\n8\r\nSURVEY\r\n10\r\n" + std::to_string(i) +
                ".125\r\n20\r\n2.5\r\n30\r\n7\r\n";
    return text + last + test::Dxf({"0", "EOF"});
}

test::TestConfig PointConfig() {
    test::TestConfig c = test::AllKindsConfig();
    c.Config.DataFileExt = "csv";
    return c;
}

struct Folders {
    test::TempDir temp;
    fs::path in = temp.Path() / "in";
    fs::path out = temp.Path() / "out";
    fs::path log = temp.Path() / "QuarrowLog.txt";
    std::string drawingA, drawingB;

    explicit Folders(int points = 3) {
        fs::create_directories(in);
        fs::create_directories(out);
        drawingA = Points(points);
        drawingB = Points(2);
        WriteFileBytes(in / "a.dxf", drawingA);
        WriteFileBytes(in / "b.dxf", drawingB);
        WriteFileBytes(log, "previous log");
    }
    RunRequest Request(const fs::path& dest) const {
        RunRequest request;
        request.Entries = {MakeListEntry(in.string(), "a", true),
                           MakeListEntry(in.string(), "b", true)};
        request.DestFolder = dest.string();
        request.DateTimeText = "01/02/2027 10:11:12";
        request.LogPath = log.string();
        return request;
    }
    // Nothing of the user's is lost: both drawings as they were, and no temporary file.
    void ExpectDrawingsKept() const {
        EXPECT_EQ(ReadFileBytes(in / "a.dxf"), drawingA);
        EXPECT_EQ(ReadFileBytes(in / "b.dxf"), drawingB);
        for (const auto& entry : fs::directory_iterator(temp.Path()))
            EXPECT_EQ(entry.path().filename().string().find(".tmp"), std::string::npos)
                << entry.path();
    }
};

// Calls a function when the scan of a file of that name begins.
class OnFileStarted final : public RunObserver {
public:
    OnFileStarted(std::string name, std::function<void()> action)
        : name_(std::move(name)), action_(std::move(action)) {}
    void FileStarted(std::string_view fileName, std::uint64_t) override {
        if (fileName == name_)
            action_();
    }

private:
    std::string name_;
    std::function<void()> action_;
};

RunResult RunTwoFiles(const Folders& f, const fs::path& dest, RunObserver* observer = nullptr) {
    test::TestConfig c = PointConfig();
    RunCounters counters;
    std::atomic<bool> cancel{false};
    return ProcessSelectedFiles(c.Config, c.DataOrder, c.SelectedKinds, counters, cancel, observer,
                                f.Request(dest));
}

std::string NotWritable(const fs::path& dest) {
    return "Destination directory \"" + dest.string() +
           "/\" is write-protected, files can't be created here. Please select another "
           "directory.";
}

TEST(FaultTest, ADestinationThatCannotTakeFilesIsRefusedBeforeTheRun) {
    // Ways a destination refuses files that hold for root as for anyone: it is a file, it
    // lies under a file, it is /proc; and, for other users, a folder without write access.
    struct Case {
        const char* name;
        std::function<fs::path(const Folders&)> dest;
    };
    // clang-format off
    const std::vector<Case> cases = {
        {"a_file", [](const Folders& f) { return f.in / "a.dxf"; }},
        {"under_a_file", [](const Folders& f) { return f.in / "a.dxf" / "out"; }},
        {"missing", [](const Folders& f) { return f.temp.Path() / "gone"; }},
        {"proc", [](const Folders&) { return fs::path("/proc"); }},
        {"read_only_folder",
         [](const Folders& f) {
             fs::permissions(f.out, fs::perms::owner_read | fs::perms::owner_exec);
             return f.out;
         }},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (std::string_view(c.name) == "read_only_folder" && ::geteuid() == 0)
            continue;  // root writes there all the same
        Folders f;
        const fs::path dest = c.dest(f);
        const RunResult r = RunTwoFiles(f, dest);
        EXPECT_EQ(r.Status, RunStatus::DestinationNotWritable);
        EXPECT_EQ(r.Message, NotWritable(dest));
        EXPECT_TRUE(r.Report.Lines.empty());
        EXPECT_EQ(ReadFileBytes(f.log), "previous log");
        f.ExpectDrawingsKept();
        fs::permissions(f.out, fs::perms::owner_all);
    }
}

TEST(FaultTest, ADestinationThatVanishesDuringTheRunEndsItWithTheDataPath) {
    // Removed (or replaced by a file) once the first Data file is written, before the
    // second one is created: the run ends naming the Data file it could not create; the log
    // of the previous run stays, as after every run-ending error.
    struct Case {
        const char* name;
        std::function<void(const fs::path& out)> fault;
        std::string reason;
    };
    // clang-format off
    const std::vector<Case> cases = {
        {"removed", [](const fs::path& out) { fs::remove_all(out); },
         "No such file or directory"},
        {"replaced_by_a_file",
         [](const fs::path& out) {
             fs::remove_all(out);
             WriteFileBytes(out, "not a folder");
         },
         "Not a directory"},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Folders f;
        OnFileStarted observer("b.dxf", [&] { c.fault(f.out); });
        const RunResult r = RunTwoFiles(f, f.out, &observer);
        EXPECT_EQ(r.Status, RunStatus::Failed);
        EXPECT_EQ(r.Message,
                  "Cannot create Data file \"" + (f.out / "b.csv").string() + "\": " + c.reason);
        EXPECT_EQ(ReadFileBytes(f.log), "previous log");
        f.ExpectDrawingsKept();
    }
}

TEST(FaultTest, AFullDiskUnderADataFileEndsTheRunAndKeepsThePreviousLog) {
    // A Data file that is /dev/full fails when the records reach it: at the end of a small
    // file, or in the middle of a file whose records fill the write buffer several times.
    // A file-size limit fails the same way on a real file, part of it written.
    struct Case {
        const char* name;
        int points;
        bool devFull;  // else the file-size limit
        std::string reason;
    };
    // clang-format off
    const Case cases[] = {
        {"dev_full_small_file", 3, true, "No space left on device"},
        {"dev_full_mid_file", 60000, true, "No space left on device"},
        {"size_limit_mid_file", 60000, false, "File too large"},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Folders f(c.points);
        const fs::path data = f.out / "a.csv";
        RunResult r;
        if (c.devFull) {
            fs::create_symlink("/dev/full", data);
            r = RunTwoFiles(f, f.out);
        } else {
            FileSizeLimit limit(256 * 1024);
            ASSERT_TRUE(limit.Ok());
            r = RunTwoFiles(f, f.out);
        }
        EXPECT_EQ(r.Status, RunStatus::Failed);
        EXPECT_EQ(r.Message, "Cannot write Data file \"" + data.string() + "\": " + c.reason);
        EXPECT_FALSE(fs::exists(f.out / "b.csv")) << "the run ended at the failing file";
        EXPECT_EQ(ReadFileBytes(f.log), "previous log");
        f.ExpectDrawingsKept();
    }
}

TEST(FaultTest, ADataFileNeverReplacesADrawingOfTheList) {
    // With the extension "dxf" into the drawings' own folder, "a.DXF" gives the Data file
    // "a.dxf": a drawing of the list, selected or not. The run ends before creating it.
    for (const bool otherSelected : {false, true}) {
        SCOPED_TRACE(otherSelected ? "other_selected" : "other_not_selected");
        Folders f;
        const std::string old = Points(1);
        WriteFileBytes(f.in / "a.DXF", old);
        test::TestConfig c = PointConfig();
        c.Config.DataFileExt = "dxf";
        RunRequest request = f.Request(f.in);
        request.Entries = {MakeListEntry(f.in.string(), "a", true, "DXF"),
                           MakeListEntry(f.in.string(), "a", otherSelected)};
        RunCounters counters;
        std::atomic<bool> cancel{false};
        const RunResult r = ProcessSelectedFiles(c.Config, c.DataOrder, c.SelectedKinds, counters,
                                                 cancel, nullptr, request);
        EXPECT_EQ(r.Status, RunStatus::Failed);
        const std::string a = (f.in / "a.dxf").string();
        EXPECT_EQ(r.Message, "Cannot create Data file \"" + a +
                                 "\": it would replace the DXF "
                                 "file \"" +
                                 a +
                                 "\". Choose another destination folder or Data "
                                 "file extension.");
        EXPECT_EQ(ReadFileBytes(f.in / "a.DXF"), old);
        EXPECT_EQ(ReadFileBytes(f.log), "previous log");
        f.ExpectDrawingsKept();
    }
}

TEST(FaultTest, ANamedPipeWhereTheDataFileGoesEndsTheRunInsteadOfWaiting) {
    // Opening a pipe for writing waits for a reader that never comes: the run would hang.
    Folders f;
    const fs::path data = f.out / "a.csv";
    ASSERT_EQ(::mkfifo(data.c_str(), 0600), 0);
    const RunResult r = RunTwoFiles(f, f.out);
    EXPECT_EQ(r.Status, RunStatus::Failed);
    EXPECT_EQ(r.Message,
              "Cannot create Data file \"" + data.string() + "\": it is not a regular file");
    EXPECT_EQ(ReadFileBytes(f.log), "previous log");
    f.ExpectDrawingsKept();
}

TEST(FaultTest, ALogThatCannotBeWrittenIsReportedAndThePreviousLogStays) {
    // The Data files are written; the log's failure is told apart from the run's, and a log
    // that was there is never left half-written.
    struct Case {
        const char* name;
        std::function<fs::path(const Folders&)> log;
        bool sizeLimit;  // room for the Data files, not for the log
        std::string messageStart;
        std::string reason;
    };
    // clang-format off
    const std::vector<Case> cases = {
        {"log_is_a_folder",
         [](const Folders& f) {
             fs::create_directories(f.temp.Path() / "logdir");
             return f.temp.Path() / "logdir";
         },
         false, "Cannot write log file", "Is a directory"},
        {"log_under_a_file", [](const Folders& f) { return f.in / "a.dxf" / "log.txt"; }, false,
         "Cannot create log file", "Not a directory"},
        {"log_in_proc", [](const Folders&) { return fs::path("/proc/QuarrowLog.txt"); }, false,
         "Cannot create log file", ""},
        {"disk_full_under_the_log", [](const Folders& f) { return f.log; }, true,
         "Cannot write log file", "File too large"},
        {"read_only_log",
         [](const Folders& f) {
             fs::permissions(f.log, fs::perms::owner_read);
             return f.log;
         },
         false, "Cannot write log file", "Permission denied"},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (std::string_view(c.name) == "read_only_log" && ::geteuid() == 0)
            continue;  // root writes a read-only file all the same
        Folders f;
        const fs::path log = c.log(f);
        RunRequest request = f.Request(f.out);
        request.LogPath = log.string();
        test::TestConfig config = PointConfig();
        RunCounters counters;
        std::atomic<bool> cancel{false};
        std::optional<FileSizeLimit> limit;
        if (c.sizeLimit) {
            limit.emplace(600);
            ASSERT_TRUE(limit->Ok());
        }
        const RunResult r =
            ProcessSelectedFiles(config.Config, config.DataOrder, config.SelectedKinds, counters,
                                 cancel, nullptr, request);
        limit.reset();
        EXPECT_EQ(r.Status, RunStatus::Done);
        const std::string start = c.messageStart + " \"" + log.string() + "\": ";
        EXPECT_EQ(r.LogError.substr(0, start.size()), start) << r.LogError;
        EXPECT_NE(r.LogError.find(c.reason), std::string::npos) << r.LogError;
        EXPECT_FALSE(r.Report.Lines.empty());
        EXPECT_TRUE(fs::exists(f.out / "a.csv"));
        EXPECT_TRUE(fs::exists(f.out / "b.csv"));
        EXPECT_EQ(ReadFileBytes(f.log), "previous log");
        f.ExpectDrawingsKept();
    }
}

TEST(FaultTest, AFailedConfigurationSaveLeavesTheOldFileIntact) {
    // A full disk (the file-size limit, below the configuration's size) and targets that
    // cannot be written: the message names the file, the old file keeps its bytes, and no
    // temporary file stays behind.
    struct Case {
        const char* name;
        std::function<fs::path(const test::TempDir&)> target;
        bool sizeLimit;
        std::string reason;
    };
    // clang-format off
    const std::vector<Case> cases = {
        {"disk_full", [](const test::TempDir& t) { return t.Path() / "mine.qrw"; }, true,
         "File too large"},
        {"under_a_file", [](const test::TempDir& t) { return t.Path() / "mine.qrw" / "x.qrw"; },
         false, "Not a directory"},
        {"in_proc", [](const test::TempDir&) { return fs::path("/proc/mine.qrw"); }, false,
         ""},
        {"read_only_file", [](const test::TempDir& t) { return t.Path() / "mine.qrw"; }, false,
         "Permission denied"},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const bool readOnly = std::string_view(c.name) == "read_only_file";
        if (readOnly && ::geteuid() == 0)
            continue;  // root writes a read-only file all the same
        test::TempDir temp;
        ExportConfig config;
        ConfigTree entities;
        ConfigTree data;
        BuildDefaultConfig(config, entities, data);
        const fs::path mine = temp.Path() / "mine.qrw";
        ASSERT_TRUE(WriteConfigFile(mine.string(), config, entities, data).Ok);
        const std::string before = ReadFileBytes(mine);
        SetBlockNameFilter(config, "CHANGED*");

        const fs::path target = c.target(temp);
        if (readOnly)
            fs::permissions(mine, fs::perms::owner_read);
        std::optional<FileSizeLimit> limit;
        if (c.sizeLimit) {
            limit.emplace(4096);
            ASSERT_TRUE(limit->Ok());
        }
        const WriteResult w = WriteConfigFile(target.string(), config, entities, data);
        limit.reset();
        EXPECT_FALSE(w.Ok);
        const std::string start = "Cannot create file \"" + target.string() + "\". ";
        EXPECT_EQ(w.Message.substr(0, start.size()), start) << w.Message;
        EXPECT_NE(w.Message.find(c.reason), std::string::npos) << w.Message;
        EXPECT_EQ(ReadFileBytes(mine), before);
        std::size_t entries = 0;
        for ([[maybe_unused]] const auto& e : fs::directory_iterator(temp.Path()))
            ++entries;
        EXPECT_EQ(entries, 1u) << "no temporary file left behind";
    }
}

// Stops the run at its first progress report, as the Stop button does.
class StopAtFirstProgress final : public RunObserver {
public:
    explicit StopAtFirstProgress(std::atomic<bool>& cancel) : cancel_(cancel) {}
    void Progress(std::uint64_t) override { cancel_.store(true); }

private:
    std::atomic<bool>& cancel_;
};

bool HasTemporaryFile(const fs::path& dir) {
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(dir, ec))
        if (entry.path().filename().string().find(".tmp") != std::string::npos)
            return true;
    return false;
}

TEST(FaultTest, TheEarlierDataFileSurvivesEveryWayAFileCanFail) {
    // a.csv holds the result of an earlier run; whatever stops the new one part-way, that
    // file stays whole and no temporary file is left.
    struct Case {
        const char* name;
        std::function<std::string()> drawing;
        std::function<RunResult(const Folders&)> run;
    };
    const auto plainRun = [](const Folders& f) { return RunTwoFiles(f, f.out); };
    // clang-format off
    const Case cases[] = {
        {"conversion_error",
         [] { return Points(60000, "0\r\nPOINT\r\n10\r\n1,5\r\n20\r\n2\r\n"); }, plainRun},
        {"disk_full", [] { return Points(60000); },
         [&](const Folders& f) {
             FileSizeLimit limit(256 * 1024);
             EXPECT_TRUE(limit.Ok());
             return RunTwoFiles(f, f.out);
         }},
        {"not_dxf", [] { return Points(60000, "1O\r\nx\r\n"); }, plainRun},
        {"stop", [] { return Points(60000); },
         [](const Folders& f) {
             test::TestConfig c = PointConfig();
             RunCounters counters;
             std::atomic<bool> cancel{false};
             StopAtFirstProgress stop(cancel);
             return ProcessSelectedFiles(c.Config, c.DataOrder, c.SelectedKinds, counters,
                                         cancel, &stop, f.Request(f.out));
         }},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Folders f;
        WriteFileBytes(f.in / "a.dxf", c.drawing());
        f.drawingA = c.drawing();
        const std::string earlier = "1,earlier,result\r\n";
        WriteFileBytes(f.out / "a.csv", earlier);
        c.run(f);
        EXPECT_EQ(ReadFileBytes(f.out / "a.csv"), earlier);
        EXPECT_FALSE(HasTemporaryFile(f.out));
        f.ExpectDrawingsKept();
    }
}

bool HasTemporaryFileOf(const fs::path& dir, const std::string& dataName) {
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(dir, ec))
        if (entry.path().filename().string().rfind(dataName + ".quarrow-", 0) == 0)
            return true;
    return false;
}

TEST(FaultTest, SignalsStopTheCommandLineRunAndKeepTheEarlierDataFiles) {
    // Three large drawings; the signal comes while the first one is read, long before the
    // last one ends. Every earlier Data file stays whole: the one being written, and those of
    // the drawings never reached. SIGKILL cannot be caught: the file being written is left
    // beside the earlier one, and no log is written.
    for (const int signal : {SIGINT, SIGTERM, SIGKILL}) {
        SCOPED_TRACE(signal);
        Folders f;
        const std::string drawing = Points(400000);
        const std::string earlier = "1,earlier,result\r\n";
        std::vector<std::string> args;
        for (const char* name : {"a", "b", "c"}) {
            WriteFileBytes(f.in / (std::string(name) + ".dxf"), drawing);
            WriteFileBytes(f.out / (std::string(name) + ".txt"), earlier);
        }
        f.drawingA = f.drawingB = drawing;
        const std::string config = (f.temp / "points.qrw");
        {
            ExportConfig c;
            ConfigTree entities;
            ConfigTree data;
            BuildDefaultConfig(c, entities, data);
            c.DataFileExt = "txt";
            ASSERT_TRUE(WriteConfigFile(config, c, entities, data).Ok);
        }
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            std::ostringstream out, err;
            const int status = RunCli({"run", "--config", config, "--dest", f.out.string(), "--log",
                                       f.log.string(), f.in.string()},
                                      out, err);
            ::_exit(status == 0 ? 100 : status);
        }
        bool sent = false;
        for (int i = 0; i < 40000 && !sent; ++i) {
            if (HasTemporaryFileOf(f.out, "a.txt")) {
                ::kill(child, signal);
                sent = true;
            } else {
                ::usleep(250);
            }
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(sent) << "the first drawing was never seen being written";
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << status;
        EXPECT_TRUE(ReadFileBytes(f.out / "a.txt") == earlier);
        EXPECT_TRUE(ReadFileBytes(f.out / "c.txt") == earlier);
        if (signal == SIGKILL) {
            EXPECT_EQ(ReadFileBytes(f.log), "previous log");
        } else {
            EXPECT_FALSE(HasTemporaryFile(f.out));
            EXPECT_NE(ReadFileBytes(f.log).find("*** Process canceled by user ***"),
                      std::string::npos);
        }
        f.ExpectDrawingsKept();
    }
}

}  // namespace
}  // namespace quarrow
