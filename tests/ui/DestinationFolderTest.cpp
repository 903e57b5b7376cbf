#include "ui/DestinationFolder.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "support/TempDir.h"

namespace quarrow {
namespace {

// What a typed or pasted destination means: the cases a user types or pastes by hand.
TEST(DestinationFolderTest, ATypedPathMeansTheFolderAUserExpects) {
    struct Case {
        const char* name;
        QString typed;
        QString expected;
    };
    const QString home = QDir::homePath();
    // clang-format off
    const Case cases[] = {
        {"full path",           "/data/jobs/out",       "/data/jobs/out"},
        {"pasted with a break", "  /data/jobs/out/\n",  "/data/jobs/out"},
        {"home",                "~",                    home},
        {"under home",          "~/Survey data/out",    home + "/Survey data/out"},
        {"relative",            "out",                  "/drawings/site/out"},
        {"relative up",         "../out",               "/drawings/out"},
        {"tilde in a name",     "~old",                 "/drawings/site/~old"},
        {"nothing",             "   ",                  ""},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ResolveDestination(c.typed, QStringLiteral("/drawings/site")), c.expected);
    }
}

TEST(DestinationFolderTest, AMissingFolderIsMadeAndAFileInTheWayIsNamed) {
    test::TempDir dir;
    const QString base = QString::fromStdString(dir.Path().string());
    EXPECT_EQ(MakeDestination(base + "/a/b c/d"), "");
    EXPECT_TRUE(QFileInfo(base + "/a/b c/d").isDir());
    EXPECT_EQ(MakeDestination(base + "/a"), "") << "already there";
    QFile file(base + "/plain");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    EXPECT_EQ(MakeDestination(base + "/plain"), "Not a directory");
    EXPECT_EQ(MakeDestination(base + "/plain/sub"), "Not a directory");
    EXPECT_EQ(WriteRefusalReason(base + "/a"), "");
    EXPECT_TRUE(QDir(base + "/a").entryList(QDir::Files).isEmpty()) << "the probe is removed";
    EXPECT_EQ(DestinationRefusal(base + "/x", "Permission denied"),
              "Destination directory \"" + base +
                  "/x/\" is write-protected, files can't be created here. Please select "
                  "another directory.\n\n(Permission denied)");
}

}  // namespace
}  // namespace quarrow
