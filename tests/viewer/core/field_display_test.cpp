// What the parameter bar's fields show on screen: the readout under a mouse
// that moves over the window, and long values that come from the block.
#include "shown_text.h"
#include "viewer_harness.h"

using namespace viewer;
using namespace viewer_test;
using platform_test::textStartShown;
using platform_test::wholeTextShown;

namespace {

TEST(FieldDisplay, TheMousePositionReadoutShowsItsWholeText) {
    // The rabbit, z^2 - 0.12 + 0.75i, shifted so that both parts carry 16
    // digits and a minus sign.
    PictureSetup setup;
    setup.width = setup.height = 600;
    setup.loopCount = 3;
    setup.centreRe = 0.6489148211133912;
    setup.centreIm = 0.1489148211133912;
    ViewerHarness h(setup);
    h.block.setMap(common::FORM_POLYNOMIAL, {{-0.12, 0.75}, {0, 0}, {1, 0}});
    h.open();
    ASSERT_TRUE(h.drawToDone());
    QWidget* viewport = h.frame->paintTargetView()->viewport();
    for (const QPoint pixel : {QPoint(200, 400), QPoint(0, 599)}) {
        QTest::mouseMove(h.frame->windowHandle(), viewport->mapTo(h.frame.get(), pixel));
        QLineEdit* readout = h.field(ID_MOUSE_POSITION);
        ASSERT_TRUE(readout->text().startsWith(QLatin1Char('-'))) << readout->text().toStdString();
        EXPECT_TRUE(wholeTextShown(readout)) << readout->text().toStdString();
    }
}

TEST(FieldDisplay, LongValuesFromTheBlockShowTheirStart) {
    PictureSetup setup;
    setup.magnification = 123456789012345.5;
    setup.centreRe = -98765432109876.5;
    setup.centreIm = -12345678901234.5;
    ViewerHarness h(setup);
    h.open();
    for (const int id : {ID_NEXT_MAGNIFICATION, ID_CENTRE_RE, ID_CENTRE_IM})
        EXPECT_TRUE(textStartShown(h.field(id))) << id << " " << h.field(id)->text().toStdString();
}

}  // namespace
