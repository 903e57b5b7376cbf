#include "config/EntityTreeRules.h"

#include <algorithm>
#include <cstddef>

namespace quarrow {
namespace {

void ApplyCheck(ConfigTree& tree, ExportConfig& config, const TreePath& path, int nodeIndex,
                bool checked, std::vector<int>& changed) {
    ConfigTreeNode* node = NodeAtPath(tree, path);
    if (node == nullptr || node->HasState(NodeState::Disabled) || node->IsChecked() == checked)
        return;
    node->SetChecked(checked);
    changed.push_back(nodeIndex);
    // Nodes beyond the table (a foreign file's structure) keep only their mark.
    if (nodeIndex >= 0 && nodeIndex < kEntityNodeCount)
        config.EntityFlags[static_cast<std::size_t>(nodeIndex)] = checked ? 1 : 0;
    for (auto& child : node->Children)
        child.SetState(NodeState::Disabled, !checked);

    if (!checked || !NeedsCheckedChild(nodeIndex) || node->Children.empty())
        return;
    const bool anyChecked = std::any_of(node->Children.begin(), node->Children.end(),
                                        [](const ConfigTreeNode& c) { return c.IsChecked(); });
    if (anyChecked)
        return;
    // CheckFirstChildIfNone: the first child is the node right after its parent.
    TreePath childPath = path;
    childPath.push_back(0);
    ApplyCheck(tree, config, childPath, nodeIndex + 1, true, changed);
}

}  // namespace

std::vector<int> SetEntityCheck(ConfigTree& tree, ExportConfig& config, int nodeIndex,
                                bool checked) {
    std::vector<int> changed;
    const TreePath path = PathOfDepthFirstIndex(tree, nodeIndex);
    if (!path.empty())
        ApplyCheck(tree, config, path, nodeIndex, checked, changed);
    return changed;
}

bool BlockNamesEnabled(const ExportConfig& config, int focusedIndex) {
    return focusedIndex == kBlocksNode && config.EntityFlags[kBlocksNode] == 1;
}

std::vector<int> CheckAllEntityNodes(ConfigTree& tree, ExportConfig& config, bool checked) {
    std::vector<int> changed;
    CheckAllNodes(tree, checked, [&](const TreePath& path, int index) {
        ApplyCheck(tree, config, path, index, checked, changed);
    });
    return changed;
}

}  // namespace quarrow
