// Entry of the end-to-end tests: the front end's main dialog runs in this
// process (offscreen unless told otherwise) and starts real viewer
// processes; private directories hold sockets, settings and the working
// directory.
#include <QApplication>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "platform/message_port_qt.h"
#include "platform/termination_cleanup.h"
#include "platform_test_support.h"

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    platform_test::useFreshRuntimeDirectory();
    char pattern[] = "/tmp/hv-e2e-XXXXXX";
    if (::mkdtemp(pattern) == nullptr) return 2;
    const std::string scratch = pattern;
    ::setenv("XDG_CONFIG_HOME", (scratch + "/config").c_str(), 1);
    std::filesystem::create_directories(scratch + "/work");
    if (::chdir((scratch + "/work").c_str()) != 0) return 2;

    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Halvatrine"));
    platform::installTerminationCleanup();
    int result = 0;
    {
        platform::MessagePort port;
        result = RUN_ALL_TESTS();
    }
    std::error_code ignored;
    std::filesystem::remove_all(scratch, ignored);
    platform_test::removeRuntimeDirectory();
    return result;
}
