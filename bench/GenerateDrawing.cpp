// quarrow-bench-gen: writes a synthetic ASCII DXF drawing of about the requested size.
//   quarrow-bench-gen --size-mb N --seed S --out FILE [--lf]
// N may have decimals (0.2 is 200,000 bytes); a megabyte is 1,000,000 bytes here.

#include <charconv>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "DrawingGenerator.h"

namespace {

int Usage() {
    std::fputs("usage: quarrow-bench-gen --size-mb N --seed S --out FILE [--lf]\n", stderr);
    return 2;
}

template <typename T>
bool ParseWhole(std::string_view text, T& value) {
    const auto r = std::from_chars(text.data(), text.data() + text.size(), value);
    return r.ec == std::errc() && r.ptr == text.data() + text.size();
}

}  // namespace

int main(int argc, char** argv) {
    quarrow::bench::DrawingOptions options;
    std::string out;
    bool haveSize = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--size-mb" && hasValue) {
            double mb = 0;
            if (!ParseWhole(std::string_view(argv[++i]), mb) || !(mb > 0) || mb > 100000)
                return Usage();
            options.TargetBytes = static_cast<std::uint64_t>(mb * 1e6);
            haveSize = true;
        } else if (arg == "--seed" && hasValue) {
            if (!ParseWhole(std::string_view(argv[++i]), options.Seed))
                return Usage();
        } else if (arg == "--out" && hasValue) {
            out = argv[++i];
        } else if (arg == "--lf") {
            options.CrLf = false;
        } else if (arg == "--crlf") {
            options.CrLf = true;
        } else {
            return Usage();
        }
    }
    if (!haveSize || out.empty())
        return Usage();

    std::FILE* file = std::fopen(out.c_str(), "wb");
    if (!file) {
        std::fprintf(stderr, "cannot open %s: %s\n", out.c_str(), std::strerror(errno));
        return 1;
    }
    const bool written = quarrow::bench::GenerateDrawing(options, [file](std::string_view block) {
        return std::fwrite(block.data(), 1, block.size(), file) == block.size();
    });
    if (std::fclose(file) != 0 || !written) {
        std::fprintf(stderr, "cannot write %s\n", out.c_str());
        return 1;
    }
    return 0;
}
