#pragma once
// The options of one quarrow-cli command: "--name value", "--name=value", "-x value" and flags,
// with "--" ending the options; what is not an option is an operand.

#include <map>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace quarrow {

// One option a command takes. An empty ValueName makes it a flag.
struct CliOption {
    std::string_view Long;       // without the leading "--"
    char Short = '\0';           // '\0': no short form
    std::string_view ValueName;  // shown in the help, "FILE" say
    std::string_view Help;
};

// The options given to a command, by long name, and its operands in order.
struct ParsedOptions {
    std::map<std::string, std::string, std::less<>> Values;  // flags hold ""
    std::vector<std::string> Operands;

    bool Has(std::string_view name) const { return Values.find(name) != Values.end(); }
    // Returns the option's value, or an empty text when it was not given.
    std::string Value(std::string_view name) const;
};

// Parses args against options; returns an empty text, or what is wrong ("unknown option
// \"--fast\"", "option --config needs a value"). A value option given twice keeps the last.
std::string ParseOptions(const std::vector<std::string>& args, std::span<const CliOption> options,
                         ParsedOptions& parsed);

}  // namespace quarrow
