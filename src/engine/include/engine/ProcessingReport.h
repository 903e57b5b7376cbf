#pragma once
// The report of one processing run: the lines the log file will hold, in order.

#include <string>
#include <string_view>
#include <vector>

namespace quarrow {

// The separator line of the report: 100 "-" characters.
inline const std::string kReportSeparator(100, '-');

struct ProcessingReport {
    std::vector<std::string> Lines;

    void Add(std::string_view line) { Lines.emplace_back(line); }
    // Returns the log file's bytes: every line followed by CR LF, bytes as collected.
    std::string LogText() const;
};

}  // namespace quarrow
