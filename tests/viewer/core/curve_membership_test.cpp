// Membership in Siegel disks and Herman rings as the render reads their
// curves from the block. The crossing routine itself, the far point and the
// block reader's offset checks have their own tests under tests/common.
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
        EXPECT_TRUE(view_.components.at(0).valid);
    }
    const common::CurveImageView& operator[](std::size_t i) const { return view_.components.at(0).images.at(i); }

private:
    TestBlock block_;
    common::AnalysisBlockView view_;
};

struct Probe {
    double re, im;
    bool inside;
    const char* why;
};

const Curve kSquare{{{0, 0}, {2, 0}, {2, 2}, {0, 2}}, {}, {}, {}};

TEST(CurveMembership, SquareCurveWithItsOctagonAndDisks) {
    Curve c = kSquare;
    // Octagon wider than the polygon, so the disks are reached beside it.
    c.octagon = std::array<double, 8>{4, 0, 3, -1, 7, -2, 5, -4};
    c.inner = {{2.5, 1.0, 0.25}, {0.0, 1.0, 0.25}};  // the first claims points right of the polygon
    c.outer = {{1.0, 0.75, 0.0625}};                  // claims points in the polygon's middle
    Images img(1, {c});
    const common::FarPoint far = render::imageFarPoint(img[0]);
    EXPECT_DOUBLE_EQ(far.re, 4.8);
    EXPECT_DOUBLE_EQ(far.im, 3.6);
    const Probe probes[] = {
        {1.5, 0.5, true, "polygon"},
        {3, 1, false, "outside the polygon, no disk"},
        {4.5, 1, false, "outside the octagon"},
        {2.5, 1.1, true, "inner disk"},
        {2.5, 1.5, false, "on the inner circle: polygon decides"},
        {1.0, 0.8, false, "outer disk"},
        {1.0, 1.0, true, "on the outer circle: polygon decides"},
        {0.0, 1.0, true, "on the octagon's bound min re, inner disk"},
        {-1e-12, 1.0, false, "just beyond the octagon"},
    };
    for (const Probe& p : probes) EXPECT_EQ(render::pointInCurveImage(p.re, p.im, img[0], nullptr), p.inside) << p.why;
    EXPECT_FALSE(render::rayCrossingParity(far.re, far.im, img[0], nullptr));  // the far point itself
    std::atomic<bool> stop{true};
    EXPECT_FALSE(render::pointInCurveImage(1.5, 0.5, img[0], &stop));
}

// Herman ring: inner curve A, an L shape whose notch lies inside its own
// octagon; outer curve B, an irregular quadrilateral around it.
const Curve kL{{{0.6, 0.6}, {1.4, 0.6}, {1.4, 1.0}, {1.0, 1.0}, {1.0, 1.4}, {0.6, 1.4}}, {}, {}, {}};
const Curve kOuter{{{-0.1, 0.0}, {2.1, 0.1}, {2.0, 2.05}, {0.0, 1.9}}, {}, {}, {}};

TEST(CurveMembership, RingHoldsPointsBetweenItsCurves) {
    Images img(2, {kL, kOuter});
    const Probe probes[] = {
        {0.8, 0.8, false, "inside A"},
        {0.3, 0.3, true, "outside A's octagon"},
        {1.2, 1.2, true, "in A's octagon, in the notch"},
        {2.5, 1.0, false, "outside B"},
    };
    for (const Probe& p : probes) EXPECT_EQ(render::pointInRing(p.re, p.im, img[0], img[1], nullptr), p.inside) << p.why;
}

}  // namespace
