#include "analysis/root_finder.h"

#include "test_maps.h"
#include <algorithm>

namespace {

using testmaps::cd;
using cl = std::complex<long double>;

struct Poly {
    std::vector<double> re, im;
    int degree() const { return static_cast<int>(re.size()) - 1; }
};

struct Roots {
    int rc = 0;
    std::vector<cd> z;
};

Roots solve(const Poly& p) {
    std::vector<double> re(p.degree(), std::nan("")), im(p.degree(), std::nan(""));
    Roots r;
    r.rc = analysis::findRoots(p.degree(), p.re.data(), p.im.data(), re.data(), im.data());
    for (int i = 0; i < p.degree(); ++i) r.z.emplace_back(re[i], im[i]);
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
long double backwardError(const Poly& p, cd root) {
    cl x(root.real(), root.imag());
    const bool reversed = std::abs(x) > 1;
    if (reversed) x = 1.0L / x;
    cl value = 0;
    long double scale = 0;
    for (int t = 0; t <= p.degree(); ++t) {
        const int k = reversed ? t : p.degree() - t;
        value = value * x + cl(p.re[k], p.im[k]);
        scale = scale * std::abs(x) + std::abs(cl(p.re[k], p.im[k]));
    }
    return std::abs(value) / scale;
}

TEST(FindRoots, SmallCasesEndAtTheirRoots) {
    const double eps = std::numeric_limits<double>::epsilon();
    Roots r = solve({{1.0, 0.0, 1.0}, {0.0, 0.0, 0.0}});  // z^2 + 1: +-i to full precision
    EXPECT_EQ(r.rc, 1);
    EXPECT_LE(std::abs(std::abs(r.z[0].imag()) - 1.0), eps);
    EXPECT_LE(std::abs(r.z[1] - std::conj(r.z[0])), 2 * eps);
    const cd a0(0.3, -1.7), a1(-2.5, 0.25);  // degree 1: Newton steps to -a0/a1
    EXPECT_LT(std::abs(solve({{a0.real(), a1.real()}, {a0.imag(), a1.imag()}}).z[0] + a0 / a1), 1e-15);
    double re = 5, im = 0, out = 42;  // degree 0 writes nothing
    EXPECT_EQ(analysis::findRoots(0, &re, &im, &out, &out), 1);
    EXPECT_EQ(out, 42);
    EXPECT_EQ(solve({{1.0, std::nan(""), 1.0}, {0.0, 0.0, 0.0}}).rc, -1);
    // A leading term alone: the bound and the roots shrink towards 0.
    const Poly lead{{0.0, 0.0, 0.0, 2.0}, {0.0, 0.0, 0.0, -1.0}};
    EXPECT_LT(analysis::rootBound(3, lead.re.data(), lead.im.data()), 1e-100);
    for (const cd& z : solve(lead).z) { EXPECT_LT(std::abs(z), 1e-100); }
    EXPECT_EQ(solve({{0.0, 0.0, 1.0}, {0.0, 0.0, 0.0}}).rc, 1);  // z^2: the approximations meet exactly on 0
    // (z - 1)^2: the entries stay distinct and end within sqrt(eps) of 1.
    r = solve({{1.0, -2.0, 1.0}, {0.0, 0.0, 0.0}});
    EXPECT_EQ(r.rc, 1);
    for (const cd& z : r.z) { EXPECT_LT(std::abs(z - 1.0), 1e-7); }
    EXPECT_NE(r.z[0], r.z[1]);
    // (z^2 - 1e-220)(z - 1): the Newton steps near the tiny pair keep their digits.
    r = solve({{1e-220, -1e-220, -1.0, 1.0}, {0.0, 0.0, 0.0, 0.0}});
    EXPECT_EQ(r.rc, 1);
    std::vector<double> moduli;
    for (const cd& z : r.z) moduli.push_back(std::abs(z));
    std::sort(moduli.begin(), moduli.end());
    EXPECT_NEAR(moduli[0], 1e-110, 1e-122);
    EXPECT_NEAR(moduli[1], 1e-110, 1e-122);
    EXPECT_NEAR(moduli[2], 1.0, 1e-15);
}

// Roots by residual and count: each root's backward error is at rounding
// level, and the roots sum to -a_(n-1)/a_n, which two approximations on one
// root (and another root missed) would break.
TEST(FindRoots, RootsHaveSmallBackwardErrorsAndTheCoefficientSum) {
    std::vector<Poly> cases;
    for (int n : {5, 100, 990}) cases.push_back(randomCoefficients(n, 1));  // 990: Horner overflows at the start circle
    // (z^200 - 1/2)(z^200 - 2i): two circles of 200th roots.
    const cd a(0.5, 0.0), b(0.0, 2.0);
    Poly p{std::vector<double>(401, 0.0), std::vector<double>(401, 0.0)};
    p.re[400] = 1.0;
    p.re[200] = -(a + b).real();
    p.im[200] = -(a + b).imag();
    p.re[0] = (a * b).real();
    p.im[0] = (a * b).imag();
    cases.push_back(p);
    // (z - 5)(z^499 - 1): around 5 Horner's P' exceeds the double range
    // (5^499 ~ 1e348), so the Newton ratios there go through 1/z.
    p = Poly{std::vector<double>(501, 0.0), std::vector<double>(501, 0.0)};
    p.re[500] = 1.0;
    p.re[499] = -5.0;
    p.re[1] = -1.0;
    p.re[0] = 5.0;
    cases.push_back(p);
    for (const Poly& c : cases) {
        const Roots r = solve(c);
        const int n = c.degree();
        EXPECT_EQ(r.rc, 1) << n;
        cl sum = 0;
        for (const cd& z : r.z) {
            ASSERT_LT(backwardError(c, z), 1e-12L) << n << " " << z;
            sum += cl(z.real(), z.imag());
        }
        const cl want = -cl(c.re[n - 1], c.im[n - 1]) / cl(c.re[n], c.im[n]);
        EXPECT_LT(std::abs(sum - want), 1e-9L) << n;
    }
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
    Poly huge{std::vector<double>(1025, 1e200), std::vector<double>(1025, 0.0)};
    huge.re[1024] = 1.0;
    EXPECT_NEAR(analysis::rootBound(1024, huge.re.data(), huge.im.data()) / 1e200, 1.0, 1e-9);
}

}  // namespace
