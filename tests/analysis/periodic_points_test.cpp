#include "analysis/periodic_points.h"
#include "analysis/root_finder.h"

#include "test_maps.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <new>
#include <cmath>
#include <vector>

using namespace analysis;
using testmaps::cd;

namespace {

double distance(const Cycle& c, int i, cd z) { return std::abs(cd(c.re[i], c.im[i]) - z); }

bool cycleHolds(const Cycle& c, cd z, double tol) {
    for (int i = 0; i < static_cast<int>(c.re.size()); ++i)
        if (distance(c, i, z) < tol) return true;
    return false;
}

PeriodicSearchOptions options(int maxPeriod = MAX_ALGEBRAIC_PERIOD, PeriodicSearchReport* report = nullptr) {
    PeriodicSearchOptions o;
    o.maxPeriod = maxPeriod;
    o.report = report;
    return o;
}

// Root finders for steering the search: they record the degrees asked for.
std::vector<int> requestedDegrees;
int failFromDegree = 1 << 30;

int recordingRootFinder(int n, const double* cr, const double* ci, double* rr, double* ri) {
    requestedDegrees.push_back(n);
    if (n >= failFromDegree) return -1;
    return findRoots(n, cr, ci, rr, ri);
}

// Reports distinct far-away (repelling) points instead of roots, so that the
// search runs through every period quickly.
int farPointsRootFinder(int n, const double*, const double*, double* rr, double* ri) {
    requestedDegrees.push_back(n);
    for (int i = 0; i < n; ++i) {
        rr[i] = 100.0 + i;
        ri[i] = 0.0;
    }
    return 1;
}

// For z^2 - 1 at period 2: the cycle point 0 and a repelling stand-in for
// the other root, so only one of the two cycle points is marked.
int halfCycleRootFinder(int n, const double* cr, const double* ci, double* rr, double* ri) {
    int rc = findRoots(n, cr, ci, rr, ri);
    if (n == 2 && std::abs(cd(cr[0], ci[0])) < 1e-12) {  // z^2 + z: roots 0 and -1
        rr[0] = 0.0;
        ri[0] = 0.0;
        rr[1] = 50.0;
        ri[1] = 0.0;
    }
    return rc;
}

// Runs out of memory at the third period (degree 6 for a quadratic).
int exhaustedRootFinder(int n, const double* cr, const double* ci, double* rr, double* ri) {
    if (n >= 6) throw std::bad_alloc();
    return findRoots(n, cr, ci, rr, ri);
}

}  // namespace

TEST(CycleCapacity, IsTwiceTheDegreeLessTwo) {
    EXPECT_EQ(cycleCapacity(testmaps::polynomialMap({0.0, 0.0, 1.0})), 2);
    EXPECT_EQ(cycleCapacity(testmaps::polynomialMap({0.0, 1.0, 0.0, 1.0})), 4);
    // Form 2 takes the larger of the two degrees.
    EXPECT_EQ(cycleCapacity(testmaps::rationalMap({1.0, 0.0, 0.0, 2.0}, {0.0, 0.0, 3.0})), 4);
    EXPECT_EQ(cycleCapacity(testmaps::rationalMap({1.0}, {0.0, 0.0, 0.0, 0.0, 1.0})), 6);
    RationalMap broken = testmaps::polynomialMap({0.0, 0.0, 1.0});
    broken.numerator.re.resize(1);
    EXPECT_EQ(cycleCapacity(broken), 0);
    broken.form = 7;
    EXPECT_EQ(mapDegree(broken), -1);
}

TEST(ConfirmAttracting, AcceptsAttractorsAndRejectsRepellersAndEscapes) {
    const RationalMap square = testmaps::polynomialMap({0.0, 0.0, 1.0});
    EXPECT_EQ(confirmAttracting(square, {0.0, 0.0}, 1, 1e-6), 1);  // starts exactly on 0
    EXPECT_EQ(confirmAttracting(square, {1.0, 0.0}, 1, 1e-6), 0);  // 1.001 escapes
    // z^2 + 0.25: from 0.5005 the orbit drifts off the parabolic point.
    EXPECT_EQ(confirmAttracting(testmaps::polynomialMap({0.25, 0.0, 1.0}), {0.5, 0.0}, 1, 1e-6), 0);
    // z^2 - 1: the 2-cycle {0, -1} returns every second step, not every step.
    const RationalMap basilica = testmaps::polynomialMap({-1.0, 0.0, 1.0});
    EXPECT_EQ(confirmAttracting(basilica, {-1.0, 0.0}, 2, 1e-6), 1);
    EXPECT_EQ(confirmAttracting(basilica, {-1.0, 0.0}, 1, 1e-6), 0);
    // 1/z: the test orbit from 0 meets the pole at once.
    EXPECT_EQ(confirmAttracting(testmaps::rationalMap({1.0}, {0.0, 1.0}), {0.0, 0.0}, 1, 1e-6), 0);
}

