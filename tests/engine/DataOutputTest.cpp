#include "engine/DataOutput.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "support/TempDir.h"

namespace quarrow {
namespace {

namespace fs = std::filesystem;
using test::ReadFileBytes;
using test::WriteFileBytes;

// The names in a folder, sorted, each followed by a blank.
std::string FileNames(const fs::path& dir) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    std::string text;
    for (const auto& name : names)
        text += name + " ";
    return text;
}

void WriteData(const fs::path& path, std::string_view bytes) {
    DataOutput out;
    ASSERT_TRUE(out.Open(path.string())) << out.ErrorText();
    out.Append(bytes);
    ASSERT_TRUE(out.Close()) << out.ErrorText();
}

TEST(DataOutputTest, AnEarlierDataFileIsReplacedAsTheUserSetItUp) {
    // The new file takes the earlier one's place (with its permissions); through a symbolic
    // link the file it names is replaced and the link stays; a second (hard) name of the
    // earlier file keeps the earlier bytes.
    struct Case {
        const char* name;
        std::function<fs::path(const fs::path& dir)> setUp;  // returns the Data path
        std::function<void(const fs::path& dir)> check;
    };
    // clang-format off
    const Case cases[] = {
        {"plain_file_keeps_its_permissions",
         [](const fs::path& dir) {
             WriteFileBytes(dir / "a.csv", "an older and longer Data file\r\n");
             fs::permissions(dir / "a.csv", fs::perms::owner_read | fs::perms::owner_write |
                                                fs::perms::group_read);
             return dir / "a.csv";
         },
         [](const fs::path& dir) {
             EXPECT_EQ(fs::status(dir / "a.csv").permissions(),
                       fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
         }},
        {"symbolic_link_kept",
         [](const fs::path& dir) {
             WriteFileBytes(dir / "target.csv", "old");
             fs::create_symlink(dir / "target.csv", dir / "a.csv");
             return dir / "a.csv";
         },
         [](const fs::path& dir) {
             EXPECT_TRUE(fs::is_symlink(dir / "a.csv"));
             EXPECT_EQ(ReadFileBytes(dir / "target.csv"), "1,2\r\n");
         }},
        {"second_name_keeps_the_earlier_bytes",
         [](const fs::path& dir) {
             WriteFileBytes(dir / "a.csv", "old");
             fs::create_hard_link(dir / "a.csv", dir / "b.csv");
             return dir / "a.csv";
         },
         [](const fs::path& dir) { EXPECT_EQ(ReadFileBytes(dir / "b.csv"), "old"); }},
        {"no_earlier_file", [](const fs::path& dir) { return dir / "a.csv"; },
         [](const fs::path&) {}},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
#ifdef _WIN32
        // Group permissions and symbolic links are of POSIX file systems.
        if (std::string_view(c.name) == "plain_file_keeps_its_permissions" ||
            std::string_view(c.name) == "symbolic_link_kept")
            continue;
#endif
        test::TempDir dir;
        const fs::path path = c.setUp(dir.Path());
        WriteData(path, "1,2\r\n");
        EXPECT_EQ(ReadFileBytes(path), "1,2\r\n");
        c.check(dir.Path());
        EXPECT_EQ(FileNames(dir.Path()).find(".tmp"), std::string::npos) << FileNames(dir.Path());
    }
}

TEST(DataOutputTest, AnUnfinishedFileLeavesTheEarlierOneWholeAndNoTemporaryFile) {
    const std::string earlier(100000, 'e');
    const std::function<void(DataOutput&)> endings[] = {
        [](DataOutput& out) { out.Discard(); },
        [](DataOutput&) {},  // the destructor, as when a scan ends on an exception
    };
    for (const auto& end : endings) {
        test::TempDir dir;
        const fs::path path = dir.Path() / "a.csv";
        WriteFileBytes(path, earlier);
        {
            DataOutput out;
            ASSERT_TRUE(out.Open(path.string())) << out.ErrorText();
            out.Append(std::string(3 * DataOutput::kFlushSize, 'n'));
            ASSERT_TRUE(out.Flush());
            EXPECT_TRUE(ReadFileBytes(path) == earlier) << "replaced before its end";
            end(out);
        }
        EXPECT_TRUE(ReadFileBytes(path) == earlier);
        EXPECT_EQ(FileNames(dir.Path()), "a.csv ");
    }
}

TEST(DataOutputTest, AReadOnlyEarlierFileIsRefusedAndKept) {
#ifndef _WIN32
    if (geteuid() == 0)
        GTEST_SKIP() << "root may write any file";
#endif
    test::TempDir dir;
    const fs::path path = dir.Path() / "a.csv";
    WriteFileBytes(path, "kept");
    fs::permissions(path, fs::perms::owner_read);
#ifdef _WIN32
    // Under wine run by root, the read-only file is writable as it is for root on Linux.
    if (std::FILE* probe = std::fopen(path.string().c_str(), "r+b")) {
        std::fclose(probe);
        GTEST_SKIP() << "this user may write a read-only file";
    }
#endif
    DataOutput out;
    EXPECT_FALSE(out.Open(path.string()));
    EXPECT_EQ(out.ErrorText(), "Permission denied");
    EXPECT_EQ(ReadFileBytes(path), "kept");
}

}  // namespace
}  // namespace quarrow
