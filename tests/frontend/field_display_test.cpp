// What the main dialog's fields show on screen after a sample is loaded: the
// file's 32-character texts are longer than the fields, and the user must
// see their start (1 and -0.12, not a row of trailing digits).
#include <QLineEdit>
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

namespace fs = std::filesystem;

namespace {

TEST(FieldDisplay, ASavedFormulaLoadedBackShowsTheStartOfEveryField) {
    const std::string dir = frontend_test::makeScratchDirectory("hv-field-display-");
    const fs::path previous = fs::current_path();
    fs::current_path(dir);  // the sample file lies in the start directory
    std::ofstream(dir + "/SampleData.dat").close();
    platform::RecordingMessageBoxes boxes;
    {
        MainDialog::Options options;
        options.settingsPath = dir + "/Halvatrine.conf";
        options.viewerProgram = platform_test::standinPath();
        MainDialog dialog(boxes, options);
        dialog.show();
        // z^2 - 0.12 + 0.75i, typed as a user would.
        for (const auto& [field, text] : {std::pair{8, "1"}, {0, "-0.12"}, {1, "0.75"}}) {
            QLineEdit* edit = dialog.coefficientField(field);
            QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(edit, QString::fromLatin1(text));
        }
        QTest::keyClicks(dialog.nameField(), QStringLiteral("rabbit"));
        frontend_test::whenModalShown<SampleSaveDialog>([](SampleSaveDialog* d) { d->okButton()->click(); });
        dialog.saveFormulaAction()->trigger();
        frontend_test::whenModalShown<SampleLoadDialog>([](SampleLoadDialog* d) {
            d->sampleList()->setCurrentRow(0);
            d->okButton()->click();
        });
        dialog.loadSampleButton()->click();

        EXPECT_EQ(dialog.coefficientField(0)->text(), QStringLiteral("-0.11999999999999999555910790149"));
        for (int f = 0; f < 44; ++f)
            EXPECT_TRUE(platform_test::textStartShown(dialog.coefficientField(f)))
                << f << " " << dialog.coefficientField(f)->text().toStdString();
        dialog.close();
    }
    fs::current_path(previous);
    fs::remove_all(dir);
    EXPECT_TRUE(boxes.entries().empty());
}

}  // namespace
