// Orbit analysis of the critical points: the entry point of a dynamical-
// plane run. It runs the algebraic cycle search, follows every critical
// orbit for MAX_LOOP steps and records escape to infinity, new cycles of
// period up to 256 and (with SIEGELFLG 1) the closed curves of orbits that
// settle on neither.
//
// Conventions
//  - The critical orbit z_1 .. z_MAX_LOOP excludes the critical point. It
//    escapes at a pole, beyond |z| = 1/ZERO_TOL, or at a point that is not
//    finite. The first escape records one entry for infinity (period 0,
//    toInfinity 1); later escapes record nothing.
//  - A period i (1..256, 5 i <= MAX_LOOP) holds when each of the last i
//    points matches the four points i, 2i, 3i, 4i steps earlier (within
//    CONV_EPS, or all beyond 1/CONV_EPS as points at infinity).
//  - A detected period's newest point is polished in extended precision as
//    a point of that period (cycle_refinement.h); where it polishes onto a
//    point of lower period that period is taken. The cycle is classified by
//    its multiplier: a repelling one (the orbit landed exactly on it) is not
//    recorded. The polished point is matched against every cycle of the same
//    period recorded before (algebraic cycles and cycles of earlier critical
//    points): within CONV_EPS of one of its points nothing is recorded.
//    Otherwise a new cycle of the multiplier's kind is recorded, its polished
//    points newest first. Cycles near infinity, and tails that polish onto
//    no nearby cycle point, are recorded as they are, of kind Attracting.
//  - With a full CycleList detected periods are passed over and escapes are
//    not recorded.
//  - CurveSet entries are filled in critical point order; the curves are
//    classified (rotation_domains.h) after the last critical point unless
//    the stop request is set.
//
// Stop request: polled before every critical point, inside the chaining of
// closed curves and during the side classification. A stopped analysis
// returns what it has with `stopped` set.
//
// Failure modes: no exception leaves these functions; memory exhaustion
// gives an empty result with `outOfMemory` set; a malformed map or critical
// point list gives an empty result.
//
// Thread-safety: reentrant. The notice is called on the calling thread.
#pragma once

#include "analysis/analysis_settings.h"
#include "analysis/closed_curves.h"
#include "analysis/critical_points.h"
#include "analysis/periodic_points.h"
#include "analysis/polynomial.h"

#include <atomic>
#include <functional>
#include <vector>

namespace analysis {

inline constexpr int MAX_ORBIT_PERIOD = 256;
inline constexpr int PERIOD_REPEATS = 4;        // each tail point is compared 4 periods back
inline constexpr double ESCAPE_RADIUS_SQUARED = 1.0 / (ZERO_TOL * ZERO_TOL);

// Called before the closed-curve analysis of a critical point (the front end
// shows "閉曲線を検出、解析中です。しばらくお待ちください。").
using CurveAnalysisNotice = std::function<void()>;

enum class OrbitFate {
    NotAnalysed,     // stopped before this point, or MAX_LOOP 0
    Escaped,         // to infinity (recorded once per run)
    KnownCycle,      // converges to cycle `cycleIndex` recorded before
    NewCycle,        // recorded as cycle `cycleIndex`
    PeriodPassedOver,  // a period was found but the CycleList was full
    RepellingCycle,  // lands on a repelling cycle of `period` (strictly preperiodic); not recorded
    ClosedCurves,    // curves in CurveSet entry `curveEntry`
    Undetermined,    // no period and no curve
};

struct CriticalOrbitResult {
    OrbitFate fate = OrbitFate::NotAnalysed;
    int period = 0;       // detected period (KnownCycle, NewCycle, PeriodPassedOver)
    int cycleIndex = -1;  // into OrbitAnalysis::cycles.cycles
    int curveEntry = -1;  // into OrbitAnalysis::curves.entries
};

struct OrbitAnalysis {
    CycleList cycles;               // algebraic cycles first, then the orbit analysis's
    int algebraicCycleCount = 0;    // cycles recorded by findPeriodicPoints
    PeriodicSearchReport periodicSearch;
    CurveSet curves;
    std::vector<CriticalOrbitResult> criticalOrbits;  // one per critical point
    bool curvesClassified = false;
    bool stopped = false;
    bool outOfMemory = false;
    bool invalidInput = false;  // malformed map or critical point list, settings out of range
};

// The whole orbit analysis: findPeriodicPoints (periods 1..10), then
// followCriticalOrbits on its cycles.
OrbitAnalysis analyseCriticalOrbits(const RationalMap& map, const CriticalPointList& critical,
                                    const AnalysisSettings& settings,
                                    const std::atomic<bool>* stop = nullptr,
                                    const CurveAnalysisNotice& notice = {});

// The orbit stage alone, continuing the cycle list of an algebraic search
// that has already run (its cycles become the algebraic cycles).
OrbitAnalysis followCriticalOrbits(const RationalMap& map, const CriticalPointList& critical,
                                   const AnalysisSettings& settings, CycleList algebraic,
                                   const std::atomic<bool>* stop = nullptr,
                                   const CurveAnalysisNotice& notice = {});

}  // namespace analysis
