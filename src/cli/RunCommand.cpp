// run: the desktop program's "Process selected files" without windows.

#ifdef _WIN32
#include <io.h>
#else
#include <signal.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <atomic>
#include <cctype>
#include <chrono>
#include <clocale>
#include <csignal>
#include <ctime>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "JsonReport.h"
#include "cli/Cli.h"
#include "cli/RunConfiguration.h"
#include "cli/ShippedData.h"
#include "config/FileReplace.h"
#include "config/ConfigTree.h"
#include "config/ExportConfig.h"
#include "config/TextUtil.h"
#include "engine/DxfFileList.h"
#include "engine/ProcessingRun.h"
#include "engine/RunObserver.h"

namespace quarrow {
namespace {

// The report's date: the user's short date and long time, as the desktop program writes it.
std::string LocalDateTimeText() {
    std::setlocale(LC_TIME, "");
    const std::time_t now = std::time(nullptr);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    char text[128];
    const std::size_t size = std::strftime(text, sizeof text, "%x %X", &local);
    return std::string(text, size);
}

// The time a run started, for programs: ISO 8601 in UTC.
std::string UtcDateTimeText() {
    const std::time_t now = std::time(nullptr);
    std::tm utc{};
#ifdef _WIN32
    gmtime_s(&utc, &now);
#else
    gmtime_r(&now, &utc);
#endif
    char text[32];
    const std::size_t size = std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
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
    std::string Config, Dest, Log, JsonReport;
    bool Quiet = false;
    bool KeepGoing = false;
    bool Recursive = false;
    std::vector<std::string> Paths;
};

// Fills in the defaults: the configuration installed with the program, the current folder.
// Returns an empty text, or what is wrong.
std::string TakeRunArguments(const ParsedOptions& options, RunArguments& parsed) {
    parsed.Config = options.Value("config");
    parsed.Dest = options.Value("dest");
    parsed.Log = options.Value("log");
    parsed.JsonReport = options.Value("json-report");
    parsed.Quiet = options.Has("quiet");
    parsed.KeepGoing = options.Has("keep-going");
    parsed.Recursive = options.Has("recursive");
    parsed.Paths = options.Operands;
    for (const char* name : {"config", "dest", "log", "json-report"})
        if (options.Has(name) && options.Value(name).empty())
            return std::string("option --") + name + " needs a value";
    if (parsed.Paths.empty())
        return "no DXF file or folder given";
    if (parsed.Config.empty()) {
        const std::vector<std::filesystem::path> folders = ShippedDataFolders();
        parsed.Config = FindShippedFile("default.qrw", folders).string();
        if (parsed.Config.empty()) {
            std::string where;
            for (const auto& folder : folders)
                where += (where.empty() ? "" : ", ") + folder.string();
            return "no --config given, and the default configuration default.qrw is in none of " +
                   where;
        }
    }
    if (parsed.Dest.empty()) {
        std::error_code ec;
        parsed.Dest = std::filesystem::current_path(ec).string();
        if (ec)
            return "no --dest given, and the current folder cannot be read";
    }
    return {};
}

bool NameBefore(const std::string& a, const std::string& b) {
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const int ca = std::toupper(static_cast<unsigned char>(a[i]));
        const int cb = std::toupper(static_cast<unsigned char>(b[i]));
        if (ca != cb)
            return ca < cb;
    }
    return a.size() < b.size();
}

// A folder's *.dxf files by name, then (recursive) its subfolders' in name order, depth first;
// each subfolder's Data files go to the same subfolder under the destination (dataFolder, the
// path below the folder given, with a trailing separator). Links to folders are not followed,
// so a link to a parent cannot make the list endless.
void CollectFolder(const std::string& folder, bool recursive, const std::string& dataFolder,
                   std::vector<RunEntry>& entries) {
    std::vector<DxfFileEntry> rows = ListDxfFiles(folder, DateSeparators{});
    SortDxfFileEntries(rows, FileListColumn::Name, true);
    for (const auto& row : rows) {
        entries.push_back(MakeListEntry(folder, row.Name, true, row.Extension));
        entries.back().DataFolder = dataFolder;
    }
    if (!recursive)
        return;
    std::vector<std::string> subfolders;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end;
         it.increment(ec)) {
        std::error_code typeError;
        if (it->symlink_status(typeError).type() == std::filesystem::file_type::directory)
            subfolders.push_back(it->path().filename().string());
    }
    std::sort(subfolders.begin(), subfolders.end(), NameBefore);
    for (const std::string& name : subfolders)
        CollectFolder(WithTrailingSeparator(folder) + name, true,
                      WithTrailingSeparator(dataFolder + name), entries);
}

