// run: the desktop program's "Process selected files" without windows.

#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <clocale>
#include <csignal>
#include <ctime>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "cli/Cli.h"
#include "config/ConfigFile.h"
#include "config/ConfigTree.h"
#include "config/ExportConfig.h"
#include "config/TextUtil.h"
#include "engine/DxfFileList.h"
#include "engine/ProcessingRun.h"
#include "engine/RunObserver.h"

namespace quarrow {
namespace {

constexpr const char* kRunUsage =
    "Usage: quarrow-cli run --config FILE.qrw --dest DIR [--log FILE] [--quiet] [--keep-going] "
    "PATH...\n";

// The report's date: the user's short date and long time, as the desktop program writes it.
std::string LocalDateTimeText() {
    std::setlocale(LC_TIME, "");
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[128];
    const std::size_t size = std::strftime(text, sizeof text, "%x %X", &local);
    return std::string(text, size);
}

// The progress line on a terminal: file, percent, MB/s, redrawn at most ten times a second.
class TerminalProgress final : public RunObserver {
public:
    explicit TerminalProgress(std::ostream& err) : err_(err) {}

    void FileStarted(std::string_view fileName, std::uint64_t size) override {
        EndFile();
        name_ = fileName;
        size_ = size;
        start_ = Clock::now();
        lastDraw_ = {};
        Draw(0, true);
    }
    void Progress(std::uint64_t position) override { Draw(position, false); }
    void RunFinished() override {
        EndFile();
        if (drawn_)
            err_ << "\n" << std::flush;
    }

private:
    using Clock = std::chrono::steady_clock;

    void EndFile() {
        if (!name_.empty())
            Draw(size_, true);
    }
    void Draw(std::uint64_t position, bool force) {
        const auto now = Clock::now();
        if (!force && now - lastDraw_ < std::chrono::milliseconds(100))
            return;
        lastDraw_ = now;
        const double seconds = std::chrono::duration<double>(now - start_).count();
        const int percent = size_ == 0 ? 100 : static_cast<int>(position * 100 / size_);
        const double mbPerSecond = seconds > 0 ? double(position) / 1e6 / seconds : 0.0;
        char figures[64];
        std::snprintf(figures, sizeof figures, " %3d%%  %.1f MB/s", percent, mbPerSecond);
        err_ << "\r\x1b[K" << name_ << figures << std::flush;
        drawn_ = true;
    }

