// The settings dialog, the critical point choice and the sample dialogs,
// driven with keys and clicks; the sample dialogs also on a full disk.
#include "frontend/critical_point_dialog.h"
#include "frontend/sample_dialogs.h"
#include "frontend/settings_dialog.h"

#include "common/sample_file.h"
#include "fault_support.h"
#include "frontend_test_support.h"
#include "platform/recording_message_boxes.h"
#include "platform_test_support.h"
#include "platform/help_window.h"
#include "shown_text.h"

#include <QTextBlock>
#include <QTextBrowser>

namespace {

using namespace frontend_test;
using frontend::Settings;

TEST(SettingsDialogTest, KeysAreFilteredOkStoresWhatIsValidCancelAndReadOnlyStoreNothing) {
    Settings settings{10000, 0, 1e-20, 0.125, 0.01, 600, 600};  // 1e-20 is shown as "0"
    const Settings before = settings;
    for (bool ok : {false, true}) {
        SettingsDialog dialog(settings, true);
        retype(dialog.loopField(), "99999");  // cut to the limit
        EXPECT_EQ(dialog.loopField()->text(), q("10000"));
        retype(dialog.loopField(), "123");  // a letter typed inside is dropped, the caret stays behind the 1
        for (Qt::Key key : {Qt::Key_Home, Qt::Key_Right, Qt::Key_X, Qt::Key_9}) QTest::keyClick(dialog.loopField(), key);
        EXPECT_EQ(dialog.loopField()->text(), q("1923"));
        retype(dialog.loopField(), "");  // empty at OK: the value stays
        EXPECT_FALSE(dialog.inOutField()->isEnabled());
        dialog.siegelBox()->click();
        retype(dialog.inOutField(), "0.5-");
        retype(dialog.continuityField(), "0.00000000000000001-");  // stored as "0": refused at OK, the value stays
        EXPECT_EQ(dialog.inOutField()->text() + " " + dialog.continuityField()->text(), q("0.5 0.00000000000000001"));
        (ok ? dialog.okButton() : dialog.cancelButton())->click();
        EXPECT_EQ(settings, ok ? Settings({10000, 1, 1e-20, 0.125, 0.5, 600, 600}) : before) << ok;
    }
    SettingsDialog dialog(settings, true);  // unchecking disables the curve fields, which keep their values
    dialog.siegelBox()->click();
    EXPECT_FALSE(dialog.continuityField()->isEnabled());
    EXPECT_EQ(dialog.continuityField()->text(), q("0.125"));
    dialog.defaultButton()->click();  // refills every field
    dialog.okButton()->click();
    EXPECT_EQ(settings, Settings{});
    SettingsDialog readOnly(settings, false);  // while viewers exist
    EXPECT_FALSE(readOnly.loopField()->isEnabled() || readOnly.inOutField()->isEnabled() ||
                 readOnly.siegelBox()->isEnabled() || readOnly.defaultButton()->isEnabled());
}

TEST(CriticalPointDialogTest, StartStoresTheChosenLinesOnly) {
    common::CriticalPointList list{3, 0, {0, 1.0 / 3.0, 1e-20}, {0, -2.0}, {}, {}};
    list.selected[40] = 1;  // as a caller might leave it
    platform::RecordingMessageBoxes boxes;
    CriticalPointDialog dialog(list, boxes);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    ASSERT_EQ(dialog.pointList()->count(), 3);
    EXPECT_EQ(dialog.pointList()->item(1)->text().toStdString(), "実部 " + g16(1.0 / 3.0) + " 虚部 -2");
    auto button = [&](const char* name) { dialog.findChild<QPushButton*>(QString::fromLatin1(name))->click(); };
    QTest::keyClick(dialog.pointList(), Qt::Key_Return);  // Enter starts nothing
    button("startButton");  // nothing chosen
    button("selectAllButton");
    EXPECT_EQ(dialog.pointList()->selectedItems().size(), 3);
    button("deselectAllButton");
    button("startButton");
    EXPECT_EQ(boxes.texts(), (std::vector<std::string>{MSG_NO_CRITICAL_POINT, MSG_NO_CRITICAL_POINT}));
    clickRow(dialog.pointList(), 0);
    clickRow(dialog.pointList(), 2);
    button("startButton");
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(std::vector<int>(list.selected, list.selected + 3), (std::vector<int>{1, 0, 1}));
    EXPECT_EQ(list.selected[40], 0);  // every flag is rewritten
}

// Through the main dialog, in a start directory without a sample file of its own.
TEST(SampleDialogsTest, BundledSamplesUntilTheFirstSaveThenOwnOnesSavedLoadedAndDeleted) {
    platform::RecordingMessageBoxes boxes;
    MainDialog dialog(boxes, {"", platform_test::standinPath(), {}});
    dialog.show();
    int listed = 0;
    const auto load = [&](int row) {
        whenModalShown<SampleLoadDialog>([&listed, row](SampleLoadDialog* d) {
            listed = d->sampleList()->count();
            d->okButton()->click();  // nothing chosen yet: told so
            clickRow(d->sampleList(), row);
            d->okButton()->click();
        });
        dialog.loadSampleButton()->click();
    };
    const auto save = [&](std::vector<const char*> names) {
        whenModalShown<SampleSaveDialog>([names](SampleSaveDialog* d) {
            for (const char* name : names) {
                retype(d->nameField(), name);
                d->okButton()->click();
            }
        });
        dialog.saveFormulaAction()->trigger();
    };
    load(0);
    EXPECT_EQ(listed, 20);
    EXPECT_EQ(dialog.frontEndBlock().currentMap.numeratorRe[0], -1.0);  // the basilica
    for (const auto& [f, text] : {std::pair{8, "1"}, {0, "-0.12"}, {1, "0.75"}}) retype(dialog.coefficientField(f), text);
    save({"rabbit"});
    save({"", "rabbit", "Rabbit"});  // differs in case only: accepted
    retype(dialog.coefficientField(5), "20000000000000000000000000000000");  // 32 digits: no room for the point
    save({"big"});
    EXPECT_EQ(boxes.texts(),
              (std::vector<std::string>{MSG_NO_SAMPLE_SELECTED, MSG_NAME_MISSING, MSG_NAME_IN_USE, MSG_SAMPLE_OVERFLOW}));

    // Loaded back: the map, the name, and the start of every 32-character text in sight.
    load(1);
    EXPECT_EQ(listed, 2);
    EXPECT_EQ(dialog.frontEndBlock().currentMap.numeratorIm[0], 0.75);
    EXPECT_EQ(dialog.nameField()->text(), q("Rabbit"));
    EXPECT_EQ(dialog.coefficientField(0)->text(), "-0.11999999999999999555910790149");
    for (int f = 0; f < 44; ++f) EXPECT_TRUE(platform_test::textStartShown(dialog.coefficientField(f))) << f;
    dialog.polarButton()->click();
    EXPECT_EQ(dialog.coefficientField(0)->text().toStdString(), g16(std::sqrt(0.12 * 0.12 + 0.75 * 0.75)));

    whenModalShown<SampleDeleteDialog>([](SampleDeleteDialog* d) {
        clickRow(d->sampleList(), 0);
        d->deleteButton()->click();
    });
    dialog.deleteFormulaAction()->trigger();
    const std::string left = platform_test::fileBytes(dialog.sampleFilePath());
    EXPECT_TRUE(left.find("rabbit") == std::string::npos && left.find("Rabbit") != std::string::npos) << left;
    std::filesystem::remove(dialog.sampleFilePath());
}

// A full disk: the file stays as it was (or is not left half made) and the user is told; 300 take no more.
TEST(SampleDialogsTest, FailedWritesKeepTheFileAndSaySo) {
    const std::string directory = std::filesystem::absolute("full-disk");
    std::filesystem::create_directory(directory);
    const std::string path = common::samplePath(directory);
    const common::RationalMap map{common::FORM_POLYNOMIAL, 2, 0, {}, {0, 0, 1}, {}, {1}, {}};
    platform::RecordingMessageBoxes boxes;
    {
        platform_test::FullDisk full(100);  // the first save makes the file: none is left behind
        SampleSaveDialog(path, "a", map, boxes).okButton()->click();
    }
    EXPECT_FALSE(std::filesystem::exists(path));
    std::string texts, bytes;
    for (int k = 0; k < 44; ++k) texts += "1 ";
    for (int i = 0; i < 300; ++i) bytes += texts + "s\r";
    std::ofstream(path, std::ios::binary) << bytes;
    runSampleSaveDialog(path, "c", map, boxes, nullptr);  // full: refused before the dialog opens
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes.substr(0, 4 * 90);
    const std::string before = platform_test::fileBytes(path);
    {
        SampleSaveDialog dialog(path, "c", map, boxes);
        platform_test::FullDisk full(before.size() + 100);  // part of the record fits
        dialog.okButton()->click();
    }
    EXPECT_EQ(platform_test::fileBytes(path), before);
    {
        SampleDeleteDialog dialog(path, boxes);
        clickRow(dialog.sampleList(), 0);
        platform_test::FullDisk full(100);  // the rewritten file does not fit
        dialog.deleteButton()->click();
    }
    EXPECT_EQ(platform_test::fileBytes(path), before);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(directory), std::filesystem::directory_iterator()), 1);
    EXPECT_EQ(boxes.texts(), (std::vector<std::string>{MSG_SAMPLE_SAVE_FAILED, MSG_TOO_MANY_SAMPLES,
                                                        MSG_SAMPLE_SAVE_FAILED, MSG_SAMPLE_DELETE_FAILED}));
    std::filesystem::remove_all(directory);
}

