#include "platform/thread_priority.h"

#include <gtest/gtest.h>

#include <thread>

TEST(ThreadPriority, IdleAndBackOnTheCallingThreadOnly) {
    using enum platform::ThreadPriority;
    platform::ThreadPriority seen[2] = {Normal, Idle};
    bool changed[2] = {false, false};
    std::thread([&] {
        for (int i : {0, 1}) {
            changed[i] = platform::setCurrentThreadPriority(i == 0 ? Idle : Normal);
            seen[i] = platform::currentThreadPriority();
        }
    }).join();
    ASSERT_TRUE(changed[0]);
    EXPECT_EQ(seen[0], Idle);
    EXPECT_EQ(seen[1], changed[1] ? Normal : Idle);  // raising may be refused by the system
    EXPECT_EQ(platform::currentThreadPriority(), Normal);  // this thread untouched
}
