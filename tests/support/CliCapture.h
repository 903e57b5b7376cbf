#pragma once
// Runs quarrow-cli in-process and keeps its exit status and exact output.

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

}  // namespace quarrow::test
