// Drawing a picture in a viewer window: the state table, the messages to the
// front end, stopping, closing during a render and the picture size.
#include <QCheckBox>
#include <QPushButton>
#include <QStatusBar>

#include "viewer_harness.h"

using namespace viewer;
using viewer_test::PictureSetup;
using viewer_test::ViewerHarness;

namespace {

// With the identity map every pixel runs the whole loop count (more than the
// bar allows; a block may hold it): a render long enough to be watched and stopped.
PictureSetup slowPicture() { return {.width = 1000, .height = 900, .loopCount = 1000000, .magnification = 1.0}; }

void useIdentityMap(ViewerHarness& h) { h.block.setMap(common::FORM_POLYNOMIAL, {{0, 0}, {1, 0}}); }

// What the bar offers, as a list of the parts that are there and usable.
std::string barState(ViewerHarness& h) {
    ParameterBar& bar = h.bar();
    int fields = 0;  // the four parameter fields change together
    for (int id : {ID_PICTURE_WIDTH, ID_PICTURE_HEIGHT, ID_LOOP_COUNT, ID_CONVERGENCE_RADIUS})
        fields += h.field(id)->isEnabled();
    QCheckBox* box = bar.backgroundBox();
    const std::pair<bool, QString> parts[] = {
        {fields == 4, "fields"},
        {fields % 4 != 0, "some fields"},
        {h.field(ID_NEXT_MAGNIFICATION)->isEnabled(), "next"},
        {bar.drawButton() != nullptr, bar.drawButton() ? bar.drawButton()->text() : QString()},
        {bar.progressBar() != nullptr, "progress"},
        {box != nullptr, "background"},
        {box != nullptr && box->isVisible() && box->isEnabled(), "visible"},
        {h.field(ID_MOUSE_POSITION)->isVisible() && h.field(ID_POINT_INFO)->isVisible() &&
             bar.mousePositionLabel()->isVisible(),
         "readouts"},
    };
    QStringList on;
    for (const auto& [present, name] : parts)
        if (present) on << name;
    return on.join(' ').toStdString();
}

}  // namespace

TEST(DrawingStates, ReadyDrawingDoneAsTheTableSays) {
    ViewerHarness h(slowPicture());
    useIdentityMap(h);
    h.open();
    EXPECT_EQ(barState(h), "fields 描画ｽﾀｰﾄ progress background");
    EXPECT_EQ(h.bar().progressBar()->value(), 0);
    EXPECT_EQ(h.bar().hintLine()->text(), "パラメータを設定して描画スタートボタンを押してください");
    for (const bool hidden : {true, false}) {  // the View menu's item hides and shows the status bar
        h.frame->action("statusBar")->trigger();
        EXPECT_EQ(h.frame->statusBar()->isHidden(), hidden);
    }

    h.pressDraw();
    EXPECT_EQ(h.frame->state(), ViewerState::Drawing);
    EXPECT_EQ(barState(h), "描画中止 progress background visible");
    EXPECT_EQ(h.bar().progressBar()->maximum(), 1000);
    EXPECT_EQ(h.bar().hintLine()->text(), "描画中です。");
    EXPECT_TRUE(h.frame->renderRunning());
    // The drawn copy holds the parameters of the picture being drawn.
    EXPECT_EQ(0, std::memcmp(&h.block.header().drawnView, &h.block.header().currentView, sizeof(common::ViewRecord)));

    // Done, by the stop button.
    h.bar().drawButton()->click();
    EXPECT_EQ(h.frame->state(), ViewerState::Done);
    EXPECT_FALSE(h.frame->renderRunning());
    h.pump();
    EXPECT_EQ(barState(h), "next readouts");
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);  // destroyed, not only hidden
    for (const char* name : {"control1005", "control1006", "control1166"})
        EXPECT_EQ(h.frame->findChild<QWidget*>(name), nullptr) << name;
    EXPECT_EQ(h.bar().hintLine()->text(), "拡大/縮小は「次の倍率」をセットしてShiftキーを押しながらピック。");
}

