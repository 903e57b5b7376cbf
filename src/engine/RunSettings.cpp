#include "engine/RunSettings.h"

#include "config/NodeTables.h"
#include "config/TextUtil.h"
#include "engine/DataRecordWriter.h"
#include "engine/DxfNumber.h"

namespace quarrow {

RunSettings::RunSettings(const ExportConfig& config, const DataOrderArray& dataOrder,
                         const SelectedKindsArray& selectedKinds)
    : Config(config),
      DataOrder(dataOrder),
      SelectedKinds(selectedKinds),
      HeaderText(BuildHeaderText(dataOrder, config.FieldSeparator)),
      FilterText(config.BlockNameFilter),
      Filter(config.BlockNameFilter) {
    const int decimalsNodes[] = {kXDecimalsOption, kYDecimalsOption, kZDecimalsOption};
    for (std::size_t i = 0; i < 3; ++i)
        Coordinates.DecimalsRead[i] = ParseDxfInt32(
            TrimText(config.DataOptions[std::size_t(decimalsNodes[i])]), Coordinates.Decimals[i]);
    const std::string& forced = config.DataOptions[kZForceOption];
    Coordinates.ZForced = !TrimText(forced).empty();
    Coordinates.ZForcedRead = Coordinates.ZForced && Coordinates.DecimalsRead[2] &&
                              FormatCoordinateText(Coordinates.ZForcedField, forced,
                                                   Coordinates.Decimals[2]);

    Layout.FixedRoom = 2;  // CR LF
    for (const std::int32_t g : dataOrder) {
        if (!IsDataItemNode(g))
            continue;
        Layout.FixedRoom += config.FieldSeparator.size() + config.DataOptions[std::size_t(g + 1)].size();
        switch (static_cast<DataItem>(g)) {
        case DataItem::LineNumber:
        case DataItem::SequentialNumber:
        case DataItem::GroupNumber: Layout.FixedRoom += kMaxIntLength; break;
        case DataItem::X:
        case DataItem::Y:
        case DataItem::Z: Layout.FixedRoom += kMaxCoordinateLength; break;
        case DataItem::Label: Layout.FixedRoom += config.DataOptions[kLabelTextOption].size(); break;
        case DataItem::EntityType: ++Layout.Uses[0]; break;
        case DataItem::EntityLayer: ++Layout.Uses[1]; break;
        case DataItem::EntityHandle: ++Layout.Uses[2]; break;
        case DataItem::BlockName: ++Layout.Uses[3]; break;
        case DataItem::TextString: ++Layout.Uses[4]; break;
        }
    }
}

} // namespace quarrow
