#pragma once
// Editing rules of the entity tree: what a change of a check mark does to EntityFlags, to the
// sub-options of a kind and to the block-names field. The tree editor calls these for the
// user's clicks and for the program's own changes alike.

#include <vector>

#include "config/ConfigTree.h"
#include "config/ExportConfig.h"
#include "config/NodeTables.h"
#include "config/TreePath.h"

namespace quarrow {

inline constexpr int kBlocksNode = int(EntityNode::Blocks);

// Returns true for the kinds whose sub-options are the points to export (Arcs, Lines,
// Splines, 3D Faces): they never become checked with none of those checked.
constexpr bool NeedsCheckedChild(int nodeIndex) noexcept {
    const EntityNode node = EntityNode(nodeIndex);
    return node == EntityNode::Arcs || node == EntityNode::Lines || node == EntityNode::Splines ||
           node == EntityNode::Faces3D;
}

// Sets the check mark of the node at a depth-first index and applies the check rules:
// its EntityFlags entry follows, its children are enabled or disabled with it, and a kind that
// needs a checked sub-option gets its first one checked. Returns the indexes whose mark
// changed, in the order of their changes (the last one takes the focus); empty when the node
// is missing, disabled or already in that state.
std::vector<int> SetEntityCheck(ConfigTree& tree, ExportConfig& config, int nodeIndex,
                                bool checked);

// Returns true when the block-names field is enabled with that node focused: "Blocks" with its
// flag set.
bool BlockNamesEnabled(const ExportConfig& config, int focusedIndex);

// Checks or unchecks every entity node through the check rules; returns the changed indexes.
std::vector<int> CheckAllEntityNodes(ConfigTree& tree, ExportConfig& config, bool checked);

}  // namespace quarrow
