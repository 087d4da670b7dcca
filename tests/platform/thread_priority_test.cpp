#include "platform/thread_priority.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

TEST(ThreadPriority, IdleAndBackOnTheCallingThreadOnly) {
    platform::ThreadPriority seenIdle = platform::ThreadPriority::Normal;
    platform::ThreadPriority seenAfter = platform::ThreadPriority::Idle;
    bool lowered = false, raised = false;
    std::thread worker([&] {
        lowered = platform::setCurrentThreadPriority(platform::ThreadPriority::Idle);
        seenIdle = platform::currentThreadPriority();
        raised = platform::setCurrentThreadPriority(platform::ThreadPriority::Normal);
        seenAfter = platform::currentThreadPriority();
    });
    worker.join();
    ASSERT_TRUE(lowered);
    EXPECT_EQ(seenIdle, platform::ThreadPriority::Idle);
    // Raising may be refused by the system; then the thread stays idle.
    EXPECT_EQ(seenAfter, raised ? platform::ThreadPriority::Normal : platform::ThreadPriority::Idle);
    EXPECT_EQ(platform::currentThreadPriority(), platform::ThreadPriority::Normal);  // this thread untouched
}

}  // namespace
