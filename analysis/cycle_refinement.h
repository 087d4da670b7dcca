// Cycle points refined in extended precision, and their multipliers.
//
// Roots of high-degree period polynomials, and the tails of critical orbits,
// are only approximations of cycle points: a multiplier evaluated there in
// double precision cannot tell |lambda|^2 <= ZERO_TOL^2 from a small non-zero
// value, nor |lambda| = 1 from a slightly attracting or repelling cycle. Here
// a point z of period k is polished by Newton steps on g(z) = f^k(z) - z in
// long double, and its multiplier is the chain rule along the cycle,
// lambda = prod R'(z_i), in the same precision.
//
// Conventions
//  - Near a multiple root of g (a parabolic cycle, lambda close to 1)
//    Newton on g stalls at about the square root of the working precision,
//    so the root of g' = (f^k)' - 1 is polished instead; that point is kept
//    only where g vanishes there to within its rounding error bound.
//  - classifyMultiplier applies the thresholds of the algebraic search
//    unchanged: |lambda|^2 <= ZERO_TOL^2 superattracting, < 1 - 2 ZERO_TOL
//    attracting, <= 1 + 2 ZERO_TOL indifferent, above repelling.
//  - A multiplier is parabolic when lambda^q is within 1e-9 of 1 for some
//    q <= MAX_PARABOLIC_ORDER.
//
// Failure modes: a point whose orbit meets a pole or leaves the finite
// plane gives `valid` false.
//
// Thread-safety: pure functions.
#pragma once

#include "analysis/polynomial.h"
#include "common/block_layout.h"

namespace analysis {

inline constexpr int MAX_PARABOLIC_ORDER = 24;

struct RefinedPoint {
    bool valid = false;
    long double re = 0, im = 0;            // the polished point
    long double lambdaRe = 0, lambdaIm = 0;  // multiplier of f^period there
    double lambdaSquared() const { return static_cast<double>(lambdaRe * lambdaRe + lambdaIm * lambdaIm); }
};

// The multiplier of f^period at z, without polishing.
RefinedPoint cycleMultiplier(const RationalMap& map, ComplexValue z, int period);

// z polished as a point of period `period` (see above), with its multiplier.
RefinedPoint refineCyclePoint(const RationalMap& map, ComplexValue z, int period);

common::PointKind classifyMultiplier(double lambdaSquared);

bool isParabolic(const RefinedPoint& p);

// The least j dividing `period` with |f^j(z) - z|^2 <= tol2; `period` when
// none smaller does (or the orbit leaves the plane).
int exactPeriod(const RationalMap& map, ComplexValue z, int period, double tol2);

// exactPeriod, and besides the least j whose point polished from z (within
// 1e-3 (1 + |z|)) is parabolic with lambda^(period/j) = 1: z is then one of
// the roots of the period polynomial clustering around that multiple root.
int lowerPeriod(const RationalMap& map, ComplexValue z, int period, double tol2);

// f^steps(z) in long double, rounded to double; false at a pole.
bool iterateMap(const RationalMap& map, ComplexValue z, int steps, ComplexValue& out);

}  // namespace analysis
