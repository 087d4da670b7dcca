#include "platform/process.h"

#include "platform/message_port.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <poll.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace platform {
namespace {

constexpr auto POLL_STEP = std::chrono::milliseconds(5);

std::string baseName(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// 1: reaped or already gone, 0: still running.
int tryReap(pid_t pid, int* status) { return reapChild(pid, status) == ReapResult::Running ? 0 : 1; }

}  // namespace

ReapResult reapChild(pid_t pid, int* status) {
    siginfo_t info{};
    int r;
    do {
        info.si_pid = 0;
        r = ::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT);
    } while (r < 0 && errno == EINTR);
    if (r < 0) return ReapResult::NotAChild;
    if (info.si_pid == 0) return ReapResult::Running;
    if (const std::string socket = socketPathFor(pid); !socket.empty()) ::unlink(socket.c_str());
    int s = 0;
    pid_t reaped;
    do {
        reaped = ::waitpid(pid, &s, WNOHANG);
    } while (reaped < 0 && errno == EINTR);
    if (reaped != pid) return ReapResult::NotAChild;
    if (status) *status = s;
    return ReapResult::Reaped;
}

std::optional<pid_t> startProcess(const std::string& program, const std::vector<std::string>& arguments,
                                  const std::string& workingDirectory, int* error) {
    auto fail = [error](int e) -> std::optional<pid_t> {
        if (error) *error = e;
        return std::nullopt;
    };
    if (program.empty() || program[0] != '/') return fail(EINVAL);

    std::vector<std::string> argvStrings;
    argvStrings.push_back(baseName(program));
    argvStrings.insert(argvStrings.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& s : argvStrings) argv.push_back(s.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    if (int e = posix_spawn_file_actions_init(&actions)) return fail(e);
    int e = 0;
    if (!workingDirectory.empty()) e = posix_spawn_file_actions_addchdir_np(&actions, workingDirectory.c_str());
    // Nothing but stdio goes to the child, whatever flags our descriptors carry.
    if (e == 0) e = posix_spawn_file_actions_addclosefrom_np(&actions, 3);
    posix_spawnattr_t attributes;
    if (e == 0) e = posix_spawnattr_init(&attributes);
    if (e != 0) {
        posix_spawn_file_actions_destroy(&actions);
        return fail(e);
    }
    // The child starts with default signal handling and an empty mask.
    sigset_t defaults;
    sigemptyset(&defaults);
    for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGPIPE, SIGCHLD}) sigaddset(&defaults, signal);
    sigset_t emptyMask;
    sigemptyset(&emptyMask);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setsigmask(&attributes, &emptyMask);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);

    pid_t pid = 0;
    e = posix_spawn(&pid, program.c_str(), &actions, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    if (e != 0) return fail(e);
    if (error) *error = 0;
    return pid;
}

int openExitDescriptor(pid_t pid) {
#ifdef SYS_pidfd_open
    const long fd = ::syscall(SYS_pidfd_open, pid, 0);
    if (fd >= 0) {
        return static_cast<int>(fd);  // pidfds are close-on-exec
    }
#else
    (void)pid;
#endif
    return -1;
}

bool waitForExit(pid_t pid, int timeoutMs, int* status) {
    if (pid <= 0) return true;
    if (tryReap(pid, status)) return true;
    if (timeoutMs == 0) return false;

    const int pidfd = openExitDescriptor(pid);
    if (pidfd >= 0) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        for (;;) {
            int wait = -1;
            if (timeoutMs > 0) {
                const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                    deadline - std::chrono::steady_clock::now());
                wait = static_cast<int>(std::max<long long>(0, left.count()));
            }
            pollfd p{pidfd, POLLIN, 0};
            const int r = ::poll(&p, 1, wait);
            if (r < 0 && errno == EINTR) continue;
            break;
        }
        ::close(pidfd);
        return tryReap(pid, status) == 1;
    }
    // No pidfd: look again in small steps.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (timeoutMs < 0 || std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(POLL_STEP);
        if (tryReap(pid, status)) return true;
    }
    return false;
}

std::string executableDirectory() {
    char buffer[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0) return {};
    const std::string path(buffer, static_cast<std::size_t>(n));
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

}  // namespace platform
