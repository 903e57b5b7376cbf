#pragma once
// What the scan of one DXF file shares with the entity readers and the record writer.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "config/ExportConfig.h"
#include "engine/BlockFilter.h"
#include "engine/DataOutput.h"
#include "detail/DxfLineReader.h"
#include "detail/DxfNumber.h"
#include "detail/DxfText.h"
#include "engine/RunSettings.h"
#include "detail/Vector3.h"

namespace quarrow {

class RecordCapture;

// A value text kept by a reader with the DXF line it came from (0: not read, so an error
// names the entity's type line instead).
struct KeptText {
    std::string Text;
    std::int64_t Line = 0;

    void Set(std::string_view text, std::int64_t line) {
        Text.assign(text);
        Line = line;
    }
    // Starts as the empty text, never read.
    void Clear() noexcept {
        Text.clear();
        Line = 0;
    }
    // Starts as "0", never read.
    void SetZero() {
        Text.assign(1, '0');
        Line = 0;
    }
};

// A number a reader converts later than it reads it, converted at once instead: only a text
// that does not convert is kept, for the error raised when (and if) the value is used.
struct KeptNumber {
    double Value = 0.0;
    bool Converted = false;
    std::string BadText;
    std::int64_t Line = 0;

    void Set(std::string_view text, std::int64_t line) {
        Line = line;
        Converted = ParseDxfDouble(text, Value);
        if (!Converted)
            BadText.assign(text);
    }
    // Starts as the empty text, never read.
    void Clear() noexcept {
        Converted = false;
        BadText.clear();
        Line = 0;
    }
    // Starts as "0", never read.
    void SetZero() noexcept {
        Value = 0.0;
        Converted = true;
        Line = 0;
    }
};

// One attribute of a block reference: the tag (group 2) and value (group 1) of an ATTRIB.
struct AttributeText {
    std::string Tag, Value;
};

// An entity's texts as the plain text mode writes them (UTF-8), converted once per entity.
struct PlainTexts {
    std::string Handle, Layer, BlockName, Text;
    std::vector<AttributeText> Attributes;  // the first AttributeCount are the entity's
    std::size_t AttributeCount = 0;
};

// Texts and arrays the readers reuse from one entity to the next, so reading an entity
// allocates nothing once they have grown to size.
struct ReaderScratch {
    std::string Handle, Layer, BlockName, Text;
    std::vector<AttributeText> Attributes;  // the first AttributeCount are the reference's
    std::size_t AttributeCount = 0;
    std::array<KeptText, 12> Kept;      // coordinate texts kept as read
    std::array<KeptNumber, 3> Numbers;  // numbers kept until used
    std::vector<Vector3> Vertices;
    std::vector<std::int32_t> VertexFlags;
};

// Whether the entity being read is in paper space: a pair (67, 1) before its first group 10
// says so. Until that group decides it, a value that fails to convert is only noted, so that a
// paper-space entity (read through, never exported) cannot end the run.
struct EntitySpace {
    bool Decided = false;  // the first group 10 (POLYLINE: the end of its header) was read
    bool Paper = false;    // a pair (67, 1) came before it
    bool HasDeferred = false;
    std::string DeferredError;  // the first conversion error met before the decision

    void Start() noexcept {
        Decided = false;
        Paper = false;
        HasDeferred = false;
    }
};

// How a reader left the input.
enum class ReaderEnd {
    AtTypeLine,   // after the code line "0" that ends the entity (or at the end of the input)
    AfterPair,    // after a whole pair: POLYLINE's (0, SEQEND)
    PendingType,  // POLYLINE without SEQEND: it read the pair (0, PendingType) that follows it
};

// A counter field left open by a segment read ahead of its turn (the counters it would show
// are known only once every earlier line has been read): the field goes at Offset of the
// segment's output, showing the counter's value at the segment's start plus Value.
struct CounterHole {
    std::uint32_t Offset = 0;
    std::int32_t Value = 0;
    bool Group = false;  // GroupCounter, else LineCounter
};

struct ScanContext {
    ScanContext(DxfLineReader& in, DataOutput& out, const RunSettings& settings,
                RunCounters& counters, std::string_view dxfPath)
        : In(in), Out(out), Settings(settings), Counters(counters), DxfPath(dxfPath) {}

