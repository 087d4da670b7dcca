// Entry of the Qt platform tests: one QApplication (offscreen unless told
// otherwise) and a private socket directory per run.
#include "platform_test_support.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    platform_test::useFreshRuntimeDirectory();
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Halvatrine"));
    const int result = RUN_ALL_TESTS();
    platform_test::removeRuntimeDirectory();
    return result;
}
