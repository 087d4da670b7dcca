#include "platform/message_port.h"

#include "common/messages.h"
#include "platform/termination_cleanup.h"

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <map>
#include <thread>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace platform {
namespace {

constexpr mode_t DIRECTORY_MODE = 0700;

void putInt32(unsigned char* out, std::int32_t v) {
    const auto u = static_cast<std::uint32_t>(v);
    out[0] = static_cast<unsigned char>(u & 0xFF);
    out[1] = static_cast<unsigned char>((u >> 8) & 0xFF);
    out[2] = static_cast<unsigned char>((u >> 16) & 0xFF);
    out[3] = static_cast<unsigned char>((u >> 24) & 0xFF);
}

std::int32_t getInt32(const unsigned char* in) {
    const std::uint32_t u = static_cast<std::uint32_t>(in[0]) | (static_cast<std::uint32_t>(in[1]) << 8) |
                            (static_cast<std::uint32_t>(in[2]) << 16) | (static_cast<std::uint32_t>(in[3]) << 24);
    return static_cast<std::int32_t>(u);
}

// A directory we may put our socket in: a real directory (no symlink), ours,
// closed to everybody else. A directory of ours with a wider mode is narrowed.
bool usableDirectory(const std::string& path, bool create) {
    if (create && ::mkdir(path.c_str(), DIRECTORY_MODE) != 0 && errno != EEXIST) return false;
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0) return false;
    if (!S_ISDIR(status.st_mode) || status.st_uid != ::geteuid()) return false;
    if ((status.st_mode & 077) != 0 && ::chmod(path.c_str(), DIRECTORY_MODE) != 0) return false;
    return true;
}

bool fillAddress(const std::string& path, sockaddr_un& address) {
    std::memset(&address, 0, sizeof address);
    address.sun_family = AF_UNIX;
    if (path.empty() || path.size() >= sizeof address.sun_path) return false;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    return true;
}

// One unbound socket for sending; the kernel attaches our credentials to
// every datagram for receivers that ask for them.
int senderSocket() {
    static const int fd = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    return fd;
}

std::mutex g_deliveryMutex;
std::shared_ptr<LocalDelivery> g_delivery;

bool isViewerReport(int msg) { return msg >= common::MSG_DRAW_STARTED && msg <= common::MSG_VIEWER_CLOSING; }

}  // namespace

std::array<unsigned char, MESSAGE_SIZE> encodeMessage(const Message& m) {
    std::array<unsigned char, MESSAGE_SIZE> bytes{};
    putInt32(bytes.data(), m.target);
    putInt32(bytes.data() + 4, m.msg);
    putInt32(bytes.data() + 8, m.wParam);
    putInt32(bytes.data() + 12, m.lParam);
    return bytes;
}

Message decodeMessage(const unsigned char* bytes) {
    return Message{getInt32(bytes), getInt32(bytes + 4), getInt32(bytes + 8), getInt32(bytes + 12)};
}

void setLocalDelivery(std::shared_ptr<LocalDelivery> delivery) {
    std::lock_guard lock(g_deliveryMutex);
    g_delivery = std::move(delivery);
}

std::string socketDirectory() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && runtime[0] == '/' && usableDirectory(runtime, false)) {
        const std::string path = std::string(runtime) + "/halvatrine";
        if (usableDirectory(path, true)) return path;
    }
    const std::string fallback = "/tmp/halvatrine-" + std::to_string(::geteuid());
    if (usableDirectory(fallback, true)) return fallback;
    return {};
}

std::string socketPathFor(pid_t pid) {
    const std::string directory = socketDirectory();
    if (directory.empty()) return {};
    return directory + "/" + std::to_string(pid);
}

