// Orbit plotting of the orbit dialog.
#include "viewer/colour/orbit_plot.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

using colour::OrbitView;

// num(z) / den(z), real coefficients, index = power.
analysis::RationalMap realMap(int form, std::vector<double> num, std::vector<double> den) {
    analysis::RationalMap map;
    map.form = form;
    map.numerator = {static_cast<int>(num.size()) - 1, num, std::vector<double>(num.size())};
    map.denominator = {static_cast<int>(den.size()) - 1, den, std::vector<double>(den.size())};
    return map;
}

TEST(OrbitMapping, TruncatesTowardsZeroAndRefusesFarOrNonFinitePoints) {
    const OrbitView view{10, 10, 0.1, 0, 0};  // one unit per pixel, centre at (5, 5)
    const double inf = std::numeric_limits<double>::infinity();
    struct Case {
        double re, im;
        int column, row;  // -1: refused
    } cases[] = {{0, 0, 5, 5},         {-5.5, 2.5, 0, 2},  {4.99, -4.99, 9, 9},      {-6, 0, -1, -1},
                 {5, 0, -1, -1},       {0, -5, -1, -1},    {1e300, 0, -1, -1},      {-1e300, 1e300, -1, -1},
                 {std::nan(""), 0, -1, -1}, {inf, 0, -1, -1}};
    for (const Case& c : cases) {
        const auto p = colour::planeToPixel(view, c.re, c.im).value_or(colour::PixelPosition{-1, -1});
        EXPECT_EQ(std::pair(p.column, p.row), std::pair(c.column, c.row)) << c.re << ", " << c.im;
    }
}

TEST(OrbitDrawing, PoleEndsTheOrbitAndLongOrbitsRunTheirCount) {
    const analysis::RationalMap reciprocal = realMap(2, {1}, {0, 1});
    colour::OrbitPicture picture(20, 20);
    const OrbitView view{20, 20, 0.05, 0, 0};
    EXPECT_EQ(colour::drawOrbit(picture, view, reciprocal, {0, 0}, 1000, 1, colour::ORBIT_PICKED,
                                colour::orbitEscapeRadiusSquared(1e-6)),
              1);
    EXPECT_EQ(picture.pixel(10, 10), colour::ORBIT_PICKED);

    // The fixed point 0 of z^2 stays: every one of the 100000 points is visited.
    EXPECT_EQ(colour::drawOrbit(picture, view, realMap(1, {0, 0, 1}, {1}), {0, 0}, colour::MAX_ORBIT_LOOP, 2,
                                colour::ORBIT_CRITICAL, colour::orbitEscapeRadiusSquared(0)),
              colour::MAX_ORBIT_LOOP);
    // 2 -> 4 -> 16 under z^2 with escape radius 4 (eps 0.25): |4|^2 = 16 is not beyond it, 256 is.
    EXPECT_EQ(colour::drawOrbit(picture, view, realMap(1, {0, 0, 1}, {1}), {2, 0}, 1000, 1, colour::ORBIT_PICKED,
                                colour::orbitEscapeRadiusSquared(0.25)),
              2);
}

TEST(OrbitDrawing, PointsAreCrossesOfTheirSizeDrawnOnce) {
    colour::OrbitPicture picture(6, 5);
    EXPECT_TRUE(picture.plot(1, 1, 3, colour::ORBIT_PICKED));
    EXPECT_FALSE(picture.plot(1, 2, 2, colour::ORBIT_CRITICAL)) << "already marked";
    EXPECT_FALSE(picture.plot(6, 0, 1, colour::ORBIT_CRITICAL)) << "outside";
    const char* want[] = {".x....", "xxxx..", ".x....", ".x....", "......"};
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

}  // namespace
