#include "config/TreePath.h"

#include <cstddef>

namespace quarrow {
namespace {

template <typename Tree, typename Node>
Node* FindAtPath(Tree& tree, const TreePath& path) {
    if (path.empty())
        return nullptr;
    auto* level = &tree.Roots;
    Node* node = nullptr;
    for (int row : path) {
        if (row < 0 || static_cast<std::size_t>(row) >= level->size())
            return nullptr;
        node = &(*level)[static_cast<std::size_t>(row)];
        level = &node->Children;
    }
    return node;
}

template <typename Nodes, typename Visit>
void Walk(Nodes& nodes, TreePath& path, const Visit& visit) {
    for (std::size_t row = 0; row < nodes.size(); ++row) {
        path.push_back(static_cast<int>(row));
        visit(path, nodes[row]);
        Walk(nodes[row].Children, path, visit);
        path.pop_back();
    }
}

}  // namespace

ConfigTreeNode* NodeAtPath(ConfigTree& tree, const TreePath& path) {
    return FindAtPath<ConfigTree, ConfigTreeNode>(tree, path);
}
const ConfigTreeNode* NodeAtPath(const ConfigTree& tree, const TreePath& path) {
    return FindAtPath<const ConfigTree, const ConfigTreeNode>(tree, path);
}

int DepthFirstIndex(const ConfigTree& tree, const TreePath& path) {
    int position = 0;
    int found = -1;
    ForEachNode(tree, [&](const TreePath& p, const ConfigTreeNode&) {
        if (found < 0 && p == path)
            found = position;
        ++position;
    });
    return found;
}

TreePath PathOfDepthFirstIndex(const ConfigTree& tree, int index) {
    int position = 0;
    TreePath found;
    ForEachNode(tree, [&](const TreePath& p, const ConfigTreeNode&) {
        if (position++ == index)
            found = p;
    });
    return found;
}

void ForEachNode(ConfigTree& tree,
                 const std::function<void(const TreePath&, ConfigTreeNode&)>& visit) {
    TreePath path;
    Walk(tree.Roots, path, visit);
}

void ForEachNode(const ConfigTree& tree,
                 const std::function<void(const TreePath&, const ConfigTreeNode&)>& visit) {
    TreePath path;
    Walk(tree.Roots, path, visit);
}

void CheckAllNodes(ConfigTree& tree, bool checked,
                   const std::function<void(const TreePath&, int)>& change) {
    // The rule may disable the children of the node it changed before the walk reaches them;
    // the walk reads each node's state only when it gets there.
    int position = 0;
    ForEachNode(tree, [&](const TreePath& path, ConfigTreeNode& node) {
        const int index = position++;
        if (node.HasState(NodeState::Disabled) || node.IsChecked() == checked)
            return;
        change(path, index);
    });
}

void ExpandAllNodes(ConfigTree& tree, bool expand) {
    ForEachNode(tree, [&](const TreePath&, ConfigTreeNode& node) {
        if (!node.Children.empty())
            node.SetState(NodeState::Expanded, expand);
    });
}

}  // namespace quarrow
