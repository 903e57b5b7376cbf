#pragma once
// Where the DXF line reader gets its bytes from: an open file, or bytes already in memory.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
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
    // Returns the number of bytes of the whole source as known when it was opened (0 when
    // unknown).
    virtual std::uint64_t Size() const noexcept { return 0; }
    // Makes the next Read start at byte offset; returns false when the source cannot do that.
    virtual bool Seek(std::uint64_t offset) noexcept {
        (void)offset;
        return false;
    }
    // Returns a second, independent source over the same bytes starting at byte 0, which
    // another thread may read while this one is read; null when the source cannot.
    virtual std::unique_ptr<ByteSource> OpenAnother() const { return nullptr; }
};

// Bytes in memory; the caller keeps them alive while the source is read.
class MemoryByteSource final : public ByteSource {
public:
    explicit MemoryByteSource(std::string_view bytes) noexcept : bytes_(bytes) {}
    std::ptrdiff_t Read(char* buffer, std::size_t size) noexcept override;
    std::uint64_t Size() const noexcept override { return bytes_.size(); }
    bool Seek(std::uint64_t offset) noexcept override;
    std::unique_ptr<ByteSource> OpenAnother() const override;

private:
    std::string_view bytes_;
    std::size_t position_ = 0;
};

// A regular file opened read-only; opening fails for folders, devices, pipes and missing or
// unreadable files. Reads are positioned (pread), so the sources OpenAnother makes share the
// open file, not a file position, and never a path that might have been replaced meanwhile.
class FileByteSource final : public ByteSource {
public:
    FileByteSource() = default;
    ~FileByteSource() override;
    FileByteSource(const FileByteSource&) = delete;
    FileByteSource& operator=(const FileByteSource&) = delete;

    // Opens the file; returns false (with ErrorText set) when it cannot be read.
    [[nodiscard]] bool Open(const std::string& path);
    // Returns the file's size in bytes as found when it was opened.
    std::uint64_t Size() const noexcept override { return size_; }
    std::ptrdiff_t Read(char* buffer, std::size_t size) noexcept override;
    std::string ErrorText() const override { return error_; }
    bool Seek(std::uint64_t offset) noexcept override;
    // The other source reads the same open file; this one must outlive it.
    std::unique_ptr<ByteSource> OpenAnother() const override;
    void Close() noexcept;

private:
    int fd_ = -1;
    bool ownsFd_ = false;
    std::uint64_t size_ = 0;
    std::uint64_t position_ = 0;
    std::string error_;
};

}  // namespace quarrow
