#include "engine/ByteSource.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>

namespace quarrow {

std::ptrdiff_t MemoryByteSource::Read(char* buffer, std::size_t size) noexcept {
    const std::size_t count = std::min(size, bytes_.size() - position_);
    if (count > 0)
        std::memcpy(buffer, bytes_.data() + position_, count);
    position_ += count;
    return static_cast<std::ptrdiff_t>(count);
}

FileByteSource::~FileByteSource() {
    Close();
}

bool FileByteSource::Open(const std::string& path) {
    Close();
    error_.clear();
    std::error_code ec;
    // Only regular files: fopen succeeds on folders on some systems, and a device such as
    // /dev/zero or a pipe would feed the reader without end.
    if (!std::filesystem::is_regular_file(path, ec)) {
        error_ = ec ? ec.message() : std::string("not a regular file");
        return false;
    }
    file_ = std::fopen(path.c_str(), "rb");
    if (file_ == nullptr) {
        error_ = std::strerror(errno);
        return false;
    }
    const auto size = std::filesystem::file_size(path, ec);
    size_ = ec ? 0 : static_cast<std::uint64_t>(size);
    return true;
}

std::ptrdiff_t FileByteSource::Read(char* buffer, std::size_t size) noexcept {
    if (file_ == nullptr)
        return 0;
    const std::size_t count = std::fread(buffer, 1, size, file_);
    if (count == 0 && std::ferror(file_)) {
        error_ = std::strerror(errno);
        return -1;
    }
    return static_cast<std::ptrdiff_t>(count);
}

void FileByteSource::Close() noexcept {
    if (file_ != nullptr)
        std::fclose(file_);
    file_ = nullptr;
}

} // namespace quarrow
