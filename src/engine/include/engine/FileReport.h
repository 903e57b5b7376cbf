#pragma once
// What became of one file of a run, as data: the log's report block, the JSON report and the
// desktop program's end-of-run summary are each rendered from it, so they cannot disagree.

#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "config/NodeTables.h"

namespace quarrow {

// A remark on a drawing that was read to its end: its Data file was written, but something in
// it needs a look.
struct FileWarning {
    enum class Kind {
        SeparatorInValue,  // records had a value quoted so that it cannot break them
        NoRecords,         // the drawing gave no record
    };
    Kind What = Kind::SeparatorInValue;
    // The bare text: the log writes it between "  *** Warning, " and " ***".
    std::string Text;

    // Returns false for the warnings that the log's report block does not hold (its bytes
    // predate them).
    bool InLog() const noexcept { return What != Kind::NoRecords; }
};

struct FileReport {
    enum class Status {
        Converted,  // the Data file was written
        NotRead,    // not opened, not a valid DXF file, or its Data file was written before
        Failed,     // ended on an error
        Canceled,   // stopped by the user while it was read
    };

    std::string DxfPath;   // as the report names it
    std::string DataPath;  // the Data file it was (or would have been) written to
    Status Outcome = Status::Converted;
    std::string Reason;  // NotRead, Failed: why no Data file was written
    // False when the file was not opened, or a Start-at option failed before it was: the log's
    // block then names no Data file.
    bool NamesDataFile = true;

    // Converted: what the drawing gave.
    std::int64_t Entities = 0;  // entities of selected kinds processed
    std::array<std::int64_t, kKindCount> KindEntities{};
    std::int64_t Records = 0;
    std::array<std::int64_t, kKindCount> KindRecords{};
    // Exported block references per block name, in order of first appearance.
    std::vector<std::pair<std::string, std::int64_t>> BlockTally;
    std::int64_t PaperSpaceLeftOut = 0;  // entities of selected kinds in paper space
    std::int64_t OtherKindEntities = 0;  // entities of the section of no selected kind
    std::int64_t FilteredOut = 0;        // block references the block-name filter rejected
    std::vector<FileWarning> Warnings;   // in the order the log lists them
};

}  // namespace quarrow
