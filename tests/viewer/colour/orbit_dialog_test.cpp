// The orbit dialog on the Julia picture of z^2 - 1, used with the mouse.
#include <QMouseEvent>
#include <QPushButton>

#include "dialog_test_support.h"
#include "shown_text.h"
#include "viewer/colour/orbit_dialog.h"

namespace {

// The pointer moving over a widget, delivered as the window system's events are.
void hover(QWidget* widget, QPoint at) {
    QMouseEvent move(QEvent::MouseMove, at, widget->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
}

long markedCount(const colour::OrbitPicture& p) {
    return std::count_if(p.pixels().begin(), p.pixels().end(), [](std::uint32_t w) { return (w & 0xFFFFFF) != 0; });
}

TEST(OrbitDialog, CtrlPickAddsTheRedOrbitAndShiftPickRecentres) {
    // z^2 - 1, critical points 0 and 0.5 + 0.5i, a 600 x 800 picture at 150 pixels per unit.
    colour::PictureInfo info;
    render_test::TestBlock::setRationalMap(info.map, common::FORM_POLYNOMIAL, {{-1, 0}, {0, 0}, {1, 0}}, {{1, 0}});
    info.criticalPoints = {{0, 0}, {0.5, 0.5}};
    std::tie(info.loopCount, info.convergenceRadius, info.width, info.height, info.magnification) =
        std::tuple(50, 1e-3, 600, 800, 0.25);
    platform::RecordingMessageBoxes boxes;
    OrbitDialog dialog(info, boxes);
    colour_test::expectNoOverlap(dialog);
    const std::pair<const char*, QWidget*> pairs[] = {{"ループ回数", dialog.loopField()},
        {"倍率", dialog.magnificationField()}, {"点の大きさ", dialog.pointSizeField()}, {"マウス位置", dialog.mouseField()}};
    for (const auto& [text, field] : pairs)
        EXPECT_TRUE(colour_test::labelled(dialog, QString::fromUtf8(text), field)) << text;
    EXPECT_TRUE(colour_test::beside(dialog.pointSizeField(), dialog.pointSizeArrows(), 0));
    QWidget* picture = dialog.pictureLabel();
    EXPECT_EQ(QStringList({dialog.loopField()->text(), dialog.magnificationField()->text()}),
              QStringList({"500", "0.250000"}));
    dialog.criticalList()->item(1)->setSelected(false);

    // Ctrl: the orbit of 1 (pixel (450, 400)) in red; it then lands on the
    // critical orbit's pixels, which stay white.
    QTest::mouseClick(picture, Qt::LeftButton, Qt::ControlModifier, QPoint(450, 400));
    EXPECT_EQ(dialog.picture().pixel(450, 400), colour::ORBIT_PICKED);
    EXPECT_EQ(dialog.picture().pixel(300, 400), colour::ORBIT_CRITICAL);
    EXPECT_EQ(markedCount(dialog.picture()), 3);

    // Both keys together, or the right button: nothing happens.
    QTest::mouseClick(picture, Qt::LeftButton, Qt::ControlModifier | Qt::ShiftModifier, QPoint(10, 10));
    QTest::mouseClick(picture, Qt::RightButton, Qt::ShiftModifier, QPoint(10, 10));
    EXPECT_EQ(markedCount(dialog.picture()), 3) << "nor is the picked orbit dropped by a fresh drawing";

    // Shift: the centre moves to -1 and the picture is drawn afresh.
    QTest::mouseClick(picture, Qt::LeftButton, Qt::ShiftModifier, QPoint(150, 400));
    EXPECT_EQ(dialog.shownView().centreRe, -1);
    EXPECT_EQ(dialog.picture().pixel(450, 400), colour::ORBIT_CRITICAL);  // 0
    EXPECT_EQ(dialog.picture().pixel(300, 400), colour::ORBIT_CRITICAL);  // -1
    EXPECT_EQ(markedCount(dialog.picture()), 2);

    // The readout uses the shown centre; outside the picture it is empty.
    hover(picture, QPoint(0, 0));
    EXPECT_EQ(dialog.mouseField()->text(), QStringLiteral("-3  2.666666666666667"));
    hover(&dialog, QPoint(5, 300));  // left of the picture
    QTest::keyClicks(dialog.mouseField(), "1");
    EXPECT_EQ(dialog.mouseField()->text(), "") << "the readout takes no typing";
    colour_test::type(dialog.loopField(), "2000000");  // beyond the cap: shown as the cap
    EXPECT_EQ(dialog.loopField()->text(), QString::number(colour::MAX_ORBIT_LOOP));

    // With every critical point cleared, a pick draws nothing and says why.
    for (QPushButton* button : dialog.findChildren<QPushButton*>())
        if (button->text() == QStringLiteral("全解除")) QTest::mouseClick(button, Qt::LeftButton);
    QTest::mouseClick(picture, Qt::LeftButton, Qt::ControlModifier, QPoint(450, 400));
    EXPECT_EQ(boxes.texts(), std::vector<std::string>{OrbitDialog::NO_SELECTION_MESSAGE});
    EXPECT_EQ(markedCount(dialog.picture()), 2);

    // A magnification that cannot be drawn is drawn at 1: the corner of a 600-pixel-wide picture is at -0.5.
    // Its field, too long for the width, shows its start.
    info.magnification = -123456789.125;
    info.height = 600;
    OrbitDialog unscaled(info, boxes);
    unscaled.show();
    hover(unscaled.pictureLabel(), QPoint(0, 0));
    EXPECT_EQ(unscaled.mouseField()->text(), QStringLiteral("-0.5  0.5"));
    EXPECT_TRUE(platform_test::textStartShown(unscaled.magnificationField()));
}

}  // namespace
