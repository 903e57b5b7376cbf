#include "engine/DxfFileList.h"

#include <algorithm>
#include <chrono>
#include <ctime>
#include <filesystem>
#include <system_error>

namespace quarrow {
namespace {

void AppendTwoDigits(std::string& out, int value) {
    out += char('0' + (value / 10) % 10);
    out += char('0' + value % 10);
}

constexpr unsigned char UpperAscii(unsigned char c) noexcept {
    return c >= 'a' && c <= 'z' ? static_cast<unsigned char>(c - 'a' + 'A') : c;
}

// Local broken-down time of a file time; seconds are kept to two, as packed file dates keep
// them, so a copy on another file system sorts as the same time.
bool LocalFileTime(const std::filesystem::file_time_type& time, std::tm& local,
                   std::int64_t& seconds) {
    const auto system = std::chrono::file_clock::to_sys(time);
    const std::time_t t =
        std::chrono::system_clock::to_time_t(std::chrono::floor<std::chrono::seconds>(system));
#ifdef _WIN32
    if (localtime_s(&local, &t) != 0)
        return false;
#else
    if (localtime_r(&t, &local) == nullptr)
        return false;
#endif
    const auto whole = static_cast<std::int64_t>(t);
    seconds = whole - ((whole % 2) + 2) % 2;
    return true;
}

}  // namespace

std::string FileSizeText(std::int64_t bytes) {
    return std::to_string(bytes / 1024 + 1) + " KB";
}

std::string FileDateText(int year, int month, int day, int hour, int minute,
                         DateSeparators separators) {
    std::string text;
    AppendTwoDigits(text, month);
    text += separators.Date;
    AppendTwoDigits(text, day);
    text += separators.Date;
    text += std::to_string(year);
    text += ' ';
    AppendTwoDigits(text, hour);
    text += separators.Time;
    AppendTwoDigits(text, minute);
    return text;
}

bool IsDxfExtension(std::string_view extension) noexcept {
    return extension.size() == 3 && (extension[0] | 0x20) == 'd' && (extension[1] | 0x20) == 'x' &&
           (extension[2] | 0x20) == 'f';
}

std::vector<DxfFileEntry> ListDxfFiles(const std::string& folder, DateSeparators separators) {
    std::vector<DxfFileEntry> entries;
    std::error_code ec;
    std::filesystem::directory_iterator it(folder, ec);
    if (ec)
        return entries;
    for (const std::filesystem::directory_iterator end; it != end; it.increment(ec)) {
        if (ec)
            break;
        const auto& entry = *it;
        if (entry.is_directory(ec))
            continue;
        const std::string name = entry.path().filename().string();
        const std::size_t dot = name.rfind('.');
        if (dot == std::string::npos || !IsDxfExtension(std::string_view(name).substr(dot + 1)))
            continue;  // dxf in any letter case; dxf.bak is not listed

        DxfFileEntry row;
        row.Name = name.substr(0, dot);
        row.Extension = name.substr(dot + 1);
        const auto size = entry.file_size(ec);
        row.Size = ec ? 0 : static_cast<std::int64_t>(size);
        row.SizeText = FileSizeText(row.Size);
        std::tm local{};
        const auto time = entry.last_write_time(ec);
        if (!ec && LocalFileTime(time, local, row.Modified))
            row.DateText = FileDateText(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                                        local.tm_hour, local.tm_min, separators);
        entries.push_back(std::move(row));
    }
    return entries;
}

int CompareDxfFileEntries(const DxfFileEntry& a, const DxfFileEntry& b, FileListColumn column) {
    switch (column) {
    case FileListColumn::Name: {
        const std::size_t n = std::min(a.Name.size(), b.Name.size());
        for (std::size_t i = 0; i < n; ++i) {
            const int ca = UpperAscii(static_cast<unsigned char>(a.Name[i]));
            const int cb = UpperAscii(static_cast<unsigned char>(b.Name[i]));
            if (ca != cb)
                return ca - cb;
        }
        return a.Name.size() < b.Name.size() ? -1 : (a.Name.size() > b.Name.size() ? 1 : 0);
    }
    case FileListColumn::Modified:
        return a.Modified < b.Modified ? -1 : (a.Modified > b.Modified ? 1 : 0);
    case FileListColumn::Size: return a.Size < b.Size ? -1 : (a.Size > b.Size ? 1 : 0);
    }
    return 0;
}

void SortDxfFileEntries(std::vector<DxfFileEntry>& entries, FileListColumn column, bool ascending) {
    std::stable_sort(entries.begin(), entries.end(),
                     [&](const DxfFileEntry& a, const DxfFileEntry& b) {
                         const int c = CompareDxfFileEntries(a, b, column);
                         return ascending ? c < 0 : c > 0;
                     });
}

std::string SelectionCountText(std::int64_t selected) {
    return std::to_string(selected) + (selected >= 2 ? " files selected." : " file selected.");
}

}  // namespace quarrow
