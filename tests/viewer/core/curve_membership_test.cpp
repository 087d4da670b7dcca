// Membership in Siegel disks and Herman rings as the render reads their curves from the
// block (the crossing routine and the block reader's offset checks: tests/common).
#include "viewer/core/curve_membership.h"

#include <gtest/gtest.h>

#include "test_blocks.h"

namespace {

using render_test::Curve;
using render_test::TestBlock;

// A Siegel group (entry 0: a square with its octagon and disks) and a Herman
// group (entry 1: inner curve A, an L shape whose notch lies inside its own
// octagon; outer curve B, an irregular quadrilateral around it), read back
// through the block reader as the render reads them.
TEST(CurveMembership, SiegelCurvesWithTheirDisksAndRingsBetweenTheirCurves) {
    Curve square{{{0, 0}, {2, 0}, {2, 2}, {0, 2}}, {}, {}, {}};
    // Octagon wider than the polygon, so the disks are reached beside it.
    square.octagon = std::array<double, 8>{4, 0, 3, -1, 7, -2, 5, -4};
    square.inner = {{2.5, 1.0, 0.25}, {0.0, 1.0, 0.25}};  // the first claims points right of the polygon
    square.outer = {{1.0, 0.75, 0.0625}};                  // claims points in the polygon's middle
    const Curve l{{{0.6, 0.6}, {1.4, 0.6}, {1.4, 1.0}, {1.0, 1.0}, {1.0, 1.4}, {0.6, 1.4}}, {}, {}, {}};
    const Curve outer{{{-0.1, 0.0}, {2.1, 0.1}, {2.0, 2.05}, {0.0, 1.9}}, {}, {}, {}};
    TestBlock block('J');
    block.addCurveGroup(1, {square});
    block.addCurveGroup(2, {l, outer});
    const common::AnalysisBlockView view = block.read();
    ASSERT_TRUE(view.components.at(0).valid && view.components.at(1).valid);
    const common::CurveImageView& img = view.components[0].images.at(0);
    const common::FarPoint far = render::imageFarPoint(img);
    EXPECT_DOUBLE_EQ(far.re, 4.8);
    EXPECT_DOUBLE_EQ(far.im, 3.6);
    using Probe = std::tuple<double, double, bool, const char*>;  // point, inside, why
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
    for (const auto& [re, im, inside, why] : probes) EXPECT_EQ(render::pointInCurveImage(re, im, img, nullptr), inside) << why;
    EXPECT_FALSE(render::rayCrossingParity(far.re, far.im, img, nullptr));  // the far point itself
    std::atomic<bool> stop{true};
    EXPECT_FALSE(render::pointInCurveImage(1.5, 0.5, img, &stop));
    const Probe ringProbes[] = {
        {0.8, 0.8, false, "inside A"},
        {0.3, 0.3, true, "outside A's octagon"},
        {1.2, 1.2, true, "in A's octagon, in the notch"},
        {2.5, 1.0, false, "outside B"},
    };
    const auto& ring = view.components[1].images;
    for (const auto& [re, im, inside, why] : ringProbes)
        EXPECT_EQ(render::pointInRing(re, im, ring.at(0), ring.at(1), nullptr), inside) << why;
}

}  // namespace