namespace {

enum class SendResult { Sent, Full, Failed };

SendResult trySend(const Message& m) {
    sockaddr_un address;
    if (!fillAddress(socketPathFor(processOfHandle(m.target)), address)) return SendResult::Failed;
    const int fd = senderSocket();
    if (fd < 0) return SendResult::Failed;
    const auto bytes = encodeMessage(m);
    for (;;) {
        const ssize_t sent = ::sendto(fd, bytes.data(), bytes.size(), MSG_DONTWAIT | MSG_NOSIGNAL,
                                      reinterpret_cast<const sockaddr*>(&address), sizeof address);
        if (sent == static_cast<ssize_t>(bytes.size())) return SendResult::Sent;
        if (sent < 0 && errno == EINTR) continue;
        return sent < 0 && (errno == EAGAIN || errno == EWOULDBLOCK) ? SendResult::Full : SendResult::Failed;
    }
}

// Messages whose receiver's queue was full (the kernel keeps only a few
// datagrams per socket). They wait here, per receiving process and in order,
// and a background thread hands them over as the receiver drains its queue,
// so posting never blocks. A receiver that takes nothing for
// OUTBOX_GIVE_UP is hung; its waiting messages are dropped.
class Outbox {
public:
    static Outbox& instance() {
        // Kept alive by its thread, which never ends, so that nothing is
        // destroyed under it at exit.
        static std::shared_ptr<Outbox> outbox = start();
        return *outbox;
    }

    bool post(const Message& m) {
        std::unique_lock lock(mutex_);
        const pid_t pid = processOfHandle(m.target);
        auto it = queues_.find(pid);
        if (it == queues_.end() || it->second.empty()) {
            const SendResult r = trySend(m);
            if (r == SendResult::Sent) return true;
            if (r == SendResult::Failed) return false;
        }
        queues_[pid].push_back(Pending{m, Clock::now()});
        wake_.notify_all();
        return true;
    }

    bool flush(int timeoutMs) {
        std::unique_lock lock(mutex_);
        return drained_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return queues_.empty(); });
    }

private:
    using Clock = std::chrono::steady_clock;
    static constexpr auto OUTBOX_GIVE_UP = std::chrono::seconds(5);
    static constexpr auto OUTBOX_RETRY = std::chrono::milliseconds(5);
    struct Pending {
        Message message;
        Clock::time_point since;
    };

    static std::shared_ptr<Outbox> start() {
        auto outbox = std::make_shared<Outbox>();
        std::thread([outbox] { outbox->run(); }).detach();
        return outbox;
    }

    void run() {
        std::unique_lock lock(mutex_);
        for (;;) {
            wake_.wait(lock, [this] { return !queues_.empty(); });
            for (auto it = queues_.begin(); it != queues_.end();) {
                auto& queue = it->second;
                while (!queue.empty()) {
                    const SendResult r = trySend(queue.front().message);
                    if (r == SendResult::Full && Clock::now() - queue.front().since < OUTBOX_GIVE_UP) break;
                    queue.pop_front();  // sent, receiver gone, or hung
                }
                it = queue.empty() ? queues_.erase(it) : std::next(it);
            }
            if (queues_.empty()) {
                drained_.notify_all();
                continue;
            }
            lock.unlock();
            std::this_thread::sleep_for(OUTBOX_RETRY);
            lock.lock();
        }
    }

    std::mutex mutex_;
    std::condition_variable wake_, drained_;
    std::map<pid_t, std::deque<Pending>> queues_;
};

}  // namespace

bool sendMessageToSocket(WindowHandle target, int msg, int wParam, int lParam) {
    if (target < 0) return false;
    return Outbox::instance().post(Message{target, msg, wParam, lParam});
}

bool flushPostedMessages(int timeoutMs) { return Outbox::instance().flush(timeoutMs); }

bool postMessage(WindowHandle target, int msg, int wParam, int lParam) {
    if (target < 0) return false;
    if (processOfHandle(target) == ::getpid()) {
        std::shared_ptr<LocalDelivery> delivery;
        {
            std::lock_guard lock(g_deliveryMutex);
            delivery = g_delivery;
        }
        if (!delivery) return false;
        delivery->deliver(Message{target, msg, wParam, lParam});
        return true;
    }
    return sendMessageToSocket(target, msg, wParam, lParam);
}