TEST(HelpKey, F1OpensTheTopicOfEachDialogAndInTheMainDialogTheContents) {
    platform::RecordingMessageBoxes boxes;
    Settings settings;
    common::CriticalPointList points{};
    points.count = 1;
    SettingsDialog settingsDialog(settings, true);
    CriticalPointDialog critical(points, boxes);
    SampleLoadDialog load("SampleData.dat", boxes);
    SampleSaveDialog save("SampleData.dat", "z", common::RationalMap{}, boxes);
    SampleDeleteDialog erase("SampleData.dat", boxes);
    MainDialog main(boxes, {"", {}, {}});
    // The contents last: it must scroll back from the topic shown before.
    const std::pair<QWidget*, const char*> cases[] = {
        {&settingsDialog, "パラメータ設定"}, {&critical, "クリティカルポイントの選択"}, {&load, "サンプル読み込み"},
        {&save, "式の保存"}, {&erase, "式の削除"}, {&main, "Halvatrine ヘルプ"}};
    for (const auto& [window, heading] : cases) {
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window)) << heading;
        QTest::keyClick(window, Qt::Key_F1);
        QTextBrowser* help = platform::helpWindow();
        ASSERT_TRUE(help != nullptr && help->isVisible()) << heading;
        // The heading at the top of the help window is the topic shown.
        EXPECT_EQ(help->cursorForPosition(QPoint(4, 4)).block().text(), q(heading));
        window->hide();
    }
}

}  // namespace
