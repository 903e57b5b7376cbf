#pragma once
// Where the DXF line reader gets its bytes from: an open file, or bytes already in memory.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace quarrow {

// A forward-only supply of bytes.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Copies up to size bytes into buffer; returns how many (0 at the end), or -1 when reading
    // failed (the reason is then in ErrorText).
    virtual std::ptrdiff_t Read(char* buffer, std::size_t size) noexcept = 0;
    // Returns the reason of the last failed Read, or an empty text.
    virtual std::string ErrorText() const { return {}; }
};

// Bytes in memory; the caller keeps them alive while the source is read.
class MemoryByteSource final : public ByteSource {
public:
    explicit MemoryByteSource(std::string_view bytes) noexcept : bytes_(bytes) {}
    std::ptrdiff_t Read(char* buffer, std::size_t size) noexcept override;

private:
    std::string_view bytes_;
    std::size_t position_ = 0;
};

// A regular file opened read-only; opening fails for folders, devices, pipes and missing or
// unreadable files.
class FileByteSource final : public ByteSource {
public:
    FileByteSource() = default;
    ~FileByteSource() override;
    FileByteSource(const FileByteSource&) = delete;
    FileByteSource& operator=(const FileByteSource&) = delete;

    // Opens the file; returns false (with ErrorText set) when it cannot be read.
    [[nodiscard]] bool Open(const std::string& path);
    // Returns the file's size in bytes as found when it was opened.
    std::uint64_t Size() const noexcept { return size_; }
    std::ptrdiff_t Read(char* buffer, std::size_t size) noexcept override;
    std::string ErrorText() const override { return error_; }
    void Close() noexcept;

private:
    std::FILE* file_ = nullptr;
    std::uint64_t size_ = 0;
    std::string error_;
};

} // namespace quarrow
