#include <QCoreApplication>
#include <QStandardPaths>
#include <gtest/gtest.h>

// Qt's serial port module needs an application object; the tests never
// touch the user's settings.
int main(int argc, char** argv) {
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
