// The component tests need an application object for menus and actions; they
// run on the platform given on the command line (offscreen under CTest).

#include <QApplication>
#include <QStandardPaths>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    // Listing the cases (as the build does) needs no window system.
    if (GTEST_FLAG_GET(list_tests)) return RUN_ALL_TESTS();
    QApplication application(argc, argv);
    // Nothing a test does may touch the person's own settings.
    QStandardPaths::setTestModeEnabled(true);
    return RUN_ALL_TESTS();
}
