// Test entry: a socket directory per run; the window tests get one (offscreen) QApplication.
#include "platform_test_support.h"

#include <gtest/gtest.h>
#ifdef QT_WIDGETS_LIB
#include <QApplication>
#endif

int main(int argc, char** argv) {
    platform_test::useFreshRuntimeDirectory();
    ::testing::InitGoogleTest(&argc, argv);
#ifdef QT_WIDGETS_LIB
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Halvatrine"));
#endif
    const int result = RUN_ALL_TESTS();
    platform_test::removeRuntimeDirectory();
    return result;
}
