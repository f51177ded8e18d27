#include "app/ProgramFolders.h"

#include <QDir>
#include <QFileInfo>

#include "qelBasic/qelIniFile.h"

namespace {

const QString KSamplesFile = QStringLiteral("samples.txt");
// The shipped files' folder relative to the installed executable's ("../share/brindle").
const QString KInstalledData = QStringLiteral(BRINDLE_INSTALLED_DATA);
const QString KConfigFolder = QStringLiteral("brindle");

}  // namespace

QString ProgramDataFolder(const QString& exeFolder)
{
    if (QFileInfo(QDir(exeFolder).filePath(KSamplesFile)).isFile()) return exeFolder;
    const QString installed = QDir::cleanPath(QDir(exeFolder).filePath(KInstalledData));
    if (QFileInfo(installed).isDir()) return installed;
    return exeFolder;
}

QString ProgramWritableFolder(const QString& exeFolder, const QString& configHome)
{
    const QFileInfo folder(exeFolder);
    if (folder.isDir() && folder.isWritable()) return exeFolder;
    return QDir::cleanPath(QDir(configHome).filePath(KConfigFolder));
}

QString ProgramSettingsFile(const QString& exeName, const QString& configHome)
{
    const QFileInfo exe(exeName);
    const QString iniName = QFileInfo(IniFileBeside(exeName)).fileName();
    return QDir(ProgramWritableFolder(exe.path(), configHome)).filePath(iniName);
}
