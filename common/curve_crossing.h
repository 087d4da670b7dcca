// Point-in-polygon by ray crossing, shared by the analysis engine and the
// viewer so that both classify every point the same way.
//
// Conventions
//  - A polygon is closed: vertices t0 .. t(n-1), edges (t0,t1), (t1,t2), ...,
//    (t(n-2),t(n-1)) and the closing edge (t(n-1),t0).
//  - Vertices are read through a PolygonView: vertex i is
//    (re[i * stride], im[i * stride]). Parallel arrays use stride 1; the
//    {re, im} pairs of a shared block use re = base, im = base + 1, stride 2.
//    The view never owns memory; callers that read untrusted blocks check the
//    count and the offset of the array against the mapped size first.
//  - The test ray runs from the point z to the curve's far point F
//    (curveFarPoint), which always lies outside the polygon's bounding box.
//  - Crossings are counted with a half-open rule: a vertex lying exactly on
//    the ray's line belongs to the side below it, so a ray through a vertex
//    counts once where the polygon crosses the ray there and zero or two
//    times where it only touches. A polygon edge lying along the ray never
//    counts.
//
// Failure modes: a polygon with fewer than two vertices has no edges and
// every point is outside. A stop request seen before an edge is tested ends
// the test with "outside".
//
// Thread-safety: pure functions; the stop flag is only read.
#pragma once

#include <atomic>
#include <cstddef>

namespace common {

struct FarPoint {
    double re = 0, im = 0;
};

// The far end of the test ray of a polygon with the given bounding box:
// (1.2 * maxRe, 1.2 * maxIm) when that lies outside the box; otherwise, per
// axis, max + 0.2 * |max| + 1.
FarPoint curveFarPoint(double maxRe, double minRe, double maxIm, double minIm);

struct PolygonView {
    const double* re = nullptr;
    const double* im = nullptr;
    std::size_t count = 0;
    std::size_t stride = 1;

    static PolygonView fromArrays(const double* re, const double* im, std::size_t count) {
        return PolygonView{re, im, count, 1};
    }
    // pairs = {re0, im0, re1, im1, ...}
    static PolygonView fromPairs(const double* pairs, std::size_t count) {
        return PolygonView{pairs, pairs + 1, count, 2};
    }
    double x(std::size_t i) const { return re[i * stride]; }
    double y(std::size_t i) const { return im[i * stride]; }
};

// True when the closed segments a1-a2 and b1-b2 have a common point, found by
// intersecting the two lines. Parallel and collinear segments (determinant
// exactly 0) never cross; segments touching at an end point do.
bool segmentsCross(double a1x, double a1y, double a2x, double a2y,
                   double b1x, double b1y, double b2x, double b2y);

// True when the segment from (x, y) to `far` crosses an odd number of polygon
// edges, that is when (x, y) lies inside the polygon. A point equal to `far`
// is outside. `stop` (optional) is polled before every edge of the open chain.
bool rayCrossingParity(double x, double y, const PolygonView& polygon, FarPoint far,
                       const std::atomic<bool>* stop = nullptr);

}  // namespace common
