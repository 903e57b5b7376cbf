#pragma once
// The dispatch loop on two threads. The drawing's lines after ENTITIES are cut into chunks; a
// second thread reads every other chunk (a quarter larger) ahead of its turn, from the first
// type line that follows a "0" group code in it (the value of a code-0 pair), into memory, with
// the line and group counters left open. This thread reads the chunks in between straight into
// the Data file. When it arrives exactly at the start of a chunk read ahead, about to read the
// value of a code-0 pair as the second thread did there (in step with the pairs), it takes that
// chunk's records (filling in the counters), counts, tally and line count, and goes on where
// that chunk's reading ended. When it arrives anywhere else (an entity ran across the start),
// or the chunk read ahead met an error, it throws the chunk away and reads its lines itself:
// errors, their line numbers, and every byte of the output stay those of reading on one thread.

#include <cstddef>
#include <cstdint>

#include "detail/DispatchLoop.h"
#include "engine/ReadSizes.h"
#include "detail/ScanContext.h"

namespace quarrow {

struct SegmentOptions {
    std::size_t SegmentSize = 0;  // bytes per chunk of this thread
    std::size_t BlockSize = 0;    // the line reader's block size on the second thread
};

// Where the scan's reading ended.
struct SegmentScanEnd {
    std::uint64_t Position = 0;  // offset of the first byte not read
    std::int64_t Lines = 0;      // lines read from the start of the input
};

// Runs the dispatch loop over the rest of ctx.In, on two threads when SegmentSize is not 0,
// the input is large enough and its source can be read twice; sets `where` to where the
// reading ended (for the last progress report). Returns as
// RunDispatchLoop without limits would.
[[nodiscard]] DispatchEnd ScanBySegments(ScanContext& ctx, const DispatchSetup& setup,
                                         const SegmentOptions& options, SegmentScanEnd& where);

// Returns the offset of the first line, starting after `from` and before from + span, that
// follows a line holding the group code 0 and names an entity other than VERTEX or SEQEND;
// returns `none` when the bytes there hold no such line. With loneCr, lines end at a CR and
// line feeds are dropped, as the line reader reads such a text.
inline constexpr std::uint64_t kNoSegmentStart = ~std::uint64_t(0);
std::uint64_t FindSegmentStart(ByteSource& source, std::uint64_t from, std::uint64_t span,
                               bool loneCr = false);

}  // namespace quarrow
