#pragma once
// Writes synthetic ASCII DXF drawings for benchmarks and stress tests: a realistic mix of the
// entity kinds the readers handle, at survey-sized coordinates, the same bytes for the same seed
// on every platform (integer arithmetic only, no floating point, no locale).

#include <cstdint>
#include <functional>
#include <string_view>

namespace quarrow::bench {

struct DrawingOptions {
    std::uint64_t TargetBytes = 10'000'000;  // the drawing ends with the first entity past this
    std::uint64_t Seed = 1;
    bool CrLf = true;  // line ends: CR LF as Windows CAD programs write them, else LF
};

// Receives the drawing in blocks of about 1 MiB; returns false to stop (a failed write).
using DrawingSink = std::function<bool(std::string_view)>;

// Writes a whole drawing to the sink; returns false when the sink refused a block.
bool GenerateDrawing(const DrawingOptions& options, const DrawingSink& sink);

}  // namespace quarrow::bench
