#include "analysis/rotation_domains.h"

#include "test_maps.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using namespace analysis;
using testmaps::cd;

namespace {

// An axis-parallel square curve (no disks) with the given code.
ClosedCurve squareCurve(double x0, double y0, double side, int inOut) {
    ClosedCurve c;
    c.re = {x0, x0 + side, x0 + side, x0};
    c.im = {y0, y0, y0 + side, y0 + side};
    c.octagon = polylineOctagon(c.re, c.im);
    c.inOut = inOut;
    return c;
}

CurveSetEntry entryOf(int criticalPoint, std::vector<ClosedCurve> curves) {
    CurveSetEntry e;
    e.criticalPointIndex = criticalPoint;
    e.curves = std::move(curves);
    return e;
}

ClosedCurve circleCurve(cd centre, double r, int points) {
    std::vector<double> re, im;
    for (int k = 0; k < points; ++k) {
        cd z = centre + std::polar(r, 2.0 * M_PI * k / points);
        re.push_back(z.real());
        im.push_back(z.imag());
    }
    return makeClosedCurve(re, im, 1e-6);
}

// z -> e^(2 pi i golden) z: every circle around 0 is invariant.
RationalMap goldenRotation() {
    return testmaps::polynomialMap({0.0, std::polar(1.0, 2.0 * M_PI * testmaps::goldenMean())});
}

}  // namespace

TEST(PairRotationDomains, OutCurveAloneIsASiegelDisk) {
    CurveSet set;
    set.entries.push_back(entryOf(0, {squareCurve(0, 0, 1, CURVE_NONE), squareCurve(0, 0, 4, CURVE_OUT)}));
    RotationDomains d = pairRotationDomains(set);
    ASSERT_EQ(d.siegelDisks.size(), 1u);
    EXPECT_EQ(d.siegelDisks[0].period, 0);
    EXPECT_EQ(d.siegelDisks[0].entry, 0);
    EXPECT_EQ(d.siegelDisks[0].curve, 1);
    EXPECT_TRUE(d.hermanRings.empty());
}

TEST(PairRotationDomains, InCurveWithinAnOutCurveMakesAHermanRing) {
    CurveSet set;
    set.entries.push_back(entryOf(0, {squareCurve(-4, -4, 8, CURVE_OUT)}));
    set.entries.push_back(entryOf(2, {squareCurve(10, 10, 1, CURVE_IN), squareCurve(-1, -1, 2, CURVE_IN)}));
    RotationDomains d = pairRotationDomains(set);
    EXPECT_TRUE(d.siegelDisks.empty());
    ASSERT_EQ(d.hermanRings.size(), 1u);
    const HermanRing& h = d.hermanRings[0];
    EXPECT_EQ(h.period, 0);
    EXPECT_EQ(h.innerEntry, 1);
    EXPECT_EQ(h.innerCurve, 1);  // the first "In" curve lies outside
    EXPECT_EQ(h.outerEntry, 0);
    EXPECT_EQ(h.outerCurve, 0);
}

TEST(PairRotationDomains, InAndOutCurvesTakePartInNoDomain) {
    // Two nested curves around a Siegel-disk-like region: the outer one
    // "Out" only, the inner one "In & Out".
    CurveSet set;
    set.entries.push_back(entryOf(0, {squareCurve(-2, -2, 4, CURVE_OUT), squareCurve(-1, -1, 2, CURVE_IN_AND_OUT)}));
    RotationDomains d = pairRotationDomains(set);
    ASSERT_EQ(d.siegelDisks.size(), 1u);
    EXPECT_EQ(d.siegelDisks[0].curve, 0);
    EXPECT_TRUE(d.hermanRings.empty());
}

