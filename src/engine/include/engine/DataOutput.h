#pragma once
// The Data file being written: records collect in a large buffer that goes to the file in big
// blocks, a temporary file that takes the Data file's name only once complete. Without a file,
// everything stays in the buffer (tests read it there).

#include <cstddef>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

namespace quarrow {

class DataOutput {
public:
    static constexpr std::size_t kFlushSize = std::size_t(1) << 20;

    DataOutput();
    ~DataOutput();
    DataOutput(const DataOutput&) = delete;
    DataOutput& operator=(const DataOutput&) = delete;

    // Starts the Data file at path: the records go to a new temporary file beside it, which
    // Close renames over path, so an earlier file of that name stays whole until the new one
    // is complete. Returns false (with ErrorText set) when the file cannot be created, or when
    // the earlier file may not be written (read-only).
    [[nodiscard]] bool Open(const std::string& path);
    // The text not yet written.
    std::string_view Buffer() const noexcept { return {data_.get(), size_}; }
    // Forgets the text not yet written (a buffer without a file, used again).
    void Clear() noexcept { size_ = 0; }
    // Appends text to the buffer.
    void Append(std::string_view text);
    // Returns room for `size` more bytes at the end of the buffer, so a record can be written
    // through a pointer without a check per piece; Commit keeps what was written there.
    char* Room(std::size_t size) {
        if (capacity_ - size_ < size)
            Grow(size);
        return data_.get() + size_;
    }
    // Keeps the bytes written into the room up to `end`.
    void Commit(const char* end) noexcept { size_ = static_cast<std::size_t>(end - data_.get()); }
    // Writes the buffer once it holds kFlushSize bytes; returns false when writing failed.
    [[nodiscard]] bool FlushIfFull() noexcept { return size_ < kFlushSize || Flush(); }
    // Writes the buffer to the file; returns false when writing failed.
    [[nodiscard]] bool Flush() noexcept;
    // Writes what is left, closes the file and puts it in place of the earlier one; returns
    // false when any of it failed, and then leaves the earlier file as it was.
    [[nodiscard]] bool Close() noexcept;
    // Drops the file being written: the earlier file of that name stays as it was. Also done by
    // the destructor of an output that was not closed.
    void Discard() noexcept;
    const std::string& ErrorText() const noexcept { return error_; }

private:
    void Grow(std::size_t size);

    std::FILE* file_ = nullptr;
    std::string target_;     // the Data file's path (a link's target)
    std::string temporary_;  // the file written until Close; empty when writing in place
    std::unique_ptr<char[]> data_;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
    std::string error_;
};

}  // namespace quarrow
