#include "platform/RecentConfigs.h"

#include <gtest/gtest.h>

#include "platform/SettingsStore.h"
#include "support/TempDir.h"

namespace quarrow {
namespace {

class RecentConfigsTest : public ::testing::Test {
protected:
    test::TempDir dir;
    std::unique_ptr<QtSettingsStore> store =
        QtSettingsStore::OpenFile(QString::fromStdString(dir / "settings.ini"));
};

TEST_F(RecentConfigsTest, NewestFirstWithoutRepeatsAndAtMostEight) {
    EXPECT_TRUE(ReadRecentConfigs(*store).isEmpty()) << "a first start lists nothing";
    for (int i = 1; i <= 10; ++i)
        RememberRecentConfig(*store, QStringLiteral("/c/%1.qrw").arg(i));
    RememberRecentConfig(*store, QStringLiteral("/c/5.qrw"));  // used again: moves up
    const QStringList expected{"/c/5.qrw", "/c/10.qrw", "/c/9.qrw", "/c/8.qrw",
                               "/c/7.qrw", "/c/6.qrw",  "/c/4.qrw", "/c/3.qrw"};
    EXPECT_EQ(ReadRecentConfigs(*store), expected);
    // The list survives a new store on the same file, as a restart reads it.
    auto reopened = QtSettingsStore::OpenFile(QString::fromStdString(dir / "settings.ini"));
    EXPECT_EQ(ReadRecentConfigs(*reopened), expected);

    ForgetRecentConfig(*store, QStringLiteral("/c/9.qrw"));
    ForgetRecentConfig(*store, QStringLiteral("/c/unknown.qrw"));
    EXPECT_EQ(ReadRecentConfigs(*store).size(), 7);
    EXPECT_FALSE(ReadRecentConfigs(*store).contains("/c/9.qrw"));
}

TEST_F(RecentConfigsTest, StoredValuesOfAnotherShapeGiveAUsableList) {
    // Hand-edited or older settings: blank lines, repeats, too many lines, a binary value.
    store->WriteText(SettingName::RecentConfigs,
                     QStringLiteral("/a.qrw\n\n  \n/a.qrw\n/b.qrw\n1\n2\n3\n4\n5\n6\n7"));
    EXPECT_EQ(ReadRecentConfigs(*store),
              (QStringList{"/a.qrw", "/b.qrw", "1", "2", "3", "4", "5", "6"}));
    store->WriteBinary(SettingName::RecentConfigs, QByteArray("\x01\x02", 2));
    EXPECT_TRUE(ReadRecentConfigs(*store).isEmpty());
    RememberRecentConfig(*store, QStringLiteral("/a.qrw"));
    EXPECT_EQ(ReadRecentConfigs(*store), QStringList{"/a.qrw"});
}

}  // namespace
}  // namespace quarrow
