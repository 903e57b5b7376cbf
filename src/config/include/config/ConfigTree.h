#pragma once
// The two configuration trees as the tree editors show them and configuration files keep them:
// structure, check marks, states and, for the data tree, each node's fixed index.

#include <array>
#include <cstdint>
#include <vector>

#include "config/ExportConfig.h"

namespace quarrow {

// State bits of a node, as tree streams store them.
namespace NodeState {
inline constexpr std::uint16_t Initialized = 1u << 0;
inline constexpr std::uint16_t Disabled = 1u << 3;
inline constexpr std::uint16_t Expanded = 1u << 5;
inline constexpr std::uint16_t HasChildren = 1u << 6;
inline constexpr std::uint16_t Visible = 1u << 7;
inline constexpr std::uint16_t Selected = 1u << 8;
inline constexpr std::uint16_t AllChildrenHidden = 1u << 10;
// Bits a writer never stores (1, 2, 4, 9 and 13).
inline constexpr std::uint16_t NeverWritten =
    (1u << 1) | (1u << 2) | (1u << 4) | (1u << 9) | (1u << 13);
}  // namespace NodeState

namespace CheckType {
inline constexpr std::uint8_t None = 0;
inline constexpr std::uint8_t CheckBox = 2;
}  // namespace CheckType

namespace CheckState {
inline constexpr std::uint8_t Unchecked = 0;
inline constexpr std::uint8_t Checked = 2;
}  // namespace CheckState

inline constexpr std::uint16_t kDefaultNodeHeight = 18;
inline constexpr std::uint8_t kDefaultAlignment = 50;

struct ConfigTreeNode {
    std::vector<ConfigTreeNode> Children;  // display order
    std::uint8_t CheckType = CheckType::CheckBox;
    std::uint8_t CheckState = CheckState::Unchecked;  // as read: 0 to 5
    std::uint16_t States = NodeState::Initialized | NodeState::Visible;
    std::uint16_t Height = kDefaultNodeHeight;
    std::uint8_t Alignment = kDefaultAlignment;
    std::int32_t Index = -1;  // data-tree node index; entity nodes are keyed by position

    // Returns true for "checked" and "checked and pressed".
    bool IsChecked() const noexcept { return CheckState == 2 || CheckState == 3; }
    void SetChecked(bool checked) noexcept {
        CheckState = checked ? CheckState::Checked : CheckState::Unchecked;
    }
    bool HasState(std::uint16_t bit) const noexcept { return (States & bit) != 0; }
    void SetState(std::uint16_t bit, bool on) noexcept {
        States = on ? static_cast<std::uint16_t>(States | bit)
                    : static_cast<std::uint16_t>(States & ~bit);
    }

    bool operator==(const ConfigTreeNode&) const = default;
};

enum class TreeKind { Entity, Data };

struct ConfigTree {
    TreeKind Kind = TreeKind::Entity;
    std::vector<ConfigTreeNode> Roots;  // display order

    bool operator==(const ConfigTree&) const = default;
};

// Builds the 25-node entity tree from its count table, every node unchecked and collapsed.
ConfigTree BuildEntityTree();
// Builds the 32-node data tree: roots with check boxes in index order, option nodes without.
ConfigTree BuildDataTree();

// Returns the entity-tree node at a depth-first index, or nullptr past the tree's end.
ConfigTreeNode* EntityNodeAt(ConfigTree& tree, int index);
const ConfigTreeNode* EntityNodeAt(const ConfigTree& tree, int index);
// Returns the data-tree node that carries a node index, or nullptr when none does.
ConfigTreeNode* DataNodeWithIndex(ConfigTree& tree, int index);
const ConfigTreeNode* DataNodeWithIndex(const ConfigTree& tree, int index);

using DataOrderArray = std::array<std::int32_t, kDataItemCount>;
using SelectedKindsArray = std::array<std::uint8_t, kKindCount>;

// Returns, per root in display order, its node index when checked, else -1.
DataOrderArray BuildDataOrder(const ConfigTree& dataTree);
// Returns, per entity kind, 1 when the kind's root is checked.
SelectedKindsArray BuildSelectedKinds(const ConfigTree& entityTree);

}  // namespace quarrow
