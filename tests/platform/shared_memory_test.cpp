// Blocks of shared memory, and nothing left behind: a block goes with its creator, blocks and
// sockets with a process ended by a signal, and the start-up sweep removes only the blocks and
// sockets of the programs' exact name forms, of this user, whose pid names no process at all.
#include "platform/leftover_cleanup.h"
#include "platform/shared_memory.h"
#include "platform/termination_cleanup.h"
#include "platform_test_support.h"

#include <gtest/gtest.h>

#include <fcntl.h>

#include <set>

namespace {

namespace fs = std::filesystem;

using platform::SharedMemory;
using platform_test::deadPid;
using platform_test::uniqueBlockName;

// The object's bytes and mode as any process of the user sees them.
std::string bytesOf(const std::string& name) { return platform_test::fileBytes(platform::sharedMemoryPath(name)); }

int modeOf(const std::string& name) {
    return static_cast<int>(std::filesystem::status(platform::sharedMemoryPath(name)).permissions());
}

TEST(SharedMemory, CreatedBlockIsZeroedPrivateAndSharedWithOpenersWithinItsSize) {
    const std::string name = uniqueBlockName("PDataT");
    int error = -1;
    auto block = SharedMemory::create(name, 13000, &error);
    ASSERT_TRUE(block.has_value()) << std::strerror(error);
    EXPECT_EQ(error, 0);
    EXPECT_EQ(block->size(), 13000u);
    EXPECT_EQ(bytesOf(name), std::string(13000, '\0'));
    EXPECT_EQ(modeOf(name), 0600);

    auto whole = SharedMemory::open(name);
    ASSERT_TRUE(whole.has_value());
    EXPECT_EQ(whole->size(), 13000u);
    auto part = SharedMemory::open(name, 12936);
    ASSERT_TRUE(part.has_value());
    EXPECT_EQ(part->size(), 12936u);
    EXPECT_EQ(part->objectSize(), 13000u);
    static_cast<unsigned char*>(block->data())[12935] = 0x5A;
    EXPECT_EQ(static_cast<unsigned char*>(part->data())[12935], 0x5A);  // one object, two mappings
    // A mapping beyond the object's end would fault on access.
    error = 0;
    EXPECT_FALSE(SharedMemory::open(name, 13001, &error).has_value());
    EXPECT_EQ(error, EINVAL);

    // Openers never remove the name; the creator does when it goes.
    whole.reset();
    part.reset();
    EXPECT_TRUE(SharedMemory::exists(name));
    block.reset();
    EXPECT_FALSE(SharedMemory::exists(name));
}

TEST(SharedMemory, NamesThatAreNoObjectNameAndEmptyBlocksAreRefused) {
    const std::pair<std::string, std::size_t> refused[] = {
        {"", 64}, {"PData/x", 64}, {std::string(251, 'P'), 64}, {uniqueBlockName("PDataE"), 0}};
    for (const auto& [name, size] : refused) {
        int error = 0;
        EXPECT_FALSE(SharedMemory::create(name, size, &error).has_value()) << name.size();
        EXPECT_EQ(error, EINVAL);
        EXPECT_FALSE(SharedMemory::open(name).has_value() || SharedMemory::exists(name));
    }
    std::string longest = uniqueBlockName("P");
    longest.resize(250, 'x');
    EXPECT_TRUE(SharedMemory::create(longest, 64).has_value());
}

TEST(SharedMemory, BlockLeftByADeadProcessIsCreatedAfresh) {
    // What a process that died without unlinking leaves: a filled object of a wider mode.
    const std::string name = uniqueBlockName("FDataT");
    std::ofstream(platform::sharedMemoryPath(name)) << std::string(4096, '\xAB');
    std::filesystem::permissions(platform::sharedMemoryPath(name), std::filesystem::perms(0644));
    ASSERT_EQ(modeOf(name), 0644);
    auto block = SharedMemory::create(name, 1368);
    ASSERT_TRUE(block.has_value());
    EXPECT_EQ(block->objectSize(), 1368u);
    EXPECT_EQ(bytesOf(name), std::string(1368, '\0'));
    EXPECT_EQ(modeOf(name), 0600);  // not the dead process's 0644
}

TEST(TerminationCleanup, SignalsRemoveTheBlocksAndTheSocketAndStillEndTheProcess) {
    for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
        const std::string name = uniqueBlockName("PDataSig");
        const pid_t child = ::fork();
        if (child == 0) {
            auto block = SharedMemory::create(name, 12936);
            auto endpoint = platform::MessageEndpoint::open();
            ::raise(SIGSTOP);  // ready
            for (;;) ::pause();
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, WUNTRACED), child);
        const std::string socket = platform::socketPathFor(child);
        ASSERT_TRUE(SharedMemory::exists(name) && fs::exists(socket));
        ASSERT_EQ(::kill(child, signal), 0);
        ASSERT_EQ(::kill(child, SIGCONT), 0);
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << signal;
        EXPECT_FALSE(SharedMemory::exists(name) || fs::exists(socket)) << signal;
    }
}

TEST(TerminationCleanup, RegistrationIsBoundedAndReleasable) {
    EXPECT_EQ(platform::registerCleanupPath(""), -1);
    EXPECT_EQ(platform::registerCleanupPath(std::string(512, 'x')), -1);
    std::vector<int> tokens;
    for (int t = platform::registerCleanupPath(std::string(511, 'x')); t >= 0 && tokens.size() < 1000;
         t = platform::registerCleanupPath("/nonexistent"))
        tokens.push_back(t);
    EXPECT_TRUE(tokens.size() > 20 && tokens.size() < 1000) << tokens.size();  // the table is fixed
    for (int t : tokens) platform::unregisterCleanupPath(t);
    for (int outside : {-1, static_cast<int>(tokens.size())}) platform::unregisterCleanupPath(outside);  // ignored
    EXPECT_EQ(platform::registerCleanupPath("/nonexistent"), tokens.front());  // released slots are reused
}

void makeFile(const fs::path& path) { ::close(::open(path.c_str(), O_CREAT | O_WRONLY, 0600)); }

void makeSocket(const fs::path& path) { ::close(platform_test::bindSocket(path)); }

std::set<std::string> namesIn(const fs::path& directory) {
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(directory)) names.insert(e.path().filename().string());
    return names;
}

TEST(LeftoverCleanup, RemovesOnlyWhatDeadProcessesOfThisUserLeft) {
    const fs::path blocks = platform_test::g_runtimeDirectory + "/shm", sockets = platform_test::g_runtimeDirectory + "/s";
    for (const fs::path& folder : {blocks, sockets}) fs::create_directories(folder);  // removed with the run's folder
    const std::string dead = std::to_string(deadPid());
    const std::string live = std::to_string(::getpid());

    const std::set<std::string> removedBlocks = {"FData" + dead, "PData3_" + dead, "PData0_" + dead};
    const std::set<std::string> keptBlocks = {
        "FData" + live, "PData0_" + live, "FData1",          // processes that exist
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
    for (const auto& name : {live, "0" + dead, dead + ".tmp"}) makeSocket(sockets / name);
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
}

}  // namespace
