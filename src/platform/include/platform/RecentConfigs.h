#pragma once
// The recent configurations: the paths of the configuration files last loaded or saved,
// newest first, kept in the settings store as one text of lines.

#include <QString>
#include <QStringList>

namespace quarrow {

class SettingsStore;

inline constexpr int kMaxRecentConfigs = 8;

// Returns the stored paths, newest first; blank lines and repeats of a stored text are dropped
// and at most kMaxRecentConfigs are returned.
QStringList ReadRecentConfigs(const SettingsStore& store);
// Puts a path first, removing its older entry and the entries past the last kept one.
void RememberRecentConfig(SettingsStore& store, const QString& path);
// Removes a path (its file is gone); nothing happens when it is not listed.
void ForgetRecentConfig(SettingsStore& store, const QString& path);

}  // namespace quarrow
