// preview: the head of the Data file that run would write for one drawing, written nowhere.

#include <charconv>
#include <string>
#include <vector>

#include "cli/Cli.h"
#include "cli/RunConfiguration.h"
#include "cli/ShippedData.h"
#include "config/ExportConfig.h"
#include "engine/Preview.h"
#include "engine/ProcessingRun.h"
#include "engine/RunSettings.h"

namespace quarrow {
namespace {

constexpr const char* kPreviewUsage =
    "Usage: quarrow-cli preview [--config FILE.qrw] [--records N] DRAWING\n";

struct PreviewArguments {
    std::string Config, Drawing;
    std::size_t Records = 20;
};

// Returns an empty text, or what is wrong with the arguments.
std::string ReadPreviewArguments(const ParsedOptions& options, PreviewArguments& parsed) {
    if (options.Has("config") && options.Value("config").empty())
        return "option --config needs a value";
    parsed.Config = options.Value("config");
    if (options.Has("records")) {
        const std::string value = options.Value("records");
        const char* end = value.data() + value.size();
        const auto [ptr, ec] = std::from_chars(value.data(), end, parsed.Records);
        if (value.empty() || ec != std::errc() || ptr != end)
            return "--records needs a whole number of records, not \"" + value + "\"";
    }
    if (options.Operands.size() != 1)
        return "give one DXF file";
    parsed.Drawing = options.Operands[0];
    // Without --config, the default configuration installed with the program, as run takes.
    if (parsed.Config.empty()) {
        parsed.Config = FindShippedFile("default.qrw", ShippedDataFolders()).string();
        if (parsed.Config.empty())
            return "no --config given, and the default configuration default.qrw was not found";
    }
    return {};
}

}  // namespace

int PreviewCommand(const ParsedOptions& options, std::ostream& out, std::ostream& err) {
    PreviewArguments parsed;
    if (const std::string problem = ReadPreviewArguments(options, parsed); !problem.empty()) {
        err << "quarrow-cli preview: " << problem << "\n" << kPreviewUsage;
        return kExitRefused;
    }

    // The configuration is loaded and checked as run does, so the lines are the ones run writes.
    RunConfiguration loaded;
    if (!LoadRunConfiguration(parsed.Config, "preview", loaded, err))
        return kExitRefused;
    const RunSettings settings(loaded.Config, loaded.Check.DataOrder, loaded.Check.SelectedKinds);
    PreviewOptions limits;
    limits.MaxRecords = parsed.Records;
    const PreviewResult preview = PreviewDrawing(settings, parsed.Drawing, limits);
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
