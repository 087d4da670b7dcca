// The colour settings, exception colour and component selection dialogs, on
// their own and on a finished picture.
#include <QCheckBox>
#include <QPageSetupDialog>
#include <QPlainTextEdit>
#include <QPixmap>
#include <QPrintDialog>
#include <QPrinter>
#include <QSlider>
#include <QTimer>
#include <QToolButton>

#include "dialog_test_support.h"
#include "viewer/colour/colour_dialog.h"
#include "viewer/colour/component_select_dialog.h"
#include "viewer/colour/exception_colour_dialog.h"
#include "viewer/colour/print_info_dialog.h"
#include "viewer/colour/unknown_colour_dialog.h"
#include "viewer/colour/viewer_dialogs.h"
#include "viewer_harness.h"

namespace {

using colour_test::beside;
using colour_test::labelled;
using colour_test::shownRect;
using colour_test::type;

colour::ColourTable tableWithRange(int low, int high) {
    colour::ColourTable table;
    for (auto& r : table.records) {
        r = colour::defaultComponentColour(high);
        r.lowCount = low;
    }
    return table;
}

TEST(ColourDialog, FieldsCorrectWhatIsTypedAndOkStoresTheWorkingCopy) {
    colour::ColourTable table = tableWithRange(0, 500);
    constexpr int last = colour::COMPONENT_CODE_COUNT - 1;  // the last component's own record is edited
    table.records[last].redCurve.cycle = 1;  // the arrows' lowest
    platform::RecordingMessageBoxes boxes;
    int recolours = 0;
    ColourDialog dialog(table, last, boxes, [&] { ++recolours; });
    colour_test::expectNoOverlap(dialog);
    const ColourDialog::Channel ch = ColourDialog::Red;  // the columns are built alike
    const std::pair<const char*, QWidget*> pairs[] = {{"周期", dialog.cycleField(ch)}, {"位相", dialog.phaseField(ch)},
        {"歪み", dialog.distortionArrows(ch)}, {"枠2", dialog.slider(ch, ColourDialog::Frame2End)}};
    for (const auto& [text, field] : pairs) EXPECT_TRUE(labelled(dialog, QString::fromUtf8(text), field)) << text;
    EXPECT_TRUE(beside(dialog.cycleField(ch), dialog.cycleArrows(ch)));
    EXPECT_TRUE(beside(dialog.phaseField(ch), dialog.phaseArrows(ch)));
    EXPECT_TRUE(beside(dialog.distortionArrows(ch), dialog.distortionField(ch)));
    EXPECT_TRUE(beside(dialog.lowCountLabel(), dialog.channelBar(ColourDialog::Red)));
    EXPECT_EQ(QStringList({dialog.cycleField(ColourDialog::Red)->text(), dialog.cycleField(ColourDialog::Green)->text(),
                           dialog.cycleField(ColourDialog::Blue)->text(), dialog.phaseField(ColourDialog::Blue)->text()}),
              QStringList({"1", "3", "2", "1"})) << "the record's curves as the fields show them";
    const int redBuilds = dialog.barBuildCount(ColourDialog::Red);

    type(dialog.cycleField(ColourDialog::Green), "900");
    EXPECT_EQ(dialog.cycleField(ColourDialog::Green)->text(), "500");
    EXPECT_EQ(dialog.cycleArrows(ColourDialog::Green)->value(), 500);
    EXPECT_EQ(dialog.barBuildCount(ColourDialog::Red), redBuilds) << "only the edited channel is rebuilt";
    // Letters never get in; an empty field keeps the value.
    type(dialog.phaseField(ColourDialog::Blue), "37");
    type(dialog.phaseField(ColourDialog::Blue), "x");
    EXPECT_EQ(dialog.phaseField(ColourDialog::Blue)->text(), "37");
    type(dialog.phaseField(ColourDialog::Blue), "");
    dialog.cycleArrows(ColourDialog::Red)->stepUp();  // the arrows move the field, and through it the value
    QTest::keyClick(dialog.slider(ColourDialog::Blue, ColourDialog::Frame1End), Qt::Key_PageDown);  // from 255, 16 steps

    QToolButton* up = dialog.distortionArrows(ColourDialog::Green)->findChild<QToolButton*>();
    const int distortion = dialog.distortionField(ColourDialog::Green)->text().toInt();
    QTest::mousePress(up, Qt::LeftButton);  // held down, the arrow repeats its step
    QTest::qWait(up->autoRepeatDelay() + 3 * up->autoRepeatInterval());
    QTest::mouseRelease(up, Qt::LeftButton);
    const int held = dialog.distortionField(ColourDialog::Green)->text().toInt();
    EXPECT_GT(held, distortion + 2);

    EXPECT_EQ(table.records[last].greenCurve.cycle, 3) << "nothing is stored before OK";
    dialog.accept();
    const common::ComponentColour& stored = table.records[last];
    EXPECT_EQ((std::array<int, 5>{stored.redCurve.cycle, stored.greenCurve.cycle, stored.blueCurve.phase,
                                  stored.greenCurve.distortion, stored.blueCurve.frame1End}),
              (std::array<int, 5>{2, 500, 37, held, 255 - 16}));
    EXPECT_EQ(table.records[last - 1].greenCurve.cycle, 3) << "other components keep theirs";
    EXPECT_EQ(recolours, 1);
}

TEST(ExceptionDialog, TypingTheRefusalsAndOk) {
    common::ComponentColour record = tableWithRange(10, 50).records[0];
    platform::RecordingMessageBoxes boxes;
    ExceptionColourDialog dialog(record, boxes);
    colour_test::expectNoOverlap(dialog);
    for (int r = 0; r < common::EXCEPTION_ROW_COUNT; ++r) {
        EXPECT_TRUE(labelled(dialog, QString::number(r + 1), dialog.numberField(r))) << r;
        for (int c = 0; c < 3; ++c) EXPECT_TRUE(beside(dialog.colourField(r, c), dialog.colourArrows(r, c)));
    }
    for (int c = 0; c < 3; ++c)  // each channel's name (the labels after the header) heads its column
        EXPECT_EQ(shownRect(dialog.findChildren<QLabel*>()[1 + c]).left(), shownRect(dialog.colourField(0, c)).left());
    EXPECT_EQ(dialog.headerLabel()->text(), QStringLiteral("番号10～50"));

    type(dialog.numberField(0), "70");
    EXPECT_EQ(dialog.numberField(0)->text(), "50") << "above highCount becomes highCount";
    type(dialog.colourField(0, 0), "300");
    EXPECT_EQ(dialog.colourField(0, 0)->text(), "255");
    type(dialog.colourField(0, 2), "");

    type(dialog.numberField(2), "50");
    QTest::keyClick(dialog.numberField(2), Qt::Key_Return);
    type(dialog.numberField(2), "5");
    QTest::keyClick(dialog.numberField(2), Qt::Key_Return);
    type(dialog.numberField(2), "10");
    type(dialog.numberField(4), "10");
    QTest::keyClick(dialog.numberField(4), Qt::Key_Return);
    EXPECT_EQ(boxes.texts(), (std::vector<std::string>{
                                 "1番目のと3番目の番号 50 が重なっています。同じ番号は指定できません。",
                                 "3番目の番号 5 は小さすぎます。10以上にしてください。",
                                 "3番目のと5番目の番号 10 が重なっています。同じ番号は指定できません。"}));
    EXPECT_TRUE(dialog.isVisible()) << "a refusal keeps the dialog open";

    // An emptied number clears its row; an empty colour field stores 0.
    type(dialog.numberField(4), "");
    QTest::keyClick(dialog.numberField(4), Qt::Key_Return);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    const common::ExceptionColour& first = record.exceptions[0];
    EXPECT_EQ((std::array<int, 6>{first.number, first.red, first.green, first.blue, record.exceptions[2].number,
                                  record.exceptions[4].number}),
              (std::array<int, 6>{50, 255, 0, 0, 10, -1}));
}

TEST(UnknownColourDialog, ShowsTheColourAndOkStoresWhatIsTyped) {
    auto unknown = static_cast<std::int32_t>(common::colourWord(10, 20, 30));
    int recolours = 0;
    UnknownColourDialog dialog(unknown, [&] { ++recolours; });
    colour_test::expectNoOverlap(dialog);
    EXPECT_EQ(QStringList({dialog.field(0)->text(), dialog.field(1)->text(), dialog.field(2)->text()}),
              QStringList({"10", "20", "30"}));
    type(dialog.field(0), "300");
    EXPECT_EQ(dialog.field(0)->text(), "255");
    EXPECT_EQ(dialog.arrows(0)->value(), 255);
    type(dialog.field(2), "");  // stores 0
    QTest::keyClick(dialog.field(2), Qt::Key_Return);
    EXPECT_EQ(static_cast<common::ColourWord>(unknown), common::colourWord(255, 20, 0));
    EXPECT_EQ(recolours, 1);
}

TEST(PrintInfoDialog, TheTickedBoxesMarginAndCommentBecomeThePrintOptions) {
    colour::PrintOptions options;
    PrintInfoDialog dialog(options, true);
    for (QCheckBox* box : dialog.findChildren<QCheckBox*>())
        if (box->text() != "式" && box->text() != "不動点") QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(4, 8));
    dialog.findChild<QSlider*>()->setValue(12);
    QTest::keyClicks(dialog.findChild<QPlainTextEdit*>(), "ab");
    dialog.accept();
    EXPECT_EQ(std::tuple(options.printFormula, options.printRange, options.printFixedPoints, options.printCriticalPoints,
                         options.printLoopCount, options.marginMm, options.comment),
              std::tuple(false, true, false, true, true, 12, std::string("ab\n")));
}

