// Nothing is left behind: blocks and sockets go with a process ended by a
// signal, every descriptor opened is closed again, and the start-up sweep
// removes only blocks and sockets whose names have the programs' exact
// forms, that belong to this user, and whose pid names no process at all.
#include "platform/leftover_cleanup.h"
#include "platform/process.h"
#include "platform/shared_memory.h"
#include "platform/termination_cleanup.h"
#include "platform_test_support.h"

#include <gtest/gtest.h>

#include <fcntl.h>

#include <set>

namespace {

namespace fs = std::filesystem;

using platform_test::deadPid;

TEST(TerminationCleanup, SignalsRemoveTheBlocksAndTheSocketAndStillEndTheProcess) {
    for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
        const std::string name = platform_test::uniqueBlockName("PDataSig");
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            auto block = platform::SharedMemory::create(name, 12936);
            auto endpoint = platform::MessageEndpoint::open();
            ::raise(SIGSTOP);  // ready
            for (;;) ::pause();
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, WUNTRACED), child);
        const std::string socket = platform::socketPathFor(child);
        ASSERT_TRUE(platform::SharedMemory::exists(name) && fs::exists(socket));
        ASSERT_EQ(::kill(child, signal), 0);
        ASSERT_EQ(::kill(child, SIGCONT), 0);
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << signal;
        EXPECT_FALSE(platform::SharedMemory::exists(name)) << signal;
        EXPECT_FALSE(fs::exists(socket)) << signal;
    }
}

TEST(TerminationCleanup, RegistrationIsBoundedAndReleasable) {
    EXPECT_EQ(platform::registerCleanupPath(""), -1);
    EXPECT_EQ(platform::registerCleanupPath(std::string(512, 'x')), -1);
    std::vector<int> tokens;
    for (int t = platform::registerCleanupPath(std::string(511, 'x')); t >= 0 && tokens.size() < 1000;
         t = platform::registerCleanupPath("/nonexistent/" + std::to_string(tokens.size())))
        tokens.push_back(t);
    EXPECT_GT(tokens.size(), 20u);
    EXPECT_LT(tokens.size(), 1000u);  // the table is fixed
    for (int t : tokens) platform::unregisterCleanupPath(t);
    const int again = platform::registerCleanupPath("/nonexistent/again");
    EXPECT_EQ(again, tokens.front());  // released slots are reused
    platform::unregisterCleanupPath(again);
}

TEST(Descriptors, BlocksEndpointsWaitsAndSweepsCloseWhatTheyOpen) {
    const auto open = [] { return platform_test::directoryEntryCount("/proc/self/fd"); };
    const int before = open();
    {
        const std::string name = platform_test::uniqueBlockName("PDataD");
        auto block = platform::SharedMemory::create(name, 64);
        auto opened = platform::SharedMemory::open(name);
        auto endpoint = platform::MessageEndpoint::open();
        ASSERT_TRUE(block && opened && endpoint);
        EXPECT_EQ(open(), before + 1);  // the endpoint's socket only
    }
    const pid_t child = ::fork();
    if (child == 0) ::pause();
    EXPECT_FALSE(platform::waitForExit(child, 10));
    ::kill(child, SIGKILL);
    EXPECT_TRUE(platform::waitForExit(child, -1));
    platform::removeLeftoversOfDeadProcesses(platform_test::g_runtimeDirectory, platform_test::g_runtimeDirectory);
    EXPECT_EQ(open(), before);
}

void makeFile(const fs::path& path) { ::close(::open(path.c_str(), O_CREAT | O_WRONLY, 0600)); }

void makeSocket(const fs::path& path) { ::close(platform_test::bindSocket(path)); }

std::set<std::string> namesIn(const fs::path& directory) {
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(directory)) names.insert(e.path().filename().string());
    return names;
}

TEST(LeftoverCleanup, RemovesOnlyWhatDeadProcessesOfThisUserLeft) {
    char pattern[] = "/tmp/hv-leftovers-XXXXXX";
    const fs::path root = ::mkdtemp(pattern);
    const fs::path blocks = root / "shm", sockets = root / "sockets";
    fs::create_directories(blocks), fs::create_directories(sockets);
    const std::string dead = std::to_string(deadPid());
    const std::string live = std::to_string(::getpid());
    // A zombie still holds its pid: its parent reaps it and removes its socket.
    const pid_t zombie = ::fork();
    if (zombie == 0) ::_exit(0);
    ::waitid(P_PID, static_cast<id_t>(zombie), nullptr, WEXITED | WNOWAIT);
    const std::string undead = std::to_string(zombie);

    const std::set<std::string> removedBlocks = {"FData" + dead, "PData3_" + dead, "PData0_" + dead};
    const std::set<std::string> keptBlocks = {
        "FData" + live, "PData0_" + live, "FData" + undead,  // processes that exist
        "FData0" + dead, "FData" + dead + "x", "PDatax_" + dead, "PData3_" + dead + "_1", "PData_" + dead,
        "QData" + dead, "FData-" + dead, "fdata" + dead,     // other programs' names
        "FData0", "FData9999999999", "PData12345678901_" + dead,  // numbers no pid or slot has
    };
    for (const auto& name : removedBlocks) makeFile(blocks / name);
    for (const auto& name : keptBlocks) makeFile(blocks / name);
    // Right name, wrong kind: a socket, a folder and a link among the blocks.
    const std::string other = std::to_string(deadPid());
    makeSocket(blocks / ("FData" + other));
    fs::create_directory(blocks / ("PData1_" + other));
    fs::create_symlink("/etc/hostname", blocks / ("PData2_" + other));

    makeSocket(sockets / dead);
    for (const auto& name : {live, undead, "0" + dead, dead + ".tmp"}) makeSocket(sockets / name);
    makeFile(sockets / other);  // not a socket

    // Another user's objects stay (only root can make them here).
    const std::string foreign = std::to_string(deadPid());
    if (::geteuid() == 0) {
        makeFile(blocks / ("FData" + foreign));
        makeSocket(sockets / foreign);
        ASSERT_EQ(::chown((blocks / ("FData" + foreign)).c_str(), 65534, 65534), 0);
        ASSERT_EQ(::lchown((sockets / foreign).c_str(), 65534, 65534), 0);
    }
    std::set<std::string> expectedBlocks = namesIn(blocks), expectedSockets = namesIn(sockets);
    for (const auto& name : removedBlocks) expectedBlocks.erase(name);
    expectedSockets.erase(dead);

    const platform::LeftoverCount count = platform::removeLeftoversOfDeadProcesses(blocks.string(), sockets.string());
    EXPECT_EQ(std::make_pair(count.blocks, count.sockets), std::make_pair(3, 1));
    EXPECT_EQ(namesIn(blocks), expectedBlocks);
    EXPECT_EQ(namesIn(sockets), expectedSockets);

    ::waitpid(zombie, nullptr, 0);
    fs::remove_all(root);
}

}  // namespace
