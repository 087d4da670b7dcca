#include "analysis/orbit_analysis.h"

#include "test_maps.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using namespace analysis;
using testmaps::cd;

namespace {

CriticalPointList pointsAt(const std::vector<cd>& z) {
    CriticalPointList l;
    l.count = static_cast<int>(z.size());
    for (cd p : z) {
        l.re.push_back(p.real());
        l.im.push_back(p.imag());
    }
    return l;
}

CycleList algebraicCycles(const RationalMap& map, int maxPeriod) {
    PeriodicSearchOptions o;
    o.maxPeriod = maxPeriod;
    return findPeriodicPoints(map, o);
}

Cycle cycleOf(int period, const std::vector<cd>& points, PointKind kind = PointKind::Attracting) {
    Cycle c;
    c.period = period;
    c.kind = kind;
    for (cd p : points) {
        c.re.push_back(p.real());
        c.im.push_back(p.imag());
    }
    return c;
}

int infinityEntries(const CycleList& l) {
    int n = 0;
    for (const Cycle& c : l.cycles) n += c.toInfinity;
    return n;
}

}  // namespace

TEST(CriticalOrbits, SquareOrbitMatchesTheAlgebraicFixedPoint) {
    const RationalMap square = testmaps::polynomialMap({0.0, 0.0, 1.0});
    OrbitAnalysis a = followCriticalOrbits(square, pointsAt({0.0}), AnalysisSettings{}, algebraicCycles(square, 2));
    ASSERT_EQ(a.cycles.count(), 1);
    EXPECT_EQ(a.algebraicCycleCount, 1);
    ASSERT_EQ(a.criticalOrbits.size(), 1u);
    EXPECT_EQ(a.criticalOrbits[0].fate, OrbitFate::KnownCycle);
    EXPECT_EQ(a.criticalOrbits[0].period, 1);
    EXPECT_EQ(a.criticalOrbits[0].cycleIndex, 0);
}

TEST(CriticalOrbits, EscapesRecordOneEntryForInfinity) {
    const RationalMap map = testmaps::polynomialMap({1.0, 0.0, 1.0});  // z^2 + 1
    OrbitAnalysis a = followCriticalOrbits(map, pointsAt({0.0, 3.0}), AnalysisSettings{},
                                           algebraicCycles(map, 2));
    ASSERT_EQ(a.cycles.count(), 1);
    const Cycle& inf = a.cycles.cycles[0];
    EXPECT_EQ(inf.period, 0);
    EXPECT_EQ(inf.kind, PointKind::Attracting);
    EXPECT_EQ(inf.toInfinity, 1);
    EXPECT_TRUE(inf.re.empty());
    EXPECT_EQ(a.criticalOrbits[0].fate, OrbitFate::Escaped);
    EXPECT_EQ(a.criticalOrbits[1].fate, OrbitFate::Escaped);
}

TEST(CriticalOrbits, PolesAndNonFiniteOrbitPointsCountAsEscapes) {
    // 1/z^2: the orbit of 0 starts at the pole.
    const RationalMap inverseSquare = testmaps::rationalMap({1.0}, {0.0, 0.0, 1.0});
    OrbitAnalysis a = followCriticalOrbits(inverseSquare, pointsAt({0.0}), AnalysisSettings{}, CycleList{2, {}});
    EXPECT_EQ(a.criticalOrbits[0].fate, OrbitFate::Escaped);
    EXPECT_EQ(infinityEntries(a.cycles), 1);

    // z^2 at 1e200(1 + i): the square's real part is inf - inf, not a number.
    AnalysisSettings s;
    s.siegelFlag = 1;
    const RationalMap square = testmaps::polynomialMap({0.0, 0.0, 1.0});
    OrbitAnalysis b = followCriticalOrbits(square, pointsAt({cd(1e200, 1e200)}), s, CycleList{2, {}});
    EXPECT_EQ(b.criticalOrbits[0].fate, OrbitFate::Escaped);
    EXPECT_EQ(infinityEntries(b.cycles), 1);
    EXPECT_TRUE(b.curves.entries.empty());
}