// A finished Julia picture of z^2 - 1: components the 2-cycle {0, -1} and a 1-cycle far outside.
TEST(ComponentSelectDialog, JuliaPictureListsInfinityBothComponentsAndUnknown) {
    viewer_test::PictureSetup setup;
    std::tie(setup.width, setup.height, setup.magnification, setup.loopCount) = std::tuple(120, 90, 0.3, 8);
    viewer_test::ViewerHarness h(setup);
    h.block.addCycle({{0, 0}, {-1, 0}});
    h.block.header().components[0].pointKind = 0;
    h.block.addCycle({{40, 40}});
    h.block.header().components[1].pointKind = 1;
    h.block.header().criticalPointCount = 1;
    h.open();
    h.frame->setDialogHooks(makeViewerDialogHooks());
    ASSERT_TRUE(h.drawToDone());
    h.pump();

    EXPECT_EQ(pictureInfoOf(*h.frame).criticalPoints.size(), 1u);
    ComponentSelectDialog dialog(colourContextOf(*h.frame));
    colour_test::expectNoOverlap(dialog);
    EXPECT_TRUE(labelled(dialog, "ピクセル数", dialog.pixelCountField()));
    QListWidget* list = dialog.list();
    const QString names[] = {"無限遠", "周期点 周期2 S_ATTRACTING", "不動点 ATTRACTING", "不明"};
    ASSERT_EQ(list->count(), 4);
    for (int row = 0; row < 4; ++row) EXPECT_EQ(list->item(row)->text(), names[row]);

    const colour::RenderStatistics& stats = h.session->statistics();
    ASSERT_TRUE(stats.stats[0].pixelCount > 0 && stats.stats[1].pixelCount > 0 && stats.unknownPixelCount > 0);
    // 120 x 90 gives a 200 x 150 thumbnail, grey where the component lies.
    QImage thumbnail = dialog.thumbnail()->pixmap().toImage();
    ASSERT_EQ(thumbnail.size(), QSize(200, 150));
    EXPECT_EQ(thumbnail.pixelColor(0, 0), QColor(128, 128, 128)) << "the corner escapes";

    std::vector<int> opened;
    dialog.openDialog = [&](int code) { opened.push_back(code); };
    const std::pair<int, int> rows[] = {
        {0, stats.stats[0].pixelCount}, {1, stats.stats[1].pixelCount}, {2, 0}, {3, stats.unknownPixelCount}};
    for (const auto& [row, pixels] : rows) {
        list->setCurrentRow(row);
        EXPECT_EQ(dialog.pixelCountField()->text(), QString::number(pixels)) << row;
        EXPECT_EQ(dialog.thumbnail()->pixmap().toImage().pixelColor(100, 75).red(), row == 1 ? 128 : 255) << row;
        dialog.setColour();
    }
    EXPECT_EQ(opened, (std::vector<int>{0, 1, -1}));
    EXPECT_EQ(h.boxes.texts(), std::vector<std::string>{ComponentSelectDialog::NO_PIXELS_MESSAGE});

    // Each menu item opens its dialog on the finished picture (closed here as soon as it shows).
    std::vector<std::string> shown;
    std::vector<QPrinter*> printers;  // printing uses the printer that was set up
    QTemporaryDir dir;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            shown.push_back(modal->metaObject()->className());
            if (auto* print = qobject_cast<QPrintDialog*>(modal)) {
                printers.push_back(print->printer());
                print->printer()->setOutputFileName(dir.filePath("cancelled.pdf"));  // a cancelled print writes none
                EXPECT_EQ(std::pair(print->minPage(), print->maxPage()), std::pair(1, 1)) << "one page to print";
            }
            if (auto* setup = qobject_cast<QPageSetupDialog*>(modal)) printers.push_back(setup->printer());
            modal->reject();
        }
    });
    closer.start(10);
    for (const char* item : {"32773", "32771", "32772", "32774", "32775", "printPreview", "print", "printSetup"}) {
        h.frame->action(item)->trigger();
        if (!printers.empty()) printers[0]->setOutputFileName({});  // page setup needs the system's printer
    }
    EXPECT_EQ(shown, (std::vector<std::string>{"ComponentSelectDialog", "ComponentInfoDialog", "FormulaDialog",
                                                "OrbitDialog", "SaveFormulaDialog", "PrintInfoDialog", "QPrintDialog",
                                                "QPageSetupDialog"}));
    EXPECT_TRUE(printers.size() == 2 && printers[0] == printers[1]);
    EXPECT_FALSE(QFile::exists(dir.filePath("cancelled.pdf")));
    const QString saved = dir.filePath("J.bmp");  // saving writes the finished picture, 3 bytes a pixel
    EXPECT_TRUE(h.frame->document().writePicture(saved) && QFile(saved).size() > 3 * 120 * 90);
}

}  // namespace
