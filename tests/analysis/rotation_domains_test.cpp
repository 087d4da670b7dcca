#include "analysis/rotation_domains.h"

#include "test_maps.h"

using namespace analysis;
using testmaps::cd;
using testmaps::circleCurve;

namespace {

// An axis-parallel square curve (no disks) with the given code.
ClosedCurve squareCurve(double x0, double y0, double side, int inOut) {
    ClosedCurve c = testmaps::bareCurve({x0, x0 + side, x0 + side, x0}, {y0, y0, y0 + side, y0 + side});
    c.inOut = inOut;
    return c;
}

CurveSet setOf(std::vector<std::vector<ClosedCurve>> entries) {
    CurveSet set;
    for (std::size_t e = 0; e < entries.size(); ++e) set.entries.push_back(CurveSetEntry{static_cast<int>(e), std::move(entries[e])});
    return set;
}

// z -> e^(2 pi i turns) z: every circle around 0 is invariant.
RationalMap rotation(double turns) { return testmaps::polynomialMap({0.0, std::polar(1.0, 2.0 * M_PI * turns)}); }

}  // namespace

TEST(PairRotationDomains, OutCurvesBecomeSiegelDisksOrHermanRingsWithAnInCurveInside) {
    const int O = CURVE_OUT, I = CURVE_IN;
    struct Case {
        const char* name;
        CurveSet set;
        std::vector<std::vector<int>> siegel, herman;  // {entry, curve}; {inner entry, curve, outer entry, curve}
    } cases[] = {
        {"Out alone", setOf({{squareCurve(0, 0, 1, CURVE_NONE), squareCurve(0, 0, 4, O)}}), {{0, 1}}, {}},
        {"In within Out; the first In lies outside",
         setOf({{squareCurve(-4, -4, 8, O)}, {squareCurve(10, 10, 1, I), squareCurve(-1, -1, 2, I)}}), {}, {{1, 1, 0, 0}}},
        {"an In curve touching the Out curve's bounds lies within it",
         setOf({{squareCurve(-5, -5, 10, O)}, {squareCurve(-5, -1, 2, I)}}), {}, {{1, 0, 0, 0}}},
        {"In curves reaching beyond the top or the left lie outside",
         setOf({{squareCurve(-5, -5, 10, O)}, {squareCurve(-1, 4, 2, I), squareCurve(-6, -1, 2, I)}}), {{0, 0}}, {}},
        {"In & Out takes part in nothing", setOf({{squareCurve(-2, -2, 4, O), squareCurve(-1, -1, 2, CURVE_IN_AND_OUT)}}), {{0, 0}}, {}},
        {"side by side: the later In replaces the choice",
         setOf({{squareCurve(-5, -5, 10, O), squareCurve(-4, -1, 2, I), squareCurve(2, -1, 2, I)}}), {}, {{0, 2, 0, 0}}},
        {"nested: the chosen In contains the later one",
         setOf({{squareCurve(-5, -5, 10, O), squareCurve(-3, -3, 6, I), squareCurve(-1, -1, 2, I)}}), {}, {{0, 1, 0, 0}}},
    };
    for (const Case& c : cases) {
        const RotationDomains d = pairRotationDomains(c.set);
        std::vector<std::vector<int>> siegel, herman;
        for (const SiegelDisk& s : d.siegelDisks) siegel.push_back({s.entry, s.curve});
        for (const HermanRing& h : d.hermanRings) herman.push_back({h.innerEntry, h.innerCurve, h.outerEntry, h.outerCurve});
        EXPECT_EQ(siegel, c.siegel) << c.name;
        EXPECT_EQ(herman, c.herman) << c.name;
    }
}

TEST(GroupRotationDomains, GroupsByEntryAndByPairOfEntries) {
    RotationDomains d;
    d.siegelDisks = {{0, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    d.hermanRings = {{0, 2, 0, 3, 0}, {0, 4, 0, 3, 1}, {0, 3, 1, 2, 1}};
    std::vector<std::pair<common::ComponentKind, std::vector<int>>> groups;
    for (const RotationDomainGroup& g : groupRotationDomains(d)) groups.emplace_back(g.kind, g.members);
    const auto S = common::ComponentKind::SiegelDisk, H = common::ComponentKind::HermanRing;
    EXPECT_EQ(groups, (decltype(groups){{S, {0, 2}}, {S, {1}}, {H, {0, 2}}, {H, {1}}}));  // rings: entries {2, 3} either way
}

TEST(ClassifyCurveSides, SidesWhoseOrbitsReturnThreeTimesInTheSecondHalf) {
    auto polygon = [](int n) { return circleCurve(0.0, 1.0, n); };
    struct Case {
        const char* name;
        RationalMap map;
        ClosedCurve curve;
        int maxLoop, inOut;
    } cases[] = {
        {"golden rotation", rotation(testmaps::goldenMean()), polygon(300), 10000, CURVE_IN_AND_OUT},
        {"z^2: inside to 0, outside escapes", testmaps::polynomialMap({0.0, 0.0, 1.0}), polygon(300), 10000, CURVE_NONE},
        {"3 points are never probed", rotation(testmaps::goldenMean()), polygon(3), 10000, CURVE_NONE},
        {"10 points", rotation(testmaps::goldenMean()), polygon(10), 10000, CURVE_IN_AND_OUT},
        // z -> -z returns at even steps: 6, 8, 10 lie beyond MAX_LOOP/2 = 5;
        // of 1..9 only 6 and 8 lie beyond 4.
        {"-z, MAX_LOOP 10", rotation(0.5), polygon(300), 10, CURVE_IN_AND_OUT},
        {"-z, MAX_LOOP 9", rotation(0.5), polygon(300), 9, CURVE_NONE},
        // A pentagon turns by 72 degrees at every probe, beyond pi/3.
        {"-z, pentagon", rotation(0.5), polygon(5), 10, CURVE_NONE},
        {"-z, heptagon", rotation(0.5), polygon(7), 10, CURVE_IN_AND_OUT},
        // A slow rotation moves a point at radius r by 0.00764 r per step; only
        // the inside test point, 0.6 r_box = 1.2 across (radius 0.2), comes back
        // within r_box INOUT_EPS = 0.02 at steps 11..13, the third by 0.5% only.
        {"slow rotation, MAX_LOOP 20", rotation(1.2167e-3), polygon(300), 20, CURVE_OUT},
    };
    for (const Case& c : cases) {
        AnalysisSettings s;
        s.maxLoop = c.maxLoop;
        CurveSet set = setOf({{c.curve}});
        ASSERT_TRUE(classifyCurveSides(set, c.map, s)) << c.name;
        EXPECT_EQ(set.entries[0].curves[0].inOut, c.inOut) << c.name;
    }
    CurveSet set = setOf({{polygon(300)}});
    std::atomic<bool> stop{true};
    EXPECT_FALSE(classifyCurveSides(set, rotation(testmaps::goldenMean()), AnalysisSettings{}, &stop));
    EXPECT_EQ(set.entries[0].curves[0].inOut, CURVE_NONE);
}
