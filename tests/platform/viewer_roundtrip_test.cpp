// The front end's side of a viewer's life with real processes: blocks
// created, the viewer stand-in started with the viewer command line, its
// messages received in order, WM_CLOSE to its handles, and nothing left.
#include "common/block_layout.h"
#include "common/messages.h"
#include "platform/process.h"
#include "platform/shared_memory.h"
#include "platform_test_support.h"

#include <gtest/gtest.h>

namespace {

using platform::SharedMemory;
using platform::makeWindowHandle;
using platform_test::MESSAGE_WAIT_MS;

// One front end with one slot, as the job sets them up.
struct FrontEnd {
    std::string frontEndName = platform_test::uniqueBlockName("FData");
    std::string blockName = platform_test::uniqueBlockName("PData0_");
    std::uint32_t blockSize = common::ANALYSIS_BLOCK_FIXED_SIZE + 64;
    std::optional<SharedMemory> frontEndBlock = SharedMemory::create(frontEndName, common::FRONT_END_BLOCK_SIZE);
    std::optional<SharedMemory> analysisBlock = SharedMemory::create(blockName, blockSize);
    std::unique_ptr<platform::MessageEndpoint> endpoint = platform::MessageEndpoint::open();

    FrontEnd() {
        auto* f = static_cast<common::FrontEndBlock*>(frontEndBlock->data());
        f->frontEndProcessId = static_cast<std::uint32_t>(::getpid());
        f->mainWindow = makeWindowHandle(::getpid(), 1);
        block().blockSize = blockSize;
        block().pictureKind = 'J';
        std::strcpy(block().title, "J1");
    }

    pid_t start(const std::string& script) {
        ::setenv("HV_STANDIN_POSTS", script.c_str(), 1);
        const std::string dash = "-", size = std::to_string(blockSize);  // lvalues: GCC 12 misreports the rvalue operator+
        const auto pid = platform::startProcess(platform_test::standinPath(), {dash + frontEndName, dash + blockName, dash + size}, "/");
        ::unsetenv("HV_STANDIN_POSTS");
        return pid.value_or(-1);
    }

    common::AnalysisBlockHeader& block() { return *static_cast<common::AnalysisBlockHeader*>(analysisBlock->data()); }
};

int exitCodeOf(pid_t pid) {
    int status = 0;
    if (!platform::waitForExit(pid, MESSAGE_WAIT_MS, &status)) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

TEST(ViewerRoundTrip, ReportsArriveInOrderCloseEndsTheViewerAndADeadOneIsReapedLeavingNothing) {
    const std::string socketDirectory = platform::socketDirectory();
    std::string frontEndName, blockName;
    {
        FrontEnd f;
        frontEndName = f.frontEndName;
        blockName = f.blockName;
        const pid_t viewer = f.start("1025,1026,wait");
        ASSERT_GT(viewer, 0);
        for (int expected : {common::MSG_DRAW_STARTED, common::MSG_DRAW_FINISHED}) {
            const auto m = platform_test::receiveWithin(*f.endpoint, MESSAGE_WAIT_MS);
            ASSERT_TRUE(m.has_value());
            EXPECT_EQ(m->message.msg, expected);
            EXPECT_EQ(m->message.target, makeWindowHandle(::getpid(), 1));
            EXPECT_EQ(m->message.wParam, viewer);
            EXPECT_EQ(m->message.lParam, makeWindowHandle(viewer, 2));
            EXPECT_EQ(m->senderPid, viewer);
        }
        // The viewer wrote its frame handle before reporting.
        EXPECT_EQ(f.block().viewerWindow, makeWindowHandle(viewer, 1));
        EXPECT_FALSE(platform::waitForExit(viewer, 0));  // still running
        ASSERT_TRUE(platform::postMessage(makeWindowHandle(viewer, 0), common::WM_CLOSE, 0, 0));
        const auto closing = platform_test::receiveWithin(*f.endpoint, MESSAGE_WAIT_MS);
        ASSERT_TRUE(closing.has_value());
        EXPECT_EQ(closing->message.msg, common::MSG_VIEWER_CLOSING);
        EXPECT_EQ(exitCodeOf(viewer), 0);

        const pid_t crashed = f.start("crash");
        ASSERT_GT(crashed, 0);
        EXPECT_EQ(exitCodeOf(crashed), 3);
        EXPECT_EQ(::waitpid(crashed, nullptr, WNOHANG), -1);  // reaped: no zombie
        EXPECT_FALSE(f.endpoint->receive().has_value());  // it posted nothing
        EXPECT_EQ(f.endpoint->refusedCount(), 0);
    }
    // The front end's objects are gone with it; the viewer removed its socket,
    // and the reaping the one the dead viewer left.
    EXPECT_FALSE(SharedMemory::exists(frontEndName));
    EXPECT_FALSE(SharedMemory::exists(blockName));
    EXPECT_EQ(platform_test::directoryEntryCount(socketDirectory), 0);
}

}  // namespace
