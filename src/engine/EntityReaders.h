#pragma once
// The twelve entity readers. Each is called right after the scan read the entity's type line
// and returns right after the code line "0" that ends the entity (POLYLINE: after the pair of
// "0" and "SEQEND"), or at the end of the input. Each returns false when the run must end
// (ctx.Error then holds the message).

#include <cstdint>
#include <string_view>

#include "config/TextUtil.h"
#include "engine/ScanContext.h"

namespace quarrow {

// Returns the number a trimmed group-code line stands for, compared as text: only the plain
// decimal form counts ("10", never "010" or "+10"); -1 for anything else.
constexpr int GroupCode(std::string_view code) noexcept {
    if (code.empty() || code.size() > 4 || (code.size() > 1 && code[0] == '0'))
        return -1;
    int value = 0;
    for (const char c : code) {
        if (c < '0' || c > '9')
            return -1;
        value = value * 10 + (c - '0');
    }
    return value;
}

// Returns GroupCode of a code line as read, trimmed first. Code lines are mostly three bytes,
// right-aligned ("  0", " 10", "330"): those are read without a loop.
constexpr int GroupCodeOfLine(std::string_view line) noexcept {
    const auto digit = [](char c) { return c >= '0' && c <= '9'; };
    if (line.size() == 3 && digit(line[2])) {
        const int units = line[2] - '0';
        if (line[0] == ' ' && line[1] == ' ')
            return units;
        if (line[0] == ' ' && digit(line[1]) && line[1] != '0')
            return (line[1] - '0') * 10 + units;
        if (digit(line[0]) && line[0] != '0' && digit(line[1]))
            return (line[0] - '0') * 100 + (line[1] - '0') * 10 + units;
    }
    return GroupCode(TrimText(line));
}

[[nodiscard]] bool ReadPoint(ScanContext& ctx);
[[nodiscard]] bool ReadCircle(ScanContext& ctx);
[[nodiscard]] bool ReadEllipse(ScanContext& ctx);
[[nodiscard]] bool ReadText(ScanContext& ctx);
[[nodiscard]] bool ReadMText(ScanContext& ctx);
[[nodiscard]] bool ReadLine(ScanContext& ctx);
[[nodiscard]] bool ReadArc(ScanContext& ctx);
[[nodiscard]] bool Read3DFace(ScanContext& ctx);
[[nodiscard]] bool ReadLwPolyline(ScanContext& ctx);
[[nodiscard]] bool ReadPolyline(ScanContext& ctx);
[[nodiscard]] bool ReadSpline(ScanContext& ctx);
[[nodiscard]] bool ReadInsert(ScanContext& ctx);

} // namespace quarrow
