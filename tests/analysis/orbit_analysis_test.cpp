#include "analysis/orbit_analysis.h"

#include "test_maps.h"

using namespace analysis;
using testmaps::cd;
using testmaps::pointsAt;

namespace {

// A near-rotation z -> e^(i angle) z + 1e-12 z^2 about its fixed point 0.
RationalMap rotation(double angle) { return testmaps::polynomialMap({0.0, std::polar(1.0, angle), 1e-12}); }

}  // namespace

TEST(CriticalOrbits, FatesOfCriticalOrbits) {
    const OrbitFate E = OrbitFate::Escaped, K = OrbitFate::KnownCycle, N = OrbitFate::NewCycle,
                    U = OrbitFate::Undetermined, P = OrbitFate::PeriodPassedOver, R = OrbitFate::RepellingCycle,
                    O = OrbitFate::NotAnalysed;
    const PointKind A = PointKind::Attracting;
    const RationalMap chebyshev = testmaps::polynomialMap({-2.0, 0.0, 1.0});  // 0 -> -2 -> 2, a repelling fixed point
    const RationalMap square = testmaps::polynomialMap({0.0, 0.0, 1.0});
    const RationalMap escaping = testmaps::polynomialMap({1.0, 0.0, 1.0});
    const RationalMap siegel = testmaps::polynomialMap({testmaps::siegelParameter(), 0.0, 1.0});
    const RationalMap twelve = testmaps::polynomialMap({testmaps::bulbCentre12(), 0.0, 1.0});
    // z0 + (z - z0)/2 + (z - z0)^2/(4 z0): the fixed point z0 = 1e8 lies
    // beyond 1/CONV_EPS, where the algebraic test orbit counts as escaped.
    const RationalMap far = testmaps::polynomialMap({0.75e8, 0.0, 0.25e-8});
    const CycleList otherPeriod{2, {Cycle{2, {0.0, 5.0}, {0.0, 0.0}}}};
    const CycleList fullList{2, {Cycle{1, {5.0}, {5.0}}, Cycle{2, {0.0, -1.0}, {0.0, 0.0}, PointKind::SuperAttracting}}};
    struct Case {
        const char* name;
        RationalMap map;
        std::vector<cd> critical;
        CycleList algebraic;
        std::vector<OrbitFate> fates;
        std::vector<int> periods;  // of the cycles afterwards, 0 for infinity
        int siegel = 0;
        PointKind newKind = PointKind::Attracting;  // of the cycles the orbits add
        int maxLoop = DEFAULT_MAX_LOOP;
    } cases[] = {
        {"z^2 matches its fixed point", square, {0.0}, findPeriodicPoints(square, {.maxPeriod = 2}), {K}, {1}},
        {"z^2 + 1: one entry for infinity", escaping, {0.0, 3.0}, findPeriodicPoints(escaping, {.maxPeriod = 2}), {E, E}, {0}},
        {"1/z^2 starts at the pole", testmaps::rationalMap({1.0}, {0.0, 0.0, 1.0}), {0.0}, CycleList{2, {}}, {E}, {0}},
        {"non-finite square", square, {cd(1e200, 1e200)}, CycleList{2, {}}, {E}, {0}, 1},
        {"period 12 beyond the algebra, matched for its image", twelve, {0.0, testmaps::bulbCentre12()},
         findPeriodicPoints(twelve, {.maxPeriod = 2}), {N, K}, {12}},
        {"full list still matches", testmaps::polynomialMap({-1.0, 0.0, 1.0}), {0.0}, fullList, {K}, {1, 2}, 1},
        {"full list: no room for infinity", escaping, {0.0}, fullList, {E}, {1, 2}, 1},
        {"full list: new period passed over", twelve, {0.0}, fullList, {P}, {1, 2}},
        {"cycle near infinity recorded as it is", far, {0.0, 1.0}, findPeriodicPoints(far, {.maxPeriod = 1}), {N, K}, {1}},
        {"a cycle of another period is no match", square, {0.1}, otherPeriod, {N}, {2, 1}, 0, PointKind::SuperAttracting},
        {"rotation by a third is a 3-cycle", rotation(2.0 * M_PI / 3.0), {1.0}, CycleList{2, {}}, {N}, {3}},
        // Steps of 2.5125e-7: three steps back lie within CONV_EPS, four (1.005e-6) just beyond it.
        {"slow rotation has no period", rotation(2.5125e-7), {1.0}, CycleList{2, {}}, {U}, {}},
        // The period test needs 5 i steps and compares only the last i points with the 4 periods before.
        {"-2 is on 2 after 5 steps", chebyshev, {-2.0}, CycleList{2, {}}, {R}, {}, 0, A, 5},
        {"0 is on 2 after 6 steps", chebyshev, {0.0}, CycleList{2, {}}, {R}, {}, 0, A, 6},
        {"Siegel disk without SIEGELFLG: no curves", siegel, {0.0}, CycleList{2, {}}, {U}, {}},
        {"MAX_LOOP 0: an empty orbit", escaping, {0.0}, CycleList{2, {}}, {O}, {}, 1, A, 0},
    };
    for (const Case& c : cases) {
        AnalysisSettings s;
        s.siegelFlag = c.siegel;
        s.maxLoop = c.maxLoop;
        const int algebraic = c.algebraic.count();
        const OrbitAnalysis a = followCriticalOrbits(c.map, pointsAt(c.critical), s, c.algebraic);
        EXPECT_EQ(a.algebraicCycleCount, algebraic) << c.name;
        ASSERT_EQ(a.criticalOrbits.size(), c.fates.size()) << c.name;
        for (std::size_t i = 0; i < c.fates.size(); ++i) { EXPECT_EQ(a.criticalOrbits[i].fate, c.fates[i]) << c.name << " " << i; }
        ASSERT_EQ(a.cycles.count(), static_cast<int>(c.periods.size())) << c.name;
        for (int i = 0; i < a.cycles.count(); ++i) {
            const Cycle& cyc = a.cycles.cycles[i];
            EXPECT_EQ(cyc.period, c.periods[i]) << c.name;
            EXPECT_EQ(cyc.toInfinity, cyc.period == 0 ? 1 : 0) << c.name;
            EXPECT_EQ(static_cast<int>(cyc.re.size()), cyc.period) << c.name;
            if (i < algebraic) continue;
            EXPECT_EQ(cyc.kind, c.newKind) << c.name;
            for (int p = 0; p < cyc.period; ++p) {  // newest first: point p is the image of point p + 1
                const cd older(cyc.re[(p + 1) % cyc.period], cyc.im[(p + 1) % cyc.period]), newer(cyc.re[p], cyc.im[p]);
                EXPECT_LT(std::abs(testmaps::apply(c.map, older) - newer), 1e-9 * (1 + std::abs(newer))) << c.name << p;
            }
        }
        for (const CriticalOrbitResult& r : a.criticalOrbits)
            if (r.fate == K || r.fate == N) { EXPECT_EQ(a.cycles.cycles[r.cycleIndex].period, r.period) << c.name; }
        EXPECT_TRUE(a.curves.entries.empty()) << c.name;
    }
}

