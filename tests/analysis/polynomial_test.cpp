#include "analysis/polynomial.h"

#include <gtest/gtest.h>

#include <complex>
#include <random>

#include "test_maps.h"

namespace {

using analysis::ComplexPolynomial;
using analysis::ComplexValue;
using analysis::RationalMap;
using testmaps::cd;
using testmaps::polynomialOf;

ComplexPolynomial randomPoly(int degree, std::mt19937& g) {
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    ComplexPolynomial p = analysis::makePolynomial(degree);
    for (int k = 0; k <= degree; ++k) {
        p.re[k] = u(g);
        p.im[k] = u(g);
    }
    return p;
}

// Independent evaluation in long double complex arithmetic.
std::complex<long double> valueAt(const ComplexPolynomial& p, cd z) {
    std::complex<long double> w = 0, zl(z.real(), z.imag());
    for (int k = p.degree; k >= 0; --k) w = w * zl + std::complex<long double>(p.re[k], p.im[k]);
    return w;
}

cd at(const ComplexPolynomial& p, cd z) {
    const ComplexValue v = analysis::evaluatePolynomial(p, {z.real(), z.imag()});
    return {v.re, v.im};
}

TEST(Evaluation, ConstantPolynomialIsItsConstantEverywhere) {
    const ComplexPolynomial p = polynomialOf({{-0.25, 3.5}});
    for (cd z : {cd(0, 0), cd(1e300, -1e300), cd(-7, 0.5)}) EXPECT_EQ(at(p, z), cd(-0.25, 3.5));
}

TEST(Evaluation, RationalPoleOnlyWhenSquaredModulusIsExactlyZero) {
    RationalMap map;
    map.form = 2;
    map.numerator = polynomialOf({1.0});
    map.denominator = polynomialOf({0.0, 1.0});  // 1/z
    EXPECT_TRUE(analysis::evaluateRational(map, {0.0, 0.0}).pole);
    // |z|^2 underflows to exactly 0.0 here: still a pole by the rule
    EXPECT_TRUE(analysis::evaluateRational(map, {1e-200, 0.0}).pole);
    const analysis::RationalValue tiny = analysis::evaluateRational(map, {1e-150, 0.0});
    EXPECT_FALSE(tiny.pole);
    EXPECT_DOUBLE_EQ(tiny.value.re, 1e150);

    map.form = 1;  // the denominator is ignored
    EXPECT_FALSE(analysis::evaluateRational(map, {0.0, 0.0}).pole);
    EXPECT_EQ(analysis::evaluateRational(map, {0.0, 0.0}).value.re, 1.0);
}

TEST(Evaluation, RationalValueIsQuotient) {
    RationalMap map;
    map.form = 2;
    map.numerator = polynomialOf({{1, 2}, {0, 0}, {3, -1}});
    map.denominator = polynomialOf({{0.5, 0}, {-1, 1}});
    const cd z(0.3, -0.8);
    const auto v = analysis::evaluateRational(map, {z.real(), z.imag()});
    const cd expected = (cd(1, 2) + cd(3, -1) * z * z) / (cd(0.5, 0) + cd(-1, 1) * z);
    EXPECT_NEAR(v.value.re, expected.real(), 1e-14);
    EXPECT_NEAR(v.value.im, expected.imag(), 1e-14);
}

TEST(Product, ValuesMultiplyAndAliasingIsSafe) {
    std::mt19937 g(3);
    ComplexPolynomial a = randomPoly(6, g);
    const ComplexPolynomial b = randomPoly(4, g);
    ComplexPolynomial out;
    analysis::multiplyPolynomials(a, b, out);
    ASSERT_EQ(out.degree, 10);
    for (cd z : {cd(0.4, 0.9), cd(-1.2, 0.1)}) {
        const auto expected = valueAt(a, z) * valueAt(b, z);
        EXPECT_NEAR(at(out, z).real(), (double)expected.real(), 1e-13);
        EXPECT_NEAR(at(out, z).imag(), (double)expected.imag(), 1e-13);
    }
    analysis::multiplyPolynomials(a, b, a);  // out == a
    for (int k = 0; k <= 10; ++k) {
        EXPECT_EQ(a.re[k], out.re[k]);
        EXPECT_EQ(a.im[k], out.im[k]);
    }
}

TEST(Product, NoStrippingOfZeroLeadingCoefficients) {
    ComplexPolynomial out;
    analysis::multiplyPolynomials(polynomialOf({1.0, 0.0}), polynomialOf({2.0, 1.0}), out);
    EXPECT_EQ(out.degree, 2);
    EXPECT_EQ(out.re[2], 0.0);
}

TEST(Division, ByALinearFactorGivesQuotientAndRemainder) {
    struct Case {
        std::vector<cd> num;
        int result;
        double remainder;
    } cases[] = {{{-1.0, 0.0, 1.0}, -1, 0.0},  // (z^2 - 1) / (z - 1): exact
                 {{0.0, 0.0, 1.0}, 0, 1.0}};   // z^2 / (z - 1): remainder 1
    for (const Case& c : cases) {
        ComplexPolynomial q, r;
        EXPECT_EQ(analysis::dividePolynomials(polynomialOf(c.num), polynomialOf({-1.0, 1.0}), q, &r), c.result);
        ASSERT_EQ(q.degree, 1);
        EXPECT_EQ(at(q, 0.0), cd(1.0));  // quotient z + 1 in both cases
        EXPECT_EQ(q.re[1], 1.0);
        EXPECT_EQ(r.re[0], c.remainder);
        EXPECT_EQ(r.im[0], 0.0);
    }
}

TEST(Division, QuotientTimesDivisorPlusRemainderGivesNumerator) {
    std::mt19937 g(11);
    const ComplexPolynomial num = randomPoly(9, g), den = randomPoly(4, g);
    ComplexPolynomial q, r, back;
    const int rDegree = analysis::dividePolynomials(num, den, q, &r);
    EXPECT_EQ(q.degree, 5);
    EXPECT_EQ(rDegree, 3);
    analysis::multiplyPolynomials(q, den, back);
    for (int k = 0; k <= 9; ++k) {
        const double rr = k <= r.degree ? r.re[k] : 0.0, ri = k <= r.degree ? r.im[k] : 0.0;
        EXPECT_NEAR(back.re[k] + rr, num.re[k], 1e-12) << k;
        EXPECT_NEAR(back.im[k] + ri, num.im[k], 1e-12) << k;
    }
}

TEST(Division, ComplexLeadingCoefficientUsesConjugateFormula) {
    // (z - i)(2i z + 1) / (2i z + 1): the quotient is z - i exactly
    const ComplexPolynomial den = polynomialOf({{1, 0}, {0, 2}});
    ComplexPolynomial num;
    analysis::multiplyPolynomials(polynomialOf({{0, -1}, {1, 0}}), den, num);
    ComplexPolynomial q;
    EXPECT_EQ(analysis::dividePolynomials(num, den, q), -1);
    EXPECT_EQ(q.re[1], 1.0);
    EXPECT_EQ(q.im[1], 0.0);
    EXPECT_EQ(q.re[0], 0.0);
    EXPECT_EQ(q.im[0], -1.0);
}

TEST(Composition, QuadraticWithItself) {
    const cd c(-0.12, 0.75);
    const ComplexPolynomial f = polynomialOf({c, 0.0, 1.0});
    const ComplexPolynomial ff = analysis::composePolynomials(f, f);
    ASSERT_EQ(ff.degree, 4);
    const cd expected[5] = {c * c + c, 0.0, 2.0 * c, 0.0, 1.0};
    for (int k = 0; k <= 4; ++k) {
        EXPECT_NEAR(ff.re[k], expected[k].real(), 1e-16) << k;
        EXPECT_NEAR(ff.im[k], expected[k].imag(), 1e-16) << k;
    }
}

TEST(Composition, ValuesCompose) {
    std::mt19937 g(5);
    const ComplexPolynomial outer = randomPoly(3, g), inner = randomPoly(4, g);
    const ComplexPolynomial h = analysis::composePolynomials(outer, inner);
    EXPECT_EQ(h.degree, 12);
    const cd z(0.6, -0.35);
    const cd expected = at(outer, at(inner, z));
    EXPECT_NEAR(at(h, z).real(), expected.real(), 1e-12);
    EXPECT_NEAR(at(h, z).imag(), expected.imag(), 1e-12);
}

TEST(Power, ValuesArePowers) {
    const ComplexPolynomial p = polynomialOf({{1, 1}, {0, -2}, {0.5, 0}});
    EXPECT_EQ(analysis::powerPolynomial(p, 1).re, p.re);
    const cd z(0.2, 0.9), v = at(p, z);
    for (int e : {2, 3}) {
        const ComplexPolynomial pe = analysis::powerPolynomial(p, e);
        EXPECT_EQ(pe.degree, 2 * e);
        EXPECT_NEAR(std::abs(at(pe, z) - std::pow(v, e)), 0.0, 1e-14) << e;
    }
}

TEST(RationalComposition, InverseWithItselfIsIdentity) {
    RationalMap inv;
    inv.form = 2;
    inv.numerator = polynomialOf({1.0});
    inv.denominator = polynomialOf({0.0, 1.0});
    const RationalMap r = analysis::composeRationalMaps(inv, inv);
    EXPECT_EQ(r.form, 2);
    ASSERT_EQ(r.numerator.degree, 1);
    EXPECT_EQ(r.numerator.re[1], 1.0);
    EXPECT_EQ(r.numerator.re[0], 0.0);
    ASSERT_EQ(r.denominator.degree, 0);  // nominal degree 1, stripped
    EXPECT_EQ(r.denominator.re[0], 1.0);
}

TEST(RationalComposition, ValuesComposeForEveryDegreeOrder) {
    std::mt19937 g(9);
    // (deg A, deg B) with a < b, a > b and a == b; inner maps likewise
    const int shapes[][4] = {{1, 3, 2, 1}, {3, 1, 1, 2}, {2, 2, 2, 2}, {0, 2, 3, 0}};
    for (const auto& s : shapes) {
        RationalMap outer, inner;
        outer.form = inner.form = 2;
        outer.numerator = randomPoly(s[0], g);
        outer.denominator = randomPoly(s[1], g);
        inner.numerator = randomPoly(s[2], g);
        inner.denominator = randomPoly(s[3], g);
        const RationalMap h = analysis::composeRationalMaps(outer, inner);
        const int m = std::max(s[0], s[1]), n = std::max(s[2], s[3]);
        EXPECT_LE(h.numerator.degree, s[0] * n + (m - s[0]) * s[3]);
        for (cd z : {cd(0.3, 0.4), cd(-0.9, 0.2)}) {
            const cd w = at(inner.numerator, z) / at(inner.denominator, z);
            const cd expected = at(outer.numerator, w) / at(outer.denominator, w);
            const cd got = at(h.numerator, z) / at(h.denominator, z);
            EXPECT_NEAR(std::abs(got - expected), 0.0, 1e-10 * (1 + std::abs(expected)));
        }
    }
}

TEST(RationalComposition, PolynomialFormUsesDenominatorOne) {
    RationalMap f;  // form 1, denominator left garbage on purpose
    f.numerator = polynomialOf({{0.25, 0}, 0.0, 1.0});
    f.denominator = polynomialOf({0.0});
    const RationalMap ff = analysis::composeRationalMaps(f, f);
    ASSERT_EQ(ff.denominator.degree, 0);
    EXPECT_EQ(ff.denominator.re[0], 1.0);
    const ComplexPolynomial expected = analysis::composePolynomials(f.numerator, f.numerator);
    ASSERT_EQ(ff.numerator.degree, 4);
    for (int k = 0; k <= 4; ++k) EXPECT_DOUBLE_EQ(ff.numerator.re[k], expected.re[k]);
}

}  // namespace
