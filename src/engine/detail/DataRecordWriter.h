#pragma once
// One Data-file record per exported point: the data items of the data order, each behind its
// prefix, joined by the field separator; and the header line that names them.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "config/ConfigTree.h"
#include "detail/ScanContext.h"

namespace quarrow {

// The eight texts of one record, in the writer's fixed order, with the DXF lines of the
// coordinate texts for error messages (0: computed, or not read). A computed point comes as
// numbers: the writer formats them as it would their converted texts (AppendConvertedText).
struct DataRecord {
    std::string_view X, Y, Z;
    std::string_view Handle, Layer, EntityType, BlockName, Text;
    std::int64_t XLine = 0, YLine = 0, ZLine = 0;
    const Vector3* Computed = nullptr;          // when set, X, Y and Z are not read
    std::span<const AttributeText> Attributes;  // a block reference's, in drawing order
};

// Appends one record and its CR LF to the Data file and advances the line and sequential
// counters when exported. Returns false (ctx.Error set, nothing appended) when a coordinate,
// decimals or forced-Z text is not a number, or when writing the Data file failed.
[[nodiscard]] bool WriteDataRecord(ScanContext& ctx, const DataRecord& record);

// Returns the header line of a run's records: the labels of its fields (the tags of an
// Attributes field) joined by the separator, quoted as the fields are.
std::string BuildHeaderText(const RunSettings& settings);

// Returns true when a text, wherever it stands in a field, can break its record for a CSV
// reader (quoting off): it begins with a double quote, or holds a line break or the separator.
bool TextCanBreakRecord(std::string_view text, std::string_view separator) noexcept;

}  // namespace quarrow
