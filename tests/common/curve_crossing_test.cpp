#include "common/curve_crossing.h"

#include <gtest/gtest.h>

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

}  // namespace

TEST(CurveFarPoint, ScalesTheMaximaWhenThatLeavesTheBox) {
    FarPoint f = curveFarPoint(2, 0, 2, 0);
    EXPECT_EQ(f.re, 2.4);
    EXPECT_EQ(f.im, 2.4);
    // One positive maximum is enough to leave the box.
    f = curveFarPoint(1, -3, -1, -3);
    EXPECT_EQ(f.re, 1.2);
    EXPECT_EQ(f.im, -1.2);
    // Negative maxima scaled by 1.2 may still leave the box below its minima.
    f = curveFarPoint(-1, -1.1, -1, -1.1);
    EXPECT_EQ(f.re, 1.2 * -1.0);
    EXPECT_EQ(f.im, 1.2 * -1.0);
}

TEST(SegmentsCross, ClosedSegmentsWithACommonPoint) {
    EXPECT_TRUE(segmentsCross(0, 0, 2, 2, 0, 2, 2, 0));      // an X
    EXPECT_TRUE(segmentsCross(0, 0, 1, 1, 1, 1, 2, 0));      // touching at an end point
    EXPECT_TRUE(segmentsCross(2, 0, 2, 2, 1, 0.5, 2.4, 2.4));  // vertical edge, ray leaving the square
    EXPECT_FALSE(segmentsCross(0, 0, 1, 1, 2, 0, 3, 5));     // apart
    EXPECT_FALSE(segmentsCross(0, 0, 1, 0, 0.5, 0.1, 0.5, 3));  // would meet beyond an end
}

TEST(SegmentsCross, CollinearSegmentsNeverCross) {
    EXPECT_FALSE(segmentsCross(0, 0, 2, 0, 1, 0, 3, 0));  // overlapping
    EXPECT_FALSE(segmentsCross(0, 0, 2, 2, 1, 1, 3, 3));
    EXPECT_FALSE(segmentsCross(0, 0, 1, 0, 0, 1, 1, 1));  // parallel
}

TEST(RayCrossingParity, PointAtTheFarPointIsOutside) {
    const FarPoint far = curveFarPoint(2, 0, 2, 0);
    EXPECT_FALSE(rayCrossingParity(far.re, far.im, square.view(), far));
    // A far point inside a polygon would make every answer meaningless; the
    // engine never chooses one, and z == F is answered "outside" regardless.
    const FarPoint inside{1, 1};
    EXPECT_FALSE(rayCrossingParity(1, 1, square.view(), inside));
}

TEST(RayCrossingParity, RayThroughAVertexCountsOnceWhereThePolygonCrosses) {
    const FarPoint far = curveFarPoint(2, 0, 2, 0);
    // From the centre the ray leaves through the corner (2, 2).
    EXPECT_TRUE(rayCrossingParity(1, 1, square.view(), far));
    EXPECT_TRUE(rayCrossingParity(0.5, 0.5, square.view(), far));
    // From outside it enters at (0, 0) and leaves at (2, 2).
    EXPECT_FALSE(rayCrossingParity(-1, -1, square.view(), far));
    // A vertex that only touches the ray: the triangle lies below y = x.
    const Polygon touching{{1, 2, 0.5}, {1, 0.5, 0}};
    EXPECT_FALSE(rayCrossingParity(0.2, 0.2, touching.view(), FarPoint{2.4, 2.4}));
    // From inside the same triangle the ray leaves through one edge.
    EXPECT_TRUE(rayCrossingParity(1.2, 0.6, touching.view(), FarPoint{2.4, 2.4}));
}

TEST(RayCrossingParity, EdgesAlongTheRayDoNotCount) {
    // A step in the boundary runs along the ray's line y = 1 from x = 2 to 3.
    const Polygon step{{-1, 2, 2, 3, 3, -1}, {0, 0, 1, 1, 2, 2}};
    const FarPoint right{10, 1};
    EXPECT_TRUE(rayCrossingParity(0, 1, step.view(), right));    // leaves once, at x = 3
    EXPECT_FALSE(rayCrossingParity(-2, 1, step.view(), right));  // enters at -1, leaves at 3
    EXPECT_FALSE(rayCrossingParity(4, 1, step.view(), right));
}

TEST(RayCrossingParity, StopRequestAndShortPolygonsAnswerOutside) {
    const FarPoint far = curveFarPoint(2, 0, 2, 0);
    std::atomic<bool> stop{true};
    EXPECT_FALSE(rayCrossingParity(1, 0.5, square.view(), far, &stop));
    stop = false;
    EXPECT_TRUE(rayCrossingParity(1, 0.5, square.view(), far, &stop));
    const Polygon one{{1}, {1}};
    EXPECT_FALSE(rayCrossingParity(1, 0.5, one.view(), far));
    EXPECT_FALSE(rayCrossingParity(1, 0.5, PolygonView{}, far));
}
