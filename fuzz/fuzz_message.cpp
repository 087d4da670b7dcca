// The 16-byte messages between the programs, as a process's endpoint
// receives them: the input goes as one datagram (of any length) from this
// process to its own socket. Only a well-formed message for a handle of this
// process may come out, carrying exactly the bytes sent; anything else is
// refused and counted. The decoder and encoder must agree on every message.
// Process id 1 in the target handle, and a wParam of 1, stand for this
// process (the seeds cannot know its pid).
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include "fuzz_check.h"
#include "platform/message_port.h"

namespace {

constexpr std::size_t MAX_DATAGRAM_BYTES = 256;
constexpr pid_t PLACEHOLDER_PID = 1;

platform::MessageEndpoint& endpoint() {
    static const std::unique_ptr<platform::MessageEndpoint> own = platform::MessageEndpoint::open();
    if (!own) std::abort();
    return *own;
}

int sender() {
    static const int fd = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    return fd;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > MAX_DATAGRAM_BYTES) return 0;
    std::vector<std::uint8_t> sent(data, data + size);
    if (size >= platform::MESSAGE_SIZE) {
        platform::Message m = platform::decodeMessage(data);
        FUZZ_CHECK(std::memcmp(platform::encodeMessage(m).data(), data, platform::MESSAGE_SIZE) == 0);
        if (platform::processOfHandle(m.target) == PLACEHOLDER_PID)
            m.target = platform::makeWindowHandle(::getpid(), platform::indexOfHandle(m.target));
        if (m.wParam == PLACEHOLDER_PID) m.wParam = ::getpid();
        const auto bytes = platform::encodeMessage(m);
        std::memcpy(sent.data(), bytes.data(), bytes.size());
    }

    platform::MessageEndpoint& own = endpoint();
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, own.path().c_str(), sizeof address.sun_path - 1);
    const int refusedBefore = own.refusedCount();
    FUZZ_CHECK(::sendto(sender(), sent.data(), size, 0, reinterpret_cast<const sockaddr*>(&address), sizeof address) ==
               static_cast<ssize_t>(size));
    const auto received = own.receive();
    FUZZ_CHECK(!own.receive().has_value());
    if (!received) {
        FUZZ_CHECK(own.refusedCount() == refusedBefore + 1);
        return 0;
    }
    FUZZ_CHECK(size == platform::MESSAGE_SIZE && received->senderPid == ::getpid());
    FUZZ_CHECK(platform::processOfHandle(received->message.target) == ::getpid());
    const auto bytes = platform::encodeMessage(received->message);
    FUZZ_CHECK(std::memcmp(bytes.data(), sent.data(), size) == 0);
    return 0;
}
