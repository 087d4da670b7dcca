// The front end's sample dialogs on a disk that fills up while they write:
// the file stays as it was and the user is told.
#include <QListWidget>
#include <QPushButton>
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/resource.h>

#include "common/sample_file.h"
#include "frontend/sample_dialogs.h"
#include "frontend_test_support.h"
#include "platform/recording_message_boxes.h"

namespace {

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// While it lives, files cannot grow beyond `bytes`: a write past it fails as
// on a full disk (SIGXFSZ is ignored, so the write returns an error).
class FullDisk {
public:
    explicit FullDisk(rlim_t bytes) : signal_(std::signal(SIGXFSZ, SIG_IGN)) {
        ::getrlimit(RLIMIT_FSIZE, &saved_);
        rlimit small = saved_;
        small.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &small);
    }
    ~FullDisk() {
        ::setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, signal_);
    }

private:
    rlimit saved_{};
    void (*signal_)(int);
};

TEST(SampleDialogsOnAFullDisk, SaveAndDeleteKeepTheFileAndSaySo) {
    const std::string directory = frontend_test::makeScratchDirectory("hv-full-disk-");
    const std::string path = common::samplePath(directory);
    common::RationalMap map{};
    map.form = common::FORM_POLYNOMIAL;
    map.numeratorDegree = 2;
    map.numeratorRe[2] = 1;
    map.denominatorRe[0] = 1;
    {
        common::SampleFile file;
        ASSERT_EQ(file.createWithSample(path, *common::formatSample(map), "a"), common::SampleWriteResult::Written);
        ASSERT_TRUE(file.readSamples(path, common::SampleAccess::ReadWrite));
        ASSERT_EQ(file.appendSample(*common::formatSample(map), "b"), common::SampleWriteResult::Written);
    }
    const std::string before = readFile(path);
    platform::RecordingMessageBoxes boxes;
    {
        SampleSaveDialog dialog(path, "c", map, boxes);
        FullDisk full(before.size() + 100);  // part of the record fits
        dialog.okButton()->click();
    }
    EXPECT_EQ(readFile(path), before);
    {
        SampleDeleteDialog dialog(path, boxes);
        dialog.sampleList()->item(0)->setSelected(true);
        FullDisk full(100);  // the rewritten file does not fit
        dialog.deleteButton()->click();
    }
    EXPECT_EQ(readFile(path), before);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(directory), std::filesystem::directory_iterator()), 1);
    EXPECT_EQ(boxes.texts(), (std::vector<std::string>{MSG_SAMPLE_SAVE_FAILED, MSG_SAMPLE_DELETE_FAILED}));
    std::filesystem::remove_all(directory);
}

}  // namespace
