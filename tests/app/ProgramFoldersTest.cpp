// Where the workbench finds its shipped files and keeps its settings, in a build
// folder and installed below a prefix.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <string>

#include "app/ProgramFolders.h"

namespace {

// Folder names as text, so that a failure shows them.
std::string Data(const QString& exeFolder) { return ProgramDataFolder(exeFolder).toStdString(); }
std::string Settings(const QString& exeName, const QString& configHome)
{
    return ProgramSettingsFile(exeName, configHome).toStdString();
}

void Touch(const QString& path)
{
    ASSERT_TRUE(QDir().mkpath(QFileInfo(path).path()));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
}

// A build folder keeps everything beside the executable, even with a share/
// folder next to it; an installed bin/ looks in share/brindle beside it; an
// executable alone keeps its own folder.
TEST(TProgramFoldersTest, ShippedFilesInBuildAndInstalledLayouts)
{
    const QTemporaryDir dir;
    const QString build = dir.filePath(QStringLiteral("build/bin"));
    Touch(build + QStringLiteral("/samples.txt"));
    ASSERT_TRUE(QDir().mkpath(dir.filePath(QStringLiteral("build/share/brindle"))));
    EXPECT_EQ(Data(build), build.toStdString());

    const QString prefix = dir.filePath(QStringLiteral("usr"));
    Touch(prefix + QStringLiteral("/share/brindle/samples.txt"));
    ASSERT_TRUE(QDir().mkpath(prefix + QStringLiteral("/bin")));
    EXPECT_EQ(Data(prefix + QStringLiteral("/bin")), (prefix + QStringLiteral("/share/brindle")).toStdString());

    const QString alone = dir.filePath(QStringLiteral("alone"));
    ASSERT_TRUE(QDir().mkpath(alone));
    EXPECT_EQ(Data(alone), alone.toStdString());
}

// The settings file keeps the executable's name with ".ini": beside it when its
// folder can be written, else in brindle/ of the configuration folder.
TEST(TProgramFoldersTest, SettingsBesideTheExecutableOrInTheConfigurationFolder)
{
    const QTemporaryDir dir;
    const QString config = QStringLiteral("/home/someone/.config");
    EXPECT_EQ(Settings(dir.filePath(QStringLiteral("brindle")), config),
              dir.filePath(QStringLiteral("brindle.ini")).toStdString());
    EXPECT_EQ(Settings(QStringLiteral("/nonexistent/bin/brindle"), config), "/home/someone/.config/brindle/brindle.ini");
}

}  // namespace
