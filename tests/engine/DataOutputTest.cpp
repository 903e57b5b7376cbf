#include "engine/DataOutput.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

#include "support/TempDir.h"

namespace quarrow {
namespace {

namespace fs = std::filesystem;
using test::ReadFileBytes;
using test::WriteFileBytes;

void WriteData(const fs::path& path, std::string_view bytes) {
    DataOutput out;
    ASSERT_TRUE(out.Open(path.string())) << out.ErrorText();
    out.Append(bytes);
    ASSERT_TRUE(out.Close()) << out.ErrorText();
}

TEST(DataOutputTest, AnEarlierDataFileIsReplacedAsTheUserSetItUp) {
    // A plain file is created anew (cheaper than truncating it) but keeps its permissions;
    // through a symbolic link or under a second name the same file is rewritten in place.
    struct Case {
        const char* name;
        std::function<fs::path(const fs::path& dir)> setUp;  // returns the Data path
        std::function<void(const fs::path& dir)> check;
    };
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
        {"second_name_sees_the_new_bytes",
         [](const fs::path& dir) {
             WriteFileBytes(dir / "a.csv", "old");
             fs::create_hard_link(dir / "a.csv", dir / "b.csv");
             return dir / "a.csv";
         },
         [](const fs::path& dir) { EXPECT_EQ(ReadFileBytes(dir / "b.csv"), "1,2\r\n"); }},
        {"no_earlier_file", [](const fs::path& dir) { return dir / "a.csv"; },
         [](const fs::path&) {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::TempDir dir;
        const fs::path path = c.setUp(dir.Path());
        WriteData(path, "1,2\r\n");
        EXPECT_EQ(ReadFileBytes(path), "1,2\r\n");
        c.check(dir.Path());
    }
}

} // namespace
} // namespace quarrow
