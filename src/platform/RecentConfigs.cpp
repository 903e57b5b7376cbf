#include "platform/RecentConfigs.h"

#include "platform/SettingsStore.h"

namespace quarrow {
namespace {

void WriteRecentConfigs(SettingsStore& store, QStringList paths) {
    while (paths.size() > kMaxRecentConfigs)
        paths.removeLast();
    store.WriteText(SettingName::RecentConfigs, paths.join(QLatin1Char('\n')));
}

}  // namespace

QStringList ReadRecentConfigs(const SettingsStore& store) {
    QStringList paths;
    if (store.IsBinary(SettingName::RecentConfigs))
        return paths;  // a value of another kind holds no paths
    for (const QString& line : store.ReadText(SettingName::RecentConfigs).split(QLatin1Char('\n')))
        if (!line.trimmed().isEmpty() && !paths.contains(line) && paths.size() < kMaxRecentConfigs)
            paths << line;
    return paths;
}

void RememberRecentConfig(SettingsStore& store, const QString& path) {
    QStringList paths = ReadRecentConfigs(store);
    paths.removeAll(path);
    paths.prepend(path);
    WriteRecentConfigs(store, paths);
}

void ForgetRecentConfig(SettingsStore& store, const QString& path) {
    QStringList paths = ReadRecentConfigs(store);
    if (paths.removeAll(path) > 0)
        WriteRecentConfigs(store, paths);
}

}  // namespace quarrow
