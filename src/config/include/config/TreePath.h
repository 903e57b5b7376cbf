#pragma once
// Addresses nodes of a ConfigTree by their rows from the top, so editors can follow a node
// whatever structure a configuration file brought.

#include <functional>
#include <vector>

#include "config/ConfigTree.h"

namespace quarrow {

// Rows from the top level down to the node: {root row, child row, ...}.
using TreePath = std::vector<int>;

// Returns the node at a path, or nullptr when the path leads out of the tree.
ConfigTreeNode* NodeAtPath(ConfigTree& tree, const TreePath& path);
const ConfigTreeNode* NodeAtPath(const ConfigTree& tree, const TreePath& path);

// Returns the node's depth-first position (the entity tree's node index), or -1 off the tree.
int DepthFirstIndex(const ConfigTree& tree, const TreePath& path);
// Returns the path of the node at a depth-first position, or an empty path past the end.
TreePath PathOfDepthFirstIndex(const ConfigTree& tree, int index);

// Calls visit for every node, a parent before its children, in display order.
void ForEachNode(ConfigTree& tree,
                 const std::function<void(const TreePath&, ConfigTreeNode&)>& visit);
void ForEachNode(const ConfigTree& tree,
                 const std::function<void(const TreePath&, const ConfigTreeNode&)>& visit);

// Sets every node to checked or unchecked through the tree's own check rule (change, given the
// node's path and depth-first position), a parent before its children; a node disabled when it
// is reached, or already so, is left alone.
void CheckAllNodes(ConfigTree& tree, bool checked,
                   const std::function<void(const TreePath&, int)>& change);
// Expands or collapses every node that has children.
void ExpandAllNodes(ConfigTree& tree, bool expand);

}  // namespace quarrow
