// The workbench's entry: the application object and the main window.

#include <QApplication>

#include "app/BrindleU.h"

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Brindle 4"));

    TBrindleOptions options;
    options.AppDir = QApplication::applicationDirPath();
    options.ExeName = QApplication::applicationFilePath();
    options.Arguments = QApplication::arguments().mid(1);
    TBrindleF window(std::move(options));
    window.show();
    return QApplication::exec();
}
