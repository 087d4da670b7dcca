#include "platform/message_port.h"

#include "common/messages.h"
#include "platform_test_support.h"

#include <gtest/gtest.h>

namespace {

using platform::MessageEndpoint;
using platform_test::MESSAGE_WAIT_MS;
using platform_test::receiveWithin;

platform::WindowHandle ownHandle(int k) { return platform::makeWindowHandle(::getpid(), k); }

// A datagram socket connected to a socket path.
int connectedSocket(const std::string& path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    const int fd = ::socket(AF_UNIX, SOCK_DGRAM, 0);
    if (fd >= 0 && ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) return fd;
    if (fd >= 0) ::close(fd);
    return -1;
}

// Sends raw bytes to this process's socket, bypassing the encoder.
bool sendRaw(const void* bytes, std::size_t size) {
    const int fd = connectedSocket(platform::socketPathFor(::getpid()));
    const bool sent = fd >= 0 && ::send(fd, bytes, size, 0) == static_cast<ssize_t>(size);
    ::close(fd);
    return sent;
}

TEST(MessagePort, EndpointAcceptsOwnUsersMessagesInOrder) {
    // A directory widened by somebody is narrowed again; a socket file left by
    // a dead process with our pid is replaced.
    const std::string directory = platform::socketDirectory();
    ASSERT_EQ(::chmod(directory.c_str(), 0755), 0);
    ::close(platform_test::bindSocket(platform::socketPathFor(::getpid())));
    auto endpoint = MessageEndpoint::open();
    ASSERT_NE(endpoint, nullptr);
    EXPECT_EQ(std::filesystem::status(directory).permissions(), std::filesystem::perms::owner_all);
    constexpr int COUNT = 200;
    for (int i = 0; i < COUNT; ++i)
        ASSERT_TRUE(platform::sendMessageToSocket(ownHandle(i % 3), common::MSG_PAINT_COLUMNS, i, -i));
    for (int i = 0; i < COUNT; ++i) {
        const auto m = receiveWithin(*endpoint, MESSAGE_WAIT_MS);
        ASSERT_TRUE(m.has_value());
        EXPECT_EQ(m->message.target, ownHandle(i % 3));
        EXPECT_EQ(m->message.msg, common::MSG_PAINT_COLUMNS);
        EXPECT_EQ(m->message.wParam, i);
        EXPECT_EQ(m->message.lParam, -i);
        EXPECT_EQ(m->senderPid, ::getpid());
    }
    EXPECT_FALSE(endpoint->receive().has_value());
    EXPECT_EQ(endpoint->refusedCount(), 0);
}

TEST(MessagePort, MalformedForeignAndForgedMessagesAreDropped) {
    auto endpoint = MessageEndpoint::open();
    ASSERT_NE(endpoint, nullptr);
    const auto good = platform::encodeMessage({ownHandle(1), common::WM_CLOSE, 0, 0});
    ASSERT_TRUE(sendRaw(good.data(), 15));                  // too short
    unsigned char longer[17] = {};
    std::memcpy(longer, good.data(), 16);
    ASSERT_TRUE(sendRaw(longer, 17));                       // too long
    const auto foreign = platform::encodeMessage({platform::makeWindowHandle(::getpid() + 1, 1), 16, 0, 0});
    ASSERT_TRUE(sendRaw(foreign.data(), 16));               // not one of our handles
    const auto negative = platform::encodeMessage({-5, 16, 0, 0});
    ASSERT_TRUE(sendRaw(negative.data(), 16));
    EXPECT_FALSE(platform::sendMessageToSocket(-5, common::WM_CLOSE, 0, 0));
    // Viewer reports must carry the sender's own pid.
    for (int msg = common::MSG_DRAW_STARTED; msg <= common::MSG_VIEWER_CLOSING; ++msg)
        ASSERT_TRUE(platform::sendMessageToSocket(ownHandle(1), msg, ::getpid() + 1, 0));
    ASSERT_TRUE(platform::sendMessageToSocket(ownHandle(1), common::MSG_VIEWER_CLOSING, ::getpid(), 0));

    const auto m = receiveWithin(*endpoint, MESSAGE_WAIT_MS);
    ASSERT_TRUE(m.has_value());
    EXPECT_EQ(m->message.msg, common::MSG_VIEWER_CLOSING);
    EXPECT_EQ(m->message.wParam, ::getpid());
    EXPECT_EQ(endpoint->refusedCount(), 8);
    EXPECT_FALSE(endpoint->receive().has_value());
}

TEST(MessagePort, AnotherUsersMessageIsRefused) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to send as another user";
    auto endpoint = MessageEndpoint::open();
    ASSERT_NE(endpoint, nullptr);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // Connect while still allowed into the 0700 directory, then become
        // another user: the kernel stamps the datagram with the new uid.
        const int fd = connectedSocket(endpoint->path());
        if (fd < 0 || ::setresgid(65534, 65534, 65534) != 0 || ::setresuid(65534, 65534, 65534) != 0) ::_exit(1);
        const auto bytes = platform::encodeMessage({platform::makeWindowHandle(::getppid(), 0), 16, 0, 0});
        ::_exit(::send(fd, bytes.data(), bytes.size(), 0) == 16 ? 0 : 3);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    ASSERT_TRUE(endpoint->waitReadable(MESSAGE_WAIT_MS));
    EXPECT_FALSE(endpoint->receive().has_value());
    EXPECT_EQ(endpoint->refusedCount(), 1);
}

}  // namespace
