#include "config/DefaultConfig.h"

#include "config/NodeTables.h"

namespace quarrow {

void BuildDefaultConfig(ExportConfig& config, ConfigTree& entityTree, ConfigTree& dataTree) {
    config = ExportConfig{};
    entityTree = BuildEntityTree();
    dataTree = BuildDataTree();

    config.ConfigSignature = std::string(kConfigSignature);
    SetDataFileExt(config, "csv");
    config.HeaderLine = 1;
    config.SeparatorChoice = 0;
    SetFieldSeparator(config, ",");

    // Points, Lines with both ends, 2D and 3D polylines, both texts and blocks.
    for (int node : {0, 7, 8, 9, 10, 11, 12, 14, 24}) {
        config.EntityFlags[std::size_t(node)] = 1;
        EntityNodeAt(entityTree, node)->SetChecked(true);
    }
    // Sub-options of an unchecked kind are disabled, as the entity tree editor leaves them.
    for (int kindRoot : {2, 16, 19})
        for (auto& child : EntityNodeAt(entityTree, kindRoot)->Children)
            child.SetState(NodeState::Disabled, true);
    for (int expanded : {7, 12, 14})
        EntityNodeAt(entityTree, expanded)->SetState(NodeState::Expanded, true);

    for (int item : {0, 3, 6, 9, 15}) {
        config.DataFlags[std::size_t(item)] = 1;
        DataNodeWithIndex(dataTree, item)->SetChecked(true);
    }
    for (int expanded : {0, 3, 6, 9})
        DataNodeWithIndex(dataTree, expanded)->SetState(NodeState::Expanded, true);
    SetDataOption(config, kLineStartOption, "1");
    SetDataOption(config, kXDecimalsOption, "3");
    SetDataOption(config, kYDecimalsOption, "3");
    SetDataOption(config, kZDecimalsOption, "3");
    SetDataOption(config, kSequentialStartOption, "1");
    SetDataOption(config, kGroupStartOption, "1");
}

}  // namespace quarrow
