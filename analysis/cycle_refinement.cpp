#include "analysis/cycle_refinement.h"

#include "analysis/periodic_points.h"

#include <cfloat>
#include <cmath>

namespace analysis {

namespace {

using Real = long double;

constexpr Real UNIT_ROUNDOFF = LDBL_EPSILON / 2;
constexpr int POLISH_STEPS = 64;
constexpr Real PARABOLIC_SWITCH = 1e-3L;   // |lambda - 1| below this: try the root of g'
constexpr Real PARABOLIC_REACH = 1e-3L;    // how far that root may lie from Newton's point
constexpr double PARABOLIC_TOL = 1e-9;     // |lambda^q - 1| of a parabolic multiplier

struct LC {
    Real re = 0, im = 0;
};
inline LC operator+(LC a, LC b) { return {a.re + b.re, a.im + b.im}; }
inline LC operator-(LC a, LC b) { return {a.re - b.re, a.im - b.im}; }
inline LC operator*(LC a, LC b) { return {a.re * b.re - a.im * b.im, a.re * b.im + a.im * b.re}; }
inline LC operator*(Real s, LC a) { return {s * a.re, s * a.im}; }
inline LC operator/(LC a, LC b) {
    const Real m = b.re * b.re + b.im * b.im;
    return {(a.re * b.re + a.im * b.im) / m, (a.im * b.re - a.re * b.im) / m};
}
inline Real modulus(LC a) { return std::hypot(a.re, a.im); }
inline bool finite(LC a) { return std::isfinite(a.re) && std::isfinite(a.im); }

// p, p', p'' at z, and Horner on the moduli (for the rounding error bound).
struct PolyJet {
    LC v, d1, d2;
    Real magnitude = 0;
};

PolyJet polyJet(const ComplexPolynomial& p, LC z) {
    PolyJet j;
    const Real r = modulus(z);
    j.v = {p.re[p.degree], p.im[p.degree]};
    j.magnitude = std::hypot(static_cast<Real>(p.re[p.degree]), static_cast<Real>(p.im[p.degree]));
    LC half;  // p'' / 2
    for (int k = p.degree - 1; k >= 0; --k) {
        half = half * z + j.d1;
        j.d1 = j.d1 * z + j.v;
        j.v = j.v * z + LC{p.re[k], p.im[k]};
        j.magnitude = j.magnitude * r + std::hypot(static_cast<Real>(p.re[k]), static_cast<Real>(p.im[k]));
    }
    j.d2 = 2.0L * half;
    return j;
}

// R, R', R'' at z with a bound on the rounding error of R.
struct MapJet {
    bool pole = false;
    LC v, d1, d2;
    Real error = 0;
};

MapJet mapJet(const RationalMap& map, LC z) {
    MapJet m;
    const PolyJet p = polyJet(map.numerator, z);
    const Real bound = 4 * (map.numerator.degree + map.denominator.degree + 2) * UNIT_ROUNDOFF;
    if (map.form == 1) {
        m.v = p.v;
        m.d1 = p.d1;
        m.d2 = p.d2;
        m.error = bound * p.magnitude;
        return m;
    }
    const PolyJet q = polyJet(map.denominator, z);
    if (q.v.re == 0 && q.v.im == 0) {
        m.pole = true;
        return m;
    }
    m.v = p.v / q.v;
    m.d1 = (p.d1 - m.v * q.d1) / q.v;
    m.d2 = (p.d2 - 2.0L * (m.d1 * q.d1) - m.v * q.d2) / q.v;
    m.error = bound * (p.magnitude + modulus(m.v) * q.magnitude) / modulus(q.v);
    return m;
}

// f^k, (f^k)', (f^k)'' at z and the propagated rounding error of f^k.
struct IterateJet {
    bool valid = false;
    LC v, d1, d2;
    Real error = 0;
};

IterateJet iterateJet(const RationalMap& map, LC z, int k) {
    IterateJet it;
    it.v = z;
    it.d1 = {1, 0};
    for (int i = 0; i < k; ++i) {
        const MapJet m = mapJet(map, it.v);
        if (m.pole || !finite(m.v) || !finite(m.d1)) return it;
        it.d2 = m.d2 * it.d1 * it.d1 + m.d1 * it.d2;
        it.d1 = m.d1 * it.d1;
        it.error = modulus(m.d1) * it.error + m.error + UNIT_ROUNDOFF * modulus(m.v);
        it.v = m.v;
    }
    it.valid = finite(it.v) && finite(it.d1);
    return it;
}

RefinedPoint refined(LC z, const IterateJet& j) {
    RefinedPoint p;
    p.valid = j.valid;
    p.re = z.re;
    p.im = z.im;
    p.lambdaRe = j.d1.re;
    p.lambdaIm = j.d1.im;
    return p;
}

// The root of (f^k)' - 1 near z; false when Newton leaves or fails.
bool parabolicPoint(const RationalMap& map, LC z, int k, LC& out) {
    LC w = z;
    for (int step = 0; step < POLISH_STEPS; ++step) {
        const IterateJet j = iterateJet(map, w, k);
        if (!j.valid || !finite(j.d2) || (j.d2.re == 0 && j.d2.im == 0)) break;
        const LC delta = (j.d1 - LC{1, 0}) / j.d2;
        if (!finite(delta)) break;
        w = w - delta;
        if (modulus(delta) <= 2 * UNIT_ROUNDOFF * modulus(w)) break;
    }
    if (!(modulus(w - z) <= PARABOLIC_REACH * (1 + modulus(z)))) return false;
    const IterateJet j = iterateJet(map, w, k);
    if (!j.valid) return false;
    // Keep it only where g vanishes to within the rounding of its evaluation.
    const Real tolerance = 8 * (j.error + UNIT_ROUNDOFF * modulus(w));
    if (!(modulus(j.v - w) <= tolerance)) return false;
    out = w;
    return true;
}

}  // namespace

RefinedPoint cycleMultiplier(const RationalMap& map, ComplexValue z, int period) {
    const LC w{z.re, z.im};
    return refined(w, iterateJet(map, w, period));
}

RefinedPoint refineCyclePoint(const RationalMap& map, ComplexValue z0, int period) {
    LC z{z0.re, z0.im};
    LC best = z;
    Real bestResidual = INFINITY;
    for (int step = 0; step < POLISH_STEPS; ++step) {
        const IterateJet j = iterateJet(map, z, period);
        if (!j.valid) break;
        const LC g = j.v - z;
        const Real residual = modulus(g);
        if (residual < bestResidual) {
            bestResidual = residual;
            best = z;
        }
        if (residual <= j.error) break;  // as close as this precision can tell
        const LC slope = j.d1 - LC{1, 0};
        if (slope.re == 0 && slope.im == 0) break;
        const LC delta = g / slope;
        if (!finite(delta)) break;
        z = z - delta;
        if (modulus(delta) <= 2 * UNIT_ROUNDOFF * modulus(z)) {
            const IterateJet last = iterateJet(map, z, period);
            if (last.valid && modulus(last.v - z) <= bestResidual) best = z;
            break;
        }
    }
    IterateJet j = iterateJet(map, best, period);
    if (j.valid && modulus(j.d1 - LC{1, 0}) < PARABOLIC_SWITCH) {
        LC p;
        if (parabolicPoint(map, best, period, p)) {
            best = p;
            j = iterateJet(map, best, period);
        }
    }
    return refined(best, j);
}

common::PointKind classifyMultiplier(double s) {
    if (!(s <= 1.0 + 2.0 * ZERO_TOL)) return common::PointKind::Repelling;
    if (s <= ZERO_TOL * ZERO_TOL) return common::PointKind::SuperAttracting;
    if (s < 1.0 - 2.0 * ZERO_TOL) return common::PointKind::Attracting;
    return common::PointKind::Indifferent;
}

bool isParabolic(const RefinedPoint& p) {
    const LC lambda{p.lambdaRe, p.lambdaIm};
    LC power = lambda;
    for (int q = 1; q <= MAX_PARABOLIC_ORDER; ++q) {
        if (modulus(power - LC{1, 0}) < PARABOLIC_TOL) return true;
        power = power * lambda;
    }
    return false;
}

int exactPeriod(const RationalMap& map, ComplexValue z, int period, double tol2) {
    LC w{z.re, z.im};
    for (int j = 1; j < period; ++j) {
        const MapJet m = mapJet(map, w);
        if (m.pole || !finite(m.v)) return period;
        w = m.v;
        if (period % j != 0) continue;
        const Real dr = w.re - z.re, di = w.im - z.im;
        if (dr * dr + di * di <= tol2) return j;
    }
    return period;
}

int lowerPeriod(const RationalMap& map, ComplexValue z, int period, double tol2) {
    const int exact = exactPeriod(map, z, period, tol2);
    if (exact < period) return exact;
    const LC w{z.re, z.im};
    for (int j = 1; j < period; ++j) {
        if (period % j != 0) continue;
        const RefinedPoint p = refineCyclePoint(map, z, j);
        if (!p.valid || !(modulus(LC{p.re, p.im} - w) <= PARABOLIC_REACH * (1 + modulus(w)))) continue;
        const LC lambda{p.lambdaRe, p.lambdaIm};
        LC power{1, 0};
        for (int q = 0; q < period / j; ++q) power = power * lambda;
        if (modulus(power - LC{1, 0}) < PARABOLIC_TOL) return j;
    }
    return period;
}

bool iterateMap(const RationalMap& map, ComplexValue z, int steps, ComplexValue& out) {
    LC w{z.re, z.im};
    for (int i = 0; i < steps; ++i) {
        const MapJet m = mapJet(map, w);
        if (m.pole || !finite(m.v)) return false;
        w = m.v;
    }
    out = {static_cast<double>(w.re), static_cast<double>(w.im)};
    return true;
}

}  // namespace analysis
