#include "platform/message_port_qt.h"

#include "common/block_layout.h"
#include "common/messages.h"
#include "platform/child_watcher.h"
#include "platform/process.h"
#include "platform/shared_memory.h"
#include "platform_test_support.h"

#include <QCoreApplication>
#include <QTest>
#include <QThread>

#include <gtest/gtest.h>

#include <cstring>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

using platform::MessagePort;
using platform_test::MESSAGE_WAIT_MS;

struct Received {
    int msg, wParam, lParam;
};

TEST(MessagePortQt, LocalPostsFromAnotherThreadArriveInOrderOnTheGuiThread) {
    MessagePort port;
    ASSERT_TRUE(port.isListening());
    std::vector<int> order;
    bool onGuiThread = true;
    const platform::WindowHandle view = port.registerWindow(2, [&](int msg, int w, int) {
        onGuiThread = onGuiThread && QThread::currentThread() == QCoreApplication::instance()->thread();
        if (msg == common::MSG_PAINT_COLUMNS) order.push_back(w);
    });
    constexpr int COUNT = 1000;
    std::thread render([view] {
        for (int i = 0; i < COUNT; ++i) platform::postMessage(view, common::MSG_PAINT_COLUMNS, i, 0);
    });
    render.join();
    EXPECT_TRUE(order.empty());  // queued, not called on the posting thread
    ASSERT_TRUE(QTest::qWaitFor([&] { return order.size() == COUNT; }, MESSAGE_WAIT_MS));
    for (int i = 0; i < COUNT; ++i) ASSERT_EQ(order[i], i);
    EXPECT_TRUE(onGuiThread);
}

TEST(MessagePortQt, MessagesToUnknownOrRemovedWindowsAreDropped) {
    MessagePort port;
    int calls = 0;
    std::vector<std::pair<int, bool>> dispatched;
    QObject::connect(&port, &MessagePort::messageDispatched,
                     [&](int target, int, int, int, bool handled) { dispatched.push_back({target, handled}); });
    const platform::WindowHandle frame = port.registerWindow(1, [&](int, int, int) { ++calls; });
    platform::postMessage(frame, common::MSG_RECOLOUR, 0, 0);
    port.unregisterWindow(frame);  // gone before the queued message is dispatched
    platform::postMessage(MessagePort::handleFor(9), common::MSG_RECOLOUR, 0, 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return dispatched.size() == 2; }, MESSAGE_WAIT_MS));
    EXPECT_EQ(calls, 0);
    EXPECT_FALSE(dispatched[0].second);
    EXPECT_FALSE(dispatched[1].second);
}

TEST(MessagePortQt, CloseToTheProcessHandleReachesTheProcessHandler) {
    MessagePort port;
    bool closed = false;
    port.registerWindow(0, [&](int msg, int, int) { closed = msg == common::WM_CLOSE; });
    // Through the socket, as another process would send it.
    ASSERT_TRUE(platform::sendMessageToSocket(MessagePort::handleFor(0), common::WM_CLOSE, 0, 0));
    ASSERT_TRUE(QTest::qWaitFor([&] { return closed; }, MESSAGE_WAIT_MS));
}

TEST(MessagePortQt, PortRemovesItsSocketAndStopsLocalDelivery) {
    std::string path;
    {
        MessagePort port;
        EXPECT_EQ(MessagePort::instance(), &port);
        path = platform::socketPathFor(::getpid());
        EXPECT_EQ(::access(path.c_str(), F_OK), 0);
    }
    EXPECT_EQ(MessagePort::instance(), nullptr);
    EXPECT_NE(::access(path.c_str(), F_OK), 0);
    EXPECT_FALSE(platform::postMessage(MessagePort::handleFor(1), common::WM_CLOSE, 0, 0));
}

