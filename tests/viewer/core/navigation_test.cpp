// Readouts under the mouse and the Shift picks of a finished picture.
#include <QMouseEvent>

#include "common/number_text.h"
#include "viewer/core/point_info.h"
#include "viewer_harness.h"

using namespace viewer;
using viewer_test::PictureSetup;
using viewer_test::ViewerHarness;

namespace {

PictureSetup quickPicture(char kind) { return {.kind = kind, .loopCount = 3}; }  // 600 x 400, 150 pixels a unit

void moveMouse(CTorvelView* view, QPoint client) {
    QMouseEvent move(QEvent::MouseMove, QPointF(client), view->viewport()->mapToGlobal(QPointF(client)),
                     Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(view->viewport(), &move);
}

void releaseLeft(CTorvelView* view, QPoint client, Qt::KeyboardModifiers modifiers) {
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(client), view->viewport()->mapToGlobal(QPointF(client)),
                        Qt::LeftButton, Qt::NoButton, modifiers);
    QApplication::sendEvent(view->viewport(), &release);
}

QString positionText(ViewerHarness& h) { return h.field(ID_MOUSE_POSITION)->text(); }
QString infoText(ViewerHarness& h) { return h.field(ID_POINT_INFO)->text(); }

}  // namespace

TEST(PointReadout, PlanePointAndTextsForEscapedCycleAndUnknownPixels) {
    ViewerHarness h({.kind = 'J', .loopCount = 3, .centreRe = 0.5, .centreIm = -0.25});
    h.block.addCycle({{0.1, 0.0}, {0.2, 0.0}, {0.3, 0.0}});
    h.block.header().components[0].pointKind = static_cast<int>(common::PointKind::Attracting);
    h.open();
    ASSERT_TRUE(h.drawToDone());
    CTorvelView* view = h.frame->paintTargetView();
    moveMouse(view, {300, 200});
    EXPECT_EQ(positionText(h), "0.5  -0.25");
    moveMouse(view, {0, 0});
    EXPECT_EQ(positionText(h), "-1.5  1.083333333333333");
    for (const QPoint beyond : {QPoint(600, 0), QPoint(0, 400)}) {  // the window may be larger than the picture
        moveMouse(view, beyond);
        EXPECT_TRUE(positionText(h).isEmpty() && infoText(h).isEmpty());
    }

    const std::tuple<int, int, int, int, const char*> cases[] = {  // x, row, count, code, text
        {10, 20, 7, 0, "無限遠  番号 7"},
        {11, 20, 42, 1, "周期点 周期3 ATTRACTING  番号 42"},
        {12, 20, 0, 255, "不明  番号 0"},
        {13, 0, 9, 0, "無限遠  番号 9"},  // the window row shows the map row counted from the bottom
    };
    for (const auto& [x, row, count, code, text] : cases) {
        h.session->maps().iteration[x][399 - row] = count;
        h.session->maps().component[x][399 - row] = static_cast<std::uint8_t>(code);
        moveMouse(view, {x, row});
        EXPECT_EQ(infoText(h), text);
    }
    QFocusEvent focusOut(QEvent::FocusOut);  // the view loses the keyboard focus: the readouts go
    QApplication::sendEvent(view, &focusOut);
    EXPECT_TRUE(positionText(h).isEmpty() && infoText(h).isEmpty());
}

// A Shift pick asks for the picture of this kind around the point: the
// request is written into the drawn copy, then posted.
TEST(Picks, ShiftPickWritesTheRequestIntoTheDrawnCopyThenPosts) {
    ViewerHarness h(quickPicture('M'));
    h.open();
    ASSERT_TRUE(h.drawToDone());
    h.pump();
    h.received.clear();
    CTorvelView* view = h.frame->paintTargetView();
    releaseLeft(view, {0, 0}, Qt::ShiftModifier);
    h.pump();
    const common::ViewRecord& drawn = h.block.header().drawnView;
    // Without an edit of the next magnification the request keeps the scale.
    EXPECT_EQ(drawn.magnification, 0.25);
    EXPECT_EQ(drawn.centreRe, -2.0);
    EXPECT_EQ(common::formatG16(drawn.centreIm), "1.333333333333333");
    // The colours travel with the request, ranges reset to 0..loopCount.
    for (int i = 0; i < common::COLOUR_RECORD_COUNT; ++i) {
        common::ComponentColour expected = h.session->colourTable().records[static_cast<std::size_t>(i)];
        expected.lowCount = 0;
        expected.highCount = 3;
        EXPECT_EQ(0, std::memcmp(&drawn.colours[i], &expected, sizeof expected)) << i;
    }
    ASSERT_EQ(h.received.size(), 1u);
    EXPECT_EQ(h.received[0].msg, common::MSG_NEW_PICTURE);
    EXPECT_EQ(h.received[0].wParam, static_cast<int>(getpid()));
    EXPECT_EQ(h.received[0].lParam, 'M');
    EXPECT_EQ(h.block.view().centreRe, 0.0);  // the current view is untouched

    QLineEdit* next = h.field(ID_NEXT_MAGNIFICATION);
    next->setText("0");
    releaseLeft(view, {300, 200}, Qt::ShiftModifier);
    h.pump();
    EXPECT_EQ(h.received.size(), 1u);
    EXPECT_EQ(h.boxes.texts(), std::vector<std::string>{"倍率が０です。0より大きくしてください。"});
    next->setText("0.5");
    releaseLeft(view, {300, 200}, Qt::ShiftModifier);
    h.pump();
    EXPECT_EQ(drawn.magnification, 0.5);
    ASSERT_EQ(h.received.size(), 2u);
    EXPECT_EQ(h.received[1].lParam, 'M');
    releaseLeft(view, {300, 200}, Qt::ControlModifier);  // a Ctrl pick in a Mandelbrot picture asks for a Julia one
    h.pump();
    ASSERT_EQ(h.received.size(), 3u);
    EXPECT_EQ(h.received[2].lParam, 'J');
}

TEST(ReadoutTexts, ComponentTextsOfEveryKind) {
    const auto entry = [](int kind, int count, int pointKind) {
        common::ComponentView v;
        std::tie(v.kind, v.count, v.pointKind) = std::tie(kind, count, pointKind);
        return v;
    };
    const std::pair<common::ComponentView, const char*> rows[] = {
        {entry(0, 1, 0), "不動点 S_ATTRACTING  "}, {entry(0, 2, 0), "周期点 周期2 S_ATTRACTING  "},
        {entry(0, 1, 1), "不動点 ATTRACTING  "},   {entry(0, 1, 2), "不動点 INDIFFERENT  "},
        {entry(0, 5, 2), "周期点 周期5 INDIFFERENT  "}, {entry(0, 1, 3), "不動点 REPELLING"},
        {entry(0, 4, 3), "周期点 周期4 REPELLING  "},   {entry(0, 6, 9), "周期点 周期6 不正種別  "},
        {entry(1, 2, 0), "SiegelDisk 周期2 "},        {entry(2, 1, 0), "HermanRing 周期1 "},
        {entry(7, 3, 0), "データ不正 不正種別7 周期3"},
    };
    std::vector<common::ComponentView> table;
    for (const auto& row : rows) table.push_back(row.first);
    for (std::size_t i = 0; i < table.size(); ++i) EXPECT_EQ(componentText(static_cast<int>(i) + 1, table), rows[i].second);
    for (const int code : {-1, 12}) EXPECT_EQ(componentText(code, table), "不明  ");  // outside it: a stale map
    EXPECT_EQ(pointInfoText(false, 42, 3, table), "番号 42");  // a Mandelbrot picture has no components
}
