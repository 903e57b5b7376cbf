#pragma once
// The benchmark's configuration: every entity kind with every sub-option, and the data items a
// survey export typically writes, so a run exercises every reader and the writer's hot fields.

#include "config/ConfigTree.h"
#include "config/ExportConfig.h"

namespace quarrow::bench {

// Fills the configuration and both trees: all 25 entity nodes checked; Line Number, X, Y, Z
// (3 decimals), Entity Type, Entity Layer, Entity Handle and Group Number; comma; header
// line; extension "csv".
void BuildAllKindsConfig(ExportConfig& config, ConfigTree& entityTree, ConfigTree& dataTree);

}  // namespace quarrow::bench
