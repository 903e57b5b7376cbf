#pragma once
// The scan's dispatch loop, shared by the scan of a whole file and by the segments another
// thread reads ahead of their turn.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>

#include "engine/RunObserver.h"
#include "engine/ScanContext.h"

namespace quarrow {

// What stays the same for every part of one file's scan.
struct DispatchSetup {
    const std::atomic<bool>& CancelRequested;
    RunObserver* Observer = nullptr;  // null: no progress reports
    std::int32_t SequentialStart = 0;
    bool SequentialOk = true;          // the sequential Start-at text is an integer
    const std::string& SequentialText;
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
    Stopped,     // at StopAt
    InputEnded,  // every line read (or the source failed: see DxfLineReader::Failed)
    Canceled,    // CancelRequested
    Abandoned,   // Abandon was set or the output outgrew OutputCap
    Failed,      // a run-ending error, in ctx.Error
};

// Reads lines from ctx.In and hands every line that names a selected type to its reader.
DispatchEnd RunDispatchLoop(ScanContext& ctx, const DispatchSetup& setup,
                            const DispatchLimits& limits = {});

} // namespace quarrow
