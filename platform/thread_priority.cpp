#include "platform/thread_priority.h"

#include <pthread.h>
#include <sched.h>

namespace platform {

bool setCurrentThreadPriority(ThreadPriority priority) {
    sched_param parameter{};
    parameter.sched_priority = 0;  // the only value both classes accept
    const int policy = priority == ThreadPriority::Idle ? SCHED_IDLE : SCHED_OTHER;
    return pthread_setschedparam(pthread_self(), policy, &parameter) == 0;
}

ThreadPriority currentThreadPriority() {
    int policy = SCHED_OTHER;
    sched_param parameter{};
    if (pthread_getschedparam(pthread_self(), &policy, &parameter) != 0) return ThreadPriority::Normal;
    return policy == SCHED_IDLE ? ThreadPriority::Idle : ThreadPriority::Normal;
}

}  // namespace platform
