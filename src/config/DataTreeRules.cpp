#include "config/DataTreeRules.h"

#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <utility>

#include "config/NodeTables.h"
#include "config/TextUtil.h"

namespace quarrow {
namespace {

enum class OptionCheck { AnyText, Integer, Decimals, Decimal };

OptionCheck CheckOf(int nodeIndex) {
    switch (nodeIndex) {
    case 2:
    case 28:
    case 31: return OptionCheck::Integer;
    case 5:
    case 8:
    case 11: return OptionCheck::Decimals;
    case 12: return OptionCheck::Decimal;
    default: return OptionCheck::AnyText;
    }
}

bool ParseInt32(std::string_view text, std::int32_t& value) {
    if (text.empty())
        return false;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end;
}

}  // namespace

bool SetDataCheck(ConfigTree& tree, ExportConfig& config, const TreePath& path, bool checked) {
    ConfigTreeNode* node = NodeAtPath(tree, path);
    if (node == nullptr || node->HasState(NodeState::Disabled) || node->IsChecked() == checked)
        return false;
    node->SetChecked(checked);
    if (node->Children.empty())
        return true;
    // Indexes outside the table (a foreign file's structure) keep only their mark.
    if (node->Index >= 0 && node->Index < kDataNodeCount)
        config.DataFlags[static_cast<std::size_t>(node->Index)] = checked ? 1 : 0;
    for (auto& child : node->Children)
        child.SetState(NodeState::Disabled, !checked);
    return true;
}

void CheckAllDataNodes(ConfigTree& tree, ExportConfig& config, bool checked) {
    CheckAllNodes(tree, checked,
                  [&](const TreePath& path, int) { SetDataCheck(tree, config, path, checked); });
}

bool IsDataCellEditable(const ConfigTree& tree, const TreePath& path, int column) {
    return column == 1 && path.size() >= 2 && NodeAtPath(tree, path) != nullptr;
}

bool IsIntegerText(std::string_view text) {
    std::int32_t value = 0;
    return ParseInt32(text, value);
}

bool IsDecimalText(std::string_view text) {
    if (text.empty())
        return false;
    double value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value, std::chars_format::general);
    // "inf" and "nan" parse, but no drawing has such an elevation.
    return ec == std::errc() && ptr == end && std::isfinite(value);
}

OptionEdit ApplyOptionText(ExportConfig& config, int nodeIndex, std::string_view typed) {
    OptionEdit edit;
    edit.Text = std::string(TrimText(typed));
    // Commas separate the tags of the Attributes item; elsewhere a comma is a decimal point.
    if (nodeIndex != kAttributesTagsOption)
        for (char& c : edit.Text)
            if (c == ',')
                c = '.';
    switch (CheckOf(nodeIndex)) {
    case OptionCheck::AnyText: edit.Accepted = true; break;
    case OptionCheck::Integer:
        edit.Accepted = IsIntegerText(edit.Text);
        edit.Message = kMsgIntegerValue;
        break;
    case OptionCheck::Decimals: {
        std::int32_t value = -1;
        edit.Accepted = ParseInt32(edit.Text, value) && value >= 0 && value <= kMaxDecimals;
        edit.Message = kMsgDecimalsValue;
        break;
    }
    case OptionCheck::Decimal:
        edit.Accepted = edit.Text.empty() || IsDecimalText(edit.Text);
        edit.Message = kMsgDecimalValue;
        break;
    }
    if (edit.Accepted) {
        edit.Message = {};
        edit.Text = CutText(edit.Text, kTextMax);
        SetDataOption(config, nodeIndex, edit.Text);
    }
    return edit;
}

MoveButtons MoveButtonStates(const ConfigTree& tree, const TreePath& focused) {
    MoveButtons buttons;
    if (focused.size() != 1 || NodeAtPath(tree, focused) == nullptr)
        return buttons;
    const int row = focused[0];
    buttons.Up = row > 0;
    buttons.Down = static_cast<std::size_t>(row) + 1 < tree.Roots.size();
    return buttons;
}

bool MoveDataItem(ConfigTree& tree, TreePath& focused, int delta) {
    const MoveButtons allowed = MoveButtonStates(tree, focused);
    if ((delta < 0 && !allowed.Up) || (delta > 0 && !allowed.Down) || delta == 0)
        return false;
    const auto from = static_cast<std::size_t>(focused[0]);
    const auto to = static_cast<std::size_t>(focused[0] + (delta < 0 ? -1 : 1));
    std::swap(tree.Roots[from], tree.Roots[to]);
    focused[0] = static_cast<int>(to);
    return true;
}

}  // namespace quarrow
