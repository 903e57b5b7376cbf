#pragma once
// The commands of quarrow-cli: one table entry and one function each. The table drives the
// dispatch, the option parsing, "help COMMAND" and "COMMAND --help".

#include <ostream>
#include <span>
#include <string_view>

#include "cli/OptionParser.h"

namespace quarrow {

// Runs a command on its parsed options; returns the exit status.
using CommandFunction = int (*)(const ParsedOptions& options, std::ostream& out, std::ostream& err);

struct CliCommand {
    std::string_view Name;
    std::string_view Operands;     // the synopsis after the options, "PATH..." say
    std::string_view Summary;      // one line for the list of commands
    std::string_view Description;  // the help's text, lines of at most 80 columns
    std::span<const CliOption> Options;
    CommandFunction Run = nullptr;
};

// Returns every command, in the order "help" lists them.
std::span<const CliCommand> CliCommands();

// Returns the command of that name, or null.
const CliCommand* FindCliCommand(std::string_view name);

// Writes the help of a command: synopsis, description and options.
void WriteCommandHelp(const CliCommand& command, std::ostream& out);

}  // namespace quarrow
