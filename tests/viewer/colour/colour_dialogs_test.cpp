// The colour settings, exception, unknown colour and component selection
// dialogs, on their own and on a finished picture.
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPixmap>
#include <QTest>
#include <gtest/gtest.h>

#include "platform/recording_message_boxes.h"
#include "viewer/colour/colour_dialog.h"
#include "viewer/colour/component_select_dialog.h"
#include "viewer/colour/dialog_widgets.h"
#include "viewer/colour/exception_colour_dialog.h"
#include "viewer/colour/unknown_colour_dialog.h"
#include "viewer/colour/viewer_dialogs.h"
#include "viewer_harness.h"

namespace {

colour::ColourTable tableWithRange(int low, int high) {
    colour::ColourTable table;
    for (auto& r : table.records) {
        r = colour::defaultComponentColour(high);
        r.lowCount = low;
        r.highCount = high;
    }
    return table;
}

// Replaces the field's text as a user would: select all, then type (or
// delete, for an empty text).
void type(QLineEdit* field, const QString& text) {
    field->selectAll();
    if (text.isEmpty())
        QTest::keyClick(field, Qt::Key_Backspace);
    else
        QTest::keyClicks(field, text);
}

TEST(ColourDialog, CycleAndPhaseFieldsCorrectWhatIsTyped) {
    colour::ColourTable table = tableWithRange(0, 500);
    platform::RecordingMessageBoxes boxes;
    ColourDialog dialog(table, 0, boxes, {});
    const int greenBuilds = dialog.barBuildCount(ColourDialog::Green);
    const int redBuilds = dialog.barBuildCount(ColourDialog::Red);

    type(dialog.cycleField(ColourDialog::Green), "900");
    EXPECT_EQ(dialog.cycleField(ColourDialog::Green)->text(), "500");
    EXPECT_EQ(dialog.workingCopy().greenCurve.cycle, 500);
    EXPECT_EQ(dialog.cycleArrows(ColourDialog::Green)->value(), 500);
    EXPECT_GT(dialog.barBuildCount(ColourDialog::Green), greenBuilds);
    EXPECT_EQ(dialog.barBuildCount(ColourDialog::Red), redBuilds) << "only the edited channel is rebuilt";

    // Letters never get in; an empty field keeps the value.
    type(dialog.phaseField(ColourDialog::Blue), "37");
    EXPECT_EQ(dialog.workingCopy().blueCurve.phase, 37);
    type(dialog.phaseField(ColourDialog::Blue), "x");
    EXPECT_EQ(dialog.phaseField(ColourDialog::Blue)->text(), "37");
    type(dialog.phaseField(ColourDialog::Blue), "");
    EXPECT_EQ(dialog.phaseField(ColourDialog::Blue)->text(), "");
    EXPECT_EQ(dialog.workingCopy().blueCurve.phase, 37);

    // The arrows move the field, and through it the value.
    dialog.cycleArrows(ColourDialog::Red)->stepUp();
    EXPECT_EQ(dialog.cycleField(ColourDialog::Red)->text(), "6");
    EXPECT_EQ(dialog.workingCopy().redCurve.cycle, 6);
}

TEST(ColourDialog, OkCopiesTheWorkingCopyAndRecolours) {
    colour::ColourTable table = tableWithRange(0, 500);
    platform::RecordingMessageBoxes boxes;
    int recolours = 0;
    ColourDialog dialog(table, 2, boxes, [&] { ++recolours; });
    type(dialog.cycleField(ColourDialog::Blue), "9");
    dialog.workingCopy().exceptions[0] = {4, 1, 2, 3};
    EXPECT_EQ(table.records[2].blueCurve.cycle, 2);
    dialog.accept();
    EXPECT_EQ(table.records[2].blueCurve.cycle, 9);
    EXPECT_EQ(table.records[2].exceptions[0].number, 4);
    EXPECT_EQ(table.records[1].blueCurve.cycle, 2) << "other components keep theirs";
    EXPECT_EQ(recolours, 1);
}

TEST(ExceptionDialog, TypingAndTheThreeRefusals) {
    common::ComponentColour record = tableWithRange(10, 50).records[0];
    platform::RecordingMessageBoxes boxes;
    ExceptionColourDialog dialog(record, boxes);
    dialog.show();
    EXPECT_EQ(dialog.headerLabel()->text(), QStringLiteral("番号10～50"));

    type(dialog.numberField(0), "70");
    EXPECT_EQ(dialog.numberField(0)->text(), "50") << "above highCount becomes highCount";
    type(dialog.colourField(0, 0), "300");
    EXPECT_EQ(dialog.colourField(0, 0)->text(), "255");
    EXPECT_EQ(dialog.colourArrows(0, 0)->value(), 255);

    type(dialog.numberField(2), "50");
    dialog.accept();
    type(dialog.numberField(2), "5");
    dialog.accept();
    type(dialog.numberField(2), "20");
    type(dialog.numberField(4), "20");
    dialog.accept();
    EXPECT_EQ(boxes.texts(), (std::vector<std::string>{
                                 "1番目のと3番目の番号 50 が重なっています。同じ番号は指定できません。",
                                 "3番目の番号 5 は小さすぎます。10以上にしてください。",
                                 "3番目のと5番目の番号 20 が重なっています。同じ番号は指定できません。"}));
    EXPECT_TRUE(dialog.isVisible()) << "a refusal keeps the dialog open";
    EXPECT_NE(dialog.result(), QDialog::Accepted);
}

// A finished Julia picture of z^2 - 1 with two component entries: the
// superattracting 2-cycle {0, -1} and a 1-cycle far outside the picture.
struct JuliaPicture {
    JuliaPicture() : h(parameters()) {
        h.block.addCycle({{0, 0}, {-1, 0}});
        h.block.header().components[0].pointKind = 0;
        h.block.addCycle({{40, 40}});
        h.block.header().components[1].pointKind = 1;
        h.block.header().criticalPointCount = 1;
        h.open();
        h.frame->setDialogHooks(makeViewerDialogHooks());
        EXPECT_TRUE(h.drawToDone());
        h.pump();
    }
    static viewer_test::PictureSetup parameters() {
        viewer_test::PictureSetup s;
        s.width = 120;
        s.height = 90;
        s.magnification = 0.3;
        s.loopCount = 60;
        return s;
    }
    viewer_test::ViewerHarness h;
};

TEST(ComponentSelectDialog, JuliaPictureListsInfinityBothComponentsAndUnknown) {
    JuliaPicture picture;
    const ColourContext context = colourContextOf(*picture.h.frame);
    ComponentSelectDialog dialog(context);
    ASSERT_EQ(dialog.list()->count(), 4);
    EXPECT_EQ(dialog.list()->item(0)->text(), QStringLiteral("無限遠"));
    EXPECT_EQ(dialog.list()->item(1)->text(), QStringLiteral("周期点 周期2 S_ATTRACTING"));
    EXPECT_EQ(dialog.list()->item(2)->text(), QStringLiteral("不動点 ATTRACTING"));
    EXPECT_EQ(dialog.list()->item(3)->text(), QStringLiteral("不明"));

    const colour::RenderStatistics& stats = picture.h.session->statistics();
    ASSERT_GT(stats.stats[0].pixelCount, 0);
    ASSERT_GT(stats.stats[1].pixelCount, 0);
    EXPECT_EQ(stats.stats[2].pixelCount, 0);
    EXPECT_EQ(dialog.list()->currentRow(), 0);
    EXPECT_EQ(dialog.pixelCountField()->text(), QString::number(stats.stats[0].pixelCount));
    // 120 x 90 gives a 200 x 150 thumbnail, grey where the component lies.
    QImage thumbnail = dialog.thumbnail()->pixmap().toImage();
    ASSERT_EQ(thumbnail.size(), QSize(200, 150));
    EXPECT_EQ(thumbnail.pixelColor(0, 0), QColor(128, 128, 128)) << "the corner escapes";
    EXPECT_EQ(thumbnail.pixelColor(100, 75), QColor(255, 255, 255)) << "0 is in the cycle's basin";
    dialog.list()->setCurrentRow(1);
    thumbnail = dialog.thumbnail()->pixmap().toImage();
    EXPECT_EQ(thumbnail.pixelColor(100, 75), QColor(128, 128, 128));
    EXPECT_EQ(dialog.pixelCountField()->text(), QString::number(stats.stats[1].pixelCount));

    std::vector<int> opened;
    dialog.openDialog = [&](int code) { opened.push_back(code); };
    dialog.setColour();
    dialog.list()->setCurrentRow(2);
    EXPECT_EQ(dialog.pixelCountField()->text(), "0");
    dialog.setColour();
    dialog.list()->setCurrentRow(3);
    EXPECT_EQ(dialog.pixelCountField()->text(), QString::number(stats.unknownPixelCount));
    dialog.setColour();
    const bool anyUnknown = stats.unknownPixelCount > 0;
    EXPECT_EQ(opened, (anyUnknown ? std::vector<int>{1, -1} : std::vector<int>{1}));
    std::vector<std::string> expected{ComponentSelectDialog::NO_PIXELS_MESSAGE};
    if (!anyUnknown) expected.push_back(ComponentSelectDialog::NO_PIXELS_MESSAGE);
    EXPECT_EQ(picture.h.boxes.texts(), expected);
}

}  // namespace
