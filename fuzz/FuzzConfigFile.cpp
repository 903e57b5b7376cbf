// Configuration files come from users' disks and mail: any bytes must end in a message.

#include <cstdint>
#include <string_view>

#include "config/ConfigFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    quarrow::ExportConfig config;
    quarrow::ConfigTree entityTree = quarrow::BuildEntityTree();
    quarrow::ConfigTree dataTree = quarrow::BuildDataTree();
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const auto result = quarrow::ReadConfigData(bytes, config, entityTree, dataTree);
    if (result.Outcome != quarrow::ConfigReadOutcome::NotRead) {
        // Whatever was read must write back without trouble.
        (void)quarrow::BuildConfigFile(config, entityTree, dataTree);
    }
    return 0;
}
