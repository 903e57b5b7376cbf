#pragma once
// The per-user settings store: named text, flag and binary values under one key. Code talks to
// the interface so tests can run on a settings file of their own, never the user's.

#include <QByteArray>
#include <QSize>
#include <QString>
#include <memory>

class QSettings;

namespace quarrow {

class SettingsStore {
public:
    virtual ~SettingsStore() = default;

    // Returns true when the value exists, of whatever kind.
    virtual bool Contains(const QString& name) const = 0;
    // Returns the text of a value; an absent value reads as empty text.
    virtual QString ReadText(const QString& name) const = 0;
    // Returns true for a flag holding any non-zero number; false when absent or not a number.
    virtual bool ReadFlag(const QString& name) const = 0;
    // Returns true when the value exists and is a number, so ReadFlag means something.
    virtual bool IsFlag(const QString& name) const = 0;
    // Returns the bytes of a binary value; empty when absent or not binary.
    virtual QByteArray ReadBinary(const QString& name) const = 0;
    virtual bool IsBinary(const QString& name) const = 0;

    virtual void WriteText(const QString& name, const QString& text) = 0;
    // Writes a flag as the number 0 or 1.
    virtual void WriteFlag(const QString& name, bool on) = 0;
    virtual void WriteBinary(const QString& name, const QByteArray& bytes) = 0;
};

// The store on a QSettings object; every write reaches the backing store at once.
class QtSettingsStore final : public SettingsStore {
public:
    explicit QtSettingsStore(std::unique_ptr<QSettings> settings);
    ~QtSettingsStore() override;

    // Opens the user's store (the registry key on Windows, a .conf file elsewhere).
    static std::unique_ptr<QtSettingsStore> OpenUserStore();
    // Opens an INI file of the caller's choosing, as the tests do.
    static std::unique_ptr<QtSettingsStore> OpenFile(const QString& path);

    bool Contains(const QString& name) const override;
    QString ReadText(const QString& name) const override;
    bool ReadFlag(const QString& name) const override;
    bool IsFlag(const QString& name) const override;
    QByteArray ReadBinary(const QString& name) const override;
    bool IsBinary(const QString& name) const override;
    void WriteText(const QString& name, const QString& text) override;
    void WriteFlag(const QString& name, bool on) override;
    void WriteBinary(const QString& name, const QByteArray& bytes) override;

private:
    std::unique_ptr<QSettings> settings_;
};

// Value names of the store, spelled exactly as stored.
namespace SettingName {
inline const QString Width = QStringLiteral("w");
inline const QString Height = QStringLiteral("h");
inline const QString ShowTips = QStringLiteral("showtips");
inline const QString ShowLog = QStringLiteral("showlog");
inline const QString DxfPath = QStringLiteral("dxfpath");
inline const QString DestPath = QStringLiteral("destpath");
inline const QString Locked = QStringLiteral("locked");
inline const QString FileListHeader = QStringLiteral("VTFiles");
inline const QString FolderPanelWidth = QStringLiteral("pan3");
inline const QString AutoSelect = QStringLiteral("autosel");
inline const QString Config = QStringLiteral("config");
inline const QString RecentConfigs = QStringLiteral("recentconfigs");
inline const QString KeepGoing = QStringLiteral("keepgoing");
inline const QString ConfigSplitter = QStringLiteral("configsplit");
inline const QString PreviewSplitter = QStringLiteral("previewsplit");
}  // namespace SettingName

// Window design states for values a first start lacks.
inline constexpr int kDesignWidth = 800;
inline constexpr int kDesignHeight = 600;
inline constexpr int kDesignFolderPanelWidth = 330;

// The window's size when the settings hold none: room to work within the screen's available
// size, up to 1280x860 and never below the design size.
QSize FirstStartSize(QSize available);

// Writes the design state of every value start-up reads unconditionally that is absent or of
// another kind ("pan3" must be a decimal text; "showtips", "locked", "autosel" flags). "w" and
// "h" stay absent, so a first start takes FirstStartSize.
// "showlog" stays absent: its design state is that neither report option is chosen.
void SeedSettings(SettingsStore& store);

// Reads a decimal-text value as an integer; fallback when absent or malformed.
int ReadIntText(const SettingsStore& store, const QString& name, int fallback);

}  // namespace quarrow
