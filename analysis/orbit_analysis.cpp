#include "analysis/orbit_analysis.h"

#include "analysis/cycle_refinement.h"
#include "analysis/rotation_domains.h"

#include <algorithm>
#include <cmath>
#include <new>

namespace analysis {

namespace {

bool stopRequested(const std::atomic<bool>* stop) {
    return stop != nullptr && stop->load(std::memory_order_relaxed);
}

bool criticalListValid(const CriticalPointList& c) {
    return c.count >= 0 && static_cast<int>(c.re.size()) >= c.count &&
           static_cast<int>(c.im.size()) >= c.count;
}

// Follows the orbit of c for `length` steps into zr/zi; returns false when
// it escapes (pole, beyond 1/ZERO_TOL, or a point that is not finite).
bool followOrbit(const RationalMap& map, ComplexValue c, int length, std::vector<double>& zr,
                 std::vector<double>& zi) {
    ComplexValue z = c;
    for (int step = 0; step < length; ++step) {
        const RationalValue v = evaluateRational(map, z);
        if (v.pole) return false;
        z = v.value;
        zr[step] = z.re;
        zi[step] = z.im;
        if (!std::isfinite(z.re) || !std::isfinite(z.im)) return false;
        if (z.re * z.re + z.im * z.im > ESCAPE_RADIUS_SQUARED) return false;
    }
    return true;
}

// True when the stored orbit (length n, z_k at index k - 1) has period i.
bool hasPeriod(const std::vector<double>& zr, const std::vector<double>& zi, int n, int i,
               double convEps) {
    const double eps2 = convEps * convEps;
    const double far2 = 1.0 / eps2;
    for (int k = n; k > n - i; --k) {
        const double xr = zr[k - 1], xi = zi[k - 1];
        const bool atInfinity = xr * xr + xi * xi > far2;
        for (int r = 1; r <= PERIOD_REPEATS; ++r) {
            const double yr = zr[k - 1 - r * i], yi = zi[k - 1 - r * i];
            if (atInfinity) {
                if (!(yr * yr + yi * yi >= far2)) return false;
            } else {
                const double dr = yr - xr, di = yi - xi;
                if (!(dr * dr + di * di <= eps2)) return false;
            }
        }
    }
    return true;
}

// Index of a recorded cycle of period i that the orbit's newest point lies
// within CONV_EPS of; -1 when none.
int matchingCycle(const CycleList& list, int period, double x, double y, double convEps) {
    const double eps2 = convEps * convEps;
    for (int c = 0; c < list.count(); ++c) {
        const Cycle& cycle = list.cycles[c];
        if (cycle.period != period || cycle.toInfinity != 0) continue;
        for (std::size_t p = 0; p < cycle.re.size(); ++p) {
            const double dr = x - cycle.re[p], di = y - cycle.im[p];
            if (dr * dr + di * di < eps2) return c;
        }
    }
    return -1;
}

// How far polishing may move a cycle point found by an orbit (relative to
// 1 + |z|): a creeping orbit towards a parabolic point lies this close.
constexpr double POLISH_REACH = 1e-2;

// A detected cycle: its period, kind and points newest first.
struct DetectedCycle {
    int period = 0;
    PointKind kind = PointKind::Attracting;
    std::vector<double> re, im;
};

// The tail of period i, polished and classified; the raw tail (kind
// Attracting) where it reaches infinity or polishes onto no nearby point.
DetectedCycle detectedCycle(const RationalMap& map, const std::vector<double>& zr,
                            const std::vector<double>& zi, int n, int i, double convEps) {
    DetectedCycle c;
    c.period = i;
    const double far2 = 1.0 / (convEps * convEps);
    bool finiteTail = true;
    for (int p = 0; p < i; ++p)
        finiteTail = finiteTail && zr[n - 1 - p] * zr[n - 1 - p] + zi[n - 1 - p] * zi[n - 1 - p] <= far2;
    const ComplexValue newest{zr[n - 1], zi[n - 1]};
    if (finiteTail) {
        const double tol2 = convEps * convEps;
        RefinedPoint p = refineCyclePoint(map, newest, i);
        ComplexValue z{static_cast<double>(p.re), static_cast<double>(p.im)};
        const int exact = p.valid ? exactPeriod(map, z, i, tol2) : i;
        if (exact < i) {
            p = refineCyclePoint(map, z, exact);
            z = {static_cast<double>(p.re), static_cast<double>(p.im)};
        }
        const double reach = POLISH_REACH * (1.0 + std::hypot(newest.re, newest.im));
        if (p.valid && std::hypot(z.re - newest.re, z.im - newest.im) <= reach) {
            c.period = exact;
            c.kind = classifyMultiplier(p.lambdaSquared());
            // newest first: z, then f^(period-1)(z), ..., f(z)
            c.re.assign(exact, z.re);
            c.im.assign(exact, z.im);
            for (int m = 1; m < exact; ++m) {
                ComplexValue w;
                if (!iterateMap(map, z, m, w)) w = z;
                c.re[exact - m] = w.re;
                c.im[exact - m] = w.im;
            }
            return c;
        }
    }
    c.re.resize(i);
    c.im.resize(i);
    for (int p = 0; p < i; ++p) {
        c.re[p] = zr[n - 1 - p];
        c.im[p] = zi[n - 1 - p];
    }
    return c;
}

bool hasInfinityEntry(const CycleList& list) {
    for (const Cycle& c : list.cycles)
        if (c.toInfinity == 1) return true;
    return false;
}

void analyseOne(const RationalMap& map, const CriticalPointList& critical, int index,
                const AnalysisSettings& settings, const std::atomic<bool>* stop,
                const CurveAnalysisNotice& notice, std::vector<double>& zr, std::vector<double>& zi,
                OrbitAnalysis& out) {
    CriticalOrbitResult& result = out.criticalOrbits[index];
    const int n = std::clamp(settings.maxLoop, 0, MAX_LOOP_LIMIT);
    if (n == 0) return;  // empty orbit: nothing to detect

    // 1, 2. Orbit and escape.
    if (!followOrbit(map, ComplexValue{critical.re[index], critical.im[index]}, n, zr, zi)) {
        result.fate = OrbitFate::Escaped;
        if (!hasInfinityEntry(out.cycles) && !out.cycles.full()) {
            Cycle inf;
            inf.period = 0;
            inf.kind = PointKind::Attracting;
            inf.toInfinity = 1;
            out.cycles.cycles.push_back(std::move(inf));
            result.cycleIndex = out.cycles.count() - 1;
        }
        return;
    }

    // 3, 4. Period detection, matching, recording.
    for (int i = 1; i <= MAX_ORBIT_PERIOD && 5 * i <= n; ++i) {
        if (!hasPeriod(zr, zi, n, i, settings.convEps)) continue;
        DetectedCycle d = detectedCycle(map, zr, zi, n, i, settings.convEps);
        result.period = d.period;
        if (d.kind == PointKind::Repelling) {
            result.fate = OrbitFate::RepellingCycle;
            return;
        }
        // A known cycle is matched whether or not the list has room, so an
        // orbit on a known cycle is never taken for a closed curve.
        const int known = matchingCycle(out.cycles, d.period, d.re[0], d.im[0], settings.convEps);
        if (known >= 0) {
            result.fate = OrbitFate::KnownCycle;
            result.cycleIndex = known;
            return;
        }
        if (out.cycles.full()) {
            result.fate = OrbitFate::PeriodPassedOver;
            continue;
        }
        Cycle c;
        c.period = d.period;
        c.kind = d.kind;
        c.toInfinity = 0;
        c.re = std::move(d.re);
        c.im = std::move(d.im);
        out.cycles.cycles.push_back(std::move(c));
        result.fate = OrbitFate::NewCycle;
        result.cycleIndex = out.cycles.count() - 1;
        return;
    }

    // 5. Closed curves.
    if (settings.siegelFlag != 1) {
        if (result.fate != OrbitFate::PeriodPassedOver) result.fate = OrbitFate::Undetermined;
        return;
    }
    if (notice) notice();
    std::vector<ClosedCurve> curves = detectClosedCurves(zr.data(), zi.data(), n, settings, stop);
    if (curves.empty()) {
        if (result.fate != OrbitFate::PeriodPassedOver) result.fate = OrbitFate::Undetermined;
        return;
    }
    CurveSetEntry entry;
    entry.criticalPointIndex = index;
    entry.curves = std::move(curves);
    out.curves.entries.push_back(std::move(entry));
    result.fate = OrbitFate::ClosedCurves;
    result.curveEntry = static_cast<int>(out.curves.entries.size()) - 1;
}

}  // namespace

namespace {

void runOrbitStage(const RationalMap& map, const CriticalPointList& critical,
                   const AnalysisSettings& settings, const std::atomic<bool>* stop,
                   const CurveAnalysisNotice& notice, OrbitAnalysis& out) {
    out.algebraicCycleCount = out.cycles.count();
    out.criticalOrbits.assign(critical.count, CriticalOrbitResult{});
    if (out.periodicSearch.end == PeriodicSearchEnd::Stopped) out.stopped = true;

    const int n = std::clamp(settings.maxLoop, 0, MAX_LOOP_LIMIT);
    std::vector<double> zr(n), zi(n);
    for (int c = 0; c < critical.count; ++c) {
        if (stopRequested(stop)) {
            out.stopped = true;
            break;
        }
        analyseOne(map, critical, c, settings, stop, notice, zr, zi, out);
    }
    if (stopRequested(stop)) out.stopped = true;
    if (!out.stopped && !out.curves.entries.empty()) {
        out.curvesClassified = classifyCurveSides(out.curves, map, settings, stop);
        if (!out.curvesClassified) out.stopped = true;
    }
}

OrbitAnalysis outOfMemoryResult(int capacity) {
    OrbitAnalysis out;
    out.cycles.capacity = capacity;
    out.outOfMemory = true;
    return out;
}

}  // namespace

OrbitAnalysis analyseCriticalOrbits(const RationalMap& map, const CriticalPointList& critical,
                                    const AnalysisSettings& settings, const std::atomic<bool>* stop,
                                    const CurveAnalysisNotice& notice) {
    OrbitAnalysis out;
    if (mapDegree(map) < 1 || !criticalListValid(critical) || !settingsValid(settings)) {
        out.invalidInput = true;
        return out;
    }
    try {
        PeriodicSearchOptions options;
        options.convEps = settings.convEps;
        options.stop = stop;
        options.report = &out.periodicSearch;
        out.cycles = findPeriodicPoints(map, options);
        out.outOfMemory = out.periodicSearch.end == PeriodicSearchEnd::OutOfMemory;
        runOrbitStage(map, critical, settings, stop, notice, out);
    } catch (const std::bad_alloc&) {
        out = outOfMemoryResult(cycleCapacity(map));
    }
    return out;
}

OrbitAnalysis followCriticalOrbits(const RationalMap& map, const CriticalPointList& critical,
                                   const AnalysisSettings& settings, CycleList algebraic,
                                   const std::atomic<bool>* stop, const CurveAnalysisNotice& notice) {
    OrbitAnalysis out;
    if (mapDegree(map) < 1 || !criticalListValid(critical) || !settingsValid(settings)) {
        out.invalidInput = true;
        return out;
    }
    try {
        out.cycles = std::move(algebraic);
        if (out.cycles.count() > out.cycles.capacity) out.cycles.cycles.resize(out.cycles.capacity);
        runOrbitStage(map, critical, settings, stop, notice, out);
    } catch (const std::bad_alloc&) {
        out = outOfMemoryResult(cycleCapacity(map));
    }
    return out;
}

}  // namespace analysis
