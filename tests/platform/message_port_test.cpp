// The message port within a process and across processes.
#include "platform/message_port.h"

#include "common/block_layout.h"
#include "common/messages.h"
#include "platform/leftover_cleanup.h"
#include "platform/process.h"
#include "platform/shared_memory.h"
#include "platform_test_support.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

using platform::MessageEndpoint;
using platform::SharedMemory;
using platform::makeWindowHandle;
using platform_test::MESSAGE_WAIT_MS;
using platform_test::receiveWithin;

platform::WindowHandle ownHandle(int k) { return platform::makeWindowHandle(::getpid(), k); }

// Target, message, wParam, lParam and the sender's pid.
std::tuple<int, int, int, int, pid_t> fields(const platform::ReceivedMessage& m) {
    return {m.message.target, m.message.msg, m.message.wParam, m.message.lParam, m.senderPid};
}

// A socket connected to this process's: what is sent on it bypasses the encoder.
int rawSocket() {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, platform::socketPathFor(::getpid()).c_str(), sizeof address.sun_path - 1);
    const int fd = ::socket(AF_UNIX, SOCK_DGRAM, 0);
    return ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 ? fd : -1;
}

TEST(MessagePort, EndpointAcceptsOwnUsersMessagesInOrder) {
    // A widened directory is narrowed again; a socket file a dead process left with our pid is replaced.
    const std::string directory = platform::socketDirectory();
    ASSERT_EQ(::chmod(directory.c_str(), 0755), 0);
    ::close(platform_test::bindSocket(platform::socketPathFor(::getpid())));
    auto endpoint = MessageEndpoint::open();
    ASSERT_NE(endpoint, nullptr);
    EXPECT_EQ(std::filesystem::status(directory).permissions(), std::filesystem::perms::owner_all);
    // A runtime folder given relative or as a link is not used: one of the user's under /tmp is.
    const std::string link = platform_test::g_runtimeDirectory + "/link";
    std::filesystem::create_directory_symlink(platform_test::g_runtimeDirectory, link);
    for (const std::string& runtime : {std::string("."), link}) {
        ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
        EXPECT_EQ(platform::socketDirectory(), "/tmp/halvatrine-" + std::to_string(::geteuid())) << runtime;
    }
    ::setenv("XDG_RUNTIME_DIR", platform_test::g_runtimeDirectory.c_str(), 1);
    constexpr int COUNT = 200;
    for (int i = 0; i < COUNT; ++i)
        ASSERT_TRUE(platform::sendMessageToSocket(ownHandle(i % 3), common::MSG_PAINT_COLUMNS, i, -i));
    for (int i = 0; i < COUNT; ++i) {
        const auto m = receiveWithin(*endpoint, MESSAGE_WAIT_MS);
        ASSERT_TRUE(m.has_value());
        EXPECT_EQ(fields(*m), std::tuple(ownHandle(i % 3), common::MSG_PAINT_COLUMNS, i, -i, ::getpid()));
    }
    EXPECT_FALSE(endpoint->receive().has_value());
    EXPECT_EQ(endpoint->refusedCount(), 0);
}

TEST(MessagePort, ASignalDuringTheWaitIsNotTakenForItsEnd) {
    auto endpoint = MessageEndpoint::open();
    struct sigaction handler {};
    handler.sa_handler = [](int) {};  // without SA_RESTART: the wait is interrupted
    ASSERT_TRUE(endpoint != nullptr && ::sigaction(SIGUSR1, &handler, nullptr) == 0);
    std::thread poster([waiter = ::pthread_self()] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        ::pthread_kill(waiter, SIGUSR1);
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        platform::sendMessageToSocket(ownHandle(0), common::MSG_PAINT_COLUMNS, 1, 2);
    });
    EXPECT_TRUE(endpoint->waitReadable(MESSAGE_WAIT_MS));
    poster.join();
}

TEST(MessagePort, MalformedForeignForgedAndOtherUsersMessagesAreDropped) {
    auto endpoint = MessageEndpoint::open();
    ASSERT_NE(endpoint, nullptr);
    const int raw = rawSocket();
    ASSERT_GE(raw, 0);
    const auto good = platform::encodeMessage({ownHandle(1), common::WM_CLOSE, 0, 0});
    ASSERT_EQ(::send(raw, good.data(), 0, 0), 0);    // empty
    ASSERT_EQ(::send(raw, good.data(), 15, 0), 15);  // too short
    unsigned char longer[17] = {};
    std::memcpy(longer, good.data(), 16);
    ASSERT_EQ(::send(raw, longer, 17, 0), 17);  // too long
    for (platform::WindowHandle target : {makeWindowHandle(::getpid() + 1, 1), -5}) {  // not one of our handles
        const auto bytes = platform::encodeMessage({target, 16, 0, 0});
        ASSERT_EQ(::send(raw, bytes.data(), 16, 0), 16);
    }
    for (auto post : {&platform::postMessage, &platform::sendMessageToSocket}) EXPECT_FALSE(post(-5, common::WM_CLOSE, 0, 0));
    // Viewer reports must carry the sender's own pid.
    for (int msg = common::MSG_DRAW_STARTED; msg <= common::MSG_VIEWER_CLOSING; ++msg)
        ASSERT_TRUE(platform::sendMessageToSocket(ownHandle(1), msg, ::getpid() + 1, 0));
    // Another user's message (only root can send one here), stamped by the
    // kernel with the uid the sender has when it sends.
    const bool root = ::geteuid() == 0;
    if (root && ::fork() == 0) {
        if (::setresgid(65534, 65534, 65534) == 0 && ::setresuid(65534, 65534, 65534) == 0) ::send(raw, good.data(), 16, 0);
        ::_exit(0);
    }
    if (root) ::wait(nullptr);
    ::close(raw);
    ASSERT_TRUE(platform::sendMessageToSocket(ownHandle(1), common::MSG_VIEWER_CLOSING, ::getpid(), 0));

    const auto m = receiveWithin(*endpoint, MESSAGE_WAIT_MS);
    ASSERT_TRUE(m.has_value());
    EXPECT_EQ(fields(*m), std::tuple(ownHandle(1), common::MSG_VIEWER_CLOSING, ::getpid(), 0, ::getpid()));
    EXPECT_EQ(endpoint->refusedCount(), root ? 10 : 9);
    EXPECT_FALSE(endpoint->receive().has_value());
}

