#pragma once
// Editing rules of the data tree: check marks of the data items, the checks of typed option
// texts, and moving an item among the others. The tree editor calls these for the user's
// actions and for the program's own changes alike.

#include <string>
#include <string_view>

#include "config/ConfigTree.h"
#include "config/ExportConfig.h"
#include "config/TreePath.h"

namespace quarrow {

inline constexpr std::string_view kMsgIntegerValue = "  The value must be an integer value.  ";
inline constexpr std::string_view kMsgDecimalsValue =
    "  The value must be an integer value comprised between 1 and 14.  ";
inline constexpr std::string_view kMsgDecimalValue = "  The value must be a decimal value.  ";

inline constexpr int kMaxDecimals = 14;

// Sets the check mark of the node at a path and applies the check rule: for a node with
// children, its DataFlags entry follows and the children are enabled or disabled with it.
// Returns false when the node is missing, disabled or already in that state.
bool SetDataCheck(ConfigTree& tree, ExportConfig& config, const TreePath& path, bool checked);

// Checks or unchecks every data node through the check rule (option nodes keep a stored mark).
void CheckAllDataNodes(ConfigTree& tree, ExportConfig& config, bool checked);

// Returns true when the cell may be edited in place: column 1 of an option node.
bool IsDataCellEditable(const ConfigTree& tree, const TreePath& path, int column);

struct OptionEdit {
    bool Accepted = false;
    std::string Text;          // the text stored (after trimming and "," to ".")
    std::string_view Message;  // why it was refused
};

// Applies a committed option text to DataOptions: trims it, turns every "," into "." and
// checks it by the node's index. A refused text leaves DataOptions as it was.
OptionEdit ApplyOptionText(ExportConfig& config, int nodeIndex, std::string_view typed);

// Returns true when the whole text is a signed 32-bit integer.
bool IsIntegerText(std::string_view text);
// Returns true when the whole text is a finite decimal number with "." as separator.
bool IsDecimalText(std::string_view text);

struct MoveButtons {
    bool Up = false;
    bool Down = false;
};

// Returns which move buttons a focused node allows: only data items move, among themselves.
MoveButtons MoveButtonStates(const ConfigTree& tree, const TreePath& focused);

// Moves the data item at focused one place up (delta -1) or down (delta +1) with its option
// nodes, and updates focused to its new place. Returns false when it cannot move that way.
bool MoveDataItem(ConfigTree& tree, TreePath& focused, int delta);

}  // namespace quarrow
