#include "cli/Cli.h"

namespace quarrow {
namespace {

constexpr const char* kUsage =
    "Usage:\n"
    "  quarrow-cli run --config FILE.qrw --dest DIR [--log FILE] [--quiet] [--keep-going]\n"
    "                  PATH...\n"
    "  quarrow-cli show-config [--json] FILE.qrw\n"
    "  quarrow-cli preview --config FILE.qrw [--records N] DRAWING\n"
    "  quarrow-cli --help | --version\n"
    "\n"
    "run          converts the DXF files given (a folder gives its *.dxf files, any letter\n"
    "             case) into Data files in DIR, as the desktop program's \"Process selected\n"
    "             files\" does. --keep-going: a drawing that ends on an error is reported\n"
    "             and the run goes on. Ctrl-C stops the run; no Data file is left half\n"
    "             written.\n"
    "show-config  prints a configuration file: its fields, data order, selected kinds and\n"
    "             both trees; --json prints one JSON object.\n"
    "preview      prints the header and the first N records (default 20) of the Data file\n"
    "             run would write for DRAWING, CR LF ended as there; writes no file.\n"
    "\n"
    "Exit status: 0 done; 3 done, but some file could not be opened, was not a valid DXF or\n"
    "would have replaced a Data file of the same run; 1 a file ended on an error; 2 refused\n"
    "before the run.\n";

}  // namespace

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
    if (command == "preview")
        return PreviewCommand(rest, out, err);
    err << "quarrow-cli: unknown command \"" << command << "\"\n\n" << kUsage;
    return kExitRefused;
}

}  // namespace quarrow
