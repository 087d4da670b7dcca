#include "analysis/segment_grid.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace analysis {

double segmentDistanceSquared(double x, double y, double ax, double ay, double bx, double by) {
    const double vx = bx - ax, vy = by - ay;
    const double wx = x - ax, wy = y - ay;
    const double vv = vx * vx + vy * vy;
    if (vv > 0.0) {
        const double t = (wx * vx + wy * vy) / vv;
        const double fx = ax + t * vx, fy = ay + t * vy;
        const bool between = ax != bx ? (fx > std::min(ax, bx) && fx < std::max(ax, bx))
                                      : (fy > std::min(ay, by) && fy < std::max(ay, by));
        if (between) {
            const double cross = wx * vy - wy * vx;
            return cross * cross / vv;
        }
    }
    const double da = wx * wx + wy * wy;
    const double ex = x - bx, ey = y - by;
    const double db = ex * ex + ey * ey;
    return std::min(da, db);
}

namespace {

constexpr int MAX_CELLS_PER_AXIS = 512;
constexpr double SEGMENTS_PER_CELL = 2.0;

int cellsAlong(double side, double otherSide, std::size_t segments) {
    if (!(side > 0.0) || !std::isfinite(side)) return 1;
    const double ratio = otherSide > 0.0 && std::isfinite(otherSide) ? side / otherSide : 1.0;
    const double n = std::sqrt(static_cast<double>(segments) / SEGMENTS_PER_CELL * ratio);
    return static_cast<int>(std::clamp(std::round(n), 1.0, static_cast<double>(MAX_CELLS_PER_AXIS)));
}

}  // namespace

SegmentGrid::SegmentGrid(const std::vector<double>& re, const std::vector<double>& im, double minRe,
                         double maxRe, double minIm, double maxIm)
    : re_(re), im_(im) {
    const std::size_t n = std::min(re.size(), im.size());
    const double w = maxRe - minRe, h = maxIm - minIm;
    cols_ = cellsAlong(w, h, n);
    rows_ = cellsAlong(h, w, n);
    x0_ = minRe;
    y0_ = minIm;
    cellW_ = w > 0.0 ? w / cols_ : 1.0;
    cellH_ = h > 0.0 ? h / rows_ : 1.0;
    margin_ = 1e-12 * (std::fabs(w) + std::fabs(h) + std::fabs(minRe) + std::fabs(minIm) + std::fabs(maxRe) +
                       std::fabs(maxIm));

    const std::size_t cells = static_cast<std::size_t>(cols_) * rows_;
    start_.assign(cells + 1, 0);
    auto forEachCell = [&](std::size_t i, auto&& visit) {
        const std::size_t k = i + 1 < n ? i + 1 : 0;
        const int c0 = cellX(std::min(re[i], re[k])), c1 = cellX(std::max(re[i], re[k]));
        const int r0 = cellY(std::min(im[i], im[k])), r1 = cellY(std::max(im[i], im[k]));
        for (int c = c0; c <= c1; ++c)
            for (int r = r0; r <= r1; ++r) visit(static_cast<std::size_t>(c) * rows_ + r);
    };
    if (n == 0) return;
    for (std::size_t i = 0; i < n; ++i) forEachCell(i, [&](std::size_t cell) { ++start_[cell + 1]; });
    for (std::size_t c = 0; c < cells; ++c) start_[c + 1] += start_[c];
    items_.resize(start_[cells]);
    std::vector<int> fill(start_.begin(), start_.end() - 1);
    for (std::size_t i = 0; i < n; ++i)
        forEachCell(i, [&](std::size_t cell) { items_[fill[cell]++] = static_cast<int>(i); });
}

int SegmentGrid::cellX(double x) const {
    const double v = std::floor((x - x0_) / cellW_);
    if (!(v >= 0.0)) return 0;
    return v >= cols_ - 1 ? cols_ - 1 : static_cast<int>(v);
}

int SegmentGrid::cellY(double y) const {
    const double v = std::floor((y - y0_) / cellH_);
    if (!(v >= 0.0)) return 0;
    return v >= rows_ - 1 ? rows_ - 1 : static_cast<int>(v);
}

double SegmentGrid::minSquaredDistance(double x, double y) const {
    const std::size_t n = std::min(re_.size(), im_.size());
    double best = std::numeric_limits<double>::infinity();
    if (n == 0) return best;
    const int cx = cellX(x), cy = cellY(y);
    auto visit = [&](int c, int r) {
        if (c < 0 || c >= cols_ || r < 0 || r >= rows_) return;
        const std::size_t cell = static_cast<std::size_t>(c) * rows_ + r;
        for (int p = start_[cell]; p < start_[cell + 1]; ++p) {
            const std::size_t i = static_cast<std::size_t>(items_[p]);
            const std::size_t k = i + 1 < n ? i + 1 : 0;
            const double d = segmentDistanceSquared(x, y, re_[i], im_[i], re_[k], im_[k]);
            if (d < best) best = d;
        }
    };
    for (int ring = 0;; ++ring) {
        if (ring == 0) {
            visit(cx, cy);
        } else {
            for (int c = cx - ring; c <= cx + ring; ++c) {
                visit(c, cy - ring);
                visit(c, cy + ring);
            }
            for (int r = cy - ring + 1; r <= cy + ring - 1; ++r) {
                visit(cx - ring, r);
                visit(cx + ring, r);
            }
        }
        // Every unvisited cell lies beyond one of the block's inner sides.
        double bound = std::numeric_limits<double>::infinity();
        if (cx - ring > 0) bound = std::min(bound, x - (x0_ + (cx - ring) * cellW_));
        if (cx + ring < cols_ - 1) bound = std::min(bound, x0_ + (cx + ring + 1) * cellW_ - x);
        if (cy - ring > 0) bound = std::min(bound, y - (y0_ + (cy - ring) * cellH_));
        if (cy + ring < rows_ - 1) bound = std::min(bound, y0_ + (cy + ring + 1) * cellH_ - y);
        if (bound == std::numeric_limits<double>::infinity()) break;  // all cells seen
        bound -= margin_;
        if (bound > 0.0 && best <= bound * bound) break;
    }
    return best;
}

}  // namespace analysis