// The front end's picture of a viewer's life, through the Qt port and the
// child watcher: reports arrive in order, WM_CLOSE ends the viewer, and a
// viewer that dies without reporting is noticed.
TEST(MessagePortQt, ViewerReportsAndExitAreSeenFromTheEventLoop) {
    MessagePort port;
    platform::ChildWatcher watcher;
    std::vector<Received> received;
    port.registerWindow(1, [&](int msg, int w, int l) { received.push_back({msg, w, l}); });
    std::vector<std::pair<qint64, int>> exits;
    QObject::connect(&watcher, &platform::ChildWatcher::exited,
                     [&](qint64 pid, int status) { exits.push_back({pid, status}); });

    const std::string frontEndName = platform_test::uniqueBlockName("FData");
    const std::string blockName = platform_test::uniqueBlockName("PData1_");
    auto frontEnd = platform::SharedMemory::create(frontEndName, common::FRONT_END_BLOCK_SIZE);
    auto block = platform::SharedMemory::create(blockName, common::ANALYSIS_BLOCK_FIXED_SIZE);
    ASSERT_TRUE(frontEnd && block);
    static_cast<common::FrontEndBlock*>(frontEnd->data())->mainWindow = MessagePort::handleFor(1);
    const std::vector<std::string> args = {"-" + frontEndName, "-" + blockName, "-12936"};

    ::setenv("HV_STANDIN_POSTS", "1025,1026,1027:J,wait", 1);
    const auto viewer = platform::startProcess(platform_test::standinPath(), args, "/");
    ::setenv("HV_STANDIN_POSTS", "crash", 1);
    const auto crashing = platform::startProcess(platform_test::standinPath(), args, "/");
    ::unsetenv("HV_STANDIN_POSTS");
    ASSERT_TRUE(viewer && crashing);
    watcher.watch(*viewer);
    watcher.watch(*crashing);

    ASSERT_TRUE(QTest::qWaitFor([&] { return received.size() == 3; }, MESSAGE_WAIT_MS));
    EXPECT_EQ(received[0].msg, common::MSG_DRAW_STARTED);
    EXPECT_EQ(received[1].msg, common::MSG_DRAW_FINISHED);
    EXPECT_EQ(received[2].msg, common::MSG_NEW_PICTURE);
    EXPECT_EQ(received[2].lParam, 'J');
    for (const Received& r : received) EXPECT_EQ(r.wParam, *viewer);

    // The crashed viewer is reported without any message of its own.
    ASSERT_TRUE(QTest::qWaitFor([&] { return exits.size() == 1; }, MESSAGE_WAIT_MS));
    EXPECT_EQ(exits[0].first, *crashing);
    EXPECT_TRUE(WIFEXITED(exits[0].second));
    EXPECT_EQ(WEXITSTATUS(exits[0].second), 3);

    // Both viewers map the same block; the frame handle is the running one's.
    ASSERT_TRUE(platform::postMessage(platform::makeWindowHandle(*viewer, 1), common::WM_CLOSE, 0, 0));
    ASSERT_TRUE(QTest::qWaitFor([&] { return received.size() == 4 && exits.size() == 2; }, MESSAGE_WAIT_MS));
    EXPECT_EQ(received[3].msg, common::MSG_VIEWER_CLOSING);
    EXPECT_EQ(exits[1].first, *viewer);
    EXPECT_EQ(WEXITSTATUS(exits[1].second), 0);
    EXPECT_EQ(::waitpid(-1, nullptr, WNOHANG), -1);  // nothing left to reap
    EXPECT_FALSE(watcher.isWatching(*viewer));
}

TEST(ChildWatcher, ChildThatEndedBeforeWatchingIsStillReported) {
    platform::ChildWatcher watcher;
    std::vector<qint64> exits;
    QObject::connect(&watcher, &platform::ChildWatcher::exited, [&](qint64 pid, int) { exits.push_back(pid); });
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) ::_exit(0);
    // Let it end (a zombie now) before it is watched.
    siginfo_t info{};
    ASSERT_EQ(::waitid(P_PID, static_cast<id_t>(child), &info, WEXITED | WNOWAIT), 0);
    watcher.watch(child);
    ASSERT_TRUE(QTest::qWaitFor([&] { return exits.size() == 1; }, MESSAGE_WAIT_MS));
    EXPECT_EQ(exits[0], child);
    EXPECT_EQ(::waitpid(child, nullptr, WNOHANG), -1);  // reaped
}

}  // namespace
