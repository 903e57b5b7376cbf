#pragma once
// The configuration of a run, loaded and checked as the desktop program's "Process selected
// files" does: what run and preview both start from.

#include <ostream>
#include <string>
#include <string_view>

#include "config/ConfigTree.h"
#include "config/ExportConfig.h"
#include "engine/ProcessingRun.h"

namespace quarrow {

struct RunConfiguration {
    ExportConfig Config;
    ConfigTree EntityTree = BuildEntityTree();
    ConfigTree DataTree = BuildDataTree();
    RunCheck Check;  // its data order and selected kinds
};

// Loads the configuration file at path and checks it; on failure writes the message, headed by
// "quarrow-cli <command>: ", and returns false.
[[nodiscard]] bool LoadRunConfiguration(const std::string& path, std::string_view command,
                                        RunConfiguration& loaded, std::ostream& err);

}  // namespace quarrow
