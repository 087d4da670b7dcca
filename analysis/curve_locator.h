// pointInCurve for many queries against one curve: the disk lists are
// bucketed into a grid over the curve's box, so a query looks only at the
// disks that can contain it. The answers are those of pointInCurve
// (closed_curves.h): octagon, outer disks, inner disks, crossing count.
//
// The locator refers to the curve; the curve must outlive it and stay
// unchanged.
//
// Thread-safety: const queries may run concurrently.
#pragma once

#include <vector>

#include "analysis/closed_curves.h"

namespace analysis {

class CurveLocator {
public:
    explicit CurveLocator(const ClosedCurve& curve);

    const ClosedCurve& curve() const { return *curve_; }
    int pointIn(double x, double y) const;

private:
    // Disks bucketed by the grid cells their bounding squares meet; disks
    // spanning many cells are kept aside and always tested.
    struct Buckets {
        std::vector<int> start;  // per cell: first entry in items (cells + 1)
        std::vector<int> items;  // disk indices
        std::vector<int> wide;
    };

    const ClosedCurve* curve_;
    int cols_ = 1, rows_ = 1;
    double x0_ = 0, y0_ = 0, cellW_ = 1, cellH_ = 1;
    Buckets outer_, inner_;

    int cellX(double x) const;
    int cellY(double y) const;
    void fill(const std::vector<CurveDisk>& disks, Buckets& b) const;
    static bool inDisk(const CurveDisk& d, double x, double y);
    bool anyDisk(const std::vector<CurveDisk>& disks, const Buckets& b, double x, double y) const;
};

}  // namespace analysis
