#include "analysis/critical_points.h"

#include "analysis/map_conversion.h"
#include "test_maps.h"

namespace {

using analysis::ComplexPolynomial;
using analysis::RationalMap;
using testmaps::cd;
using testmaps::rationalMap;
using testmaps::value;

cd derivativeValue(const ComplexPolynomial& p, cd z) {
    cd w = 0;
    for (int k = p.degree; k >= 1; --k) w = w * z + double(k) * cd(p.re[k], p.im[k]);
    return w;
}

// Pole finder for Q = (z - 2)^2 (z + 1) and Q = (z - 1)(z + 1)(z - 1)(z + 1)
// returning the multiple poles as exactly equal approximations.
int exactPoles(int n, const double*, const double*, double* re, double* im) {
    const std::vector<double> three{2.0, -1.0, 2.0}, four{1.0, -1.0, 1.0, -1.0};
    for (int i = 0; i < n; ++i) {
        re[i] = n == 3 ? three[i] : four[i];
        im[i] = 0.0;
    }
    return -1;  // a coincidence; the critical point search ignores the code
}

// A quadratic's points are checked through the command line program (CliProgram).
TEST(CriticalPoints, LinearMapsAndUnknownFormsHaveNone) {
    RationalMap unknownForm = rationalMap({0.0, 0.0, 1.0}, {1.0, 0.0, 1.0});
    unknownForm.form = 3;
    for (const RationalMap& m : {testmaps::polynomialMap({1.0, 2.0}), unknownForm}) {
        EXPECT_EQ(analysis::findCriticalPoints(m).count, 0);
        EXPECT_EQ(analysis::findFixedPoints(m).count, 0);
    }
}

TEST(CriticalPoints, InfinityIsCriticalWhenTheDegreesDifferByTwoOrTheNextTermCancels) {
    const cd i(0.0, 1.0);
    struct Case {
        const char* name;
        RationalMap map;
        int infinityIsCritical;
    } cases[] = {
        {"(z^2 + 1)/z^2", rationalMap({1.0, 0.0, 1.0}, {0.0, 0.0, 1.0}), 1},
        {"1/z^2", rationalMap({1.0}, {0.0, 0.0, 1.0}), 1},
        {"z^2/(z - 1)", rationalMap({0.0, 0.0, 1.0}, {-1.0, 1.0}), 0},
        {"(z^2 + z)/(z^2 + 1)", rationalMap({0.0, 1.0, 1.0}, {1.0, 0.0, 1.0}), 0},
        {"(z^2 + iz)/(z^2 + iz + 1)", rationalMap({0.0, i, 1.0}, {1.0, i, 1.0}), 1},
        {"(z^2 + iz)/(z^2 - iz + 1): real parts agree", rationalMap({0.0, i, 1.0}, {1.0, -i, 1.0}), 0},
        // ((2 + i) z^2 + 5i z)/((1 - 3i) z^2 + (7 -+ i) z): P_2 Q_1 = (2 + i)(7 - i) = 15 + 5i = 5i (1 - 3i) = P_1 Q_2
        {"non-monic, equal", rationalMap({0.0, 5.0 * i, 2.0 + i}, {0.0, 7.0 - i, 1.0 - 3.0 * i}), 1},
        {"non-monic, imaginary parts differ", rationalMap({0.0, 5.0 * i, 2.0 + i}, {0.0, 7.0 + i, 1.0 - 3.0 * i}), 0},
    };
    for (const Case& c : cases) { EXPECT_EQ(analysis::findCriticalPoints(c.map).infinityIsCritical, c.infinityIsCritical) << c.name; }
    // 1/z^2: N = -Q' = -2z has degree dP + dQ - 1 = 1; its root 0 is listed first.
    const auto inverseSquare = analysis::findCriticalPoints(cases[1].map);
    ASSERT_GE(inverseSquare.count, 1);
    EXPECT_EQ(cd(inverseSquare.re[0], inverseSquare.im[0]), cd(0.0));
}

TEST(CriticalPoints, RandomRationalMapPointsAreZerosOfTheDerivativeNumerator) {
    // Equal degrees lose the cancelled leading term: 2d - 2 points, none of
    // them a spurious huge root.
    std::mt19937 g(12);
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    const int degrees[][2] = {{2, 1}, {3, 2}, {2, 4}, {2, 2}, {3, 3}, {4, 4}, {5, 5}, {7, 7}};
    for (const auto& d : degrees) {
        const int dP = d[0], dQ = d[1];
        std::vector<cd> p(dP + 1), q(dQ + 1);
        for (cd& c : p) c = {u(g), u(g)};
        for (cd& c : q) c = {u(g), u(g)};
        const RationalMap map = rationalMap(p, q);
        const ComplexPolynomial& P = map.numerator;
        const ComplexPolynomial& Q = map.denominator;
        const auto critical = analysis::findCriticalPoints(map);
        EXPECT_EQ(critical.count, dP + dQ - 1 - (dP == dQ ? 1 : 0)) << dP << "/" << dQ;
        for (int k = 0; k < critical.count; ++k) {
            const cd z(critical.re[k], critical.im[k]);
            const cd a = derivativeValue(P, z) * value(Q, z), b = value(P, z) * derivativeValue(Q, z);
            EXPECT_LT(std::abs(a - b), 1e-12 * (std::abs(a) + std::abs(b))) << dP << "/" << dQ << " " << k;
            EXPECT_LT(std::abs(z), 1e3);
        }
        const auto fixed = analysis::findFixedPoints(map);
        EXPECT_EQ(fixed.count, std::max(dP, dQ + 1));
        for (int k = 0; k < fixed.count; ++k) {
            const cd z(fixed.re[k], fixed.im[k]);
            EXPECT_LT(std::abs(z * value(Q, z) - value(P, z)), 1e-12 * (std::abs(z * value(Q, z)) + std::abs(value(P, z))));
        }
    }
    // z^2/(z + 1): F = z(z + 1) - z^2 = z is stripped to one fixed point 0.
    const auto fixed = analysis::findFixedPoints(rationalMap({0.0, 0.0, 1.0}, {1.0, 1.0}));
    ASSERT_EQ(fixed.count, 1);
    EXPECT_EQ(cd(fixed.re[0], fixed.im[0]), cd(0.0));
}

TEST(CriticalPoints, EachMultiplePoleIsAppendedOnceInOrderOfFirstOccurrence) {
    struct Case {
        RationalMap map;
        std::vector<double> appended;
    } cases[] = {
        {rationalMap({1.0}, {4.0, 0.0, -3.0, 1.0}), {2.0}},                  // 1/((z - 2)^2 (z + 1))
        {rationalMap({0.0, 1.0}, {1.0, 0.0, -2.0, 0.0, 1.0}), {1.0, -1.0}},  // z/((z^2 - 1)^2)
        {rationalMap({0.0, 0.0, 1.0}, {-1.0, 1.0}), {}},                     // one simple pole: no search
    };
    for (const Case& c : cases) {
        const auto withPoles = analysis::findCriticalPoints(c.map, &exactPoles);
        const auto plain = analysis::findCriticalPoints(c.map);  // approximations never exactly equal
        ASSERT_EQ(withPoles.count, plain.count + static_cast<int>(c.appended.size()));
        for (std::size_t k = 0; k < c.appended.size(); ++k)
            EXPECT_EQ(cd(withPoles.re[plain.count + k], withPoles.im[plain.count + k]), cd(c.appended[k]));
    }
}

TEST(MapConversion, BlockDegreesAreTrustedOnlyWithinRange) {
    common::RationalMap block{};
    block.form = 2;
    block.numeratorRe[2] = 1.0;
    block.numeratorIm[1] = 0.5;
    for (const auto& [degrees, want] : {std::pair{std::pair{2, -1}, 2}, {{1000, -77}, common::MAX_DEGREE}}) {
        block.numeratorDegree = degrees.first;
        block.denominatorDegree = degrees.second;
        const RationalMap m = analysis::toEngineMap(block);
        EXPECT_EQ(m.form, 2);
        ASSERT_EQ(m.numerator.degree, want);
        EXPECT_EQ(cd(m.numerator.re[2], m.numerator.im[1]), cd(1.0, 0.5));
        EXPECT_EQ(m.denominator.degree, 0);
    }
}

}  // namespace
