#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/HeaderLayout.h"

namespace quarrow {
namespace {

std::vector<std::uint8_t> Bytes(const std::string& text) {
    return {text.begin(), text.end()};
}

TEST(HeaderLayoutTest, AChangedLayoutWritesAndReadsBack) {
    HeaderLayout layout;
    layout.Widths = {30, 1234, 10000};
    layout.Order = {2, 0, 1};
    layout.SortColumn = 2;
    layout.Ascending = false;
    layout.SortedColour = 0x102030;
    layout.ListColour = 0x000000;
    const auto bytes = EncodeHeaderLayout(layout);
    EXPECT_EQ(bytes.size(), 21u);
    EXPECT_EQ(DecodeHeaderLayout(bytes), layout);
    EXPECT_EQ(DecodeHeaderLayout(EncodeHeaderLayout(DesignHeaderLayout())), DesignHeaderLayout());
}

TEST(HeaderLayoutTest, BytesThatAreNotALayoutGiveTheDesignOne) {
    HeaderLayout custom;
    custom.Widths = {200, 200, 200};
    custom.SortColumn = 1;
    const auto good = EncodeHeaderLayout(custom);
    ASSERT_EQ(DecodeHeaderLayout(good), custom);
    auto with = [&](std::size_t at, std::uint8_t value) {
        auto bytes = good;
        bytes[at] = value;
        return bytes;
    };
    struct Case {
        const char* Name;
        std::vector<std::uint8_t> Bytes;
    };
    // clang-format off
    const std::vector<Case> cases = {
        {"empty", {}},
        {"cut after the version", Bytes("QHL\x01")},
        {"one byte short", {good.begin(), good.end() - 1}},
        {"one byte too many", [&] { auto b = good; b.push_back(0); return b; }()},
        {"foreign magic", with(0, 'X')},
        {"next version", with(3, 2)},
        {"width below the minimum", with(4, 29) /* low byte of 200 -> 29, high 0 */},
        {"width above the maximum", with(5, 0xFF)},
        {"order repeats a column", with(10, 1)},
        {"order names a fourth column", with(12, 3)},
        {"sort column out of range", with(13, 3)},
        {"direction neither 0 nor 1", with(14, 2)},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(DecodeHeaderLayout(c.Bytes), DesignHeaderLayout());
    }
}

TEST(HeaderLayoutTest, AnInvalidLayoutWritesTheDesignOne) {
    HeaderLayout bad;
    bad.Order = {0, 0, 1};
    EXPECT_EQ(EncodeHeaderLayout(bad), EncodeHeaderLayout(DesignHeaderLayout()));
}

}  // namespace
}  // namespace quarrow
