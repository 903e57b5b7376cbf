#pragma once
// The fixed node tables of the entity tree and the data tree, keyed by node index, with the
// twelve entity kinds and the thirteen data items.

#include <array>
#include <string_view>

#include "config/ExportConfig.h"

namespace quarrow {

struct NodeInfo {
    std::string_view Label;
    std::string_view Hint;  // without the custom-data / DXF-data suffix of data-tree roots
};

// The entity tree's nodes by name: index = depth-first position.
enum class EntityNode : int {
    Points = 0,
    Circles = 1,
    Arcs = 2,
    ArcStartPoint = 3,
    ArcEndPoint = 4,
    ArcCenter = 5,
    Ellipses = 6,
    Lines = 7,
    LineStartPoint = 8,
    LineEndPoint = 9,
    MultiLineText = 10,
    SingleLineText = 11,
    Polylines2D = 12,
    Polyline2DCurvePoints = 13,  // "Include Spline/Curve points"
    Polylines3D = 14,
    Polyline3DSplinePoints = 15,  // "Include Spline points"
    Splines = 16,
    SplineControlPoints = 17,
    SplineFitPoints = 18,
    Faces3D = 19,
    FaceFirstPoint = 20,
    FaceSecondPoint = 21,
    FaceThirdPoint = 22,
    FaceFourthPoint = 23,
    Blocks = 24,
};

// The data tree's nodes by name: the thirteen items, each followed by its option nodes.
enum class DataNode : int {
    LineNumber = 0,
    LineNumberPrefix = 1,
    LineNumberStart = 2,
    X = 3,
    XPrefix = 4,
    XDecimals = 5,
    Y = 6,
    YPrefix = 7,
    YDecimals = 8,
    Z = 9,
    ZPrefix = 10,
    ZDecimals = 11,
    ZForce = 12,
    EntityType = 13,
    EntityTypePrefix = 14,
    EntityLayer = 15,
    EntityLayerPrefix = 16,
    EntityHandle = 17,
    EntityHandlePrefix = 18,
    BlockName = 19,
    BlockNamePrefix = 20,
    TextString = 21,
    TextStringPrefix = 22,
    Label = 23,
    LabelPrefix = 24,
    LabelText = 25,
    SequentialNumber = 26,
    SequentialNumberPrefix = 27,
    SequentialNumberStart = 28,
    GroupNumber = 29,
    GroupNumberPrefix = 30,
    GroupNumberStart = 31,
    Attributes = 32,
    AttributesPrefix = 33,
    AttributesTags = 34,  // tag names separated by commas; empty: every attribute
};

// Entity tree: 25 nodes, index = depth-first position.
extern const std::array<NodeInfo, kEntityNodeCount> kEntityNodes;
// For each entity node: 0 for a child, 1 plus the number of children for a root.
inline constexpr std::array<int, kEntityNodeCount> kEntityNodeCounts = {
    1, 1, 4, 0, 0, 0, 1, 3, 0, 0, 1, 1, 2, 0, 2, 0, 3, 0, 0, 5, 0, 0, 0, 0, 1};

// Data tree: 35 nodes; the node index travels with the node whatever its display position.
extern const std::array<NodeInfo, kDataNodeCount> kDataNodes;
inline constexpr std::array<int, kDataNodeCount> kDataNodeCounts = {
    3, 0, 0, 3, 0, 0, 3, 0, 0, 4, 0, 0, 0, 2, 0, 2, 0, 2,
    0, 2, 0, 2, 0, 3, 0, 0, 3, 0, 0, 3, 0, 0, 3, 0, 0};

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
    int RootNode;               // entity-tree node index of the kind's root
    std::string_view Label;     // also the label of the report's count line
    std::string_view TypeLine;  // DXF type line that starts the kind's reader
};
extern const std::array<EntityKindInfo, kKindCount> kEntityKinds;

// The thirteen data items: node indexes of the data-tree roots.
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
    Attributes = 32,
};
inline constexpr std::array<int, kDataItemCount> kDataItemNodes = {0,  3,  6,  9,  13, 15, 17,
                                                                   19, 21, 23, 26, 29, 32};

// Data-tree option nodes as indexes of ExportConfig::DataOptions.
inline constexpr int kLineStartOption = int(DataNode::LineNumberStart);
inline constexpr int kXDecimalsOption = int(DataNode::XDecimals);
inline constexpr int kYDecimalsOption = int(DataNode::YDecimals);
inline constexpr int kZDecimalsOption = int(DataNode::ZDecimals);
inline constexpr int kZForceOption = int(DataNode::ZForce);
inline constexpr int kLabelTextOption = int(DataNode::LabelText);
inline constexpr int kSequentialStartOption = int(DataNode::SequentialNumberStart);
inline constexpr int kGroupStartOption = int(DataNode::GroupNumberStart);
inline constexpr int kAttributesPrefixOption = int(DataNode::AttributesPrefix);
inline constexpr int kAttributesTagsOption = int(DataNode::AttributesTags);

// Returns true for the data items whose values the user defines (line, label, counters).
constexpr bool IsCustomDataItem(int nodeIndex) noexcept {
    const DataNode node = DataNode(nodeIndex);
    return node == DataNode::LineNumber || node == DataNode::Label ||
           node == DataNode::SequentialNumber || node == DataNode::GroupNumber;
}
// Returns true when the data-tree node index is one of the thirteen roots.
constexpr bool IsDataItemNode(int nodeIndex) noexcept {
    return nodeIndex >= 0 && nodeIndex < kDataNodeCount && kDataNodeCounts[nodeIndex] > 0;
}

// Returns the full hint of a data-tree node: its table hint, plus the suffix for a root.
std::string DataNodeHint(int nodeIndex);

}  // namespace quarrow