// One front end with one slot, as the job sets them up.
struct FrontEnd {
    std::string frontEndName = platform_test::uniqueBlockName("FData");
    std::string blockName = platform_test::uniqueBlockName("PData0_");
    std::uint32_t blockSize = common::ANALYSIS_BLOCK_FIXED_SIZE + 64;
    std::optional<SharedMemory> frontEndBlock = SharedMemory::create(frontEndName, common::FRONT_END_BLOCK_SIZE);
    std::optional<SharedMemory> analysisBlock = SharedMemory::create(blockName, blockSize);
    std::unique_ptr<platform::MessageEndpoint> endpoint = platform::MessageEndpoint::open();

    FrontEnd() {
        static_cast<common::FrontEndBlock*>(frontEndBlock->data())->mainWindow = ownHandle(1);
        auto* a = static_cast<common::AnalysisBlockHeader*>(analysisBlock->data());
        a->blockSize = blockSize;
        a->pictureKind = 'J';
        std::strcpy(a->title, "J1");
    }

    pid_t start(const std::string& script) {
        ::setenv("HV_STANDIN_POSTS", script.c_str(), 1);
        const std::string dash = "-", size = std::to_string(blockSize);  // lvalues: GCC 12 misreports the rvalue operator+
        const auto pid =
            platform::startProcess(platform_test::standinPath(), {dash + frontEndName, dash + blockName, dash + size}, "/");
        ::unsetenv("HV_STANDIN_POSTS");
        return pid.value_or(-1);
    }
};

int exitCodeOf(pid_t pid) {
    int status = 0;
    if (!platform::waitForExit(pid, MESSAGE_WAIT_MS, &status)) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// A viewer's life as the front end sees it, with the stand-in started as the viewer is:
// reports in order, WM_CLOSE to its process, a crashed one reaped; no socket or descriptor left.
TEST(ViewerRoundTrip, ReportsArriveInOrderCloseEndsTheViewerAndADeadOneIsReapedLeavingNothing) {
    const std::string socketDirectory = platform::socketDirectory();
    const auto descriptors = [] { return platform_test::directoryEntryCount("/proc/self/fd"); };
    platform::postMessage(makeWindowHandle(1, 0), 0, 0, 0);  // opens the sending socket, kept for the process's life
    const int before = descriptors();
    {
        FrontEnd f;
        const pid_t viewer = f.start("1025,1026,wait");
        for (int expected : {common::MSG_DRAW_STARTED, common::MSG_DRAW_FINISHED}) {
            const auto m = receiveWithin(*f.endpoint, MESSAGE_WAIT_MS);
            ASSERT_TRUE(m.has_value());
            EXPECT_EQ(fields(*m), std::tuple(ownHandle(1), expected, viewer, makeWindowHandle(viewer, 2), viewer));
        }
        // The viewer wrote its frame handle (read through a second mapping) before reporting.
        EXPECT_EQ(static_cast<common::AnalysisBlockHeader*>(SharedMemory::open(f.blockName)->data())->viewerWindow,
                  makeWindowHandle(viewer, 1));
        EXPECT_FALSE(platform::waitForExit(viewer, 0));  // still running
        ASSERT_TRUE(platform::postMessage(makeWindowHandle(viewer, 0), common::WM_CLOSE, 0, 0));
        const auto closing = receiveWithin(*f.endpoint, MESSAGE_WAIT_MS);
        ASSERT_TRUE(closing.has_value());
        EXPECT_EQ(closing->message.msg, common::MSG_VIEWER_CLOSING);
        EXPECT_EQ(exitCodeOf(viewer), 0);

        const pid_t crashed = f.start("crash");
        EXPECT_EQ(exitCodeOf(crashed), 3);
        EXPECT_EQ(::waitpid(crashed, nullptr, WNOHANG), -1);  // reaped: no zombie
        EXPECT_TRUE(platform::waitForExit(crashed, 0));       // and a second wait sees it gone
        EXPECT_FALSE(f.endpoint->receive().has_value());  // it posted nothing
        EXPECT_EQ(f.endpoint->refusedCount(), 0);
    }
    // The viewer removed its socket; the reaping removed the crashed viewer's.
    EXPECT_EQ(platform_test::directoryEntryCount(socketDirectory), 0);
    platform::removeLeftoversOfDeadProcesses(socketDirectory, socketDirectory);  // reads the folder
    EXPECT_EQ(descriptors(), before);
}

}  // namespace
