#include "cli/RunConfiguration.h"

#include "config/ConfigFile.h"
#include "config/TextUtil.h"

namespace quarrow {

bool LoadRunConfiguration(const std::string& path, std::string_view command,
                          RunConfiguration& loaded, std::ostream& err) {
    ExportConfig& config = loaded.Config;
    const ReadResult read = ReadConfigFile(path, config, loaded.EntityTree, loaded.DataTree);
    if (read.Outcome != ConfigReadOutcome::ReadInFull) {
        err << "quarrow-cli " << command << ": cannot load configuration \"" << path
            << "\": " << read.Message << "\n";
        return false;
    }
    if (read.FlagsRebuilt)
        err << "quarrow-cli " << command << ": configuration \"" << path
            << "\": " << kMsgFlagsRebuilt << "\n";
    // The desktop program's filter field trims what a load puts in it; so does this load.
    SetBlockNameFilter(config, config.BlockNameFilter);
    // The checks of the "Process selected files" button; the fields hold what was loaded.
    const std::string separatorField = config.FieldSeparator;
    loaded.Check = CheckRunRequest(config, config.DataFileExt, separatorField, loaded.EntityTree,
                                   loaded.DataTree);
    if (!loaded.Check.Ok()) {
        err << "quarrow-cli " << command << ": " << TrimText(loaded.Check.Message) << "\n";
        return false;
    }
    return true;
}

}  // namespace quarrow
