#include "analysis/julia_analysis.h"

#include "test_maps.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace analysis;
using testmaps::cd;

namespace {

AnalysisSettings withCurves() {
    AnalysisSettings s;
    s.siegelFlag = 1;
    return s;
}

const ClosedCurve& curveOf(const JuliaAnalysis& a, int entry, int curve) {
    return a.orbits.curves.entries.at(entry).curves.at(curve);
}

}  // namespace

TEST(JuliaAnalysis, GoldenMeanQuadraticHasASiegelDiskAroundItsFixedPoint) {
    const cd c = testmaps::siegelParameter(testmaps::goldenMean());
    const cd centre = std::polar(1.0, 2.0 * M_PI * testmaps::goldenMean()) / 2.0;  // multiplier lambda
    int notices = 0;
    const JuliaAnalysis a = analyseJulia(testmaps::polynomialMap({c, 0.0, 1.0}), withCurves(), nullptr,
                                         [&] { ++notices; });
    ASSERT_EQ(a.criticalPoints.count, 1);
    EXPECT_FALSE(a.stopped);
    // The indifferent fixed point is not confirmed by the orbit test: its
    // neighbours rotate instead of converging.
    EXPECT_EQ(a.orbits.algebraicCycleCount, 0);
    EXPECT_EQ(a.orbits.criticalOrbits[0].fate, OrbitFate::ClosedCurves);
    EXPECT_EQ(notices, 1);
    ASSERT_EQ(a.domains.siegelDisks.size(), 1u);
    EXPECT_TRUE(a.domains.hermanRings.empty());
    const SiegelDisk& d = a.domains.siegelDisks[0];
    const ClosedCurve& boundary = curveOf(a, d.entry, d.curve);
    EXPECT_EQ(boundary.inOut, CURVE_OUT);
    EXPECT_EQ(pointInCurve(centre.real(), centre.imag(), boundary), 1);
    EXPECT_EQ(pointInCurve(2.0, 0.0, boundary), 0);
    // The critical point lies on the disk's boundary.
    EXPECT_LT(distanceToCurve(0.0, 0.0, boundary.re, boundary.im), 0.05);
    EXPECT_EQ(a.fixedPoints.count, 2);
}

TEST(JuliaAnalysis, GoldenMeanQuadraticWithoutCurveAnalysisLeavesTheOrbitOpen) {
    const cd c = testmaps::siegelParameter(testmaps::goldenMean());
    const RationalMap map = testmaps::polynomialMap({c, 0.0, 1.0});
    int notices = 0;
    PeriodicSearchOptions o;
    o.maxPeriod = 2;
    const OrbitAnalysis a = followCriticalOrbits(map, findCriticalPoints(map), AnalysisSettings{},
                                                 findPeriodicPoints(map, o), nullptr, [&] { ++notices; });
    EXPECT_EQ(a.criticalOrbits[0].fate, OrbitFate::Undetermined);
    EXPECT_TRUE(a.curves.entries.empty());
    EXPECT_EQ(notices, 0);
}