TEST(FindPeriodicPoints, SquareHasOnlyTheSuperattractingFixedPointZero) {
    PeriodicSearchReport report;
    CycleList list = findPeriodicPoints(testmaps::polynomialMap({0.0, 0.0, 1.0}), options(5, &report));
    EXPECT_EQ(list.capacity, 2);
    ASSERT_EQ(list.count(), 1);
    const Cycle& c = list.cycles[0];
    EXPECT_EQ(c.period, 1);
    EXPECT_EQ(c.kind, PointKind::SuperAttracting);
    EXPECT_EQ(c.toInfinity, 0);
    ASSERT_EQ(c.re.size(), 1u);
    EXPECT_LT(distance(c, 0, 0.0), 1e-12);
    EXPECT_EQ(report.periodsSearched, 5);
}

TEST(FindPeriodicPoints, BasilicaHasTheSuperattractingTwoCycle) {
    PeriodicSearchReport report;
    CycleList list = findPeriodicPoints(testmaps::polynomialMap({-1.0, 0.0, 1.0}), options(8, &report));
    EXPECT_EQ(report.periodsSearched, 8);
    ASSERT_EQ(list.count(), 1);
    const Cycle& c = list.cycles[0];
    EXPECT_EQ(c.period, 2);
    EXPECT_EQ(c.kind, PointKind::SuperAttracting);
    ASSERT_EQ(c.re.size(), 2u);
    EXPECT_TRUE(cycleHolds(c, 0.0, 1e-12));
    EXPECT_TRUE(cycleHolds(c, -1.0, 1e-12));
}

TEST(FindPeriodicPoints, ParabolicFixedPointIsRecordedOnceAsIndifferent) {
    PeriodicSearchReport report;
    CycleList list = findPeriodicPoints(testmaps::polynomialMap({0.25, 0.0, 1.0}), options(3, &report));
    ASSERT_EQ(list.count(), 1);
    EXPECT_EQ(list.cycles[0].kind, PointKind::Indifferent);
    EXPECT_EQ(list.cycles[0].re[0], 0.5);
    EXPECT_EQ(report.end, PeriodicSearchEnd::Completed);
    EXPECT_EQ(report.periodsSearched, 3);
}

TEST(FindPeriodicPoints, NewtonMapOfCubeRootsOfUnityHasThreeSuperattractingFixedPoints) {
    // N(z) = z - (z^3 - 1) / (3 z^2) = (2 z^3 + 1) / (3 z^2)
    CycleList list =
        findPeriodicPoints(testmaps::rationalMap({1.0, 0.0, 0.0, 2.0}, {0.0, 0.0, 3.0}), options(2));
    EXPECT_EQ(list.capacity, 4);
    ASSERT_EQ(list.count(), 3);
    for (int k = 0; k < 3; ++k) {
        const cd root = std::polar(1.0, 2.0 * M_PI * k / 3.0);
        int found = 0;
        for (const Cycle& c : list.cycles) {
            ASSERT_EQ(c.period, 1);
            EXPECT_NE(c.kind, PointKind::Indifferent);
            if (distance(c, 0, root) < 1e-9) ++found;
        }
        EXPECT_EQ(found, 1) << "cube root of unity " << k;
    }
}

TEST(FindPeriodicPoints, TwoAttractingCyclesOfOnePeriodAreGroupedByFollowingTheMap) {
    // f(z) = z^3 - (3/sqrt 2) z: its critical points +-2^(-1/4) lie on two
    // distinct superattracting 2-cycles {c, f(c)} and {-c, -f(c)}.
    const RationalMap f = testmaps::polynomialMap({0.0, -3.0 / std::sqrt(2.0), 0.0, 1.0});
    CycleList list = findPeriodicPoints(f, options(2));
    ASSERT_EQ(list.count(), 2);
    for (const Cycle& c : list.cycles) {
        ASSERT_EQ(c.period, 2);
        ASSERT_EQ(c.re.size(), 2u);
        EXPECT_NE(c.kind, PointKind::Indifferent);
        // Orbit order: the second point is the image of the first.
        const cd p0(c.re[0], c.im[0]), p1(c.re[1], c.im[1]);
        EXPECT_LT(std::abs(testmaps::apply(f, p0) - p1), 1e-9);
        EXPECT_LT(std::abs(testmaps::apply(f, p1) - p0), 1e-9);
    }
    // The two cycles are different ones: no shared point.
    for (int i = 0; i < 2; ++i)
        EXPECT_FALSE(cycleHolds(list.cycles[1], cd(list.cycles[0].re[i], list.cycles[0].im[i]), 1e-3));
}

