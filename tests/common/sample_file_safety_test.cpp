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
    for (int i = 0; i < common::SAMPLE_TEXT_COUNT; ++i) texts += " 1\t";  // runs of blanks separate too
    const common::SampleTable table = common::parseSamples(texts + "a\r" + texts + "\r");  // the second has no name
    EXPECT_EQ(std::make_tuple(table.hasName("a"), table.hasName(""), table.hasName("b"), table.presentCount()),
              std::make_tuple(true, false, false, 1));
}

// File size limits (signal ignored) make each write fail part way: no file keeps any of it, no temporary stays.
TEST(SampleFileSafety, FailedWritesLeaveNoTrace) {
    const std::filesystem::path dir = testing::TempDir() + "hv-sample-write-" + std::to_string(::getpid());
    std::filesystem::remove_all(dir);
    std::filesystem::create_directory(dir);
    std::string record;  // 90 bytes, then 1800-byte ones that exceed 1000
    for (int i = 0; i < common::SAMPLE_TEXT_COUNT; ++i) record += "1 ";
    std::ofstream(dir / "old", std::ios::binary) << record << "a\r";
    common::SampleTexts texts;
    texts.fill(std::string(40, '1'));
    common::SampleFile file;
    ASSERT_TRUE(file.readSamples(dir / "old", common::SampleAccess::ReadWrite));
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const rlimit limit{1000, saved.rlim_max}, tight{50, saved.rlim_max};
    signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &limit);
    const auto appended = file.appendSample(texts, "n");
    setrlimit(RLIMIT_FSIZE, &tight);
    const auto removed = file.deleteSamples({});
    setrlimit(RLIMIT_FSIZE, &limit);
    const auto created = file.createWithSample(dir / "new", texts, "n");
    setrlimit(RLIMIT_FSIZE, &saved);
    for (const auto result : {appended, removed, created}) EXPECT_EQ(result, common::SampleWriteResult::WriteFailed);
    EXPECT_EQ(std::filesystem::file_size(dir / "old"), record.size() + 2);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 1);  // no new file, no temporary
    std::filesystem::remove_all(dir);
}
