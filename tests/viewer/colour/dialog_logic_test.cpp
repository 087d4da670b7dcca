// The pure parts of the dialogs: number fields, orbit plotting, the texts of a picture (formula and components
// dialogs, printed text) and the printed page's layout.
#include "viewer/colour/colour_fields.h"
#include "viewer/colour/info_text.h"
#include "viewer/colour/orbit_plot.h"
#include "viewer/colour/print_layout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>

namespace {

common::ComponentColour recordWithRange(int low, int high) {
    common::ComponentColour record{};
    record.lowCount = low;
    record.highCount = high;
    return record;
}

TEST(ColourFields, ValuesAreClampedAndTheFieldRewritten) {
    const auto record = recordWithRange(0, 500);
    const auto flat = recordWithRange(7, 7);  // pixels sharing one count: the range is 1..1
    const auto cycle = [&](const std::string& t) { return colour::cycleFieldValue(t, record); };
    const auto flatCycle = [&](const std::string& t) { return colour::cycleFieldValue(t, flat); };
    // Text typed, the value stored and, when the field is rewritten, its new text.
    const struct {
        std::function<std::optional<colour::FieldValue>(const std::string&)> parse;
        const char* typed;
        int value;
        const char* rewritten;  // "": the field keeps what was typed
    } cases[] = {{cycle, "0", 1, "1"},          {cycle, "600", 500, "500"},         {cycle, "250", 250, ""},
                 {cycle, "99999999999999999999", 500, "500"}, {flatCycle, "3", 1, "1"},
                 {colour::distortionFieldValue, "17", 16, "16"}, {colour::distortionFieldValue, "-20", -16, "-16"},
                 {colour::distortionFieldValue, "-3", -3, ""}, {colour::colourFieldValue, "300", 255, "255"},
                 {colour::colourFieldValue, "-5", 0, "0"},     {colour::colourFieldValue, "255", 255, ""}};
    for (const auto& c : cases) {
        const auto v = c.parse(c.typed);
        ASSERT_TRUE(v) << c.typed;
        EXPECT_EQ(std::tuple(v->value, v->rewrite ? v->text : ""), std::tuple(c.value, std::string(c.rewritten)))
            << c.typed;
    }
    // An empty field or a lone sign keeps the value.
    EXPECT_FALSE(colour::cycleFieldValue("", record) || colour::distortionFieldValue("-"));
    EXPECT_EQ(colour::cycleRangeTop(recordWithRange(100, 1100)), 1000);
}

// num(z) / den(z), real coefficients, index = power.
analysis::RationalMap realMap(int form, std::vector<double> num, std::vector<double> den) {
    analysis::RationalMap map;
    map.form = form;
    map.numerator = {static_cast<int>(num.size()) - 1, num, std::vector<double>(num.size())};
    map.denominator = {static_cast<int>(den.size()) - 1, den, std::vector<double>(den.size())};
    return map;
}

TEST(OrbitMapping, TruncatesTowardsZeroAndRefusesFarOrNonFinitePoints) {
    const colour::OrbitView view{10, 10, 0.1, 0, 0};  // one unit per pixel, centre at (5, 5)
    const double inf = std::numeric_limits<double>::infinity();
    struct Case {
        double re, im;
        int column, row;  // -1: refused
    } cases[] = {{0, 0, 5, 5},         {-5.5, 2.5, 0, 2},  {4.99, -4.99, 9, 9},      {-6, 0, -1, -1},
                 {5, 0, -1, -1},       {0, -5, -1, -1}, {0, 6, -1, -1},    {1e300, 0, -1, -1},      {-1e300, 1e300, -1, -1},
                 {std::nan(""), 0, -1, -1}, {inf, 0, -1, -1}};
    for (const Case& c : cases) {
        const auto p = colour::planeToPixel(view, c.re, c.im).value_or(colour::PixelPosition{-1, -1});
        EXPECT_EQ(std::pair(p.column, p.row), std::pair(c.column, c.row)) << c.re << ", " << c.im;
    }
}

TEST(OrbitDrawing, PoleEndsTheOrbitAndLongOrbitsRunTheirCount) {
    const analysis::RationalMap reciprocal = realMap(2, {1}, {0, 1});
    colour::OrbitPicture picture(20, 20);
    const colour::OrbitView view{20, 20, 0.05, 0, 0};
    EXPECT_EQ(colour::drawOrbit(picture, view, reciprocal, {0, 0}, 1000, 1, colour::ORBIT_PICKED,
                                colour::orbitEscapeRadiusSquared(1e-6)),
              1);
    EXPECT_EQ(picture.pixel(10, 10), colour::ORBIT_PICKED);

    // The fixed point 0 of z^2 stays: every one of the 100000 points is visited.
    EXPECT_EQ(colour::drawOrbit(picture, view, realMap(1, {0, 0, 1}, {1}), {0, 0}, colour::MAX_ORBIT_LOOP, 2,
                                colour::ORBIT_CRITICAL, colour::orbitEscapeRadiusSquared(0)),
              colour::MAX_ORBIT_LOOP);
    // 2i -> 4i -> 8i under 2z with escape radius 4 (eps 0.25): |4i|^2 = 16 is not beyond it, 64 is.
    EXPECT_EQ(colour::drawOrbit(picture, view, realMap(1, {0, 2}, {1}), {0, 2}, 1000, 1, colour::ORBIT_PICKED,
                                colour::orbitEscapeRadiusSquared(0.25)),
              2);
}

TEST(OrbitDrawing, PointsAreCrossesOfTheirSizeDrawnOnce) {
    colour::OrbitPicture picture(6, 5);
    EXPECT_TRUE(picture.plot(1, 1, 3, colour::ORBIT_PICKED));
    EXPECT_TRUE(picture.plot(5, 3, 2, colour::ORBIT_PICKED)) << "at the edge the cross is cut, not wrapped";
    EXPECT_FALSE(picture.plot(1, 2, 2, colour::ORBIT_CRITICAL)) << "already marked";
    for (auto [column, row] : {std::pair{6, 0}, {0, 5}, {-1, 0}, {0, -1}})
        EXPECT_FALSE(picture.plot(column, row, 1, colour::ORBIT_CRITICAL)) << "outside: " << column << ", " << row;
    const char* want[] = {".x....", "xxxx..", ".x...x", ".x..xx", ".....x"};
    for (int row = 0; row < 5; ++row)
        for (int column = 0; column < 6; ++column)
            EXPECT_EQ(picture.pixel(column, row), want[row][column] == 'x' ? colour::ORBIT_PICKED : colour::ORBIT_BLACK)
                << column << ", " << row;
}

TEST(OrbitLoopCount, TenTimesThePicturesHeldToOneToTheMaximum) {
    const std::tuple<int, std::int64_t, std::string> opening[] = {
        {0, 1, "1"}, {5, 50, "50"}, {10000, 100000, "100000"}, {10001, 100000, "MAX_LOOP"}};
    for (const auto& [pictureLoop, count, text] : opening) {
        const colour::InitialOrbitLoop loop = colour::initialOrbitLoop(pictureLoop);
        EXPECT_EQ(std::tuple(loop.loopCount, loop.fieldText), std::tuple(count, text)) << pictureLoop;
    }
    const std::pair<const char*, std::int64_t> typed[] = {{"0", 1}, {"1", 1}, {"100000", 100000}, {"100001", 100000}};
    for (const auto& [text, count] : typed) EXPECT_EQ(colour::orbitLoopFromText(text), count) << text;
    EXPECT_EQ(colour::orbitLoopFromText(""), std::nullopt);
}

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
