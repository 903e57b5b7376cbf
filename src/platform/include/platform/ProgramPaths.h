#pragma once
// The program's fixed paths, derived once from the folder that holds the executable.

#include <QString>

namespace quarrow {

struct ProgramPaths {
    QString ProgramFolder;      // ends with "/"
    QString ConfigFolder;       // ProgramFolder + "configurations", no trailing "/"
    QString LogFilePath;        // ProgramFolder + "QuarrowLog.txt"
    QString DefaultConfigPath;  // ProgramFolder + "default.qrw"
    QString HelpFilePath;       // ProgramFolder + "help_quarrow4.html"

    // Returns the stored configuration's path: a full path as it is; a bare name (what
    // earlier builds stored) in ConfigFolder. An empty name leaves the folder itself, no file.
    QString CurrentConfigPath(const QString& configName) const;
};

// Derives every path from a program folder (a trailing "/" is added when missing).
ProgramPaths DeriveProgramPaths(const QString& programFolder);

// Returns the program folder: the executable's folder when it is writable (a portable
// install); otherwise the per-user data folder, seeded on first use with default.qrw and the
// configurations folder from the executable's folder.
QString ChooseProgramFolder(const QString& executableFolder, const QString& userDataFolder);

// Returns the folder of the files shipped with the program (default.qrw, the help and its
// pictures, configurations/): the executable's folder when default.qrw is there (the build, a
// portable copy), else ../share/quarrow from it (an install under any prefix), else the
// installed data folder the build was configured for.
QString FindShippedDataFolder(const QString& executableFolder, const QString& installedDataFolder);

// Returns the program's paths: a portable copy works in its own folder (ChooseProgramFolder);
// an installed program works in the per-user data folder, seeded from the shipped files, and
// shows the shipped help.
ProgramPaths LocateProgramPaths(const QString& executableFolder, const QString& installedDataFolder,
                                const QString& userDataFolder);

// Copies default.qrw and the configurations folder's files where they are missing; a user's
// own copies are never replaced.
void SeedUserDataFolder(const QString& executableFolder, const QString& userDataFolder);

}  // namespace quarrow
