// The Qt side of the message port: dispatch on the GUI thread.
#include "platform/message_port_qt.h"

#include "common/messages.h"
#include "platform_test_support.h"

#include <QCoreApplication>
#include <QTest>
#include <QThread>

#include <gtest/gtest.h>

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
    for (int k : {-1, platform::HANDLES_PER_PROCESS}) EXPECT_EQ(port.registerWindow(k, {}), -1) << k;
    EXPECT_EQ(port.registerNextWindow({}), MessagePort::handleFor(3));  // 0 and 1 are the process's and the frame's
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

}  // namespace
