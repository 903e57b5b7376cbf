#pragma once
// Splits a DXF file's bytes into lines without copying them: a line is a view into the current
// block. A line feed ends a line; every carriage return is dropped from it (so CR LF, lone CR
// and CR CR LF all behave); byte 26 (Ctrl-Z) ends the text; past the end, lines are empty.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "engine/ByteSource.h"

namespace quarrow {

class DxfLineReader {
public:
    static constexpr std::size_t kDefaultBlockSize = std::size_t(1) << 20;
    // A line longer than this keeps its first kMaxLineLength bytes; the rest is skipped, so a
    // hostile file without line feeds cannot make the reader's memory grow without bound.
    static constexpr std::size_t kMaxLineLength = std::size_t(16) << 20;

    // Reads source in blocks of blockSize bytes (at least 1).
    explicit DxfLineReader(ByteSource& source, std::size_t blockSize = kDefaultBlockSize);

    // Returns the next line, or an empty line past the end of the text (or after a read
    // failure, see Failed). The view stays valid until the next ReadLine or AtEnd.
    std::string_view ReadLine() noexcept {
        // The common case, inline: the whole line is in the buffer already.
        char* const base = buffer_.get() + begin_;
        const void* lf = begin_ < end_ ? std::memchr(base, '\n', end_ - begin_) : nullptr;
        if (lf != nullptr) {
            const std::size_t size = std::size_t(static_cast<const char*>(lf) - base);
            begin_ += size + 1;
            ++lineNumber_;
            return DropCarriageReturns(base, size);
        }
        return ReadLineAcrossBlocks();
    }
    // Returns true when no byte of the text is left to read.
    bool AtEnd() noexcept { return begin_ == end_ && AtEndAfterFill(); }
    // Returns true when the source reported a read error; the text then counts as ended.
    bool Failed() const noexcept { return failed_; }
    // Returns the reason of the read failure.
    std::string ErrorText() const { return failed_ ? source_.ErrorText() : std::string(); }
    // Returns the number of bytes taken from the source so far, minus those not yet read.
    std::uint64_t Position() const noexcept { return taken_ - (end_ - begin_); }
    // Returns the 1-based number of the last line read (0 before the first one).
    std::int64_t LineNumber() const noexcept { return lineNumber_; }

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
    std::string_view ReadLineAcrossBlocks() noexcept;
    bool AtEndAfterFill() noexcept;
    // Moves the unread bytes to the front and appends one block from the source.
    void Fill() noexcept;
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
    bool skippingOverlong_ = false;  // dropping the tail of a line past kMaxLineLength
};

} // namespace quarrow
