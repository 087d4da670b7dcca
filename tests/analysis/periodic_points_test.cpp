#include "analysis/cycle_refinement.h"
#include "analysis/periodic_points.h"
#include "analysis/root_finder.h"

#include "test_maps.h"

using namespace analysis;
using testmaps::cd;

namespace {

// Root finders that steer the search; they record the degrees asked for.
std::vector<int> requestedDegrees;

int failAtDegreeSix(int n, const double* cr, const double* ci, double* rr, double* ri) {
    requestedDegrees.push_back(n);
    return n >= 6 ? -1 : findRoots(n, cr, ci, rr, ri);
}

int outOfMemoryAtDegreeSix(int n, const double* cr, const double* ci, double* rr, double* ri) {
    if (n >= 6) throw std::bad_alloc();
    return findRoots(n, cr, ci, rr, ri);
}

// Distinct far-away (repelling) points, so every period is searched quickly.
int farPoints(int n, const double*, const double*, double* rr, double* ri) {
    for (int i = 0; i < n; ++i) {
        rr[i] = 100.0 + i;
        ri[i] = 0.0;
    }
    return 1;
}

// twoCycles has the superattracting 2-cycle {0, 1} (critical at both points,
// so rounded coefficients keep it superattracting) and the attracting
// 2-cycle {2, 3} (multiplier 1/4). At period 2 the stand-in hands over one
// point of each as the only non-repelling roots, in either order.
const RationalMap twoCycles = testmaps::polynomialMap(
    {1.0, 0.0, 149.0 / 12, -9985.0 / 216, 4057.0 / 72, -6565.0 / 216, 545.0 / 72, -77.0 / 108});

template <bool SuperFirst>
int twoKindsOfRoots(int n, const double* cr, const double* ci, double* rr, double* ri) {
    if (n == 7) return findRoots(n, cr, ci, rr, ri);  // the fixed points
    farPoints(n, cr, ci, rr, ri);
    rr[0] = SuperFirst ? 0.0 : 2.0;
    rr[1] = SuperFirst ? 2.0 : 0.0;
    return 1;
}

// z^2 - 1 at period 2: the cycle point 0 and a repelling stand-in for -1.
int halfCycle(int n, const double* cr, const double* ci, double* rr, double* ri) {
    const int rc = findRoots(n, cr, ci, rr, ri);
    if (n == 2) {
        rr[0] = ri[0] = ri[1] = 0.0;
        rr[1] = 50.0;
    }
    return rc;
}

}  // namespace

