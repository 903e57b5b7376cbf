#include "detail/ScanContext.h"

namespace quarrow {
namespace {

// A value that does not convert is quoted in the message, but a damaged file can make it a
// 16 MiB line, or put NUL and other control bytes in it that would cut or garble the message
// box: quote its start only, with control bytes spelled out.
constexpr std::size_t kQuotedTextMax = 100;

void AppendQuotedText(std::string& m, std::string_view text) {
    const std::string_view shown = text.substr(0, kQuotedTextMax);
    for (const char ch : shown) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x20 || c == 0x7F) {
            constexpr char kHex[] = "0123456789abcdef";
            m += "\\x";
            m += kHex[c >> 4];
            m += kHex[c & 15];
        } else {
            m += ch;
        }
    }
    if (shown.size() < text.size())
        m += "...";
}

}  // namespace

bool FailConversion(ScanContext& ctx, std::string_view text, std::int64_t line,
                    std::string_view what, NumberKind kind) {
    std::string& m = ctx.Error;
    m = "Error in DXF file \"" + ctx.DxfPath + "\", line ";
    m += std::to_string(line > 0 ? line : line == 0 ? ctx.EntityLine : ctx.In.LineNumber());
    m += ": \"";
    AppendQuotedText(m, text);
    m += kind == NumberKind::Integer ? "\" is not a valid integer value ("
                                     : "\" is not a valid floating point value (";
    m += what;
    if (line == 0)
        m += ", missing from the entity that starts at this line";
    m += ").";
    return false;
}

}  // namespace quarrow
