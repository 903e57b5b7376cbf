// Configuration files come from users' disks and mail: any bytes must end in a message.

#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "config/ConfigFile.h"

namespace {
quarrow::ReadResult Read(std::string_view bytes, quarrow::ExportConfig& config,
                         quarrow::ConfigTree& entityTree, quarrow::ConfigTree& dataTree) {
    entityTree = quarrow::BuildEntityTree();
    dataTree = quarrow::BuildDataTree();
    return quarrow::ReadConfigData(bytes, config, entityTree, dataTree);
}
std::string_view View(const std::vector<std::uint8_t>& bytes) {
    return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    quarrow::ExportConfig config;
    quarrow::ConfigTree entityTree;
    quarrow::ConfigTree dataTree;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const auto result = Read(bytes, config, entityTree, dataTree);
    if (result.Outcome == quarrow::ConfigReadOutcome::NotRead)
        return 0;
    // Whatever was read must write back, and what the writer wrote must read back in full
    // and write out the same bytes again: a saved file never turns into a damaged one.
    const auto written = quarrow::BuildConfigFile(config, entityTree, dataTree);
    quarrow::ExportConfig again;
    quarrow::ConfigTree entityAgain;
    quarrow::ConfigTree dataAgain;
    const auto reread = Read(View(written), again, entityAgain, dataAgain);
    if (reread.Outcome != quarrow::ConfigReadOutcome::ReadInFull)
        std::abort();
    if (quarrow::BuildConfigFile(again, entityAgain, dataAgain) != written)
        std::abort();
    return 0;
}
