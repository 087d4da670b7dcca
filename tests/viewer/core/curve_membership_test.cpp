#include "viewer/core/curve_membership.h"

#include <gtest/gtest.h>

#include "test_blocks.h"

namespace {

using render_test::Curve;
using render_test::TestBlock;

// The images of one Siegel group (kind 1) or Herman group (kind 2), read
// back through the block reader as the render reads them.
class Images {
public:
    Images(int kind, const std::vector<Curve>& curves) : block_('J') {
        block_.addCurveGroup(kind, curves);
        view_ = block_.read();
    }
    const common::CurveImageView& operator[](std::size_t i) const { return view_.components.at(0).images.at(i); }
    bool valid() const { return view_.components.at(0).valid; }

private:
    TestBlock block_;
    common::AnalysisBlockView view_;
};

const Curve kSquare{{{0, 0}, {2, 0}, {2, 2}, {0, 2}}, {}, {}, {}};

TEST(CurveMembership, SquareCurveInsideAndOutside) {
    Images img(1, {kSquare});
    ASSERT_TRUE(img.valid());
    const common::FarPoint far = render::imageFarPoint(img[0]);
    EXPECT_DOUBLE_EQ(far.re, 2.4);
    EXPECT_DOUBLE_EQ(far.im, 2.4);
    EXPECT_TRUE(render::pointInCurveImage(1, 0.5, img[0], nullptr));
    EXPECT_TRUE(render::rayCrossingParity(1, 0.5, img[0], nullptr));
    EXPECT_FALSE(render::pointInCurveImage(3, 1, img[0], nullptr));  // outside the octagon
    // A point exactly on the far point is outside.
    EXPECT_FALSE(render::rayCrossingParity(far.re, far.im, img[0], nullptr));
}

TEST(CurveMembership, StopRequestAnswersOutside) {
    Images img(1, {kSquare});
    std::atomic<bool> stop{true};
    EXPECT_FALSE(render::pointInCurveImage(1, 0.5, img[0], &stop));
}

TEST(CurveMembership, DisksDecideOnlyStrictlyInside) {
    // Octagon wider than the polygon, so the disks are reached beside it.
    Curve c = kSquare;
    c.octagon = std::array<double, 8>{4, -1, 3, -1, 7, -2, 5, -4};
    c.inner = {{2.5, 1.0, 0.25}};   // claims points right of the polygon
    c.outer = {{1.0, 0.75, 0.0625}}; // claims points in the polygon's middle
    Images img(1, {c});
    EXPECT_TRUE(render::pointInCurveImage(2.5, 1.1, img[0], nullptr));   // inner disk wins
    EXPECT_FALSE(render::pointInCurveImage(2.5, 1.5, img[0], nullptr));  // on the circle: polygon decides
    EXPECT_FALSE(render::pointInCurveImage(1.0, 0.8, img[0], nullptr));  // outer disk wins
    EXPECT_TRUE(render::pointInCurveImage(1.0, 1.0, img[0], nullptr));   // on the circle: polygon decides
}

TEST(CurveMembership, OctagonBoundsAreInclusive) {
    Curve c = kSquare;
    c.inner = {{0.0, 1.0, 0.25}};
    Images img(1, {c});
    // (0, 1) lies on the bound min re = 0; the inner disk then decides.
    EXPECT_TRUE(render::pointInCurveImage(0.0, 1.0, img[0], nullptr));
    EXPECT_FALSE(render::pointInCurveImage(-1e-12, 1.0, img[0], nullptr));
}

TEST(CurveMembership, ShortPolygonsContainNothing) {
    Curve one{{{1, 1}}, {}, {}, std::array<double, 8>{2, 0, 2, 0, 4, 0, 2, -2}};
    Curve none{{}, {}, {}, std::array<double, 8>{2, 0, 2, 0, 4, 0, 2, -2}};
    Images img(1, {one, none});
    ASSERT_TRUE(img.valid());
    EXPECT_FALSE(render::pointInCurveImage(1, 1, img[0], nullptr));
    EXPECT_FALSE(render::pointInCurveImage(1, 0.5, img[1], nullptr));
}

TEST(CurveMembership, SegmentsCrossAtEndsButNotWhenCollinear) {
    EXPECT_FALSE(render::segmentsCross(0, 0, 2, 0, 1, 0, 3, 0));  // overlapping, collinear
    EXPECT_TRUE(render::segmentsCross(0, 0, 2, 0, 2, 0, 2, 5));   // touching at an end
    EXPECT_TRUE(render::segmentsCross(0, 0, 2, 2, 0, 2, 2, 0));
    EXPECT_FALSE(render::segmentsCross(0, 0, 1, 1, 2, 0, 3, -1));
}

// Herman ring: inner curve A, an L shape whose notch lies inside its own
// octagon; outer curve B, an irregular quadrilateral around it.
const Curve kL{{{0.6, 0.6}, {1.4, 0.6}, {1.4, 1.0}, {1.0, 1.0}, {1.0, 1.4}, {0.6, 1.4}}, {}, {}, {}};
const Curve kOuter{{{-0.1, 0.0}, {2.1, 0.1}, {2.0, 2.05}, {0.0, 1.9}}, {}, {}, {}};

TEST(CurveMembership, RingHoldsPointsBetweenItsCurves) {
    Images img(2, {kL, kOuter});
    ASSERT_TRUE(img.valid());
    EXPECT_FALSE(render::pointInRing(0.8, 0.8, img[0], img[1], nullptr));  // inside A
    EXPECT_TRUE(render::pointInRing(0.3, 0.3, img[0], img[1], nullptr));   // outside A's octagon
    // In A's octagon, in the notch: outside A, inside B.
    EXPECT_TRUE(render::pointInRing(1.2, 1.2, img[0], img[1], nullptr));
    EXPECT_FALSE(render::pointInRing(2.5, 1.0, img[0], img[1], nullptr));  // outside B
}

TEST(CurveMembership, RingDisksShortCutTheCount) {
    Curve a = kL;
    a.inner = {{0.8, 0.8, 0.01}};
    a.outer = {{1.25, 1.25, 0.01}};
    Curve b = kOuter;
    // Claims a point outside B's polygon but inside its octagon as inside B.
    b.octagon = std::array<double, 8>{3, -1, 3, -1, 6, -2, 4, -4};
    b.inner = {{2.5, 1.0, 0.04}};
    b.outer = {{0.2, 1.7, 0.0001}};
    Images img(2, {a, b});
    EXPECT_TRUE(render::pointInRing(2.5, 1.05, img[0], img[1], nullptr));   // B's inner disk
    EXPECT_FALSE(render::pointInRing(0.2, 1.7, img[0], img[1], nullptr));   // B's outer disk
    EXPECT_FALSE(render::pointInRing(0.8, 0.85, img[0], img[1], nullptr));  // A's inner disk
    EXPECT_TRUE(render::pointInRing(1.25, 1.3, img[0], img[1], nullptr));   // A's outer disk, then B
}

TEST(CurveMembership, CurveDataOutsideTheBlockMakeTheEntryInvalid) {
    TestBlock b('J');
    b.addCurveGroup(1, {kSquare});
    // Point the polyline past the end of the block.
    auto& h = b.header();
    const int group = h.components[0].dataOffset;
    std::int32_t far = 1 << 28;
    std::memcpy(reinterpret_cast<std::uint8_t*>(&h) + group + 8 + 84, &far, 4);
    const common::AnalysisBlockView v = b.read();
    EXPECT_FALSE(v.components.at(0).valid);
}

}  // namespace
