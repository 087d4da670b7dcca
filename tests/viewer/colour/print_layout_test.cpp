// Texts of a picture (the formula and components dialogs, the printed text) and the printed page's layout.
#include "viewer/colour/info_text.h"
#include "viewer/colour/print_layout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

using colour::DeviceRect;

colour::PictureInfo rationalPicture() {
    colour::PictureInfo info;
    info.map.form = common::FORM_RATIONAL;
    info.map.numeratorDegree = 2;  // z^2 + 0.5i  (degree 1 is zero)
    info.map.numeratorRe[2] = 1;
    info.map.numeratorIm[0] = 0.5;
    info.map.denominatorDegree = 1;  // -0.25 + 2z
    info.map.denominatorRe[0] = -0.25;
    info.map.denominatorRe[1] = 2;
    std::tie(info.width, info.height, info.magnification, info.loopCount) = std::tuple(600, 400, 0.25, 1000);
    info.fixedPoints = {{1, 0}, {-0.5, 0.25}};
    info.criticalPoints = {{0, 0}};
    return info;
}

TEST(FormulaText, ListsEveryCoefficientOfBothParts) {
    common::RationalMap map = rationalPicture().map;
    EXPECT_EQ(colour::formulaText(map),
              "分子\u3000次数0 実部 0 虚部0.5\r\n"
              "分子\u3000次数1 実部 0 虚部0\r\n"
              "分子\u3000次数2 実部 1 虚部0\r\n"
              "分母\u3000次数0 実部 -0.25 虚部0\r\n"
              "分母\u3000次数1 実部 2 虚部0\r\n");
    map.form = common::FORM_POLYNOMIAL;
    map.numeratorRe[1] = -3;
    EXPECT_EQ(colour::formulaText(map), "次数0 実部 0 虚部0.5\r\n次数1 実部 -3 虚部0\r\n次数2 実部 1 虚部0\r\n");
    map.form = 5;
    EXPECT_EQ(colour::formulaText(map), "不正種別5\r\n");
    // Degrees outside the table never index past it.
    map.form = common::FORM_RATIONAL;
    map.numeratorDegree = 99;
    map.denominatorDegree = -7;
    const std::string clamped = colour::formulaText(map);
    EXPECT_EQ(std::count(clamped.begin(), clamped.end(), '\n'), 11);
}

// The infinity line's own cases are the listing's; here: Julia pictures only, infinity first, CR LF ends.
TEST(ComponentsText, JuliaPicturesListInfinityThenTheComponents) {
    colour::PictureInfo info = rationalPicture();  // degree 2 over 1, multiplier 2 / 1 at infinity: no line
    info.components.resize(2);
    info.components[0] = {0, 1, 0, 0, true, {}, {}};
    info.components[1] = {0, 12, 1, 0, true, {}, {}};
    info.pictureKind = 'M';
    EXPECT_EQ(colour::componentsText(info), "");
    info.pictureKind = 'J';
    EXPECT_EQ(colour::componentsText(info), "不動点 S_ATTRACTING\r\n周期点 周期12 ATTRACTING\r\n");
    info.map.form = common::FORM_POLYNOMIAL;
    EXPECT_EQ(colour::componentsText(info), "無限遠 S_ATTRACTING\r\n不動点 S_ATTRACTING\r\n周期点 周期12 ATTRACTING\r\n");
}

TEST(PrintText, SectionsComeInOrderAndSkipZeroCoefficients) {
    colour::PrintOptions options;
    options.printFormula = options.printRange = options.printLoopCount = true;
    options.printFixedPoints = options.printCriticalPoints = true;
    options.comment = colour::commentFromField("first\nsecond\r\nthird\rfourth");

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
        "first\nsecond\nthird\nfourth\n";
    EXPECT_EQ(colour::assemblePrintText(rationalPicture(), options), expected);

    colour::PrintOptions none;
    EXPECT_EQ(colour::assemblePrintText(rationalPicture(), none), "");
    EXPECT_EQ(colour::commentFromField(""), "");
    // Past 4095 bytes the text ends with its last whole line, or at a whole character.
    none.comment = std::string(10, 'a') + "\n" + std::string(4083, 'b') + "\nc\n";
    EXPECT_EQ(colour::assemblePrintText(rationalPicture(), none), none.comment.substr(0, 4095));
    none.comment.assign(1, 'a');
    for (int i = 0; i < 2000; ++i) none.comment += "あ";
    EXPECT_EQ(colour::assemblePrintText(rationalPicture(), none), none.comment.substr(0, 1 + 3 * 1364));
}

