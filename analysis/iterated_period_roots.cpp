#include "analysis/iterated_period_roots.h"

#include "analysis/root_finder.h"

#include <algorithm>
#include <cmath>

namespace analysis {

namespace {

constexpr double ASYMPTOTIC_RATIO = 1e30;  // this far beyond the roots f grows like its local degree
constexpr double CONVERGED_STEP = 0x1p-40;      // relative correction of a converged root (the next is ~its cube)
constexpr double CONVERGED_FLOOR = 1.0;         // ... and to the scale, near 0

struct C {
    double re = 0, im = 0;
};
inline C operator+(C a, C b) { return {a.re + b.re, a.im + b.im}; }
inline C operator-(C a, C b) { return {a.re - b.re, a.im - b.im}; }
inline C operator*(C a, C b) { return {a.re * b.re - a.im * b.im, a.re * b.im + a.im * b.re}; }
inline C operator*(double s, C a) { return {s * a.re, s * a.im}; }
// a / b with b scaled first, so |b|^2 neither overflows nor underflows.
inline C operator/(C a, C b) {
    const double s = std::fmax(std::fabs(b.re), std::fabs(b.im));
    const double br = b.re / s, bi = b.im / s, m = br * br + bi * bi;
    return {(a.re * br + a.im * bi) / m / s, (a.im * br - a.re * bi) / m / s};
}
inline C inverse(C a) { return C{1, 0} / a; }
// 1 / a for the scaled root differences, which stay near 1 in size.
inline C plainInverse(C a) {
    const double m = a.re * a.re + a.im * a.im;
    return {a.re / m, -a.im / m};
}
inline double modulus(C a) { return std::hypot(a.re, a.im); }
inline bool finite(C a) { return std::isfinite(a.re) && std::isfinite(a.im); }

void horner(const ComplexPolynomial& p, C z, C& v, C& d) {
    v = {p.re[p.degree], p.im[p.degree]};
    d = {0, 0};
    for (int k = p.degree - 1; k >= 0; --k) {
        d = d * z + v;
        v = v * z + C{p.re[k], p.im[k]};
    }
}

struct Problem {
    const RationalMap& map;
    int period;
    int mapDegree;     // d
    int escapeDegree;  // local degree at infinity when infinity is fixed, else 0
    double asymptoticModulus;  // ASYMPTOTIC_RATIO times the roots' size
    std::vector<C> lower;
};

enum class Ratio { Finite, ExactRoot, Failed };

inline C scaled(C a, int e) { return {std::ldexp(a.re, e), std::ldexp(a.im, e)}; }

// 2^e (log Phi_k)'(z), the logarithmic derivative in w = z / 2^e (each
// term is formed in w, so it stays representable where z is tiny or huge):
// ExactRoot where f^k(z) == z exactly, Failed where it is not finite.
Ratio logDerivative(const Problem& pr, C z, int e, C& out) {
    const bool rational = pr.map.form == 2;
    C w = z, t{1, 0}, l{0, 0}, ell{0, 0};
    bool asymptotic = false;
    for (int i = 0; i < pr.period; ++i) {
        const double weight = std::pow(static_cast<double>(pr.mapDegree), pr.period - 1 - i);
        if (!asymptotic && pr.escapeDegree > 0 && modulus(w) > pr.asymptoticModulus) {
            asymptotic = true;
            ell = t / scaled(w, -e);  // 2^e (log f^i)'
        }
        if (asymptotic) {
            if (rational) l = l + (weight * pr.map.denominator.degree) * ell;
            ell = static_cast<double>(pr.escapeDegree) * ell;
            continue;
        }
        C p, dp;
        horner(pr.map.numerator, w, p, dp);
        C r = p, dr = dp, term{0, 0};
        if (rational) {
            C q, dq;
            horner(pr.map.denominator, w, q, dq);
            if (q.re == 0 && q.im == 0) return Ratio::Failed;
            term = weight * ((scaled(dq, e) / q) * t);
            r = p / q;
            dr = (dp - r * dq) / q;
        }
        if (!finite(r) && pr.escapeDegree > 0 && finite(w) && finite(t)) {
            // the orbit leaves double range here: go on by the local degree
            asymptotic = true;
            ell = t / scaled(w, -e);
            if (rational) l = l + (weight * pr.map.denominator.degree) * ell;
            ell = static_cast<double>(pr.escapeDegree) * ell;
            continue;
        }
        l = l + term;
        t = dr * t;
        w = r;
        if (!finite(w) || !finite(t)) return Ratio::Failed;
    }
    if (!asymptotic && w.re == z.re && w.im == z.im) return Ratio::ExactRoot;
    C g = asymptotic ? l + ell : l + (t - C{1, 0}) / scaled(w - z, -e);
    for (const C& r : pr.lower) g = g - inverse(scaled(z - r, -e));
    out = g;
    return finite(g) ? Ratio::Finite : Ratio::Failed;
}

}  // namespace

int findPeriodRootsByIteration(const RationalMap& map, int period, int degree,
                               const std::vector<ComplexValue>& lower, std::vector<double>& re,
                               std::vector<double>& im) {
    const int n = degree - static_cast<int>(lower.size());
    re.assign(std::max(n, 0), 0.0);
    im.assign(std::max(n, 0), 0.0);
    if (n < 1 || period < 1) return -1;

    Problem pr{map, period, 0, 0, 0.0, {}};
    const int dP = map.numerator.degree, dQ = map.form == 2 ? map.denominator.degree : 0;
    pr.mapDegree = std::max(dP, dQ);
    pr.escapeDegree = dP > dQ ? dP - dQ : 0;
    double size = 0.0;
    for (const ComplexValue& r : lower) {
        pr.lower.push_back({r.re, r.im});
        if (std::isfinite(r.re) && std::isfinite(r.im)) size = std::fmax(size, std::hypot(r.re, r.im));
    }
    // Work on w = z / 2^e with the lower roots' size 2^e, so distances stay representable.
    const int e = size > 0.0 ? std::ilogb(size) + 1 : 0;
    pr.asymptoticModulus = std::ldexp(ASYMPTOTIC_RATIO, e);

    // start on the circle through the largest lower root
    const double radius = size > 0.0 ? std::ldexp(size, -e) : 1.0;
    std::vector<C> w(n);
    for (int i = 0; i < n; ++i) {
        const double theta = startingAngle(i, n);
        w[i] = {radius * std::cos(theta), radius * std::sin(theta)};
    }
    std::vector<char> converged(n, 0);
    int remaining = n;
    for (int sweep = 0; sweep < MAX_ITERATED_SWEEPS && remaining > 0; ++sweep) {
        for (int j = 0; j < n; ++j) {
            if (converged[j]) continue;
            C h;
            const C z{std::ldexp(w[j].re, e), std::ldexp(w[j].im, e)};
            const Ratio ratio = logDerivative(pr, z, e, h);
            if (ratio == Ratio::Failed) continue;
            if (ratio == Ratio::ExactRoot) {
                converged[j] = 1;
                --remaining;
                continue;
            }
            const C newton = inverse(h);  // Phi / Phi' in w
            C s{0, 0};
            for (int k = 0; k < n; ++k)
                if (k != j) s = s + plainInverse(w[j] - w[k]);
            const C delta = newton / (C{1, 0} - newton * s);
            if (!finite(delta)) continue;
            w[j] = w[j] - delta;
            if (modulus(delta) <= CONVERGED_STEP * std::fmax(modulus(w[j]), CONVERGED_FLOOR)) {
                converged[j] = 1;
                --remaining;
            }
        }
    }
    for (int i = 0; i < n; ++i) {
        re[i] = std::ldexp(w[i].re, e);
        im[i] = std::ldexp(w[i].im, e);
    }
    return remaining == 0 ? 1 : -1;
}

}  // namespace analysis
