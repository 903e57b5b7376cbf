#pragma once
// quarrow-cli as a function, so tests run it in-process and read its exact output.

#include <ostream>
#include <string>
#include <vector>

#include "cli/OptionParser.h"

namespace quarrow {

// Exit statuses of quarrow-cli.
inline constexpr int kExitDone = 0;
inline constexpr int kExitRunError = 1;
inline constexpr int kExitRefused = 2;
inline constexpr int kExitSomeFilesFailed = 3;

// Runs quarrow-cli with the arguments after the program name; returns the exit status.
int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// Converts DXF files into Data files as "Process selected files" does; returns the exit status.
int RunCommand(const ParsedOptions& options, std::ostream& out, std::ostream& err);

// Prints a configuration file (text, or one JSON object); returns the exit status.
int ShowConfigCommand(const ParsedOptions& options, std::ostream& out, std::ostream& err);

// Writes a configuration file from the JSON object show-config --json prints; returns the exit
// status.
int MakeConfigCommand(const ParsedOptions& options, std::ostream& out, std::ostream& err);

// Prints the head of the Data file run would write for one drawing; returns the exit status.
int PreviewCommand(const ParsedOptions& options, std::ostream& out, std::ostream& err);

}  // namespace quarrow