    DxfLineReader& In;
    DataOutput& Out;
    const RunSettings& Settings;
    RunCounters& Counters;
    std::string DxfPath;   // named by error messages
    std::string DataPath;  // named when writing fails

    std::int32_t EntityCount = 0;
    std::array<std::int32_t, kKindCount> KindCounts{};
    BlockTally Tally;

    std::int32_t PaperSpaceCount = 0;   // entities of selected kinds left out as paper space
    std::int32_t SectionEntities = 0;   // entities of the section, of any kind (parts not)
    std::int32_t FilteredOut = 0;       // block references the block-name filter rejected
    std::int32_t SeparatorRecords = 0;  // records with a field that holds the field separator
    std::int64_t RecordCount = 0;       // records written
    // Records written per entity kind: an entity's records are written before it is counted,
    // so those since the last count are the counted entity's.
    std::array<std::int64_t, kKindCount> KindRecords{};
    std::int64_t RecordsCounted = 0;  // the part of RecordCount already in KindRecords
    // Whether the entity's texts hold the field separator, once looked at (the readers clear
    // it when the entity or its handle or layer changes).
    bool SeparatorTextsChecked = false;
    bool SeparatorInTexts = false;
    // The plain text mode: the drawing's encoding (from its header) and the entity's texts as
    // plain UTF-8, converted once per entity (cleared with SeparatorTextsChecked).
    TextEncoding Encoding;
    bool PlainTextsReady = false;
    PlainTexts Plain;

    std::int64_t EntityLine = 0;  // line of the type line of the entity being read
    // The next line is the value of a code-0 pair: an entity's type or the section's end.
    bool AtTypeLine = false;
    EntitySpace Space;
    ReaderEnd End = ReaderEnd::AtTypeLine;
    std::string PendingType;  // untrimmed, with the line it stands on
    std::int64_t PendingTypeLine = 0;
    // A complete pair whose code line is not a whole number: the file is not DXF. The line of
    // that code line; 0 while none was met.
    std::int64_t InvalidCodeLine = 0;
    // A read met the end of the input where a pair should be: the entity being read, if any,
    // is the one the end of the input cuts.
    bool InputCut = false;
    std::string Error;  // the run-ending error, once one happened
    ReaderScratch Scratch;
    // Set while reading a segment ahead of its turn: the line and group counters are then
    // relative to the segment's start, and their fields are left open here.
    std::vector<CounterHole>* Holes = nullptr;
    // Set by a preview: takes a copy of each record written (see RecordCapture.h).
    RecordCapture* Capture = nullptr;

    // Advances the kind's count, EntityCount and GroupCounter after an entity.
    void CountEntity(int kind) noexcept {
        Advance(KindCounts[static_cast<std::size_t>(kind)]);
        KindRecords[static_cast<std::size_t>(kind)] += RecordCount - RecordsCounted;
        RecordsCounted = RecordCount;
        Advance(EntityCount);
        Advance(Counters.GroupCounter);
    }
};

// What a text failed to convert to.
enum class NumberKind { Decimal, Integer };

// Records a run-ending conversion error naming the DXF file, a line and the text. line > 0:
// the DXF line the text stands on; 0: the text was never read (the entity's type line is
// named); -1: an option text of the configuration (the line being read is named). what says
// which value it was. Returns false, for the callers' return statements.
bool FailConversion(ScanContext& ctx, std::string_view text, std::int64_t line,
                    std::string_view what, NumberKind kind = NumberKind::Decimal);

}  // namespace quarrow
