// Shared pieces of every folder's process tests: a private socket directory per run, the stand-in's
// path, waiting for messages, and planted faults (a full disk, a dead pid, a stray socket file).
#pragma once

#include "platform/message_port.h"

#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

namespace platform_test {

inline constexpr int MESSAGE_WAIT_MS = 20000;  // a guard against hanging, not a timing check
inline std::string g_runtimeDirectory;

// Points XDG_RUNTIME_DIR at a fresh private directory; call once, before anything uses sockets.
inline std::string useFreshRuntimeDirectory() {
    char pattern[] = "/tmp/hv-platform-test-XXXXXX";
    if (!::mkdtemp(pattern)) std::abort();
    g_runtimeDirectory = pattern;
    ::setenv("XDG_RUNTIME_DIR", pattern, 1);
    return g_runtimeDirectory;
}

inline void removeRuntimeDirectory() {
    std::error_code ignored;
    std::filesystem::remove_all(g_runtimeDirectory, ignored);
}

inline std::string standinPath() { return HV_VIEWER_STANDIN_PATH; }

// A block name that no other test run uses ("<prefix><pid>_<counter>").
inline std::string uniqueBlockName(const std::string& prefix) {
    static std::atomic<int> counter{0};
    return prefix + std::to_string(::getpid()) + "_" + std::to_string(counter++);
}

// The next accepted message, waiting up to timeoutMs for each datagram.
inline std::optional<platform::ReceivedMessage> receiveWithin(platform::MessageEndpoint& endpoint, int timeoutMs) {
    auto m = endpoint.receive();
    while (!m && endpoint.waitReadable(timeoutMs)) m = endpoint.receive();
    return m;
}

// Entries in a directory (without "." and ".."), -1 when it cannot be read.
inline int directoryEntryCount(const std::string& path) {
    std::error_code error;
    const auto count = std::distance(std::filesystem::directory_iterator(path, error), {});
    return error ? -1 : static_cast<int>(count);
}

// While it lives, a write beyond `bytes` fails as on a full disk (SIGXFSZ ignored: an error).
class FullDisk {
public:
    explicit FullDisk(rlim_t bytes) : signal_(std::signal(SIGXFSZ, SIG_IGN)) {
        ::getrlimit(RLIMIT_FSIZE, &saved_);
        rlimit small = saved_;
        small.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &small);
    }
    ~FullDisk() {
        ::setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, signal_);
    }

private:
    rlimit saved_{};
    void (*signal_)(int);
};

// The pid of a child that has ended and been reaped.
inline pid_t deadPid() {
    const pid_t child = ::fork();
    if (child == 0) ::_exit(0);
    ::waitpid(child, nullptr, 0);
    return child;
}

// A datagram socket bound to `path` (the file stays after close); its descriptor.
inline int bindSocket(const std::string& path) {
    const int fd = ::socket(AF_UNIX, SOCK_DGRAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    return ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0 ? fd : -1;
}

// A file's bytes; empty when it cannot be read.
inline std::string fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

}  // namespace platform_test
