#include "cli/Cli.h"

namespace quarrow {
namespace {

constexpr const char* kUsage =
    "Usage:\n"
    "  quarrow-cli run --config FILE.qrw --dest DIR [--log FILE] [--quiet] PATH...\n"
    "  quarrow-cli show-config [--json] FILE.qrw\n"
    "  quarrow-cli --help | --version\n"
    "\n"
    "run          converts the DXF files given (a folder gives its *.dxf files) into Data\n"
    "             files in DIR, as the desktop program's \"Process selected files\" does.\n"
    "show-config  prints a configuration file: its fields, data order, selected kinds and\n"
    "             both trees; --json prints one JSON object.\n"
    "\n"
    "Exit status: 0 done; 3 done, but some file could not be opened or was not a valid DXF;\n"
    "1 the run ended on an error; 2 refused before the run.\n";

} // namespace

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.empty()) {
        err << kUsage;
        return kExitRefused;
    }
    const std::string& command = args[0];
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    if (command == "--help" || command == "-h" || command == "help") {
        out << kUsage;
        return kExitDone;
    }
    if (command == "--version") {
        out << "quarrow-cli " << QUARROW_VERSION << "\n";
        return kExitDone;
    }
    if (command == "run")
        return RunCommand(rest, out, err);
    if (command == "show-config")
        return ShowConfigCommand(rest, out, err);
    err << "quarrow-cli: unknown command \"" << command << "\"\n\n" << kUsage;
    return kExitRefused;
}

} // namespace quarrow
