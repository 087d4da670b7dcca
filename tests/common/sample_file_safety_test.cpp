// The sample file beyond the format: only a regular file is read (a device or a folder named like it is no
// sample file, a FIFO would block), names are taken by present records only, failed writes leave no trace.
#include "common/sample_file.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <tuple>

TEST(SampleFileSafety, OnlyARegularFileIsRead) {
    for (const char* path : {"/dev/null", "/", "/nonexistent-directory/SampleData.dat"}) {
        common::SampleFile file;
        EXPECT_FALSE(file.readSamples(path, common::SampleAccess::ReadOnly)) << path;
        EXPECT_EQ(file.wasMissing(), path[1] == 'n') << path;  // only a missing file may be created anew
    }
}

TEST(SampleFileSafety, NamesAreTakenByPresentRecordsOnly) {
    std::string texts;
    for (int i = 0; i < common::SAMPLE_TEXT_COUNT; ++i) texts += "1 ";
    const common::SampleTable table = common::parseSamples(texts + "a\r" + texts + "\r");  // the second has no name
    EXPECT_EQ(std::make_tuple(table.hasName("a"), table.hasName(""), table.hasName("b"), table.presentCount()),
              std::make_tuple(true, false, false, 1));
}

// Under a 1000-byte file size limit (its signal ignored) an 1800-byte record fails: no file keeps any of it.
TEST(SampleFileSafety, FailedWritesLeaveNoTrace) {
    const std::string old = testing::TempDir() + "hv-sample-write-" + std::to_string(::getpid()), fresh = old + "-new";
    std::filesystem::remove(fresh);
    std::ofstream(old, std::ios::binary) << "x";
    common::SampleTexts texts;
    texts.fill(std::string(40, '1'));
    common::SampleFile file;
    ASSERT_TRUE(file.readSamples(old, common::SampleAccess::ReadWrite));
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const rlimit limit{1000, saved.rlim_max};
    signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &limit);
    const auto appended = file.appendSample(texts, "n"), created = file.createWithSample(fresh, texts, "n");
    setrlimit(RLIMIT_FSIZE, &saved);
    EXPECT_EQ(appended, common::SampleWriteResult::WriteFailed);
    EXPECT_EQ(created, common::SampleWriteResult::WriteFailed);
    EXPECT_EQ(std::filesystem::file_size(old), 1u);
    EXPECT_FALSE(std::filesystem::remove(fresh));  // it did not exist
    std::filesystem::remove(old);
}
