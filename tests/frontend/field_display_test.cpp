// Samples through the main dialog: with no own file the bundled ones are
// listed, the first save creates the own file, and a formula loaded back
// (its 32-character texts longer than the fields) shows the start of every field.
#include <QListWidget>
#include <QPushButton>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "common/sample_file.h"
#include "frontend/main_dialog.h"
#include "frontend/sample_dialogs.h"
#include "frontend_test_support.h"
#include "platform/recording_message_boxes.h"
#include "platform_test_support.h"
#include "shown_text.h"

TEST(FieldDisplay, BundledSamplesUntilTheFirstSaveThenTheLoadedFieldsShowTheirStart) {
    const std::string dir = frontend_test::makeScratchDirectory("hv-field-display-");
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(dir);  // the own sample file lies in the start directory
    platform::RecordingMessageBoxes boxes;
    MainDialog dialog(boxes, {dir + "/Halvatrine.conf", platform_test::standinPath(), {}});
    dialog.show();
    int listed = 0;
    auto loadFirst = [&] {
        frontend_test::whenModalShown<SampleLoadDialog>([&listed](SampleLoadDialog* d) {
            listed = d->sampleList()->count();
            d->sampleList()->setCurrentRow(0);
            d->okButton()->click();
        });
        dialog.loadSampleButton()->click();
    };
    loadFirst();
    EXPECT_EQ(listed, 20);
    EXPECT_EQ(dialog.frontEndBlock().currentMap.numeratorRe[0], -1.0);  // the basilica
    for (const auto& [field, text] : {std::pair{8, "1"}, {0, "-0.12"}, {1, "0.75"}}) {  // z^2 - 0.12 + 0.75i
        QTest::keyClick(dialog.coefficientField(field), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(dialog.coefficientField(field), text);
    }
    QTest::keyClicks(dialog.nameField(), "rabbit");
    frontend_test::whenModalShown<SampleSaveDialog>([](SampleSaveDialog* d) { d->okButton()->click(); });
    dialog.saveFormulaAction()->trigger();
    ASSERT_EQ(dialog.sampleLoadPath(), dialog.sampleFilePath());
    std::ifstream own(dialog.sampleFilePath(), std::ios::binary);
    EXPECT_EQ(common::parseSamples(std::string(std::istreambuf_iterator<char>(own), {})).presentCount(), 1);
    loadFirst();
    EXPECT_EQ(dialog.coefficientField(0)->text(), "-0.11999999999999999555910790149");
    for (int f = 0; f < 44; ++f) EXPECT_TRUE(platform_test::textStartShown(dialog.coefficientField(f))) << f;
    std::filesystem::current_path(previous);
    std::filesystem::remove_all(dir);
}
