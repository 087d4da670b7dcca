// The front end's sample dialogs on a disk that fills up while they write:
// the file stays as it was and the user is told.
#include <QListWidget>
#include <QPushButton>
#include <gtest/gtest.h>

#include <filesystem>

#include "common/sample_file.h"
#include "fault_support.h"
#include "frontend/sample_dialogs.h"
#include "frontend_test_support.h"
#include "platform/recording_message_boxes.h"

namespace {

using platform_test::FullDisk, platform_test::fileBytes;

TEST(SampleDialogsOnAFullDisk, SaveAndDeleteKeepTheFileAndSaySo) {
    const std::string directory = frontend_test::makeScratchDirectory("hv-full-disk-");
    const std::string path = common::samplePath(directory);
    common::RationalMap map{};
    map.form = common::FORM_POLYNOMIAL;
    map.numeratorDegree = 2;
    map.numeratorRe[2] = map.denominatorRe[0] = 1;
    {
        common::SampleFile file;
        ASSERT_EQ(file.createWithSample(path, *common::formatSample(map), "a"), common::SampleWriteResult::Written);
        ASSERT_TRUE(file.readSamples(path, common::SampleAccess::ReadWrite));
        ASSERT_EQ(file.appendSample(*common::formatSample(map), "b"), common::SampleWriteResult::Written);
    }
    const std::string before = fileBytes(path);
    platform::RecordingMessageBoxes boxes;
    {
        SampleSaveDialog dialog(path, "c", map, boxes);
        FullDisk full(before.size() + 100);  // part of the record fits
        dialog.okButton()->click();
    }
    EXPECT_EQ(fileBytes(path), before);
    {
        SampleDeleteDialog dialog(path, boxes);
        dialog.sampleList()->item(0)->setSelected(true);
        FullDisk full(100);  // the rewritten file does not fit
        dialog.deleteButton()->click();
    }
    EXPECT_EQ(fileBytes(path), before);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(directory), std::filesystem::directory_iterator()), 1);
    EXPECT_EQ(boxes.texts(), (std::vector<std::string>{MSG_SAMPLE_SAVE_FAILED, MSG_SAMPLE_DELETE_FAILED}));
    std::filesystem::remove_all(directory);
}

}  // namespace
