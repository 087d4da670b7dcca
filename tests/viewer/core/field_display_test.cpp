// The parameter bar's fields as shown: the readout under a mouse moving over
// the window, and long values that come from the block.
#include "shown_text.h"
#include "viewer_harness.h"

using namespace viewer;
using namespace viewer_test;

TEST(FieldDisplay, TheMouseReadoutShowsItsWholeText) {
    // The rabbit, shifted so that both parts carry 16 digits and a minus.
    ViewerHarness h(PictureSetup{
        .width = 600, .height = 600, .loopCount = 3, .centreRe = 0.6489148211133912, .centreIm = 0.1489148211133912});
    h.block.setMap(common::FORM_POLYNOMIAL, {{-0.12, 0.75}, {0, 0}, {1, 0}});
    h.open();
    ASSERT_TRUE(h.drawToDone());
    for (const QPoint pixel : {QPoint(200, 400), QPoint(0, 599)}) {
        QTest::mouseMove(h.frame->windowHandle(), h.frame->paintTargetView()->viewport()->mapTo(h.frame.get(), pixel));
        ASSERT_TRUE(h.field(ID_MOUSE_POSITION)->text().startsWith('-'));
        EXPECT_TRUE(platform_test::wholeTextShown(h.field(ID_MOUSE_POSITION)))
            << h.field(ID_MOUSE_POSITION)->text().toStdString();
    }
}

TEST(FieldDisplay, LongValuesFromTheBlockShowTheirStart) {
    ViewerHarness h(PictureSetup{.magnification = 123456789012345.5, .centreRe = -98765432109876.5});
    h.open();
    for (const int id : {ID_NEXT_MAGNIFICATION, ID_CENTRE_RE})
        EXPECT_TRUE(platform_test::textStartShown(h.field(id))) << h.field(id)->text().toStdString();
}
