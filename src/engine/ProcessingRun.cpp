#include "engine/ProcessingRun.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <thread>

#include "config/FileReplace.h"
#include "config/TextUtil.h"
#include "detail/DataRecordWriter.h"
#include "detail/DxfScan.h"

namespace quarrow {

RunCheck CheckRunRequest(ExportConfig& config, std::string_view extensionFieldText,
                         std::string_view separatorFieldText, const ConfigTree& entityTree,
                         const ConfigTree& dataTree) {
    RunCheck check;
    if (TrimText(extensionFieldText).empty()) {
        check.Message = kMsgEnterExtension;
        check.Focus = RunFocus::ExtensionField;
        return check;
    }
    ResolveFieldSeparator(config, separatorFieldText);
    check.DataOrder = BuildDataOrder(dataTree);
    check.SelectedKinds = BuildSelectedKinds(entityTree);
    bool anyKind = false;
    for (const auto flag : check.SelectedKinds)
        anyKind = anyKind || flag == 1;
    if (!anyKind) {
        check.Message = kMsgSelectEntities;
        return check;
    }
    bool anyData = false;
    for (const auto g : check.DataOrder)
        anyData = anyData || g != -1;
    if (!anyData)
        check.Message = kMsgSelectData;
    return check;
}

bool TestDestinationWritable(const std::string& folder) {
    // A name of this test's own: two runs at once into one folder never refuse each other,
    // and a file left by a run that was killed blocks nothing.
    std::string path;
    std::FILE* file = CreateUniqueFile(WithTrailingSeparator(folder) + "quarrow$_$", ".tmp", path);
    if (file == nullptr)
        return false;
    std::fclose(file);
    std::remove(path.c_str());
    return true;
}

std::string DestinationNotWritableText(std::string_view folder) {
    return "Destination directory \"" + std::string(folder) +
           "\" is write-protected, files can't be created here. Please select another "
           "directory.";
}

std::string WithTrailingSeparator(std::string path) {
#ifdef _WIN32
    // "C:\drawings" goes on with a backslash, as Windows users write paths.
    if (path.empty() || (path.back() != '/' && path.back() != '\\'))
        path += path.find('\\') != std::string::npos ? '\\' : '/';
    return path;
#else
    if (path.empty() || path.back() != '/')
        path += '/';
    return path;
#endif
}

std::string DataPathFor(std::string_view destFolder, std::string_view dxfFileName,
                        std::string_view extension) {
    std::string path(destFolder);
    // The last dot: "Job 2024.05.12.dxf" and "Job 2024.06.01.dxf" are two Data files.
    const std::size_t dot = dxfFileName.rfind('.');
    path += dot == std::string_view::npos ? std::string(dxfFileName) + "."
                                          : std::string(dxfFileName.substr(0, dot + 1));
    // An extension typed as ".csv" gives "points.csv", not "points..csv".
    while (!extension.empty() && extension.front() == '.')
        extension.remove_prefix(1);
    path += extension;
    return path;
}

RunEntry MakeListEntry(std::string_view dxfFolder, std::string_view name, bool selected,
                       std::string_view extension) {
    RunEntry entry;
    entry.FileName = std::string(name) + "." + std::string(extension);
    entry.DxfPath = WithTrailingSeparator(std::string(dxfFolder)) + entry.FileName;
    entry.Selected = selected;
    return entry;
}

RunResult ProcessSelectedFiles(ExportConfig& config, const DataOrderArray& dataOrder,
                               const SelectedKindsArray& selectedKinds, RunCounters& counters,
                               std::atomic<bool>& cancelRequested, RunObserver* observer,
                               const RunRequest& request) {
    RunResult result;
    const std::string dest = WithTrailingSeparator(request.DestFolder);
    if (!TestDestinationWritable(dest)) {
        result.Status = RunStatus::DestinationNotWritable;
        result.Message = DestinationNotWritableText(dest);
        return result;
    }

    cancelRequested.store(false, std::memory_order_relaxed);
    RunSettings settings(config, dataOrder, selectedKinds);
    ProcessingReport& report = result.Report;
    int selected = 0;
    for (const auto& entry : request.Entries)
        selected += entry.Selected ? 1 : 0;
    report.Add("Quarrow report created " + request.DateTimeText);
    report.Add("");
    report.Add("Number of processed files : " + std::to_string(selected));
    report.Add(kReportSeparator);
    report.Add("");

    if (observer != nullptr)
        observer->RunStarted();
    std::vector<std::string> drawings;
    drawings.reserve(request.Entries.size());
    for (const auto& entry : request.Entries)
        drawings.push_back(entry.DxfPath);
    ScanEnvironment env{settings, counters,          cancelRequested,
                        observer, request.BlockSize, &drawings};
    if (std::thread::hardware_concurrency() >= 2)
        env.SegmentSize = request.SegmentSize;
    // The Data files written so far, by the file they are (the same name reached through
    // another spelling counts), with the drawing each came from.
    std::map<std::string, std::string> written;
    const auto dataKey = [](const std::string& path) {
        std::error_code ec;
        const std::filesystem::path canonical = std::filesystem::weakly_canonical(path, ec);
        return ec ? path : canonical.string();
    };
    int fileNumber = 1;
    for (const auto& entry : request.Entries) {
        if (entry.Selected) {
            const std::string dataPath =
                DataPathFor(dest + entry.DataFolder, entry.FileName, settings.Config.DataFileExt);
            ++result.ProcessedFiles;
            FileReport file;
            // "site.dxf" and "site.old.dxf", or two folders' "x.dxf": the second drawing
            // would silently replace the first one's records.
            const std::string key = dataKey(dataPath);
            if (const auto first = written.find(key); first != written.end()) {
                file.Outcome = FileReport::Status::NotRead;
                file.Reason =
                    "this Data file was already written in this run, from " + first->second;
            } else {
                // A subfolder mirrored under the destination is made when its first drawing
                // is read; one that cannot be made fails as its Data file's creation does.
                if (!entry.DataFolder.empty()) {
                    std::error_code ec;
                    std::filesystem::create_directories(dest + entry.DataFolder, ec);
                }
                file = FileReportOf(ScanDxfFile(env, entry.DxfPath, dataPath));
                if (file.Outcome == FileReport::Status::Converted)
                    written.emplace(key, entry.DxfPath);
            }
            file.DxfPath = entry.DxfPath;
            file.DataPath = dataPath;
            switch (file.Outcome) {
            case FileReport::Status::Converted:
                ++result.FilesConverted;
                result.RecordsWritten += file.Records;
                break;
            case FileReport::Status::NotRead: ++result.FilesNotRead; break;
            case FileReport::Status::Failed:
                if (request.KeepGoing)
                    ++result.FilesFailed;
                break;
            case FileReport::Status::Canceled: break;
            }
            // The scan gave a failed file's numbers back and left no Data file; without
            // KeepGoing its error ends the run.
            const bool endsRun = file.Outcome == FileReport::Status::Failed && !request.KeepGoing;
            report.AddFileHead(fileNumber++, file);
            report.AddFileOutcome(file, settings.SelectedKinds, settings.FilterText, !endsRun);
            result.Files.push_back(std::move(file));
            if (endsRun) {
                if (observer != nullptr)
                    observer->RunFinished();
                result.Status = RunStatus::Failed;
                result.Message = result.Files.back().Reason;
                return result;
            }
        }
        if (cancelRequested.load(std::memory_order_relaxed)) {
            report.Add(kCancelLine);
            result.Canceled = true;
            break;
        }
    }
    if (observer != nullptr)
        observer->RunFinished();
    if (!request.LogPath.empty())
        result.LogError = WriteLogFile(request.LogPath, report.LogText());
    return result;
}

std::string WriteLogFile(const std::string& path, std::string_view text) {
    const ReplaceResult result = ReplaceFileContents(path, text);
    if (result.Ok())
        return {};
    const char* verb = result.Step == ReplaceStep::Create ? "create" : "write";
    return std::string("Cannot ") + verb + " log file \"" + path +
           "\": " + SystemErrorText(result.Error);
}

}  // namespace quarrow