// A folder gives its *.dxf files in the file list's default order (Name ascending); a file
// given directly keeps its place.
std::vector<RunEntry> CollectEntries(const std::vector<std::string>& paths, bool recursive) {
    std::vector<RunEntry> entries;
    for (const std::string& path : paths) {
        std::error_code ec;
        if (std::filesystem::is_directory(path, ec)) {
            CollectFolder(path, recursive, {}, entries);
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
                         const ExportConfig& config, std::string_view what = "log file") {
    namespace fs = std::filesystem;
    std::error_code ec;
    const auto same = [](const fs::path& a, const fs::path& b) {
        std::error_code e1, e2;
        const fs::path ca = fs::weakly_canonical(a, e1);
        const fs::path cb = fs::weakly_canonical(b, e2);
        return !e1 && !e2 && ca == cb;
    };
    const std::string option = what == "log file" ? "--log" : "--json-report";
    const std::string reuse = "the " + std::string(what) + " \"" + log + "\" is ";
    if (same(log, parsed.Config))
        return reuse + "the configuration file; give " + option + " another file";
    const std::string dest = WithTrailingSeparator(parsed.Dest);
    for (const RunEntry& entry : request.Entries) {
        if (same(log, entry.DxfPath))
            return reuse + "the DXF file \"" + entry.DxfPath + "\"; give " + option +
                   " another file";
        const std::string data =
            DataPathFor(dest + entry.DataFolder, entry.FileName, config.DataFileExt);
        if (same(log, data))
            return reuse + "the Data file of \"" + entry.DxfPath + "\"; give " + option +
                   " another file";
    }
    const fs::file_status status = fs::status(log, ec);
    if (fs::exists(status) && !fs::is_regular_file(status))
        return reuse + "not a regular file (a folder, device or pipe); give " + option + " a file";
    if (fs::is_symlink(fs::symlink_status(log, ec)) && fs::is_regular_file(status))
        log = fs::canonical(log, ec).string();
    fs::path folder = fs::path(log).parent_path();
    if (folder.empty())
        folder = ".";
    if (!same(folder, parsed.Dest) &&
        (!fs::is_directory(folder, ec) || !TestDestinationWritable(folder.string())))
        return "cannot write the " + std::string(what) + " \"" + log + "\": its folder \"" +
               folder.string() + "\" does not exist or is write-protected";
    return {};
}

std::string Counted(std::int64_t count, std::string_view one, std::string_view many) {
    return std::to_string(count) + " " + std::string(count == 1 ? one : many);
}

// The run's last word, for a script's log or the user at the terminal, who may not read the
// report: "3 files converted, 1 not read, 0 failed, 2 warnings".
std::string RunTotalsText(const RunResult& result) {
    std::int64_t warnings = 0;
    for (const FileReport& file : result.Files)
        warnings += std::int64_t(file.Warnings.size());
    const int failed = result.FilesFailed + (result.Status == RunStatus::Failed ? 1 : 0);
    return Counted(result.FilesConverted, "file", "files") + " converted, " +
           std::to_string(result.FilesNotRead) + " not read, " + std::to_string(failed) +
           " failed, " + Counted(warnings, "warning", "warnings");
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
#ifdef _WIN32
        // Ctrl-C and Ctrl-Break reach a console program as SIGINT and SIGBREAK.
        oldInt_ = std::signal(SIGINT, OnStopSignal);
        oldTerm_ = std::signal(SIGBREAK, OnStopSignal);
#else
        struct sigaction action {};
        action.sa_handler = OnStopSignal;
        sigemptyset(&action.sa_mask);
        sigaction(SIGINT, &action, &oldInt_);
        sigaction(SIGTERM, &action, &oldTerm_);
#endif
    }
    ~StopSignals() {
#ifdef _WIN32
        std::signal(SIGINT, oldInt_);
        std::signal(SIGBREAK, oldTerm_);
#else
        sigaction(SIGINT, &oldInt_, nullptr);
        sigaction(SIGTERM, &oldTerm_, nullptr);
#endif
        stopFlag = nullptr;
    }
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

private:
#ifdef _WIN32
    void (*oldInt_)(int) = SIG_DFL;
    void (*oldTerm_)(int) = SIG_DFL;
#else
    struct sigaction oldInt_ {};
    struct sigaction oldTerm_ {};
#endif
};

}  // namespace

