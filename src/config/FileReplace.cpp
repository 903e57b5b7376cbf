#include "config/FileReplace.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>
#include <system_error>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#endif

namespace quarrow {

std::FILE* CreateUniqueFile(const std::string& prefix, std::string_view suffix, std::string& path) {
    static std::atomic<std::uint64_t> sequence{0};
    static const std::uint64_t seed = [] {
        std::random_device device;
        return (std::uint64_t(device()) << 32) ^ device() ^
               std::uint64_t(std::chrono::steady_clock::now().time_since_epoch().count());
    }();
    for (int attempt = 0; attempt < 16; ++attempt) {
        const std::uint64_t value = seed + 0x9E3779B97F4A7C15ull * sequence.fetch_add(1);
        char hex[17];
        std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(value));
        path = prefix + hex + std::string(suffix);
#ifdef _WIN32
        // The C runtime of mingw-w64 knows no "x" mode; _O_EXCL says the same.
        const int fd =
            ::_open(path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
        if (fd >= 0) {
            if (std::FILE* file = ::_fdopen(fd, "wb"))
                return file;
            ::_close(fd);
            return nullptr;
        }
#else
        if (std::FILE* file = std::fopen(path.c_str(), "wbx"))  // "x": a new file only
            return file;
#endif
        if (errno != EEXIST)
            return nullptr;
    }
    return nullptr;  // errno: EEXIST
}

ReplaceResult ReplaceFileContents(const std::string& path, std::string_view bytes) {
    // A rename replaces a read-only file as readily as any other, where writing the file itself
    // is refused; the user may have made it read-only to keep it. Ask the file.
    if (std::FILE* existing = std::fopen(path.c_str(), "r+b")) {
        std::fclose(existing);
    } else if (errno == EACCES || errno == EPERM || errno == EROFS) {
        return {ReplaceStep::Refused, errno};
    }

    std::string tempPath;
    std::FILE* file = CreateUniqueFile(path + ".quarrow-", ".tmp", tempPath);
    if (file == nullptr)
        return {ReplaceStep::Create, errno};

    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    int error = written ? 0 : errno;
    if (std::fclose(file) != 0 && error == 0)
        error = errno;
    if (!written && error == 0)
        error = EIO;
    if (error != 0) {
        std::remove(tempPath.c_str());
        return {ReplaceStep::Write, error};
    }
    std::error_code ec;
    std::filesystem::rename(tempPath, path, ec);
    if (ec) {
        std::remove(tempPath.c_str());
        return {ReplaceStep::Rename, ec.value()};
    }
    return {};
}

std::string SystemErrorText(int error) {
#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 32))
    // The untranslated text: the desktop program's locale must not change report lines.
    if (const char* text = strerrordesc_np(error))
        return text;
#endif
    return std::generic_category().message(error);
}

}  // namespace quarrow
