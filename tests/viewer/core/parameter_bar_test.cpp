// The parameter bar on a block made in the test: filters, limits, what is
// stored where, and the checks of the draw button.
#include <QTest>

#include "viewer/core/parameter_fields.h"
#include "viewer_harness.h"

using namespace viewer;
using viewer_test::PictureSetup;
using viewer_test::ViewerHarness;

namespace {

// Replaces the field's text as typing does (one key at a time).
void typeInto(QLineEdit* edit, const QString& text) {
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, text);
}

// Pastes text over the whole field (keyboard filters do not apply).
void pasteInto(QLineEdit* edit, const QString& text) {
    edit->selectAll();
    edit->insert(text);
}

}  // namespace

TEST(ParameterBarFields, ShowTheViewRecordWithTheBarsFormats) {
    PictureSetup setup;
    setup.radius = 0.000001;
    setup.magnification = 0.25;
    setup.centreRe = -0.5;
    setup.centreIm = 1.0;
    ViewerHarness h(setup);
    h.open();
    EXPECT_EQ(h.field(ID_CONVERGENCE_RADIUS)->text(), "0.000001");
    EXPECT_EQ(h.field(ID_NEXT_MAGNIFICATION)->text(), "0.25");
    EXPECT_EQ(h.bar().currentMagnificationLabel()->text(), "現倍率 0.25");
    EXPECT_EQ(h.field(ID_PICTURE_WIDTH)->text(), "600");
    EXPECT_EQ(h.field(ID_PICTURE_HEIGHT)->text(), "400");
    EXPECT_EQ(h.field(ID_LOOP_COUNT)->text(), "50");
    EXPECT_EQ(h.field(ID_CENTRE_RE)->text(), "-0.5");
    EXPECT_EQ(h.field(ID_CENTRE_IM)->text(), "1");
    for (int id : {ID_CONVERGENCE_RADIUS, ID_PICTURE_WIDTH, ID_PICTURE_HEIGHT, ID_LOOP_COUNT, ID_NEXT_MAGNIFICATION,
                   ID_CENTRE_RE, ID_CENTRE_IM})
        EXPECT_EQ(h.field(id)->maxLength(), FIELD_TEXT_LIMIT) << id;
    EXPECT_FALSE(h.field(ID_CENTRE_RE)->isEnabled());
    EXPECT_FALSE(h.field(ID_CENTRE_IM)->isEnabled());
}

TEST(ParameterBarFields, TinyRadiusShowsZeroButStaysInTheBlockUntilEdited) {
    PictureSetup setup;
    setup.radius = 1e-8;
    ViewerHarness h(setup);
    h.open();
    EXPECT_EQ(h.field(ID_CONVERGENCE_RADIUS)->text(), "0");
    EXPECT_EQ(h.block.view().convergenceRadius, 1e-8);
    typeInto(h.field(ID_CONVERGENCE_RADIUS), "0.5");
    EXPECT_EQ(h.block.view().convergenceRadius, 0.5);
}

TEST(ParameterBarFields, WidthAndHeightAreLimitedInTheField) {
    ViewerHarness h(PictureSetup{});
    h.open();
    typeInto(h.field(ID_PICTURE_WIDTH), "1500");
    EXPECT_EQ(h.field(ID_PICTURE_WIDTH)->text(), "1000");
    EXPECT_EQ(h.block.view().pictureWidth, 1000);

    // Only a paste can bring a minus sign in.
    pasteInto(h.field(ID_PICTURE_HEIGHT), "-5");
    EXPECT_EQ(h.field(ID_PICTURE_HEIGHT)->text(), "1");
    EXPECT_EQ(h.block.view().pictureHeight, 1);

    typeInto(h.field(ID_PICTURE_WIDTH), "0");
    EXPECT_EQ(h.field(ID_PICTURE_WIDTH)->text(), "0");
    EXPECT_EQ(h.block.view().pictureWidth, 0);
}

