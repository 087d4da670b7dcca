#include "analysis/root_finder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <limits>
#include <numbers>
#include <random>
#include <vector>

namespace {

using cl = std::complex<long double>;

struct Poly {
    std::vector<double> re, im;
    int degree() const { return static_cast<int>(re.size()) - 1; }
};

struct Roots {
    int rc = 0;
    std::vector<double> re, im;
};

Roots solve(const Poly& p) {
    Roots r;
    r.re.assign(p.degree(), std::nan(""));
    r.im.assign(p.degree(), std::nan(""));
    r.rc = analysis::findRoots(p.degree(), p.re.data(), p.im.data(), r.re.data(), r.im.data());
    return r;
}

Poly randomCoefficients(int n, unsigned seed) {
    std::mt19937_64 g(seed);
    std::normal_distribution<double> d(0.0, 1.0);
    Poly p;
    for (int k = 0; k <= n; ++k) {
        p.re.push_back(d(g));
        p.im.push_back(d(g));
    }
    return p;
}

// Relative backward error |p(r)| / sum |a_k| |r|^k in long double; through
// the reversed polynomial for |r| > 1 so high degrees do not overflow.
long double backwardError(const Poly& p, double re, double im) {
    const int n = p.degree();
    cl x(re, im);
    const bool reversed = std::abs(x) > 1;
    if (reversed) x = 1.0L / x;
    const long double ax = std::abs(x);
    cl value = 0;
    long double scale = 0;
    for (int t = 0; t <= n; ++t) {
        const int k = reversed ? t : n - t;
        const cl a(p.re[k], p.im[k]);
        value = value * x + a;
        scale = scale * ax + std::abs(a);
    }
    return std::abs(value) / scale;
}

// Coefficients of prod (z - r_k), expanded in long double.
Poly fromRoots(const std::vector<std::complex<double>>& roots) {
    std::vector<cl> c{1.0L};
    for (const auto& r : roots) {
        std::vector<cl> next(c.size() + 1, 0.0L);
        for (std::size_t k = 0; k < c.size(); ++k) {
            next[k + 1] += c[k];
            next[k] -= c[k] * cl(r.real(), r.imag());
        }
        c = next;
    }
    Poly p;
    for (const cl& v : c) {
        p.re.push_back(static_cast<double>(v.real()));
        p.im.push_back(static_cast<double>(v.imag()));
    }
    return p;
}

// Largest distance from a known root to the nearest found root, after
// checking that the matching is one to one.
double matchKnownRoots(const std::vector<std::complex<double>>& known, const Roots& found) {
    std::vector<bool> used(found.re.size(), false);
    double worst = 0;
    for (const auto& r : known) {
        int best = -1;
        double bestDistance = std::numeric_limits<double>::infinity();
        for (std::size_t j = 0; j < found.re.size(); ++j) {
            const double d = std::abs(std::complex<double>(found.re[j], found.im[j]) - r);
            if (!used[j] && d < bestDistance) {
                bestDistance = d;
                best = static_cast<int>(j);
            }
        }
        if (best < 0) return std::numeric_limits<double>::infinity();
        used[best] = true;
        worst = std::max(worst, bestDistance);
    }
    return worst;
}

TEST(FindRoots, SmallCasesEndAtTheirRoots) {
    const double eps = std::numeric_limits<double>::epsilon();
    Roots r = solve({{1.0, 0.0, 1.0}, {0.0, 0.0, 0.0}});  // z^2 + 1: +-i to full precision
    EXPECT_EQ(r.rc, 1);
    const std::complex<double> a(r.re[0], r.im[0]), b(r.re[1], r.im[1]);
    EXPECT_LE(std::abs(std::abs(a.imag()) - 1.0), eps);
    EXPECT_LE(std::abs(b - std::conj(a)), 2 * eps);
    const std::complex<double> a0(0.3, -1.7), a1(-2.5, 0.25);  // degree 1: Newton steps to -a0/a1
    r = solve({{a0.real(), a1.real()}, {a0.imag(), a1.imag()}});
    EXPECT_LT(std::abs(std::complex<double>(r.re[0], r.im[0]) + a0 / a1), 1e-15);
    double re = 5, im = 0, out = 42;  // degree 0 writes nothing
    EXPECT_EQ(analysis::findRoots(0, &re, &im, &out, &out), 1);
    EXPECT_EQ(out, 42);
    EXPECT_EQ(solve({{1.0, std::nan(""), 1.0}, {0.0, 0.0, 0.0}}).rc, -1);
    for (int i = 0; i < 4; ++i) { EXPECT_NEAR(analysis::startingAngle(i, 4), 0.375 + i * std::numbers::pi / 2, 1e-15); }
}

TEST(FindRoots, DoubleRootEntriesApproachIt) {
    // (z - 1)^2: the entries stay distinct and end within sqrt(eps) of 1.
    const Roots r = solve({{1.0, -2.0, 1.0}, {0.0, 0.0, 0.0}});
    EXPECT_EQ(r.rc, 1);
    for (int j = 0; j < 2; ++j) { EXPECT_LT(std::abs(std::complex<double>(r.re[j] - 1.0, r.im[j])), 1e-7) << j; }
    EXPECT_NE(std::complex<double>(r.re[0], r.im[0]), std::complex<double>(r.re[1], r.im[1]));
}

TEST(FindRoots, LeadingTermAloneShrinksTowardsZero) {
    const Poly p{{0.0, 0.0, 0.0, 2.0}, {0.0, 0.0, 0.0, -1.0}};
    EXPECT_LT(analysis::rootBound(3, p.re.data(), p.im.data()), 1e-100);
    const Roots r = solve(p);
    for (int j = 0; j < 3; ++j) { EXPECT_LT(std::abs(std::complex<double>(r.re[j], r.im[j])), 1e-100); }
}

TEST(FindRoots, KnownRootsOfProductsOfLinearFactors) {
    std::mt19937_64 g(4);
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    for (int n : {3, 10, 25}) {
        std::vector<std::complex<double>> roots;
        for (int k = 0; k < n; ++k) roots.emplace_back(u(g), u(g));
        const Roots r = solve(fromRoots(roots));
        EXPECT_EQ(r.rc, 1);
        EXPECT_LT(matchKnownRoots(roots, r), n <= 10 ? 1e-10 : 1e-5) << n;
    }
    // (z^200 - a)(z^200 - b): the 200th roots of a and of b
    const int m = 200;
    const std::complex<double> a(0.5, 0.0), b(0.0, 2.0);
    Poly p{std::vector<double>(2 * m + 1, 0.0), std::vector<double>(2 * m + 1, 0.0)};
    p.re[2 * m] = 1.0;
    p.re[m] = -(a + b).real();
    p.im[m] = -(a + b).imag();
    p.re[0] = (a * b).real();
    p.im[0] = (a * b).imag();
    std::vector<std::complex<double>> roots;
    for (const auto& c : {a, b})
        for (int k = 0; k < m; ++k)
            roots.push_back(std::polar(std::pow(std::abs(c), 1.0 / m), (std::arg(c) + 2 * std::numbers::pi * k) / m));
    const Roots r = solve(p);
    EXPECT_EQ(r.rc, 1);
    EXPECT_LT(matchKnownRoots(roots, r), 1e-12);
}

TEST(FindRoots, RandomCoefficientsSmallBackwardErrorUpToDegree990) {
    // degree 990 also takes the overflow path: Horner at the starting
    // circle (radius ~2.8) exceeds the double range
    for (int n : {5, 100, 990}) {
        const Poly p = randomCoefficients(n, 1);
        const Roots r = solve(p);
        EXPECT_EQ(r.rc, 1) << n;
        long double worst = 0;
        for (int j = 0; j < n; ++j) {
            ASSERT_TRUE(std::isfinite(r.re[j]) && std::isfinite(r.im[j])) << n << " " << j;
            worst = std::max(worst, backwardError(p, r.re[j], r.im[j]));
        }
        EXPECT_LT(worst, 1e-12L) << n;
    }
}

TEST(FindRoots, HornerOverflowAtFiniteApproximationsStillConverges) {
    // (z - 5)(z^499 - 1): around the root 5 Horner's P' exceeds the double
    // range (5^499 ~ 1e348), so the Newton ratios there go through 1/z
    const int n = 500;
    Poly p{std::vector<double>(n + 1, 0.0), std::vector<double>(n + 1, 0.0)};
    p.re[n] = 1.0;
    p.re[n - 1] = -5.0;
    p.re[1] = -1.0;
    p.re[0] = 5.0;
    const Roots r = solve(p);
    EXPECT_EQ(r.rc, 1);
    int atFive = 0;
    for (int j = 0; j < n; ++j) {
        const std::complex<double> z(r.re[j], r.im[j]);
        if (std::abs(z - 5.0) < 1e-12) ++atFive;
        else EXPECT_NEAR(std::abs(std::pow(z, 499) - 1.0), 0.0, 1e-9) << j;
    }
    EXPECT_EQ(atFive, 1);
}

TEST(RootBound, PositiveRootOfCauchyPolynomial) {
    for (int n : {2, 7, 60, 990}) {
        const Poly p = randomCoefficients(n, 3 + n);
        std::vector<long double> m(n + 1);
        for (int k = 0; k <= n; ++k) m[k] = std::hypot((long double)p.re[k], (long double)p.im[k]);
        long double lo = 1e-3L, hi = 1e3L;  // bisection on m_n - sum m_k x^(k-n)
        for (int it = 0; it < 200; ++it) {
            const long double x = std::sqrt(lo * hi);
            long double s = 0;
            for (int k = 0; k < n; ++k) s += m[k] * std::pow(x, (long double)(k - n));
            (s > m[n] ? lo : hi) = x;
        }
        EXPECT_NEAR(analysis::rootBound(n, p.re.data(), p.im.data()), (double)lo, 1e-12 * (double)lo) << n;
    }
    // Coefficients whose squares overflow (period polynomials reach 1e216):
    // z^1024 + 1e200 (z^1023 + ... + 1) has its bound just below 1 + 1e200.
    Poly huge;
    huge.re.assign(1025, 1e200);
    huge.im.assign(1025, 0.0);
    huge.re[1024] = 1.0;
    EXPECT_NEAR(analysis::rootBound(1024, huge.re.data(), huge.im.data()) / 1e200, 1.0, 1e-9);
}

}  // namespace
