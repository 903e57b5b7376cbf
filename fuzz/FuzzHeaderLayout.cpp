// The file list's header layout comes from the settings store, which any program or hand can
// change: any bytes must give a valid layout that writes and reads back unchanged.

#include <cstdint>
#include <cstdlib>
#include <span>

#include "platform/HeaderLayout.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const quarrow::HeaderLayout layout = quarrow::DecodeHeaderLayout(std::span(data, size));
    if (!quarrow::IsValidHeaderLayout(layout))
        std::abort();
    const auto bytes = quarrow::EncodeHeaderLayout(layout);
    if (quarrow::DecodeHeaderLayout(bytes) != layout)
        std::abort();
    return 0;
}
