// The GUI tests run the real window on the platform given on the command line
// (offscreen under CTest). A complaint of a model tester fails the running test.

#include <QApplication>
#include <QStandardPaths>

#include <gtest/gtest.h>

#include <cstring>

namespace {

QtMessageHandler GPreviousHandler = nullptr;

void ReportModelFaults(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (context.category && std::strcmp(context.category, "qt.modeltest") == 0 && type != QtDebugMsg) {
        ADD_FAILURE() << "model tester: " << message.toStdString();
        return;
    }
    if (GPreviousHandler) GPreviousHandler(type, context, message);
}

}  // namespace

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    // Listing the cases (as the build does) needs no window system.
    if (GTEST_FLAG_GET(list_tests)) return RUN_ALL_TESTS();
    QApplication application(argc, argv);
    // Nothing a test does may touch the person's own settings.
    QStandardPaths::setTestModeEnabled(true);
    GPreviousHandler = qInstallMessageHandler(ReportModelFaults);
    return RUN_ALL_TESTS();
}
