// Maps and inputs for the engine tests, built in engine form (coefficients
// by ascending power), and maps with known dynamics.
#pragma once

#include "analysis/closed_curves.h"
#include "analysis/critical_points.h"
#include "analysis/polynomial.h"

#include <cmath>
#include <complex>
#include <vector>
#include <algorithm>
#include <gtest/gtest.h>
#include <limits>
#include <new>
#include <random>

namespace testmaps {

using cd = std::complex<double>;

inline analysis::ComplexPolynomial polynomialOf(const std::vector<cd>& c) {
    analysis::ComplexPolynomial p = analysis::makePolynomial(static_cast<int>(c.size()) - 1);
    for (std::size_t i = 0; i < c.size(); ++i) {
        p.re[i] = c[i].real();
        p.im[i] = c[i].imag();
    }
    return p;
}

inline analysis::RationalMap polynomialMap(const std::vector<cd>& p) {
    analysis::RationalMap m;
    m.form = 1;
    m.numerator = polynomialOf(p);
    m.denominator = polynomialOf({1.0});
    return m;
}

inline analysis::RationalMap rationalMap(const std::vector<cd>& p, const std::vector<cd>& q) {
    analysis::RationalMap m;
    m.form = 2;
    m.numerator = polynomialOf(p);
    m.denominator = polynomialOf(q);
    return m;
}

inline cd value(const analysis::ComplexPolynomial& p, cd z) {
    cd w = 0;
    for (int k = p.degree; k >= 0; --k) w = w * z + cd(p.re[k], p.im[k]);
    return w;
}

inline cd apply(const analysis::RationalMap& m, cd z) {
    return m.form == 1 ? value(m.numerator, z) : value(m.numerator, z) / value(m.denominator, z);
}

// Multiplier of the k-cycle through z by the chain rule, derivative by a
// central difference of the map.
inline cd multiplier(const analysis::RationalMap& m, cd z, int k) {
    cd lambda = 1.0;
    for (int i = 0; i < k; ++i, z = apply(m, z)) lambda *= (apply(m, z + 1e-7) - apply(m, z - 1e-7)) / 2e-7;
    return lambda;
}

inline analysis::CriticalPointList pointsAt(const std::vector<cd>& z) {
    analysis::CriticalPointList l;
    l.count = static_cast<int>(z.size());
    for (cd p : z) {
        l.re.push_back(p.real());
        l.im.push_back(p.imag());
    }
    return l;
}

inline double goldenMean() { return (std::sqrt(5.0) - 1.0) / 2.0; }

// z^2 + c whose fixed point lambda/2 has multiplier lambda.
inline cd parameterForMultiplier(cd lambda) { return lambda / 2.0 - lambda * lambda / 4.0; }

// The golden-mean Siegel quadratic: the fixed point is the centre of a
// Siegel disk whose boundary holds the critical point 0.
inline cd siegelParameter() { return parameterForMultiplier(std::polar(1.0, 2.0 * M_PI * goldenMean())); }

// e^(2 pi i t) z^2 (z - 4) / (1 - 4z) (Milnor, Herman rings): t makes the
// rotation number on the invariant unit circle the golden mean (bisection
// on the lift of the circle map), so the circle lies in a Herman ring.
inline analysis::RationalMap hermanBlaschke() {
    const cd e = std::polar(1.0, 2.0 * M_PI * 0.61517321595);
    return rationalMap({0.0, 0.0, -4.0 * e, e}, {1.0, -4.0});
}

// Centre of the 1/12 bulb of z^2 + c, where f_c^12(0) = 0 (Newton's method
// from the bulb's root, to double precision).
inline cd bulbCentre12() { return {0.30922922123657415, 0.03212392698439477}; }

// A curve through the points, with its octagon and no disks.
inline analysis::ClosedCurve bareCurve(std::vector<double> re, std::vector<double> im) {
    analysis::ClosedCurve c;
    c.re = std::move(re);
    c.im = std::move(im);
    c.octagon = analysis::polylineOctagon(c.re, c.im);
    return c;
}

// n points of the circle |z - centre| = r, evenly spaced.
inline analysis::ClosedCurve circleCurve(cd centre, double r, int n) {
    std::vector<double> re, im;
    for (int k = 0; k < n; ++k) {
        const cd z = centre + std::polar(r, 2.0 * M_PI * k / n);
        re.push_back(z.real());
        im.push_back(z.imag());
    }
    return analysis::makeClosedCurve(re, im, 1e-6);
}

struct Orbit {
    std::vector<double> re, im;
};

// The orbit of a golden-mean rotation on the circle |z - centre| = r,
// without the angles (in turns) of [gapFrom, gapTo); appended to o up to n points.
inline Orbit circleOrbit(cd centre, double r, int n, double gapFrom = 0.0, double gapTo = 0.0, Orbit o = {}) {
    for (int k = 1; static_cast<int>(o.re.size()) < n; ++k) {
        const double turn = std::fmod(k * goldenMean(), 1.0);
        if (turn >= gapFrom && turn < gapTo) continue;
        const cd z = centre + std::polar(r, 2.0 * M_PI * turn);
        o.re.push_back(z.real());
        o.im.push_back(z.imag());
    }
    return o;
}

}  // namespace testmaps
