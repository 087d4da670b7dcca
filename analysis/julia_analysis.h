// One call for the whole analysis of a dynamical-plane ("Julia") picture:
// critical points, finite fixed points, cycles, closed curves and rotation
// domains. Used by the front end's job, the command-line report and the
// benchmarks.
//
// Order of work: findCriticalPoints (unless a list is given), then
// analyseCriticalOrbits (algebraic cycles, critical orbits, closed curves
// and their classification when SIEGELFLG is 1), then pairRotationDomains,
// then findFixedPoints.
//
// Failure modes: no exception leaves this function; see orbit_analysis.h
// for `stopped` and `outOfMemory`. A stopped analysis still returns the
// critical and fixed points.
//
// Thread-safety: reentrant; run it on any one thread. `notice` is called on
// that thread.
#pragma once

#include "analysis/analysis_settings.h"
#include "analysis/critical_points.h"
#include "analysis/orbit_analysis.h"
#include "analysis/rotation_domains.h"

#include <atomic>

namespace analysis {

struct JuliaAnalysis {
    CriticalPointList criticalPoints;
    FixedPointList fixedPoints;
    OrbitAnalysis orbits;       // cycles, curves, per-critical-point results
    RotationDomains domains;
    bool stopped = false;
    bool outOfMemory = false;
    bool invalidInput = false;  // see OrbitAnalysis
};

JuliaAnalysis analyseJulia(const RationalMap& map, const AnalysisSettings& settings,
                           const std::atomic<bool>* stop = nullptr,
                           const CurveAnalysisNotice& notice = {});

// The same with a critical point list chosen by the caller (the job passes
// the list it stored in the front end block).
JuliaAnalysis analyseJulia(const RationalMap& map, const CriticalPointList& critical,
                           const AnalysisSettings& settings,
                           const std::atomic<bool>* stop = nullptr,
                           const CurveAnalysisNotice& notice = {});

}  // namespace analysis
