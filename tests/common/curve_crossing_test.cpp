#include "common/curve_crossing.h"

#include <gtest/gtest.h>

#include <array>
#include <utility>
#include <vector>

using common::curveFarPoint;
using common::FarPoint;
using common::PolygonView;
using common::rayCrossingParity;
using common::segmentsCross;

namespace {

struct Polygon {
    std::vector<double> re, im;
    PolygonView view() const { return PolygonView::fromArrays(re.data(), im.data(), re.size()); }
};

const Polygon square{{0, 2, 2, 0}, {0, 0, 2, 2}};
const FarPoint far = curveFarPoint(2, 0, 2, 0);  // the square's

}  // namespace

TEST(CurveFarPoint, ScalesTheMaximaWhenThatLeavesTheBoxElseStepsBeyondTheCorner) {
    // max re, min re, max im, min im; the far point. One positive maximum is
    // enough to leave the box; negative maxima scaled by 1.2 may still leave it
    // below its minima; else the point steps 0.2 |max| + 1 beyond the corner.
    const std::array<double, 6> cases[] = {{2, 0, 2, 0, 2.4, 2.4}, {1, -3, -1, -3, 1.2, -1.2}, {-1, -1.1, -1, -1.1, -1.2, -1.2},
                                           {-1, -3, 0, -3, -1 + 0.2 + 1.0, 0 + 0.0 + 1.0},
                                           {-0.5, -3, -2, -3, -0.5 + 0.1 + 1.0, -2 + 0.4 + 1.0}};
    for (const auto& c : cases) {
        const FarPoint f = curveFarPoint(c[0], c[1], c[2], c[3]);
        EXPECT_EQ(std::make_pair(f.re, f.im), std::make_pair(c[4], c[5])) << c[0] << " " << c[2];
    }
}

TEST(SegmentsCross, ClosedSegmentsWithACommonPointButNeverCollinearOnes) {
    EXPECT_TRUE(segmentsCross(0, 0, 2, 2, 0, 2, 2, 0));        // an X
    EXPECT_TRUE(segmentsCross(0, 0, 1, 1, 1, 1, 2, 0));        // touching at an end point
    EXPECT_TRUE(segmentsCross(2, 0, 2, 2, 1, 0.5, 2.4, 2.4));  // vertical edge, ray leaving the square
    EXPECT_FALSE(segmentsCross(0, 0, 1, 1, 2, 0, 3, 5));       // apart
    EXPECT_FALSE(segmentsCross(0, 0, 1, 0, 0.5, 0.1, 0.5, 3)); // would meet beyond an end
    EXPECT_FALSE(segmentsCross(0, 0, 2, 0, 1, 0, 3, 0));       // overlapping
    EXPECT_FALSE(segmentsCross(0, 0, 1, 0, 0, 1, 1, 1));       // parallel
}

TEST(RayCrossingParity, VerticesCountOnceWhereThePolygonCrossesAndEdgesAlongTheRayNever) {
    // A triangle below y = x whose vertex (1, 1) only touches the ray from (0.2, 0.2),
    // and a boundary step along the ray's line y = 1 from x = 2 to 3.
    const Polygon touching{{1, 2, 0.5}, {1, 0.5, 0}}, step{{-1, 2, 2, 3, 3, -1}, {0, 0, 1, 1, 2, 2}};
    const struct { const char* what; const Polygon& polygon; double x, y; FarPoint far; bool inside; } cases[] = {
        {"z at the far point", square, far.re, far.im, far, false},
        {"a far point inside answers outside at itself", square, 1, 1, FarPoint{1, 1}, false},
        {"centre: the ray leaves through the corner (2, 2)", square, 1, 1, far, true},
        {"outside: enters at (0, 0), leaves at (2, 2)", square, -1, -1, far, false},
        {"left of it, a ray across", square, -1, 1, FarPoint{2.4, 1}, false}, {"below, across", square, 1, -1, FarPoint{1, 2.4}, false},
        {"a vertex that only touches the ray", touching, 0.2, 0.2, FarPoint{2.4, 2.4}, false},
        {"inside the triangle", touching, 1.2, 0.6, FarPoint{2.4, 2.4}, true},
        {"leaves once, at x = 3", step, 0, 1, FarPoint{10, 1}, true},
        {"enters at -1, leaves at 3", step, -2, 1, FarPoint{10, 1}, false},
        {"beyond the step", step, 4, 1, FarPoint{10, 1}, false}};
    for (const auto& c : cases) EXPECT_EQ(rayCrossingParity(c.x, c.y, c.polygon.view(), c.far), c.inside) << c.what;
}

TEST(RayCrossingParity, StopRequestAndShortPolygonsAnswerOutside) {
    std::atomic<bool> stop{true};
    EXPECT_FALSE(rayCrossingParity(1, 0.5, square.view(), far, &stop));
    stop = false;
    EXPECT_TRUE(rayCrossingParity(1, 0.5, square.view(), far, &stop));
    EXPECT_FALSE(rayCrossingParity(1, 0.5, Polygon{{1}, {1}}.view(), far));
    EXPECT_FALSE(rayCrossingParity(1, 0.5, PolygonView{}, far));
}
