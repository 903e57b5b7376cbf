#include "detail/DxfLineReader.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace quarrow {

DxfLineReader::DxfLineReader(ByteSource& source, std::size_t blockSize)
    : source_(source), blockSize_(std::max<std::size_t>(blockSize, 1)) {
    Reserve(std::max<std::size_t>(2 * blockSize_, 256));
}

bool DxfLineReader::Restart(std::uint64_t offset, std::int64_t lineNumber) noexcept {
    if (!source_.Seek(offset))
        return false;
    begin_ = 0;
    end_ = 0;
    taken_ = offset;
    lineNumber_ = lineNumber;
    sourceDone_ = false;
    failed_ = false;
    outOfMemory_ = false;
    skippingOverlong_ = false;
    return true;
}

bool DxfLineReader::Reserve(std::size_t capacity) noexcept {
    if (capacity <= capacity_)
        return true;
    std::unique_ptr<char[]> bigger(new (std::nothrow) char[capacity]);
    if (!bigger)
        return false;
    if (end_ > begin_)
        std::memcpy(bigger.get(), buffer_.get() + begin_, end_ - begin_);
    end_ -= begin_;
    begin_ = 0;
    buffer_ = std::move(bigger);
    capacity_ = capacity;
    return true;
}

void DxfLineReader::Fill() noexcept {
    if (sourceDone_)
        return;
    if (begin_ > 0) {
        std::memmove(buffer_.get(), buffer_.get() + begin_, end_ - begin_);
        end_ -= begin_;
        begin_ = 0;
    }
    if (end_ + blockSize_ > capacity_ && !Reserve(std::max(capacity_ * 2, end_ + blockSize_))) {
        failed_ = true;
        outOfMemory_ = true;
        sourceDone_ = true;
        return;
    }
    const std::ptrdiff_t count = source_.Read(buffer_.get() + end_, blockSize_);
    if (count <= 0) {
        failed_ = count < 0;
        sourceDone_ = true;
        if (lineEnds_ == LineEnds::PendingCr)
            DecideLineEnds(0);
        return;
    }
    std::size_t added = static_cast<std::size_t>(count);
    // Ctrl-Z ends the text: what follows it is never read (nor counted as read).
    if (const void* eof = std::memchr(buffer_.get() + end_, 26, added)) {
        added = static_cast<std::size_t>(static_cast<const char*>(eof) - (buffer_.get() + end_));
        sourceDone_ = true;
    }
    taken_ += added;
    if (lineEnds_ == LineEnds::CarriageReturn)
        SwapLineEnds(buffer_.get() + end_, added);
    else if (lineEnds_ != LineEnds::LineFeed)
        DecideLineEnds(added);
    if (skippingOverlong_) {
        // Keep only what follows the line feed that ends the overlong line.
        const char* from = buffer_.get() + end_;
        if (const void* lf = std::memchr(from, '\n', added)) {
            const std::size_t skip = static_cast<std::size_t>(static_cast<const char*>(lf) - from);
            std::memmove(buffer_.get() + end_, from + skip, added - skip);
            added -= skip;
            skippingOverlong_ = false;
        } else {
            added = 0;
        }
    }
    end_ += added;
}

void SwapLineEnds(char* bytes, std::size_t size) noexcept {
    // CR ^ LF flips one into the other; without branches the loop is vectorised.
    constexpr unsigned char kFlip = '\r' ^ '\n';
    for (std::size_t i = 0; i < size; ++i) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        bytes[i] = static_cast<char>(c ^ ((c == '\r') | (c == '\n') ? kFlip : 0));
    }
}

void DxfLineReader::DecideLineEnds(std::size_t added) noexcept {
    const char* p = buffer_.get() + end_;
    const char* const e = p + added;
    if (lineEnds_ == LineEnds::Undecided) {
        while (p < e && *p != '\r' && *p != '\n')
            ++p;
        if (p == e)
            return;
        if (*p == '\n') {
            lineEnds_ = LineEnds::LineFeed;
            return;
        }
        lineEnds_ = LineEnds::PendingCr;
    }
    while (p < e && *p == '\r')
        ++p;
    if (p < e && *p == '\n') {
        lineEnds_ = LineEnds::LineFeed;
        return;
    }
    if (p == e && !sourceDone_)
        return;  // still a run of CRs: the next block decides
    // A CR followed by another byte, or by the end of the text. No line was split yet (none
    // ended), so every unread byte is of the text still to split.
    lineEnds_ = LineEnds::CarriageReturn;
    SwapLineEnds(buffer_.get() + begin_, end_ + added - begin_);
}

std::string_view DxfLineReader::DropInnerCarriageReturns(char* line, std::size_t size) noexcept {
    return {line, static_cast<std::size_t>(std::remove(line, line + size, '\r') - line)};
}

std::string_view DxfLineReader::NextLineAcrossBlocks() noexcept {
    if (AtEnd())
        return {};
    std::size_t searched = 0;  // bytes of the line already searched for a line feed
    std::size_t lineEnd = 0;
    std::size_t next = 0;
    for (;;) {
        char* const base = buffer_.get() + begin_;
        const std::size_t length = end_ - begin_;
        if (const void* lf = std::memchr(base + searched, '\n', length - searched)) {
            lineEnd = begin_ + static_cast<std::size_t>(static_cast<const char*>(lf) - base);
            next = lineEnd + 1;
            break;
        }
        searched = length;
        if (length >= kMaxLineLength && !skippingOverlong_ && !sourceDone_) {
            // Cut the line here and drop its bytes up to the next line feed.
            end_ = begin_ + kMaxLineLength;
            skippingOverlong_ = true;
            searched = kMaxLineLength;
        }
        if (sourceDone_) {
            lineEnd = end_;
            next = end_;
            break;
        }
        const LineEnds before = lineEnds_;
        Fill();
        if (lineEnds_ != before)
            searched = 0;  // the CRs searched are line feeds now
    }
    ++lineNumber_;
    char* const line = buffer_.get() + begin_;
    // A line feed found in the block that crossed the limit ends a line longer than the
    // limit too: cut it at the same length as one cut while reading on, so the result does
    // not depend on the block size or on where the line starts.
    const std::size_t size = std::min(lineEnd - begin_, kMaxLineLength);
    begin_ = next;
    return DropCarriageReturns(line, size);
}

void DxfLineReader::SkipByteOrderMark() noexcept {
    if (Position() != 0 || lineNumber_ != 0)
        return;
    while (end_ - begin_ < 3 && !sourceDone_)
        Fill();
    if (end_ - begin_ >= 3 && std::memcmp(buffer_.get() + begin_, "\xEF\xBB\xBF", 3) == 0)
        begin_ += 3;
}

bool DxfLineReader::AtEndAfterFill() noexcept {
    while (begin_ == end_ && !sourceDone_)
        Fill();
    return begin_ == end_;
}

}  // namespace quarrow
