// Critical points and finite fixed points of a rational map, found as the
// roots of a polynomial with findRoots (root_finder.h).
//
// Conventions
//  - Maps are in engine form (polynomial.h): form 1 is R = P (the
//    denominator is ignored), form 2 is R = P / Q. The degrees must be those
//    of the highest non-zero coefficients, as the formula entry stores them.
//  - Critical points, in this order: the roots of the derivative numerator
//    (P' in form 1, P'Q - PQ' stripped in form 2) in root-finder order, then
//    (form 2, deg Q > 1) each distinct multiple pole once, in order of first
//    occurrence among the roots of Q. Poles are merged only when their
//    computed values are exactly equal.
//  - infinityIsCritical is set for form 2 only (0 otherwise): 1 when
//    |dP - dQ| >= 2, or when dP == dQ == d and P_d Q_(d-1) == P_(d-1) Q_d
//    exactly (both parts).
//  - Fixed points: roots of P(z) - z (form 1) or z Q(z) - P(z) stripped
//    (form 2). The point at infinity is never listed.
//  - Form 1 with deg P <= 1, and any form other than 1 or 2, give empty
//    lists.
//  - A failed root search (-1) leaves its approximations as they stand and
//    sets `rootsFailed`, so a report can say that those points are not
//    results.
//
// Thread-safety: pure functions.
#pragma once

#include <vector>

#include "analysis/polynomial.h"

namespace analysis {

struct CriticalPointList {
    int count = 0;
    std::vector<double> re, im;  // size count
    int infinityIsCritical = 0;
    bool rootsFailed = false;  // a root search returned -1; the points are unconverged
};

struct FixedPointList {
    int count = 0;
    std::vector<double> re, im;  // size count
    bool rootsFailed = false;    // the root search returned -1; the points are unconverged
};

// `poleRoots` replaces findRoots in the pole search (nullptr: findRoots).
// The root finder practically never returns a multiple pole as exactly
// equal approximations, so tests steer it there to reach that branch.
using PoleRootFinder = int (*)(int n, const double* coeffRe, const double* coeffIm, double* rootsRe,
                               double* rootsIm);
CriticalPointList findCriticalPoints(const RationalMap& map, PoleRootFinder poleRoots = nullptr);
FixedPointList findFixedPoints(const RationalMap& map);

}  // namespace analysis
