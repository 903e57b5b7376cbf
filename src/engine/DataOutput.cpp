#include "engine/DataOutput.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace quarrow {

DataOutput::DataOutput() {
    buffer_.reserve(kFlushSize + 4096);
}

DataOutput::~DataOutput() {
    if (file_ != nullptr)
        std::fclose(file_);
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
    if (file_ == nullptr || buffer_.empty())
        return true;
    if (std::fwrite(buffer_.data(), 1, buffer_.size(), file_) != buffer_.size()) {
        error_ = errno != 0 ? std::strerror(errno) : "write failed";
        return false;
    }
    buffer_.clear();
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
