#include "cli/ShippedData.h"

#ifdef _WIN32
#include <windows.h>
#endif

#include <iterator>
#include <system_error>

namespace quarrow {
namespace {

namespace fs = std::filesystem;

fs::path ExecutablePath() {
#ifdef _WIN32
    wchar_t buffer[32768];
    const DWORD size = GetModuleFileNameW(nullptr, buffer, DWORD(std::size(buffer)));
    if (size == 0 || size >= std::size(buffer))
        return {};
    return fs::path(std::wstring(buffer, size));
#else
    std::error_code ec;
    fs::path path = fs::read_symlink("/proc/self/exe", ec);
    return ec ? fs::path() : path;
#endif
}

}  // namespace

std::vector<fs::path> ShippedDataFolders() {
    std::vector<fs::path> folders;
    if (const fs::path exe = ExecutablePath(); !exe.empty()) {
        folders.push_back(exe.parent_path());
        folders.push_back(exe.parent_path().parent_path() / "share" / "quarrow");
    }
    folders.emplace_back(QUARROW_INSTALL_DATADIR);
    return folders;
}

fs::path FindShippedFile(std::string_view name, const std::vector<fs::path>& folders) {
    for (const fs::path& folder : folders) {
        std::error_code ec;
        const fs::path candidate = folder / name;
        if (fs::is_regular_file(candidate, ec))
            return candidate;
    }
    return {};
}

}  // namespace quarrow
