#include "analysis/critical_points.h"

#include <gtest/gtest.h>

#include <complex>
#include <random>
#include <vector>

#include "analysis/map_conversion.h"
#include "analysis/root_finder.h"
#include "test_maps.h"

namespace {

using analysis::ComplexPolynomial;
using analysis::RationalMap;
using testmaps::cd;
using testmaps::polynomialOf;
using testmaps::rationalMap;

cd value(const ComplexPolynomial& p, cd z) {
    cd w = 0;
    for (int k = p.degree; k >= 0; --k) w = w * z + cd(p.re[k], p.im[k]);
    return w;
}

cd derivativeValue(const ComplexPolynomial& p, cd z) {
    cd w = 0;
    for (int k = p.degree; k >= 1; --k) w = w * z + double(k) * cd(p.re[k], p.im[k]);
    return w;
}

TEST(CriticalPoints, QuadraticPolynomial) {
    const cd c(-0.12, 0.75);
    RationalMap f;
    f.numerator = polynomialOf({c, 0.0, 1.0});
    const auto critical = analysis::findCriticalPoints(f);
    ASSERT_EQ(critical.count, 1);
    EXPECT_EQ(critical.re[0], 0.0);
    EXPECT_EQ(critical.im[0], 0.0);
    EXPECT_EQ(critical.infinityIsCritical, 0);

    // fixed points: roots of z^2 - z + c
    const auto fixed = analysis::findFixedPoints(f);
    ASSERT_EQ(fixed.count, 2);
    const cd s = std::sqrt(1.0 - 4.0 * c);
    const cd r1 = (1.0 + s) / 2.0, r2 = (1.0 - s) / 2.0;
    for (int k = 0; k < 2; ++k) {
        const cd z(fixed.re[k], fixed.im[k]);
        EXPECT_LT(std::min(std::abs(z - r1), std::abs(z - r2)), 1e-14);
    }
    EXPECT_GT(std::abs(cd(fixed.re[0], fixed.im[0]) - cd(fixed.re[1], fixed.im[1])), 0.5);
}

TEST(CriticalPoints, LinearPolynomialsAndUnknownFormsGiveEmptyLists) {
    RationalMap unknownForm = rationalMap({0.0, 0.0, 1.0}, {1.0, 0.0, 1.0});
    unknownForm.form = 3;
    for (const RationalMap& f : {testmaps::polynomialMap({1.0, 2.0}), unknownForm}) {
        const auto critical = analysis::findCriticalPoints(f);
        EXPECT_EQ(critical.count, 0);
        EXPECT_EQ(critical.infinityIsCritical, 0);
        EXPECT_EQ(analysis::findFixedPoints(f).count, 0);
    }
}

TEST(CriticalPoints, InfinityIsCriticalWhenTheDegreesDifferByTwoOrTheNextTermCancels) {
    struct Case {
        const char* name;
        RationalMap map;
        int infinityIsCritical;
    } cases[] = {
        {"(z^2 + 1)/z^2", rationalMap({1.0, 0.0, 1.0}, {0.0, 0.0, 1.0}), 1},
        {"1/z^2", rationalMap({1.0}, {0.0, 0.0, 1.0}), 1},
        {"z^2/(z - 1)", rationalMap({0.0, 0.0, 1.0}, {-1.0, 1.0}), 0},
        {"(z^2 + z)/(z^2 + 1)", rationalMap({0.0, 1.0, 1.0}, {1.0, 0.0, 1.0}), 0},
    };
    for (const Case& c : cases) {
        const auto critical = analysis::findCriticalPoints(c.map);
        EXPECT_EQ(critical.infinityIsCritical, c.infinityIsCritical) << c.name;
    }
}

TEST(CriticalPoints, EqualDegreesCancelTheLeadingTerm) {
    // (z^2 + 1)/z^2: N = -2z after the explicit zeroing and stripping
    const auto critical = analysis::findCriticalPoints(rationalMap({1.0, 0.0, 1.0}, {0.0, 0.0, 1.0}));
    ASSERT_GE(critical.count, 1);
    EXPECT_EQ(critical.re[0], 0.0);
    EXPECT_EQ(critical.im[0], 0.0);
    // the double pole 0 is appended once when its two computed roots are equal
    double pr[2], pi[2];
    const double qr[3] = {0, 0, 1}, qi[3] = {0, 0, 0};
    analysis::findRoots(2, qr, qi, pr, pi);
    const bool equalPoles = pr[0] == pr[1] && pi[0] == pi[1];
    EXPECT_EQ(critical.count, equalPoles ? 2 : 1);
    if (equalPoles) {
        EXPECT_EQ(critical.re[1], pr[0]);
        EXPECT_EQ(critical.im[1], pi[0]);
    }
}

TEST(CriticalPoints, DegreeDifferenceOneHasNoPoleSearch) {
    // z^2/(z - 1): N = 2z(z - 1) - z^2 = z^2 - 2z, roots 0 and 2; no pole search
    const auto critical = analysis::findCriticalPoints(rationalMap({0.0, 0.0, 1.0}, {-1.0, 1.0}));
    ASSERT_EQ(critical.count, 2);
    double a = critical.re[0], b = critical.re[1];
    if (a > b) std::swap(a, b);
    EXPECT_NEAR(a, 0.0, 1e-15);
    EXPECT_NEAR(b, 2.0, 1e-15);
}

TEST(CriticalPoints, RandomRationalMapPointsAreZerosOfTheDerivativeNumerator) {
    std::mt19937 g(12);
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    for (int trial = 0; trial < 5; ++trial) {
        const int dP = 2 + trial % 3, dQ = 1 + trial;
        std::vector<cd> p(static_cast<std::size_t>(dP) + 1), q(static_cast<std::size_t>(dQ) + 1);
        for (cd& c : p) c = {u(g), u(g)};
        for (cd& c : q) c = {u(g), u(g)};
        const RationalMap map = rationalMap(p, q);
        const ComplexPolynomial& P = map.numerator;
        const ComplexPolynomial& Q = map.denominator;
        const auto critical = analysis::findCriticalPoints(map);
        EXPECT_EQ(critical.count, dP + dQ - 1 - (dP == dQ ? 1 : 0));
        for (int k = 0; k < critical.count; ++k) {
            const cd z(critical.re[k], critical.im[k]);
            const cd n = derivativeValue(P, z) * value(Q, z) - value(P, z) * derivativeValue(Q, z);
            const double scale = std::abs(derivativeValue(P, z) * value(Q, z)) + std::abs(value(P, z) * derivativeValue(Q, z));
            EXPECT_LT(std::abs(n), 1e-12 * scale) << trial << " " << k;
        }
        const auto fixed = analysis::findFixedPoints(map);
        EXPECT_EQ(fixed.count, std::max(dP, dQ + 1));
        for (int k = 0; k < fixed.count; ++k) {
            const cd z(fixed.re[k], fixed.im[k]);
            const double scale = std::abs(z * value(Q, z)) + std::abs(value(P, z));
            EXPECT_LT(std::abs(z * value(Q, z) - value(P, z)), 1e-12 * scale) << trial << " " << k;
        }
    }
}

TEST(FixedPoints, RationalMapStripsF) {
    // R = z^2 / (z + 1)... F = z(z + 1) - z^2 = z: one fixed point 0
    const auto fixed = analysis::findFixedPoints(rationalMap({0.0, 0.0, 1.0}, {1.0, 1.0}));
    ASSERT_EQ(fixed.count, 1);
    EXPECT_EQ(fixed.re[0], 0.0);
    EXPECT_EQ(fixed.im[0], 0.0);
}

TEST(MapConversion, BlockDegreesAreTrustedOnlyWithinRange) {
    common::RationalMap block{};
    block.form = 2;
    block.numeratorDegree = 2;
    block.denominatorDegree = -1;
    block.numeratorRe[2] = 1.0;
    block.numeratorIm[1] = 0.5;
    block.numeratorRe[3] = 9.0;  // beyond the degree: ignored
    const RationalMap m = analysis::toEngineMap(block);
    EXPECT_EQ(m.form, 2);
    ASSERT_EQ(m.numerator.degree, 2);
    EXPECT_EQ(m.numerator.re[2], 1.0);
    EXPECT_EQ(m.numerator.im[1], 0.5);
    EXPECT_EQ(m.denominator.degree, 0);
    EXPECT_EQ(m.denominator.re[0], 0.0);

    block.numeratorDegree = 1000;
    block.denominatorDegree = -77;
    const RationalMap clamped = analysis::toEngineMap(block);
    EXPECT_EQ(clamped.numerator.degree, common::MAX_DEGREE);
    EXPECT_EQ(clamped.denominator.degree, 0);
}

}  // namespace
