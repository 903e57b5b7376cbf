#include "engine/DxfFileList.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/TempDir.h"

namespace quarrow {
namespace {

std::vector<std::string> Names(const std::vector<DxfFileEntry>& entries) {
    std::vector<std::string> names;
    for (const auto& e : entries)
        names.push_back(e.Name);
    return names;
}

TEST(DxfFileListTest, ListsFilesWithTheDxfExtensionInAnyLetterCase) {
    test::TempDir dir;
    for (const char* name :
         {"a.dxf", "B.DXF", "c.dxf.bak", "d.txt", "site.old.dxf", "dxf", "Mixed.Dxf"})
        test::WriteFileBytes(dir.Path() / name, "0\nEOF\n");
    std::filesystem::create_directory(dir.Path() / "e.dxf");
    test::WriteFileBytes(dir.Path() / "big.dxf", std::string(1024, 'x'));

    auto entries = ListDxfFiles(dir.Path().string(), {'-', '.'});
    SortDxfFileEntries(entries, FileListColumn::Name, true);
    EXPECT_EQ(Names(entries), (std::vector<std::string>{"a", "B", "big", "Mixed", "site.old"}));
    EXPECT_EQ(entries[1].Extension, "DXF");
    EXPECT_EQ(entries[3].Extension, "Dxf");
    EXPECT_EQ(entries[0].SizeText, "1 KB");
    EXPECT_EQ(entries[2].SizeText, "2 KB");
    EXPECT_EQ(entries[0].DateText.size(), 16u);
    EXPECT_EQ(entries[0].DateText[2], '-');
    EXPECT_EQ(entries[0].DateText[13], '.');
    EXPECT_EQ(entries[0].Modified % 2, 0);

    EXPECT_TRUE(ListDxfFiles((dir.Path() / "missing").string(), {}).empty());
}

TEST(DxfFileListTest, SizeAndDateTexts) {
    struct Case {
        std::int64_t bytes;
        const char* text;
    };
    // clang-format off
    const Case cases[] = {{0, "1 KB"}, {1023, "1 KB"}, {1024, "2 KB"},
                          {3221225472LL, "3145729 KB"}};
    // clang-format on
    for (const Case& c : cases)
        EXPECT_EQ(FileSizeText(c.bytes), c.text) << c.bytes;
    EXPECT_EQ(FileDateText(2026, 3, 7, 9, 5, {}), "03/07/2026 09:05");
    EXPECT_EQ(FileDateText(2026, 12, 31, 23, 59, {'.', ':'}), "12.31.2026 23:59");
}

TEST(DxfFileListTest, SortsAreStableAndFollowTheColumnRules) {
    auto entry = [](std::string name, std::int64_t size, std::int64_t modified) {
        DxfFileEntry e;
        e.Name = std::move(name);
        e.Size = size;
        e.Modified = modified;
        return e;
    };
    // "_" sorts after the letters, a prefix sorts first, letters ignore case; equal sizes
    // keep their order in both directions; a 3 GiB file sorts after a 2 GiB one.
    std::vector<DxfFileEntry> rows = {entry("b_", 3221225472LL, 30), entry("Ba", 10, 10),
                                      entry("b", 2147483648LL, 20), entry("a", 10, 40)};
    SortDxfFileEntries(rows, FileListColumn::Name, true);
    EXPECT_EQ(Names(rows), (std::vector<std::string>{"a", "b", "Ba", "b_"}));
    SortDxfFileEntries(rows, FileListColumn::Size, true);
    EXPECT_EQ(Names(rows), (std::vector<std::string>{"a", "Ba", "b", "b_"}));
    SortDxfFileEntries(rows, FileListColumn::Size, false);
    EXPECT_EQ(Names(rows), (std::vector<std::string>{"b_", "b", "a", "Ba"}));
    SortDxfFileEntries(rows, FileListColumn::Modified, false);
    EXPECT_EQ(Names(rows), (std::vector<std::string>{"a", "b_", "b", "Ba"}));
}

TEST(DxfFileListTest, SelectionCountText) {
    EXPECT_EQ(SelectionCountText(0), "0 file selected.");
    EXPECT_EQ(SelectionCountText(1), "1 file selected.");
    EXPECT_EQ(SelectionCountText(3), "3 files selected.");
}

}  // namespace
}  // namespace quarrow
