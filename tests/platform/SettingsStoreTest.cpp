#include "platform/SettingsStore.h"

#include <gtest/gtest.h>

#include <QSettings>

#include "support/TempDir.h"

namespace quarrow {
namespace {

class SettingsStoreTest : public ::testing::Test {
protected:
    QString Path() const { return QString::fromStdString(dir / "settings.ini"); }
    // Writes a raw value behind the store's back, as another program or an old version might.
    void Raw(const QString& name, const QVariant& value) {
        QSettings raw(Path(), QSettings::IniFormat);
        raw.setValue(name, value);
    }
    std::unique_ptr<QtSettingsStore> Open() { return QtSettingsStore::OpenFile(Path()); }

    test::TempDir dir;
};

TEST_F(SettingsStoreTest, FlagsReadAnyNonZeroNumberAndAreWrittenAsZeroOrOne) {
    struct Case {
        const char* name;
        QVariant raw;
        bool isFlag;
        bool on;
    };
    // clang-format off
    const Case cases[] = {
        {"one", 1, true, true},
        {"seven", 7, true, true},
        {"minus", -1, true, true},
        {"zero", 0, true, false},
        {"text", QStringLiteral("yes"), false, false},
        {"binary", QByteArray("\x01", 1), false, false},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Raw(QStringLiteral("showtips"), c.raw);
        auto store = Open();
        EXPECT_EQ(store->IsFlag(QStringLiteral("showtips")), c.isFlag);
        EXPECT_EQ(store->ReadFlag(QStringLiteral("showtips")), c.on);
    }
    auto store = Open();
    store->WriteFlag(SettingName::AutoSelect, true);
    EXPECT_EQ(QSettings(Path(), QSettings::IniFormat).value("autosel").toString(), "1");
}

TEST_F(SettingsStoreTest, SeedingFillsOnlyMissingOrMalformedValues) {
    Raw(QStringLiteral("w"), QStringLiteral("1024"));
    Raw(QStringLiteral("h"), QStringLiteral("tall"));
    Raw(QStringLiteral("locked"), 0);
    Raw(QStringLiteral("pan3"), QByteArray("330"));
    auto store = Open();
    SeedSettings(*store);
    EXPECT_EQ(store->ReadText(SettingName::Width), "1024");
    // The window's size is left alone: start-up gives a missing or malformed one the first
    // start's size, made for the screen.
    EXPECT_EQ(store->ReadText(SettingName::Height), "tall");
    EXPECT_EQ(store->ReadText(SettingName::FolderPanelWidth), "330");
    EXPECT_FALSE(store->IsBinary(SettingName::FolderPanelWidth));
    EXPECT_FALSE(store->ReadFlag(SettingName::Locked)) << "a present flag is kept";
    EXPECT_TRUE(store->IsFlag(SettingName::ShowTips));
    EXPECT_TRUE(store->IsFlag(SettingName::AutoSelect));
    EXPECT_FALSE(store->Contains(SettingName::ShowLog)) << "no report option chosen yet";
    EXPECT_FALSE(store->Contains(SettingName::Config));
    EXPECT_EQ(ReadIntText(*store, SettingName::Height, 0), 0);
}

TEST_F(SettingsStoreTest, NamesAreStoredExactlyAndKindsSurvive) {
    auto store = Open();
    const QByteArray header("\x00\x01\xfeVT", 5);
    store->WriteBinary(SettingName::FileListHeader, header);
    store->WriteText(SettingName::Config, QStringLiteral("my config.qrw"));
    EXPECT_EQ(SettingName::FileListHeader, "VTFiles");
    auto reopened = Open();
    EXPECT_EQ(reopened->ReadBinary(QStringLiteral("VTFiles")), header);
    EXPECT_TRUE(reopened->IsBinary(QStringLiteral("VTFiles")));
    EXPECT_TRUE(reopened->ReadBinary(QStringLiteral("vtfiles")).isEmpty());
    EXPECT_EQ(reopened->ReadText(QStringLiteral("config")), "my config.qrw");
    EXPECT_EQ(reopened->ReadText(QStringLiteral("destpath")), "") << "absent reads empty";
}

}  // namespace
}  // namespace quarrow
