#pragma once
// Configuration files (".qrw"): the nine fields at fixed offsets, then the tree streams of the
// entity tree and the data tree. Readers and writers return messages; they never show them.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "config/ConfigTree.h"
#include "config/ExportConfig.h"

namespace quarrow {

inline constexpr std::size_t kEntityStreamOffset = 8784;
inline constexpr std::size_t kConfigFileSize = 12749;  // with the standard trees

inline constexpr std::string_view kMsgNotAConfigFile = "This is not a Quarrow configuration file";
inline constexpr std::string_view kMsgNotEnoughData =
    "Unable to load tree structure, not enough data available.";
inline constexpr std::string_view kMsgWrongFormat =
    "Unable to load tree structure, the format is wrong.";
inline constexpr std::string_view kMsgUnknownVersion =
    "Unable to load tree structure, the version is unknown.";
inline constexpr std::string_view kMsgAnchorMissing =
    "Stream data corrupt. A node's anchor chunk is missing.";
inline constexpr std::string_view kMsgDataAfterEnd =
    "Stream data corrupt. Unexpected data after node's end position.";
inline constexpr std::string_view kMsgDataEnds =
    "Stream data corrupt. The data ends inside a node.";
inline constexpr std::string_view kMsgBadChunkSize =
    "Stream data corrupt. A chunk's size is negative or runs past the data.";
inline constexpr std::string_view kMsgTooDeep = "Stream data corrupt. Nodes are nested too deeply.";
inline constexpr std::string_view kMsgFlagsRebuilt =
    "The entity and data flags of this configuration file contradict the check marks of its "
    "trees. They were rebuilt from the trees, which show what a run exports; save the "
    "configuration to repair the file.";

// The standard trees are two levels deep; anything far deeper is a damaged or hostile file.
inline constexpr int kMaxTreeDepth = 16;

// Appends the tree stream of a tree (marker version 2, root count, one node record per root).
void WriteTreeStream(const ConfigTree& tree, std::vector<std::uint8_t>& out);

// Rebuilds a tree from the stream at data[position]; empties the tree first, so a failure
// leaves it empty or partly filled. Returns an empty text on success, else the message.
std::string ReadTreeStream(ConfigTree& tree, std::string_view data, std::size_t& position);

// Returns the bytes of a whole configuration file (sets ConfigSignature first).
std::vector<std::uint8_t> BuildConfigFile(ExportConfig& config, const ConfigTree& entityTree,
                                          const ConfigTree& dataTree);

// Returns the bytes a save would write, with the trees' focus and expansion marks cleared:
// they follow how the user looks at the trees, not what a run exports.
std::vector<std::uint8_t> ComparableConfigBytes(const ExportConfig& config,
                                                const ConfigTree& entityTree,
                                                const ConfigTree& dataTree);
// Returns true when a save would write other bytes than those the configuration was last
// loaded or saved as (the focus and expansion of the trees aside).
bool IsConfigChanged(const ConfigState& state, const ConfigTree& entityTree,
                     const ConfigTree& dataTree);
// Takes the configuration as it is now for the one last loaded or saved.
void MarkConfigSaved(ConfigState& state, const ConfigTree& entityTree, const ConfigTree& dataTree);
// Makes the configuration count as changed until it is next loaded or saved.
void MarkConfigUnsaved(ConfigState& state);

struct WriteResult {
    bool Ok = true;
    std::string Message;  // names the file when the write failed
};

// Writes a configuration file through a temporary file in the same folder renamed over the
// target, so a failed save leaves any earlier file as it was.
WriteResult WriteConfigFile(const std::string& path, ExportConfig& config,
                            const ConfigTree& entityTree, const ConfigTree& dataTree);

enum class ConfigReadOutcome {
    NotRead,       // unreadable file or another signature: nothing changed
    TreesDamaged,  // fields taken, trees only in part
    ReadInFull,
};

struct ReadResult {
    ConfigReadOutcome Outcome = ConfigReadOutcome::NotRead;
    std::string Message;  // empty when read in full
    // The file's flags contradicted its trees' check marks and were rebuilt from them (the
    // load says so with kMsgFlagsRebuilt).
    bool FlagsRebuilt = false;
};

// Sets every entity flag, and the flag of every data item, to its tree node's check mark (a
// node a damaged tree lacks leaves its flag). Returns true when a flag changed.
bool RebuildFlagsFromTrees(ExportConfig& config, const ConfigTree& entityTree,
                           const ConfigTree& dataTree);

// Reads a configuration from bytes already in memory; flags that contradict the trees are
// rebuilt from them.
ReadResult ReadConfigData(std::string_view data, ExportConfig& config, ConfigTree& entityTree,
                          ConfigTree& dataTree);
// Reads a configuration file into the configuration and both trees.
ReadResult ReadConfigFile(const std::string& path, ExportConfig& config, ConfigTree& entityTree,
                          ConfigTree& dataTree);

}  // namespace quarrow
