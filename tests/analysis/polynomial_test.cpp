#include "analysis/polynomial.h"

#include "test_maps.h"

namespace {

using analysis::ComplexPolynomial;
using analysis::RationalMap;
using testmaps::cd;
using testmaps::polynomialOf;
using testmaps::value;

ComplexPolynomial randomPoly(int degree, std::mt19937& g) {
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    ComplexPolynomial p = analysis::makePolynomial(degree);
    for (int k = 0; k <= degree; ++k) {
        p.re[k] = u(g);
        p.im[k] = u(g);
    }
    return p;
}

cd at(const ComplexPolynomial& p, cd z) {
    const analysis::ComplexValue v = analysis::evaluatePolynomial(p, {z.real(), z.imag()});
    return {v.re, v.im};
}

TEST(Evaluation, HornerAndRationalQuotientWithExactPoles) {
    EXPECT_EQ(at(polynomialOf({{-0.25, 3.5}}), cd(1e300, -1e300)), cd(-0.25, 3.5));
    const cd z(0.3, -0.8);
    const ComplexPolynomial p = polynomialOf({{1, 2}, {0, 0}, {3, -1}});
    EXPECT_LT(std::abs(at(p, z) - (cd(1, 2) + cd(3, -1) * z * z)), 1e-15);
    RationalMap map = testmaps::rationalMap({{1, 2}, {0, 0}, {3, -1}}, {{0.5, 0}, {-1, 1}});
    const auto v = analysis::evaluateRational(map, {z.real(), z.imag()});
    EXPECT_LT(std::abs(cd(v.value.re, v.value.im) - value(map.numerator, z) / value(map.denominator, z)), 1e-14);
    // A pole only where |Q|^2 is exactly 0.0, including an underflow.
    map = testmaps::rationalMap({1.0}, {0.0, 1.0});
    EXPECT_TRUE(analysis::evaluateRational(map, {0.0, 0.0}).pole);
    EXPECT_TRUE(analysis::evaluateRational(map, {1e-200, 0.0}).pole);
    EXPECT_DOUBLE_EQ(analysis::evaluateRational(map, {1e-150, 0.0}).value.re, 1e150);
    map.form = 1;  // the denominator is ignored
    EXPECT_FALSE(analysis::evaluateRational(map, {0.0, 0.0}).pole);
}

TEST(Division, QuotientTimesDivisorPlusRemainderGivesNumerator) {
    struct Case {
        std::vector<cd> num, den;
        int remainderDegree;
    } cases[] = {{{-1.0, 0.0, 1.0}, {-1.0, 1.0}, -1},  // (z^2 - 1)/(z - 1)
                 {{0.0, 0.0, 1.0}, {-1.0, 1.0}, 0},    // z^2/(z - 1): remainder 1
                 {{{0, -1}, {3, -1}, {3, 2}, {0, 2}}, {{1, 0}, {0, 2}}, -1},  // (z - i)(2iz + 1)(z + 1)/(2iz + 1)
                 {{0.0, 0.0, 0.0, 1.0, 1.0}, {{0, 1}, 0.0, 1.0}, 1}};  // (z^4 + z^3)/(z^2 + i): remainder -iz - 1
    for (const Case& c : cases) {
        const ComplexPolynomial num = polynomialOf(c.num), den = polynomialOf(c.den);
        ComplexPolynomial q, r;
        EXPECT_EQ(analysis::dividePolynomials(num, den, q, &r), c.remainderDegree);
        EXPECT_EQ(q.degree, num.degree - den.degree);
        for (cd z : {cd(0.3, 0.7), cd(-2.0, 0.5)}) {
            const cd rest = c.remainderDegree < 0 ? 0.0 : at(r, z);
            EXPECT_LT(std::abs(at(q, z) * at(den, z) + rest - at(num, z)), 1e-14) << c.remainderDegree;
        }
    }
}

// Products are checked through the powers and compositions built from them.
TEST(Composition, ValuesComposeForPolynomialsPowersAndRationalMaps) {
    const cd c(-0.12, 0.75);
    const ComplexPolynomial f = polynomialOf({c, 0.0, 1.0});
    EXPECT_LT(std::abs(at(analysis::composePolynomials(f, f), c) - at(f, at(f, c))), 1e-15);
    for (int e : {1, 2, 3}) {  // products into their own left factor
        const ComplexPolynomial pe = analysis::powerPolynomial(f, e);
        EXPECT_EQ(pe.degree, 2 * e);
        EXPECT_LT(std::abs(at(pe, c) - std::pow(at(f, c), e)), 1e-14) << e;
    }
    std::mt19937 g(9);
    // (deg A, deg B, deg P, deg Q): a < b, a > b, a == b, constant numerator
    const int shapes[][4] = {{1, 3, 2, 1}, {3, 1, 1, 2}, {2, 2, 2, 2}, {0, 2, 3, 0}};
    for (const auto& s : shapes) {
        RationalMap outer, inner;
        outer.form = inner.form = 2;
        outer.numerator = randomPoly(s[0], g);
        outer.denominator = randomPoly(s[1], g);
        inner.numerator = randomPoly(s[2], g);
        inner.denominator = randomPoly(s[3], g);
        const RationalMap h = analysis::composeRationalMaps(outer, inner);
        for (cd z : {cd(0.3, 0.4), cd(-0.9, 0.2)}) {
            const cd want = testmaps::apply(outer, testmaps::apply(inner, z));
            EXPECT_LT(std::abs(testmaps::apply(h, z) - want), 1e-10 * (1 + std::abs(want))) << s[0] << s[1];
        }
    }
    // 1/z composed with itself is z/1 after stripping.
    const RationalMap inv = testmaps::rationalMap({1.0}, {0.0, 1.0});
    const RationalMap id = analysis::composeRationalMaps(inv, inv);
    ASSERT_EQ(id.numerator.degree, 1);
    EXPECT_EQ(id.denominator.degree, 0);
    EXPECT_EQ(id.numerator.re[1] / id.denominator.re[0], 1.0);
    // A polynomial map composes with denominator 1 whatever its stored one.
    RationalMap poly = testmaps::polynomialMap({0.25, 0.0, 1.0});
    poly.denominator = polynomialOf({0.0});
    const RationalMap pp = analysis::composeRationalMaps(poly, poly);
    ASSERT_EQ(pp.denominator.degree, 0);
    EXPECT_EQ(pp.denominator.re[0], 1.0);
    EXPECT_LT(std::abs(at(pp.numerator, c) - at(poly.numerator, at(poly.numerator, c))), 1e-15);
}

}  // namespace
