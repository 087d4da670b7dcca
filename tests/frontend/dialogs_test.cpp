// The settings dialog, the critical point choice and the sample dialogs,
// driven with keys and clicks.
#include "frontend/critical_point_dialog.h"
#include "frontend/sample_dialogs.h"
#include "frontend/settings_dialog.h"

#include "common/sample_file.h"
#include "frontend_test_support.h"
#include "platform/recording_message_boxes.h"

namespace {

using namespace frontend_test;

namespace fs = std::filesystem;

void retype(QLineEdit* edit, const char* text) {
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, q(text));
}

// ------------------------------------------------------------ settings

TEST(SettingsDialogTest, KeystrokesAreFilteredOkStoresCancelDoesNot) {
    frontend::Settings settings;
    for (bool ok : {false, true}) {
        SettingsDialog dialog(settings, true);
        retype(dialog.loopField(), "5a00");
        EXPECT_EQ(dialog.loopField()->text(), q("500"));
        retype(dialog.convergenceField(), "");
        dialog.convergenceField()->insert(q("0.001.3"));  // pasted
        EXPECT_EQ(dialog.convergenceField()->text(), q("0.001"));
        dialog.siegelBox()->click();
        ASSERT_TRUE(dialog.continuityField()->isEnabled());
        retype(dialog.inOutField(), "0.5-");
        EXPECT_EQ(dialog.inOutField()->text(), q("0.5"));
        (ok ? dialog.okButton() : dialog.cancelButton())->click();
        EXPECT_TRUE(ok || settings == frontend::Settings{});  // Cancel stores nothing
    }
    EXPECT_EQ(settings.maxLoop, 500);
    EXPECT_EQ(settings.convEps, 0.001);
    EXPECT_EQ(settings.siegelFlag, 1);
    EXPECT_EQ(settings.inoutEps, 0.5);

    // Unchecking disables the curve fields, which keep their values.
    settings.contEps = 0.125;
    SettingsDialog dialog(settings, true);
    dialog.siegelBox()->click();
    EXPECT_FALSE(dialog.continuityField()->isEnabled());
    EXPECT_EQ(dialog.continuityField()->text(), q("0.125"));
    dialog.okButton()->click();
    EXPECT_EQ(settings.contEps, 0.125);
    EXPECT_EQ(settings.siegelFlag, 0);
}

TEST(SettingsDialogTest, OkRefusesValuesOutOfRange) {
    frontend::Settings settings;
    settings.convEps = 1e-20;  // shown as "0"
    SettingsDialog dialog(settings, true);
    EXPECT_EQ(dialog.convergenceField()->text(), q("0"));
    dialog.siegelBox()->click();
    retype(dialog.continuityField(), "0");
    retype(dialog.inOutField(), "-");
    retype(dialog.loopField(), "99999");
    EXPECT_EQ(dialog.loopField()->text(), q("10000"));
    retype(dialog.loopField(), "");
    dialog.okButton()->click();
    EXPECT_EQ(settings.convEps, 1e-20);  // untouched field: the value it stood for
    EXPECT_EQ(settings.contEps, 0.05);
    EXPECT_EQ(settings.inoutEps, 0.01);
    EXPECT_EQ(settings.maxLoop, 10000);
}

// ------------------------------------------------------------ critical points

void clickRow(QListWidget* list, int row) {
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(row)).center());
}

QPushButton* button(QWidget* dialog, const char* name) { return dialog->findChild<QPushButton*>(QString::fromLatin1(name)); }

TEST(CriticalPointDialogTest, StartStoresTheChosenLinesOnly) {
    common::CriticalPointList list{};
    list.count = 3;
    list.re[1] = 1.0 / 3.0;
    list.im[1] = -2.0;
    list.re[2] = 1e-20;
    list.selected[40] = 1;  // as a caller might leave it
    platform::RecordingMessageBoxes boxes;
    CriticalPointDialog dialog(list, boxes);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    ASSERT_EQ(dialog.pointList()->count(), 3);
    EXPECT_EQ(dialog.pointList()->item(1)->text().toStdString(), "実部 " + g16(1.0 / 3.0) + " 虚部 -2");
    button(&dialog, "startButton")->click();  // nothing chosen
    button(&dialog, "selectAllButton")->click();
    EXPECT_EQ(dialog.pointList()->selectedItems().size(), 3);
    button(&dialog, "deselectAllButton")->click();
    button(&dialog, "startButton")->click();
    EXPECT_EQ(boxes.texts(), (std::vector<std::string>{MSG_NO_CRITICAL_POINT, MSG_NO_CRITICAL_POINT}));
    EXPECT_TRUE(dialog.isVisible());
    clickRow(dialog.pointList(), 0);
    clickRow(dialog.pointList(), 2);
    button(&dialog, "startButton")->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(std::vector<int>(list.selected, list.selected + 3), (std::vector<int>{1, 0, 1}));
    EXPECT_EQ(list.selected[40], 0);  // every flag is rewritten
}

// ------------------------------------------------------------ samples

std::string fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(SampleSaveDialogTest, CreatesTheFileChecksNamesAppendsAndRefusesOverflow) {
    const std::string dir = frontend_test::makeScratchDirectory("hv-sample-dialogs-");
    const std::string path = dir + "/SampleData.dat";
    platform::RecordingMessageBoxes boxes;
    common::RationalMap map{};
    map.form = common::FORM_POLYNOMIAL;
    map.numeratorRe[2] = 1;
    map.denominatorRe[0] = 1;
    {
        SampleSaveDialog first(path, "basilica", map, boxes);  // no file yet: the first save makes it
        first.okButton()->click();
    }
    EXPECT_TRUE(boxes.entries().empty());

    map.numeratorRe[0] = 0.25;
    {
        SampleSaveDialog dialog(path, "proposed\nname", map, boxes);
        EXPECT_EQ(dialog.nameField()->text(), q("proposedname"));
        ASSERT_EQ(dialog.sampleList()->count(), 1);
        dialog.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
        retype(dialog.nameField(), "");
        dialog.okButton()->click();
        retype(dialog.nameField(), "basilica");
        dialog.okButton()->click();
        EXPECT_EQ(boxes.texts(), (std::vector<std::string>{"名前をつけてください。", "すでに同じ名前が使われています。"}));
        EXPECT_TRUE(dialog.isVisible());
        retype(dialog.nameField(), "Basilica");  // differs in case only: accepted
        dialog.okButton()->click();
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
    }
    common::SampleFile file;
    ASSERT_TRUE(file.readSamples(path, common::SampleAccess::ReadOnly));
    ASSERT_EQ(file.table().presentCount(), 2);
    EXPECT_EQ(file.table().records[1].name, "Basilica");
    EXPECT_EQ(file.table().records[1].texts[20], "0.250000000000000000000000000000");
    file.close();

    const std::string before = fileBytes(path);
    map.numeratorIm[5] = 1e40;
    SampleSaveDialog dialog(path, "second", map, boxes);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    dialog.okButton()->click();
    EXPECT_EQ(boxes.texts().back(), "式の係数がオーバーフローするため格納できません");
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(fileBytes(path), before);
    fs::remove_all(dir);
}

// (A file that cannot be written or rewritten: the full-disk test.)

}  // namespace
