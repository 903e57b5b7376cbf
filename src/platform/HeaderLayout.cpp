#include "platform/HeaderLayout.h"

namespace quarrow {
namespace {

// "QHL" and a version byte, then per column a 16-bit little-endian width, the three order
// bytes, the sort column, the direction (1 ascending), and two colours of three bytes each.
constexpr std::array<std::uint8_t, 4> kMagic{'Q', 'H', 'L', 1};
constexpr std::size_t kEncodedSize = 4 + 2 * kHeaderColumns + kHeaderColumns + 1 + 1 + 3 + 3;

void PutColour(std::vector<std::uint8_t>& out, std::uint32_t rgb) {
    out.push_back(std::uint8_t(rgb >> 16));
    out.push_back(std::uint8_t(rgb >> 8));
    out.push_back(std::uint8_t(rgb));
}

std::uint32_t GetColour(const std::uint8_t* at) {
    return (std::uint32_t(at[0]) << 16) | (std::uint32_t(at[1]) << 8) | std::uint32_t(at[2]);
}

}  // namespace

HeaderLayout DesignHeaderLayout() {
    return HeaderLayout{};
}

bool IsValidHeaderLayout(const HeaderLayout& layout) {
    for (int width : layout.Widths)
        if (width < kMinColumnWidth || width > kMaxColumnWidth)
            return false;
    std::array<bool, kHeaderColumns> seen{};
    for (int column : layout.Order) {
        if (column < 0 || column >= kHeaderColumns || seen[std::size_t(column)])
            return false;
        seen[std::size_t(column)] = true;
    }
    return layout.SortColumn >= 0 && layout.SortColumn < kHeaderColumns &&
           layout.SortedColour <= 0xFFFFFF && layout.ListColour <= 0xFFFFFF;
}

std::vector<std::uint8_t> EncodeHeaderLayout(const HeaderLayout& given) {
    const HeaderLayout layout = IsValidHeaderLayout(given) ? given : DesignHeaderLayout();
    std::vector<std::uint8_t> out(kMagic.begin(), kMagic.end());
    out.reserve(kEncodedSize);
    for (int width : layout.Widths) {
        out.push_back(std::uint8_t(width & 0xFF));
        out.push_back(std::uint8_t(width >> 8));
    }
    for (int column : layout.Order)
        out.push_back(std::uint8_t(column));
    out.push_back(std::uint8_t(layout.SortColumn));
    out.push_back(layout.Ascending ? 1 : 0);
    PutColour(out, layout.SortedColour);
    PutColour(out, layout.ListColour);
    return out;
}

HeaderLayout DecodeHeaderLayout(std::span<const std::uint8_t> bytes) {
    if (bytes.size() != kEncodedSize)
        return DesignHeaderLayout();
    for (std::size_t i = 0; i < kMagic.size(); ++i)
        if (bytes[i] != kMagic[i])
            return DesignHeaderLayout();
    const std::uint8_t* at = bytes.data() + kMagic.size();
    HeaderLayout layout;
    for (int& width : layout.Widths) {
        width = at[0] | (at[1] << 8);
        at += 2;
    }
    for (int& column : layout.Order)
        column = *at++;
    layout.SortColumn = *at++;
    const std::uint8_t direction = *at++;
    if (direction > 1)
        return DesignHeaderLayout();
    layout.Ascending = direction == 1;
    layout.SortedColour = GetColour(at);
    layout.ListColour = GetColour(at + 3);
    return IsValidHeaderLayout(layout) ? layout : DesignHeaderLayout();
}

}  // namespace quarrow
