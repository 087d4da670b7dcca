#include "analysis/closed_curves.h"

#include "analysis/segment_grid.h"
#include "common/curve_crossing.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace analysis {

namespace {

struct Box {
    double minRe = 0, maxRe = 0, minIm = 0, maxIm = 0;
};

Box polylineBox(const std::vector<double>& re, const std::vector<double>& im) {
    Box b;
    if (re.empty()) return b;
    b.minRe = b.maxRe = re[0];
    b.minIm = b.maxIm = im[0];
    for (std::size_t i = 1; i < re.size(); ++i) {
        b.minRe = std::min(b.minRe, re[i]);
        b.maxRe = std::max(b.maxRe, re[i]);
        b.minIm = std::min(b.minIm, im[i]);
        b.maxIm = std::max(b.maxIm, im[i]);
    }
    return b;
}

int crossingParityInBox(double x, double y, const std::vector<double>& re,
                        const std::vector<double>& im, const Box& b) {
    if (re.size() < 2 || im.size() != re.size()) return 0;
    if (x > b.maxRe || x < b.minRe || y > b.maxIm || y < b.minIm) return 0;
    const common::FarPoint far = common::curveFarPoint(b.maxRe, b.minRe, b.maxIm, b.minIm);
    return common::rayCrossingParity(x, y, common::PolygonView::fromArrays(re.data(), im.data(), re.size()),
                                     far)
               ? 1
               : 0;
}

// Samples at the centres of an n x n grid over the box; keeps those on the
// wanted side of the polyline (and within the octagon, when given) that are
// at least convEps away from it. A sample within the curve-free disk of the
// sample below it is on the same side, so only samples near the polyline
// need a crossing count.
std::vector<CurveDisk> sampleDisks(const std::vector<double>& re, const std::vector<double>& im,
                                   const Box& box, int samples, double convEps, bool wantInside,
                                   const Octagon* octagon) {
    std::vector<CurveDisk> disks;
    if (re.size() < 2 || samples < 1) return disks;
    const double eps2 = convEps * convEps;
    const double w = box.maxRe - box.minRe, h = box.maxIm - box.minIm;
    const SegmentGrid grid(re, im, box.minRe, box.maxRe, box.minIm, box.maxIm);
    for (int i = 0; i < samples; ++i) {
        const double x = box.minRe + (i + 0.5) * w / samples;
        bool previousKnown = false;
        int previousInside = 0;
        double previousY = 0, previousD2 = 0;
        for (int j = 0; j < samples; ++j) {
            const double y = box.minIm + (j + 0.5) * h / samples;
            if (octagon != nullptr && !octagon->contains(x, y)) {
                previousKnown = false;
                continue;
            }
            const double d2 = grid.minSquaredDistance(x, y);
            if (d2 < eps2) {
                previousKnown = false;
                continue;
            }
            const double step = y - previousY;
            const int inside = previousKnown && step * step < 0.98 * previousD2
                                   ? previousInside
                                   : crossingParityInBox(x, y, re, im, box);
            previousKnown = true;
            previousInside = inside;
            previousY = y;
            previousD2 = d2;
            if ((inside == 1) != wantInside) continue;
            disks.push_back(CurveDisk{x, y, d2});
        }
    }
    std::stable_sort(disks.begin(), disks.end(), [](const CurveDisk& a, const CurveDisk& b) {
        return a.radiusSquared > b.radiusSquared;
    });
    return disks;
}

}  // namespace

bool Octagon::containsOctagon(const Octagon& o) const {
    return o.maxRe <= maxRe && o.maxIm <= maxIm && o.maxSum <= maxSum && o.maxDiff <= maxDiff &&
           o.minRe >= minRe && o.minIm >= minIm && o.minSum >= minSum && o.minDiff >= minDiff;
}

int CurveSet::curveCount() const {
    int n = 0;
    for (const CurveSetEntry& e : entries) n += static_cast<int>(e.curves.size());
    return n;
}

Octagon polylineOctagon(const std::vector<double>& re, const std::vector<double>& im) {
    Octagon o;
    if (re.empty() || im.size() != re.size()) return o;
    o.maxRe = o.minRe = re[0];
    o.maxIm = o.minIm = im[0];
    o.maxSum = o.minSum = re[0] + im[0];
    o.maxDiff = o.minDiff = re[0] - im[0];
    for (std::size_t i = 1; i < re.size(); ++i) {
        const double x = re[i], y = im[i];
        o.maxRe = std::max(o.maxRe, x);
        o.minRe = std::min(o.minRe, x);
        o.maxIm = std::max(o.maxIm, y);
        o.minIm = std::min(o.minIm, y);
        o.maxSum = std::max(o.maxSum, x + y);
        o.minSum = std::min(o.minSum, x + y);
        o.maxDiff = std::max(o.maxDiff, x - y);
        o.minDiff = std::min(o.minDiff, x - y);
    }
    return o;
}