TEST(ParameterBarFields, DigitFieldsIgnoreOtherKeys) {
    ViewerHarness h(PictureSetup{});
    h.open();
    typeInto(h.field(ID_LOOP_COUNT), "1a2-3.");
    EXPECT_EQ(h.field(ID_LOOP_COUNT)->text(), "123");
    EXPECT_EQ(h.block.view().loopCount, 123);
}

TEST(ParameterBarFields, LoopCountIsLimited) {
    ViewerHarness h(PictureSetup{});
    h.open();
    typeInto(h.field(ID_LOOP_COUNT), "100001");
    EXPECT_EQ(h.field(ID_LOOP_COUNT)->text(), "100000");
    EXPECT_EQ(h.block.view().loopCount, 100000);
    pasteInto(h.field(ID_LOOP_COUNT), "-7");
    EXPECT_EQ(h.field(ID_LOOP_COUNT)->text(), "0");
    EXPECT_EQ(h.block.view().loopCount, 0);
}

TEST(ParameterBarFields, HugeNumbersSaturateInsteadOfWrappingAround) {
    ViewerHarness h(PictureSetup{});
    h.open();
    // 2^32 + 1 would read as 1 through a wrapping conversion.
    typeInto(h.field(ID_PICTURE_WIDTH), "4294967297");
    EXPECT_EQ(h.field(ID_PICTURE_WIDTH)->text(), "1000");
    EXPECT_EQ(h.block.view().pictureWidth, 1000);
    typeInto(h.field(ID_LOOP_COUNT), "99999999999999999999999");
    EXPECT_EQ(h.block.view().loopCount, 100000);
}

TEST(ParameterBarFields, RealFieldsAreCutAtTheFirstInvalidCharacter) {
    ViewerHarness h(PictureSetup{});
    h.open();
    QLineEdit* radius = h.field(ID_CONVERGENCE_RADIUS);
    pasteInto(radius, "1.2.3");
    EXPECT_EQ(radius->text(), "1.2");
    EXPECT_EQ(h.block.view().convergenceRadius, 1.2);
    pasteInto(radius, "12a");
    EXPECT_EQ(radius->text(), "12");
    pasteInto(radius, "5-");
    EXPECT_EQ(radius->text(), "5");
    pasteInto(radius, "1e-6");
    EXPECT_EQ(radius->text(), "1");
    EXPECT_EQ(h.block.view().convergenceRadius, 1.0);
    pasteInto(radius, "-0.25");
    EXPECT_EQ(radius->text(), "-0.25");
    EXPECT_EQ(h.block.view().convergenceRadius, -0.25);
}

TEST(ParameterBarFields, TextsThatAreNoNumberKeepTheStoredValue) {
    ViewerHarness h(PictureSetup{});
    h.open();
    h.field(ID_PICTURE_WIDTH)->clear();
    EXPECT_EQ(h.block.view().pictureWidth, 600);
    pasteInto(h.field(ID_CONVERGENCE_RADIUS), "-");
    EXPECT_EQ(h.block.view().convergenceRadius, 1e-3);
    pasteInto(h.field(ID_CONVERGENCE_RADIUS), "");
    EXPECT_EQ(h.block.view().convergenceRadius, 1e-3);
    // The cleared width is not a zero width: draw start uses the stored 600.
    h.pressDraw();
    EXPECT_TRUE(h.boxes.texts().empty());
    EXPECT_EQ(h.frame->document().pictureSize(), QSize(600, 400));
}

