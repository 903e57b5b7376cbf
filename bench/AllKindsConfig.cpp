#include "AllKindsConfig.h"

#include "config/NodeTables.h"

namespace quarrow::bench {

void BuildAllKindsConfig(ExportConfig& config, ConfigTree& entityTree, ConfigTree& dataTree) {
    config = ExportConfig{};
    entityTree = BuildEntityTree();
    dataTree = BuildDataTree();

    config.ConfigSignature = std::string(kConfigSignature);
    SetDataFileExt(config, "csv");
    config.HeaderLine = 1;
    config.SeparatorChoice = 0;
    SetFieldSeparator(config, ",");

    for (int node = 0; node < kEntityNodeCount; ++node) {
        config.EntityFlags[std::size_t(node)] = 1;
        EntityNodeAt(entityTree, node)->SetChecked(true);
    }
    for (const auto& kind : kEntityKinds)
        if (!EntityNodeAt(entityTree, kind.RootNode)->Children.empty())
            EntityNodeAt(entityTree, kind.RootNode)->SetState(NodeState::Expanded, true);

    // The data tree lists its roots in index order, which is already the export order wanted.
    for (DataItem item :
         {DataItem::LineNumber, DataItem::X, DataItem::Y, DataItem::Z, DataItem::EntityType,
          DataItem::EntityLayer, DataItem::EntityHandle, DataItem::GroupNumber}) {
        config.DataFlags[std::size_t(item)] = 1;
        DataNodeWithIndex(dataTree, int(item))->SetChecked(true);
    }
    for (int expanded : {0, 3, 6, 9, 29})
        DataNodeWithIndex(dataTree, expanded)->SetState(NodeState::Expanded, true);
    SetDataOption(config, kLineStartOption, "1");
    SetDataOption(config, kXDecimalsOption, "3");
    SetDataOption(config, kYDecimalsOption, "3");
    SetDataOption(config, kZDecimalsOption, "3");
    SetDataOption(config, kSequentialStartOption, "1");
    SetDataOption(config, kGroupStartOption, "1");
}

}  // namespace quarrow::bench
