#include "detail/DxfScan.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <new>

#include "config/NodeTables.h"
#include "config/TextUtil.h"
#include "detail/ByteSource.h"
#include "detail/DispatchLoop.h"
#include "detail/DxfNumber.h"
#include "detail/EntityReaders.h"
#include "detail/PairReader.h"
#include "detail/ScanContext.h"
#include "detail/SegmentScan.h"

namespace quarrow {
namespace {

using ReaderFunction = bool (*)(ScanContext&);

// Returns the reader a type line starts, when its kind is selected. The line is compared
// untrimmed and case included: " LINE" or "LINE " start nothing. POLYLINE is always read, so
// that its VERTEX and SEQEND entities are consumed whatever is selected.
ReaderFunction ReaderFor(std::string_view line, const RunSettings& s) noexcept {
    // clang-format off
    switch (line.size()) {
    case 3:
        if (line == "ARC") return s.Entity(EntityNode::Arcs) ? ReadArc : nullptr;
        break;
    case 4:
        if (line == "LINE") return s.Entity(EntityNode::Lines) ? ReadLineEntity : nullptr;
        if (line == "TEXT") return s.Entity(EntityNode::SingleLineText) ? ReadText : nullptr;
        break;
    case 5:
        if (line == "POINT") return s.Entity(EntityNode::Points) ? ReadPoint : nullptr;
        if (line == "MTEXT") return s.Entity(EntityNode::MultiLineText) ? ReadMText : nullptr;
        break;
    case 6:
        if (line == "CIRCLE") return s.Entity(EntityNode::Circles) ? ReadCircle : nullptr;
        if (line == "SPLINE") return s.Entity(EntityNode::Splines) ? ReadSpline : nullptr;
        if (line == "3DFACE") return s.Entity(EntityNode::Faces3D) ? Read3DFace : nullptr;
        if (line == "INSERT") return s.Entity(EntityNode::Blocks) ? ReadInsert : nullptr;
        break;
    case 7:
        if (line == "ELLIPSE") return s.Entity(EntityNode::Ellipses) ? ReadEllipse : nullptr;
        break;
    case 8:
        if (line == "POLYLINE") return ReadPolyline;
        break;
    case 10:
        if (line == "LWPOLYLINE") return s.Entity(EntityNode::Polylines2D) ? ReadLwPolyline : nullptr;
        break;
    default: break;
    }
    // clang-format on
    return nullptr;
}

std::string FileNameOf(std::string_view path) {
    return std::filesystem::path(std::string(path)).filename().string();
}

// Returns true when the path's last component is name: only a drawing of the same name can be
// the same file as a Data path, and this test costs no file-system call.
bool HasFileName(std::string_view path, std::string_view name) noexcept {
    if (path.size() < name.size())
        return false;
    const std::string_view tail = path.substr(path.size() - name.size());
#ifdef _WIN32
    // Windows names ignore letter case, has two separators and drive-relative paths
    // ("C:\site\X.CSV", "C:x.csv").
    for (std::size_t i = 0; i < name.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(tail[i])) !=
            std::tolower(static_cast<unsigned char>(name[i])))
            return false;
    const char before = path.size() == name.size() ? '/' : path[path.size() - name.size() - 1];
    return before == '/' || before == '\\' || before == ':';
#else
    return tail == name &&
           (path.size() == name.size() || path[path.size() - name.size() - 1] == '/');
#endif
}

// Returns what a drawing read to its end gave, its warnings included.
FileReport Summary(const ScanContext& ctx) {
    FileReport file;
    file.Entities = ctx.EntityCount;
    for (std::size_t kind = 0; kind < file.KindEntities.size(); ++kind)
        file.KindEntities[kind] = ctx.KindCounts[kind];
    file.Records = ctx.RecordCount;
    file.KindRecords = ctx.KindRecords;
    for (const auto& [name, count] : ctx.Tally.Entries())
        file.BlockTally.emplace_back(name, count);
    file.PaperSpaceLeftOut = ctx.PaperSpaceCount;
    file.OtherKindEntities = std::max<std::int64_t>(0, std::int64_t(ctx.SectionEntities) -
                                                           ctx.EntityCount - ctx.PaperSpaceCount);
    if (ctx.SeparatorRecords != 0)
        file.Warnings.push_back({FileWarning::Kind::SeparatorInValue,
                                 std::to_string(std::uint32_t(ctx.SeparatorRecords)) +
                                     " records hold the field separator inside a value"});
    return file;
}

}  // namespace

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
            const std::size_t held =
                ctx.Out.Buffer().size() + (ctx.Holes ? ctx.Holes->size() * sizeof(CounterHole) : 0);
            if (limits.Abandon->load(std::memory_order_relaxed) || held > limits.OutputCap)
                return DispatchEnd::Abandoned;
        }
        if (!ctx.AtTypeLine) {
            // A pair outside any selected entity: only a code 0 matters, which leaves its value
            // (an entity's type) to be read next.
            Pair pair;
            switch (ReadPair(ctx, pair)) {
            case PairStatus::Pair: continue;
            case PairStatus::EntityEnd: ctx.AtTypeLine = true; continue;
            case PairStatus::InputEnd:
                return ctx.InvalidCodeLine != 0 ? DispatchEnd::NotDxf : DispatchEnd::InputEnded;
            }
        }
        // The value of a code-0 pair: an entity's type, compared untrimmed, or the end of the
        // section. A POLYLINE without SEQEND hands back the pair that ended it.
        ctx.AtTypeLine = false;
        std::string_view type = in.NextLine();
        std::int64_t typeLine = in.LineNumber();
        for (;;) {
            ctx.Counters.SequentialCounter = setup.SequentialStart;
            const ReaderFunction reader = ReaderFor(type, settings);
            if (reader == nullptr) {
                const std::string_view name = TrimText(type);
                if (name == "ENDSEC")
                    return DispatchEnd::SectionEnded;
                // The attributes and SEQEND of a block reference that is not read come here
                // as entities of their own; they are parts of it.
                if (name != "EOF" && name != "ATTRIB" && name != "SEQEND" && name != "VERTEX")
                    Advance(ctx.SectionEntities);
                break;
            }
            Advance(ctx.SectionEntities);
            ctx.EntityLine = typeLine;
            ctx.End = ReaderEnd::AtTypeLine;
            const bool ok = reader(ctx);
            if (ctx.InvalidCodeLine != 0)
                return DispatchEnd::NotDxf;
            if (!ok)
                return DispatchEnd::Failed;
            if (ctx.End != ReaderEnd::PendingType) {
                ctx.AtTypeLine = ctx.End == ReaderEnd::AtTypeLine;
                break;
            }
            type = ctx.PendingType;
            typeLine = ctx.PendingTypeLine;
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

std::string StartAtErrorText(const ExportConfig& config, int option, std::string_view dxfPath) {
    return "Error in DXF file \"" + std::string(dxfPath) + "\", before line 1: \"" +
           config.DataOptions[std::size_t(option)] + "\" is not a valid integer value (" +
           std::string(kDataNodes[std::size_t(option - 2)].Label) + ", \"Start at :\").";
}

namespace {

// Finds the ENTITIES section: the pair (2, ENTITIES) right after a pair (0, SECTION). Returns
// false at the end of the input, or at a code line that is no group code (ctx.InvalidCodeLine).
bool FindEntitiesSection(ScanContext& ctx) {
    ctx.In.SkipByteOrderMark();
    bool afterSection = false;
    // The header variables that say how the drawing's texts are encoded: a variable's name
    // (group 9) and its value in the pair after it.
    std::string version, codePage;
    std::string* variable = nullptr;
    Pair pair;
    while (ReadWholePair(ctx, pair) != PairStatus::InputEnd) {
        if (afterSection && pair.Code == 2 && pair.Value == "ENTITIES") {
            ctx.Encoding = EncodingFromHeader(version, codePage);
            return true;
        }
        afterSection = pair.Code == 0 && pair.Value == "SECTION";
        if (variable != nullptr && pair.Code != 9)
            variable->assign(pair.Value);
        variable = nullptr;
        if (pair.Code == 9) {
            if (pair.Value == "$ACADVER")
                variable = &version;
            else if (pair.Value == "$DWGCODEPAGE")
                variable = &codePage;
        }
    }
    return false;
}

bool IsTrailingFiller(char c) noexcept {
    return c == 26 || c == 0 || c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// When the text ended at a byte 26 with more than filler after it, returns the line that byte
// stands on (lines: those read before it); else 0. Reads the source past the text, which only
// a drawing with an end-of-file mark inside it has.
std::int64_t LineOfCutEofMark(ByteSource& source, std::uint64_t textEnd, std::int64_t lines) {
    if (textEnd >= source.Size() || !source.Seek(textEnd > 0 ? textEnd - 1 : 0))
        return 0;
    char buffer[4096];
    bool first = true;
    bool afterLineFeed = textEnd == 0;
    for (;;) {
        const std::ptrdiff_t got = source.Read(buffer, sizeof buffer);
        if (got <= 0)
            return 0;
        std::size_t i = 0;
        if (first) {
            first = false;
            if (textEnd > 0) {
                afterLineFeed = buffer[0] == '\n';
                i = 1;
            }
            if (i >= std::size_t(got) || buffer[i] != 26)
                return 0;  // the text ended without a mark (the file shrank)
        }
        for (; i < std::size_t(got); ++i)
            if (!IsTrailingFiller(buffer[i]))
                return afterLineFeed ? lines + 1 : std::max<std::int64_t>(lines, 1);
    }
}

ScanResult ScanDxfText(ScanEnvironment& env, DxfLineReader& in, DataOutput& out,
                       std::string_view dxfPath, std::string_view dataPath) {
    const RunSettings& settings = env.Settings;
    ScanContext ctx(in, out, settings, env.Counters, dxfPath);
    ctx.DataPath = dataPath;
    ctx.Capture = env.Capture;
    const auto failed = [&ctx]() { return ScanResult{ScanOutcome::Failed, ctx.Error}; };
    const auto readFailed = [&]() {
        return ScanResult{ScanOutcome::Failed,
                          "Cannot read DXF file \"" + std::string(dxfPath) + "\" after line " +
                              std::to_string(in.LineNumber()) + ": " + in.ErrorText()};
    };
    const auto notDxf = [&]() {
        return ScanResult{ScanOutcome::NotDxf, "this is not a valid DXF file (line " +
                                                   std::to_string(ctx.InvalidCodeLine) +
                                                   " is not a group code)"};
    };

    if (settings.Config.HeaderLine == 1) {
        out.Append(settings.HeaderText);
        out.Append("\r\n");
    }

    const bool found = FindEntitiesSection(ctx);
    if (in.Failed())
        return readFailed();
    if (ctx.InvalidCodeLine != 0)
        return notDxf();
    if (!found)
        return {ScanOutcome::NotDxf, "this is not a valid DXF file"};

    // The sequential Start-at is converted once, here; a blank one is a conversion error, as
    // the desktop program always treated it.
    std::int32_t sequentialStart = 0;
    const std::string& sequentialText = settings.Config.DataOptions[kSequentialStartOption];
    if (!ParseDxfInt32(TrimText(sequentialText), sequentialStart)) {
        FailConversion(ctx, sequentialText, -1, "Sequential Number, \"Start at :\"",
                       NumberKind::Integer);
        return failed();
    }

    const DispatchSetup setup{env.CancelRequested, env.Observer, sequentialStart};
    SegmentScanEnd where;
    // On one thread when SegmentSize is 0 or the drawing is small.
    const DispatchEnd end = ScanBySegments(ctx, setup, {env.SegmentSize, env.BlockSize}, where);
    switch (end) {
    case DispatchEnd::Failed: return failed();
    case DispatchEnd::NotDxf: return notDxf();
    case DispatchEnd::InputEnded:
    case DispatchEnd::SectionEnded: break;
    default: return {ScanOutcome::Canceled, {}};
    }
    if (in.Failed())
        return readFailed();
    if (env.Observer != nullptr)
        env.Observer->Progress(where.Position);
    ScanResult result{ScanOutcome::Done, {}, Summary(ctx)};
    if (end == DispatchEnd::InputEnded) {
        if (const std::int64_t line = LineOfCutEofMark(in.Source(), where.Position, where.Lines))
            result.File.Warnings.push_back(
                {FileWarning::Kind::EndOfFileMark,
                 "reading stopped at byte 26 (end-of-file mark) on line " + std::to_string(line)});
    }
    // A Data file of a header line alone is easily taken for a conversion; the counts say
    // where the entities went.
    if (result.File.Records == 0)
        result.File.Warnings.push_back(
            {FileWarning::Kind::NoRecords,
             "this drawing gave no records (" + std::to_string(result.File.PaperSpaceLeftOut) +
                 " entities in paper space, " + std::to_string(result.File.OtherKindEntities) +
                 " of kinds not selected)"});
    return result;
}

}  // namespace

ScanResult ScanDxfInput(ScanEnvironment& env, DxfLineReader& in, DataOutput& out,
                        std::string_view dxfPath, std::string_view dataPath) {
    try {
        return ScanDxfText(env, in, out, dxfPath, dataPath);
    } catch (const std::bad_alloc&) {
        // An entity larger than the memory left (a polyline of many millions of vertices, a
        // text of endless chunks) ends the run with a message, not the program; unwinding has
        // released what the entity held.
        return {ScanOutcome::Failed,
                "Not enough memory to read DXF file \"" + std::string(dxfPath) + "\" at line " +
                    std::to_string(in.LineNumber()) + ": the entity there is too large."};
    }
}

FileReport FileReportOf(const ScanResult& scan) {
    FileReport file = scan.File;
    file.Reason = scan.Error;
    switch (scan.Outcome) {
    case ScanOutcome::Done: file.Outcome = FileReport::Status::Converted; break;
    case ScanOutcome::NotOpened:
    case ScanOutcome::NotDxf: file.Outcome = FileReport::Status::NotRead; break;
    case ScanOutcome::Failed: file.Outcome = FileReport::Status::Failed; break;
    case ScanOutcome::Canceled: file.Outcome = FileReport::Status::Canceled; break;
    }
    return file;
}

ScanResult ScanDxfFile(ScanEnvironment& env, const std::string& dxfPath,
                       const std::string& dataPath) {
    // A file that leaves no Data file gives its numbers back: the next file numbers on as if
    // it had not been there.
    const RunCounters countersBefore = env.Counters;
    if (const int option = ApplyStartAtOptions(env.Settings.Config, env.Counters); option >= 0) {
        ScanResult result{ScanOutcome::Failed,
                          StartAtErrorText(env.Settings.Config, option, dxfPath)};
        result.File.NamesDataFile = false;
        return result;
    }

    FileByteSource source;
    const bool opened = source.Open(dxfPath);
    if (env.Observer != nullptr)
        env.Observer->FileStarted(FileNameOf(dxfPath), opened ? source.Size() : 0);
    if (!opened) {
        env.Counters = countersBefore;
        ScanResult result{ScanOutcome::NotOpened, "cannot open this file: " + source.ErrorText()};
        result.File.NamesDataFile = false;
        return result;
    }

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
    if (result.Outcome == ScanOutcome::Done && !out.Close())
        result = {ScanOutcome::Failed,
                  "Cannot write Data file \"" + dataPath + "\": " + out.ErrorText()};
    if (result.Outcome != ScanOutcome::Done) {
        // Only a drawing read to its end replaces the Data file: the earlier one stays.
        out.Discard();
        env.Counters = countersBefore;
    }
    return result;
}

}  // namespace quarrow
