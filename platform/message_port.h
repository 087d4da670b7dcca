// Posted window messages between and inside processes.
//
// Handles. A message-receiving window is named by a 32-bit handle
// pid * 256 + k: k = 1 for the front end's main dialog or a viewer's frame,
// k = 2, 3, ... for further windows, k = 0 for the process itself (WM_CLOSE
// sent to pid * 256 closes a viewer even before its frame exists). The
// owner of a handle is handle / 256.
//
// Transport. Each process that receives messages binds one Unix datagram
// socket at <socketDirectory()>/<pid>. The directory is
// $XDG_RUNTIME_DIR/halvatrine, or /tmp/halvatrine-<uid> without a usable
// XDG_RUNTIME_DIR; it is created with mode 0700 and must be a directory
// owned by the user. A message is 16 bytes: four little-endian int32s
// (target handle, message number, wParam, lParam).
//
// postMessage never blocks and never throws; like PostMessage it reports
// failure only by its result. A handle of the calling process is delivered
// through the local delivery installed by the Qt message port (into the Qt
// event queue, safe from any thread); any other handle through its owner's
// socket. Messages from one sender to one target arrive in the order posted.
//
// Full queues. The kernel keeps only a few datagrams per socket. A message
// for a socket whose queue is full waits in this process's outbox and a
// background thread delivers it, in order, as the receiver reads; posting
// still returns at once. A receiver that reads nothing for 5 seconds is
// taken as hung and its waiting messages are dropped.
//
// Receiving (MessageEndpoint) accepts a message only when
//  - it is exactly 16 bytes,
//  - the sender runs as the same user (kernel-supplied credentials),
//  - its target handle belongs to this process,
//  - for 1025..1028 (viewer -> front end), wParam equals the sender's pid.
// Everything else is dropped silently.
#pragma once

#include <sys/types.h>

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace platform {

using WindowHandle = std::int32_t;

inline constexpr int HANDLES_PER_PROCESS = 256;
inline constexpr int MESSAGE_SIZE = 16;

constexpr WindowHandle makeWindowHandle(pid_t pid, int k) {
    return static_cast<WindowHandle>(pid) * HANDLES_PER_PROCESS + k;
}
constexpr pid_t processOfHandle(WindowHandle handle) { return handle / HANDLES_PER_PROCESS; }
constexpr int indexOfHandle(WindowHandle handle) { return handle % HANDLES_PER_PROCESS; }

struct Message {
    WindowHandle target = 0;
    int msg = 0;
    int wParam = 0;
    int lParam = 0;
};

std::array<unsigned char, MESSAGE_SIZE> encodeMessage(const Message& m);
Message decodeMessage(const unsigned char* bytes);  // MESSAGE_SIZE bytes

// Delivery of messages to handles of this process (installed by the Qt port).
class LocalDelivery {
public:
    virtual ~LocalDelivery() = default;
    // Called from any thread; must not block for long.
    virtual void deliver(const Message& m) = 0;
};

// Installs (or with nullptr removes) the local delivery. postMessage keeps a
// reference while it delivers, so removal is safe while other threads post.
void setLocalDelivery(std::shared_ptr<LocalDelivery> delivery);

// Posts a message. Returns false when it could not be queued (unknown
// process, full queue, no local delivery, invalid handle).
bool postMessage(WindowHandle target, int msg, int wParam, int lParam);

// Sends through the owner's socket, even for a handle of this process.
bool sendMessageToSocket(WindowHandle target, int msg, int wParam, int lParam);

// Waits up to timeoutMs until every message posted to another process has
// been handed to its socket (see "Full queues" above). Call it before the
// process ends after posting its last messages; true when nothing is left.
bool flushPostedMessages(int timeoutMs);

// The socket directory for this user (see above); created if missing.
// Empty when no usable directory exists.
std::string socketDirectory();
// <socketDirectory()>/<pid>
std::string socketPathFor(pid_t pid);

struct ReceivedMessage {
    Message message;
    pid_t senderPid = 0;
};

// This process's socket. Binding removes a stale socket file of the same pid;
// destruction closes the socket and removes the file (also registered for
// removal on SIGINT/SIGTERM).
class MessageEndpoint {
public:
    // nullptr on failure (errno in *error).
    static std::unique_ptr<MessageEndpoint> open(int* error = nullptr);
    ~MessageEndpoint();
    MessageEndpoint(const MessageEndpoint&) = delete;
    MessageEndpoint& operator=(const MessageEndpoint&) = delete;

    int fd() const { return fd_; }
    const std::string& path() const { return path_; }

    // The next accepted message; nullopt when none is waiting. Never blocks.
    std::optional<ReceivedMessage> receive();
    // Waits up to timeoutMs (-1: no limit) until a datagram is waiting.
    bool waitReadable(int timeoutMs) const;

    // Messages refused so far (wrong size, other user, foreign target, pid mismatch).
    int refusedCount() const { return refused_; }

private:
    MessageEndpoint(int fd, std::string path, int cleanupToken)
        : fd_(fd), path_(std::move(path)), cleanupToken_(cleanupToken) {}
    int fd_;
    std::string path_;
    int cleanupToken_;
    int refused_ = 0;
};

}  // namespace platform
