#pragma once
// A digest for whole-output checks, defined here so stored digests depend on no library.

#include <cstdint>
#include <string>
#include <string_view>

namespace quarrow::test {

// Returns the 64-bit FNV-1a hash of the bytes.
inline std::uint64_t Fnv1a64(std::string_view bytes) {
    std::uint64_t hash = 0xCBF29CE484222325ull;
    for (unsigned char c : bytes) {
        hash ^= c;
        hash *= 0x100000001B3ull;
    }
    return hash;
}

// Returns the value as 16 lower-case hexadecimal digits.
inline std::string Hex(std::uint64_t v) {
    char text[17];
    for (int i = 15; i >= 0; --i, v >>= 4)
        text[i] = "0123456789abcdef"[v & 15];
    return std::string(text, 16);
}

}  // namespace quarrow::test
