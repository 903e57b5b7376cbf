#pragma once
// Locale-free conversions of DXF value texts to numbers (coordinates to the texts of Data files:
// CoordinateFormat.h).

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace quarrow {

// Parses a decimal number: optional "+" or "-", digits with an optional point (".5" and "5."
// included), optional exponent "E"/"e" with optional sign and digits. The whole text must be
// consumed. Returns false for an empty text, inf, nan, hexadecimal, blanks or a ",".
// Short plain decimals take an exact shortcut; everything else goes to the general parse below.
[[nodiscard]] bool ParseDxfDouble(std::string_view text, double& value) noexcept;

// The general parse behind ParseDxfDouble (std::from_chars after a grammar check); the
// shortcut is tested against it.
[[nodiscard]] bool ParseDxfDoubleByFromChars(std::string_view text, double& value) noexcept;

// Parses a signed 32-bit decimal integer (optional sign, digits only, whole text). Returns
// false for an empty text, a text with other characters, or a value out of range.
[[nodiscard]] bool ParseDxfInt32(std::string_view text, std::int32_t& value) noexcept;

}  // namespace quarrow