TEST(DrawingStates, FrontEndHearsStartThenFinishWithProcessAndViewHandle) {
    ViewerHarness h(PictureSetup{.kind = 'M', .height = 48, .loopCount = 20});
    h.open();
    h.field(ID_PICTURE_WIDTH)->setText("64");  // the picture takes the size of the draw start, a new width alone too
    // The colour dialog only for a finished picture, the orbit dialog never for a Mandelbrot picture.
    int dialogs = 0;
    ViewerDialogHooks hooks;
    hooks.colourSettings = hooks.orbitDisplay = [&](CMainFrame&) { ++dialogs; };
    h.frame->setDialogHooks(hooks);
    for (const char* menuItem : {"32773", "32774"}) h.frame->action(menuItem)->trigger();
    EXPECT_EQ(h.boxes.texts(), (std::vector<std::string>{"描画が終わらないと設定できません。", "Mandelbrot集合では軌道表示はできません。"}));
    ASSERT_TRUE(h.drawToDone());
    h.frame->action("32773")->trigger();
    EXPECT_EQ(dialogs, 1);
    h.pump();
    ASSERT_EQ(h.received.size(), 2u);
    for (int i : {0, 1}) {
        EXPECT_EQ(h.received[i].msg, i == 0 ? common::MSG_DRAW_STARTED : common::MSG_DRAW_FINISHED);
        EXPECT_EQ(h.received[i].wParam, static_cast<int>(getpid()));
        EXPECT_EQ(h.received[i].lParam, h.frame->viewHandle());
    }
    EXPECT_EQ(h.bar().hintLine()->text(),
              "拡大/縮小は「次の倍率」をセットしてShift+ピック。Julia集合はCtrl+ピック");
    // Paints as the render posts them: one column (the last pass's), a range clipped to the picture, and
    // one row (all a picture one pixel high has); beyond the picture the maps hold other colours.
    for (int y = 0; y < 48; ++y) {
        h.session->maps().colour[3][y] = h.session->maps().colour[63][y] = common::colourWord(1, 2, 3);
        h.session->maps().colour[64][y] = h.session->maps().colour[65][y] = common::colourWord(9, 9, 9);
    }
    for (int x = 5; x <= 9; ++x) h.session->maps().colour[x][20] = common::colourWord(1, 2, 3);  // picture row 27
    platform::postMessage(h.frame->viewHandle(), common::MSG_PAINT_COLUMNS, common::packHalves(3, 3), 47);
    platform::postMessage(h.frame->viewHandle(), common::MSG_PAINT_COLUMNS, common::packHalves(63, 99), 99);
    platform::postMessage(h.frame->viewHandle(), common::MSG_PAINT_COLUMNS, common::packHalves(5, 9),
                          common::packHalves(27, 27));
    h.pump();
    // The picture shows the maps: the completed render's, with the paints' changes and nothing else.
    const QImage& picture = h.frame->document().picture();
    ASSERT_EQ(picture.size(), QSize(64, 48));
    int differ = 0;
    for (int x = 0; x < 64; ++x)
        for (int row = 0; row < 48; ++row) {
            const common::ColourWord c = h.session->maps().colour[x][47 - row];
            differ += picture.pixel(x, row) != qRgb(common::redOf(c), common::greenOf(c), common::blueOf(c));
        }
    EXPECT_EQ(differ, 0);
    h.frame->action("split")->trigger();  // four panes, once
    EXPECT_EQ(h.frame->views().size(), 4u);
    EXPECT_FALSE(h.frame->action("split")->isEnabled());
}

TEST(DrawingStates, BackgroundBoxRunsTheRenderAtIdlePriorityWhileTicked) {
    ViewerHarness h(slowPicture());
    useIdentityMap(h);
    h.open();
    h.pressDraw();
    for (const bool idle : {true, false}) {
        QTest::mouseClick(h.bar().backgroundBox(), Qt::LeftButton);
        EXPECT_TRUE(h.waitFor([&] { return h.frame->renderIdle() == idle; })) << idle;
    }
}

TEST(DrawingStates, ClosingDuringTheRenderStopsItBeforeTheBlocksGo) {
    ViewerHarness h(slowPicture());
    useIdentityMap(h);
    h.open();
    h.pressDraw();
    ASSERT_TRUE(h.frame->renderRunning());
    // The close arrives as the front end sends it: WM_CLOSE to the frame.
    platform::postMessage(h.frame->frameHandle(), common::WM_CLOSE, 0, 0);
    ASSERT_TRUE(h.waitFor([&] { return !h.frame->isVisible(); }));
    EXPECT_FALSE(h.frame->renderRunning());
    EXPECT_EQ(h.releaseCount, 1);
    EXPECT_FALSE(h.releasedWhileRendering);
    EXPECT_FALSE(h.session->blocksAvailable());
    EXPECT_TRUE(h.frame->views().empty());
    h.pump();
    // 1028 comes after the blocks were released, with the process id.
    ASSERT_GT(h.received.size(), h.messagesAtRelease);
    EXPECT_EQ(h.received.back().msg, common::MSG_VIEWER_CLOSING);
    EXPECT_EQ(h.received.back().wParam, static_cast<int>(getpid()));
    EXPECT_EQ(h.received.back().lParam, 0);
    // Closing again posts nothing more.
    const std::size_t count = h.received.size();
    h.frame->close();
    h.pump();
    EXPECT_EQ(h.received.size(), count);
    EXPECT_EQ(h.releaseCount, 1);
}