TEST(CriticalOrbits, EmptyOrbitDetectsNothing) {
    AnalysisSettings s;
    s.maxLoop = 0;
    s.siegelFlag = 1;
    int notices = 0;
    const RationalMap map = testmaps::polynomialMap({1.0, 0.0, 1.0});
    OrbitAnalysis a = followCriticalOrbits(map, pointsAt({0.0}), s, algebraicCycles(map, 1), nullptr,
                                           [&] { ++notices; });
    EXPECT_EQ(a.cycles.count(), 0);
    EXPECT_EQ(a.criticalOrbits[0].fate, OrbitFate::NotAnalysed);
    EXPECT_TRUE(a.curves.entries.empty());
    EXPECT_EQ(notices, 0);
}

TEST(CriticalOrbits, PeriodTwelveCycleIsRecordedNewestFirstAndMatchedForLaterPoints) {
    const cd c = testmaps::bulbCentre(12);
    const RationalMap map = testmaps::polynomialMap({c, 0.0, 1.0});
    // The critical point and its image converge to the same cycle.
    OrbitAnalysis a = followCriticalOrbits(map, pointsAt({0.0, c}), AnalysisSettings{}, algebraicCycles(map, 2));
    EXPECT_EQ(a.algebraicCycleCount, 0);
    ASSERT_EQ(a.cycles.count(), 1);
    const Cycle& cyc = a.cycles.cycles[0];
    EXPECT_EQ(cyc.period, 12);
    EXPECT_EQ(cyc.kind, PointKind::Attracting);
    EXPECT_EQ(cyc.toInfinity, 0);
    ASSERT_EQ(cyc.re.size(), 12u);
    for (int p = 0; p + 1 < 12; ++p) {  // newest first: point p is the image of point p + 1
        const cd older(cyc.re[p + 1], cyc.im[p + 1]), newer(cyc.re[p], cyc.im[p]);
        EXPECT_LT(std::abs(testmaps::apply(map, older) - newer), 1e-9);
    }
    EXPECT_LT(std::abs(testmaps::apply(map, cd(cyc.re[0], cyc.im[0])) - cd(cyc.re[11], cyc.im[11])), 1e-9);
    // The superattracting cycle passes through the critical point.
    bool throughZero = false;
    for (int p = 0; p < 12; ++p) throughZero |= std::abs(cd(cyc.re[p], cyc.im[p])) < 1e-6;
    EXPECT_TRUE(throughZero);

    EXPECT_EQ(a.criticalOrbits[0].fate, OrbitFate::NewCycle);
    EXPECT_EQ(a.criticalOrbits[1].fate, OrbitFate::KnownCycle);
    EXPECT_EQ(a.criticalOrbits[1].cycleIndex, 0);
}

TEST(CriticalOrbits, FullListStillMatchesKnownCyclesButRecordsNothingNew) {
    const RationalMap basilica = testmaps::polynomialMap({-1.0, 0.0, 1.0});
    CycleList full;
    full.capacity = 2;
    full.cycles.push_back(cycleOf(1, {cd(5.0, 5.0)}));
    full.cycles.push_back(cycleOf(2, {0.0, -1.0}, PointKind::SuperAttracting));
    AnalysisSettings s;
    s.siegelFlag = 1;
    OrbitAnalysis a = followCriticalOrbits(basilica, pointsAt({0.0}), s, full);
    EXPECT_EQ(a.criticalOrbits[0].fate, OrbitFate::KnownCycle);
    EXPECT_EQ(a.criticalOrbits[0].cycleIndex, 1);
    EXPECT_TRUE(a.curves.entries.empty());

    // z^2 + 1 escapes, but there is no room for the entry for infinity.
    const RationalMap escaping = testmaps::polynomialMap({1.0, 0.0, 1.0});
    OrbitAnalysis b = followCriticalOrbits(escaping, pointsAt({0.0}), s, full);
    EXPECT_EQ(b.criticalOrbits[0].fate, OrbitFate::Escaped);
    EXPECT_EQ(b.cycles.count(), 2);
    EXPECT_EQ(infinityEntries(b.cycles), 0);

    // A new 12-cycle with no free slot is passed over.
    const RationalMap twelve = testmaps::polynomialMap({testmaps::bulbCentre(12), 0.0, 1.0});
    s.siegelFlag = 0;
    OrbitAnalysis c = followCriticalOrbits(twelve, pointsAt({0.0}), s, full);
    EXPECT_EQ(c.criticalOrbits[0].fate, OrbitFate::PeriodPassedOver);
    EXPECT_EQ(c.cycles.count(), 2);
}

