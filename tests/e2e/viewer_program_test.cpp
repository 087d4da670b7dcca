// The torvel program on its own, across processes: its start-up from the
// command line, its error dialog, and closing through the process handle
// (WM_CLOSE to pid * 256) whatever it shows.
#include <QTest>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "common/block_layout.h"
#include "common/messages.h"
#include "platform/message_port_qt.h"
#include "platform/process.h"
#include "platform/shared_memory.h"
#include "platform_test_support.h"
#include "viewer/core/control_ids.h"

namespace {

constexpr int WAIT_GUARD_MS = 60000;  // against hanging only
constexpr int RECORDER_INDEX = 201;

bool socketExists(pid_t pid) {
    struct stat info {};
    return ::stat(platform::socketPathFor(pid).c_str(), &info) == 0;
}

pid_t startViewer(const std::vector<std::string>& tokens) {
    const auto pid = platform::startProcess(HV_TORVEL_PATH, tokens, "");
    return pid ? *pid : 0;
}

// Ends a viewer that a failed test left running, so that no process stays.
struct ViewerGuard {
    pid_t pid = 0;
    ~ViewerGuard() {
        if (pid > 0 && !platform::waitForExit(pid, 0)) {
            ::kill(pid, SIGKILL);
            platform::waitForExit(pid, -1);
        }
    }
};

// Exit status of the viewer once it has ended; -1 when it did not.
int exitStatusOf(pid_t pid) {
    int status = 0;
    if (!QTest::qWaitFor([&] { return platform::waitForExit(pid, 0, &status); }, WAIT_GUARD_MS)) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -2;
}

}  // namespace

TEST(ViewerProgram, OpensItsBlocksAndClosesThroughTheProcessHandle) {
    const std::string frontEndName = platform_test::uniqueBlockName("FData");
    const std::string analysisName = platform_test::uniqueBlockName("PData");
    auto frontEnd = platform::SharedMemory::create(frontEndName, common::FRONT_END_BLOCK_SIZE);
    auto analysis = platform::SharedMemory::create(analysisName, common::ANALYSIS_BLOCK_FIXED_SIZE);
    ASSERT_TRUE(frontEnd && analysis);
    auto* header = static_cast<common::AnalysisBlockHeader*>(analysis->data());
    header->blockSize = common::ANALYSIS_BLOCK_FIXED_SIZE;
    header->pictureKind = 'M';
    header->currentView.pictureWidth = 100;
    header->currentView.pictureHeight = 80;
    std::snprintf(header->title, sizeof header->title, "%s", "M1");

    std::vector<int> received;
    platform::MessagePort& port = *platform::MessagePort::instance();
    port.registerWindow(RECORDER_INDEX, [&](int msg, int wParam, int) {
        received.push_back(msg);
        received.push_back(wParam);
    });
    static_cast<common::FrontEndBlock*>(frontEnd->data())->mainWindow = platform::MessagePort::handleFor(RECORDER_INDEX);

    const pid_t viewer = startViewer({"-" + frontEndName, "-" + analysisName, "-12936"});
    ASSERT_GT(viewer, 0);
    ViewerGuard guard{viewer};
    // The frame writes its handle into the block when it is made.
    ASSERT_TRUE(QTest::qWaitFor([&] { return header->viewerWindow != 0; }, WAIT_GUARD_MS));
    EXPECT_EQ(header->viewerWindow, platform::makeWindowHandle(viewer, 1));
    platform::postMessage(platform::makeWindowHandle(viewer, 0), common::WM_CLOSE, 0, 0);
    EXPECT_EQ(exitStatusOf(viewer), 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !received.empty(); }, WAIT_GUARD_MS));
    EXPECT_EQ(received, (std::vector<int>{common::MSG_VIEWER_CLOSING, static_cast<int>(viewer)}));
    EXPECT_FALSE(socketExists(viewer));
    port.unregisterWindow(platform::MessagePort::handleFor(RECORDER_INDEX));
}
