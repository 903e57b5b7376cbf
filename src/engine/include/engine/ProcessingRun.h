#pragma once
// A processing run over the selected files: the checks before it, the destination test, the
// Data path rule, the report and the log file.

#include <array>
#include <atomic>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "config/ConfigTree.h"
#include "config/ExportConfig.h"
#include "engine/FileReport.h"
#include "engine/ProcessingReport.h"
#include "engine/ReadSizes.h"
#include "engine/RunObserver.h"
#include "engine/RunSettings.h"

namespace quarrow {

inline constexpr std::string_view kMsgEnterExtension =
    "  Please, enter a file extension to use for the Data files.  ";
inline constexpr std::string_view kMsgSelectEntities =
    "  Please, select DXF entities to be processed.  ";
inline constexpr std::string_view kMsgSelectData = "  Please, select data to be exported.  ";
inline constexpr std::string_view kLogFileName = "QuarrowLog.txt";
inline constexpr std::string_view kCancelLine = "*** Process canceled by user ***";

// Which field gets the input focus after a refused request.
enum class RunFocus { None, ExtensionField };

// The outcome of the checks made when the user asks for a run.
struct RunCheck {
    std::string Message;  // empty when the run may start
    RunFocus Focus = RunFocus::None;
    DataOrderArray DataOrder{};
    SelectedKindsArray SelectedKinds{};

    bool Ok() const noexcept { return Message.empty(); }
};

// Checks a run request as the "Process selected files" button does: the extension field's
// text, then (resolving the field separator into the configuration) the selected kinds and
// the selected data. Returns the message to show, if any, with the field to focus.
[[nodiscard]] RunCheck CheckRunRequest(ExportConfig& config, std::string_view extensionFieldText,
                                       std::string_view separatorFieldText,
                                       const ConfigTree& entityTree, const ConfigTree& dataTree);

// Returns true when a new file (of a name of its own, "quarrow$_$<random>.tmp") can be created
// in the folder; it is removed at once.
[[nodiscard]] bool TestDestinationWritable(const std::string& folder);

// Returns the message of a destination folder that cannot take the Data files; the folder as
// shown, with its trailing separator.
std::string DestinationNotWritableText(std::string_view folder);

// Returns the path with a trailing path separator.
std::string WithTrailingSeparator(std::string path);

// Returns the Data path of a DXF file name: the destination folder (with its separator), the
// name up to and including its last "." (a name without one gets one), then the extension
// without leading dots ("site.old.dxf" -> "site.old.csv").
std::string DataPathFor(std::string_view destFolder, std::string_view dxfFileName,
                        std::string_view extension);

// One entry of the list of files to process, in display order.
struct RunEntry {
    std::string DxfPath;   // as the report names it
    std::string FileName;  // the file name without folder, for the Data path
    bool Selected = true;
    // The folder of the Data file under the destination, "" or ending in a separator: the
    // drawing's subfolder of a folder given to a recursive run ("job1/").
    std::string DataFolder;
};

// Returns the entry of a file-list row: the DXF folder (given a separator), Name, "." and the
// extension as the file has it.
RunEntry MakeListEntry(std::string_view dxfFolder, std::string_view name, bool selected,
                       std::string_view extension = "dxf");

struct RunRequest {
    std::vector<RunEntry> Entries;
    std::string DestFolder;
    std::string DateTimeText;  // local short date and long time, formatted by the caller
    std::string LogPath;       // empty: no log file
    std::size_t BlockSize = kDefaultBlockSize;
    // Bytes per segment read ahead on a second thread; 0, or a machine with one core, reads
    // every drawing on the run's thread only.
    std::size_t SegmentSize = kDefaultSegmentSize;
    // A drawing that ends on an error is reported in its block and the run goes on.
    bool KeepGoing = false;
};

enum class RunStatus {
    Done,                    // the report is complete (and written, when a log was asked)
    DestinationNotWritable,  // refused: Message is the text to show; nothing was written
    Failed,                  // ended on an error: Message names it; no log file was written
};

struct RunResult {
    RunStatus Status = RunStatus::Done;
    std::string Message;
    ProcessingReport Report;
    int ProcessedFiles = 0;
    int FilesNotRead = 0;    // not opened, not a valid DXF file, or a Data file written before
    int FilesFailed = 0;     // ended on an error, the run going on (RunRequest::KeepGoing)
    int FilesConverted = 0;  // Data files written
    std::int64_t RecordsWritten = 0;
    // Each file visited, in the order of the run: a failed one that ended the run is the
    // last, a canceled one too.
    std::vector<FileReport> Files;
    bool Canceled = false;
    std::string LogError;  // why the log file could not be written, when it could not
};

// Runs the selected entries in order. The counters outlive the run; the flag is cleared at
// the start and tested after each entry (and by the scan once per line).
[[nodiscard]] RunResult ProcessSelectedFiles(ExportConfig& config, const DataOrderArray& dataOrder,
                                             const SelectedKindsArray& selectedKinds,
                                             RunCounters& counters,
                                             std::atomic<bool>& cancelRequested,
                                             RunObserver* observer, const RunRequest& request);

// Writes the log text through a temporary file in the same folder renamed over the old log,
// so a failed write leaves the previous log as it was. Returns an empty text, or the reason.
[[nodiscard]] std::string WriteLogFile(const std::string& path, std::string_view text);

}  // namespace quarrow
