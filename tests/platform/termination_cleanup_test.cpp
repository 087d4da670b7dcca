#include "platform/message_port.h"
#include "platform/shared_memory.h"
#include "platform/termination_cleanup.h"
#include "platform_test_support.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// A child that owns a block and a socket, is ended by the signal, and must
// leave neither behind.
void expectCleanEndOn(int signal) {
    const std::string name = platform_test::uniqueBlockName("PDataSig");
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::close(ready[0]);
        platform::installTerminationCleanup();
        auto block = platform::SharedMemory::create(name, 12936);
        auto endpoint = platform::MessageEndpoint::open();
        const char ok = (block && endpoint) ? 'y' : 'n';
        if (::write(ready[1], &ok, 1) != 1) ::_exit(1);
        for (;;) ::pause();
    }
    ::close(ready[1]);
    char ok = 0;
    ASSERT_EQ(::read(ready[0], &ok, 1), 1);
    ::close(ready[0]);
    ASSERT_EQ(ok, 'y');
    const std::string socket = platform::socketPathFor(child);
    ASSERT_TRUE(platform::SharedMemory::exists(name));
    ASSERT_EQ(::access(socket.c_str(), F_OK), 0);

    ASSERT_EQ(::kill(child, signal), 0);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFSIGNALED(status));  // still ends by the signal
    EXPECT_EQ(WTERMSIG(status), signal);
    EXPECT_FALSE(platform::SharedMemory::exists(name));
    EXPECT_NE(::access(socket.c_str(), F_OK), 0);
}

TEST(TerminationCleanup, SigtermAndSigintRemoveBlocksAndSocket) {
    for (int signal : {SIGTERM, SIGINT}) expectCleanEndOn(signal);
}

TEST(TerminationCleanup, RegistrationIsBoundedAndReleasable) {
    EXPECT_EQ(platform::registerCleanupPath(""), -1);
    EXPECT_EQ(platform::registerCleanupPath(std::string(600, 'x')), -1);
    std::vector<int> tokens;
    for (int i = 0; i < 1000; ++i) {
        const int t = platform::registerCleanupPath("/nonexistent/" + std::to_string(i));
        if (t < 0) break;
        tokens.push_back(t);
    }
    EXPECT_GT(tokens.size(), 20u);
    EXPECT_LT(tokens.size(), 1000u);  // the table is fixed
    for (int t : tokens) platform::unregisterCleanupPath(t);
    const int again = platform::registerCleanupPath("/nonexistent/again");
    EXPECT_GE(again, 0);  // released slots are reused
    platform::unregisterCleanupPath(again);
}

}  // namespace
