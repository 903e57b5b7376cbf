#pragma once
// The twelve entity readers. Each is called right after the scan read the entity's type (the
// value of its code-0 pair) and returns right after the code line "0" that ends the entity, or
// at the end of the input; a POLYLINE returns after the pair (0, SEQEND), or after the code-0
// pair of whatever follows it without one (ctx.End says which). A paper-space entity is read
// through and leaves nothing. Each returns false when the run must end (ctx.Error then holds
// the message); a code line that is no group code ends the reading as the end of the input
// does, with ctx.InvalidCodeLine set.

#include <cstdint>
#include <string_view>

#include "config/TextUtil.h"
#include "engine/ScanContext.h"

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

[[nodiscard]] bool ReadPoint(ScanContext& ctx);
[[nodiscard]] bool ReadCircle(ScanContext& ctx);
[[nodiscard]] bool ReadEllipse(ScanContext& ctx);
[[nodiscard]] bool ReadText(ScanContext& ctx);
[[nodiscard]] bool ReadMText(ScanContext& ctx);
[[nodiscard]] bool ReadLineEntity(ScanContext& ctx);
[[nodiscard]] bool ReadArc(ScanContext& ctx);
[[nodiscard]] bool Read3DFace(ScanContext& ctx);
[[nodiscard]] bool ReadLwPolyline(ScanContext& ctx);
[[nodiscard]] bool ReadPolyline(ScanContext& ctx);
[[nodiscard]] bool ReadSpline(ScanContext& ctx);
[[nodiscard]] bool ReadInsert(ScanContext& ctx);

} // namespace quarrow
