// Page layout and text of a printed picture.
#include "viewer/colour/print_layout.h"

#include <gtest/gtest.h>

namespace {

using colour::computePageLayout;
using colour::DeviceRect;
using colour::PageLayout;
using colour::TextPlacement;

// A4 at 600 dots per inch: 210 mm x 297 mm.
constexpr DeviceRect A4_PORTRAIT{0, 0, 4960, 7016};
constexpr DeviceRect A4_LANDSCAPE{0, 0, 7016, 4960};

TEST(PageLayout, SquarePictureOnA4FillsTheWidthWithTheTextBelow) {
    const PageLayout layout = computePageLayout(A4_PORTRAIT, 0, 600, 600, 0, 0);
    EXPECT_EQ(layout.placement, TextPlacement::Below);
    EXPECT_TRUE(layout.drawPicture);
    EXPECT_EQ(layout.picture, (DeviceRect{0, 0, 4960, 4960}));
    EXPECT_FALSE(layout.drawText);
    EXPECT_FALSE(layout.textClipped);
}

TEST(PageLayout, MarginOf50MillimetresShrinksEverySide) {
    const int margin = colour::marginToDevice(50, 600);  // 50 / 25.4 * 600 = 1181.1
    EXPECT_EQ(margin, 1181);
    EXPECT_EQ(colour::marginToDevice(50, 1200), 2362);
    EXPECT_EQ(colour::marginToDevice(0, 1200), 0);
    EXPECT_EQ(colour::marginToDevice(80, 600), 1181) << "held to 50 mm";

    const PageLayout layout = computePageLayout(A4_PORTRAIT, margin, 600, 600, 1000, 500);
    EXPECT_EQ(layout.printable, (DeviceRect{1181, 1181, 3779, 5835}));
    EXPECT_EQ(layout.placement, TextPlacement::Below);
    EXPECT_EQ(layout.picture, (DeviceRect{1181, 1181, 3779, 3779}));
    EXPECT_EQ(layout.text, (DeviceRect{1181, 3779, 2181, 4279}));
    EXPECT_FALSE(layout.textClipped);
}

TEST(PageLayout, WideAreaPutsTheTextBesideThePicture) {
    PageLayout layout = computePageLayout(A4_LANDSCAPE, 0, 600, 600, 1500, 800);
    EXPECT_EQ(layout.placement, TextPlacement::Beside);
    EXPECT_EQ(layout.picture, (DeviceRect{0, 0, 4960, 4960}));
    EXPECT_EQ(layout.text, (DeviceRect{4960, 0, 6460, 800}));
    EXPECT_FALSE(layout.textClipped);

    // A wider text narrows the picture (ph follows the aspect ratio).
    layout = computePageLayout(A4_LANDSCAPE, 0, 400, 300, 3000, 800);
    EXPECT_EQ(layout.placement, TextPlacement::Beside);
    EXPECT_EQ(layout.picture, (DeviceRect{0, 0, 4016, 3012}));
    EXPECT_EQ(layout.text, (DeviceRect{4016, 0, 7016, 800}));
    EXPECT_FALSE(layout.textClipped);

    // A text as tall as the area is clipped to it, with the message.
    layout = computePageLayout(A4_LANDSCAPE, 0, 600, 600, 1500, 4960);
    EXPECT_EQ(layout.text, (DeviceRect{4960, 0, 7016, 4960}));
    EXPECT_TRUE(layout.textClipped);
}

TEST(PageLayout, TallTextBelowShrinksThePictureAndWideTextIsClipped) {
    PageLayout layout = computePageLayout(A4_PORTRAIT, 0, 600, 600, 2000, 3000);
    EXPECT_EQ(layout.placement, TextPlacement::Below);
    EXPECT_EQ(layout.picture, (DeviceRect{0, 0, 4016, 4016}));
    EXPECT_EQ(layout.text, (DeviceRect{0, 4016, 2000, 7016}));
    EXPECT_FALSE(layout.textClipped);

    layout = computePageLayout(A4_PORTRAIT, 0, 600, 600, 4960, 3000);
    EXPECT_EQ(layout.picture, (DeviceRect{0, 0, 4016, 4016}));
    EXPECT_EQ(layout.text, (DeviceRect{0, 4016, 4960, 7016}));
    EXPECT_TRUE(layout.textClipped);
}

TEST(PageLayout, NoRoomOrNoPictureDrawsNothingAndNeverDividesByZero) {
    // Margins larger than half the page.
    PageLayout layout = computePageLayout({0, 0, 2000, 2000}, 1000, 600, 600, 100, 100);
    EXPECT_FALSE(layout.drawPicture);
    EXPECT_FALSE(layout.drawText);
    EXPECT_TRUE(layout.textClipped);
    layout = computePageLayout({0, 0, 2000, 2000}, 1200, 600, 600, 0, 0);
    EXPECT_FALSE(layout.drawPicture);
    EXPECT_FALSE(layout.textClipped);

    // An empty picture leaves the page to the text.
    layout = computePageLayout(A4_PORTRAIT, 0, 0, 600, 100, 50);
    EXPECT_FALSE(layout.drawPicture);
    EXPECT_EQ(layout.text, (DeviceRect{0, 0, 100, 50}));
    layout = computePageLayout(A4_PORTRAIT, 0, 600, 0, 0, 0);
    EXPECT_FALSE(layout.drawPicture);

    // A text wider than the whole area beside the picture squeezes it out.
    layout = computePageLayout(A4_LANDSCAPE, 0, 600, 600, 8000, 800);
    EXPECT_FALSE(layout.drawPicture);
    EXPECT_EQ(layout.text, (DeviceRect{0, 0, 7016, 800}));
    EXPECT_TRUE(layout.textClipped);

    // A text taller than the whole area below the picture likewise.
    layout = computePageLayout(A4_PORTRAIT, 0, 600, 600, 100, 9000);
    EXPECT_FALSE(layout.drawPicture);
    EXPECT_EQ(layout.text, (DeviceRect{0, 0, 100, 7016}));
    EXPECT_TRUE(layout.textClipped);
}

colour::PictureInfo rationalPicture() {
    colour::PictureInfo info;
    info.pictureKind = 'J';
    info.map.form = common::FORM_RATIONAL;
    info.map.numeratorDegree = 2;  // z^2 + 0.5i  (degree 1 is zero)
    info.map.numeratorRe[2] = 1;
    info.map.numeratorIm[0] = 0.5;
    info.map.denominatorDegree = 1;  // -0.25 + 2z
    info.map.denominatorRe[0] = -0.25;
    info.map.denominatorRe[1] = 2;
    info.width = 600;
    info.height = 400;
    info.magnification = 0.25;
    info.loopCount = 1000;
    info.fixedPoints = {{1, 0}, {-0.5, 0.25}};
    info.criticalPoints = {{0, 0}};
    return info;
}

TEST(PrintText, SectionsComeInOrderAndSkipZeroCoefficients) {
    colour::PrintOptions options;
    options.printFormula = options.printRange = options.printLoopCount = true;
    options.printFixedPoints = options.printCriticalPoints = true;
    options.comment = colour::commentFromField("first\nsecond\r\nthird");
    EXPECT_EQ(options.comment, "first\nsecond\nthird\n");

    const std::string expected =
        "式\n"
        "  分子\u3000次数0 実部 0 虚部0.5\n"
        "  分子\u3000次数2 実部 1 虚部0\n"
        "  分母\u3000次数0 実部 -0.25 虚部0\n"
        "  分母\u3000次数1 実部 2 虚部0\n"
        "表示範囲\n  実部 -2 ～ 2\n  虚部 -1.333333333333333 ～ 1.333333333333333\n"
        "ループ回数 1000\n"
        "不動点\n  実部 1 虚部 0\n  実部 -0.5 虚部 0.25\n"
        "クリティカルポイント\n  実部 0 虚部 0\n"
        "first\nsecond\nthird\n";
    EXPECT_EQ(colour::assemblePrintText(rationalPicture(), options), expected);

    colour::PrintOptions none;
    EXPECT_EQ(colour::assemblePrintText(rationalPicture(), none), "");
    EXPECT_EQ(colour::commentFromField(""), "");
}

TEST(PrintText, PolynomialAndInvalidFormsAndLengthLimit) {
    colour::PictureInfo info = rationalPicture();
    info.map.form = common::FORM_POLYNOMIAL;
    colour::PrintOptions options;
    options.printFormula = true;
    EXPECT_EQ(colour::assemblePrintText(info, options),
              "式\n  次数0 実部 0 虚部0.5\n  次数2 実部 1 虚部0\n");
    info.map.form = 7;
    EXPECT_EQ(colour::assemblePrintText(info, options), "式\n  不正種別7\n");

    // 41 critical points and a long comment pass 4095 bytes: whole lines only.
    info.criticalPoints.assign(41, {0.1234567890123456, -0.9876543210987654});
    options.printCriticalPoints = true;
    std::string field;
    for (int i = 0; i < 40; ++i) field += std::string(60, 'x') + "\n";
    options.comment = colour::commentFromField(field);
    const std::string text = colour::assemblePrintText(info, options);
    ASSERT_LE(text.size(), colour::MAX_PRINT_TEXT_BYTES);
    EXPECT_GT(text.size(), colour::MAX_PRINT_TEXT_BYTES - 62);
    EXPECT_EQ(text.back(), '\n');
    EXPECT_EQ(text.substr(text.size() - 62), "\n" + std::string(60, 'x') + "\n");
}

}  // namespace
