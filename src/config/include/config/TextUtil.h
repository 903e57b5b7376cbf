#pragma once
// Byte-text helpers shared by the configuration model and the engine. Texts are bytes of a
// single-byte code page; nothing here looks at a locale.

#include <cstddef>
#include <string>
#include <string_view>

namespace quarrow {

// Returns true for the bytes that trimming removes: blanks and control characters (0 to 32).
constexpr bool IsTrimmable(char c) noexcept {
    return static_cast<unsigned char>(c) <= 0x20;
}

// Returns text without its leading and trailing blanks and control characters.
constexpr std::string_view TrimText(std::string_view text) noexcept {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && IsTrimmable(text[begin]))
        ++begin;
    while (end > begin && IsTrimmable(text[end - 1]))
        --end;
    return text.substr(begin, end - begin);
}

// Returns text cut to its first maxLength bytes (a field keeps no more than its maximum).
inline std::string CutText(std::string_view text, std::size_t maxLength) {
    return std::string(text.substr(0, maxLength));
}

}  // namespace quarrow
