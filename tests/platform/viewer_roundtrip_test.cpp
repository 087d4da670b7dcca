// The front end's side of a viewer's life with real processes: blocks
// created, the viewer stand-in started with the viewer command line, its
// messages received in order, WM_CLOSE to its process handle, and nothing
// left behind.
#include "common/block_layout.h"
#include "common/messages.h"
#include "platform/message_port.h"
#include "platform/process.h"
#include "platform/shared_memory.h"
#include "platform_test_support.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using platform::SharedMemory;
using platform_test::MESSAGE_WAIT_MS;
using platform_test::receiveWithin;

// One front end with one slot, as the job sets them up.
struct FrontEnd {
    std::string frontEndName = platform_test::uniqueBlockName("FData");
    std::string blockName = platform_test::uniqueBlockName("PData0_");
    std::optional<SharedMemory> frontEndBlock, analysisBlock;
    std::unique_ptr<platform::MessageEndpoint> endpoint;
    std::uint32_t blockSize = common::ANALYSIS_BLOCK_FIXED_SIZE + 64;

    FrontEnd() {
        endpoint = platform::MessageEndpoint::open();
        frontEndBlock = SharedMemory::create(frontEndName, common::FRONT_END_BLOCK_SIZE);
        analysisBlock = SharedMemory::create(blockName, blockSize);
        if (!endpoint || !frontEndBlock || !analysisBlock) return;
        auto* f = static_cast<common::FrontEndBlock*>(frontEndBlock->data());
        f->frontEndProcessId = static_cast<std::uint32_t>(::getpid());
        f->mainWindow = platform::makeWindowHandle(::getpid(), 1);
        auto* a = static_cast<common::AnalysisBlockHeader*>(analysisBlock->data());
        a->blockSize = blockSize;
        a->pictureKind = 'J';
        std::strcpy(a->title, "J1");
    }
    bool ready() const { return endpoint && frontEndBlock && analysisBlock; }

    std::vector<std::string> commandLine() const {
        const std::string dash = "-", size = std::to_string(blockSize);  // lvalues: GCC 12 misreports the rvalue operator+
        return {dash + frontEndName, dash + blockName, dash + size};
    }

    pid_t start(const std::string& script, const std::string& workingDirectory = "/") {
        ::setenv("HV_STANDIN_POSTS", script.c_str(), 1);
        int error = 0;
        const auto pid = platform::startProcess(platform_test::standinPath(), commandLine(), workingDirectory, &error);
        ::unsetenv("HV_STANDIN_POSTS");
        EXPECT_TRUE(pid.has_value()) << std::strerror(error);
        return pid.value_or(-1);
    }

    common::AnalysisBlockHeader& block() { return *static_cast<common::AnalysisBlockHeader*>(analysisBlock->data()); }
};

int exitCodeOf(pid_t pid) {
    int status = 0;
    if (!platform::waitForExit(pid, MESSAGE_WAIT_MS, &status)) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

TEST(ViewerRoundTrip, ReportsArriveInOrderAndCloseEndsTheViewer) {
    const std::string socketDirectory = platform::socketDirectory();
    std::string frontEndName, blockName;
    {
        FrontEnd f;
        ASSERT_TRUE(f.ready());
        frontEndName = f.frontEndName;
        blockName = f.blockName;
        const pid_t viewer = f.start("1025,1026,wait");
        ASSERT_GT(viewer, 0);
        const platform::WindowHandle view = platform::makeWindowHandle(viewer, 2);

        for (int expected : {common::MSG_DRAW_STARTED, common::MSG_DRAW_FINISHED}) {
            const auto m = receiveWithin(*f.endpoint, MESSAGE_WAIT_MS);
            ASSERT_TRUE(m.has_value());
            EXPECT_EQ(m->message.msg, expected);
            EXPECT_EQ(m->message.target, platform::makeWindowHandle(::getpid(), 1));
            EXPECT_EQ(m->message.wParam, viewer);
            EXPECT_EQ(m->message.lParam, view);
            EXPECT_EQ(m->senderPid, viewer);
        }
        // The viewer wrote its frame handle before reporting.
        EXPECT_EQ(f.block().viewerWindow, platform::makeWindowHandle(viewer, 1));

        EXPECT_FALSE(platform::waitForExit(viewer, 0));  // still running
        ASSERT_TRUE(platform::postMessage(f.block().viewerWindow, common::WM_CLOSE, 0, 0));
        const auto closing = receiveWithin(*f.endpoint, MESSAGE_WAIT_MS);
        ASSERT_TRUE(closing.has_value());
        EXPECT_EQ(closing->message.msg, common::MSG_VIEWER_CLOSING);
        EXPECT_EQ(closing->message.wParam, viewer);
        EXPECT_EQ(exitCodeOf(viewer), 0);
        EXPECT_EQ(f.endpoint->refusedCount(), 0);
    }
    // The front end's objects are gone with it; the viewer removed its socket.
    EXPECT_FALSE(SharedMemory::exists(frontEndName));
    EXPECT_FALSE(SharedMemory::exists(blockName));
    EXPECT_EQ(platform_test::directoryEntryCount(socketDirectory), 0);
}

TEST(ViewerRoundTrip, CloseToTheProcessHandleWorksBeforeAnyFrame) {
    FrontEnd f;
    ASSERT_TRUE(f.ready());
    const pid_t viewer = f.start("wait");
    ASSERT_GT(viewer, 0);
    // The process endpoint exists once the viewer has bound its socket;
    // until then the post finds no socket and is repeated.
    bool posted = false;
    for (int attempt = 0; attempt < 2000 && !posted; ++attempt) {
        posted = platform::postMessage(platform::makeWindowHandle(viewer, 0), common::WM_CLOSE, 0, 0);
        if (!posted) ::usleep(10000);
    }
    ASSERT_TRUE(posted);
    const auto closing = receiveWithin(*f.endpoint, MESSAGE_WAIT_MS);
    ASSERT_TRUE(closing.has_value());
    EXPECT_EQ(closing->message.msg, common::MSG_VIEWER_CLOSING);
    EXPECT_EQ(exitCodeOf(viewer), 0);
}

TEST(ViewerRoundTrip, ViewerThatDiesIsReapedWithItsStatus) {
    FrontEnd f;
    ASSERT_TRUE(f.ready());
    const pid_t viewer = f.start("crash");
    ASSERT_GT(viewer, 0);
    EXPECT_EQ(exitCodeOf(viewer), 3);
    // Reaped: no zombie is left and a second wait sees it as gone.
    EXPECT_EQ(::waitpid(viewer, nullptr, WNOHANG), -1);
    EXPECT_TRUE(platform::waitForExit(viewer, 0));
    EXPECT_FALSE(f.endpoint->receive().has_value());  // it posted nothing
}

}  // namespace
