#include "engine/DxfScan.h"

#include <filesystem>
#include <new>

#include "config/NodeTables.h"
#include "config/TextUtil.h"
#include "engine/ByteSource.h"
#include "engine/DispatchLoop.h"
#include "engine/DxfNumber.h"
#include "engine/EntityReaders.h"
#include "engine/ScanContext.h"
#include "engine/SegmentScan.h"

namespace quarrow {
namespace {

using ReaderFunction = bool (*)(ScanContext&);

// Returns the reader a type line starts, when its kind is selected. The line is compared
// untrimmed and case included: " LINE" or "LINE " start nothing. POLYLINE is always read, so
// that its VERTEX and SEQEND entities are consumed whatever is selected.
ReaderFunction ReaderFor(std::string_view line, const RunSettings& s) noexcept {
    switch (line.size()) {
    case 3:
        if (line == "ARC") return s.Entity(2) ? ReadArc : nullptr;
        break;
    case 4:
        if (line == "LINE") return s.Entity(7) ? ReadLine : nullptr;
        if (line == "TEXT") return s.Entity(11) ? ReadText : nullptr;
        break;
    case 5:
        if (line == "POINT") return s.Entity(0) ? ReadPoint : nullptr;
        if (line == "MTEXT") return s.Entity(10) ? ReadMText : nullptr;
        break;
    case 6:
        if (line == "CIRCLE") return s.Entity(1) ? ReadCircle : nullptr;
        if (line == "SPLINE") return s.Entity(16) ? ReadSpline : nullptr;
        if (line == "3DFACE") return s.Entity(19) ? Read3DFace : nullptr;
        if (line == "INSERT") return s.Entity(24) ? ReadInsert : nullptr;
        break;
    case 7:
        if (line == "ELLIPSE") return s.Entity(6) ? ReadEllipse : nullptr;
        break;
    case 8:
        if (line == "POLYLINE") return ReadPolyline;
        break;
    case 10:
        if (line == "LWPOLYLINE") return s.Entity(12) ? ReadLwPolyline : nullptr;
        break;
    default: break;
    }
    return nullptr;
}

std::string FileNameOf(std::string_view path) {
    return std::filesystem::path(std::string(path)).filename().string();
}

// Returns true when the path's last component is name: only a drawing of the same name can be
// the same file as a Data path, and this test costs no file-system call.
bool HasFileName(std::string_view path, std::string_view name) noexcept {
    return path.ends_with(name) &&
           (path.size() == name.size() || path[path.size() - name.size() - 1] == '/');
}

void AddSummary(ScanEnvironment& env, const ScanContext& ctx) {
    ProcessingReport& report = env.Report;
    report.Add("  Processed entities count : " + std::to_string(ctx.EntityCount));
    report.Add("");
    for (int kind = 0; kind < kKindCount; ++kind) {
        if (env.Settings.SelectedKinds[std::size_t(kind)] == 1) {
            std::string line = "    ";
            line += kEntityKinds[std::size_t(kind)].Label;
            line += " : " + std::to_string(ctx.KindCounts[std::size_t(kind)]) + " ";
            if (kind == kKindCount - 1)
                line += "(" + env.Settings.FilterText + ")";
            report.Add(line);
        }
    }
    for (const auto& [name, count] : ctx.Tally.Entries())
        report.Add("      " + name + " : " + std::to_string(count));
    report.Add(kReportSeparator);
}

} // namespace

DispatchEnd RunDispatchLoop(ScanContext& ctx, const DispatchSetup& setup,
                            const DispatchLimits& limits) {
    DxfLineReader& in = ctx.In;
    const RunSettings& settings = ctx.Settings;
    std::uint64_t nextProgress = in.Position() + kProgressBudget;
    for (;;) {
        if (in.Position() >= limits.StopAt)
            return DispatchEnd::Stopped;
        if (in.Position() >= nextProgress && setup.Observer != nullptr) {
            setup.Observer->Progress(in.Position());
            nextProgress = in.Position() + kProgressBudget;
        }
        if (setup.CancelRequested.load(std::memory_order_relaxed))
            return DispatchEnd::Canceled;
        if (limits.Abandon != nullptr) {
            const std::size_t held = ctx.Out.Buffer().size() +
                                     (ctx.Holes ? ctx.Holes->size() * sizeof(CounterHole) : 0);
            if (limits.Abandon->load(std::memory_order_relaxed) || held > limits.OutputCap)
                return DispatchEnd::Abandoned;
        }
        const std::string_view line = in.ReadLine();
        if (!setup.SequentialOk) {
            FailConversion(ctx, setup.SequentialText, -1, "Sequential Number, \"Start at :\"",
                           NumberKind::Integer);
            return DispatchEnd::Failed;
        }
        ctx.Counters.SequentialCounter = setup.SequentialStart;
        if (const ReaderFunction reader = ReaderFor(line, settings)) {
            ctx.EntityLine = in.LineNumber();
            if (!reader(ctx))
                return DispatchEnd::Failed;
        }
        if (in.AtEnd())
            return DispatchEnd::InputEnded;
    }
}

int ApplyStartAtOptions(const ExportConfig& config, RunCounters& counters) {
    for (const int option : {kLineStartOption, kGroupStartOption}) {
        const std::string_view text = TrimText(config.DataOptions[std::size_t(option)]);
        if (text.empty())
            continue;
        std::int32_t value = 0;
        if (!ParseDxfInt32(text, value))
            return option;
        (option == kLineStartOption ? counters.LineCounter : counters.GroupCounter) = value;
    }
    return -1;
}

namespace {

ScanResult ScanDxfText(ScanEnvironment& env, DxfLineReader& in, DataOutput& out,
                       std::string_view dxfPath, std::string_view dataPath) {
    const RunSettings& settings = env.Settings;
    ScanContext ctx(in, out, settings, env.Counters, dxfPath);
    ctx.DataPath = dataPath;
    const auto failed = [&ctx]() { return ScanResult{ScanOutcome::Failed, ctx.Error}; };

    if (settings.Config.HeaderLine == 1) {
        out.Append(settings.HeaderText);
        out.Append("\r\n");
    }

    // The ENTITIES search; a file whose only such line is its last holds no entity either.
    bool found = false;
    while (!found && !in.AtEnd())
        found = TrimText(in.ReadLine()) == "ENTITIES";
    if (in.Failed())
        return {ScanOutcome::Failed,
                "Cannot read DXF file \"" + std::string(dxfPath) + "\" after line " +
                    std::to_string(in.LineNumber()) + ": " + in.ErrorText()};
    if (in.AtEnd()) {
        env.Report.Add("  *** Error, this is not a valid DXF file ***");
        env.Report.Add(kReportSeparator);
        return {ScanOutcome::NotDxf, {}};
    }

    // The sequential Start-at is read at every pass; a blank one is a conversion error, as
    // the desktop program always treated it. Read it once, fail where it is first used.
    std::int32_t sequentialStart = 0;
    const std::string& sequentialText = settings.Config.DataOptions[kSequentialStartOption];
    const bool sequentialOk = ParseDxfInt32(TrimText(sequentialText), sequentialStart);

    const DispatchSetup setup{env.CancelRequested, env.Observer, sequentialStart, sequentialOk,
                              sequentialText};
    std::uint64_t endPosition = 0;
    // On one thread when SegmentSize is 0 or the drawing is small.
    const DispatchEnd end =
        ScanBySegments(ctx, setup, {env.SegmentSize, env.BlockSize}, endPosition);
    if (end == DispatchEnd::Failed)
        return failed();
    if (end != DispatchEnd::InputEnded)
        return {ScanOutcome::Canceled, {}};
    if (in.Failed())
        return {ScanOutcome::Failed,
                "Cannot read DXF file \"" + std::string(dxfPath) + "\" after line " +
                    std::to_string(in.LineNumber()) + ": " + in.ErrorText()};
    if (env.Observer != nullptr)
        env.Observer->Progress(endPosition);
    AddSummary(env, ctx);
    return {ScanOutcome::Done, {}};
}

} // namespace

ScanResult ScanDxfInput(ScanEnvironment& env, DxfLineReader& in, DataOutput& out,
                        std::string_view dxfPath, std::string_view dataPath) {
    try {
        return ScanDxfText(env, in, out, dxfPath, dataPath);
    } catch (const std::bad_alloc&) {
        // An entity larger than the memory left (a polyline of many millions of vertices, a
        // text of endless chunks) ends the run with a message, not the program; unwinding has
        // released what the entity held.
        return {ScanOutcome::Failed, "Not enough memory to read DXF file \"" +
                                         std::string(dxfPath) + "\" at line " +
                                         std::to_string(in.LineNumber()) +
                                         ": the entity there is too large."};
    }
}

ScanResult ScanDxfFile(ScanEnvironment& env, const std::string& dxfPath,
                       const std::string& dataPath) {
    if (const int option = ApplyStartAtOptions(env.Settings.Config, env.Counters); option >= 0)
        return {ScanOutcome::Failed,
                "Error in DXF file \"" + dxfPath + "\", before line 1: \"" +
                    env.Settings.Config.DataOptions[std::size_t(option)] +
                    "\" is not a valid integer value (" +
                    std::string(kDataNodes[std::size_t(option - 2)].Label) +
                    ", \"Start at :\")."};

    FileByteSource source;
    const bool opened = source.Open(dxfPath);
    if (env.Observer != nullptr)
        env.Observer->FileStarted(FileNameOf(dxfPath), opened ? source.Size() : 0);
    if (!opened) {
        env.Report.Add("  *** Error, file is used by another application ***");
        env.Report.Add(kReportSeparator);
        return {ScanOutcome::NotOpened, {}};
    }
    env.Report.Add("  Data File : " + dataPath);
    env.Report.Add("");

    // Creating the Data file over the drawing being read would destroy it.
    std::error_code ec;
    if (std::filesystem::equivalent(dataPath, dxfPath, ec))
        return {ScanOutcome::Failed,
                "Cannot create Data file \"" + dataPath + "\": it is the DXF file being read. " +
                    "Choose another destination folder or Data file extension."};
    // With the extension "dxf" into the drawings' folder, "site.old.dxf" gives the Data file
    // "site.dxf": another drawing of the list, which creating the Data file would destroy.
    if (env.Drawings != nullptr) {
        const std::string dataName = FileNameOf(dataPath);
        for (const std::string& drawing : *env.Drawings) {
            if (HasFileName(drawing, dataName) &&
                std::filesystem::equivalent(dataPath, drawing, ec))
                return {ScanOutcome::Failed,
                        "Cannot create Data file \"" + dataPath + "\": it would replace the DXF " +
                            "file \"" + drawing + "\". Choose another destination folder or " +
                            "Data file extension."};
        }
    }
    DataOutput out;
    if (!out.Open(dataPath))
        return {ScanOutcome::Failed,
                "Cannot create Data file \"" + dataPath + "\": " + out.ErrorText()};

    DxfLineReader in(source, env.BlockSize);
    ScanResult result = ScanDxfInput(env, in, out, dxfPath, dataPath);
    if (!out.Close() && result.Outcome != ScanOutcome::Failed)
        result = {ScanOutcome::Failed,
                  "Cannot write Data file \"" + dataPath + "\": " + out.ErrorText()};
    return result;
}

} // namespace quarrow
