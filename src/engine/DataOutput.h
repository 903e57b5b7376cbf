#pragma once
// The Data file being written: records collect in a large buffer that goes to the file in big
// blocks. Without a file, everything stays in the buffer (tests read it there).

#include <cstdio>
#include <string>

namespace quarrow {

class DataOutput {
public:
    static constexpr std::size_t kFlushSize = std::size_t(1) << 20;

    DataOutput();
    ~DataOutput();
    DataOutput(const DataOutput&) = delete;
    DataOutput& operator=(const DataOutput&) = delete;

    // Creates or replaces the file; returns false (with ErrorText set) when that fails.
    [[nodiscard]] bool Open(const std::string& path);
    // The text not yet written; records are appended here.
    std::string& Buffer() noexcept { return buffer_; }
    // Writes the buffer once it holds kFlushSize bytes; returns false when writing failed.
    [[nodiscard]] bool FlushIfFull() noexcept {
        return buffer_.size() < kFlushSize || Flush();
    }
    // Writes the buffer to the file; returns false when writing failed.
    [[nodiscard]] bool Flush() noexcept;
    // Writes what is left and closes the file; returns false when either failed.
    [[nodiscard]] bool Close() noexcept;
    const std::string& ErrorText() const noexcept { return error_; }

private:
    std::FILE* file_ = nullptr;
    std::string buffer_;
    std::string error_;
};

} // namespace quarrow