TEST(JuliaAnalysis, BlaschkeCubicWithGoldenRotationHasAHermanRing) {
    // The input really rotates the unit circle by the golden mean.
    ASSERT_NEAR(testmaps::hermanRotationNumber(20000), testmaps::goldenMean(), 1e-3);
    const JuliaAnalysis a = analyseJulia(testmaps::hermanBlaschke(), withCurves());
    EXPECT_FALSE(a.stopped);
    ASSERT_EQ(a.domains.hermanRings.size(), 1u);
    EXPECT_TRUE(a.domains.siegelDisks.empty());
    const HermanRing& h = a.domains.hermanRings[0];
    const ClosedCurve& inner = curveOf(a, h.innerEntry, h.innerCurve);
    const ClosedCurve& outer = curveOf(a, h.outerEntry, h.outerCurve);
    EXPECT_EQ(inner.inOut, CURVE_IN);
    EXPECT_EQ(outer.inOut, CURVE_OUT);
    EXPECT_TRUE(outer.octagon.containsOctagon(inner.octagon));
    // The invariant unit circle lies in the ring; 0 (superattracting) and
    // the far outside do not.
    for (int k = 0; k < 16; ++k) {
        const cd z = std::polar(1.0, 2.0 * M_PI * k / 16);
        EXPECT_EQ(pointInCurve(z.real(), z.imag(), outer), 1) << k;
        EXPECT_EQ(pointInCurve(z.real(), z.imag(), inner), 0) << k;
    }
    EXPECT_EQ(pointInCurve(0.0, 0.0, inner), 1);
    EXPECT_EQ(pointInCurve(5.0, 0.0, outer), 0);
    // The curves come from the two free critical points (19 +- sqrt 105)/16;
    // the critical point 0 is the superattracting fixed point.
    const double outside = (19.0 + std::sqrt(105.0)) / 16.0, insideCp = (19.0 - std::sqrt(105.0)) / 16.0;
    const auto& entries = a.orbits.curves.entries;
    const int outerCp = entries[h.outerEntry].criticalPointIndex;
    const int innerCp = entries[h.innerEntry].criticalPointIndex;
    EXPECT_NEAR(std::abs(cd(a.criticalPoints.re[outerCp], a.criticalPoints.im[outerCp])), outside, 1e-9);
    EXPECT_NEAR(std::abs(cd(a.criticalPoints.re[innerCp], a.criticalPoints.im[innerCp])), insideCp, 1e-9);
    ASSERT_GE(a.orbits.algebraicCycleCount, 1);
    EXPECT_EQ(a.orbits.cycles.cycles[0].kind, PointKind::SuperAttracting);
    EXPECT_LT(std::abs(cd(a.orbits.cycles.cycles[0].re[0], a.orbits.cycles.cycles[0].im[0])), 1e-12);
}

TEST(JuliaAnalysis, NewtonMapHasSuperattractingRootsAndAnEscapingPole) {
    // Newton's map of z^3 - 1; its critical point 0 is the pole.
    const JuliaAnalysis a = analyseJulia(testmaps::rationalMap({1.0, 0.0, 0.0, 2.0}, {0.0, 0.0, 3.0}), AnalysisSettings{});
    ASSERT_GE(a.orbits.algebraicCycleCount, 3);
    for (int k = 0; k < 3; ++k) {
        const Cycle& c = a.orbits.cycles.cycles[k];
        EXPECT_EQ(c.period, 1);
        EXPECT_NEAR(std::abs(cd(c.re[0], c.im[0])), 1.0, 1e-12);
        EXPECT_LT(std::abs(std::pow(cd(c.re[0], c.im[0]), 3) - 1.0), 1e-12);
    }
    int escaped = 0, known = 0;
    for (const CriticalOrbitResult& r : a.orbits.criticalOrbits) {
        escaped += r.fate == OrbitFate::Escaped;
        known += r.fate == OrbitFate::KnownCycle;
    }
    EXPECT_EQ(escaped, 1);
    EXPECT_EQ(known, 3);
    int infinity = 0;
    for (const Cycle& c : a.orbits.cycles.cycles) infinity += c.toInfinity;
    EXPECT_EQ(infinity, 1);
    EXPECT_EQ(a.fixedPoints.count, 3);
}

TEST(JuliaAnalysis, StopRequestKeepsCriticalAndFixedPoints) {
    std::atomic<bool> stop{true};
    const JuliaAnalysis a = analyseJulia(testmaps::polynomialMap({-1.0, 0.0, 1.0}), withCurves(), &stop);
    EXPECT_TRUE(a.stopped);
    EXPECT_EQ(a.orbits.cycles.count(), 0);
    EXPECT_EQ(a.criticalPoints.count, 1);
    EXPECT_EQ(a.fixedPoints.count, 2);
}

TEST(JuliaAnalysis, StopRaisedDuringTheCurveAnalysisEndsItEarly) {
    // The quit path raises the stop request while the closed curves of the
    // first critical point are being chained: nothing is recorded for them
    // and the side classification is skipped.
    const cd c = testmaps::siegelParameter(testmaps::goldenMean());
    const RationalMap map = testmaps::polynomialMap({c, 0.0, 1.0});
    PeriodicSearchOptions o;
    o.maxPeriod = 1;
    std::atomic<bool> stop{false};
    const OrbitAnalysis a = followCriticalOrbits(map, findCriticalPoints(map), withCurves(), findPeriodicPoints(map, o),
                                                 &stop, [&] { stop = true; });
    EXPECT_TRUE(a.stopped);
    EXPECT_TRUE(a.curves.entries.empty());
    EXPECT_FALSE(a.curvesClassified);
}
