#pragma once
// The export configuration record: what a run reads, what it writes and how the Data files are
// named and separated. One live instance per program, with the bytes it was last loaded or
// saved as.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quarrow {

inline constexpr int kEntityNodeCount = 25;
// The fields part of a configuration file holds the flags and option texts of the first 32
// data-tree nodes; the nodes after them (the Attributes item) are kept in its extra options.
inline constexpr int kStoredDataNodeCount = 32;
inline constexpr int kDataNodeCount = 35;
inline constexpr int kKindCount = 12;
inline constexpr int kDataItemCount = 13;

inline constexpr std::size_t kSignatureMax = 6;
inline constexpr std::size_t kExtensionMax = 10;
inline constexpr std::size_t kTextMax = 255;

inline constexpr std::string_view kConfigSignature = "QRW300";

// How the texts of a drawing reach the Data files.
enum class TextMode : std::uint8_t {
    AsWritten = 0,  // the drawing's bytes, unchanged
    PlainUtf8 = 1,  // decoded from the drawing's encoding, codes and MTEXT formatting removed
};

struct ExportConfig {
    std::string ConfigSignature;  // "QRW300" once saved or loaded, empty before
    std::string DataFileExt;      // at most 10 bytes, untrimmed, without the dot
    std::uint8_t HeaderLine = 0;  // 1: Data files start with the header line
    std::int32_t SeparatorChoice = 0;
    std::string BlockNameFilter;  // at most 255 bytes, trimmed
    std::string FieldSeparator;   // at most 255 bytes, untrimmed
    std::array<std::uint8_t, kEntityNodeCount> EntityFlags{};
    std::array<std::uint8_t, kDataNodeCount> DataFlags{};
    std::array<std::string, kDataNodeCount> DataOptions{};
    // Kept in the file's extra options, written only when they differ from these defaults.
    bool QuoteFields = false;  // a field holding the separator, a quote, CR or LF is quoted
    TextMode Text = TextMode::AsWritten;

    bool operator==(const ExportConfig&) const = default;
};

// Stores the extension field's text, untrimmed, cut to 10 bytes.
void SetDataFileExt(ExportConfig& config, std::string_view text);
// Stores the block-names field's text trimmed at both ends, cut to 255 bytes.
void SetBlockNameFilter(ExportConfig& config, std::string_view text);
// Stores the separator field's text, untrimmed, cut to 255 bytes.
void SetFieldSeparator(ExportConfig& config, std::string_view text);
// Stores an option text of a data-tree node, cut to 255 bytes; out-of-range indexes are ignored.
void SetDataOption(ExportConfig& config, int nodeIndex, std::string_view text);

// The six separator choices of the separator list, in list order.
inline constexpr std::array<std::string_view, 6> kSeparatorChoiceNames = {
    "Comma (,)", "Semi-colon (;)", "Space ( )", "Tabulation", "LineFeed", "Other"};
inline constexpr int kSeparatorOther = 5;

// Sets FieldSeparator for a run from SeparatorChoice and the separator field's text.
void ResolveFieldSeparator(ExportConfig& config, std::string_view separatorFieldText);

// Returns the separator choice that gives the separator: a fixed one ("," ";" " " tab, CR LF),
// else kSeparatorOther.
int SeparatorChoiceOf(std::string_view separator);

// The live configuration and the bytes a save of it wrote, or would have written, when it was
// last loaded or saved (ConfigFile.h compares them); empty: it counts as changed.
struct ConfigState {
    ExportConfig Config;
    std::vector<std::uint8_t> SavedBytes;
};

}  // namespace quarrow
