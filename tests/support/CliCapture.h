#pragma once
// Runs quarrow-cli in-process and keeps its exit status and exact output.

#include <cctype>
#include <sstream>
#include <string>
#include <string_view>
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
    // Matched by hand: g++ 12 warns falsely inside <regex> in the sanitizer build.
    std::string_view rest = err;
    const auto take = [&rest](std::string_view text) {
        if (rest.substr(0, text.size()) != text)
            return false;
        rest.remove_prefix(text.size());
        return true;
    };
    const auto count = [&rest](std::string_view singular) {
        std::size_t digits = 0;
        while (digits < rest.size() && std::isdigit(static_cast<unsigned char>(rest[digits])))
            ++digits;
        if (digits == 0)
            return false;
        rest.remove_prefix(digits);
        if (rest.substr(0, singular.size()) != singular)
            return false;
        rest.remove_prefix(singular.size());
        if (!rest.empty() && rest[0] == 's')
            rest.remove_prefix(1);
        return true;
    };
    return take("quarrow-cli run: ") && count(" file") && take(" converted, ") &&
           count(" not read") && take(", ") && count(" failed") && take(", ") &&
           count(" warning") && rest == "\n";
}

}  // namespace quarrow::test
