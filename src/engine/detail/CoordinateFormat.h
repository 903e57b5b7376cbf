#pragma once
// Coordinates to the texts of Data files, locale-free: the DXF file's own text rounded on its
// digits, and a computed value through the same rounding (the two agree, which the tests
// check). Nothing here allocates except the output it appends to.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace quarrow {

// Decimals above this are written as this many; only a damaged configuration holds them.
inline constexpr int kMaxDecimals = 18;

// Appends a number rounded once, half away from zero, at its 14th significant digit or at the
// given decimals, whichever comes first (working on the double's first 18 significant digits),
// in fixed point with exactly that many decimals, without "-0"; past 14 integer digits, in
// exponent form ("1.2345678901234E15"). Negative decimals count as 0.
void AppendFixed(std::string& out, double value, int decimals);

enum class FormatStatus { Ok, BadCoordinate, BadDecimals };

// Appends a coordinate text formatted with a decimals text (both trimmed before reading).
// Appends nothing and names the failing text through the status when one is not a number.
[[nodiscard]] FormatStatus FormatCoordinate(std::string& out, std::string_view coordinate,
                                            std::string_view decimals);

// The most bytes a formatted coordinate takes (sign, 14 digits, point, 18 decimals; or the
// exponent form), with room to spare.
inline constexpr std::size_t kMaxCoordinateLength = 48;

// FormatCoordinateText and FormatComputedCoordinate writing at `to`, which has room for
// kMaxCoordinateLength bytes: return the end of what they wrote, or nullptr when they fail.
[[nodiscard]] char* WriteCoordinateText(char* to, std::string_view coordinate, int decimals);
[[nodiscard]] char* WriteComputedCoordinate(char* to, double value, int decimals);

// FormatCoordinate with the decimals already read (the writer reads them once per run).
// Returns false, appending nothing, when the coordinate text is not a number. Short plain
// decimals are rounded on their own digits, without going through a double.
[[nodiscard]] bool FormatCoordinateText(std::string& out, std::string_view coordinate,
                                        int decimals);

// The general path behind FormatCoordinateText: the text read as a double, then AppendFixed.
// The shortcut falls back to it and is tested against it.
[[nodiscard]] bool FormatCoordinateByDouble(std::string& out, std::string_view coordinate,
                                            int decimals);

// Appends what FormatCoordinateText gives for the converted text of a computed value
// (AppendConvertedText), mostly without printing that text. Returns false, appending nothing,
// for a value that is not finite.
[[nodiscard]] bool FormatComputedCoordinate(std::string& out, double value, int decimals);

// Appends a computed coordinate in the text form readers hand to the writer: 14 significant
// digits, exactly 15 decimals (1234.5678 gives 1234.567800000000000), exponent form past 14
// integer digits.
inline void AppendConvertedText(std::string& out, double value) {
    AppendFixed(out, value, 15);
}

}  // namespace quarrow
