// The sample library installed with the program: listed by サンプル読み込み
// when the start directory has no SampleData.dat, never written; saving
// still creates the user's own file there.
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "common/sample_file.h"
#include "frontend/main_dialog.h"
#include "frontend/sample_dialogs.h"
#include "frontend_test_support.h"
#include "platform/recording_message_boxes.h"

namespace {

std::string bytesOf(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

TEST(BundledSamples, ListedWithoutAnOwnFileAndNeverWritten) {
    platform::RecordingMessageBoxes boxes;
    MainDialog::Options options;
    options.settingsPath = std::string(std::getenv("XDG_CONFIG_HOME")) + "/samples.conf";
    MainDialog dialog(boxes, options);
    const std::string own = dialog.sampleFilePath();
    ASSERT_FALSE(std::filesystem::exists(own));
    const std::string bundled = dialog.sampleLoadPath();
    ASSERT_NE(bundled, own);
    const std::string before = bytesOf(bundled);
    ASSERT_FALSE(before.empty());

    int listed = 0;
    frontend_test::whenModalShown<SampleLoadDialog>([&listed](SampleLoadDialog* d) {
        listed = d->sampleList()->count();
        d->sampleList()->setCurrentRow(0);
        d->okButton()->click();
    });
    dialog.loadSampleButton()->click();
    EXPECT_EQ(listed, common::parseSamples(before).presentCount());
    EXPECT_EQ(dialog.nameField()->text(), QStringLiteral("Basilica z^2-1 / バシリカ"));
    EXPECT_EQ(dialog.frontEndBlock().currentMap.numeratorRe[0], -1.0);

    // Saving creates the user's file; from then on it is the one listed.
    dialog.nameField()->setText(QStringLiteral("mine"));
    frontend_test::whenModalShown<SampleSaveDialog>([](SampleSaveDialog* d) { d->okButton()->click(); });
    dialog.saveFormulaAction()->trigger();
    EXPECT_EQ(dialog.sampleLoadPath(), own);
    EXPECT_EQ(common::parseSamples(bytesOf(own)).presentCount(), 1);
    EXPECT_EQ(bytesOf(bundled), before);
    EXPECT_TRUE(boxes.entries().empty());
    std::filesystem::remove(own);
}

}  // namespace
