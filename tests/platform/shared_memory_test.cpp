#include "platform/shared_memory.h"

#include "platform_test_support.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>

namespace {

using platform::SharedMemory;
using platform_test::uniqueBlockName;

bool allZero(const void* data, std::size_t size) {
    const auto* p = static_cast<const unsigned char*>(data);
    return std::all_of(p, p + size, [](unsigned char c) { return c == 0; });
}

mode_t modeOf(const std::string& name) {
    struct stat status {};
    return ::stat(platform::sharedMemoryPath(name).c_str(), &status) == 0 ? status.st_mode & 0777 : 0;
}

TEST(SharedMemory, CreatedBlockIsZeroedPrivateAndSharedWithOpenersWithinItsSize) {
    const std::string name = uniqueBlockName("PDataT");
    int error = -1;
    auto block = SharedMemory::create(name, 13000, &error);
    ASSERT_TRUE(block.has_value()) << std::strerror(error);
    EXPECT_EQ(error, 0);
    EXPECT_EQ(block->size(), 13000u);
    EXPECT_TRUE(allZero(block->data(), block->size()));
    EXPECT_EQ(modeOf(name), 0600u);

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
        EXPECT_FALSE(SharedMemory::open(name).has_value());
    }
    std::string longest = uniqueBlockName("P");
    longest.resize(250, 'x');
    EXPECT_TRUE(SharedMemory::create(longest, 64).has_value());
}

TEST(SharedMemory, BlockLeftByADeadProcessIsCreatedAfresh) {
    const std::string name = uniqueBlockName("FDataT");
    // A process that creates the object, fills it and dies without unlinking.
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const int fd = ::shm_open(("/" + name).c_str(), O_RDWR | O_CREAT | O_EXCL, 0644);
        void* p = fd < 0 || ::ftruncate(fd, 4096) != 0 ? MAP_FAILED : ::mmap(nullptr, 4096, PROT_WRITE, MAP_SHARED, fd, 0);
        if (p != MAP_FAILED) std::memset(p, 0xAB, 4096);
        ::_exit(p == MAP_FAILED);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    ASSERT_EQ(modeOf(name), 0644u);

    auto block = SharedMemory::create(name, 1368);
    ASSERT_TRUE(block.has_value());
    EXPECT_EQ(block->objectSize(), 1368u);
    EXPECT_TRUE(allZero(block->data(), block->size()));
    EXPECT_EQ(modeOf(name), 0600u);  // not the dead process's 0644
}

}  // namespace
