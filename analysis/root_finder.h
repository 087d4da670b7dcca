// Roots of a complex polynomial by a fixed number of simultaneous
// (Aberth-Ehrlich, total-step) sweeps.
//
// Conventions
//  - Coefficients are two parallel arrays of n + 1 doubles (real parts,
//    imaginary parts) indexed by the power of z; a_n must be non-zero
//    (callers strip zero leading coefficients first).
//  - Roots are written into two caller-owned arrays of n doubles, in the
//    order of the starting points: root i evolves from starting point i.
//    Multiple roots appear as several entries.
//  - Starting points lie on the circle around c = n * a_(n-1) / a_n with
//    radius rho = rootBound(): z_i = c + rho * (cos t_i, sin t_i),
//    t_i = startingAngle(i, n). When that circle misses the disk |z| <= rho
//    holding every root (|c| > 2 rho), it is centred on the mean of the
//    roots, -a_(n-1) / (n a_n), instead: from a cluster outside the roots
//    the sweeps move only ~rho/n per sweep and high degrees never arrive.
//  - Every call runs exactly ROOT_SWEEPS sweeps; there is no convergence
//    test. In each sweep every correction is computed from the values at
//    the start of that sweep:
//      N_j = P(z_j) / P'(z_j)   (Horner, P' from its own coefficients),
//      S_j = sum_(k != j) 1 / (z_j - z_k),
//      z_j = z_j - N_j / (1 - N_j * S_j).
//    Where Horner overflows at a finite z_j, N_j is computed through the
//    reversed polynomial in w = 1/z_j instead. The two complex divisions
//    (for N_j and for the correction) divide by |b|^2; where that overflows
//    with finite operands the quotient is taken again with b scaled, so a
//    far-away approximation still moves. A correction that is not finite is
//    skipped for that root in that sweep.
//
// Failure modes
//  - findRoots returns -1 when, at the start of a sweep, two approximations
//    coincide exactly or their squared distance is not a number. The output
//    arrays then hold the approximations at the start of that sweep.
//  - n <= 0: nothing is written and 1 is returned.
//
// Thread-safety: reentrant; no shared state. For n >= ROOT_THREAD_MIN_DEGREE
// a call runs its sweeps on two threads (the caller's and one helper) and
// returns only after the helper has ended. Memory is O(n).
#pragma once

namespace analysis {

inline constexpr int ROOT_SWEEPS = 1000;
inline constexpr int ROOT_BOUND_STEPS = 1000;
inline constexpr int ROOT_THREAD_MIN_DEGREE = 128;
// Set to "4" in the environment, the sweeps use four-lane vectors even where
// the machine has AVX-512 (eight lanes); the roots agree to rounding.
inline constexpr const char* ROOT_LANES_VARIABLE = "HV_ROOT_VECTOR_LANES";

// Returns 1 after all sweeps, -1 on an exact coincidence (see above).
// Where rootScaling says so, the sweeps run on the scaled variable
// z = 2^e w (coefficients a_k 2^(f + k e)) and the roots are scaled back, so
// polynomials whose roots or leading coefficient lie far outside the range
// in which the squared distances and |a_n|^2 are representable keep
// finite, accurate roots. Elsewhere this is findRootsUnscaled itself.
// A -1 of the sweeps where every approximation is a root to within the
// rounding of Horner's scheme (several of them met on a multiple root, so
// their squared distance underflowed to 0) is returned as 1.
int findRoots(int n, const double* coeffRe, const double* coeffIm, double* rootsRe, double* rootsIm);

// The sweeps on the coefficients as given.
int findRootsUnscaled(int n, const double* coeffRe, const double* coeffIm, double* rootsRe, double* rootsIm);

// True when the largest roots' size 2^e (e rounded from
// max_k log2(|a_k|/|a_n|)/(n-k)) has |e| > 64 or |a_n| lies beyond 2^+-256;
// e and f (f makes the scaled leading coefficient ~1) are then set.
bool rootScaling(int n, const double* coeffRe, const double* coeffIm, int& rootExponent, int& coeffExponent);

// Angle of starting point i of n: (i * 4 pi + 3) / (2n), so consecutive
// points are 2 pi / n apart and the first sits at 1.5 / n radians.
double startingAngle(int i, int n);

// The positive root of the Cauchy polynomial |a_n| x^n - sum_(k<n) |a_k| x^k,
// by exactly ROOT_BOUND_STEPS Newton steps from max_k (k+1)|a_k|/|a_n|.
// Where those steps end above Fujiwara's bound (high degrees: from far above
// the root each step shrinks x only by about 1 - 1/n) they are taken again
// from that bound. Returns 0 for n <= 0.
double rootBound(int n, const double* coeffRe, const double* coeffIm);

}  // namespace analysis
