#include "analysis/curve_locator.h"

#include <algorithm>
#include <cmath>

namespace analysis {

namespace {

constexpr int GRID_CELLS_PER_AXIS = 32;
constexpr int WIDE_DISK_CELLS = 64;  // disks meeting more cells are tested always

}  // namespace

CurveLocator::CurveLocator(const ClosedCurve& curve) : curve_(&curve) {
    const Octagon& o = curve.octagon;
    const double w = o.maxRe - o.minRe, h = o.maxIm - o.minIm;
    x0_ = o.minRe;
    y0_ = o.minIm;
    cols_ = w > 0.0 && std::isfinite(w) ? GRID_CELLS_PER_AXIS : 1;
    rows_ = h > 0.0 && std::isfinite(h) ? GRID_CELLS_PER_AXIS : 1;
    cellW_ = cols_ > 1 ? w / cols_ : 1.0;
    cellH_ = rows_ > 1 ? h / rows_ : 1.0;
    fill(curve.outerDisks, outer_);
    fill(curve.innerDisks, inner_);
}

int CurveLocator::cellX(double x) const {
    const double v = std::floor((x - x0_) / cellW_);
    if (!(v >= 0.0)) return 0;
    return v >= cols_ - 1 ? cols_ - 1 : static_cast<int>(v);
}

int CurveLocator::cellY(double y) const {
    const double v = std::floor((y - y0_) / cellH_);
    if (!(v >= 0.0)) return 0;
    return v >= rows_ - 1 ? rows_ - 1 : static_cast<int>(v);
}

void CurveLocator::fill(const std::vector<CurveDisk>& disks, Buckets& b) const {
    const std::size_t cells = static_cast<std::size_t>(cols_) * rows_;
    b.start.assign(cells + 1, 0);
    struct Span {
        int c0, c1, r0, r1;
    };
    std::vector<Span> spans(disks.size());
    for (std::size_t i = 0; i < disks.size(); ++i) {
        const CurveDisk& d = disks[i];
        // A point strictly inside the disk lies within its square; the
        // radius is widened a little against rounding of the square root.
        const double r = std::sqrt(d.radiusSquared) * (1.0 + 1e-12) + 1e-300;
        Span s{cellX(d.re - r), cellX(d.re + r), cellY(d.im - r), cellY(d.im + r)};
        if (!std::isfinite(r) || static_cast<long long>(s.c1 - s.c0 + 1) * (s.r1 - s.r0 + 1) > WIDE_DISK_CELLS) {
            b.wide.push_back(static_cast<int>(i));
            s.c0 = 1;
            s.c1 = 0;  // registered nowhere
        }
        spans[i] = s;
        for (int c = s.c0; c <= s.c1; ++c)
            for (int r2 = s.r0; r2 <= s.r1; ++r2) ++b.start[static_cast<std::size_t>(c) * rows_ + r2 + 1];
    }
    for (std::size_t c = 0; c < cells; ++c) b.start[c + 1] += b.start[c];
    b.items.resize(b.start[cells]);
    std::vector<int> next(b.start.begin(), b.start.end() - 1);
    for (std::size_t i = 0; i < disks.size(); ++i) {
        const Span& s = spans[i];
        for (int c = s.c0; c <= s.c1; ++c)
            for (int r2 = s.r0; r2 <= s.r1; ++r2)
                b.items[next[static_cast<std::size_t>(c) * rows_ + r2]++] = static_cast<int>(i);
    }
}

bool CurveLocator::inDisk(const CurveDisk& d, double x, double y) {
    const double dx = x - d.re, dy = y - d.im;
    return dx * dx + dy * dy < d.radiusSquared;
}

bool CurveLocator::anyDisk(const std::vector<CurveDisk>& disks, const Buckets& b, double x, double y) const {
    for (int i : b.wide)
        if (inDisk(disks[i], x, y)) return true;
    const std::size_t cell = static_cast<std::size_t>(cellX(x)) * rows_ + cellY(y);
    for (int k = b.start[cell]; k < b.start[cell + 1]; ++k)
        if (inDisk(disks[b.items[k]], x, y)) return true;
    return false;
}

int CurveLocator::pointIn(double x, double y) const {
    const ClosedCurve& c = *curve_;
    if (!c.octagon.contains(x, y)) return 0;
    if (anyDisk(c.outerDisks, outer_, x, y)) return 0;
    if (anyDisk(c.innerDisks, inner_, x, y)) return 1;
    return curveCrossingParity(x, y, c);
}

}  // namespace analysis