TEST(ParameterBarFields, FieldEditsGoToTheirViewRecords) {
    ViewerHarness h(PictureSetup{});
    h.open();
    typeInto(h.field(ID_PICTURE_HEIGHT), "321");
    typeInto(h.field(ID_LOOP_COUNT), "77");
    EXPECT_EQ(h.block.view().pictureHeight, 321);
    EXPECT_EQ(h.block.view().loopCount, 77);
    // The next magnification edits the drawn copy, not the current view.
    h.block.header().drawnView.magnification = 0.25;
    h.field(ID_NEXT_MAGNIFICATION)->setEnabled(true);
    typeInto(h.field(ID_NEXT_MAGNIFICATION), "0.125");
    EXPECT_EQ(h.block.header().drawnView.magnification, 0.125);
    EXPECT_EQ(h.block.view().magnification, 0.25);
}

TEST(DrawStartChecks, RefuseInOrderWithTheirMessages) {
    struct Case {
        int width, height, loops;
        double radius;
        const char* message;
    };
    const Case cases[] = {
        {0, 0, 0, 0.0, "画面サイズ横が０です。1以上1000以下にしてください。"},
        {600, 0, 0, 0.0, "画面サイズ縦が０です。1以上1000以下にしてください。"},
        {600, 400, 0, 0.0, "ループ回数が０です。1以上100000以下にしてください。"},
        {600, 400, 10, 0.0, "収束半径が０です。0より大きくしてください。"},
        {600, 400, 10, -1.0, "収束半径が０です。0より大きくしてください。"},
        // Sizes above the maps only come from a block; refused like 0.
        {1001, 400, 10, 1.0, "画面サイズ横が０です。1以上1000以下にしてください。"},
        {600, 5000, 10, 1.0, "画面サイズ縦が０です。1以上1000以下にしてください。"},
    };
    for (const Case& c : cases) {
        PictureSetup setup;
        setup.width = c.width;
        setup.height = c.height;
        setup.loopCount = c.loops;
        setup.radius = c.radius;
        ViewerHarness h(setup);
        h.open();
        h.pressDraw();
        h.pump();
        ASSERT_EQ(h.boxes.texts().size(), 1u) << c.message;
        EXPECT_EQ(h.boxes.texts()[0], c.message);
        // Nothing else happened: still Ready, fields editable, nothing posted.
        EXPECT_EQ(h.frame->state(), ViewerState::Ready);
        EXPECT_TRUE(h.field(ID_PICTURE_WIDTH)->isEnabled());
        EXPECT_TRUE(h.received.empty());
        EXPECT_EQ(h.bar().drawButton()->text(), "描画ｽﾀｰﾄ");
    }
}

TEST(DrawStartChecks, NaNRadiusFromTheBlockIsRefused) {
    PictureSetup setup;
    setup.radius = std::numeric_limits<double>::quiet_NaN();
    ViewerHarness h(setup);
    h.open();
    h.pressDraw();
    ASSERT_EQ(h.boxes.texts().size(), 1u);
    EXPECT_EQ(h.boxes.texts()[0], "収束半径が０です。0より大きくしてください。");
}

TEST(BarTexts, RealNumbersDropTrailingZeros) {
    EXPECT_EQ(formatBarReal(0.25), "0.25");
    EXPECT_EQ(formatBarReal(1.0), "1");
    EXPECT_EQ(formatBarReal(0.000001), "0.000001");
    EXPECT_EQ(formatBarReal(1e-8), "0");
    EXPECT_EQ(formatBarReal(-1e-8), "0");
    EXPECT_EQ(formatBarReal(-2.5), "-2.5");
    EXPECT_EQ(formatBarReal(1234567.0), "1234567");
}

TEST(BarTexts, ValidPrefixOfNumericText) {
    EXPECT_EQ(numericValidLength("1.2.3"), 3u);
    EXPECT_EQ(numericValidLength("12a"), 2u);
    EXPECT_EQ(numericValidLength("5-"), 1u);
    EXPECT_EQ(numericValidLength("1e-6"), 1u);
    EXPECT_EQ(numericValidLength("-.5"), 3u);
    EXPECT_EQ(numericValidLength("--1"), 1u);
    EXPECT_EQ(numericValidLength(""), 0u);
}
