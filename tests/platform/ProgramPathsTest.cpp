#include "platform/ProgramPaths.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "support/TempDir.h"

namespace quarrow {
namespace {

TEST(ProgramPathsTest, PathsHangOffTheProgramFolder) {
    const ProgramPaths paths = DeriveProgramPaths(QStringLiteral("/opt/quarrow"));
    EXPECT_EQ(paths.ProgramFolder, "/opt/quarrow/");
    EXPECT_EQ(paths.ConfigFolder, "/opt/quarrow/configurations");
    EXPECT_EQ(paths.LogFilePath, "/opt/quarrow/QuarrowLog.txt");
    EXPECT_EQ(paths.DefaultConfigPath, "/opt/quarrow/default.qrw");
    EXPECT_EQ(paths.CurrentConfigPath(QStringLiteral("none")), "/opt/quarrow/configurations/none");
    EXPECT_EQ(paths.CurrentConfigPath({}), "/opt/quarrow/configurations/") << "no file";
    EXPECT_EQ(paths.CurrentConfigPath(QStringLiteral("/home/me/survey.qrw")), "/home/me/survey.qrw")
        << "a full path is kept as it is";
}

TEST(ProgramPathsTest, AWritableExecutableFolderIsTheProgramFolder) {
    test::TempDir dir;
    const QString exe = QString::fromStdString(dir.Path().string());
    EXPECT_EQ(ChooseProgramFolder(exe, exe + "/user"), exe + "/");
    EXPECT_FALSE(QFileInfo::exists(exe + "/user"));
}

TEST(ProgramPathsTest, TheUserFolderIsSeededWithoutReplacingTheUsersFiles) {
    test::TempDir dir;
    const QString exe = QString::fromStdString(dir / "exe");
    const QString user = QString::fromStdString(dir / "user");
    QDir().mkpath(exe + "/configurations");
    test::WriteFileBytes((exe + "/default.qrw").toStdString(), "shipped");
    test::WriteFileBytes((exe + "/configurations/a.qrw").toStdString(), "shipped a");
    QDir().mkpath(user + "/configurations");
    test::WriteFileBytes((user + "/configurations/a.qrw").toStdString(), "mine");

    SeedUserDataFolder(exe, user);
    EXPECT_EQ(test::ReadFileBytes((user + "/default.qrw").toStdString()), "shipped");
    EXPECT_EQ(test::ReadFileBytes((user + "/configurations/a.qrw").toStdString()), "mine");

    // A folder that is not there cannot be written: the user folder takes its place.
    EXPECT_EQ(ChooseProgramFolder(exe + "/missing", user), user + "/");
}

TEST(ProgramPathsTest, AnInstalledProgramWorksInTheUserFolderWithTheShippedHelp) {
    // prefix/bin holds no default.qrw: the shipped files are in prefix/share/quarrow, which
    // the program never writes, even when it could (run as root).
    test::TempDir dir;
    const QString prefix = QString::fromStdString(dir.Path().string());
    const QString user = prefix + "/home/data";
    QDir().mkpath(prefix + "/bin");
    QDir().mkpath(prefix + "/share/quarrow/configurations");
    test::WriteFileBytes((prefix + "/share/quarrow/default.qrw").toStdString(), "shipped");
    test::WriteFileBytes((prefix + "/share/quarrow/configurations/a.qrw").toStdString(), "a");

    const ProgramPaths paths = LocateProgramPaths(prefix + "/bin", "/nowhere", user);
    EXPECT_EQ(paths.ProgramFolder, user + "/");
    EXPECT_EQ(paths.HelpFilePath, prefix + "/share/quarrow/help_quarrow4.html");
    EXPECT_EQ(test::ReadFileBytes((user + "/default.qrw").toStdString()), "shipped");
    EXPECT_EQ(test::ReadFileBytes((user + "/configurations/a.qrw").toStdString()), "a");
    EXPECT_FALSE(QFileInfo::exists(prefix + "/bin/configurations"));

    // A build or portable copy keeps working in its own folder.
    test::WriteFileBytes((prefix + "/bin/default.qrw").toStdString(), "portable");
    EXPECT_EQ(LocateProgramPaths(prefix + "/bin", "/nowhere", user).ProgramFolder,
              prefix + "/bin/");
}

}  // namespace
}  // namespace quarrow
