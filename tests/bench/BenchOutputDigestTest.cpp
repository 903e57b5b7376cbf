// The engine's Data file for generated drawings, pinned by digest. The digests were taken with
// the engine before its hot path was tuned for speed: any later change of the record bytes,
// however small (one rounding, one counter, one field), changes them.

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>

#include "AllKindsConfig.h"
#include "DrawingGenerator.h"
#include "config/NodeTables.h"
#include "engine/ProcessingRun.h"
#include "support/Digest.h"
#include "support/TempDir.h"

namespace quarrow::bench {
namespace {

using test::Fnv1a64;
using test::Hex;

enum class Variant {
    AllKinds,   // bench/all-kinds.qrw as it is
    EveryItem,  // all twelve items, reversed, with prefixes, decimals 0, 7 and 12, "; "
};

// Converts a drawing with the benchmark configuration (or the variant) and returns the Data
// file.
std::string Convert(const test::TempDir& dir, const std::string& dxf, Variant variant,
                    std::size_t blockSize, std::size_t segmentSize = 0) {
    ExportConfig config;
    ConfigTree entityTree, dataTree;
    BuildAllKindsConfig(config, entityTree, dataTree);
    DataOrderArray order{0, 3, 6, 9, 13, 15, 17, 29, -1, -1, -1, -1, -1};
    if (variant == Variant::EveryItem) {
        order = {29, 26, 23, 21, 19, 17, 15, 13, 9, 6, 3, 0, -1};
        SetFieldSeparator(config, "; ");
        SetDataOption(config, kXDecimalsOption, "0");
        SetDataOption(config, kYDecimalsOption, " 7 ");
        SetDataOption(config, kZDecimalsOption, "12");
        SetDataOption(config, 4, "E=");   // X prefix
        SetDataOption(config, 10, "Z:");  // Z prefix
        SetDataOption(config, kLabelTextOption, "SITE 4");
        SetDataOption(config, kSequentialStartOption, "-2");
        SetDataOption(config, kGroupStartOption, "100");
    }
    SelectedKindsArray kinds{};
    kinds.fill(1);
    RunRequest request;
    request.Entries.push_back({dxf, "drawing.dxf", true, {}});
    request.DestFolder = dir.Path().string();
    request.BlockSize = blockSize;
    request.SegmentSize = segmentSize;
    RunCounters counters;
    std::atomic<bool> cancel{false};
    const RunResult result =
        ProcessSelectedFiles(config, order, kinds, counters, cancel, nullptr, request);
    EXPECT_EQ(result.Status, RunStatus::Done) << result.Message;
    EXPECT_EQ(result.ProcessedFiles, 1);
    return test::ReadFileBytes(dir.Path() / "drawing.csv");
}

// Both line-end styles, both configurations; the 2 MB drawing holds every entity kind many
// times over, with survey-sized coordinates of 3 to 6 decimals.
struct DigestCase {
    const char* name;
    std::uint64_t bytes;
    std::uint64_t seed;
    bool crlf;
    Variant variant;
    std::size_t size;
    const char* digest;
};
// clang-format off
const DigestCase kCases[] = {
    {"AllKinds2MbCrLf", 2'000'000, 1, true, Variant::AllKinds, 1275460, "792389199b058dd3"},
    {"AllKinds1MbLf", 1'000'000, 5, false, Variant::AllKinds, 719459, "a2c5a00b3f882d1a"},
    {"EveryItem2MbCrLf", 2'000'000, 1, true, Variant::EveryItem, 1998692,
     "e071b1f394fbe544"},
};
// clang-format on

TEST(BenchOutputDigestTest, DataFilesKeepTheirBytes) {
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        test::TempDir dir;
        const std::string dxf = dir / "drawing.dxf";
        std::string drawing;
        DrawingOptions options;
        options.TargetBytes = c.bytes;
        options.Seed = c.seed;
        options.CrLf = c.crlf;
        ASSERT_TRUE(GenerateDrawing(options, [&](std::string_view block) {
            drawing += block;
            return true;
        }));
        test::WriteFileBytes(dxf, drawing);
        const std::string data = Convert(dir, dxf, c.variant, 1 << 20);
        EXPECT_EQ(data.size(), c.size);
        EXPECT_EQ(Hex(Fnv1a64(data)), c.digest);
        // Lines that straddle the reader's blocks come out the same, and so do the segments
        // a second thread reads ahead (tens of them, cut anywhere).
        EXPECT_TRUE(Convert(dir, dxf, c.variant, 4093) == data);
        EXPECT_TRUE(Convert(dir, dxf, c.variant, 1 << 20, 64 * 1024) == data);
        EXPECT_TRUE(Convert(dir, dxf, c.variant, 4093, 100'003) == data);
    }
}

}  // namespace
}  // namespace quarrow::bench
