#pragma once
// How much of a drawing is read at a time: what a run may set without knowing how the reading
// is done.

#include <cstddef>

namespace quarrow {

// Bytes the line reader asks its source for at a time.
inline constexpr std::size_t kDefaultBlockSize = std::size_t(1) << 20;

// Bytes per chunk of the run's thread when a second thread reads every other chunk ahead:
// large enough that handing a chunk over costs nothing next to reading it; small enough that
// the chunks waiting in memory stay a few MiB, and that every drawing of more than a few MiB
// keeps both threads busy with the same memory.
inline constexpr std::size_t kDefaultSegmentSize = std::size_t(1) << 20;

}  // namespace quarrow
