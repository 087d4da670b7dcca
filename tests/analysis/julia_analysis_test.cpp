#include "analysis/julia_analysis.h"

#include "test_maps.h"

using namespace analysis;
using testmaps::cd;

namespace {

const ClosedCurve& curveOf(const JuliaAnalysis& a, int entry, int curve) {
    return a.orbits.curves.entries.at(entry).curves.at(curve);
}

cd point(const CriticalPointList& l, int i) { return {l.re[i], l.im[i]}; }

}  // namespace

TEST(JuliaAnalysis, GoldenMeanQuadraticHasASiegelDiskAroundItsFixedPoint) {
    const RationalMap map = testmaps::polynomialMap({testmaps::siegelParameter(), 0.0, 1.0});
    const cd centre = std::polar(1.0, 2.0 * M_PI * testmaps::goldenMean()) / 2.0;
    int notices = 0;
    const JuliaAnalysis a = analyseJulia(map, AnalysisSettings{.siegelFlag = 1}, nullptr, [&] { ++notices; });
    ASSERT_EQ(a.criticalPoints.count, 1);
    EXPECT_EQ(a.fixedPoints.count, 2);
    // The indifferent fixed point is not confirmed: its neighbours rotate.
    EXPECT_EQ(a.orbits.algebraicCycleCount, 0);
    EXPECT_EQ(a.orbits.criticalOrbits[0].fate, OrbitFate::ClosedCurves);
    EXPECT_EQ(notices, 1);
    ASSERT_EQ(a.domains.siegelDisks.size(), 1u);
    EXPECT_TRUE(a.domains.hermanRings.empty());
    const ClosedCurve& boundary = curveOf(a, a.domains.siegelDisks[0].entry, a.domains.siegelDisks[0].curve);
    EXPECT_EQ(boundary.inOut, CURVE_OUT);
    EXPECT_EQ(pointInCurve(centre.real(), centre.imag(), boundary), 1);
    EXPECT_EQ(pointInCurve(2.0, 0.0, boundary), 0);
    EXPECT_LT(distanceToCurve(0.0, 0.0, boundary.re, boundary.im), 0.05);  // the critical point is on it
}

TEST(JuliaAnalysis, BlaschkeCubicWithGoldenRotationHasAHermanRing) {
    const JuliaAnalysis a = analyseJulia(testmaps::hermanBlaschke(), AnalysisSettings{.siegelFlag = 1});
    ASSERT_EQ(a.domains.hermanRings.size(), 1u);
    EXPECT_TRUE(a.domains.siegelDisks.empty());
    const HermanRing& h = a.domains.hermanRings[0];
    const ClosedCurve& inner = curveOf(a, h.innerEntry, h.innerCurve);
    const ClosedCurve& outer = curveOf(a, h.outerEntry, h.outerCurve);
    EXPECT_EQ(inner.inOut, CURVE_IN);
    EXPECT_EQ(outer.inOut, CURVE_OUT);
    // The invariant unit circle lies in the ring; 0 and the far outside do not.
    for (int k = 0; k < 16; ++k) {
        const cd z = std::polar(1.0, 2.0 * M_PI * k / 16);
        EXPECT_EQ(pointInCurve(z.real(), z.imag(), outer), 1) << k;
        EXPECT_EQ(pointInCurve(z.real(), z.imag(), inner), 0) << k;
    }
    EXPECT_EQ(pointInCurve(0.0, 0.0, inner), 1);
    EXPECT_EQ(pointInCurve(5.0, 0.0, outer), 0);
    // The boundaries carry the free critical points (19 +- sqrt 105)/16; the
    // critical point 0 is the superattracting fixed point.
    const auto& entries = a.orbits.curves.entries;
    EXPECT_NEAR(std::abs(point(a.criticalPoints, entries[h.outerEntry].criticalPointIndex)), (19.0 + std::sqrt(105.0)) / 16.0, 1e-9);
    EXPECT_NEAR(std::abs(point(a.criticalPoints, entries[h.innerEntry].criticalPointIndex)), (19.0 - std::sqrt(105.0)) / 16.0, 1e-9);
    ASSERT_GE(a.orbits.algebraicCycleCount, 1);
    EXPECT_EQ(a.orbits.cycles.cycles[0].kind, PointKind::SuperAttracting);
    EXPECT_LT(std::abs(cd(a.orbits.cycles.cycles[0].re[0], a.orbits.cycles.cycles[0].im[0])), 1e-12);
}

TEST(JuliaAnalysis, StopRequestKeepsCriticalAndFixedPointsAndEndsTheCurveAnalysis) {
    std::atomic<bool> stop{true};
    const JuliaAnalysis a = analyseJulia(testmaps::polynomialMap({-1.0, 0.0, 1.0}), AnalysisSettings{.siegelFlag = 1}, &stop);
    EXPECT_TRUE(a.stopped);
    EXPECT_EQ(a.orbits.cycles.count(), 0);
    EXPECT_EQ(a.criticalPoints.count, 1);
    EXPECT_EQ(a.fixedPoints.count, 2);
    // Raised while the curves of the first critical point are chained:
    // nothing is recorded for them and the side classification is skipped.
    stop = false;
    const RationalMap siegel = testmaps::polynomialMap({testmaps::siegelParameter(), 0.0, 1.0});
    const OrbitAnalysis b = followCriticalOrbits(siegel, findCriticalPoints(siegel), AnalysisSettings{.siegelFlag = 1}, CycleList{2, {}},
                                                 &stop, [&] { stop = true; });
    EXPECT_TRUE(b.stopped);
    EXPECT_TRUE(b.curves.entries.empty());
    EXPECT_FALSE(b.curvesClassified);
}