TEST(ConfirmAttracting, AcceptsAttractorsAndRejectsRepellersAndEscapes) {
    // A fixed point with multiplier 0.999 is reached only after ~6200 steps:
    // the eleven checks 900 steps apart reach back before that.
    const cd slow = 0.999 / 2.0;
    struct Case {
        const char* name;
        RationalMap map;
        cd z0;
        int period, confirmed;
    } cases[] = {
        {"z^2 at 0", testmaps::polynomialMap({0.0, 0.0, 1.0}), 0.0, 1, 1},
        {"z^2 at 1: 1.001 escapes", testmaps::polynomialMap({0.0, 0.0, 1.0}), 1.0, 1, 0},
        {"z^2 - 1 at -1, period 2", testmaps::polynomialMap({-1.0, 0.0, 1.0}), -1.0, 2, 1},
        {"z^2 - 1 at -1, period 1", testmaps::polynomialMap({-1.0, 0.0, 1.0}), -1.0, 1, 0},
        {"z^2 - 1 + 0.1i: 2-cycle off the axis", testmaps::polynomialMap({cd(-1, 0.1), 0.0, 1.0}), (std::sqrt(cd(1, -0.4)) - 1.0) / 2.0, 2, 1},
        {"1/z at 0 meets the pole", testmaps::rationalMap({1.0}, {0.0, 1.0}), 0.0, 1, 0},
        {"slow, period 1", testmaps::polynomialMap({testmaps::parameterForMultiplier(0.999), 0.0, 1.0}), slow, 1, 1},
        {"slow, period 900", testmaps::polynomialMap({testmaps::parameterForMultiplier(0.999), 0.0, 1.0}), slow, 900, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(confirmAttracting(c.map, {c.z0.real(), c.z0.imag()}, c.period, 1e-6), c.confirmed) << c.name;
}

TEST(FindPeriodicPoints, CyclesOfKnownMapsInOrbitOrderWithTheirKinds) {
    // Kinds follow |multiplier|^2: at most 1e-32 superattracting, then
    // attracting. 1e-4 and 0.5i are multipliers of the fixed point of z^2 + c.
    const PointKind S = PointKind::SuperAttracting, A = PointKind::Attracting;
    struct Case {
        const char* name;
        RationalMap map;
        std::vector<int> periods;
        std::vector<PointKind> kinds;
    } cases[] = {
        {"z^2", testmaps::polynomialMap({0.0, 0.0, 1.0}), {1}, {S}},
        {"z^2 - 1", testmaps::polynomialMap({-1.0, 0.0, 1.0}), {2}, {S}},
        {"multiplier 1e-4", testmaps::polynomialMap({testmaps::parameterForMultiplier(1e-4), 0.0, 1.0}), {1}, {A}},
        {"multiplier 0.5i", testmaps::polynomialMap({testmaps::parameterForMultiplier(cd(0, 0.5)), 0.0, 1.0}), {1}, {A}},
        {"Newton map of z^3 - 1", testmaps::rationalMap({1.0, 0.0, 0.0, 2.0}, {0.0, 0.0, 3.0}), {1, 1, 1}, {S, S, S}},
        // Superattracting in exact arithmetic; the computed roots may land on either side of the cut.
        {"z^3 - (3/sqrt 2) z: two 2-cycles", testmaps::polynomialMap({0.0, -3.0 / std::sqrt(2.0), 0.0, 1.0}), {2, 2}, {}},
    };
    for (const Case& c : cases) {
        PeriodicSearchReport report;
        const CycleList list = findPeriodicPoints(c.map, {.maxPeriod = 4, .report = &report});
        EXPECT_EQ(report.periodsSearched, 4) << c.name;
        ASSERT_EQ(list.count(), static_cast<int>(c.periods.size())) << c.name;
        for (int i = 0; i < list.count(); ++i) {
            const Cycle& cyc = list.cycles[i];
            EXPECT_EQ(cyc.period, c.periods[i]) << c.name;
            if (!c.kinds.empty()) {
                EXPECT_EQ(cyc.kind, c.kinds[i]) << c.name;
            }
            EXPECT_NE(cyc.kind, PointKind::Indifferent) << c.name;
            EXPECT_EQ(cyc.toInfinity, 0);
            ASSERT_EQ(static_cast<int>(cyc.re.size()), cyc.period);
            for (int p = 0; p < cyc.period; ++p) {  // orbit order: point p + 1 is the image of point p
                const cd z(cyc.re[p], cyc.im[p]), next(cyc.re[(p + 1) % cyc.period], cyc.im[(p + 1) % cyc.period]);
                EXPECT_LT(std::abs(testmaps::apply(c.map, z) - next), 1e-9) << c.name << " point " << p;
            }
            const double lambda = std::abs(testmaps::multiplier(c.map, cd(cyc.re[0], cyc.im[0]), cyc.period));
            EXPECT_LT(lambda, cyc.kind == S || c.kinds.empty() ? 1e-6 : 1.0) << c.name;
        }
        for (int i = 1; i < list.count(); ++i)  // distinct cycles
            EXPECT_GT(std::abs(cd(list.cycles[i].re[0], list.cycles[i].im[0]) - cd(list.cycles[0].re[0], list.cycles[0].im[0])), 1e-3);
    }
}

TEST(FindPeriodicPoints, ACycleOfAtMostPeriodRootsTakesTheKindOfItsLastRoot) {
    // Two marked roots at period 2 are recorded as one cycle of the last root's kind.
    for (const auto& [finder, kind] : {std::pair{&twoKindsOfRoots<true>, PointKind::Attracting},
                                       std::pair{&twoKindsOfRoots<false>, PointKind::SuperAttracting}}) {
        const CycleList list = findPeriodicPoints(twoCycles, {.maxPeriod = 2, .rootFinder = finder});
        int records = 0;
        for (const Cycle& c : list.cycles) {
            if (c.period != 2) continue;
            ++records;
            EXPECT_EQ(c.kind, kind);
        }
        EXPECT_EQ(records, 1);
    }
}

TEST(FindPeriodicPoints, CycleWithFewerMarkedRootsIsCompletedByFollowingTheMap) {
    const RationalMap basilica = testmaps::polynomialMap({-1.0, 0.0, 1.0});
    const CycleList list = findPeriodicPoints(basilica, {.maxPeriod = 2, .rootFinder = &halfCycle});
    ASSERT_EQ(list.count(), 1);
    const Cycle& c = list.cycles[0];
    ASSERT_EQ(c.period, 2);
    EXPECT_EQ(c.re, (std::vector<double>{0.0, -1.0}));  // 0^2 - 1
    EXPECT_EQ(c.im, (std::vector<double>{0.0, 0.0}));
}

TEST(FindPeriodicPoints, SearchEndsKeepWhatWasFoundBefore) {
    std::atomic<bool> stop{true};
    RationalMap shortArrays = testmaps::polynomialMap({0.0, 0.0, 1.0}), badForm = shortArrays;
    RationalMap shortDenominator = testmaps::rationalMap({0.0, 0.0, 1.0}, {1.0, 1.0}), shortNumerator = shortDenominator;
    shortArrays.numerator.degree = 5;
    shortDenominator.denominator.degree = 2;
    shortNumerator.numerator.degree = 3;
    badForm.form = 7;
    const RationalMap basilica = testmaps::polynomialMap({-1.0, 0.0, 1.0});
    struct Case {
        const char* name;
        RationalMap map;
        RootFinderFunction finder;
        const std::atomic<bool>* stop;
        PeriodicSearchEnd end;
        int lastPeriod, cycles, capacity;
    } cases[] = {
        {"root finder fails at period 3", basilica, &failAtDegreeSix, nullptr, PeriodicSearchEnd::RootFinderFailed, 3, 1, 2},
        {"out of memory drops all", basilica, &outOfMemoryAtDegreeSix, nullptr, PeriodicSearchEnd::OutOfMemory, 3, 0, 2},
        {"z + 1/z: z Q - P = -1", testmaps::rationalMap({1.0, 0.0, 1.0}, {0.0, 1.0}), nullptr, nullptr, PeriodicSearchEnd::DegreeFailure, 1, 0, 0},
        {"stop request", basilica, nullptr, &stop, PeriodicSearchEnd::Stopped, 1, 0, 2},
        {"malformed map", shortArrays, nullptr, nullptr, PeriodicSearchEnd::InvalidMap, 0, 0, 0},
        {"malformed numerator", shortNumerator, nullptr, nullptr, PeriodicSearchEnd::InvalidMap, 0, 0, 0},
        {"malformed denominator", shortDenominator, nullptr, nullptr, PeriodicSearchEnd::InvalidMap, 0, 0, 0},
        {"unknown form", badForm, nullptr, nullptr, PeriodicSearchEnd::InvalidMap, 0, 0, 0},
    };
    for (const Case& c : cases) {
        requestedDegrees.clear();
        PeriodicSearchReport report;
        const CycleList list = findPeriodicPoints(c.map, {.maxPeriod = 10, .stop = c.stop, .rootFinder = c.finder,
                                                          .report = &report});
        EXPECT_EQ(report.end, c.end) << c.name;
        EXPECT_EQ(report.lastPeriod, c.lastPeriod) << c.name;
        EXPECT_EQ(list.count(), c.cycles) << c.name;
        if (c.capacity > 0) { EXPECT_EQ(list.capacity, c.capacity) << c.name; }
    }
    requestedDegrees.clear();
    findPeriodicPoints(basilica, {.maxPeriod = 10, .rootFinder = &failAtDegreeSix});
    EXPECT_EQ(requestedDegrees, (std::vector<int>{2, 2, 6}));  // nothing after the failure
}

// f(z) = z^2 + (1 - b) z + c with b = 1 + k 2^-52, c = 1/4 + k 2^-53 (all exact): g = f - z has its least
// modulus t = -k^2 2^-106 at w = b/2, between the fixed points w +- k 2^-53. The root w of g' (multiplier 1)
// replaces the fixed point only when |t| <= 8 (E + u|w|), E the rounding bound of f(w): 16u (|P|(w) + |f(w)|
// |Q|(w)) / |Q(w)| + u |f(w)|, u = 2^-64, i.e. 9u in all (form 1) or 17u (form 2, P and Q doubled).
TEST(RefineCyclePoint, ParabolicPointReplacesAFixedPointOnlyWhereGVanishesWithinRounding) {
    const struct { int form; double ratio; bool parabolic; } rows[] = {
        {1, 7.5, true}, {1, 8.5, false}, {2, 7.5, true}, {2, 8.5, false}};
    for (const auto& row : rows) {
        const double unitsE = row.form == 1 ? 9.0 : 17.0;
        const double k = std::round(std::sqrt(row.ratio * unitsE * std::ldexp(1.0, 42)));
        const double b = 1 + std::ldexp(k, -52), c = 0.25 + std::ldexp(k, -53), s = row.form == 1 ? 1.0 : 2.0;
        const RationalMap map = row.form == 1 ? testmaps::polynomialMap({c, 1 - b, 1.0})
                                              : testmaps::rationalMap({s * c, s * (1 - b), s}, {s});
        const double fixed = b / 2 + std::ldexp(k, -53);
        const RefinedPoint p = refineCyclePoint(map, {fixed, 0.0}, 1);
        ASSERT_TRUE(p.valid);
        const long double z = row.parabolic ? b / 2.0L : fixed, lambda = row.parabolic ? 1.0L : 1 + std::ldexp(k, -52);
        EXPECT_LT(std::abs(p.re - z), 1e-17L) << row.form << " " << row.ratio;
        EXPECT_LT(std::abs(p.lambdaRe - lambda), 1e-15L) << row.form << " " << row.ratio;
    }
    // z + (z - 1)^2 / Q, Q = 4 - 2 (z - 1) - 1.5 (z - 1)^2: parabolic at 1, reached from 1.001 only with R''
    // right (Newton on R' - 1; Q' and Q'' at 1 are large enough that a wrong term turns or stalls the steps).
    const RefinedPoint p = refineCyclePoint(testmaps::rationalMap({1.0, 2.5, 2.0, -1.5}, {4.5, 1.0, -1.5}), {1.001, 0}, 1);
    EXPECT_LT(std::abs(p.re - 1), 1e-17L);
    EXPECT_LT(std::abs(p.lambdaRe - 1), 1e-15L);
    const RefinedPoint q = refineCyclePoint(testmaps::polynomialMap({0.1875, 0.0, 1.0}), {0.3, 0}, 1);  // fixed at 1/4
    EXPECT_LT(std::abs(q.re - 0.25L) + std::abs(q.lambdaRe - 0.5L), 1e-18L);
}

TEST(ExactPeriod, LeastDivisorOfThePeriodThatReturns) {
    const RationalMap basilica = testmaps::polynomialMap({-1.0, 0.0, 1.0});  // 0 -> -1 -> 0
    EXPECT_EQ(exactPeriod(basilica, {0, 0}, 4, 1e-20), 2);
    EXPECT_EQ(exactPeriod(basilica, {0, 0}, 3, 1e-20), 3);  // 2 does not divide 3
}

TEST(ClassifyMultiplier, ThresholdsOfTheAlgebraicSearchOnLambdaSquared) {
    for (const auto& [s, kind] : {std::pair{1.005, PointKind::Repelling}, {1.0, PointKind::Indifferent},
                                  {0.995, PointKind::Attracting}, {1e-31, PointKind::Attracting}, {1e-33, PointKind::SuperAttracting}})
        EXPECT_EQ(classifyMultiplier(s), kind) << s;
}
