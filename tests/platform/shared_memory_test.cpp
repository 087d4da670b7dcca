#include "platform/shared_memory.h"

#include "platform_test_support.h"

#include <gtest/gtest.h>

namespace {

using platform::SharedMemory;
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
        EXPECT_FALSE(SharedMemory::open(name).has_value());
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

}  // namespace