int RunCommand(const ParsedOptions& options, std::ostream& out, std::ostream& err) {
    RunArguments parsed;
    if (const std::string problem = TakeRunArguments(options, parsed); !problem.empty()) {
        err << "quarrow-cli run: " << problem
            << "\nUsage: quarrow-cli run [OPTION...] PATH...  (quarrow-cli help run tells more)\n";
        return kExitRefused;
    }

    RunConfiguration loaded;
    if (!LoadRunConfiguration(parsed.Config, "run", loaded, err))
        return kExitRefused;
    ExportConfig& config = loaded.Config;
    const RunCheck& check = loaded.Check;

    RunRequest request;
    request.Entries = CollectEntries(parsed.Paths, parsed.Recursive);
    if (request.Entries.empty()) {
        // Folders without drawings (a typo, the wrong folder, files not copied yet) would
        // give an empty report and exit 0, which a script takes for work done.
        std::string where;
        for (const std::string& path : parsed.Paths)
            where += (where.empty() ? "\"" : ", \"") + path + "\"";
        err << "quarrow-cli run: no DXF file to convert in: " << where;
        if (!parsed.Recursive && !CollectEntries(parsed.Paths, true).empty())
            err << " (their subfolders hold some: add --recursive)";
        err << "\n";
        return kExitRefused;
    }
    request.KeepGoing = parsed.KeepGoing;
    std::string logPath = parsed.Log;
    std::string jsonPath = parsed.JsonReport;
    if (!logPath.empty()) {
        if (const std::string problem = CheckLogPath(logPath, parsed, request, config);
            !problem.empty()) {
            err << "quarrow-cli run: " << problem << "\n";
            return kExitRefused;
        }
    }
    if (!jsonPath.empty()) {
        std::string problem = CheckLogPath(jsonPath, parsed, request, config, "JSON report");
        std::error_code ec;
        if (problem.empty() && !logPath.empty() &&
            std::filesystem::weakly_canonical(jsonPath, ec) ==
                std::filesystem::weakly_canonical(logPath, ec))
            problem = "the JSON report \"" + jsonPath +
                      "\" is the log file; give --json-report another file";
        if (!problem.empty()) {
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
#ifdef _WIN32
    const bool onTerminal = &err == &std::cerr && ::_isatty(2) != 0;
#else
    const bool onTerminal = &err == &std::cerr && ::isatty(STDERR_FILENO) == 1;
#endif
    const std::string startedUtc = UtcDateTimeText();
    const auto started = std::chrono::steady_clock::now();
    RunResult result;
    int signal = 0;
    {
        const StopSignals stopSignals(cancelRequested);
        result = ProcessSelectedFiles(config, check.DataOrder, check.SelectedKinds, counters,
                                      cancelRequested, onTerminal ? &progress : nullptr, request);
        signal = stopSignal;
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();

    if (result.Status == RunStatus::DestinationNotWritable) {
        err << "quarrow-cli run: " << result.Message << "\n";
        return kExitRefused;
    }
    // The files done so far are reported even when an error ended the run.
    if (!parsed.Quiet)
        for (const auto& line : result.Report.Lines)
            out << line << "\n";

    int status = kExitDone;
    if (signal != 0 && result.Status == RunStatus::Done)
        status = 128 + signal;
    else if (result.Status == RunStatus::Failed || !result.LogError.empty() ||
             result.FilesFailed > 0)
        status = kExitRunError;
    else if (result.FilesNotRead > 0)
        status = kExitSomeFilesFailed;

    if (result.Status == RunStatus::Failed) {
        out.flush();
        err << "quarrow-cli run: " << result.Message << "\n";
    }
    if (!result.LogError.empty())
        err << "quarrow-cli run: " << result.LogError << "\n";
    if (!jsonPath.empty()) {
        const JsonReportContext context{parsed.Config, parsed.Dest, startedUtc,
                                        seconds,       status,      check.SelectedKinds};
        const ReplaceResult written =
            ReplaceFileContents(jsonPath, JsonReportText(request, result, context));
        if (!written.Ok()) {
            err << "quarrow-cli run: cannot write the JSON report \"" << jsonPath
                << "\": " << SystemErrorText(written.Error) << "\n";
            if (status == kExitDone || status == kExitSomeFilesFailed)
                status = kExitRunError;
        }
    }
    if (!parsed.Quiet) {
        out.flush();
        err << "quarrow-cli run: " << RunTotalsText(result) << "\n";
    }
    if (signal != 0 && result.Status == RunStatus::Done) {
        out.flush();
        std::signal(signal, SIG_DFL);
        std::raise(signal);
    }
    return status;
}

}  // namespace quarrow