    std::ostream& err_;
    std::string name_;
    std::uint64_t size_ = 0;
    Clock::time_point start_{};
    Clock::time_point lastDraw_{};
    bool drawn_ = false;
};

struct RunArguments {
    std::string Config, Dest, Log;
    bool Quiet = false;
    bool KeepGoing = false;
    std::vector<std::string> Paths;
};

// Returns an empty text, or what is wrong with the arguments.
std::string ParseRunArguments(const std::vector<std::string>& args, RunArguments& parsed) {
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (!optionsEnded && arg == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && (arg == "--config" || arg == "--dest" || arg == "--log")) {
            if (i + 1 >= args.size())
                return "option " + arg + " needs a value";
            std::string& target = arg == "--config" ? parsed.Config
                                  : arg == "--dest" ? parsed.Dest
                                                    : parsed.Log;
            target = args[++i];
        } else if (!optionsEnded && arg == "--quiet") {
            parsed.Quiet = true;
        } else if (!optionsEnded && arg == "--keep-going") {
            parsed.KeepGoing = true;
        } else if (!optionsEnded && arg.size() > 1 && arg[0] == '-') {
            return "unknown option \"" + arg + "\"";
        } else {
            parsed.Paths.push_back(arg);
        }
    }
    if (parsed.Config.empty())
        return "--config FILE.qrw is required";
    if (parsed.Dest.empty())
        return "--dest DIR is required";
    if (parsed.Paths.empty())
        return "no DXF file or folder given";
    return {};
}

// A folder gives its *.dxf files in the file list's default order (Name ascending); a file
// given directly keeps its place.
std::vector<RunEntry> CollectEntries(const std::vector<std::string>& paths) {
    std::vector<RunEntry> entries;
    for (const std::string& path : paths) {
        std::error_code ec;
        if (std::filesystem::is_directory(path, ec)) {
            std::vector<DxfFileEntry> rows = ListDxfFiles(path, DateSeparators{});
            SortDxfFileEntries(rows, FileListColumn::Name, true);
            for (const auto& row : rows)
                entries.push_back(MakeListEntry(path, row.Name, true, row.Extension));
        } else {
            RunEntry entry;
            entry.DxfPath = path;
            entry.FileName = std::filesystem::path(path).filename().string();
            entries.push_back(std::move(entry));
        }
    }
    return entries;
}

// Checks --log before anything is written: the log replaces its file at the end of the run, so
// it may be no input of the run, no Data file of it, and no device, pipe or other special
// file; and its folder must take files (unless it is the destination, tested with it). A
// link to a regular file is followed, so the link stays. Returns an empty text, or why not.
std::string CheckLogPath(std::string& log, const RunArguments& parsed, const RunRequest& request,
                         const ExportConfig& config) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const auto same = [](const fs::path& a, const fs::path& b) {
        std::error_code e1, e2;
        const fs::path ca = fs::weakly_canonical(a, e1);
        const fs::path cb = fs::weakly_canonical(b, e2);
        return !e1 && !e2 && ca == cb;
    };
    const std::string reuse = "the log file \"" + log + "\" is ";
    if (same(log, parsed.Config))
        return reuse + "the configuration file; give --log another file";
    const std::string dest = WithTrailingSeparator(parsed.Dest);
    for (const RunEntry& entry : request.Entries) {
        if (same(log, entry.DxfPath))
            return reuse + "the DXF file \"" + entry.DxfPath + "\"; give --log another file";
        const std::string data = DataPathFor(dest, entry.FileName, config.DataFileExt);
        if (same(log, data))
            return reuse + "the Data file of \"" + entry.DxfPath + "\"; give --log another file";
    }
    const fs::file_status status = fs::status(log, ec);
    if (fs::exists(status) && !fs::is_regular_file(status))
        return reuse + "not a regular file (a folder, device or pipe); give --log a file";
    if (fs::is_symlink(fs::symlink_status(log, ec)) && fs::is_regular_file(status))
        log = fs::canonical(log, ec).string();
    fs::path folder = fs::path(log).parent_path();
    if (folder.empty())
        folder = ".";
    if (!same(folder, parsed.Dest) &&
        (!fs::is_directory(folder, ec) || !TestDestinationWritable(folder.string())))
        return "cannot write the log file \"" + log + "\": its folder \"" + folder.string() +
               "\" does not exist or is write-protected";
    return {};
}

// Ctrl-C and SIGTERM stop the run as the desktop program's Stop button does: the drawing being
// read leaves no Data file (the earlier one stays), the report and the log say the run was
// canceled, and then the process ends by that signal, as shells and scripts expect.
std::atomic<bool>* stopFlag = nullptr;
volatile std::sig_atomic_t stopSignal = 0;

extern "C" void OnStopSignal(int signal) {
    stopSignal = signal;
    if (stopFlag != nullptr)
        stopFlag->store(true, std::memory_order_relaxed);
}

class StopSignals {
public:
    explicit StopSignals(std::atomic<bool>& flag) {
        static_assert(std::atomic<bool>::is_always_lock_free, "set from a signal handler");
        stopSignal = 0;
        stopFlag = &flag;
        struct sigaction action {};
        action.sa_handler = OnStopSignal;
        sigemptyset(&action.sa_mask);
        sigaction(SIGINT, &action, &oldInt_);
        sigaction(SIGTERM, &action, &oldTerm_);
    }
    ~StopSignals() {
        sigaction(SIGINT, &oldInt_, nullptr);
        sigaction(SIGTERM, &oldTerm_, nullptr);
        stopFlag = nullptr;
    }
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

private:
    struct sigaction oldInt_ {};
    struct sigaction oldTerm_ {};
};

}  // namespace

int RunCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    RunArguments parsed;
    if (const std::string problem = ParseRunArguments(args, parsed); !problem.empty()) {
        err << "quarrow-cli run: " << problem << "\n" << kRunUsage;
        return kExitRefused;
    }

    ExportConfig config;
    ConfigTree entityTree = BuildEntityTree();
    ConfigTree dataTree = BuildDataTree();
    const ReadResult read = ReadConfigFile(parsed.Config, config, entityTree, dataTree);
    if (read.Outcome != ConfigReadOutcome::ReadInFull) {
        err << "quarrow-cli run: cannot load configuration \"" << parsed.Config
            << "\": " << read.Message << "\n";
        return kExitRefused;
    }

    // The desktop program's filter field trims what a load puts in it; so does this load.
    SetBlockNameFilter(config, config.BlockNameFilter);

    // The checks of the "Process selected files" button; the fields hold what was loaded.
    const std::string separatorField = config.FieldSeparator;
    const RunCheck check =
        CheckRunRequest(config, config.DataFileExt, separatorField, entityTree, dataTree);
    if (!check.Ok()) {
        err << "quarrow-cli run: " << TrimText(check.Message) << "\n";
        return kExitRefused;
    }

    RunRequest request;
    request.Entries = CollectEntries(parsed.Paths);
    request.KeepGoing = parsed.KeepGoing;
    std::string logPath = parsed.Log;
    if (!logPath.empty()) {
        if (const std::string problem = CheckLogPath(logPath, parsed, request, config);
            !problem.empty()) {
            err << "quarrow-cli run: " << problem << "\n";
            return kExitRefused;
        }
    }

    std::error_code ec;
    std::filesystem::create_directories(parsed.Dest, ec);
    if (ec || !std::filesystem::is_directory(parsed.Dest, ec)) {
        err << "quarrow-cli run: cannot create destination folder \"" << parsed.Dest << "\"\n";
        return kExitRefused;
    }
    request.DestFolder = parsed.Dest;
    request.DateTimeText = LocalDateTimeText();
    request.LogPath = logPath;

    // The counters live as long as the program: here, one run.
    RunCounters counters;
    std::atomic<bool> cancelRequested{false};
    TerminalProgress progress(err);
    const bool onTerminal = &err == &std::cerr && ::isatty(STDERR_FILENO) == 1;
    RunResult result;
    int signal = 0;
    {
        const StopSignals stopSignals(cancelRequested);
        result = ProcessSelectedFiles(config, check.DataOrder, check.SelectedKinds, counters,
                                      cancelRequested, onTerminal ? &progress : nullptr, request);
        signal = stopSignal;
    }
    if (signal != 0 && result.Status == RunStatus::Done) {
        if (!parsed.Quiet)
            for (const auto& line : result.Report.Lines)
                out << line << "\n";
        out.flush();
        std::signal(signal, SIG_DFL);
        std::raise(signal);
        return 128 + signal;
    }

    if (result.Status == RunStatus::DestinationNotWritable) {
        err << "quarrow-cli run: " << result.Message << "\n";
        return kExitRefused;
    }
    // The files done so far are reported even when an error ended the run.
    if (!parsed.Quiet)
        for (const auto& line : result.Report.Lines)
            out << line << "\n";
    if (result.Status == RunStatus::Failed) {
        out.flush();
        err << "quarrow-cli run: " << result.Message << "\n";
        return kExitRunError;
    }
    if (!result.LogError.empty()) {
        err << "quarrow-cli run: " << result.LogError << "\n";
        return kExitRunError;
    }
    if (result.FilesFailed > 0)
        return kExitRunError;
    return result.FilesNotRead > 0 ? kExitSomeFilesFailed : kExitDone;
}

}  // namespace quarrow
