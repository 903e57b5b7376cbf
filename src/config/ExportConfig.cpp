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
    switch (config.SeparatorChoice) {
    case 0: config.FieldSeparator = ","; break;
    case 1: config.FieldSeparator = ";"; break;
    case 2: config.FieldSeparator = " "; break;
    case 3: config.FieldSeparator = "\t"; break;
    case 4: config.FieldSeparator = "\r\n"; break;
    case kSeparatorOther: SetFieldSeparator(config, separatorFieldText); break;
    default:
        // Only a damaged or foreign configuration file brings a choice outside 0 to 5 (a load
        // leaves -1 then); the comma is the safest separator to fall back to.
        config.FieldSeparator = ",";
        break;
    }
}

bool IsConfigChanged(const ConfigState& state) {
    return state.Config != state.SavedConfig;
}

void MarkConfigSaved(ConfigState& state) {
    state.SavedConfig = state.Config;
}

void MarkConfigUnsaved(ConfigState& state) {
    state.SavedConfig.ConfigSignature = "error";
}

} // namespace quarrow
