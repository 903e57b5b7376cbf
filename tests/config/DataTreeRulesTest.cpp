#include "config/DataTreeRules.h"

#include <gtest/gtest.h>

#include "config/NodeTables.h"

namespace quarrow {
namespace {

// Typed texts per check: the boundaries of each rule, the "," replacement that turns an
// integer into a refused decimal, and blanks around an accepted value.
TEST(DataTreeRulesTest, OptionTextsAreTrimmedCommaReplacedAndChecked) {
    struct Case {
        const char* name;
        int node;
        const char* typed;
        bool accepted;
        const char* stored;
        std::string_view message;
    };
    // clang-format off
    const Case cases[] = {
        {"decimals_blanks", 5, " 3 ", true, "3", {}},
        {"decimals_zero", 8, "0", true, "0", {}},
        {"decimals_14", 11, "14", true, "14", {}},
        {"decimals_15", 5, "15", false, "", kMsgDecimalsValue},
        {"decimals_negative", 5, "-1", false, "", kMsgDecimalsValue},
        {"decimals_empty", 5, "", false, "", kMsgDecimalsValue},
        {"decimals_fraction", 5, "2,5", false, "", kMsgDecimalsValue},
        {"force_comma", 12, "2,5", true, "2.5", {}},
        {"force_empty", 12, "  ", true, "", {}},
        {"force_exponent", 12, "-1e3", true, "-1e3", {}},
        {"force_letters", 12, "abc", false, "", kMsgDecimalValue},
        {"force_nan", 12, "nan", false, "", kMsgDecimalValue},
        {"start_thousands", 2, "1,000", false, "", kMsgIntegerValue},
        {"start_empty", 28, "", false, "", kMsgIntegerValue},
        {"start_negative", 31, "-7", true, "-7", {}},
        {"start_too_big", 2, "2147483648", false, "", kMsgIntegerValue},
        {"start_trailing", 2, "12x", false, "", kMsgIntegerValue},
        {"prefix_comma", 4, "a,b", true, "a.b", {}},
        {"tags_keep_commas", 34, " PT, ELEV ,DESC ", true, "PT, ELEV ,DESC", {}},
        {"label_empty", 25, "", true, "", {}},
        {"label_tab_trimmed", 25, "\tP 1\r\n", true, "P 1", {}},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ExportConfig config;
        const OptionEdit edit = ApplyOptionText(config, c.node, c.typed);
        EXPECT_EQ(edit.Accepted, c.accepted);
        EXPECT_EQ(edit.Message, c.message);
        EXPECT_EQ(config.DataOptions[std::size_t(c.node)], c.stored);
    }
}

TEST(DataTreeRulesTest, ARefusedTextKeepsThePreviousValueAndLongTextsAreCut) {
    ExportConfig config;
    ASSERT_TRUE(ApplyOptionText(config, 5, "2").Accepted);
    EXPECT_FALSE(ApplyOptionText(config, 5, "15").Accepted);
    EXPECT_EQ(config.DataOptions[5], "2");
    EXPECT_TRUE(ApplyOptionText(config, 24, std::string(300, 'p')).Accepted);
    EXPECT_EQ(config.DataOptions[24].size(), kTextMax);
    EXPECT_TRUE(ApplyOptionText(config, 77, "x").Accepted) << "unknown index: stored nowhere";
}

TEST(DataTreeRulesTest, UncheckingAnItemClearsItsFlagAndDisablesItsOptionsOnly) {
    ConfigTree tree = BuildDataTree();
    ExportConfig config;
    const TreePath x = {1};
    ASSERT_TRUE(SetDataCheck(tree, config, x, true));
    EXPECT_EQ(config.DataFlags[3], 1);
    ASSERT_TRUE(SetDataCheck(tree, config, x, false));
    EXPECT_EQ(config.DataFlags[3], 0);
    for (const auto& option : tree.Roots[1].Children)
        EXPECT_TRUE(option.HasState(NodeState::Disabled));
    EXPECT_TRUE(IsDataCellEditable(tree, {1, 0}, 1)) << "a disabled option stays editable";
    EXPECT_FALSE(IsDataCellEditable(tree, {1, 0}, 0));
    EXPECT_FALSE(IsDataCellEditable(tree, x, 1)) << "items have no option text";
    EXPECT_FALSE(IsDataCellEditable(tree, {1, 9}, 1));
}

TEST(DataTreeRulesTest, SelectNoneDisablesEveryOptionAndKeepsTheirTexts) {
    ConfigTree tree = BuildDataTree();
    ExportConfig config;
    config.DataOptions[12] = "2.5";
    CheckAllDataNodes(tree, config, true);
    for (int item : kDataItemNodes)
        EXPECT_EQ(config.DataFlags[std::size_t(item)], 1);
    EXPECT_TRUE(DataNodeWithIndex(tree, 12)->IsChecked()) << "stored mark of an option node";
    CheckAllDataNodes(tree, config, false);
    for (const auto& root : tree.Roots) {
        EXPECT_FALSE(root.IsChecked());
        for (const auto& option : root.Children)
            EXPECT_TRUE(option.HasState(NodeState::Disabled));
    }
    EXPECT_EQ(config.DataFlags, decltype(config.DataFlags){});
    EXPECT_EQ(config.DataOptions[12], "2.5");
}

TEST(DataTreeRulesTest, MovingAnItemCarriesItsOptionsAndKeepsEveryIndex) {
    ConfigTree tree = BuildDataTree();
    ExportConfig config;
    SetDataCheck(tree, config, {9}, true);  // Label
    SetDataCheck(tree, config, {8}, true);  // Text String
    const ExportConfig before = config;

    TreePath focused = {9};
    ASSERT_TRUE(MoveDataItem(tree, focused, -1));
    EXPECT_EQ(focused, TreePath{8});
    EXPECT_EQ(tree.Roots[8].Index, 23);
    ASSERT_EQ(tree.Roots[8].Children.size(), 2u);
    EXPECT_EQ(tree.Roots[8].Children[1].Index, 25) << "\"Label :\" travels with its item";
    EXPECT_EQ(tree.Roots[9].Index, 21);
    EXPECT_EQ(config, before);
    const DataOrderArray order = BuildDataOrder(tree);
    EXPECT_EQ(order[8], 23);
    EXPECT_EQ(order[9], 21);
}

TEST(DataTreeRulesTest, MoveButtonsFollowTheFocusedNode) {
    struct Case {
        const char* name;
        TreePath focused;
        bool up;
        bool down;
    };
    // clang-format off
    const Case cases[] = {
        {"first_item", {0}, false, true},
        {"middle_item", {5}, true, true},
        {"last_item", {12}, true, false},
        {"option_node", {3, 1}, false, false},
        {"nothing", {}, false, false},
        {"past_the_end", {13}, false, false},
    };
    // clang-format on
    ConfigTree tree = BuildDataTree();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const MoveButtons b = MoveButtonStates(tree, c.focused);
        EXPECT_EQ(b.Up, c.up);
        EXPECT_EQ(b.Down, c.down);
        TreePath f = c.focused;
        EXPECT_EQ(MoveDataItem(tree, f, -1), c.up);
        if (c.up)
            MoveDataItem(tree, f, +1);  // put it back
        EXPECT_EQ(f, c.focused);
    }
    EXPECT_EQ(tree, BuildDataTree());
}

}  // namespace
}  // namespace quarrow
