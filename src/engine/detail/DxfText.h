#pragma once
// DXF text values as plain UTF-8: the code page of the drawing, the \U+ and \M+ escapes, the %%
// and caret codes and, for MTEXT, the inline formatting. A plain text is always valid UTF-8
// without control characters, so one value never breaks a record in two.

#include <cstdint>
#include <string>
#include <string_view>

namespace quarrow {

// How the bytes of a text value make characters.
enum class DrawingEncoding : std::uint8_t { Utf8, SingleByte, DoubleByte };

// The Windows code page number for UTF-8: the text of R2007 and later drawings.
inline constexpr std::uint16_t kUtf8CodePage = 65001;

// How a drawing's text values are encoded: UTF-8 or one Windows code page (874, 932, 936, 949,
// 950, 1250 to 1258). Any other number reads as Windows-1252.
struct TextEncoding {
    std::uint16_t CodePage = 1252;

    [[nodiscard]] DrawingEncoding Kind() const noexcept;
    friend bool operator==(const TextEncoding&, const TextEncoding&) = default;
};

// The encoding a drawing's HEADER declares through $ACADVER and $DWGCODEPAGE, values as read
// (an empty view for a variable the header lacks). AC1021 (R2007) and later are UTF-8; earlier
// releases use the code page $DWGCODEPAGE names, "ANSI_1251" say, matched without regard to case
// or surrounding blanks. An absent or unknown code page is ANSI_1252, the usual default of CAD programs.
[[nodiscard]] TextEncoding EncodingFromHeader(std::string_view acadVer,
                                              std::string_view dwgCodePage) noexcept;

// Appends the plain text of a TEXT, ATTRIB or ATTDEF value (the bytes as in the file): decoded
// from the encoding, \U+XXXX and \M+nXXXX escapes resolved, %%d %%p %%c %%% and %%nnn turned
// into their characters (degree, plus-minus, diameter U+2300, percent, and the Windows-1252 or
// Unicode character numbered nnn), %%u %%o %%k dropped, caret codes read ("^ " is a caret, ^I a
// blank, ^J and ^M nothing). Bytes the encoding cannot read become U+FFFD.
void AppendPlainText(std::string_view raw, const TextEncoding& encoding, std::string& out);

// Appends the plain text of an MTEXT value (its group 3 chunks, then group 1, joined as in the
// file): as AppendPlainText, with the inline formatting and {} groups removed, \\ \{ \} as the
// character, and \P, \N, \X, \~ and ^J as a blank. A stacked text reads "1/2" (or "2" alone
// for a superscript). Unknown codes stay as written.
void AppendPlainMText(std::string_view raw, const TextEncoding& encoding, std::string& out);

// Appends a layer, block or other table name (the bytes as in the file) as UTF-8: decoded, the
// \U+XXXX and \M+nXXXX escapes resolved, controls as a blank. Names have no %% or caret codes:
// a layer "DIM%%C" is called that.
void AppendPlainName(std::string_view raw, const TextEncoding& encoding, std::string& out);

// Appends bytes of Windows-1252, the encoding of configuration texts, as UTF-8.
void AppendWindows1252(std::string_view bytes, std::string& out);

}  // namespace quarrow
