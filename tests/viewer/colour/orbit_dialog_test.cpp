// The orbit dialog on the Julia picture of z^2 - 1.
#include <QLineEdit>
#include <QListWidget>
#include <gtest/gtest.h>

#include "platform/recording_message_boxes.h"
#include "test_blocks.h"
#include "viewer/colour/dialog_widgets.h"
#include "viewer/colour/orbit_dialog.h"

namespace {

// z^2 - 1, critical point 0, a 600 x 800 picture at 150 pixels per unit.
colour::PictureInfo juliaOfZSquaredMinusOne() {
    colour::PictureInfo info;
    info.pictureKind = 'J';
    render_test::TestBlock::setRationalMap(info.map, common::FORM_POLYNOMIAL, {{-1, 0}, {0, 0}, {1, 0}}, {{1, 0}});
    info.criticalPoints = {{0, 0}, {0.5, 0.5}};
    info.loopCount = 50;
    info.convergenceRadius = 1e-3;
    info.width = 600;
    info.height = 800;
    info.magnification = 0.25;
    return info;
}

int markedCount(const colour::OrbitPicture& p) {
    int n = 0;
    for (int r = 0; r < p.height(); ++r)
        for (int c = 0; c < p.width(); ++c) n += p.isMarked(c, r);
    return n;
}

// Dialog position of picture pixel (x, y).
QPoint at(int x, int y) { return {colour::ORBIT_PICTURE_LEFT + x, colour::ORBIT_PICTURE_TOP + y}; }

TEST(OrbitDialog, CtrlPickAddsTheRedOrbitAndShiftPickRecentres) {
    colour::PictureInfo info = juliaOfZSquaredMinusOne();
    platform::RecordingMessageBoxes boxes;
    OrbitDialog dialog(info, boxes);
    dialog.criticalList()->item(1)->setSelected(false);

    // Ctrl: the orbit of 1 (pixel (450, 400)) in red; it then lands on the
    // critical orbit's pixels, which stay white.
    dialog.pick(at(450, 400), Qt::ControlModifier);
    EXPECT_EQ(dialog.picture().pixel(450, 400), colour::ORBIT_PICKED);
    EXPECT_EQ(dialog.picture().pixel(300, 400), colour::ORBIT_CRITICAL);
    EXPECT_EQ(markedCount(dialog.picture()), 3);

    // Both keys together: nothing happens.
    dialog.pick(at(10, 10), Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(markedCount(dialog.picture()), 3);
    EXPECT_EQ(dialog.shownView().centreRe, 0);

    // Shift: the centre moves to -1 and the picture is drawn afresh.
    dialog.pick(at(150, 400), Qt::ShiftModifier);
    EXPECT_EQ(dialog.shownView().centreRe, -1);
    EXPECT_EQ(dialog.picture().pixel(450, 400), colour::ORBIT_CRITICAL);  // 0
    EXPECT_EQ(dialog.picture().pixel(300, 400), colour::ORBIT_CRITICAL);  // -1
    EXPECT_EQ(markedCount(dialog.picture()), 2);

    // The readout uses the shown centre; outside the picture it is empty.
    dialog.showMousePosition(at(0, 0));
    EXPECT_EQ(dialog.mouseField()->text(), QStringLiteral("-3  2.666666666666667"));
    dialog.showMousePosition(QPoint(5, 5));
    EXPECT_EQ(dialog.mouseField()->text(), "");
    EXPECT_TRUE(boxes.texts().empty());
}

}  // namespace
