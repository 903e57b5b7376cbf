#pragma once
// The scan's dispatch loop, shared by the scan of a whole file and by the segments another
// thread reads ahead of their turn.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>

#include "engine/RunObserver.h"
#include "detail/ScanContext.h"

namespace quarrow {

// What stays the same for every part of one file's scan.
struct DispatchSetup {
    const std::atomic<bool>& CancelRequested;
    RunObserver* Observer = nullptr;   // null: no progress reports
    std::int32_t SequentialStart = 0;  // converted once, when the section was found
};

// Where a part of the scan stops early.
struct DispatchLimits {
    // The loop stops before reading a line that starts at or after this offset.
    std::uint64_t StopAt = std::numeric_limits<std::uint64_t>::max();
    // The loop gives up once the output and its open counter fields take more bytes.
    std::size_t OutputCap = std::numeric_limits<std::size_t>::max();
    // The loop gives up once this is set (may be null).
    const std::atomic<bool>* Abandon = nullptr;
};

enum class DispatchEnd {
    Stopped,       // at StopAt
    InputEnded,    // every line read before the section's end (or the source failed: see
                   // DxfLineReader::Failed)
    EntityCut,     // a reader failed in the entity that the end of the input cuts
    SectionEnded,  // at the pair (0, ENDSEC) or (0, EOF): nothing after it is read
    Canceled,      // CancelRequested
    Abandoned,     // Abandon was set or the output outgrew OutputCap
    Failed,        // a run-ending error, in ctx.Error
    NotDxf,        // a code line that is no group code, at ctx.InvalidCodeLine
};

// Reads the group-code/value pairs of ctx.In and hands every entity (a pair of code 0) of a
// selected type to its reader, up to the pair (0, ENDSEC) or (0, EOF). Starts with the next
// line a code line, or the value of a code-0 pair when ctx.AtTypeLine is set, and leaves
// ctx.AtTypeLine saying which it stopped before.
[[nodiscard]] DispatchEnd RunDispatchLoop(ScanContext& ctx, const DispatchSetup& setup,
                                          const DispatchLimits& limits = {});

}  // namespace quarrow
