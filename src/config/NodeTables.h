#pragma once
// The fixed node tables of the entity tree and the data tree, keyed by node index, with the
// twelve entity kinds and the twelve data items.

#include <array>
#include <string_view>

#include "config/ExportConfig.h"

namespace quarrow {

struct NodeInfo {
    std::string_view Label;
    std::string_view Hint;  // without the custom-data / DXF-data suffix of data-tree roots
};

// Entity tree: 25 nodes, index = depth-first position.
extern const std::array<NodeInfo, kEntityNodeCount> kEntityNodes;
// For each entity node: 0 for a child, 1 plus the number of children for a root.
inline constexpr std::array<int, kEntityNodeCount> kEntityNodeCounts = {
    1, 1, 4, 0, 0, 0, 1, 3, 0, 0, 1, 1, 2, 0, 2, 0, 3, 0, 0, 5, 0, 0, 0, 0, 1};

// Data tree: 32 nodes; the node index travels with the node whatever its display position.
extern const std::array<NodeInfo, kDataNodeCount> kDataNodes;
inline constexpr std::array<int, kDataNodeCount> kDataNodeCounts = {
    3, 0, 0, 3, 0, 0, 3, 0, 0, 4, 0, 0, 0, 2, 0, 2, 0, 2, 0, 2, 0, 2, 0, 3, 0, 0, 3, 0, 0, 3, 0, 0};

inline constexpr std::string_view kCustomDataSuffix =
    " - (Custom Data : you can use your own values for this data)";
inline constexpr std::string_view kDxfDataSuffix =
    " - (DXF Data : this data is taken from the DXF file)";

// The twelve entity kinds, in root order.
enum class EntityKind : int {
    Points = 0,
    Circles,
    Arcs,
    Ellipses,
    Lines,
    MultiLineText,
    SingleLineText,
    Polylines2D,
    Polylines3D,
    Splines,
    Faces3D,
    Blocks,
};

struct EntityKindInfo {
    int RootNode;             // entity-tree node index of the kind's root
    std::string_view Label;   // also the label of the report's count line
    std::string_view TypeLine;  // DXF type line that starts the kind's reader
};
extern const std::array<EntityKindInfo, kKindCount> kEntityKinds;

// The twelve data items: node indexes of the data-tree roots.
enum class DataItem : int {
    LineNumber = 0,
    X = 3,
    Y = 6,
    Z = 9,
    EntityType = 13,
    EntityLayer = 15,
    EntityHandle = 17,
    BlockName = 19,
    TextString = 21,
    Label = 23,
    SequentialNumber = 26,
    GroupNumber = 29,
};
inline constexpr std::array<int, kDataItemCount> kDataItemNodes = {0, 3, 6, 9, 13, 15,
                                                                  17, 19, 21, 23, 26, 29};

// Named data-tree option nodes that other code reads.
inline constexpr int kLineStartOption = 2;
inline constexpr int kXDecimalsOption = 5;
inline constexpr int kYDecimalsOption = 8;
inline constexpr int kZDecimalsOption = 11;
inline constexpr int kZForceOption = 12;
inline constexpr int kLabelTextOption = 25;
inline constexpr int kSequentialStartOption = 28;
inline constexpr int kGroupStartOption = 31;

// Returns true for the data items whose values the user defines (line, label, counters).
constexpr bool IsCustomDataItem(int nodeIndex) noexcept {
    return nodeIndex == 0 || nodeIndex == 23 || nodeIndex == 26 || nodeIndex == 29;
}
// Returns true when the data-tree node index is one of the twelve roots.
constexpr bool IsDataItemNode(int nodeIndex) noexcept {
    return nodeIndex >= 0 && nodeIndex < kDataNodeCount && kDataNodeCounts[nodeIndex] > 0;
}

// Returns the full hint of a data-tree node: its table hint, plus the suffix for a root.
std::string DataNodeHint(int nodeIndex);

} // namespace quarrow