double squaredDistanceToCurve(double x, double y, const std::vector<double>& re,
                              const std::vector<double>& im, double limitSquared) {
    const std::size_t n = std::min(re.size(), im.size());
    if (n == 0) return std::numeric_limits<double>::infinity();
    if (n == 1) {
        const double dx = x - re[0], dy = y - im[0];
        return dx * dx + dy * dy;
    }
    double best = std::numeric_limits<double>::infinity();
    for (std::size_t i = 0; i < n; ++i) {
        const std::size_t k = i + 1 < n ? i + 1 : 0;
        const double d = segmentDistanceSquared(x, y, re[i], im[i], re[k], im[k]);
        if (d < best) {
            best = d;
            if (best == 0.0 || best < limitSquared) return best;
        }
    }
    return best;
}

double distanceToCurve(double x, double y, const std::vector<double>& re,
                       const std::vector<double>& im) {
    return std::sqrt(squaredDistanceToCurve(x, y, re, im, 0.0));
}

int crossingParity(double x, double y, const std::vector<double>& re,
                   const std::vector<double>& im) {
    if (re.size() < 2 || im.size() != re.size()) return 0;
    return crossingParityInBox(x, y, re, im, polylineBox(re, im));
}

std::vector<CurveDisk> buildInnerDisks(const std::vector<double>& re, const std::vector<double>& im,
                                       int samples, double convEps) {
    if (im.size() != re.size()) return {};
    return sampleDisks(re, im, polylineBox(re, im), samples, convEps, true, nullptr);
}

std::vector<CurveDisk> buildOuterDisks(const ClosedCurve& curve, int samples, double convEps) {
    if (curve.im.size() != curve.re.size()) return {};
    const Box box{curve.octagon.minRe, curve.octagon.maxRe, curve.octagon.minIm, curve.octagon.maxIm};
    return sampleDisks(curve.re, curve.im, box, samples, convEps, false, &curve.octagon);
}

ClosedCurve makeClosedCurve(std::vector<double> re, std::vector<double> im, double convEps) {
    ClosedCurve c;
    if (im.size() != re.size()) im.resize(re.size(), 0.0);
    c.re = std::move(re);
    c.im = std::move(im);
    c.octagon = polylineOctagon(c.re, c.im);
    c.innerDisks = buildInnerDisks(c.re, c.im, INNER_DISK_SAMPLES, convEps);
    c.outerDisks = buildOuterDisks(c, OUTER_DISK_SAMPLES, convEps);
    return c;
}

int pointInCurve(double x, double y, const ClosedCurve& curve) {
    if (!curve.octagon.contains(x, y)) return 0;
    for (const CurveDisk& d : curve.outerDisks) {
        const double dx = x - d.re, dy = y - d.im;
        if (dx * dx + dy * dy < d.radiusSquared) return 0;
    }
    for (const CurveDisk& d : curve.innerDisks) {
        const double dx = x - d.re, dy = y - d.im;
        if (dx * dx + dy * dy < d.radiusSquared) return 1;
    }
    const Box box{curve.octagon.minRe, curve.octagon.maxRe, curve.octagon.minIm, curve.octagon.maxIm};
    return crossingParityInBox(x, y, curve.re, curve.im, box);
}

namespace {

// Grid of the orbit points for the nearest-neighbour chaining.
struct ChainGrid {
    int cols = 0, rows = 0;
    double cell = 0;
    double minRe = 0, minIm = 0;
    std::vector<int> head;      // per cell: newest point, -1 = empty
    std::vector<int> gridLink;  // per point: next point in the same cell
    std::vector<int> cellOf;    // per point: its cell, -1 = not placed

    int clampedIndex(double offset, int count) const {
        double v = std::trunc(offset / cell) + 1.0;
        if (!(v >= 0.0)) v = 0.0;  // also NaN
        if (v > count - 1) v = count - 1;
        return static_cast<int>(v);
    }
};

}  // namespace

ChainGridSize chainGridSize(double width, double height, double contEps) {
    ChainGridSize g;
    const double area = width * height;
    if (!std::isfinite(area) || !(area > 0.0) || !std::isfinite(contEps) || !(contEps > 0.0)) return g;
    double s = std::max(MIN_CELL_FACTOR, contEps) * std::sqrt(area);
    if (!std::isfinite(s) || !(s > 0.0)) return g;
    double cols = std::floor(width / s) + 2.0;
    double rows = std::floor(height / s) + 2.0;
    if (cols * rows > MAX_GRID_CELLS) {
        const double f = std::floor(std::sqrt(cols * rows) * 0.001);
        if (f > 1.0) {
            cols = std::max(3.0, std::floor(cols / f));
            rows = std::max(3.0, std::floor(rows / f));
            s = rows < cols ? width / (cols - 2.0) : height / (rows - 2.0);
        }
    }
    // Very flat boxes: one side stays at a few cells while the other would
    // pass the cap; shorten the long side and widen the cells with it.
    if (cols * rows > MAX_GRID_CELLS) {
        if (cols >= rows) {
            cols = std::max(3.0, std::floor(MAX_GRID_CELLS / rows));
            s = std::max(s, width / (cols - 2.0));
        } else {
            rows = std::max(3.0, std::floor(MAX_GRID_CELLS / cols));
            s = std::max(s, height / (rows - 2.0));
        }
    }
    if (!(cols * rows <= MAX_GRID_CELLS) || !(s > 0.0) || !std::isfinite(s)) return g;
    g.valid = true;
    g.cols = static_cast<int>(cols);
    g.rows = static_cast<int>(rows);
    g.cell = s;
    return g;
}

