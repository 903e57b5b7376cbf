#pragma once
// Whole-file byte comparison that, on a difference, shows the first line that differs with its
// control characters spelled out, instead of two unreadable blobs.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <string_view>

namespace quarrow::test {

inline std::string Escaped(std::string_view text) {
    std::string out;
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '\r')
            out += "\\r";
        else if (c == '\n')
            out += "\\n";
        else if (c == '\t')
            out += "\\t";
        else if (c < 0x20 || c >= 0x7f) {
            const char* hex = "0123456789abcdef";
            out += "\\x";
            out += hex[c >> 4];
            out += hex[c & 15];
        } else
            out += ch;
    }
    return out;
}

inline ::testing::AssertionResult SameBytes(std::string_view expected, std::string_view actual) {
    if (expected == actual)
        return ::testing::AssertionSuccess();
    const auto mismatch =
        std::mismatch(expected.begin(), expected.end(), actual.begin(), actual.end());
    const std::size_t at = std::size_t(mismatch.first - expected.begin());
    const std::size_t lineStart = expected.substr(0, at).rfind('\n');
    const std::size_t from = lineStart == std::string_view::npos ? 0 : lineStart + 1;
    const std::size_t line =
        std::size_t(std::count(expected.begin(), expected.begin() + std::ptrdiff_t(from), '\n')) +
        1;
    return ::testing::AssertionFailure()
           << "bytes differ at offset " << at << " (line " << line << ")\n  expected: \""
           << Escaped(expected.substr(from, 120)) << "\"\n  actual:   \""
           << Escaped(actual.substr(std::min(from, actual.size()), 120)) << "\"\n  sizes "
           << expected.size() << " and " << actual.size();
}

}  // namespace quarrow::test
