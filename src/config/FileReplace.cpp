#include "config/FileReplace.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace quarrow {

ReplaceResult ReplaceFileContents(const std::string& path, std::string_view bytes) {
    // A rename replaces a read-only file as readily as any other, where writing the file itself
    // is refused; the user may have made it read-only to keep it. Ask the file.
    if (std::FILE* existing = std::fopen(path.c_str(), "r+b")) {
        std::fclose(existing);
    } else if (errno == EACCES || errno == EPERM || errno == EROFS) {
        return {ReplaceStep::Refused, errno};
    }

    std::string tempPath;
    std::FILE* file = nullptr;
    for (int attempt = 0; attempt < 100 && file == nullptr; ++attempt) {
        tempPath = path + ".tmp" + std::to_string(attempt);
        file = std::fopen(tempPath.c_str(), "wbx");
        if (file == nullptr && errno != EEXIST)
            return {ReplaceStep::Create, errno};
    }
    if (file == nullptr)
        return {ReplaceStep::Create, EEXIST};

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

} // namespace quarrow