TEST(CriticalOrbits, CycleNearInfinityIsRecordedAsItIs) {
    // z0 + (z - z0)/2 + (z - z0)^2 / (4 z0) attracts its critical point 0 to
    // the fixed point z0 = 1e8, beyond 1/CONV_EPS, where the algebraic
    // test orbit counts as escaped.
    const double z0 = 1e8;
    const RationalMap map = testmaps::polynomialMap({z0 * 0.75, 0.0, 1.0 / (4.0 * z0)});
    OrbitAnalysis a = followCriticalOrbits(map, pointsAt({0.0, 1.0}), AnalysisSettings{}, algebraicCycles(map, 1));
    EXPECT_EQ(a.algebraicCycleCount, 0);
    ASSERT_EQ(a.cycles.count(), 1);
    const Cycle& c = a.cycles.cycles[0];
    EXPECT_EQ(c.period, 1);
    EXPECT_EQ(c.toInfinity, 0);
    EXPECT_NEAR(c.re[0], z0, 1.0);
    EXPECT_EQ(a.criticalOrbits[0].fate, OrbitFate::NewCycle);
    EXPECT_EQ(a.criticalOrbits[1].fate, OrbitFate::KnownCycle);
}

TEST(CriticalOrbits, ParabolicOrbitSettlesOnTheIndifferentFixedPoint) {
    // z^2 + 1/4: the orbit of 0 creeps to 1/2 with steps far below CONV_EPS;
    // polished, it is the parabolic fixed point the algebraic search found.
    const RationalMap map = testmaps::polynomialMap({0.25, 0.0, 1.0});
    OrbitAnalysis a = followCriticalOrbits(map, pointsAt({0.0}), AnalysisSettings{}, algebraicCycles(map, 3));
    EXPECT_EQ(a.algebraicCycleCount, 1);
    EXPECT_EQ(a.criticalOrbits[0].fate, OrbitFate::KnownCycle);
    ASSERT_EQ(a.cycles.count(), 1);
    EXPECT_EQ(a.cycles.cycles[0].period, 1);
    EXPECT_NEAR(a.cycles.cycles[0].re[0], 0.5, 1e-3);
}

TEST(CriticalOrbits, StopRequestEndsBeforeTheNextCriticalPoint) {
    std::atomic<bool> stop{true};
    const RationalMap map = testmaps::polynomialMap({1.0, 0.0, 1.0});
    OrbitAnalysis a = followCriticalOrbits(map, pointsAt({0.0, 1.0}), AnalysisSettings{}, CycleList{2, {}}, &stop);
    EXPECT_TRUE(a.stopped);
    EXPECT_EQ(a.criticalOrbits[0].fate, OrbitFate::NotAnalysed);
    EXPECT_EQ(a.cycles.count(), 0);
}

TEST(CriticalOrbits, MalformedInputGivesAnEmptyResult) {
    CriticalPointList broken;
    broken.count = 3;  // no coordinates
    OrbitAnalysis a = analyseCriticalOrbits(testmaps::polynomialMap({0.0, 0.0, 1.0}), broken, AnalysisSettings{});
    EXPECT_EQ(a.cycles.count(), 0);
    EXPECT_TRUE(a.criticalOrbits.empty());
    EXPECT_TRUE(a.invalidInput);
    AnalysisSettings bad;
    bad.convEps = 0.0;
    OrbitAnalysis b = analyseCriticalOrbits(testmaps::polynomialMap({0.0, 0.0, 1.0}), pointsAt({0.0}), bad);
    EXPECT_TRUE(b.criticalOrbits.empty());
    EXPECT_TRUE(b.invalidInput);
    EXPECT_FALSE(followCriticalOrbits(testmaps::polynomialMap({0.0, 0.0, 1.0}), pointsAt({0.0}), AnalysisSettings{},
                                      CycleList{2, {}})
                     .invalidInput);
}
