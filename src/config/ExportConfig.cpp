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

namespace {

// The separators of the fixed choices, by choice.
constexpr std::string_view kFixedSeparators[] = {",", ";", " ", "\t", "\r\n"};

}  // namespace

void ResolveFieldSeparator(ExportConfig& config, std::string_view separatorFieldText) {
    // Only a damaged or foreign configuration file brings a choice outside 0 to 5 (a load
    // leaves -1 then); the comma is the safest separator to fall back to.
    if (config.SeparatorChoice == kSeparatorOther)
        SetFieldSeparator(config, separatorFieldText);
    else if (config.SeparatorChoice >= 0 && config.SeparatorChoice < kSeparatorOther)
        SetFieldSeparator(config, kFixedSeparators[config.SeparatorChoice]);
    else
        SetFieldSeparator(config, kFixedSeparators[0]);
}

int SeparatorChoiceOf(std::string_view separator) {
    for (int choice = 0; choice < kSeparatorOther; ++choice)
        if (kFixedSeparators[choice] == separator)
            return choice;
    return kSeparatorOther;
}

}  // namespace quarrow