TEST(PairRotationDomains, LaterInCurveReplacesTheChoiceUnlessContainedInIt) {
    // Side by side: the second replaces the first.
    CurveSet side;
    side.entries.push_back(entryOf(0, {squareCurve(-5, -5, 10, CURVE_OUT), squareCurve(-4, -1, 2, CURVE_IN),
                                       squareCurve(2, -1, 2, CURVE_IN)}));
    RotationDomains a = pairRotationDomains(side);
    ASSERT_EQ(a.hermanRings.size(), 1u);
    EXPECT_EQ(a.hermanRings[0].innerCurve, 2);
    // Nested: the chosen curve contains the later one and stays chosen.
    CurveSet nested;
    nested.entries.push_back(entryOf(0, {squareCurve(-5, -5, 10, CURVE_OUT), squareCurve(-3, -3, 6, CURVE_IN),
                                         squareCurve(-1, -1, 2, CURVE_IN)}));
    RotationDomains b = pairRotationDomains(nested);
    ASSERT_EQ(b.hermanRings.size(), 1u);
    EXPECT_EQ(b.hermanRings[0].innerCurve, 1);
}

TEST(GroupRotationDomains, GroupsByEntryAndByPairOfEntries) {
    RotationDomains d;
    d.siegelDisks = {{0, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    d.hermanRings = {{0, 2, 0, 3, 0}, {0, 4, 0, 3, 1}, {0, 3, 1, 2, 1}};
    const std::vector<RotationDomainGroup> g = groupRotationDomains(d);
    ASSERT_EQ(g.size(), 4u);
    EXPECT_EQ(g[0].kind, common::ComponentKind::SiegelDisk);
    EXPECT_EQ(g[0].members, (std::vector<int>{0, 2}));
    EXPECT_EQ(g[1].members, (std::vector<int>{1}));
    EXPECT_EQ(g[2].kind, common::ComponentKind::HermanRing);
    EXPECT_EQ(g[2].members, (std::vector<int>{0, 2}));  // entries {2, 3} in either order
    EXPECT_EQ(g[3].members, (std::vector<int>{1}));
}

TEST(ClassifyCurveSides, RotationReturnsOnBothSides) {
    CurveSet set;
    set.entries.push_back(entryOf(0, {circleCurve(0.0, 1.0, 300)}));
    ASSERT_TRUE(classifyCurveSides(set, goldenRotation(), AnalysisSettings{}));
    EXPECT_EQ(set.entries[0].curves[0].inOut, CURVE_IN_AND_OUT);
    EXPECT_TRUE(pairRotationDomains(set).siegelDisks.empty());
}

TEST(ClassifyCurveSides, AttractedAndEscapingSidesDoNotReturn) {
    // z^2 on its Julia set, the unit circle: inside goes to 0, outside escapes.
    CurveSet set;
    set.entries.push_back(entryOf(0, {circleCurve(0.0, 1.0, 300)}));
    ASSERT_TRUE(classifyCurveSides(set, testmaps::polynomialMap({0.0, 0.0, 1.0}), AnalysisSettings{}));
    EXPECT_EQ(set.entries[0].curves[0].inOut, CURVE_NONE);
}

TEST(ClassifyCurveSides, ShortCurvesAreClassifiedOrLeftNone) {
    CurveSet set;
    set.entries.push_back(entryOf(0, {circleCurve(0.0, 1.0, 3), circleCurve(0.0, 1.0, 10)}));
    ASSERT_TRUE(classifyCurveSides(set, goldenRotation(), AnalysisSettings{}));
    EXPECT_EQ(set.entries[0].curves[0].inOut, CURVE_NONE);  // 3 points: never probed
    EXPECT_EQ(set.entries[0].curves[1].inOut, CURVE_IN_AND_OUT);
}

TEST(ClassifyCurveSides, StopRequestLeavesCurvesUnclassified) {
    CurveSet set;
    set.entries.push_back(entryOf(0, {circleCurve(0.0, 1.0, 300)}));
    std::atomic<bool> stop{true};
    EXPECT_FALSE(classifyCurveSides(set, goldenRotation(), AnalysisSettings{}, &stop));
    EXPECT_EQ(set.entries[0].curves[0].inOut, CURVE_NONE);
}
