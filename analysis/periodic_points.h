// Non-repelling cycles found algebraically: for each period k = 1..10 the
// roots of the exact-period polynomial, their multipliers, and an orbit test
// that confirms attraction.
//
// Conventions
//  - Maps are engine RationalMaps (polynomial.h): form 1 iterates P alone,
//    form 2 iterates P/Q. The map's degree is deg P (form 1) or
//    max(deg P, deg Q) (form 2).
//  - A CycleList has room for `capacity` cycles, C = 2 d - 2 for a map of
//    degree d. Its `cycles` vector holds the used slots in the order they
//    were filled. The entry for infinity has period 0, no points, kind
//    Attracting and toInfinity 1.
//  - Point order of an algebraic cycle: when a period has at most k marked
//    roots they form one cycle in root order; otherwise the marked roots are
//    grouped by following the map from the lowest-numbered one, in orbit
//    order. Two roots, or a root and the image of another, are the same
//    point within max(ZERO_TOL, CONV_EPS).
//  - Every recorded cycle holds exactly `period` points: a followed image
//    that matches no root stands in for it, and a cycle of fewer roots is
//    completed by following the map from its last point (the last point is
//    repeated where the map leaves the finite plane).
//  - Periods whose iterate has degree above MAX_ITERATE_DEGREE (d^k > 1024)
//    are not searched; such cycles are left to the critical orbit analysis.
//
//  - Where the coefficients of G_k or Phi_k are not finite, or a polynomial
//    iterate's degree collapsed by underflow, that period and every later
//    one find their roots by iterating the map (iterated_period_roots.h).
//  - Every root whose chain-rule multiplier may be non-repelling is polished
//    in extended precision (cycle_refinement.h) and classified there with
//    the thresholds below; roots that polish onto a lower period or onto a
//    root marked before are dropped. Parabolic roots are kept without the
//    orbit confirmation.
//
// Failure modes (no exception leaves these functions)
//  - A root-finder failure at period k, a division whose divisor degree
//    exceeds the dividend's, or an exact-period polynomial of degree < 1 ends
//    the search; cycles of earlier periods stay recorded.
//  - Memory exhaustion gives an empty list (capacity kept).
//  - A malformed map (arrays shorter than degree + 1, unknown form, degree
//    below 1) gives an empty list with capacity 0.
//  - The stop request, when given, is polled before every period.
//
// Thread-safety: reentrant; the stop flag is only read.
#pragma once

#include "analysis/polynomial.h"
#include "common/block_layout.h"

#include <atomic>
#include <vector>

namespace analysis {

using common::PointKind;

inline constexpr double ZERO_TOL = 1e-16;  // fixed tolerance, not a setting
inline constexpr int MAX_ALGEBRAIC_PERIOD = 10;
inline constexpr int MAX_ITERATE_DEGREE = 1024;
inline constexpr int CONFIRM_STEPS = 9999;  // orbit steps of confirmAttracting
inline constexpr double CONFIRM_PERTURBATION = 1.001;

struct Cycle {
    int period = 0;              // number of points; 0 for the entry for infinity
    std::vector<double> re, im;  // `period` points in orbit order
    PointKind kind = PointKind::Attracting;
    int toInfinity = 0;          // 1 only for the entry for infinity
};

struct CycleList {
    int capacity = 0;
    std::vector<Cycle> cycles;  // used slots, at most `capacity`

    int count() const { return static_cast<int>(cycles.size()); }
    bool full() const { return count() >= capacity; }
};

// Degree d of the map as iterated: deg P in form 1, max(deg P, deg Q) in
// form 2; -1 for a malformed map.
int mapDegree(const RationalMap& map);

// 2 d - 2 (never below 0); 0 for a malformed map.
int cycleCapacity(const RationalMap& map);

// Root finder signature of findRoots (root_finder.h); replaceable for tests.
using RootFinderFunction = int (*)(int n, const double* coeffRe, const double* coeffIm,
                                   double* rootsRe, double* rootsIm);

enum class PeriodicSearchEnd {
    Completed,          // all periods up to 10 (or up to the degree limit) searched
    CapacityFull,       // the list filled up
    RootFinderFailed,   // findRoots returned -1 at `lastPeriod`
    DegreeFailure,      // inconsistent division or exact-period degree < 1 at `lastPeriod`
    Stopped,            // stop request seen before `lastPeriod`
    OutOfMemory,
    InvalidMap,
};

struct PeriodicSearchReport {
    PeriodicSearchEnd end = PeriodicSearchEnd::Completed;
    int lastPeriod = 0;       // the period at which the search ended (0: none tried)
    int periodsSearched = 0;  // periods whose roots were examined
    int firstIteratedPeriod = 0;  // from this period on roots came from iterating the map (0: none)
};

struct PeriodicSearchOptions {
    double convEps = 1e-6;                      // CONV_EPS, for confirmAttracting and grouping
    int maxPeriod = MAX_ALGEBRAIC_PERIOD;       // periods 1..maxPeriod (at most 10)
    const std::atomic<bool>* stop = nullptr;    // polled before every period
    RootFinderFunction rootFinder = nullptr;    // nullptr: findRoots
    PeriodicSearchReport* report = nullptr;     // filled when given
};

// The algebraic cycle search for periods 1..10 (see the file comment).
CycleList findPeriodicPoints(const RationalMap& map, const PeriodicSearchOptions& options);

// 1 when an orbit started at 1.001 * z0 is still within convEps of z0 at the
// end of CONFIRM_STEPS steps and at 10 earlier multiples of `period` steps;
// 0 when it escapes beyond 1/convEps, meets a pole, or does not return.
int confirmAttracting(const RationalMap& map, ComplexValue z0, int period, double convEps);

}  // namespace analysis
