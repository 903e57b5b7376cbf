#pragma once
// A look at what a run would write for one drawing, before running it: the header line and the
// first records exactly as the Data file would hold them, and the point of each record. Nothing
// is written.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/ReadSizes.h"
#include "engine/RunSettings.h"

namespace quarrow {

// The point of one record, as read from the drawing or computed, before the decimals round it.
// An axis whose text is no number (possible only when that axis is not exported) is NaN.
struct PreviewPoint {
    double X = 0.0;
    double Y = 0.0;
    double Z = 0.0;
    std::uint16_t Type = 0;  // index into PreviewResult::Types
};

enum class PreviewOutcome {
    Complete,   // the drawing was read to its end: the records are all it has
    Limited,    // stopped once the records asked for were there
    NotOpened,  // the drawing could not be opened: Error says why
    NotDxf,     // no ENTITIES section, or a code line that is no group code: Error says which
    Canceled,   // stopped by the cancel flag
    Failed,     // an error that would end a run: Error holds its message, as a run shows it
};

struct PreviewResult {
    PreviewOutcome Outcome = PreviewOutcome::Complete;
    std::string Error;
    bool HasHeader = false;            // the Data file starts with the header line
    std::string Header;                // the header line's text (also without HasHeader)
    std::vector<std::string> Records;  // without their CR LF; those before an error, if any
    std::vector<PreviewPoint> Points;  // Points[i] is the point of Records[i]
    std::vector<std::string> Types;    // entity types as the records name them ("LINE", ...)
    // How the records' bytes read back: their separator as written, and UTF-8. A field that
    // would break its record is quoted whatever the quoting option (SplitRecordAsHeld).
    std::string Separator;
    bool Utf8 = false;
};

struct PreviewOptions {
    std::size_t MaxRecords = 20;
    std::size_t BlockSize = kDefaultBlockSize;
    const std::atomic<bool>* Cancel = nullptr;  // may be null; tested once per line
};

// Returns the fields of a record (or of the header line) cut at every separator; the whole
// text when the separator is empty. A field holding the separator is cut too, as any reader
// of the Data file would cut it.
std::vector<std::string_view> SplitFields(std::string_view record, std::string_view separator);

// Returns the fields of a record as a reader of quoted fields (RFC 4180) reads them when
// quoted is true: a field in double quotes may hold the separator, and "" is one quote.
std::vector<std::string> SplitRecord(std::string_view record, std::string_view separator,
                                     bool quoted);

// Returns the fields of a record as the Data file holds them: cut at each separator outside
// double quotes (a field that starts with a quote runs to its closing quote, "" inside it being
// one quote), every field's bytes unchanged, its quotes included. A record without quotes is
// cut as SplitFields cuts it.
std::vector<std::string_view> SplitRecordAsHeld(std::string_view record,
                                                std::string_view separator);

// Scans the drawing at dxfPath with the run settings as a run's first file would (counters
// from the Start-at options) and stops after options.MaxRecords records. The scan stays on the
// calling thread and reads no further than the entity that completes the records asked for.
[[nodiscard]] PreviewResult PreviewDrawing(const RunSettings& settings, const std::string& dxfPath,
                                           const PreviewOptions& options);

}  // namespace quarrow
