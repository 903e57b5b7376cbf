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
#include "engine/ScanReasons.h"

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
    file.FilteredOut = ctx.FilteredOut;
    file.OtherKindEntities =
        std::max<std::int64_t>(0, std::int64_t(ctx.SectionEntities) - ctx.EntityCount -
                                      ctx.PaperSpaceCount - ctx.FilteredOut);
    if (ctx.SeparatorRecords != 0)
        file.Warnings.push_back({FileWarning::Kind::SeparatorInValue,
                                 QuotedValuesWarningText(std::uint32_t(ctx.SeparatorRecords))});
    return file;
}

// After a reader failed: returns true when its entity is the one the end of the input cuts,
// whose values may be cut too ("5432103.752" read as "54321"), so that its errors do not count.
// A reader stops after a whole pair (an even number of lines after the type line) when a value
// failed as it was read: the rest of the entity is read through to see whether it is cut.
bool FailedEntityIsCut(ScanContext& ctx) {
    if (ctx.InputCut)
        return true;
    if (ctx.Error.empty() || (ctx.In.LineNumber() - ctx.EntityLine) % 2 != 0)
        return false;  // a preview that has its records, or an entity ended by its "0"
    Pair pair;
    PairStatus status;
    while ((status = ReadPair(ctx, pair)) == PairStatus::Pair) {
    }
    if (ctx.InvalidCodeLine != 0) {
        ctx.InvalidCodeLine = 0;  // the conversion error came first
        return false;
    }
    return status == PairStatus::InputEnd;
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
                if (name == "ENDSEC" || name == "EOF")
                    return DispatchEnd::SectionEnded;
                // The attributes and SEQEND of a block reference that is not read come here
                // as entities of their own; they are parts of it.
                if (name != "ATTRIB" && name != "SEQEND" && name != "VERTEX")
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
                return FailedEntityIsCut(ctx) ? DispatchEnd::EntityCut : DispatchEnd::Failed;
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
    const DataItem item = option == kLineStartOption         ? DataItem::LineNumber
                          : option == kSequentialStartOption ? DataItem::SequentialNumber
                                                             : DataItem::GroupNumber;
    return "Error in DXF file \"" + std::string(dxfPath) + "\", before line 1: \"" +
           config.DataOptions[std::size_t(option)] + "\" is not a valid integer value (" +
           std::string(kDataNodes[std::size_t(item)].Label) + ", \"Start at :\").";
}

