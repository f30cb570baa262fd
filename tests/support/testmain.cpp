#include <QApplication>
#include <gtest/gtest.h>

// Every test program runs inside a QApplication so that painting, fonts, timers and
// serial notifications behave as in the program. Headless unless told otherwise.
int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
