#pragma once
// The file list's header layout as the bytes kept in the settings store: column widths, the
// columns' visual order, the sorted column with its direction, and the sorted column's
// background. Qt-free, so the reader can be fuzzed on its own.

#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace quarrow {

inline constexpr int kHeaderColumns = 3;  // Name, Modified, Size
inline constexpr int kMinColumnWidth = 30;
inline constexpr int kMaxColumnWidth = 10000;  // wider than any screen; a bound for hostile bytes

struct HeaderLayout {
    // Names of a dozen letters and the whole date stay readable in the window's least size.
    std::array<int, kHeaderColumns> Widths{140, 130, 80};  // by column; the list stretches Name
    std::array<int, kHeaderColumns> Order{0, 1, 2};        // visual position -> column
    int SortColumn = 0;
    bool Ascending = true;
    std::uint32_t SortedColour = 0xF2F2F2;  // 0xRRGGBB
    std::uint32_t ListColour = 0xFFFFFF;    // the other columns

    bool operator==(const HeaderLayout&) const = default;
};

// Returns the design layout: Name 140, Modified 130, Size 80, sorted by Name ascending.
HeaderLayout DesignHeaderLayout();

// Returns true when every field is in range and Order is a permutation of the columns.
bool IsValidHeaderLayout(const HeaderLayout& layout);

// Writes the layout as its versioned bytes; an invalid layout writes the design one.
std::vector<std::uint8_t> EncodeHeaderLayout(const HeaderLayout& layout);

// Reads the bytes; any bytes that are not exactly a valid layout of this version (empty, cut,
// too long, unknown version, a width or column out of range) give the design layout.
HeaderLayout DecodeHeaderLayout(std::span<const std::uint8_t> bytes);

}  // namespace quarrow
