// Accuracy of the whole analysis on maps where double precision defeats the
// literal tolerances (superattracting cycles off the representable points,
// parabolic and Misiurewicz maps, tiny and huge coefficients, iterates that
// overflow): kinds, periods and points against values derived in high
// precision by accuracy_table.py, which regenerates the table below.
#include "analysis/julia_analysis.h"

#include "test_maps.h"

using namespace analysis;

namespace {

using testmaps::cd;

struct ExpectedCycle {
    int period;
    PointKind kind;
    cd point;  // one point of the cycle
};

struct Row {
    const char* name;
    std::vector<cd> numerator, denominator;  // ascending powers; {1}: a polynomial
    bool checkPoints;                        // critical and fixed points below are checked
    std::vector<cd> critical, fixed;         // their distinct values
    std::vector<ExpectedCycle> cycles;       // every finite cycle, algebraic or found by an orbit
    int repellingLandings;                   // critical orbits that land on a repelling cycle
    int periodsSearched;                     // -1: not checked
    double scale;                            // size of the fixed points
};
void PrintTo(const Row& row, std::ostream* os) { *os << row.name; }

// clang-format off
const Row ROWS[] = {
    // BEGIN GENERATED TABLE (accuracy_table.py)
    {"Newton map of z^5 - 1", {cd(1.0, 0.0), cd(0.0, 0.0), cd(0.0, 0.0), cd(0.0, 0.0), cd(0.0, 0.0), cd(4.0, 0.0)}, {cd(0.0, 0.0), cd(0.0, 0.0), cd(0.0, 0.0), cd(0.0, 0.0), cd(5.0, 0.0)}, false, {}, {},
     {{1, PointKind::SuperAttracting, cd(1.0, 0.0)}, {1, PointKind::SuperAttracting, cd(-0.8090169943749475, -0.5877852522924731)}, {1, PointKind::SuperAttracting, cd(-0.8090169943749475, 0.5877852522924731)}, {1, PointKind::SuperAttracting, cd(0.30901699437494745, -0.9510565162951535)}, {1, PointKind::SuperAttracting, cd(0.30901699437494745, 0.9510565162951535)}}, 0, 4, 1.0},
    {"Newton map of z^3 - 1", {cd(1.0, 0.0), cd(0.0, 0.0), cd(0.0, 0.0), cd(2.0, 0.0)}, {cd(0.0, 0.0), cd(0.0, 0.0), cd(3.0, 0.0)}, true, {cd(0.0, 0.0), cd(1.0, 0.0), cd(-0.5, -0.8660254037844386), cd(-0.5, 0.8660254037844386), cd(0.0, 0.0)}, {cd(1.0, 0.0), cd(-0.5, -0.8660254037844386), cd(-0.5, 0.8660254037844386)},
     {{1, PointKind::SuperAttracting, cd(1.0, 0.0)}, {1, PointKind::SuperAttracting, cd(-0.5, -0.8660254037844386)}, {1, PointKind::SuperAttracting, cd(-0.5, 0.8660254037844386)}}, 0, 6, 1.0},
    {"Newton map of z^3 - 2z + 2", {cd(-2.0, 0.0), cd(0.0, 0.0), cd(0.0, 0.0), cd(2.0, 0.0)}, {cd(-2.0, 0.0), cd(0.0, 0.0), cd(3.0, 0.0)}, true, {cd(0.0, 0.0), cd(-1.7692923542386314, 0.0), cd(0.8846461771193157, 0.5897428050222056), cd(0.8846461771193157, -0.5897428050222056)}, {cd(-1.7692923542386314, 0.0), cd(0.8846461771193157, -0.5897428050222056), cd(0.8846461771193157, 0.5897428050222056)},
     {{2, PointKind::SuperAttracting, cd(0.0, 0.0)}, {1, PointKind::SuperAttracting, cd(-1.7692923542386314, 0.0)}, {1, PointKind::SuperAttracting, cd(0.8846461771193157, 0.5897428050222056)}, {1, PointKind::SuperAttracting, cd(0.8846461771193157, -0.5897428050222056)}}, 0, -1, 1.7692923542386314},
    {"z^10 - 1", {cd(-1.0, 0.0), cd(0.0, 0.0), cd(0.0, 0.0), cd(0.0, 0.0), cd(0.0, 0.0), cd(0.0, 0.0), cd(0.0, 0.0), cd(0.0, 0.0), cd(0.0, 0.0), cd(0.0, 0.0), cd(1.0, 0.0)}, {cd(1.0, 0.0)}, false, {}, {},
     {{2, PointKind::SuperAttracting, cd(0.0, 0.0)}}, 0, 3, 1.0757660660868371},
    {"z^2 + i (Misiurewicz)", {cd(0.0, 1.0), cd(0.0, 0.0), cd(1.0, 0.0)}, {cd(1.0, 0.0)}, true, {cd(0.0, 0.0)}, {cd(-0.3002425902201204, 0.6248105338438266), cd(1.3002425902201205, -0.6248105338438266)},
     {}, 1, 10, 1.4425737404460597},
    {"z^2 - 2 (Misiurewicz)", {cd(-2.0, 0.0), cd(0.0, 0.0), cd(1.0, 0.0)}, {cd(1.0, 0.0)}, true, {cd(0.0, 0.0)}, {cd(-1.0, 0.0), cd(2.0, 0.0)},
     {}, 1, 10, 2.0},
    {"z^2 + 1/4 (parabolic, lambda 1)", {cd(0.25, 0.0), cd(0.0, 0.0), cd(1.0, 0.0)}, {cd(1.0, 0.0)}, false, {}, {},
     {{1, PointKind::Indifferent, cd(0.5, 0.0)}}, 0, 10, 0.5},
    {"z^2 - 3/4 (parabolic, lambda -1)", {cd(-0.75, 0.0), cd(0.0, 0.0), cd(1.0, 0.0)}, {cd(1.0, 0.0)}, true, {cd(0.0, 0.0)}, {cd(-0.5, 0.0), cd(1.5, 0.0)},
     {{1, PointKind::Indifferent, cd(-0.5, 0.0)}}, 0, 10, 1.5},
    {"z^2 - 5/4 (parabolic 2-cycle)", {cd(-1.25, 0.0), cd(0.0, 0.0), cd(1.0, 0.0)}, {cd(1.0, 0.0)}, true, {cd(0.0, 0.0)}, {cd(-0.724744871391589, 0.0), cd(1.724744871391589, 0.0)},
     {{2, PointKind::Indifferent, cd(0.20710678118654752, 0.0)}}, 0, 10, 1.724744871391589},
    {"z^2 - 7/4 (parabolic 3-cycle)", {cd(-1.75, 0.0), cd(0.0, 0.0), cd(1.0, 0.0)}, {cd(1.0, 0.0)}, false, {}, {},
     {{3, PointKind::Indifferent, cd(-0.05495813208737119, 0.0)}}, 0, 10, 1.9142135623730951},
    {"z^2 + 1/4 + i/2 (parabolic, lambda i)", {cd(0.25, 0.5), cd(0.0, 0.0), cd(1.0, 0.0)}, {cd(1.0, 0.0)}, true, {cd(0.0, 0.0)}, {cd(0.0, 0.5), cd(1.0, -0.5)},
     {{1, PointKind::Indifferent, cd(0.0, 0.5)}}, 0, 10, 1.118033988749895},
    {"(0.5z^7 + z)/(z^10 + z^2 + 1) (parabolic 0)", {cd(0.0, 0.0), cd(1.0, 0.0), cd(0.0, 0.0), cd(0.0, 0.0), cd(0.0, 0.0), cd(0.0, 0.0), cd(0.0, 0.0), cd(0.5, 0.0)}, {cd(1.0, 0.0), cd(0.0, 0.0), cd(1.0, 0.0), cd(0.0, 0.0), cd(0.0, 0.0), cd(0.0, 0.0), cd(0.0, 0.0), cd(0.0, 0.0), cd(0.0, 0.0), cd(0.0, 0.0), cd(1.0, 0.0)}, false, {}, {},
     {{1, PointKind::Indifferent, cd(0.0, 0.0)}}, 0, 3, 1.0},
    {"1e-300 z^2", {cd(0.0, 0.0), cd(0.0, 0.0), cd(1e-300, 0.0)}, {cd(1.0, 0.0)}, true, {cd(0.0, 0.0)}, {cd(0.0, 0.0), cd(9.999999999999999e+299, 0.0)},
     {{1, PointKind::SuperAttracting, cd(0.0, 0.0)}}, 0, 10, 9.999999999999999e+299},
    {"1e300 z^2", {cd(0.0, 0.0), cd(0.0, 0.0), cd(1e+300, 0.0)}, {cd(1.0, 0.0)}, true, {cd(0.0, 0.0)}, {cd(0.0, 0.0), cd(1e-300, 0.0)},
     {{1, PointKind::SuperAttracting, cd(0.0, 0.0)}}, 0, 10, 1e-300},
    {"z^3 + 1e-170 z^2", {cd(0.0, 0.0), cd(0.0, 0.0), cd(1e-170, 0.0), cd(1.0, 0.0)}, {cd(1.0, 0.0)}, true, {cd(0.0, 0.0), cd(-6.666666666666667e-171, 0.0)}, {cd(0.0, 0.0), cd(-1.0, 0.0), cd(1.0, 0.0)},
     {{1, PointKind::SuperAttracting, cd(0.0, 0.0)}}, 0, 6, 1.0},
    {"(z^2 + 1)/(z^2 - 1/4)", {cd(1.0, 0.0), cd(0.0, 0.0), cd(1.0, 0.0)}, {cd(-0.25, 0.0), cd(0.0, 0.0), cd(1.0, 0.0)}, true, {cd(0.0, 0.0)}, {cd(1.5668713550551325, 0.0), cd(-0.28343567752756627, -0.7469127826872856), cd(-0.28343567752756627, 0.7469127826872856)},
     {{1, PointKind::Attracting, cd(1.5668713550551325, 0.0)}}, 0, 10, 1.5668713550551325},
    // END GENERATED TABLE
};
// clang-format on

RationalMap mapOf(const std::vector<cd>& numerator, const std::vector<cd>& denominator) {
    RationalMap map = testmaps::rationalMap(numerator, denominator);
    stripPolynomial(map.numerator);
    stripPolynomial(map.denominator);
    map.form = map.denominator.degree == 0 ? 1 : 2;
    return map;
}

// Each computed point lies within 1e-12 (relative to its size, or to the
// largest expected point near 0) of an expected one, and each expected one is met.
void expectSamePoints(const std::vector<double>& re, const std::vector<double>& im, int count,
                      const std::vector<cd>& expected) {
    double size = 0;
    for (const cd& e : expected) size = std::max(size, std::abs(e));
    std::vector<bool> met(expected.size(), false);
    for (int i = 0; i < count; ++i) {
        const cd z(re[i], im[i]);
        bool near = false;
        for (std::size_t e = 0; e < expected.size(); ++e)
            if (std::abs(z - expected[e]) <= 1e-12 * std::max(std::abs(expected[e]), size)) near = met[e] = true;
        EXPECT_TRUE(near) << "unexpected point " << z;
    }
    for (std::size_t e = 0; e < expected.size(); ++e) EXPECT_TRUE(met[e]) << "missed point " << expected[e];
}

class AnalysisAccuracy : public testing::TestWithParam<Row> {};

TEST_P(AnalysisAccuracy, KindsPeriodsAndPointsMatchHighPrecisionValues) {
    const Row& row = GetParam();
    SCOPED_TRACE(row.name);
    const JuliaAnalysis a = analyseJulia(mapOf(row.numerator, row.denominator), AnalysisSettings{});
    if (row.checkPoints) {
        expectSamePoints(a.criticalPoints.re, a.criticalPoints.im, a.criticalPoints.count, row.critical);
        expectSamePoints(a.fixedPoints.re, a.fixedPoints.im, a.fixedPoints.count, row.fixed);
    }
    std::vector<const Cycle*> finite;
    for (const Cycle& c : a.orbits.cycles.cycles)
        if (c.toInfinity == 0) finite.push_back(&c);
    EXPECT_EQ(finite.size(), row.cycles.size());
    for (const ExpectedCycle& e : row.cycles) {
        bool found = false;
        for (const Cycle* c : finite)
            for (int p = 0; p < c->period && !found; ++p)
                found = c->period == e.period && c->kind == e.kind &&
                        std::abs(cd(c->re[p], c->im[p]) - e.point) <= 1e-9 * std::max(std::abs(e.point), row.scale);
        EXPECT_TRUE(found) << "missed cycle of period " << e.period << " kind " << static_cast<int>(e.kind)
                           << " through " << e.point;
    }
    int landings = 0;
    for (const CriticalOrbitResult& r : a.orbits.criticalOrbits) landings += r.fate == OrbitFate::RepellingCycle;
    EXPECT_EQ(landings, row.repellingLandings);
    if (row.periodsSearched >= 0) {
        EXPECT_EQ(a.orbits.periodicSearch.periodsSearched, row.periodsSearched);
    }
    EXPECT_EQ(a.orbits.periodicSearch.end, row.periodsSearched >= 0 ? PeriodicSearchEnd::Completed
                                                                     : PeriodicSearchEnd::CapacityFull);
}

INSTANTIATE_TEST_SUITE_P(Maps, AnalysisAccuracy, testing::ValuesIn(ROWS));

}  // namespace
