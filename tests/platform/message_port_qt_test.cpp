#include "platform/message_port_qt.h"

#include "common/messages.h"
#include "platform/child_watcher.h"
#include "platform_test_support.h"

#include <QCoreApplication>
#include <QTest>
#include <QThread>

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

using platform::MessagePort;
using platform_test::MESSAGE_WAIT_MS;

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

}  // namespace
