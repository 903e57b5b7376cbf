#include "config/ConfigTree.h"

#include <cstddef>

#include "config/NodeTables.h"

namespace quarrow {
namespace {

// Walks a count table: each entry above 0 adds a root with that many minus one children.
template <std::size_t N>
ConfigTree BuildFromCounts(TreeKind kind, const std::array<int, N>& counts,
                           std::uint8_t childCheckType) {
    ConfigTree tree;
    tree.Kind = kind;
    int nodeIndex = 0;
    std::size_t i = 0;
    while (i < N) {
        const int childCount = counts[i] - 1;
        ConfigTreeNode root;
        root.Index = kind == TreeKind::Data ? nodeIndex : -1;
        ++nodeIndex;
        ++i;
        for (int c = 0; c < childCount && i < N; ++c, ++i) {
            ConfigTreeNode child;
            child.CheckType = childCheckType;
            child.Index = kind == TreeKind::Data ? nodeIndex : -1;
            ++nodeIndex;
            root.Children.push_back(child);
        }
        root.SetState(NodeState::HasChildren, !root.Children.empty());
        tree.Roots.push_back(std::move(root));
    }
    return tree;
}

template <typename Tree, typename Node>
Node* FindEntityNode(Tree& tree, int index) {
    if (index < 0)
        return nullptr;
    int position = 0;
    for (auto& root : tree.Roots) {
        if (position == index)
            return &root;
        ++position;
        for (auto& child : root.Children) {
            if (position == index)
                return &child;
            ++position;
        }
    }
    return nullptr;
}

template <typename Tree, typename Node>
Node* FindDataNode(Tree& tree, int index) {
    for (auto& root : tree.Roots) {
        if (root.Index == index)
            return &root;
        for (auto& child : root.Children)
            if (child.Index == index)
                return &child;
    }
    return nullptr;
}

}  // namespace

ConfigTree BuildEntityTree() {
    return BuildFromCounts(TreeKind::Entity, kEntityNodeCounts, CheckType::CheckBox);
}

ConfigTree BuildDataTree() {
    return BuildFromCounts(TreeKind::Data, kDataNodeCounts, CheckType::None);
}

ConfigTreeNode* EntityNodeAt(ConfigTree& tree, int index) {
    return FindEntityNode<ConfigTree, ConfigTreeNode>(tree, index);
}
const ConfigTreeNode* EntityNodeAt(const ConfigTree& tree, int index) {
    return FindEntityNode<const ConfigTree, const ConfigTreeNode>(tree, index);
}
ConfigTreeNode* DataNodeWithIndex(ConfigTree& tree, int index) {
    return FindDataNode<ConfigTree, ConfigTreeNode>(tree, index);
}
const ConfigTreeNode* DataNodeWithIndex(const ConfigTree& tree, int index) {
    return FindDataNode<const ConfigTree, const ConfigTreeNode>(tree, index);
}

DataOrderArray BuildDataOrder(const ConfigTree& dataTree) {
    DataOrderArray order;
    order.fill(-1);
    std::size_t entry = 0;
    for (const auto& root : dataTree.Roots) {
        if (entry == order.size())
            break;
        order[entry++] = root.IsChecked() ? root.Index : -1;
    }
    return order;
}

SelectedKindsArray BuildSelectedKinds(const ConfigTree& entityTree) {
    SelectedKindsArray kinds{};
    for (std::size_t k = 0; k < kinds.size(); ++k) {
        const ConfigTreeNode* root = EntityNodeAt(entityTree, kEntityKinds[k].RootNode);
        kinds[k] = root != nullptr && root->IsChecked() ? 1 : 0;
    }
    return kinds;
}

}  // namespace quarrow