namespace {

// Returns the first bytes of the source, up to the buffer's size, read into it; fewer when
// the source is shorter or cannot be read.
template <std::size_t N>
std::string_view ReadHead(ByteSource& source, char (&bytes)[N]) {
    std::size_t size = 0;
    if (source.Seek(0)) {
        while (size < N) {
            const std::ptrdiff_t got = source.Read(bytes + size, N - size);
            if (got <= 0)
                break;
            size += std::size_t(got);
        }
    }
    return {bytes, size};
}

// Returns true when the input's first line (all of it: no pair was read) is blanks, digits and
// a minus sign: the start of a group code line, cut there.
bool FirstLineStartsACode(ByteSource& source) {
    char bytes[64];
    std::string_view line = ReadHead(source, bytes);
    if (line.substr(0, 3) == "\xEF\xBB\xBF")
        line.remove_prefix(3);
    line = line.substr(0, line.find_first_of("\r\n\x1a"));
    return !line.empty() && line.size() < sizeof bytes - 3 &&
           line.find_first_not_of(" \t-0123456789") == std::string_view::npos;
}

// How the search for the ENTITIES section ended.
enum class SectionSearch {
    Found,     // at the pair (2, ENTITIES) after (0, SECTION)
    NotFound,  // at (0, EOF), at a code line that is no group code (ctx.InvalidCodeLine), or
               // at the end of an input of less than one pair
    CutShort,  // at the end of the input, without (0, EOF)
};

// Finds the ENTITIES section: the pair (2, ENTITIES) right after a pair (0, SECTION). Nothing
// after (0, EOF) is read.
SectionSearch FindEntitiesSection(ScanContext& ctx) {
    ctx.In.SkipByteOrderMark();
    bool afterSection = false;
    bool anyPair = false;
    // The header variables that say how the drawing's texts are encoded: a variable's name
    // (group 9) and its value in the pair after it.
    std::string version, codePage;
    std::string* variable = nullptr;
    Pair pair;
    while (ReadWholePair(ctx, pair) != PairStatus::InputEnd) {
        anyPair = true;
        if (afterSection && pair.Code == 2 && pair.Value == "ENTITIES") {
            ctx.Encoding = EncodingFromHeader(version, codePage);
            return SectionSearch::Found;
        }
        if (pair.Code == 0 && pair.Value == "EOF")
            return SectionSearch::NotFound;
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
    if (ctx.InvalidCodeLine != 0 || ctx.In.LineNumber() == 0)
        return SectionSearch::NotFound;
    return anyPair || FirstLineStartsACode(ctx.In.Source()) ? SectionSearch::CutShort
                                                            : SectionSearch::NotFound;
}

// Returns what the drawing's first bytes say it is, when it is no ASCII DXF file they can
// tell (a DWG drawing, a binary DXF file), else `otherwise`.
NotValidReason ReasonOfDrawing(ByteSource& source, NotValidReason otherwise) {
    char bytes[kFirstBytesLooked];
    NotValidReason reason = otherwise;
    return ReasonOfFirstBytes(ReadHead(source, bytes), reason) ? reason : otherwise;
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
    const auto notDxf = [&](NotValidReason why) {
        if (ctx.InvalidCodeLine != 0)
            why = NotValidReason::BadGroupCode;
        why = ReasonOfDrawing(in.Source(), why);
        ScanResult result{ScanOutcome::NotDxf, NotValidDxfText(why, ctx.InvalidCodeLine)};
        result.NotValid = why;
        return result;
    };

    if (settings.Config.HeaderLine == 1) {
        out.Append(settings.HeaderText);
        out.Append("\r\n");
    }

    const SectionSearch search = FindEntitiesSection(ctx);
    if (in.Failed())
        return readFailed();
    if (search != SectionSearch::Found)
        return notDxf(search == SectionSearch::CutShort ? NotValidReason::CutBeforeEntities
                                                        : NotValidReason::NoEntitiesSection);

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
    case DispatchEnd::NotDxf: return notDxf(NotValidReason::BadGroupCode);
    case DispatchEnd::InputEnded:
    case DispatchEnd::EntityCut:
        // The section ends at (0, ENDSEC) or (0, EOF): an input that ends before is cut short,
        // also when a byte 26 ended its text.
        if (in.Failed())
            return readFailed();
        return notDxf(NotValidReason::CutShort);
    case DispatchEnd::SectionEnded: break;
    default: return {ScanOutcome::Canceled, {}};
    }
    if (env.Observer != nullptr)
        env.Observer->Progress(where.Position);
    ScanResult result{ScanOutcome::Done, {}, Summary(ctx)};
    // A Data file of a header line alone is easily taken for a conversion; the counts say
    // where the entities went.
    if (result.File.Records == 0) {
        const FileReport& f = result.File;
        std::string text = "this drawing gave no records (" + std::to_string(f.PaperSpaceLeftOut) +
                           " entities in paper space, " + std::to_string(f.OtherKindEntities) +
                           " of kinds not selected";
        // Block references of a selected kind are none of those two.
        if (f.FilteredOut > 0)
            text += ", " + std::to_string(f.FilteredOut) + " left out by the block-name filter";
        result.File.Warnings.push_back({FileWarning::Kind::NoRecords, text + ")"});
    }
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
    // With the extension "dxf" into the drawings' folder, "site.DXF" gives the Data file
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
