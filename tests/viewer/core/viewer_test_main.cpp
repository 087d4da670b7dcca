// Entry of the viewer window tests: one QApplication (offscreen unless told
// otherwise), the process's message port, and a private socket directory.
#include <QApplication>
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/message_port_qt.h"
#include "platform_test_support.h"

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    platform_test::useFreshRuntimeDirectory();
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Halvatrine"));
    int result = 0;
    {
        platform::MessagePort port;
        result = RUN_ALL_TESTS();
    }
    platform_test::removeRuntimeDirectory();
    return result;
}
