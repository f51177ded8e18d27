// The workbench's entry: the application object and the main window.

#include <QApplication>
#include <QIcon>

#include "app/BrindleU.h"
#include "app/ProgramFolders.h"

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Brindle 4"));
    // The desktop matches the window with its launcher entry and icon by this name.
    const QString desktopName = QString::fromLatin1(BRINDLE_APP_ID);
    QGuiApplication::setDesktopFileName(desktopName);
    QApplication::setWindowIcon(QIcon::fromTheme(desktopName));

    TBrindleOptions options;
    options.AppDir = ProgramDataFolder(QApplication::applicationDirPath());
    options.ExeName = QApplication::applicationFilePath();
    options.Arguments = QApplication::arguments().mid(1);
    TBrindleF window(std::move(options));
    window.show();
    return QApplication::exec();
}
