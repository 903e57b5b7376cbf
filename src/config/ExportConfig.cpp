#include "config/ExportConfig.h"

#include "config/TextUtil.h"

namespace quarrow {

void SetDataFileExt(ExportConfig& config, std::string_view text) {
    config.DataFileExt = CutText(text, kExtensionMax);
}

void SetBlockNameFilter(ExportConfig& config, std::string_view text) {
    config.BlockNameFilter = CutText(TrimText(text), kTextMax);
}

void SetFieldSeparator(ExportConfig& config, std::string_view text) {
    config.FieldSeparator = CutText(text, kTextMax);
}

void SetDataOption(ExportConfig& config, int nodeIndex, std::string_view text) {
    if (nodeIndex < 0 || nodeIndex >= kDataNodeCount)
        return;
    config.DataOptions[static_cast<std::size_t>(nodeIndex)] = CutText(text, kTextMax);
}

void ResolveFieldSeparator(ExportConfig& config, std::string_view separatorFieldText) {
    // Only a damaged or foreign configuration file brings a choice outside 0 to 5 (a load
    // leaves -1 then); the comma is the safest separator to fall back to.
    static constexpr std::string_view kFixed[] = {",", ";", " ", "\t", "\r\n"};
    if (config.SeparatorChoice == kSeparatorOther)
        SetFieldSeparator(config, separatorFieldText);
    else if (config.SeparatorChoice >= 0 && config.SeparatorChoice < kSeparatorOther)
        SetFieldSeparator(config, kFixed[config.SeparatorChoice]);
    else
        SetFieldSeparator(config, kFixed[0]);
}

}  // namespace quarrow
