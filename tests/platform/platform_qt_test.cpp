// The Qt side of the platform layer: the message port's dispatch, the notice of ended children.
#include "platform/child_watcher.h"
#include "platform/message_port_qt.h"

#include "common/messages.h"
#include "platform_test_support.h"

#include <QCoreApplication>
#include <QTest>
#include <QThread>

#include <gtest/gtest.h>

#include <set>
#include <thread>

namespace {

using platform::MessagePort;

TEST(MessagePortQt, PostsArriveInOrderOnTheGuiThreadAndOnlyAtRegisteredWindows) {
    MessagePort port;
    ASSERT_TRUE(port.isListening());
    std::vector<int> order, unhandled;
    bool onGuiThread = true;
    int removedCalls = 0;
    QObject::connect(&port, &MessagePort::messageDispatched, [&](int target, int, int, int, bool handled) {
        if (!handled) unhandled.push_back(target);
    });
    const platform::WindowHandle view = port.registerWindow(2, [&](int msg, int w, int) {
        onGuiThread = onGuiThread && QThread::currentThread() == QCoreApplication::instance()->thread();
        if (msg == common::MSG_PAINT_COLUMNS) order.push_back(w);
    });
    const platform::WindowHandle frame = port.registerWindow(1, [&](int, int, int) { ++removedCalls; });
    platform::postMessage(frame, common::MSG_RECOLOUR, 0, 0);
    port.unregisterWindow(frame);  // gone before the queued message is dispatched
    platform::postMessage(MessagePort::handleFor(9), common::MSG_RECOLOUR, 0, 0);
    constexpr int COUNT = 1000;
    std::thread render([view] {
        for (int i = 0; i < COUNT; ++i) platform::postMessage(view, common::MSG_PAINT_COLUMNS, i, 0);
    });
    render.join();
    EXPECT_TRUE(order.empty());  // queued, not called on the posting thread
    ASSERT_TRUE(QTest::qWaitFor([&] { return order.size() == COUNT; }, platform_test::MESSAGE_WAIT_MS));
    for (int i = 0; i < COUNT; ++i) ASSERT_EQ(order[i], i);
    EXPECT_TRUE(onGuiThread);
    EXPECT_EQ(removedCalls, 0);
    EXPECT_EQ(unhandled, (std::vector<int>{frame, MessagePort::handleFor(9)}));
}

// Each end is reported once, with its status (-1 for a child reaped elsewhere, watched
// without a pidfd), and the watch leaves no descriptor open.
TEST(ChildWatcher, ReportsEachEndOnceWithItsStatusAndClosesWhatItOpened) {
    const auto descriptors = [] { return platform_test::directoryEntryCount("/proc/self/fd"); };
    const int before = descriptors();
    pid_t children[2];
    for (pid_t& child : children)
        if ((child = ::fork()) == 0) for (;;) ::pause();  // until a signal ends it
    const auto [gone, killed] = children;
    platform::ChildWatcher watcher;
    std::multiset<std::pair<qint64, int>> ended;
    QObject::connect(&watcher, &platform::ChildWatcher::exited, [&](qint64 pid, int s) { ended.insert({pid, s}); });
    ::kill(gone, SIGKILL);
    ::waitpid(gone, nullptr, 0);
    for (pid_t pid : {killed, killed, gone}) watcher.watch(pid);  // a second watch changes nothing
    ::kill(killed, SIGTERM);
    ASSERT_TRUE(QTest::qWaitFor([&] { return ended.size() == 2; }, platform_test::MESSAGE_WAIT_MS));
    EXPECT_EQ(ended, (std::multiset<std::pair<qint64, int>>{{gone, -1}, {killed, SIGTERM}}));
    EXPECT_FALSE(watcher.isWatching(killed) || watcher.isWatching(gone));
    EXPECT_EQ(descriptors(), before);
}

}  // namespace
