// Nearest-segment search over a closed polyline, for the many distance
// queries of the disk lists.
//
// The polyline's segments (closing segment included) are bucketed into a
// uniform grid over the polyline's bounding box; a query visits cells in
// square rings around its own cell until no unvisited cell can hold a
// nearer segment. Every candidate's distance is computed with the same
// formula as a full scan, so the result is the same value a full scan
// returns.
//
// Queries must lie within the bounding box given at construction.
//
// Thread-safety: const queries may run concurrently.
#pragma once

#include <vector>

namespace analysis {

// Squared distance from (x, y) to the segment a-b: the nearer end point, or
// the perpendicular when its foot lies strictly between the end points
// (compared along x, along y for a vertical segment).
double segmentDistanceSquared(double x, double y, double ax, double ay, double bx, double by);

class SegmentGrid {
public:
    SegmentGrid(const std::vector<double>& re, const std::vector<double>& im, double minRe, double maxRe,
                double minIm, double maxIm);

    // Least squared distance from (x, y) to the polyline (+infinity when it
    // has no points).
    double minSquaredDistance(double x, double y) const;

private:
    const std::vector<double>& re_;
    const std::vector<double>& im_;
    int cols_ = 1, rows_ = 1;
    double x0_ = 0, y0_ = 0, cellW_ = 1, cellH_ = 1;
    double margin_ = 0;         // slack against rounding at cell borders
    std::vector<int> start_;    // per cell: first entry in items_ (cols_ * rows_ + 1)
    std::vector<int> items_;    // segment indices (segment i runs from point i to i + 1)

    int cellX(double x) const;
    int cellY(double y) const;
};

}  // namespace analysis
