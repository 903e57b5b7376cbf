#pragma once
// What stays fixed for a whole processing run: the configuration as the run started, the data
// order, the selected kinds, the header text and the block-name filter.

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "config/ConfigTree.h"
#include "config/ExportConfig.h"
#include "config/NodeTables.h"
#include "engine/BlockFilter.h"

namespace quarrow {

// The writer's coordinate options, read once per run instead of once per record. A text that
// does not read keeps its failure for the first record that needs it, as reading it there did.
struct CoordinateOptions {
    std::array<std::int32_t, 3> Decimals{};  // X, Y, Z
    std::array<bool, 3> DecimalsRead{};      // false: the decimals text is not an integer
    bool ZForced = false;                    // the "Force to :" text is not blank
    bool ZForcedRead = false;                // ... and it formatted
    std::string ZForcedField;                // ... to this, with the Z decimals
};

// The most bytes a 32-bit counter takes in a record ("-2147483648").
inline constexpr std::size_t kMaxIntLength = 11;

// One field of every record: a data item of the data order with its prefix. The Attributes
// item makes one field per listed tag.
struct RecordField {
    DataItem Item;
    std::string_view Prefix;  // into the run's settings
    int Attribute = -1;       // Attributes: index into AttributeTags; -1: every attribute
    // With quoting off, a line or group counter is quoted whatever its digits (its field may
    // be left open for later, see CounterHole): its prefix or the separator can break it.
    bool CounterBreaks = false;
};

// What a record of the data order takes at most: FixedRoom bytes, plus each text's size
// times its number of uses (Entity Type, Entity Layer, Entity Handle, Block Name, Text String,
// and the attributes of a block reference, all of them per Attributes field).
struct RecordLayout {
    std::size_t FixedRoom = 0;
    std::array<std::size_t, 6> Uses{};
};

// With quoting off, how a record is tested for a field that would break it for a CSV reader
// (it holds the separator or a line break, or begins with a double quote): such a field is
// quoted, the others keep their bytes.
enum class SeparatorCheck {
    None,       // quoting on, or no field can break
    Texts,      // only the texts of the entity can (Entity Type, Layer, Handle, Block, Text,
                // attributes): they are looked at once per entity, every field only then
    EveryField  // a number, a prefix or the label can too: every field of every record
};

// What a run reads of the configuration, fixed when it starts: the run owns a copy, so nothing
// the user edits meanwhile reaches the Data files (or memory the writer reads).
struct RunSettings {
    RunSettings(const ExportConfig& config, const DataOrderArray& dataOrder,
                const SelectedKindsArray& selectedKinds);
    // Fields point into Config: a RunSettings stays where it was made.
    RunSettings(const RunSettings&) = delete;
    RunSettings& operator=(const RunSettings&) = delete;

    const ExportConfig Config;
    DataOrderArray DataOrder;
    SelectedKindsArray SelectedKinds;
    // The texts of the configuration that records use: as stored, or in the plain text mode
    // converted to UTF-8 once per run. Fields, Separator and LabelText point into Texts.
    std::deque<std::string> Texts;
    std::string_view Separator;
    std::string_view LabelText;
    std::vector<std::string_view> AttributeTags;  // "Tags :" split at commas, trimmed, in Texts
    bool ReadsAttributes = false;                 // the Attributes item is in the data order
    // Quoting on and a separator a number can hold: line and group counters are quoted.
    bool QuoteCounters = false;
    // With quoting off, the room of a record whose fields may be quoted.
    RecordLayout QuotedLayout;
    std::string HeaderText;  // BuildHeaderText, once per run
    std::string FilterText;  // BlockNameFilter as the run started
    BlockNameFilter Filter;
    std::vector<RecordField> Fields;  // the data order's items, once each run
    CoordinateOptions Coordinates;
    RecordLayout Layout;
    SeparatorCheck Separators = SeparatorCheck::None;

    // Returns true when the entity-tree node is checked.
    bool Entity(EntityNode node) const noexcept {
        return Config.EntityFlags[static_cast<std::size_t>(node)] == 1;
    }
};

// The three record counters. They outlive every run (the program owns them), so a blank
// Start-at text lets a counter run on from the previous file or run.
struct RunCounters {
    std::int32_t LineCounter = 0;
    std::int32_t SequentialCounter = 0;
    std::int32_t GroupCounter = 0;
};

// Returns a + b for 32-bit counts, wrapping as two's complement instead of overflowing.
constexpr std::int32_t WrappingSum(std::int32_t a, std::int32_t b) noexcept {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}

// Adds 1 to a signed 32-bit counter, wrapping as two's complement instead of overflowing.
constexpr void Advance(std::int32_t& counter) noexcept {
    counter = WrappingSum(counter, 1);
}

}  // namespace quarrow
