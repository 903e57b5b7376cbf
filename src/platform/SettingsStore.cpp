#include "platform/SettingsStore.h"

#include <QSettings>
#include <QVariant>
#include <algorithm>

namespace quarrow {
namespace {

bool IsDecimalText(const SettingsStore& store, const QString& name) {
    if (!store.Contains(name) || store.IsBinary(name))
        return false;
    bool ok = false;
    store.ReadText(name).trimmed().toInt(&ok, 10);
    return ok;
}

}  // namespace

QtSettingsStore::QtSettingsStore(std::unique_ptr<QSettings> settings)
    : settings_(std::move(settings)) {}

QtSettingsStore::~QtSettingsStore() = default;

std::unique_ptr<QtSettingsStore> QtSettingsStore::OpenUserStore() {
    return std::make_unique<QtSettingsStore>(
        std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                    QStringLiteral("Veltrane"), QStringLiteral("quarrow4")));
}

std::unique_ptr<QtSettingsStore> QtSettingsStore::OpenFile(const QString& path) {
    return std::make_unique<QtSettingsStore>(
        std::make_unique<QSettings>(path, QSettings::IniFormat));
}

bool QtSettingsStore::Contains(const QString& name) const {
    return settings_->contains(name);
}

QString QtSettingsStore::ReadText(const QString& name) const {
    const QVariant value = settings_->value(name);
    if (!value.isValid() || value.typeId() == QMetaType::QByteArray)
        return {};
    return value.toString();
}

bool QtSettingsStore::IsFlag(const QString& name) const {
    const QVariant value = settings_->value(name);
    if (!value.isValid() || value.typeId() == QMetaType::QByteArray)
        return false;
    bool ok = false;
    value.toString().trimmed().toLongLong(&ok, 10);
    return ok;
}

bool QtSettingsStore::ReadFlag(const QString& name) const {
    if (!IsFlag(name))
        return false;
    return settings_->value(name).toString().trimmed().toLongLong(nullptr, 10) != 0;
}

QByteArray QtSettingsStore::ReadBinary(const QString& name) const {
    const QVariant value = settings_->value(name);
    return value.typeId() == QMetaType::QByteArray ? value.toByteArray() : QByteArray();
}

bool QtSettingsStore::IsBinary(const QString& name) const {
    return settings_->value(name).typeId() == QMetaType::QByteArray;
}

void QtSettingsStore::WriteText(const QString& name, const QString& text) {
    settings_->setValue(name, text);
    settings_->sync();
}

void QtSettingsStore::WriteFlag(const QString& name, bool on) {
    settings_->setValue(name, on ? 1 : 0);
    settings_->sync();
}

void QtSettingsStore::WriteBinary(const QString& name, const QByteArray& bytes) {
    settings_->setValue(name, bytes);
    settings_->sync();
}

void SeedSettings(SettingsStore& store) {
    const struct {
        const QString& name;
        int value;
    } numbers[] = {{SettingName::FolderPanelWidth, kDesignFolderPanelWidth}};
    for (const auto& n : numbers)
        if (!IsDecimalText(store, n.name))
            store.WriteText(n.name, QString::number(n.value));

    const struct {
        const QString& name;
        bool on;
    } flags[] = {{SettingName::ShowTips, false},
                 {SettingName::Locked, true},
                 {SettingName::AutoSelect, false}};
    for (const auto& f : flags)
        if (!store.IsFlag(f.name))
            store.WriteFlag(f.name, f.on);
}

QSize FirstStartSize(QSize available) {
    // A margin for the window's frame and the desktop's panels.
    constexpr int kMargin = 40;
    return QSize(std::clamp(available.width() - kMargin, kDesignWidth, 1280),
                 std::clamp(available.height() - kMargin, kDesignHeight, 860));
}

int ReadIntText(const SettingsStore& store, const QString& name, int fallback) {
    bool ok = false;
    const int value = store.ReadText(name).trimmed().toInt(&ok, 10);
    return ok ? value : fallback;
}

}  // namespace quarrow
