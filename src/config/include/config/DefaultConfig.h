#pragma once
// The configuration shipped as default.qrw, built in code so the file can be regenerated and
// checked byte for byte.

#include "config/ConfigTree.h"
#include "config/ExportConfig.h"

namespace quarrow {

// Fills the configuration and both trees with the shipped default: points, lines, polylines,
// texts and blocks; line number, X, Y, Z (3 decimals) and layer; comma; header line; "csv".
void BuildDefaultConfig(ExportConfig& config, ConfigTree& entityTree, ConfigTree& dataTree);

}  // namespace quarrow
