#pragma once
// Splits a DXF file's bytes into lines without copying them: a line is a view into the current
// block. A line feed ends a line; every carriage return is dropped from it (so CR LF, lone CR
// and CR CR LF all behave); byte 26 (Ctrl-Z) ends the text; past the end, lines are empty. The
// text's first line end decides: a carriage return not followed by a line feed (a run of them
// before a line feed still counts as one) makes a lone CR the line end throughout, and every
// line feed is dropped (old Mac files).

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "detail/ByteSource.h"
#include "engine/ReadSizes.h"

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define QUARROW_SSE2 1
#else
#define QUARROW_SSE2 0
#endif

namespace quarrow {

class DxfLineReader {
public:
    static constexpr std::size_t kDefaultBlockSize = quarrow::kDefaultBlockSize;
    // A line longer than this keeps its first kMaxLineLength bytes; the rest is skipped, so a
    // hostile file without line feeds cannot make the reader's memory grow without bound.
    static constexpr std::size_t kMaxLineLength = std::size_t(16) << 20;

    // How lines end: decided by the first line end of the text.
    enum class LineEnds : std::uint8_t {
        Undecided,       // no line end read yet
        PendingCr,       // a run of CRs at the end of what was read: the next byte decides
        LineFeed,        // LF ends a line, CRs are dropped
        CarriageReturn,  // CR ends a line, LFs are dropped
    };

    // Reads source in blocks of blockSize bytes (at least 1).
    explicit DxfLineReader(ByteSource& source, std::size_t blockSize = kDefaultBlockSize);