std::vector<ClosedCurve> detectClosedCurves(const double* re, const double* im, int count,
                                            const AnalysisSettings& settings,
                                            const std::atomic<bool>* stop) {
    std::vector<ClosedCurve> curves;
    if (count <= 0 || re == nullptr || im == nullptr) return curves;
    const double far2 = 1.0 / (settings.convEps * settings.convEps);
    auto finite = [&](int i) { return std::isfinite(re[i]) && std::isfinite(im[i]); };

    // 1. Bounding box of the finite points, seeded with the first finite one.
    int seed = 0;
    while (seed < count && !finite(seed)) ++seed;
    if (seed == count) return curves;
    double minRe = re[seed], maxRe = re[seed], minIm = im[seed], maxIm = im[seed];
    for (int i = 0; i < count; ++i) {
        if (!finite(i)) continue;
        if (re[i] * re[i] + im[i] * im[i] < far2) {
            minRe = std::min(minRe, re[i]);
            maxRe = std::max(maxRe, re[i]);
            minIm = std::min(minIm, im[i]);
            maxIm = std::max(maxIm, im[i]);
        }
    }
    const double width = maxRe - minRe, height = maxIm - minIm;

    // 2, 3. Grid size.
    const ChainGridSize size = chainGridSize(width, height, settings.contEps);
    if (!size.valid) return curves;
    ChainGrid g;
    g.cols = size.cols;
    g.rows = size.rows;
    g.cell = size.cell;
    g.minRe = minRe;
    g.minIm = minIm;
    const double linkRadius2 = settings.contEps * settings.contEps * (width * height);

    // 4. Place the points, each at the front of its cell's list.
    g.head.assign(static_cast<std::size_t>(g.cols) * g.rows, -1);
    g.gridLink.assign(count, -1);
    g.cellOf.assign(count, -1);
    std::vector<int> curveLink(count, -1);
    for (int i = 0; i < count; ++i) {
        if (!finite(i)) continue;
        const int col = g.clampedIndex(re[i] - minRe, g.cols);
        const int row = g.clampedIndex(im[i] - minIm, g.rows);
        const int cell = col * g.rows + row;
        g.cellOf[i] = cell;
        g.gridLink[i] = g.head[cell];
        g.head[cell] = i;
    }

    // 6. Chaining from the last 51 points, newest first.
    const int starts = std::min(count, CURVE_START_POINTS);
    for (int t = 0; t < starts; ++t) {
        if (static_cast<int>(curves.size()) >= MAX_CURVES_PER_POINT) break;
        if (stop != nullptr && stop->load(std::memory_order_relaxed)) break;
        const int start = count - 1 - t;
        if (curveLink[start] != -1 || g.cellOf[start] < 0) continue;

        int current = start;
        int steps = 0;
        bool stopped = false;
        for (;;) {
            const int cell = g.cellOf[current];
            const int col = cell / g.rows, row = cell % g.rows;
            const double cx = re[current], cy = im[current];
            int best = -1;
            double bestD = linkRadius2;
            auto scanCell = [&](int c, int r) {
                if (c < 0 || c >= g.cols || r < 0 || r >= g.rows) return;
                for (int p = g.head[c * g.rows + r]; p != -1; p = g.gridLink[p]) {
                    const bool candidate = (p != current && curveLink[p] == -1) ||
                                           (p == start && steps >= CURVE_MIN_CLOSING_STEPS);
                    if (!candidate) continue;
                    const double dx = re[p] - cx, dy = im[p] - cy;
                    const double d = dx * dx + dy * dy;
                    if (d < bestD) {
                        bestD = d;
                        best = p;
                    }
                }
            };
            scanCell(col, row);
            for (int dc = -1; dc <= 1; ++dc)
                for (int dr = -1; dr <= 1; ++dr)
                    if (dc != 0 || dr != 0) scanCell(col + dc, row + dr);

            if (best < 0) break;  // abandoned; its links stay set
            curveLink[current] = best;
            ++steps;
            if (best == start) {
                std::vector<double> pr, pi;
                pr.reserve(steps);
                pi.reserve(steps);
                int p = start;
                for (int k = 0; k < steps; ++k) {
                    pr.push_back(re[p]);
                    pi.push_back(im[p]);
                    p = curveLink[p];
                }
                curves.push_back(makeClosedCurve(std::move(pr), std::move(pi), settings.convEps));
                break;
            }
            if (stop != nullptr && stop->load(std::memory_order_relaxed)) {
                stopped = true;
                break;
            }
            current = best;
        }
        if (stopped) break;
    }
    return curves;
}

}  // namespace analysis
