// Entry of the front end's window, job and end-to-end tests: one QApplication (offscreen unless
// told otherwise), the message port, and private folders for sockets, settings and the working directory.
#include "frontend_test_support.h"
#include "platform_test_support.h"

#include "platform/message_port_qt.h"
#include "platform/termination_cleanup.h"

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    platform_test::useFreshRuntimeDirectory();
    std::string scratch = "/tmp/hv-qt-test-XXXXXX";
    if (!::mkdtemp(scratch.data())) return 2;
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
    std::filesystem::remove_all(scratch);
    platform_test::removeRuntimeDirectory();
    return result;
}
