#include "analysis/closed_curves.h"

#include "analysis/free_point_tree.h"
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
    return curveCrossingParity(x, y, curve);
}

int curveCrossingParity(double x, double y, const ClosedCurve& curve) {
    const Box box{curve.octagon.minRe, curve.octagon.maxRe, curve.octagon.minIm, curve.octagon.maxIm};
    return crossingParityInBox(x, y, curve.re, curve.im, box);
}

namespace {

// Grid of the orbit points for the nearest-neighbour chaining.
struct ChainGrid {
    int cols = 0, rows = 0;
    double cell = 0;
    double minRe = 0, minIm = 0;

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

    // 4. Each point's cell. The cells decide which points may follow which
    // (the 3 x 3 block around the current point's cell) and, among equally
    // near candidates, which one is found first: the current cell before
    // its neighbours, and within a cell the newest point first.
    std::vector<int> colOf(count, -1), rowOf(count, -1);
    std::vector<int> placed;
    placed.reserve(count);
    for (int i = 0; i < count; ++i) {
        if (!finite(i)) continue;
        colOf[i] = g.clampedIndex(re[i] - minRe, g.cols);
        rowOf[i] = g.clampedIndex(im[i] - minIm, g.rows);
        placed.push_back(i);
    }
    std::vector<int> curveLink(count, -1);
    FreePointTree tree(re, im, std::move(placed));

    // 6. Chaining from the last 51 points, newest first.
    const int starts = std::min(count, CURVE_START_POINTS);
    for (int t = 0; t < starts; ++t) {
        if (static_cast<int>(curves.size()) >= MAX_CURVES_PER_POINT) break;
        if (stop != nullptr && stop->load(std::memory_order_relaxed)) break;
        const int start = count - 1 - t;
        if (curveLink[start] != -1 || colOf[start] < 0) continue;

        int current = start;
        int steps = 0;
        bool stopped = false;
        for (;;) {
            const int col = colOf[current], row = rowOf[current];
            auto inBlock = [&](int p) { return std::abs(colOf[p] - col) <= 1 && std::abs(rowOf[p] - row) <= 1; };
            // Scan rank: the own cell first, then the neighbours column by
            // column; within a cell the newest point first.
            auto rank = [&](int p) {
                const int dc = colOf[p] - col, dr = rowOf[p] - row;
                const int cell = dc == 0 && dr == 0 ? 0 : (dc + 1) * 3 + (dr + 1) + (dc * 3 + dr < 0 ? 1 : 0);
                return static_cast<long long>(cell) * count + (count - 1 - p);
            };
            double bestD = linkRadius2;
            int best = tree.nearest(re[current], im[current], linkRadius2, current, inBlock, rank, bestD);
            if (steps >= CURVE_MIN_CLOSING_STEPS && inBlock(start)) {
                const double dx = re[start] - re[current], dy = im[start] - im[current];
                const double d = dx * dx + dy * dy;
                if (d < linkRadius2 && (best < 0 || d < bestD || (d == bestD && rank(start) < rank(best)))) {
                    best = start;
                    bestD = d;
                }
            }

            if (best < 0) break;  // abandoned; its links stay set
            curveLink[current] = best;
            tree.remove(current);
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
