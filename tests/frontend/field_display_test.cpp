// A formula saved and loaded back: the file's 32-character texts are longer
// than the fields, and each field must show the start of its text.
#include <QListWidget>
#include <QPushButton>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "frontend/main_dialog.h"
#include "frontend/sample_dialogs.h"
#include "frontend_test_support.h"
#include "platform/recording_message_boxes.h"
#include "platform_test_support.h"
#include "shown_text.h"

TEST(FieldDisplay, ALoadedSampleShowsTheStartOfEveryField) {
    const std::string dir = frontend_test::makeScratchDirectory("hv-field-display-");
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(dir);  // the sample file lies in the start directory
    std::ofstream(dir + "/SampleData.dat").close();
    platform::RecordingMessageBoxes boxes;
    MainDialog dialog(boxes, {dir + "/Halvatrine.conf", platform_test::standinPath(), {}});
    dialog.show();
    for (const auto& [field, text] : {std::pair{8, "1"}, {0, "-0.12"}, {1, "0.75"}}) {  // z^2 - 0.12 + 0.75i
        QTest::keyClick(dialog.coefficientField(field), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(dialog.coefficientField(field), text);
    }
    QTest::keyClicks(dialog.nameField(), "rabbit");
    frontend_test::whenModalShown<SampleSaveDialog>([](SampleSaveDialog* d) { d->okButton()->click(); });
    dialog.saveFormulaAction()->trigger();
    frontend_test::whenModalShown<SampleLoadDialog>([](SampleLoadDialog* d) {
        d->sampleList()->setCurrentRow(0);
        d->okButton()->click();
    });
    dialog.loadSampleButton()->click();
    EXPECT_EQ(dialog.coefficientField(0)->text(), "-0.11999999999999999555910790149");
    for (int f = 0; f < 44; ++f) EXPECT_TRUE(platform_test::textStartShown(dialog.coefficientField(f))) << f;
    std::filesystem::current_path(previous);
    std::filesystem::remove_all(dir);
}
