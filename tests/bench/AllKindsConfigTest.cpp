#include "AllKindsConfig.h"

#include <gtest/gtest.h>

#include <string>

#include "config/ConfigFile.h"
#include "config/NodeTables.h"
#include "support/TempDir.h"

namespace quarrow::bench {
namespace {

// The committed bench/all-kinds.qrw is what the builder writes; bench/make-config refreshes it.
TEST(AllKindsConfigTest, CommittedFileMatchesTheBuilder) {
    ExportConfig config;
    ConfigTree entityTree, dataTree;
    BuildAllKindsConfig(config, entityTree, dataTree);
    const auto bytes = BuildConfigFile(config, entityTree, dataTree);
    EXPECT_EQ(test::ReadFileBytes(QUARROW_SOURCE_DIR "/bench/all-kinds.qrw"),
              std::string(bytes.begin(), bytes.end()));
}

TEST(AllKindsConfigTest, SelectsEveryKindAndTheEightItemsInOrder) {
    ExportConfig config;
    ConfigTree entityTree = BuildEntityTree();
    ConfigTree dataTree = BuildDataTree();
    const auto result =
        ReadConfigFile(QUARROW_SOURCE_DIR "/bench/all-kinds.qrw", config, entityTree, dataTree);
    ASSERT_EQ(result.Outcome, ConfigReadOutcome::ReadInFull) << result.Message;
    for (int node = 0; node < kEntityNodeCount; ++node)
        EXPECT_EQ(config.EntityFlags[std::size_t(node)], 1) << node;
    for (auto selected : BuildSelectedKinds(entityTree))
        EXPECT_EQ(selected, 1);
    std::vector<int> order;
    for (auto index : BuildDataOrder(dataTree))
        if (index >= 0)
            order.push_back(index);
    EXPECT_EQ(order, (std::vector<int>{0, 3, 6, 9, 13, 15, 17, 29}));
    EXPECT_EQ(config.DataFileExt, "csv");
    EXPECT_EQ(config.FieldSeparator, ",");
    EXPECT_EQ(config.HeaderLine, 1);
    for (int decimals : {kXDecimalsOption, kYDecimalsOption, kZDecimalsOption})
        EXPECT_EQ(config.DataOptions[std::size_t(decimals)], "3");
}

}  // namespace
}  // namespace quarrow::bench
