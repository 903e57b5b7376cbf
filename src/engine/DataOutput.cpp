#include "engine/DataOutput.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace quarrow {

DataOutput::DataOutput() {
    Grow(kFlushSize + 64 * 1024);
}

DataOutput::~DataOutput() {
    if (file_ != nullptr)
        std::fclose(file_);
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

bool DataOutput::Open(const std::string& path) {
    // A named pipe of that name would block the open until some program reads from it (the
    // run would hang), and a socket or a disk device is no place for a Data file. Devices such
    // as /dev/null stay allowed.
    std::error_code ec;
    const auto status = std::filesystem::status(path, ec);
    if (!ec && (std::filesystem::is_fifo(status) || std::filesystem::is_socket(status) ||
                std::filesystem::is_block_file(status))) {
        error_ = "it is not a regular file";
        return false;
    }
    file_ = std::fopen(path.c_str(), "wb");
    if (file_ == nullptr) {
        error_ = std::strerror(errno);
        return false;
    }
    // Our own buffer already makes big blocks; a second copy in stdio buys nothing.
    std::setvbuf(file_, nullptr, _IONBF, 0);
    return true;
}

bool DataOutput::Flush() noexcept {
    if (file_ == nullptr || size_ == 0)
        return true;
    if (std::fwrite(data_.get(), 1, size_, file_) != size_) {
        error_ = errno != 0 ? std::strerror(errno) : "write failed";
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
        error_ = std::strerror(errno);
        ok = false;
    }
    file_ = nullptr;
    return ok;
}

} // namespace quarrow
