#include "config/EntityTreeRules.h"

#include <gtest/gtest.h>

#include "config/NodeTables.h"

namespace quarrow {
namespace {

struct EntityTreeRulesTest : ::testing::Test {
    ConfigTree tree = BuildEntityTree();
    ExportConfig config;

    bool Checked(int index) const { return EntityNodeAt(tree, index)->IsChecked(); }
    bool Disabled(int index) const {
        return EntityNodeAt(tree, index)->HasState(NodeState::Disabled);
    }
    // Marks a node directly, as a loaded file may leave it.
    void Mark(int index, bool checked) {
        EntityNodeAt(tree, index)->SetChecked(checked);
        config.EntityFlags[std::size_t(index)] = checked ? 1 : 0;
    }
};

// The four kinds whose sub-options are the points get their first sub-option when none is
// checked; polylines, whose single sub-option is an extra, do not.
TEST_F(EntityTreeRulesTest, CheckingAKindWithNoCheckedSubOptionChecksTheFirst) {
    struct Case {
        const char* name;
        int kind;
        int firstChild;
    };
    // clang-format off
    const Case cases[] = {{"Arcs", 2, 3}, {"Lines", 7, 8}, {"Splines", 16, 17}, {"Faces", 19, 20}};
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        tree = BuildEntityTree();
        config = {};
        EXPECT_EQ(SetEntityCheck(tree, config, c.kind, true),
                  (std::vector<int>{c.kind, c.firstChild}))
            << "the first child changes last, so it takes the focus";
        EXPECT_TRUE(Checked(c.firstChild));
        EXPECT_EQ(config.EntityFlags[std::size_t(c.kind)], 1);
        EXPECT_EQ(config.EntityFlags[std::size_t(c.firstChild)], 1);
        EXPECT_FALSE(Checked(c.firstChild + 1));
    }
}

TEST_F(EntityTreeRulesTest, AKindWithACheckedSubOptionOrNoRuleKeepsItsSubOptions) {
    Mark(5, true);  // Arcs > Center
    EXPECT_EQ(SetEntityCheck(tree, config, 2, true), std::vector<int>{2});
    EXPECT_FALSE(Checked(3));
    EXPECT_TRUE(Checked(5));

    EXPECT_EQ(SetEntityCheck(tree, config, 12, true), std::vector<int>{12}) << "2D Polylines";
    EXPECT_FALSE(Checked(13));
}

TEST_F(EntityTreeRulesTest, UncheckingAKindDisablesItsSubOptionsWithoutTouchingThem) {
    SetEntityCheck(tree, config, 7, true);  // Lines, checks Start Point
    SetEntityCheck(tree, config, 9, true);
    EXPECT_EQ(SetEntityCheck(tree, config, 7, false), std::vector<int>{7});
    for (int child : {8, 9}) {
        EXPECT_TRUE(Disabled(child));
        EXPECT_TRUE(Checked(child));
        EXPECT_EQ(config.EntityFlags[std::size_t(child)], 1);
        EXPECT_TRUE(SetEntityCheck(tree, config, child, false).empty()) << "disabled: refused";
        EXPECT_TRUE(Checked(child));
    }
    SetEntityCheck(tree, config, 7, true);
    EXPECT_FALSE(Disabled(8));
    EXPECT_TRUE(SetEntityCheck(tree, config, 8, true).empty()) << "already checked";
    EXPECT_EQ(SetEntityCheck(tree, config, 8, false), std::vector<int>{8});
}

TEST_F(EntityTreeRulesTest, BlockNamesFieldNeedsBlocksFocusedAndChecked) {
    EXPECT_FALSE(BlockNamesEnabled(config, kBlocksNode));
    SetEntityCheck(tree, config, kBlocksNode, true);
    EXPECT_TRUE(BlockNamesEnabled(config, kBlocksNode));
    EXPECT_FALSE(BlockNamesEnabled(config, 0)) << "Points focused";
    SetEntityCheck(tree, config, kBlocksNode, false);
    EXPECT_FALSE(BlockNamesEnabled(config, kBlocksNode));
}

TEST_F(EntityTreeRulesTest, SelectNoneThenSelectAllBringsEverySubOptionBack) {
    Mark(16, true);  // Splines with Fit points only
    Mark(18, true);
    CheckAllEntityNodes(tree, config, false);
    for (int kind : {0, 1, 2, 6, 7, 10, 11, 12, 14, 16, 19, 24})
        EXPECT_FALSE(Checked(kind));
    EXPECT_TRUE(Disabled(18));
    EXPECT_TRUE(Checked(18)) << "a disabled sub-option keeps its mark";

    const std::vector<int> changed = CheckAllEntityNodes(tree, config, true);
    for (int i = 0; i < kEntityNodeCount; ++i) {
        EXPECT_TRUE(Checked(i)) << kEntityNodes[std::size_t(i)].Label;
        EXPECT_FALSE(Disabled(i));
        EXPECT_EQ(config.EntityFlags[std::size_t(i)], 1);
    }
    EXPECT_EQ(changed.back(), kBlocksNode) << "the last change takes the focus";
}

TEST_F(EntityTreeRulesTest, ExpandAllChangesNoMarkAndNoFlag) {
    SetEntityCheck(tree, config, 2, true);
    const ExportConfig before = config;
    ExpandAllNodes(tree, true);
    EXPECT_TRUE(EntityNodeAt(tree, 19)->HasState(NodeState::Expanded));
    EXPECT_FALSE(EntityNodeAt(tree, 0)->HasState(NodeState::Expanded)) << "no children";
    ExpandAllNodes(tree, false);
    EXPECT_FALSE(EntityNodeAt(tree, 19)->HasState(NodeState::Expanded));
    EXPECT_EQ(config, before);
    EXPECT_TRUE(Checked(2));
}

// A file may bring any structure; nodes past the table keep their mark and touch no flag.
TEST_F(EntityTreeRulesTest, NodesBeyondTheTableChangeOnlyTheirMark) {
    tree.Roots.back().Children.push_back(ConfigTreeNode{});
    const ExportConfig before = config;
    EXPECT_EQ(SetEntityCheck(tree, config, 25, true), std::vector<int>{25});
    EXPECT_EQ(config, before);
    EXPECT_TRUE(SetEntityCheck(tree, config, 40, true).empty());
}

// A damaged file can hold hundreds of thousands of nodes: checking them all stays linear.
TEST_F(EntityTreeRulesTest, CheckingAHugeForeignTreeEnds) {
    tree.Roots.back().Children.resize(300000);
    const std::vector<int> changed = CheckAllEntityNodes(tree, config, true);
    EXPECT_EQ(changed.size(), std::size_t(kEntityNodeCount) + 300000);
    EXPECT_EQ(changed.back(), kEntityNodeCount + 300000 - 1);
}

}  // namespace
}  // namespace quarrow
