#include "engine/RunSettings.h"

#include "engine/DataRecordWriter.h"

namespace quarrow {

RunSettings::RunSettings(const ExportConfig& config, const DataOrderArray& dataOrder,
                         const SelectedKindsArray& selectedKinds)
    : Config(config),
      DataOrder(dataOrder),
      SelectedKinds(selectedKinds),
      HeaderText(BuildHeaderText(dataOrder, config.FieldSeparator)),
      FilterText(config.BlockNameFilter),
      Filter(config.BlockNameFilter) {}

} // namespace quarrow
