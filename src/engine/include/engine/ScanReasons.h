#pragma once
// The texts a scan gives about a drawing it did not read, and about values it had to quote: one
// place for each, so the log, the JSON report and the desktop program's summary say the same.

#include <cstdint>
#include <string>
#include <string_view>

namespace quarrow {

// Why a drawing is not a valid DXF file.
enum class NotValidReason {
    NoEntitiesSection,  // its pairs end (at (0, EOF) or with the input) without one
    CutShort,           // the input ends inside the ENTITIES section
    CutBeforeEntities,  // the input ends, without (0, EOF), before any ENTITIES section
    DwgDrawing,         // its first bytes are those of a DWG drawing
    BinaryDxf,          // its first bytes are the binary DXF sentinel
    BadGroupCode,       // a code line that is no group code
};

// Returns "this is not a valid DXF file (...)" with the reason in the parentheses; line is the
// code line of BadGroupCode.
std::string NotValidDxfText(NotValidReason reason, std::int64_t line = 0);

// Returns the reason a drawing's first bytes give for not reading it (DwgDrawing or BinaryDxf),
// or false when they look like neither.
bool ReasonOfFirstBytes(std::string_view bytes, NotValidReason& reason) noexcept;

// Bytes ReasonOfFirstBytes looks at, at most.
inline constexpr std::size_t kFirstBytesLooked = 18;

// Returns the bare text of the warning on records with a value quoted so that it cannot break
// its record ("N records hold ... those values are quoted"); the log puts it between
// "  *** Warning, " and " ***".
std::string QuotedValuesWarningText(std::uint32_t records);

}  // namespace quarrow
