#include "platform/ProgramPaths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace quarrow {
namespace {

QString WithSlash(QString folder) {
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder;
}

bool IsWritableFolder(const QString& folder) {
    const QFileInfo info(folder);
    return info.isDir() && info.isWritable();
}

}  // namespace

void SeedUserDataFolder(const QString& executableFolder, const QString& userDataFolder) {
    const QString from = WithSlash(executableFolder);
    const QString to = WithSlash(userDataFolder);
    QDir().mkpath(to + QStringLiteral("configurations"));
    const QString defaultName = QStringLiteral("default.qrw");
    if (!QFileInfo::exists(to + defaultName))
        QFile::copy(from + defaultName, to + defaultName);
    const QDir shipped(from + QStringLiteral("configurations"));
    for (const QString& name : shipped.entryList({QStringLiteral("*.qrw")}, QDir::Files)) {
        const QString target = to + QStringLiteral("configurations/") + name;
        if (!QFileInfo::exists(target))
            QFile::copy(shipped.filePath(name), target);
    }
}

QString ProgramPaths::CurrentConfigPath(const QString& configName) const {
    if (QDir::isAbsolutePath(configName))
        return QDir::cleanPath(configName);
    return ConfigFolder + QLatin1Char('/') + configName;
}

ProgramPaths DeriveProgramPaths(const QString& programFolder) {
    ProgramPaths paths;
    paths.ProgramFolder = WithSlash(programFolder);
    paths.ConfigFolder = paths.ProgramFolder + QStringLiteral("configurations");
    paths.LogFilePath = paths.ProgramFolder + QStringLiteral("QuarrowLog.txt");
    paths.DefaultConfigPath = paths.ProgramFolder + QStringLiteral("default.qrw");
    paths.HelpFilePath = paths.ProgramFolder + QStringLiteral("help_quarrow4.html");
    return paths;
}

QString ChooseProgramFolder(const QString& executableFolder, const QString& userDataFolder) {
    const QString exe = WithSlash(executableFolder);
    if (IsWritableFolder(exe))
        return exe;
    const QString user = WithSlash(userDataFolder);
    SeedUserDataFolder(exe, user);
    return user;
}

QString FindShippedDataFolder(const QString& executableFolder, const QString& installedDataFolder) {
    const QString exe = WithSlash(executableFolder);
    for (const QString& folder :
         {exe, WithSlash(QDir::cleanPath(exe + QStringLiteral("../share/quarrow")))})
        if (QFileInfo(folder + QStringLiteral("default.qrw")).isFile())
            return folder;
    return WithSlash(installedDataFolder);
}

ProgramPaths LocateProgramPaths(const QString& executableFolder, const QString& installedDataFolder,
                                const QString& userDataFolder) {
    const QString shipped = FindShippedDataFolder(executableFolder, installedDataFolder);
    if (shipped == WithSlash(executableFolder))
        return DeriveProgramPaths(ChooseProgramFolder(executableFolder, userDataFolder));
    SeedUserDataFolder(shipped, userDataFolder);
    ProgramPaths paths = DeriveProgramPaths(userDataFolder);
    paths.HelpFilePath = shipped + QStringLiteral("help_quarrow4.html");
    return paths;
}

}  // namespace quarrow
