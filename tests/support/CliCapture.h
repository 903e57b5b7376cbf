#pragma once
// Runs quarrow-cli in-process and keeps its exit status and exact output.

#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "cli/Cli.h"

namespace quarrow::test {

struct CliResult {
    int status;
    std::string out;
    std::string err;
};

inline CliResult RunCliCapture(const std::vector<std::string>& args) {
    std::ostringstream out;
    std::ostringstream err;
    const int status = RunCli(args, out, err);
    return {status, out.str(), err.str()};
}

// Returns true when err is a run's totals line and nothing else: a run that needed no message.
inline bool IsRunTotalsAlone(const std::string& err) {
    static const std::regex totals("quarrow-cli run: [0-9]+ files? converted, [0-9]+ not read, "
                                   "[0-9]+ failed, [0-9]+ warnings?\n");
    return std::regex_match(err, totals);
}

}  // namespace quarrow::test
