#include "detail/ByteSource.h"

#include "config/FileReplace.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>

#include <fcntl.h>
#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace quarrow {
namespace {

// Reads at an offset without moving a shared file position: the second thread reads the same
// file at the same time.
std::ptrdiff_t ReadAt(int fd, char* buffer, std::size_t size, std::uint64_t offset) noexcept {
#ifdef _WIN32
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    DWORD got = 0;
    const DWORD want = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30));
    const auto handle = reinterpret_cast<HANDLE>(::_get_osfhandle(fd));
    if (::ReadFile(handle, buffer, want, &got, &at))
        return static_cast<std::ptrdiff_t>(got);
    if (::GetLastError() == ERROR_HANDLE_EOF)
        return 0;
    errno = EIO;
    return -1;
#else
    return ::pread(fd, buffer, size, static_cast<off_t>(offset));
#endif
}

}  // namespace

std::ptrdiff_t MemoryByteSource::Read(char* buffer, std::size_t size) noexcept {
    const std::size_t count = std::min(size, bytes_.size() - position_);
    if (count > 0)
        std::memcpy(buffer, bytes_.data() + position_, count);
    position_ += count;
    return static_cast<std::ptrdiff_t>(count);
}

bool MemoryByteSource::Seek(std::uint64_t offset) noexcept {
    position_ = static_cast<std::size_t>(std::min<std::uint64_t>(offset, bytes_.size()));
    return true;
}

std::unique_ptr<ByteSource> MemoryByteSource::OpenAnother() const {
    return std::make_unique<MemoryByteSource>(bytes_);
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
        error_ = ec ? SystemErrorText(ec.value()) : std::string("not a regular file");
        return false;
    }
#ifdef _WIN32
    fd_ = ::_open(path.c_str(), _O_RDONLY | _O_BINARY | _O_NOINHERIT);
#else
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
#endif
    if (fd_ < 0) {
        error_ = SystemErrorText(errno);
        return false;
    }
    ownsFd_ = true;
    position_ = 0;
    const auto size = std::filesystem::file_size(path, ec);
    size_ = ec ? 0 : static_cast<std::uint64_t>(size);
    return true;
}

std::ptrdiff_t FileByteSource::Read(char* buffer, std::size_t size) noexcept {
    if (fd_ < 0)
        return 0;
    // Fill as much of the buffer as the file gives, as fread did: the reader's blocks stay
    // whole, and an interrupted call is simply repeated.
    std::size_t count = 0;
    while (count < size) {
        const std::ptrdiff_t got = ReadAt(fd_, buffer + count, size - count, position_ + count);
        if (got > 0) {
            count += static_cast<std::size_t>(got);
            continue;
        }
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0 && count == 0) {
            error_ = std::strerror(errno);
            return -1;
        }
        break;
    }
    position_ += count;
    return static_cast<std::ptrdiff_t>(count);
}

bool FileByteSource::Seek(std::uint64_t offset) noexcept {
    if (fd_ < 0)
        return false;
    position_ = offset;
    return true;
}

std::unique_ptr<ByteSource> FileByteSource::OpenAnother() const {
    if (fd_ < 0)
        return nullptr;
    auto other = std::make_unique<FileByteSource>();
    other->fd_ = fd_;
    other->ownsFd_ = false;
    other->size_ = size_;
    return other;
}

void FileByteSource::Close() noexcept {
    if (fd_ >= 0 && ownsFd_) {
#ifdef _WIN32
        ::_close(fd_);
#else
        ::close(fd_);
#endif
    }
    fd_ = -1;
    ownsFd_ = false;
}

}  // namespace quarrow
