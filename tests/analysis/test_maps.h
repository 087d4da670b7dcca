// Maps for the engine tests, built in engine form: polynomials and maps from
// coefficient lists (ascending powers), and maps from the literature.
#pragma once

#include "analysis/polynomial.h"

#include <cmath>
#include <complex>
#include <vector>

namespace testmaps {

using cd = std::complex<double>;

// The polynomial with coefficients c by ascending power.
inline analysis::ComplexPolynomial polynomialOf(const std::vector<cd>& c) {
    analysis::ComplexPolynomial p = analysis::makePolynomial(static_cast<int>(c.size()) - 1);
    for (std::size_t i = 0; i < c.size(); ++i) {
        p.re[i] = c[i].real();
        p.im[i] = c[i].imag();
    }
    return p;
}

// P(z) with coefficients by ascending power.
inline analysis::RationalMap polynomialMap(const std::vector<cd>& p) {
    analysis::RationalMap m;
    m.form = 1;
    m.numerator = polynomialOf(p);
    m.denominator = polynomialOf({1.0});
    return m;
}

// P(z) / Q(z).
inline analysis::RationalMap rationalMap(const std::vector<cd>& p, const std::vector<cd>& q) {
    analysis::RationalMap m;
    m.form = 2;
    m.numerator = polynomialOf(p);
    m.denominator = polynomialOf(q);
    return m;
}

inline cd apply(const analysis::RationalMap& m, cd z) {
    auto eval = [](const analysis::ComplexPolynomial& p, cd x) {
        cd w(p.re[p.degree], p.im[p.degree]);
        for (int k = p.degree - 1; k >= 0; --k) w = w * x + cd(p.re[k], p.im[k]);
        return w;
    };
    cd n = eval(m.numerator, z);
    return m.form == 1 ? n : n / eval(m.denominator, z);
}

inline double goldenMean() { return (std::sqrt(5.0) - 1.0) / 2.0; }

// z^2 + c whose fixed point lambda/2 has multiplier lambda = e^(2 pi i theta):
// c = lambda/2 - lambda^2/4. For the golden mean theta the fixed point is
// the centre of a Siegel disk whose boundary holds the critical point 0.
inline cd siegelParameter(double theta) {
    cd lambda = std::polar(1.0, 2.0 * M_PI * theta);
    return lambda / 2.0 - lambda * lambda / 4.0;
}

// The Blaschke-type cubic f(z) = e^(2 pi i t) z^2 (z - 4) / (1 - 4z)
// (Milnor, Dynamics in One Complex Variable, Herman rings). It maps the unit
// circle onto itself; t is chosen so that its rotation number there is the
// golden mean, and then the circle lies in a Herman ring whose two boundary
// curves carry the critical points (19 +- sqrt(105)) / 16.
// t was found by bisection on F^q(0) - p for the lift F of the circle map and
// the Fibonacci convergent p/q = 514229/832040.
inline constexpr double HERMAN_T = 0.61517321595;

inline analysis::RationalMap hermanBlaschke() {
    cd e = std::polar(1.0, 2.0 * M_PI * HERMAN_T);
    return rationalMap({0.0, 0.0, -4.0 * e, e}, {1.0, -4.0});
}

// Rotation number of the Blaschke circle map, estimated from n steps of
// its lift (for checking the input, not the engine).
inline double hermanRotationNumber(long n) {
    double x = 0;
    for (long i = 0; i < n; ++i) {
        double s = std::sin(2 * M_PI * x), c = std::cos(2 * M_PI * x);
        x = x + HERMAN_T + (std::atan2(-s, 4.0 - c) - std::atan2(s / 4.0, 1.0 - c / 4.0)) / (2 * M_PI);
    }
    return x / n;
}

// Centre c of a hyperbolic component of z^2 + c of the given period, found by
// Newton's method on f_c^period(0) = 0 from the root of the 1/period bulb of
// the main cardioid moved slightly outward.
inline cd bulbCentre(int period) {
    cd lambda = std::polar(1.0, 2.0 * M_PI / period);
    cd root = lambda / 2.0 - lambda * lambda / 4.0;
    cd c = 0.25 + (root - 0.25) * (1.0 + 1.0 / (period * period));
    for (int it = 0; it < 60; ++it) {
        cd z = 0, dz = 0;
        for (int n = 0; n < period; ++n) {
            dz = 2.0 * z * dz + 1.0;
            z = z * z + c;
        }
        c -= z / dz;
    }
    return c;
}

}  // namespace testmaps
