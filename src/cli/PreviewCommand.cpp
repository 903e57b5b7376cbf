// preview: the head of the Data file that run would write for one drawing, written nowhere.

#include <charconv>
#include <string>
#include <vector>

#include "cli/Cli.h"
#include "config/ConfigFile.h"
#include "config/ConfigTree.h"
#include "config/ExportConfig.h"
#include "config/TextUtil.h"
#include "engine/Preview.h"
#include "engine/ProcessingRun.h"
#include "engine/RunSettings.h"

namespace quarrow {
namespace {

constexpr const char* kPreviewUsage =
    "Usage: quarrow-cli preview --config FILE.qrw [--records N] DRAWING\n";

struct PreviewArguments {
    std::string Config, Drawing;
    std::size_t Records = 20;
};

// Returns an empty text, or what is wrong with the arguments.
std::string ParsePreviewArguments(const std::vector<std::string>& args, PreviewArguments& parsed) {
    bool optionsEnded = false;
    int drawings = 0;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (!optionsEnded && arg == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && (arg == "--config" || arg == "--records")) {
            if (i + 1 >= args.size())
                return "option " + arg + " needs a value";
            const std::string& value = args[++i];
            if (arg == "--config") {
                parsed.Config = value;
                continue;
            }
            const char* end = value.data() + value.size();
            const auto [ptr, ec] = std::from_chars(value.data(), end, parsed.Records);
            if (value.empty() || ec != std::errc() || ptr != end)
                return "--records needs a whole number of records, not \"" + value + "\"";
        } else if (!optionsEnded && arg.size() > 1 && arg[0] == '-') {
            return "unknown option \"" + arg + "\"";
        } else {
            parsed.Drawing = arg;
            ++drawings;
        }
    }
    if (parsed.Config.empty())
        return "--config FILE.qrw is required";
    if (drawings != 1)
        return "give one DXF file";
    return {};
}

}  // namespace

int PreviewCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    PreviewArguments parsed;
    if (const std::string problem = ParsePreviewArguments(args, parsed); !problem.empty()) {
        err << "quarrow-cli preview: " << problem << "\n" << kPreviewUsage;
        return kExitRefused;
    }

    // The configuration is loaded and checked as run does, so the lines are the ones run writes.
    ExportConfig config;
    ConfigTree entityTree = BuildEntityTree();
    ConfigTree dataTree = BuildDataTree();
    const ReadResult read = ReadConfigFile(parsed.Config, config, entityTree, dataTree);
    if (read.Outcome != ConfigReadOutcome::ReadInFull) {
        err << "quarrow-cli preview: cannot load configuration \"" << parsed.Config
            << "\": " << read.Message << "\n";
        return kExitRefused;
    }
    SetBlockNameFilter(config, config.BlockNameFilter);
    const std::string separatorField = config.FieldSeparator;
    const RunCheck check =
        CheckRunRequest(config, config.DataFileExt, separatorField, entityTree, dataTree);
    if (!check.Ok()) {
        err << "quarrow-cli preview: " << TrimText(check.Message) << "\n";
        return kExitRefused;
    }

    const RunSettings settings(config, check.DataOrder, check.SelectedKinds);
    PreviewOptions options;
    options.MaxRecords = parsed.Records;
    const PreviewResult preview = PreviewDrawing(settings, parsed.Drawing, options);
    // The Data file's own line ends, so the output equals its first lines byte for byte.
    if (preview.HasHeader)
        out << preview.Header << "\r\n";
    for (const std::string& record : preview.Records)
        out << record << "\r\n";
    out.flush();
    switch (preview.Outcome) {
    case PreviewOutcome::Complete:
    case PreviewOutcome::Limited: return kExitDone;
    case PreviewOutcome::NotOpened:
    case PreviewOutcome::NotDxf:
        err << "quarrow-cli preview: \"" << parsed.Drawing << "\": " << preview.Error << "\n";
        return kExitSomeFilesFailed;
    case PreviewOutcome::Canceled:
    case PreviewOutcome::Failed: break;
    }
    err << "quarrow-cli preview: " << preview.Error << "\n";
    return kExitRunError;
}

}  // namespace quarrow
