#include "analysis/julia_analysis.h"

#include <new>

namespace analysis {

JuliaAnalysis analyseJulia(const RationalMap& map, const CriticalPointList& critical,
                           const AnalysisSettings& settings, const std::atomic<bool>* stop,
                           const CurveAnalysisNotice& notice) {
    JuliaAnalysis result;
    try {
        result.criticalPoints = critical;
        result.orbits = analyseCriticalOrbits(map, critical, settings, stop, notice);
        result.domains = pairRotationDomains(result.orbits.curves);
        result.fixedPoints = findFixedPoints(map);
    } catch (const std::bad_alloc&) {
        result = JuliaAnalysis{};
        result.outOfMemory = true;
        return result;
    }
    result.stopped = result.orbits.stopped;
    result.outOfMemory = result.orbits.outOfMemory;
    result.invalidInput = result.orbits.invalidInput;
    return result;
}

JuliaAnalysis analyseJulia(const RationalMap& map, const AnalysisSettings& settings,
                           const std::atomic<bool>* stop, const CurveAnalysisNotice& notice) {
    CriticalPointList critical;
    try {
        critical = findCriticalPoints(map);
    } catch (const std::bad_alloc&) {
        JuliaAnalysis result;
        result.outOfMemory = true;
        return result;
    }
    return analyseJulia(map, critical, settings, stop, notice);
}

}  // namespace analysis
