// Closed curves chained from a critical orbit, and the geometry tests on
// them (inside/outside, distance, the inner and outer disk lists).
//
// Conventions
//  - A ClosedCurve's polyline is closed: the last point connects back to
//    the first. Its field order is the order of the block's CurveImage.
//  - The octagon holds the eight bounds of the curve's points: max re,
//    min re, max im, min im, max (re+im), min (re+im), max (re-im),
//    min (re-im); every point of the curve satisfies all eight (inclusive).
//  - CurveDisk lists are sorted by decreasing squared radius. A point
//    strictly inside an outer disk is outside the curve, strictly inside an
//    inner disk is inside it.
//  - Inside/outside of a polyline is decided by common::rayCrossingParity
//    with the far point common::curveFarPoint of the polyline's bounding box,
//    the same routine the viewer uses.
//  - `inOut` bits: CURVE_OUT (1) = orbits of points just inside return,
//    CURVE_IN (2) = orbits of points just outside return; written by
//    classifyCurveSides (rotation_domains.h).
//
// Failure modes: no exception leaves these functions; a curve with fewer
// than two points has no inside. Non-finite orbit points never seed the
// detection grid.
//
// Thread-safety: reentrant; the stop flag is only read.
#pragma once

#include "analysis/analysis_settings.h"

#include <atomic>
#include <vector>

namespace analysis {

inline constexpr int MAX_CURVES_PER_POINT = 50;
inline constexpr int CURVE_START_POINTS = 51;      // chains start from the last 51 orbit points
inline constexpr int CURVE_MIN_CLOSING_STEPS = 100;  // the start point may close a chain after 99 steps
inline constexpr int INNER_DISK_SAMPLES = 13;
inline constexpr int OUTER_DISK_SAMPLES = 120;
inline constexpr int MAX_GRID_CELLS = 1000000;
inline constexpr double MIN_CELL_FACTOR = 0.001;

inline constexpr int CURVE_NONE = 0;
inline constexpr int CURVE_OUT = 1;
inline constexpr int CURVE_IN = 2;
inline constexpr int CURVE_IN_AND_OUT = 3;

struct Octagon {
    double maxRe = 0, minRe = 0, maxIm = 0, minIm = 0;
    double maxSum = 0, minSum = 0, maxDiff = 0, minDiff = 0;

    bool contains(double x, double y) const {
        return !(x > maxRe || x < minRe || y > maxIm || y < minIm || x + y > maxSum ||
                 x + y < minSum || x - y > maxDiff || x - y < minDiff);
    }
    // True when `o` lies within this octagon (its maxima at most ours, its
    // minima at least ours).
    bool containsOctagon(const Octagon& o) const;
};

struct CurveDisk {
    double re = 0, im = 0;        // centre
    double radiusSquared = 0;
};

struct ClosedCurve {
    int inOut = CURVE_NONE;             // CURVE_* bits
    Octagon octagon;
    std::vector<CurveDisk> outerDisks;  // surely outside, largest first
    std::vector<CurveDisk> innerDisks;  // surely inside, largest first
    std::vector<double> re, im;         // polyline, closed

    int pointCount() const { return static_cast<int>(re.size()); }
};

// The curves found for one critical point.
struct CurveSetEntry {
    int criticalPointIndex = -1;
    std::vector<ClosedCurve> curves;  // 1..50
};

// Entries in the order in which critical points yielded curves.
struct CurveSet {
    std::vector<CurveSetEntry> entries;

    int curveCount() const;
};

// Grid of the chaining for a box of the given size: cells of side
// max(0.001, CONT_EPS) * sqrt(area), two border cells, at most
// MAX_GRID_CELLS cells (coarser cells for large or very flat boxes). Sized
// in double; `valid` is false when the area is not finite and positive.
struct ChainGridSize {
    bool valid = false;
    int cols = 0, rows = 0;
    double cell = 0;
};
ChainGridSize chainGridSize(double width, double height, double contEps);

// Chains the stored orbit z_1 .. z_n (n = count) into closed curves (at most
// 50), each with its octagon and disk lists; `inOut` is left 0. The stop
// request ends the chaining at once (an unfinished chain is not recorded).
std::vector<ClosedCurve> detectClosedCurves(const double* re, const double* im, int count,
                                            const AnalysisSettings& settings,
                                            const std::atomic<bool>* stop = nullptr);

// A curve from a closed polyline: octagon, inner disks (13 x 13 samples) and
// outer disks (120 x 120 samples), `inOut` 0.
ClosedCurve makeClosedCurve(std::vector<double> re, std::vector<double> im, double convEps);

Octagon polylineOctagon(const std::vector<double>& re, const std::vector<double>& im);

// Samples at the centres of an n x n grid over the polyline's box that are
// inside it and at least convEps away from it, as disks reaching to the
// polyline, largest first.
std::vector<CurveDisk> buildInnerDisks(const std::vector<double>& re, const std::vector<double>& im,
                                       int samples, double convEps);

// The same over the curve's box for samples outside the polyline but within
// its octagon.
std::vector<CurveDisk> buildOuterDisks(const ClosedCurve& curve, int samples, double convEps);

// 1 when (x, y) is inside the curve: octagon, outer disks, inner disks, then
// the crossing count.
int pointInCurve(double x, double y, const ClosedCurve& curve);

// The crossing count of pointInCurve alone: 1 when (x, y) is inside the
// curve's polyline, with the octagon's box as the polyline's box.
int curveCrossingParity(double x, double y, const ClosedCurve& curve);

// 1 when (x, y) is inside the closed polyline; 0 outside its bounding box
// (inclusive) or with fewer than two points.
int crossingParity(double x, double y, const std::vector<double>& re,
                   const std::vector<double>& im);

// Least distance from (x, y) to the closed polyline (closing segment
// included); +infinity for an empty polyline.
double distanceToCurve(double x, double y, const std::vector<double>& re,
                       const std::vector<double>& im);

// The same, squared; stops early (returning a value below `limitSquared`)
// as soon as some segment is nearer than `limitSquared`.
double squaredDistanceToCurve(double x, double y, const std::vector<double>& re,
                              const std::vector<double>& im, double limitSquared = 0.0);

}  // namespace analysis
