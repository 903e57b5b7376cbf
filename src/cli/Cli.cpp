#include "cli/Cli.h"

#include <algorithm>
#include <array>
#include <string>

#include "cli/CliCommand.h"

namespace quarrow {
namespace {

constexpr CliOption kRunOptions[] = {
    {"config", 'c', "FILE.qrw",
     "the configuration (default: the default.qrw installed with the program)"},
    {"dest", 'd', "DIR",
     "where the Data files go, created when missing (default: the current "
     "folder)"},
    {"log", '\0', "FILE", "also write the report to FILE (CR LF line ends)"},
    {"json-report", '\0', "FILE",
     "write what became of each file (status, reason, records per kind, warnings, paper-space "
     "entities left out) and the time taken as JSON"},
    {"recursive", 'r', "",
     "a folder also gives the *.dxf files of its subfolders, whose Data files go to the same "
     "subfolders under the destination"},
    {"keep-going", '\0', "", "a drawing that ends on an error is reported and the run goes on"},
    {"quiet", 'q', "", "print no report on standard output and no totals line"},
};

constexpr CliOption kShowConfigOptions[] = {
    {"json", '\0', "", "print one JSON object"},
};

constexpr CliOption kPreviewOptions[] = {
    {"config", 'c', "FILE.qrw",
     "the configuration (default: the default.qrw installed with the program)"},
    {"records", 'n', "N", "print the header and the first N records (default 20)"},
};

constexpr CliOption kMakeConfigOptions[] = {
    {"json", '\0', "SPEC.json",
     "the JSON object to write, as show-config --json prints it (- reads standard input)"},
};

// A new command is one row here and its function.
constexpr std::array kCommands = {
    CliCommand{
        "run",
        "PATH...",
        "convert DXF files into Data files",
        "Converts the DXF files given into Data files in the destination folder, as the\n"
        "desktop program's \"Process selected files\" does. A folder among the PATHs gives\n"
        "its *.dxf files (any letter case) sorted by name; with --recursive its subfolders'\n"
        "files follow, folder by folder, their Data files in the same subfolders of the\n"
        "destination. Files given directly keep their order. A Data file is named after its\n"
        "drawing up to the last dot. PATHs that hold no DXF file at all are refused. Ctrl-C\n"
        "stops the run; no Data file is left half written. The run ends with one line on\n"
        "standard error: the files converted, not read and failed, and the warnings (a\n"
        "drawing that gave no records, say).\n"
        "\n"
        "Exit status: 0 done; 3 done, but some file could not be opened, was not a valid DXF\n"
        "or would have replaced a Data file of the same run; 1 a file ended on an error; 2\n"
        "refused before the run.\n",
        kRunOptions,
        RunCommand,
    },
    CliCommand{
        "show-config",
        "FILE.qrw",
        "print a configuration file",
        "Prints a configuration file: its fields, data order, selected kinds and both\n"
        "trees.\n",
        kShowConfigOptions,
        ShowConfigCommand,
    },
    CliCommand{
        "preview",
        "DRAWING",
        "print the first records of one drawing",
        "Prints the header line and the first records of the Data file that run would write\n"
        "for one drawing, byte for byte (CR LF line ends), and writes nothing. It reads the\n"
        "drawing only up to the last record printed.\n"
        "\n"
        "Exit status: 0 done; 3 the drawing could not be opened or is not DXF; 1 it ended on\n"
        "an error (the records before it are printed); 2 refused.\n",
        kPreviewOptions,
        PreviewCommand,
    },
    CliCommand{
        "make-config",
        "OUT.qrw",
        "write a configuration file from JSON",
        "Writes a configuration file from a JSON object as show-config --json prints it:\n"
        "what the trees say (checks, order, states) counts, the flags and the data order are\n"
        "rebuilt from them, keys left out keep the default configuration's values. A flag\n"
        "list counts only where its tree is left out (the tree then follows it); a\n"
        "fieldSeparator given without separatorChoice sets the choice that gives it. An\n"
        "unknown key (named with the nearest known one) or a key that holds something\n"
        "impossible is refused, and nothing is written.\n",
        kMakeConfigOptions,
        MakeConfigCommand,
    },
};

void WriteUsage(std::ostream& out) {
    out << "Usage:\n";
    for (const CliCommand& command : kCommands)
        out << "  quarrow-cli " << command.Name << " [OPTION...] " << command.Operands << "\n";
    out << "  quarrow-cli help [COMMAND] | COMMAND --help | --version\n\nCommands:\n";
    for (const CliCommand& command : kCommands)
        out << "  " << command.Name
            << std::string(14 - std::min<std::size_t>(13, command.Name.size()), ' ')
            << command.Summary << "\n";
    out << "\n"
           "Exit status: 0 done; 3 done, but some file could not be opened, was not a valid DXF "
           "or\n"
           "would have replaced a Data file of the same run; 1 a file ended on an error; 2 "
           "refused\n"
           "before the run.\n";
}

// "--help" or "-h" among the options (not after "--") asks for the command's help.
bool AsksForHelp(const std::vector<std::string>& args) {
    for (const std::string& arg : args) {
        if (arg == "--")
            return false;
        if (arg == "--help" || arg == "-h")
            return true;
    }
    return false;
}

}  // namespace

std::span<const CliCommand> CliCommands() {
    return kCommands;
}

const CliCommand* FindCliCommand(std::string_view name) {
    for (const CliCommand& command : kCommands)
        if (command.Name == name)
            return &command;
    return nullptr;
}

void WriteCommandHelp(const CliCommand& command, std::ostream& out) {
    out << "Usage: quarrow-cli " << command.Name << " [OPTION...] " << command.Operands << "\n\n"
        << command.Description << "\nOptions:\n";
    for (const CliOption& option : command.Options) {
        std::string left = "  ";
        left += option.Short != '\0' ? std::string{'-', option.Short, ',', ' '} : "    ";
        left += "--";
        left += option.Long;
        if (!option.ValueName.empty()) {
            left += ' ';
            left += option.ValueName;
        }
        constexpr std::size_t kColumn = 28;
        left.resize(std::max(left.size() + 2, kColumn), ' ');
        if (left.size() > kColumn)
            left += "\n" + std::string(kColumn, ' ');
        // The help text wrapped at 80 columns, its lines under one another.
        std::string_view help = option.Help;
        while (left.size() + help.size() > 80) {
            std::size_t cut = help.rfind(' ', 80 - left.size());
            if (cut == std::string_view::npos || cut == 0)
                break;
            out << left << help.substr(0, cut) << "\n";
            help.remove_prefix(cut + 1);
            left.assign(kColumn, ' ');
        }
        out << left << help << "\n";
    }
    out << "  -h, --help                print this help\n";
}

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.empty()) {
        WriteUsage(err);
        return kExitRefused;
    }
    const std::string& name = args[0];
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    if (name == "--help" || name == "-h" || (name == "help" && rest.empty())) {
        WriteUsage(out);
        return kExitDone;
    }
    if (name == "--version") {
        out << "quarrow-cli " << QUARROW_VERSION << "\n";
        return kExitDone;
    }
    if (name == "help") {
        const CliCommand* command = FindCliCommand(rest[0]);
        if (command == nullptr || rest.size() > 1) {
            err << "quarrow-cli help: "
                << (command == nullptr ? "unknown command \"" + rest[0] + "\"" : "give one command")
                << "\n\n";
            WriteUsage(err);
            return kExitRefused;
        }
        WriteCommandHelp(*command, out);
        return kExitDone;
    }
    const CliCommand* command = FindCliCommand(name);
    if (command == nullptr) {
        err << "quarrow-cli: unknown command \"" << name << "\"\n\n";
        WriteUsage(err);
        return kExitRefused;
    }
    if (AsksForHelp(rest)) {
        WriteCommandHelp(*command, out);
        return kExitDone;
    }
    ParsedOptions options;
    if (const std::string problem = ParseOptions(rest, command->Options, options);
        !problem.empty()) {
        err << "quarrow-cli " << name << ": " << problem << "\n"
            << "Usage: quarrow-cli " << name << " [OPTION...] " << command->Operands
            << "  (quarrow-cli help " << name << " tells more)\n";
        return kExitRefused;
    }
    return command->Run(options, out, err);
}

}  // namespace quarrow
