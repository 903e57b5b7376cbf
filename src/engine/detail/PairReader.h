#pragma once
// The group-code/value pairs a drawing is made of, as the scan and the entity readers read them:
// one place for what a code line is, where a pair ends and what a file that is not DXF looks
// like. Inline: every pair of a drawing goes through here.

#include <cstdint>
#include <string_view>

#include "config/TextUtil.h"
#include "detail/DxfNumber.h"
#include "detail/ScanContext.h"

namespace quarrow {

// Parses a trimmed group-code line: an optional minus sign and decimal digits, within 32 bits
// ("010" is 10, "00" is 0). Returns false for anything else: the file is then not DXF.
constexpr bool ParseGroupCode(std::string_view code, std::int32_t& value) noexcept {
    const bool negative = !code.empty() && code[0] == '-';
    if (negative)
        code.remove_prefix(1);
    if (code.empty())
        return false;
    std::int64_t magnitude = 0;
    for (const char c : code) {
        if (c < '0' || c > '9')
            return false;
        magnitude = magnitude * 10 + (c - '0');
        if (magnitude > std::int64_t(1) << 31)
            return false;  // also stops endless runs of digits from overflowing
    }
    const std::int64_t result = negative ? -magnitude : magnitude;
    if (result > std::int64_t(INT32_MAX))
        return false;
    value = static_cast<std::int32_t>(result);
    return true;
}

// ParseGroupCode of a code line as read, trimmed first. Code lines are mostly three bytes,
// right-aligned ("  0", " 10", "330"): those are read without a loop.
constexpr bool ParseGroupCodeLine(std::string_view line, std::int32_t& value) noexcept {
    const auto digit = [](char c) { return c >= '0' && c <= '9'; };
    if (line.size() == 3 && digit(line[2])) {
        const int units = line[2] - '0';
        if (line[0] == ' ' && line[1] == ' ') {
            value = units;
            return true;
        }
        if (line[0] == ' ' && digit(line[1])) {
            value = (line[1] - '0') * 10 + units;
            return true;
        }
        if (digit(line[0]) && digit(line[1])) {
            value = (line[0] - '0') * 100 + (line[1] - '0') * 10 + units;
            return true;
        }
    }
    return ParseGroupCode(TrimText(line), value);
}

enum class PairStatus { Pair, EntityEnd, InputEnd };

struct Pair {
    std::int32_t Code = -1;
    std::string_view Value;  // trimmed; valid until the next read
    std::string_view Raw;    // the value line as written (MTEXT keeps its blanks)
    std::int64_t Line = 0;   // DXF line of the value
};

// A complete pair whose code line is no group code: the file is not DXF. The readers stop as
// at the end of the input, and the scan reports the line.
inline PairStatus BadCode(ScanContext& ctx, std::int64_t line) noexcept {
    ctx.InvalidCodeLine = line;
    return PairStatus::InputEnd;
}

inline bool IsOne(std::string_view value) noexcept {
    std::int32_t number = 0;
    return ParseDxfInt32(value, number) && number == 1;
}

// Follows the groups that say whether the entity is in paper space.
inline void NoteSpace(ScanContext& ctx, const Pair& pair) noexcept {
    if (pair.Code == 10)
        ctx.Space.Decided = true;
    else if (pair.Code == 67 && !ctx.Space.Decided && IsOne(pair.Value))
        ctx.Space.Paper = true;
}

// The end of the input met where a pair should be: the readers stop, and ctx.InputCut says that
// the entity being read was cut there.
inline PairStatus InputEnded(ScanContext& ctx) noexcept {
    ctx.InputCut = true;
    return PairStatus::InputEnd;
}

// Reads the next group-code/value pair; a code 0 ends the pair after its code line (the value,
// the next entity's type, is left for the scan). The end of the input is tested before every
// read: past it, lines are empty and never "0", so a reader would never stop.
inline PairStatus ReadPair(ScanContext& ctx, Pair& pair) noexcept {
    DxfLineReader& in = ctx.In;
    DxfLineReader::TwoLines lines;
    if (in.PeekTwoLines(lines)) {  // the common case, both lines at once
        if (!ParseGroupCodeLine(lines.First, pair.Code)) [[unlikely]]
            return BadCode(ctx, in.LineNumber() + 1);
        if (pair.Code == 0) {
            in.Skip(lines.FirstLength, 1);  // the scan reads the next entity's type
            return PairStatus::EntityEnd;
        }
        in.Skip(lines.BothLength, 2);
        pair.Raw = lines.Second;
        pair.Value = TrimText(lines.Second);
        pair.Line = in.LineNumber();
        NoteSpace(ctx, pair);
        return PairStatus::Pair;
    }
    if (in.AtEnd())
        return InputEnded(ctx);
    const bool isCode = ParseGroupCodeLine(in.NextLine(), pair.Code);
    if (isCode && pair.Code == 0)
        return PairStatus::EntityEnd;
    if (in.AtEnd())
        return InputEnded(ctx);  // a last code line without its value
    if (!isCode)
        return BadCode(ctx, in.LineNumber());
    pair.Raw = in.NextLine();
    pair.Value = TrimText(pair.Raw);
    pair.Line = in.LineNumber();
    NoteSpace(ctx, pair);
    return PairStatus::Pair;
}

// Reads the next pair whole, also for code 0 (the POLYLINE reader reads VERTEX and SEQEND so,
// and the search for the ENTITIES section every pair).
inline PairStatus ReadWholePair(ScanContext& ctx, Pair& pair) noexcept {
    DxfLineReader& in = ctx.In;
    DxfLineReader::TwoLines lines;
    if (in.PeekTwoLines(lines)) {  // the common case, both lines at once
        if (!ParseGroupCodeLine(lines.First, pair.Code)) [[unlikely]]
            return BadCode(ctx, in.LineNumber() + 1);
        in.Skip(lines.BothLength, 2);
        pair.Raw = lines.Second;
        pair.Value = TrimText(lines.Second);
        pair.Line = in.LineNumber();
        return pair.Code == 0 ? PairStatus::EntityEnd : PairStatus::Pair;
    }
    if (in.AtEnd())
        return InputEnded(ctx);
    const bool isCode = ParseGroupCodeLine(in.NextLine(), pair.Code);
    if (in.AtEnd())
        return InputEnded(ctx);
    if (!isCode)
        return BadCode(ctx, in.LineNumber());
    pair.Raw = in.NextLine();
    pair.Value = TrimText(pair.Raw);
    pair.Line = in.LineNumber();
    return pair.Code == 0 ? PairStatus::EntityEnd : PairStatus::Pair;
}

}  // namespace quarrow