TEST(PrintLayout, MarginsInDeviceUnits) {
    // (mm, dots per inch, device units): 254 dpi is 10 units a millimetre; 0..50 mm; no resolution, no margin.
    const std::tuple<int, double, int> rows[] = {{10, 254, 100}, {1, 600, 24}, {60, 254, 500}, {-5, 254, 0},
                                                 {10, 0, 0},     {10, NAN, 0},  {10, INFINITY, 0}};
    for (const auto& [mm, dpi, want] : rows) EXPECT_EQ(colour::marginToDevice(mm, dpi), want) << mm << " mm at " << dpi;
}

// The picture fills the width (text below) or the height (text beside), whichever it reaches first; a text
// that does not fit shrinks the picture, and one that cannot fit at all is cut at the printable area.
TEST(PrintLayout, PictureAndTextShareThePrintableArea) {
    constexpr DeviceRect TALL{0, 0, 1000, 1400};  // margin 100: 800 x 1200
    constexpr DeviceRect WIDE{0, 0, 1400, 1000};  // margin 100: 1200 x 800
    constexpr DeviceRect NONE{};
    const auto B = colour::TextPlacement::Below;
    const auto S = colour::TextPlacement::Beside;
    const struct Case {
        DeviceRect page;
        int margin, w, h, tw, th;
        colour::TextPlacement placement;
        DeviceRect picture, text;  // NONE: not drawn
        bool clipped;
    } cases[] = {
        {TALL, 100, 600, 400, 300, 200, B, {100, 100, 900, 633}, {100, 633, 400, 833}, false},
        {TALL, 100, 600, 400, 0, 0, B, {100, 100, 900, 633}, NONE, false},
        {TALL, 100, 600, 400, 300, 1000, B, {100, 100, 400, 300}, {100, 300, 400, 1300}, false},
        {TALL, 100, 600, 400, 800, 200, B, {100, 100, 900, 633}, {100, 633, 900, 1300}, true},
        {TALL, 100, 600, 400, 300, 1300, B, NONE, {100, 100, 400, 1300}, true},
        {TALL, 100, 0, 0, 300, 200, B, NONE, {100, 100, 400, 300}, false},
        {TALL, 100, 200, 300, 100, 50, B, {100, 100, 866, 1250}, {100, 1250, 200, 1300}, false},  // ratios equal
        {TALL, 700, 600, 400, 300, 200, B, NONE, NONE, true},
        {WIDE, 100, 400, 400, 300, 200, S, {100, 100, 900, 900}, {900, 100, 1200, 300}, false},
        {WIDE, 100, 400, 400, 600, 200, S, {100, 100, 700, 700}, {700, 100, 1300, 300}, false},
        {WIDE, 100, 400, 400, 300, 800, S, {100, 100, 900, 900}, {900, 100, 1300, 900}, true},
        {WIDE, 100, 400, 400, 1300, 200, S, NONE, {100, 100, 1300, 300}, true},
    };
    for (const Case& c : cases) {
        const colour::PageLayout l = colour::computePageLayout(c.page, c.margin, c.w, c.h, c.tw, c.th);
        EXPECT_TRUE(l.placement == c.placement && (l.drawPicture ? l.picture : NONE) == c.picture &&
                    (l.drawText ? l.text : NONE) == c.text && l.textClipped == c.clipped)
            << c.margin << " " << c.w << "x" << c.h << " text " << c.tw << "x" << c.th << ": text " << l.text.left
            << "," << l.text.top << "," << l.text.right << "," << l.text.bottom << " clipped " << l.textClipped;
    }
}

}  // namespace
