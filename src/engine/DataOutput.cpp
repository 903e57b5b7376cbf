#include "engine/DataOutput.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <optional>
#include <system_error>
#include <thread>

#include "config/FileReplace.h"

#if defined(__linux__)
#include <fcntl.h>  // AT_FDCWD
#endif

namespace quarrow {

DataOutput::DataOutput() {
    Grow(kFlushSize + 64 * 1024);
}

DataOutput::~DataOutput() {
    Discard();
}

void DataOutput::Grow(std::size_t size) {
    // Twice the need at least: without a file (tests) the buffer keeps everything.
    const std::size_t capacity = std::max(capacity_ * 2, size_ + size);
    std::unique_ptr<char[]> bigger(new char[capacity]);
    if (size_ > 0)
        std::memcpy(bigger.get(), data_.get(), size_);
    data_ = std::move(bigger);
    capacity_ = capacity;
}

void DataOutput::Append(std::string_view text) {
    char* to = Room(text.size());
    if (!text.empty())
        std::memcpy(to, text.data(), text.size());
    Commit(to + text.size());
}

namespace {

// Gives the temporary file the Data file's name; returns 0 or the errno value. A rename over an
// existing file makes ext4 write the new file's blocks out there and then (its guard for
// programs that replace files without syncing): 15 ms of a 160 ms run for a 70 MB Data file.
// Exchanging the two names instead is as atomic and skips that; the earlier file, now under the
// temporary name, is removed afterwards (after a crash in between it stays there, whole).
int PutInPlace(const std::string& temporary, const std::string& target) {
#if defined(__linux__) && defined(RENAME_EXCHANGE)
    if (::renameat2(AT_FDCWD, temporary.c_str(), AT_FDCWD, target.c_str(), RENAME_EXCHANGE) == 0) {
        std::remove(temporary.c_str());
        return 0;
    }
    // No earlier file to exchange with, or a file system without exchange: a plain rename.
#endif
#ifdef _WIN32
    // While another program has the earlier file open (a second run replacing it, a virus
    // scanner), Windows refuses the rename for a moment; try again for up to a second.
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::error_code busy;
        std::filesystem::rename(temporary, target, busy);
        if (busy != std::errc::permission_denied)
            return busy.value();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
#endif
    std::error_code ec;
    std::filesystem::rename(temporary, target, ec);
    return ec.value();
}

}  // namespace

bool DataOutput::Open(const std::string& path) {
    namespace fs = std::filesystem;
    Discard();
    error_.clear();
    // A named pipe of that name would block the open until some program reads from it (the
    // run would hang), and a socket or a disk device is no place for a Data file. Character
    // devices such as /dev/null are written in place: there is nothing to keep safe.
    std::error_code ec;
    const auto status = fs::status(path, ec);
    if (!ec && (fs::is_fifo(status) || fs::is_socket(status) || fs::is_block_file(status))) {
        error_ = "it is not a regular file";
        return false;
    }
    if (!ec && fs::is_character_file(status)) {
        file_ = std::fopen(path.c_str(), "wb");
        if (file_ == nullptr) {
            error_ = SystemErrorText(errno);
            return false;
        }
        std::setvbuf(file_, nullptr, _IONBF, 0);
        return true;
    }
    // Through a symbolic link the file it names is replaced, the link stays.
    target_ = path;
    if (fs::is_symlink(fs::symlink_status(path, ec))) {
        const fs::path link = fs::read_symlink(path, ec);
        if (!ec)
            target_ = (link.is_absolute() ? link : fs::path(path).parent_path() / link).string();
    }
    // A file the user made read-only stays as it is, as writing it in place would.
    std::optional<fs::perms> previous;
    if (fs::exists(fs::status(target_, ec))) {
        if (std::FILE* probe = std::fopen(target_.c_str(), "r+b")) {
            std::fclose(probe);
            previous = fs::status(target_, ec).permissions();
        } else {
            error_ = SystemErrorText(errno);
            return false;
        }
    }
    // The records go to a file of their own beside the Data file (a rename only replaces a
    // file within one file system) until the drawing has been read to its end.
    file_ = CreateUniqueFile(target_ + ".quarrow-", ".tmp", temporary_);
    if (file_ == nullptr) {
        error_ = SystemErrorText(errno);
        temporary_.clear();
        return false;
    }
    if (previous)
        fs::permissions(temporary_, *previous, ec);
    // Our own buffer already makes big blocks; a second copy in stdio buys nothing.
    std::setvbuf(file_, nullptr, _IONBF, 0);
    return true;
}

bool DataOutput::Flush() noexcept {
    if (file_ == nullptr || size_ == 0)
        return true;
    if (std::fwrite(data_.get(), 1, size_, file_) != size_) {
        error_ = errno != 0 ? SystemErrorText(errno) : "write failed";
        return false;
    }
    size_ = 0;
    return true;
}

bool DataOutput::Close() noexcept {
    if (file_ == nullptr)
        return true;
    bool ok = Flush();
    if (std::fclose(file_) != 0 && ok) {
        error_ = SystemErrorText(errno);
        ok = false;
    }
    file_ = nullptr;
    if (temporary_.empty())
        return ok;
    if (ok) {
        // The complete file takes the old one's place in one step.
        const int error = PutInPlace(temporary_, target_);
        if (error != 0) {
            error_ = SystemErrorText(error);
            ok = false;
        }
    }
    if (!ok)
        std::remove(temporary_.c_str());
    temporary_.clear();
    return ok;
}

void DataOutput::Discard() noexcept {
    size_ = 0;
    if (file_ != nullptr) {
        std::fclose(file_);
        file_ = nullptr;
    }
    if (!temporary_.empty()) {
        std::remove(temporary_.c_str());
        temporary_.clear();
    }
}

}  // namespace quarrow
