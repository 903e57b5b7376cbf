#pragma once
// The DXF files of one folder as the file list shows them: names, size and date texts, and the
// three sort orders. No widgets here, so every rule is tested without a display.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quarrow {

struct DxfFileEntry {
    std::string Name;               // file name without folder and without ".dxf"
    std::string Extension = "dxf";  // as written: "dxf", "DXF", "Dxf"
    std::string SizeText;           // "1 KB" up to 1023 bytes, "2 KB" from 1024
    std::string DateText;           // "mm/dd/yyyy hh:nn" with the user's separators
    std::int64_t Modified = 0;      // seconds since the epoch, to two seconds
    std::int32_t ImageIndex = 0;
    std::int64_t Size = 0;
};

enum class FileListColumn { Name = 0, Modified = 1, Size = 2 };

// The user's date and time separators (taken from the locale by the caller).
struct DateSeparators {
    char Date = '/';
    char Time = ':';
};

// Returns true for "dxf" in any letter case (drawings from Windows are often "*.DXF").
bool IsDxfExtension(std::string_view extension) noexcept;

// Returns the size text: bytes integer-divided by 1024, plus 1, and " KB".
std::string FileSizeText(std::int64_t bytes);

// Returns "mm/dd/yyyy hh:nn" for a local time given as broken-down fields.
std::string FileDateText(int year, int month, int day, int hour, int minute,
                         DateSeparators separators);

// Lists the files of a folder whose extension is exactly "dxf" (case included), in the order
// the file system gives them; a folder that cannot be read gives an empty list.
std::vector<DxfFileEntry> ListDxfFiles(const std::string& folder, DateSeparators separators);

// Returns <0, 0 or >0 as a sorts before, with or after b in ascending order of the column.
int CompareDxfFileEntries(const DxfFileEntry& a, const DxfFileEntry& b, FileListColumn column);

// Sorts stably by a column; descending reverses the comparison, not the equal rows' order.
void SortDxfFileEntries(std::vector<DxfFileEntry>& entries, FileListColumn column, bool ascending);

// Returns the selection count text: "1 file selected.", "0 file selected.", "3 files selected."
std::string SelectionCountText(std::int64_t selected);

}  // namespace quarrow
