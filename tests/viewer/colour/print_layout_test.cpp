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

}  // namespace