    // Goes on reading at byte offset of the source (a line start), counting the lines read
    // before it as lineNumber; returns false when the source cannot seek. The line ends stay
    // as decided.
    bool Restart(std::uint64_t offset, std::int64_t lineNumber) noexcept;
    // Returns how lines end, as far as decided.
    LineEnds LineEndMode() const noexcept { return lineEnds_; }
    // Reads with these line ends from now on, as a reader that starts inside a text whose
    // first line end another reader saw (LineFeed or CarriageReturn).
    void SetLineEnds(LineEnds ends) noexcept { lineEnds_ = ends; }
    // Returns the next line, or an empty line past the end of the text (or after a read
    // failure, see Failed). The view stays valid until the next NextLine or AtEnd.
    std::string_view NextLine() noexcept {
        char* const base = buffer_.get() + begin_;
        const std::size_t available = end_ - begin_;
        if constexpr (std::endian::native == std::endian::little) {
            // Most DXF lines (group codes, values) fit in 16 bytes: two words then find their
            // line feed and carriage returns, without a call.
            if (available >= 16) {
                std::uint64_t word0, word1;
                std::memcpy(&word0, base, 8);
                std::memcpy(&word1, base + 8, 8);
                const std::uint64_t lf0 = BytesEqual(word0, '\n');
                const std::uint64_t lf1 = BytesEqual(word1, '\n');
                if ((lf0 | lf1) != 0) {
                    const std::size_t size = lf0 != 0 ? FirstByte(lf0) : 8 + FirstByte(lf1);
                    begin_ += size + 1;
                    ++lineNumber_;
                    const std::uint64_t cr0 = BytesEqual(word0, '\r');
                    const std::uint64_t cr1 = BytesEqual(word1, '\r');
                    const std::size_t firstCr = cr0 != 0   ? FirstByte(cr0)
                                                : cr1 != 0 ? 8 + FirstByte(cr1)
                                                           : 16;
                    if (firstCr >= size)
                        return {base, size};  // none in the line
                    if (firstCr == size - 1)
                        return {base, size - 1};  // the CR of CR LF, the only one
                    return DropCarriageReturns(base, size);
                }
            }
        }
        // Otherwise the line is found with memchr when it is in the buffer.
        const void* lf = available > 0 ? std::memchr(base, '\n', available) : nullptr;
        if (lf != nullptr) {
            const std::size_t size = std::size_t(static_cast<const char*>(lf) - base);
            begin_ += size + 1;
            ++lineNumber_;
            return DropCarriageReturns(base, size);
        }
        return NextLineAcrossBlocks();
    }
    // Two lines at once, as two NextLine calls would return them, for the group-code and
    // value pairs that make up DXF: finding both line feeds in one pass halves the chain of
    // dependent loads a line costs. PeekTwoLines only looks: Skip takes what it saw.
    struct TwoLines {
        std::string_view First, Second;
        std::size_t FirstLength = 0;  // bytes of the first line with its line feed
        std::size_t BothLength = 0;   // bytes of both lines with their line feeds
    };
    // Returns true and fills `lines` when the next two lines end within 32 bytes of the
    // buffer and hold no carriage return but the one before their line feed; false otherwise
    // (NextLine then reads them).
    bool PeekTwoLines(TwoLines& lines) const noexcept {
#if QUARROW_SSE2
        if (end_ - begin_ < 32)
            return false;
        const char* const base = buffer_.get() + begin_;
        const __m128i low = _mm_loadu_si128(reinterpret_cast<const __m128i*>(base));
        const __m128i high = _mm_loadu_si128(reinterpret_cast<const __m128i*>(base + 16));
        const auto mask = [&](char c) {
            const __m128i b = _mm_set1_epi8(c);
            return std::uint32_t(_mm_movemask_epi8(_mm_cmpeq_epi8(low, b))) |
                   std::uint32_t(_mm_movemask_epi8(_mm_cmpeq_epi8(high, b))) << 16;
        };
        const std::uint32_t lf = mask('\n');
        const std::uint32_t cr = mask('\r');
        const std::uint32_t lf1 = lf & (0u - lf);  // the first line feed
        const std::uint32_t rest = lf & (lf - 1);
        const std::uint32_t lf2 = rest & (0u - rest);  // the second (0: none)
        const std::uint32_t upToLf2 = (lf2 << 1) - 1;
        if (lf2 == 0 || (cr & upToLf2 & ~((lf1 | lf2) >> 1)) != 0)
            return false;
        const std::size_t end1 = std::size_t(std::countr_zero(lf1));
        const std::size_t end2 = std::size_t(std::countr_zero(lf2));
        const std::size_t cr1 = (cr & (lf1 >> 1)) != 0 ? 1 : 0;
        const std::size_t cr2 = (cr & (lf2 >> 1)) != 0 ? 1 : 0;
        lines.First = {base, end1 - cr1};
        lines.Second = {base + end1 + 1, end2 - end1 - 1 - cr2};
        lines.FirstLength = end1 + 1;
        lines.BothLength = end2 + 1;
        return true;
#else
        (void)lines;
        return false;
#endif
    }
    // Takes `count` lines of `bytes` bytes that PeekTwoLines saw (FirstLength with 1, or
    // BothLength with 2).
    void Skip(std::size_t bytes, int count) noexcept {
        begin_ += bytes;
        lineNumber_ += count;
    }
    // Skips a UTF-8 byte-order mark at the very start of the text (before any line was read).
    void SkipByteOrderMark() noexcept;
    // Returns true when no byte of the text is left to read.
    bool AtEnd() noexcept {
        return begin_ == end_ && AtEndAfterFill();
    }
    // Returns true when the source reported a read error; the text then counts as ended.
    bool Failed() const noexcept {
        return failed_;
    }
    // Returns the reason of the read failure.
    std::string ErrorText() const {
        return !failed_ ? std::string() : outOfMemory_ ? "not enough memory" : source_.ErrorText();
    }
    // Returns the offset in the source of the next byte to read (after a Restart, counted
    // from the source's start).
    std::uint64_t Position() const noexcept {
        return taken_ - (end_ - begin_);
    }
    // The source the lines come from.
    ByteSource& Source() const noexcept {
        return source_;
    }
    // Returns the 1-based number of the last line read (0 before the first one).
    std::int64_t LineNumber() const noexcept {
        return lineNumber_;
    }

private:
    // Returns the line without its carriage returns: the one before the line feed is
    // common, one elsewhere rare, so the line is only compacted when it holds another.
    static std::string_view DropCarriageReturns(char* line, std::size_t size) noexcept {
        if (size > 0 && line[size - 1] == '\r')
            --size;
        if (size > 0 && std::memchr(line, '\r', size) != nullptr)
            return DropInnerCarriageReturns(line, size);
        return {line, size};
    }
    static std::string_view DropInnerCarriageReturns(char* line, std::size_t size) noexcept;
    // Flags (high bit) the bytes of a word that equal c, the first byte of the text being the
    // lowest. The lowest flag is exact; a flag above a true one may be false (the subtraction
    // borrows upwards), so only the lowest flag of a word is ever used.
    static constexpr std::uint64_t BytesEqual(std::uint64_t word, char c) noexcept {
        constexpr std::uint64_t kOnes = 0x0101010101010101ull;
        const std::uint64_t x = word ^ (kOnes * static_cast<unsigned char>(c));
        return (x - kOnes) & ~x & (kOnes << 7);
    }
    // The index of the byte of the lowest flag (flags not 0).
    static constexpr std::size_t FirstByte(std::uint64_t flags) noexcept {
        return static_cast<std::size_t>(std::countr_zero(flags)) / 8;
    }
    std::string_view NextLineAcrossBlocks() noexcept;
    bool AtEndAfterFill() noexcept;
    // Moves the unread bytes to the front and appends one block from the source.
    void Fill() noexcept;
    // Decides the line ends from the `added` bytes just appended, while undecided; swaps CR
    // and LF in every unread byte once they are lone CRs, so the rest of the reader splits at
    // LF and drops CRs as for any other text.
    void DecideLineEnds(std::size_t added) noexcept;
    bool Reserve(std::size_t capacity) noexcept;

    ByteSource& source_;
    std::size_t blockSize_;
    std::unique_ptr<char[]> buffer_;
    std::size_t capacity_ = 0;
    std::size_t begin_ = 0;  // first unread byte
    std::size_t end_ = 0;    // one past the last byte of text in the buffer
    std::uint64_t taken_ = 0;
    std::int64_t lineNumber_ = 0;
    bool sourceDone_ = false;
    bool failed_ = false;
    bool outOfMemory_ = false;       // the buffer could not grow for a long line
    bool skippingOverlong_ = false;  // dropping the tail of a line past kMaxLineLength
    LineEnds lineEnds_ = LineEnds::Undecided;
};

// Swaps every CR for an LF and every LF for a CR: a text of lone CRs then reads as one of LFs,
// its LFs dropped as CRs are. The byte count stays, so offsets into the source stay true.
void SwapLineEnds(char* bytes, std::size_t size) noexcept;

}  // namespace quarrow