std::unique_ptr<MessageEndpoint> MessageEndpoint::open(int* error) {
    auto fail = [error](int value) -> std::unique_ptr<MessageEndpoint> {
        if (error) *error = value;
        return nullptr;
    };
    const std::string path = socketPathFor(::getpid());
    sockaddr_un address;
    if (path.empty()) return fail(EACCES);
    if (!fillAddress(path, address)) return fail(ENAMETOOLONG);

    const int fd = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) return fail(errno);
    const int on = 1;
    if (::setsockopt(fd, SOL_SOCKET, SO_PASSCRED, &on, sizeof on) != 0) {
        const int e = errno;
        ::close(fd);
        return fail(e);
    }
    // A socket file with our pid is left over from a dead process.
    ::unlink(path.c_str());
    const mode_t previousMask = ::umask(077);
    const int bound = ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address);
    const int bindError = errno;
    ::umask(previousMask);
    if (bound != 0) {
        ::close(fd);
        return fail(bindError);
    }
    const int token = registerCleanupPath(path);
    if (error) *error = 0;
    return std::unique_ptr<MessageEndpoint>(new MessageEndpoint(fd, path, token));
}

MessageEndpoint::~MessageEndpoint() {
    unregisterCleanupPath(cleanupToken_);
    ::close(fd_);
    ::unlink(path_.c_str());
}

bool MessageEndpoint::waitReadable(int timeoutMs) const {
    pollfd p{fd_, POLLIN, 0};
    int r;
    do {
        r = ::poll(&p, 1, timeoutMs);
    } while (r < 0 && errno == EINTR);
    return r > 0 && (p.revents & POLLIN);
}

std::optional<ReceivedMessage> MessageEndpoint::receive() {
    const pid_t self = ::getpid();
    const uid_t user = ::geteuid();
    for (;;) {
        // One byte more than a message, so that longer datagrams are seen as such.
        unsigned char bytes[MESSAGE_SIZE + 1];
        alignas(cmsghdr) unsigned char control[CMSG_SPACE(sizeof(ucred))];
        iovec io{bytes, sizeof bytes};
        msghdr header{};
        header.msg_iov = &io;
        header.msg_iovlen = 1;
        header.msg_control = control;
        header.msg_controllen = sizeof control;
        const ssize_t n = ::recvmsg(fd_, &header, MSG_DONTWAIT | MSG_CMSG_CLOEXEC);
        if (n < 0) {
            if (errno == EINTR) continue;
            return std::nullopt;  // EAGAIN: nothing waiting
        }
        const ucred* credentials = nullptr;
        for (cmsghdr* c = CMSG_FIRSTHDR(&header); c; c = CMSG_NXTHDR(&header, c)) {
            if (c->cmsg_level == SOL_SOCKET && c->cmsg_type == SCM_CREDENTIALS &&
                c->cmsg_len >= CMSG_LEN(sizeof(ucred)))
                credentials = reinterpret_cast<const ucred*>(CMSG_DATA(c));
            // Descriptors passed along are never wanted.
            if (c->cmsg_level == SOL_SOCKET && c->cmsg_type == SCM_RIGHTS) {
                const std::size_t count = (c->cmsg_len - CMSG_LEN(0)) / sizeof(int);
                for (std::size_t i = 0; i < count; ++i) {
                    int passed;
                    std::memcpy(&passed, CMSG_DATA(c) + i * sizeof(int), sizeof passed);
                    ::close(passed);
                }
            }
        }
        ucred sender{};
        if (credentials) std::memcpy(&sender, credentials, sizeof sender);
        const bool wellFormed = n == MESSAGE_SIZE && !(header.msg_flags & MSG_TRUNC) && credentials;
        if (!wellFormed || sender.uid != user) {
            ++refused_;
            continue;
        }
        const Message m = decodeMessage(bytes);
        if (m.target < 0 || processOfHandle(m.target) != self ||
            (isViewerReport(m.msg) && m.wParam != sender.pid)) {
            ++refused_;
            continue;
        }
        return ReceivedMessage{m, sender.pid};
    }
}

}  // namespace platform
