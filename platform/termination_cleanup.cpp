#include "platform/termination_cleanup.h"

#include <atomic>
#include <csignal>
#include <cstring>
#include <mutex>
#include <unistd.h>

namespace platform {
namespace {

constexpr int CLEANUP_SLOTS = 128;    // 10 viewer blocks, the front end block, the socket and spare
constexpr int CLEANUP_PATH_SIZE = 512;

constexpr int SLOT_FREE = 0;
constexpr int SLOT_WRITING = 1;
constexpr int SLOT_READY = 2;

struct CleanupSlot {
    std::atomic<int> state{SLOT_FREE};
    char path[CLEANUP_PATH_SIZE];
};

CleanupSlot g_slots[CLEANUP_SLOTS];
static_assert(std::atomic<int>::is_always_lock_free, "the signal handler needs lock-free atomics");

extern "C" void terminationHandler(int signal) {
    const int savedErrno = errno;
    for (CleanupSlot& slot : g_slots)
        if (slot.state.load(std::memory_order_acquire) == SLOT_READY) ::unlink(slot.path);
    errno = savedErrno;
    // The handler was installed with SA_RESETHAND: the default action ends the process.
    ::raise(signal);
}

}  // namespace

void installTerminationCleanup() {
    static std::once_flag once;
    std::call_once(once, [] {
        struct sigaction action {};
        action.sa_handler = terminationHandler;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESETHAND;
        for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
            sigaddset(&action.sa_mask, signal);
        }
        for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
            struct sigaction previous {};
            sigaction(signal, nullptr, &previous);
            // A signal ignored by the parent (nohup) stays ignored.
            if (previous.sa_handler == SIG_IGN) continue;
            sigaction(signal, &action, nullptr);
        }
    });
}

int registerCleanupPath(const std::string& path) {
    if (path.empty() || path.size() >= CLEANUP_PATH_SIZE) return -1;
    // Whoever owns such an object relies on the handlers.
    installTerminationCleanup();
    for (int i = 0; i < CLEANUP_SLOTS; ++i) {
        int expected = SLOT_FREE;
        if (!g_slots[i].state.compare_exchange_strong(expected, SLOT_WRITING, std::memory_order_acq_rel))
            continue;
        std::memcpy(g_slots[i].path, path.c_str(), path.size() + 1);
        g_slots[i].state.store(SLOT_READY, std::memory_order_release);
        return i;
    }
    return -1;
}

void unregisterCleanupPath(int token) {
    if (token < 0 || token >= CLEANUP_SLOTS) return;
    g_slots[token].state.store(SLOT_FREE, std::memory_order_release);
}

}  // namespace platform
