#include "config/ConfigTree.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "config/NodeTables.h"

namespace quarrow {
namespace {

TEST(ConfigTreeTest, EntityTreeFollowsItsCountTable) {
    const ConfigTree tree = BuildEntityTree();
    ASSERT_EQ(tree.Roots.size(), 12u);
    int total = 0;
    for (std::size_t k = 0; k < tree.Roots.size(); ++k) {
        const auto& root = tree.Roots[k];
        EXPECT_EQ(EntityNodeAt(tree, kEntityKinds[k].RootNode), &root) << kEntityKinds[k].Label;
        EXPECT_EQ(root.Children.size() + 1,
                  std::size_t(kEntityNodeCounts[std::size_t(kEntityKinds[k].RootNode)]));
        EXPECT_EQ(root.HasState(NodeState::HasChildren), !root.Children.empty());
        total += 1 + int(root.Children.size());
        for (const auto& child : root.Children)
            EXPECT_EQ(child.CheckType, CheckType::CheckBox) << "every entity node has a box";
    }
    EXPECT_EQ(total, kEntityNodeCount);
    EXPECT_EQ(EntityNodeAt(tree, 23), &tree.Roots[10].Children[3]) << "Fourth Point";
    EXPECT_EQ(EntityNodeAt(tree, 25), nullptr);
    EXPECT_EQ(kEntityNodes[23].Label, "Fourth Point");
}

TEST(ConfigTreeTest, DataTreeCarriesIndexesAndOptionNodesHaveNoCheckBox) {
    const ConfigTree tree = BuildDataTree();
    ASSERT_EQ(tree.Roots.size(), std::size_t(kDataItemCount));
    for (std::size_t r = 0; r < tree.Roots.size(); ++r) {
        EXPECT_EQ(tree.Roots[r].Index, kDataItemNodes[r]);
        EXPECT_EQ(tree.Roots[r].CheckType, CheckType::CheckBox);
        for (std::size_t c = 0; c < tree.Roots[r].Children.size(); ++c) {
            EXPECT_EQ(tree.Roots[r].Children[c].Index, kDataItemNodes[r] + 1 + int(c));
            EXPECT_EQ(tree.Roots[r].Children[c].CheckType, CheckType::None);
        }
    }
    EXPECT_EQ(tree.Roots[3].Children.size(), 3u) << "Z has prefix, decimals and force";
    EXPECT_EQ(DataNodeWithIndex(tree, 12)->Index, 12);
    EXPECT_EQ(DataNodeWithIndex(tree, 40), nullptr);
}

TEST(ConfigTreeTest, HintsCarryTheirSuffixesAndLineBreaks) {
    EXPECT_EQ(DataNodeHint(0), "Export a unique number for each line of the Data file - (Custom "
                               "Data : you can use your own values for this data)");
    EXPECT_EQ(DataNodeHint(15), "Export the Layer Name of the entity - (DXF Data : this data is "
                                "taken from the DXF file)");
    EXPECT_EQ(DataNodeHint(16), "Prefix to use") << "children get no suffix";
    EXPECT_EQ(DataNodeHint(26),
              "Export a unique number assigned to each processed coordinate. For entities that "
              "have more \r\n than 1 coordinate point  (polylines, lines ...), the number is "
              "different for each point. - (Custom Data : you can use your own values for this "
              "data)");
    EXPECT_EQ(DataNodeHint(29),
              "Export a number assigned to each processed entity. For entities that have more "
              "\r\nthan 1 coordinate point (polylines, lines ...), the number is the same for "
              "each point - (Custom Data : you can use your own values for this data)");
}

TEST(ConfigTreeTest, DataOrderFollowsDisplayOrderAndChecks) {
    ConfigTree tree = BuildDataTree();
    DataOrderArray none;
    none.fill(-1);
    EXPECT_EQ(BuildDataOrder(tree), none);

    // Z moved to the top and only it checked.
    std::rotate(tree.Roots.begin(), tree.Roots.begin() + 3, tree.Roots.begin() + 4);
    tree.Roots[0].SetChecked(true);
    DataOrderArray expected = none;
    expected[0] = 9;
    EXPECT_EQ(BuildDataOrder(tree), expected);

    tree.Roots[2].SetChecked(true);  // X, now third
    expected[2] = 3;
    EXPECT_EQ(BuildDataOrder(tree), expected);
}

TEST(ConfigTreeTest, SelectedKindsFollowRootChecksOnly) {
    ConfigTree tree = BuildEntityTree();
    EntityNodeAt(tree, 3)->SetChecked(true);  // a sub-option alone selects nothing
    EntityNodeAt(tree, 24)->SetChecked(true);
    EntityNodeAt(tree, 6)->CheckState = 3;  // checked and pressed counts as checked
    SelectedKindsArray expected{};
    expected[3] = 1;
    expected[11] = 1;
    EXPECT_EQ(BuildSelectedKinds(tree), expected);
}

}  // namespace
}  // namespace quarrow