TEST(CriticalOrbits, StopRequestAndMalformedInput) {
    const RationalMap map = testmaps::polynomialMap({1.0, 0.0, 1.0});
    std::atomic<bool> stop{true};
    const OrbitAnalysis a = followCriticalOrbits(map, pointsAt({0.0, 1.0}), AnalysisSettings{}, CycleList{2, {}}, &stop);
    EXPECT_TRUE(a.stopped);
    EXPECT_EQ(a.criticalOrbits[0].fate, OrbitFate::NotAnalysed);
    EXPECT_EQ(a.cycles.count(), 0);

    const struct {
        RationalMap map;
        CriticalPointList critical;
        AnalysisSettings settings;
    } bad[] = {{map, {3, {}, {}}, {}}, {map, {1, {0.0}, {}}, {}}, {map, {-1, {}, {}}, {}},
               {testmaps::polynomialMap({1.0}), pointsAt({0.0}), {}}, {map, pointsAt({0.0}), {.maxLoop = -1}},
               {map, pointsAt({0.0}), {.maxLoop = MAX_LOOP_LIMIT + 1}}, {map, pointsAt({0.0}), {.siegelFlag = 2}},
               {map, pointsAt({0.0}), {.convEps = 0.0}}, {map, pointsAt({0.0}), {.contEps = INFINITY}},
               {map, pointsAt({0.0}), {.inoutEps = std::nan("")}}};
    for (const auto& b : bad) {
        const OrbitAnalysis r = analyseCriticalOrbits(b.map, b.critical, b.settings);
        EXPECT_TRUE(r.invalidInput);
        EXPECT_TRUE(r.criticalOrbits.empty());
        EXPECT_EQ(r.cycles.count(), 0);
    }
}