TEST(FindPeriodicPoints, CycleWithFewerMarkedRootsIsCompletedByFollowingTheMap) {
    PeriodicSearchOptions o = options(2);
    o.rootFinder = &halfCycleRootFinder;
    CycleList list = findPeriodicPoints(testmaps::polynomialMap({-1.0, 0.0, 1.0}), o);
    ASSERT_EQ(list.count(), 1);
    const Cycle& c = list.cycles[0];
    ASSERT_EQ(c.period, 2);
    ASSERT_EQ(c.re.size(), 2u);
    ASSERT_EQ(c.im.size(), 2u);
    EXPECT_EQ(cd(c.re[0], c.im[0]), cd(0.0, 0.0));
    EXPECT_EQ(cd(c.re[1], c.im[1]), cd(-1.0, 0.0));  // 0^2 - 1
}

TEST(FindPeriodicPoints, RootFinderFailureEndsTheSearchKeepingEarlierCycles) {
    // z^2 - 1: the 2-cycle is found at period 2; period 3 (degree 6) fails.
    requestedDegrees.clear();
    failFromDegree = 6;
    PeriodicSearchReport report;
    PeriodicSearchOptions o = options(10, &report);
    o.rootFinder = &recordingRootFinder;
    CycleList list = findPeriodicPoints(testmaps::polynomialMap({-1.0, 0.0, 1.0}), o);
    failFromDegree = 1 << 30;
    EXPECT_EQ(report.end, PeriodicSearchEnd::RootFinderFailed);
    EXPECT_EQ(report.lastPeriod, 3);
    EXPECT_EQ(report.periodsSearched, 2);
    EXPECT_EQ(requestedDegrees, (std::vector<int>{2, 2, 6}));  // nothing after the failure
    ASSERT_EQ(list.count(), 1);
    EXPECT_EQ(list.cycles[0].period, 2);
}

TEST(FindPeriodicPoints, PeriodsBeyondIterateDegree1024AreNotSearched) {
    struct Case {
        std::vector<cd> p;
        std::vector<int> degrees;  // exact-period degrees d^k minus the divisors' degrees
    };
    const std::vector<Case> cases = {
        {{0.3, 0.0, 1.0}, {2, 2, 6, 12, 30, 54, 126, 240, 504, 990}},  // degree 2: all ten
        {{0.3, 0.0, 0.0, 1.0}, {3, 6, 24, 72, 240, 696}},              // degree 3: up to 6
        {{0.3, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 1.0}, {10, 90, 990}},  // degree 10: up to 3
    };
    for (const Case& c : cases) {
        requestedDegrees.clear();
        PeriodicSearchReport report;
        PeriodicSearchOptions o = options(10, &report);
        o.rootFinder = &farPointsRootFinder;
        CycleList list = findPeriodicPoints(testmaps::polynomialMap(c.p), o);
        EXPECT_EQ(list.count(), 0);
        EXPECT_EQ(report.end, PeriodicSearchEnd::Completed);
        EXPECT_EQ(requestedDegrees, c.degrees);
    }
}

TEST(FindPeriodicPoints, MemoryExhaustionGivesAnEmptyList) {
    PeriodicSearchReport report;
    PeriodicSearchOptions o = options(10, &report);
    o.rootFinder = &exhaustedRootFinder;
    CycleList list = findPeriodicPoints(testmaps::polynomialMap({-1.0, 0.0, 1.0}), o);
    EXPECT_EQ(report.end, PeriodicSearchEnd::OutOfMemory);
    EXPECT_EQ(list.count(), 0);  // the 2-cycle found before is dropped too
    EXPECT_EQ(list.capacity, 2);
}

TEST(FindPeriodicPoints, DegenerateExactPeriodPolynomialEndsTheSearch) {
    // z + 1/z: z Q - P = -1 has no roots; the search ends without a crash.
    PeriodicSearchReport report;
    CycleList list = findPeriodicPoints(testmaps::rationalMap({1.0, 0.0, 1.0}, {0.0, 1.0}),
                                        options(10, &report));
    EXPECT_EQ(list.count(), 0);
    EXPECT_EQ(report.end, PeriodicSearchEnd::DegreeFailure);
    EXPECT_EQ(report.lastPeriod, 1);
}

TEST(FindPeriodicPoints, StopRequestAndMalformedMapsEndWithoutCycles) {
    std::atomic<bool> stop{true};
    PeriodicSearchReport report;
    PeriodicSearchOptions o = options(10, &report);
    o.stop = &stop;
    EXPECT_EQ(findPeriodicPoints(testmaps::polynomialMap({0.0, 0.0, 1.0}), o).count(), 0);
    EXPECT_EQ(report.end, PeriodicSearchEnd::Stopped);

    RationalMap bad = testmaps::polynomialMap({0.0, 0.0, 1.0});
    bad.numerator.degree = 5;  // arrays too short
    CycleList list = findPeriodicPoints(bad, options(10, &report));
    EXPECT_EQ(list.count(), 0);
    EXPECT_EQ(list.capacity, 0);
    EXPECT_EQ(report.end, PeriodicSearchEnd::InvalidMap);
}
