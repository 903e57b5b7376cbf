#include "config/NodeTables.h"

#include <string>

namespace quarrow {

const std::array<NodeInfo, kEntityNodeCount> kEntityNodes = {{
    {"Points", "Export Points coordinates"},
    {"Circles", "Export Circles Center coordinates"},
    {"Arcs", "Export Arcs coordinates"},
    {"Start Point", "Export Arcs Start Point coordinates"},
    {"End Point", "Export Arcs End Point coordinates"},
    {"Center", "Export Arcs Center coordinates"},
    {"Ellipses", "Export Ellipses Center coordinates"},
    {"Lines", "Export Lines coordinates"},
    {"Start Point", "Export Lines Start Point coordinates"},
    {"End Point", "Export Lines End Point coordinates"},
    {"MultiLine Text", "Export MTexts Insertion Point coordinates and/or text string"},
    {"SingleLine Text",
     "Export Texts Insertion Point Insertion Point coordinates and/or text string"},
    {"2D Polylines", "Export 2D Polylines Vertices coordinates"},
    {"Include Spline/Curve points", "Export also Spline-fit or Curve-fit Vertices coordinates"},
    {"3D Polylines", "Export 3D Polylines Vertices coordinates"},
    {"Include Spline points", "Export also Spline-fit Vertices coordinates"},
    {"Splines", "Export Splines Vertices coordinates"},
    {"Control points", "Export Splines Control Points coordinates"},
    {"Fit points", "Export Splines Fit Points coordinates"},
    {"3D Faces", "Export 3Dfaces Corner Points coordinates"},
    {"First Point", "Export 3Dfaces First Point coordinates"},
    {"Second Point", "Export 3Dfaces Second Point coordinates"},
    {"Third Point", "Export 3Dfaces Third Point coordinates"},
    {"Fourth Point", "Export 3Dfaces Fourth Point coordinates"},
    {"Blocks", "Export block Insertion Point coordinates and/or block name"},
}};

const std::array<NodeInfo, kDataNodeCount> kDataNodes = {{
    {"Line Number", "Export a unique number for each line of the Data file"},
    {"Prefix :", "Prefix to use for this number"},
    {"Start at :", "Start numbering at :"},
    {"X (East) coordinate", "Export the X (East) coordinate"},
    {"Prefix :", "Prefix to use for the X coordinate"},
    {"Decimals :", "Number of decimals to use for the X coordinate"},
    {"Y (North) coordinate", "Export the Y (North) coordinate"},
    {"Prefix :", "Prefix to use for the Y coordinate"},
    {"Decimals :", "Number of decimals to use for the Y coordinate"},
    {"Z (Elevation) coordinate", "Export the Z (Elevation) coordinate"},
    {"Prefix :", "Prefix to use for the Z coordinate"},
    // The table leaves this hint open; it follows its X and Y siblings.
    {"Decimals :", "Number of decimals to use for the Z coordinate"},
    {"Force to :", "Force the Z coordinate to this value (decimal value)"},
    {"Entity Type", "Export the Entity Type (its AutoCAD name) of the entity "},
    {"Prefix :", "Prefix to use"},
    {"Entity Layer", "Export the Layer Name of the entity"},
    {"Prefix :", "Prefix to use"},
    {"Entity Handle",
     "Export the Entity Handle (a unique string assigned to the entity by AutoCAD) of the "
     "entity"},
    {"Prefix :", "Prefix to use"},
    {"Block Name", "Export the Block Name if the entity is an AutoCAD BLOCK entity"},
    {"Prefix :", "Prefix to use"},
    {"Text String", "Export the Text String if the entity is an AutoCAD TEXT or MTEXT entity "},
    {"Prefix :", "Prefix to use"},
    {"Label", "Export a constant text string of your choice "},
    {"Prefix :", "Prefix to use"},
    {"Label :", "Enter the text string"},
    {"Sequential Number",
     "Export a unique number assigned to each processed coordinate. For entities that have "
     "more \r\n than 1 coordinate point  (polylines, lines ...), the number is different for "
     "each point."},
    {"Prefix :", "Prefix to use"},
    {"Start at :", "Start numbering at :"},
    {"Group Number",
     "Export a number assigned to each processed entity. For entities that have more \r\nthan "
     "1 coordinate point (polylines, lines ...), the number is the same for each point"},
    {"Prefix :", "Prefix to use"},
    {"Start at :", "Start numbering at :"},
    {"Attributes", "Export the attribute values of a block reference, one field per tag"},
    {"Prefix :", "Prefix to use"},
    {"Tags :", "Tags of the attributes to export, separated by commas (empty: every attribute as "
               "TAG=value)"},
}};

const std::array<EntityKindInfo, kKindCount> kEntityKinds = {{
    {0, "Points", "POINT"},
    {1, "Circles", "CIRCLE"},
    {2, "Arcs", "ARC"},
    {6, "Ellipses", "ELLIPSE"},
    {7, "Lines", "LINE"},
    {10, "MultiLine Text", "MTEXT"},
    {11, "SingleLine Text", "TEXT"},
    {12, "2D Polylines", "LWPOLYLINE"},
    {14, "3D Polylines", "POLYLINE"},
    {16, "Splines", "SPLINE"},
    {19, "3D Faces", "3DFACE"},
    {24, "Blocks", "INSERT"},
}};

std::string DataNodeHint(int nodeIndex) {
    if (nodeIndex < 0 || nodeIndex >= kDataNodeCount)
        return {};
    std::string hint(kDataNodes[static_cast<std::size_t>(nodeIndex)].Hint);
    if (IsDataItemNode(nodeIndex))
        hint += IsCustomDataItem(nodeIndex) ? kCustomDataSuffix : kDxfDataSuffix;
    return hint;
}

}  // namespace quarrow
