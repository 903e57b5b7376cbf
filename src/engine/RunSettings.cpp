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
}

} // namespace quarrow
