// Scheduling class of the calling thread: the render thread runs at idle
// priority (SCHED_IDLE) while the user waits for nothing else, and at
// normal priority (SCHED_OTHER, nice 0) otherwise.
//
// Raising the priority back may be refused by the system (RLIMIT_NICE);
// then the thread simply goes on at idle priority and the call returns false.
#pragma once

namespace platform {

enum class ThreadPriority { Normal, Idle };

// Applies to the calling thread only. False when the system refused.
bool setCurrentThreadPriority(ThreadPriority priority);

// Idle when the calling thread is in SCHED_IDLE, Normal otherwise.
ThreadPriority currentThreadPriority();

}  // namespace platform
