// Test entry: every run gets its own socket directory, removed at the end.
#include "platform_test_support.h"

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    platform_test::useFreshRuntimeDirectory();
    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    platform_test::removeRuntimeDirectory();
    return result;
}
