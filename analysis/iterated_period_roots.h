// Roots of the exact-period polynomial Phi_k found without its
// coefficients, for periods whose iterate's coefficients are not finite
// (or underflow) in double precision.
//
// Phi_k = G_k / prod_(j | k, j < k) Phi_j, with G_k = P_k(z) - z (form 1) or
// N_k(z) - z D_k(z) = D_k(z) (f^k(z) - z) (form 2). Its logarithmic
// derivative is taken by iterating the map:
//   G_k'/G_k = D_k'/D_k + ((f^k)' - 1) / (f^k - z),
//   D_k'/D_k = sum_(i<k) d^(k-1-i) (Q'/Q)(z_i) (f^i)'(z)   (D_1 = Q, D_(j+1) = Q^(d^j) D_j(f)),
// minus sum 1/(z - r) over the roots r of the lower periods (deflation).
// Where the orbit leaves double range, f^k grows like a power and
// (f^k)'/f^k is continued by the local degree. Aberth corrections on these
// ratios (the same correction as findRoots) run on the variable scaled to
// the lower roots' size, updating each root in place, until every
// correction falls below relative 2^-40 or MAX_ITERATED_SWEEPS have run.
//
// Returns 1 when every root converged, -1 otherwise (the arrays then hold
// the approximations reached) or when the degree is below 1.
//
// Thread-safety: pure function.
#pragma once

#include "analysis/polynomial.h"

#include <vector>

namespace analysis {

inline constexpr int MAX_ITERATED_SWEEPS = 1000;

// `degree`: the degree of G_k; `lower`: the roots of Phi_j for the proper
// divisors j of `period`. re/im receive degree - lower.size() roots.
int findPeriodRootsByIteration(const RationalMap& map, int period, int degree,
                               const std::vector<ComplexValue>& lower, std::vector<double>& re,
                               std::vector<double>& im);

}  // namespace analysis
