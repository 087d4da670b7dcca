#include "platform/shared_memory.h"

#include "platform_test_support.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using platform::SharedMemory;
using platform_test::uniqueBlockName;

bool allZero(const void* data, std::size_t size) {
    const auto* p = static_cast<const unsigned char*>(data);
    for (std::size_t i = 0; i < size; ++i)
        if (p[i]) return false;
    return true;
}

TEST(SharedMemory, CreatedBlockIsZeroedPrivateAndSharedWithOpeners) {
    const std::string name = uniqueBlockName("PDataT");
    int error = -1;
    auto block = SharedMemory::create(name, 13000, &error);
    ASSERT_TRUE(block.has_value()) << std::strerror(error);
    EXPECT_EQ(error, 0);
    EXPECT_EQ(block->size(), 13000u);
    EXPECT_TRUE(allZero(block->data(), block->size()));

    struct stat status {};
    ASSERT_EQ(::stat(platform::sharedMemoryPath(name).c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0600u);
    EXPECT_EQ(status.st_uid, ::geteuid());

    auto whole = SharedMemory::open(name);
    ASSERT_TRUE(whole.has_value());
    EXPECT_EQ(whole->size(), 13000u);
    auto part = SharedMemory::open(name, 12936);
    ASSERT_TRUE(part.has_value());
    EXPECT_EQ(part->size(), 12936u);
    EXPECT_EQ(part->objectSize(), 13000u);

    static_cast<unsigned char*>(block->data())[12935] = 0x5A;
    EXPECT_EQ(static_cast<unsigned char*>(part->data())[12935], 0x5A);  // one object, two mappings

    // Openers never remove the name; the creator does when it goes.
    whole.reset();
    part.reset();
    EXPECT_TRUE(SharedMemory::exists(name));
    block.reset();
    EXPECT_FALSE(SharedMemory::exists(name));
}

TEST(SharedMemory, BlockLeftByADeadProcessIsCreatedAfresh) {
    const std::string name = uniqueBlockName("FDataT");
    // A process that creates the object, fills it and dies without unlinking.
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const int fd = ::shm_open(("/" + name).c_str(), O_RDWR | O_CREAT | O_EXCL, 0644);
        if (fd < 0 || ::ftruncate(fd, 4096) != 0) ::_exit(1);
        void* p = ::mmap(nullptr, 4096, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
        if (p == MAP_FAILED) ::_exit(1);
        std::memset(p, 0xAB, 4096);
        ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    ASSERT_TRUE(SharedMemory::exists(name));

    auto block = SharedMemory::create(name, 1368);
    ASSERT_TRUE(block.has_value());
    EXPECT_EQ(block->objectSize(), 1368u);
    EXPECT_TRUE(allZero(block->data(), block->size()));
    struct stat st {};
    ASSERT_EQ(::stat(platform::sharedMemoryPath(name).c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);  // not the dead process's 0644
}

}  // namespace
