#include "common/curve_crossing.h"

#include <algorithm>
#include <cmath>

namespace common {

FarPoint curveFarPoint(double maxRe, double minRe, double maxIm, double minIm) {
    FarPoint f{1.2 * maxRe, 1.2 * maxIm};
    bool outside = f.re > maxRe || f.re < minRe || f.im > maxIm || f.im < minIm;
    if (!outside) {
        // Both maxima are <= 0 and the scaled point fell inside the box: step
        // beyond the upper right corner instead.
        f.re = maxRe + 0.2 * std::fabs(maxRe) + 1.0;
        f.im = maxIm + 0.2 * std::fabs(maxIm) + 1.0;
    }
    return f;
}

bool segmentsCross(double a1x, double a1y, double a2x, double a2y,
                   double b1x, double b1y, double b2x, double b2y) {
    if (std::max(a1x, a2x) < std::min(b1x, b2x) || std::max(b1x, b2x) < std::min(a1x, a2x) ||
        std::max(a1y, a2y) < std::min(b1y, b2y) || std::max(b1y, b2y) < std::min(a1y, a2y))
        return false;

    // Lines A1 x + B1 y = C1 and A2 x + B2 y = C2.
    double A1 = a2y - a1y, B1 = a1x - a2x, C1 = A1 * a1x + B1 * a1y;
    double A2 = b2y - b1y, B2 = b1x - b2x, C2 = A2 * b1x + B2 * b1y;
    double det = A1 * B2 - A2 * B1;
    if (det == 0.0) return false;
    double px = (B2 * C1 - B1 * C2) / det;
    double py = (A1 * C2 - A2 * C1) / det;
    // On an axis-parallel segment the common point has that segment's
    // coordinate exactly; rounding in the division must not push it out of
    // the closed range.
    if (a1x == a2x) px = a1x;
    else if (b1x == b2x) px = b1x;
    if (a1y == a2y) py = a1y;
    else if (b1y == b2y) py = b1y;

    auto within = [](double v, double e1, double e2) {
        return v >= std::min(e1, e2) && v <= std::max(e1, e2);
    };
    return within(px, a1x, a2x) && within(px, b1x, b2x) && within(py, a1y, a2y) &&
           within(py, b1y, b2y);
}

namespace {

// The ray z -> z + d is crossed by the edge p-q when p and q lie on
// different sides of its line (a vertex on the line counts as below) and the
// crossing point lies on the ray, not behind z.
inline bool edgeCrossesRay(double px, double py, double sp, double qx, double qy, double sq,
                           double x, double y, double dx, double dy) {
    if ((sp > 0.0) == (sq > 0.0)) return false;
    double alpha = sp / (sp - sq);
    double cx = px + alpha * (qx - px);
    double cy = py + alpha * (qy - py);
    double along = (cx - x) * dx + (cy - y) * dy;
    return along >= 0.0 && along <= dx * dx + dy * dy;
}

}  // namespace

bool rayCrossingParity(double x, double y, const PolygonView& polygon, FarPoint far,
                       const std::atomic<bool>* stop) {
    if (x == far.re && y == far.im) return false;
    const std::size_t n = polygon.count;
    if (n < 2 || polygon.re == nullptr || polygon.im == nullptr) return false;

    const double dx = far.re - x, dy = far.im - y;
    auto side = [&](double vx, double vy) { return dx * (vy - y) - dy * (vx - x); };

    bool inside = false;
    double firstX = polygon.x(0), firstY = polygon.y(0);
    double px = firstX, py = firstY, sp = side(px, py);
    const double sFirst = sp;
    for (std::size_t i = 1; i < n; ++i) {
        if (stop != nullptr && stop->load(std::memory_order_relaxed)) return false;
        double qx = polygon.x(i), qy = polygon.y(i), sq = side(qx, qy);
        if (edgeCrossesRay(px, py, sp, qx, qy, sq, x, y, dx, dy)) inside = !inside;
        px = qx;
        py = qy;
        sp = sq;
    }
    // Closing edge, last vertex back to the first.
    if (edgeCrossesRay(px, py, sp, firstX, firstY, sFirst, x, y, dx, dy)) inside = !inside;
    return inside;
}

}  // namespace common
