#pragma once
// The scan of one DXF file into one Data file: the search for the ENTITIES section, the dispatch
// of every entity (a pair of group code 0) of a selected type to its reader, and what the file
// gave, for the report.

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "config/ExportConfig.h"
#include "engine/DataOutput.h"
#include "detail/DxfLineReader.h"
#include "engine/FileReport.h"
#include "engine/RunObserver.h"
#include "engine/RunSettings.h"
#include "engine/ScanReasons.h"

namespace quarrow {

class RecordCapture;

// What a run lends every scan.
struct ScanEnvironment {
    const RunSettings& Settings;
    RunCounters& Counters;
    const std::atomic<bool>& CancelRequested;  // a plain load, tested every line
    RunObserver* Observer = nullptr;           // may be null
    std::size_t BlockSize = DxfLineReader::kDefaultBlockSize;
    // The DXF paths of every entry of the run's file list, selected or not (may be null): a
    // Data file never replaces one of them.
    const std::vector<std::string>* Drawings = nullptr;
    // Bytes per segment when a second thread reads segments of the drawing ahead of their
    // turn (see SegmentScan.h); 0 reads on this thread only.
    std::size_t SegmentSize = 0;
    // A preview's copy of the records (may be null); it ends the scan once it has enough.
    RecordCapture* Capture = nullptr;
};

enum class ScanOutcome {
    Done,       // read to its end: File holds what it gave
    NotOpened,  // the DXF file could not be opened
    NotDxf,     // not a valid DXF file, for the reason in NotValid
    Canceled,   // stopped by CancelRequested
    Failed,     // a run-ending error: Error holds its message
};

struct ScanResult {
    ScanOutcome Outcome = ScanOutcome::Done;
    std::string Error;  // Failed: the message; NotOpened, NotDxf: the report's reason
    // Done: the counts, records and warnings. The paths, status and reason are the run's to
    // fill in, but for NamesDataFile, which the scan sets.
    FileReport File{};
    NotValidReason NotValid = NotValidReason::NoEntitiesSection;  // NotDxf: why
};

// Returns the scan's file report with its status and reason (the paths are the caller's).
[[nodiscard]] FileReport FileReportOf(const ScanResult& scan);

// Progress reaches the observer after this many bytes of input.
inline constexpr std::uint64_t kProgressBudget = 256 * 1024;

// Scans the DXF file at dxfPath into the Data file at dataPath. A Data path that is the DXF
// file itself, or another drawing of the run, is refused with a run-ending error, and the
// drawing is left untouched.
[[nodiscard]] ScanResult ScanDxfFile(ScanEnvironment& env, const std::string& dxfPath,
                                     const std::string& dataPath);

// Scans DXF text from an open reader into an open output: the header line, the ENTITIES
// search, the dispatch loop and the summary (everything after the files were opened).
// dxfPath is only named in error messages.
[[nodiscard]] ScanResult ScanDxfInput(ScanEnvironment& env, DxfLineReader& in, DataOutput& out,
                                      std::string_view dxfPath, std::string_view dataPath);

// Sets the line and group counters from their Start-at options, leaving a counter whose text is
// blank to run on. Returns -1, or the option node whose text is not a 32-bit integer.
[[nodiscard]] int ApplyStartAtOptions(const ExportConfig& config, RunCounters& counters);

// Returns the run-ending error for the Start-at option that ApplyStartAtOptions refused.
std::string StartAtErrorText(const ExportConfig& config, int option, std::string_view dxfPath);

}  // namespace quarrow
