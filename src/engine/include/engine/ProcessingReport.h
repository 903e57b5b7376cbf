#pragma once
// The report of one processing run: the lines the log file will hold, in order.

#include <string>
#include <string_view>
#include <vector>

#include "config/ConfigTree.h"
#include "engine/FileReport.h"

namespace quarrow {

// The separator line of the report: 100 "-" characters.
inline const std::string kReportSeparator(100, '-');

struct ProcessingReport {
    std::vector<std::string> Lines;

    void Add(std::string_view line) { Lines.emplace_back(line); }
    // Adds the head of a file's block: its number, the DXF file and, when the file names one,
    // the Data file.
    void AddFileHead(int fileNumber, const FileReport& file);
    // Adds the rest of a file's block: the summary of a converted file (a line per selected
    // kind, the filter on the Blocks line, the tally, the paper-space count, the warnings) or
    // the error of a file not read, and the separator line. A failed file's error is added
    // only when the run went on past it; a canceled file adds nothing.
    void AddFileOutcome(const FileReport& file, const SelectedKindsArray& selectedKinds,
                        std::string_view blockFilter, bool runWentOn);
    // Returns the log file's bytes: every line followed by CR LF, bytes as collected.
    std::string LogText() const;
};

}  // namespace quarrow
