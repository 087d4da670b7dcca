#include "analysis/closed_curves.h"
#include "analysis/curve_locator.h"
#include "analysis/segment_grid.h"

#include "test_maps.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

using namespace analysis;
using testmaps::cd;

namespace {

ClosedCurve bareCurve(std::vector<double> re, std::vector<double> im) {
    ClosedCurve c;
    c.re = std::move(re);
    c.im = std::move(im);
    c.octagon = polylineOctagon(c.re, c.im);
    return c;
}

// Distance from p to the segment a-b by projection (independent of the
// engine's formula).
double segmentDistance(cd p, cd a, cd b) {
    cd v = b - a;
    double t = std::clamp(std::real((p - a) * std::conj(v)) / std::norm(v), 0.0, 1.0);
    return std::abs(p - (a + t * v));
}

double polygonDistance(cd p, const std::vector<double>& re, const std::vector<double>& im) {
    double best = std::numeric_limits<double>::infinity();
    for (std::size_t i = 0; i < re.size(); ++i) {
        std::size_t k = (i + 1) % re.size();
        best = std::min(best, segmentDistance(p, cd(re[i], im[i]), cd(re[k], im[k])));
    }
    return best;
}

// The L-shaped hexagon [0,2]x[0,1] united with [0,1]x[0,2].
const std::vector<double> lRe{0, 2, 2, 1, 1, 0};
const std::vector<double> lIm{0, 0, 1, 1, 2, 2};
bool insideL(double x, double y) {
    return (x > 0 && x < 2 && y > 0 && y < 1) || (x > 0 && x < 1 && y > 0 && y < 2);
}

// Orbit of a rotation by the golden mean on the circle |z - centre| = r.
void circleOrbit(cd centre, double r, int n, std::vector<double>& re, std::vector<double>& im,
                 double turn = 1.0) {
    for (int k = 1; k <= n; ++k) {
        double frac = std::fmod(k * testmaps::goldenMean(), 1.0);
        cd z = centre + std::polar(r, 2.0 * M_PI * turn * frac);
        re.push_back(z.real());
        im.push_back(z.imag());
    }
}

// A small reproducible generator of values in [0, 1).
struct Uniform {
    unsigned seed;
    explicit Uniform(unsigned s) : seed(s) {}
    double operator()() {
        seed = seed * 1103515245u + 12345u;
        return static_cast<double>((seed >> 8) % 100000) / 100000.0;
    }
};

}  // namespace

TEST(CurveGeometry, OctagonBoundsAreInclusive) {
    const ClosedCurve diamond = bareCurve({1, 2, 1, 0}, {0, 1, 2, 1});
    const Octagon& o = diamond.octagon;
    EXPECT_EQ(o.maxRe, 2);
    EXPECT_EQ(o.minRe, 0);
    EXPECT_EQ(o.maxSum, 3);
    EXPECT_EQ(o.minSum, 1);
    EXPECT_EQ(o.maxDiff, 1);
    EXPECT_EQ(o.minDiff, -1);
    EXPECT_TRUE(o.contains(1.5, 1.5));           // on the edge x + y = 3
    EXPECT_TRUE(o.contains(2, 1));               // a vertex
    EXPECT_FALSE(o.contains(1.5 + 1e-9, 1.5));
    EXPECT_FALSE(o.contains(0.2, 0.2));          // inside the box, outside the diamond
    EXPECT_TRUE(o.containsOctagon(bareCurve({1, 1.5, 1}, {0.5, 1, 1.5}).octagon));
    EXPECT_FALSE(o.containsOctagon(bareCurve({0, 1, 1}, {0, 0.5, 1}).octagon));
}

TEST(CurveGeometry, SquareWithoutDisksUsesTheCrossingCount) {
    const ClosedCurve sq = bareCurve({0, 2, 2, 0}, {0, 0, 2, 2});
    EXPECT_EQ(pointInCurve(1, 0.5, sq), 1);
    EXPECT_EQ(pointInCurve(1, 1, sq), 1);    // its ray leaves through the corner (2, 2)
    EXPECT_EQ(pointInCurve(3, 1, sq), 0);    // outside the octagon
    EXPECT_EQ(pointInCurve(2.4, 2.4, sq), 0);  // the far point
    EXPECT_EQ(crossingParity(1, 1.999, sq.re, sq.im), 1);
    EXPECT_EQ(crossingParity(2.1, 1, sq.re, sq.im), 0);  // outside the box
    EXPECT_EQ(crossingParity(1, 1, {0}, {0}), 0);
}

TEST(CurveGeometry, DisksDecideBeforeTheCrossingCount) {
    ClosedCurve sq = bareCurve({0, 2, 2, 0}, {0, 0, 2, 2});
    // Disks that contradict the polygon show which test decided.
    sq.outerDisks.push_back(CurveDisk{0.5, 0.5, 0.0625});
    sq.innerDisks.push_back(CurveDisk{1.5, 1.5, 0.0625});
    sq.innerDisks.push_back(CurveDisk{0.75, 0.5, 0.0625});
    EXPECT_EQ(pointInCurve(0.5, 0.5, sq), 0);
    EXPECT_EQ(pointInCurve(0.6, 0.5, sq), 0);  // in both kinds: outer disks come first
    EXPECT_EQ(pointInCurve(1.5, 1.5, sq), 1);
    EXPECT_EQ(pointInCurve(1.0, 1.0, sq), 1);  // no disk: crossing count
    // Exactly on the outer disk's circle: not decided by it.
    EXPECT_EQ(pointInCurve(0.5, 0.75, sq), 1);
    EXPECT_EQ(pointInCurve(0.25, 0.5, sq), 1);
}

TEST(CurveGeometry, DistanceToCurveIncludesTheClosingSegment) {
    const std::vector<double> re{0, 2, 2, 0}, im{0, 0, 2, 2};
    EXPECT_DOUBLE_EQ(distanceToCurve(1, 1, re, im), 1.0);
    EXPECT_DOUBLE_EQ(distanceToCurve(3, 1, re, im), 1.0);
    EXPECT_DOUBLE_EQ(distanceToCurve(3, 3, re, im), std::sqrt(2.0));
    EXPECT_EQ(distanceToCurve(0, 1, re, im), 0.0);  // on the closing segment (0,2)-(0,0)
    EXPECT_DOUBLE_EQ(distanceToCurve(-0.5, 1.2, re, im), 0.5);
    const std::vector<double> tr{0, 2, 0}, ti{0, 0, 2};
    EXPECT_NEAR(distanceToCurve(1, 1, tr, ti), 0.0, 1e-15);  // on the hypotenuse
    EXPECT_EQ(distanceToCurve(1, 1, {}, {}), std::numeric_limits<double>::infinity());
}

TEST(CurveGeometry, InnerDisksOfASquareReachToItsEdges) {
    const ClosedCurve sq = makeClosedCurve({0, 2, 2, 0}, {0, 0, 2, 2}, 1e-6);
    ASSERT_EQ(sq.innerDisks.size(), 169u);  // 13 x 13 samples, all inside
    EXPECT_TRUE(sq.outerDisks.empty());     // the octagon is the square itself
    for (std::size_t i = 0; i < sq.innerDisks.size(); ++i) {
        const CurveDisk& d = sq.innerDisks[i];
        const double edge = std::min({d.re, 2 - d.re, d.im, 2 - d.im});
        EXPECT_NEAR(d.radiusSquared, edge * edge, 1e-12);
        if (i > 0) {
            EXPECT_GE(sq.innerDisks[i - 1].radiusSquared, d.radiusSquared);
        }
    }
    // The centre sample is the largest disk.
    EXPECT_DOUBLE_EQ(sq.innerDisks[0].re, 1.0);
    EXPECT_DOUBLE_EQ(sq.innerDisks[0].im, 1.0);
}

TEST(CurveGeometry, OuterDisksFillTheNotchOfAnLShape) {
    const ClosedCurve l = makeClosedCurve(lRe, lIm, 1e-6);
    ASSERT_FALSE(l.outerDisks.empty());
    for (std::size_t i = 0; i < l.outerDisks.size(); ++i) {
        const CurveDisk& d = l.outerDisks[i];
        EXPECT_FALSE(insideL(d.re, d.im));
        EXPECT_TRUE(l.octagon.contains(d.re, d.im));
        const double dist = polygonDistance(cd(d.re, d.im), lRe, lIm);
        EXPECT_NEAR(d.radiusSquared, dist * dist, 1e-12);
        if (i > 0) {
            EXPECT_GE(l.outerDisks[i - 1].radiusSquared, d.radiusSquared);
        }
    }
    for (const CurveDisk& d : l.innerDisks) EXPECT_TRUE(insideL(d.re, d.im));
    // Samples closer than CONV_EPS to the polygon are dropped.
    const ClosedCurve wide = makeClosedCurve(lRe, lIm, 0.2);
    for (const CurveDisk& d : wide.innerDisks) EXPECT_GE(d.radiusSquared, 0.04);
    EXPECT_LT(wide.innerDisks.size(), l.innerDisks.size());
}

TEST(CurveGeometry, PointInCurveAgreesWithTheShapeAwayFromTheBoundary) {
    const ClosedCurve l = makeClosedCurve(lRe, lIm, 1e-6);
    int checked = 0;
    for (double x = -0.3; x <= 2.3; x += 0.0137) {
        for (double y = -0.3; y <= 2.3; y += 0.0123) {
            if (polygonDistance(cd(x, y), lRe, lIm) < 1e-9) continue;
            ASSERT_EQ(pointInCurve(x, y, l), insideL(x, y) ? 1 : 0) << x << ", " << y;
            ++checked;
        }
    }
    EXPECT_GT(checked, 30000);
}

TEST(ChainGrid, SizesCellsFromTheBoxArea) {
    // Radius-1 circle: area 4, cell 0.1 with CONT_EPS 0.05.
    const ChainGridSize g = chainGridSize(2, 2, 0.05);
    ASSERT_TRUE(g.valid);
    EXPECT_NEAR(g.cell, 0.1, 1e-15);
    EXPECT_EQ(g.cols, 22);
    EXPECT_EQ(g.rows, 22);
    // Tiny CONT_EPS: cells no smaller than 0.001 sqrt(area), then capped.
    const ChainGridSize fine = chainGridSize(2, 2, 1e-9);
    ASSERT_TRUE(fine.valid);
    EXPECT_LE(static_cast<double>(fine.cols) * fine.rows, MAX_GRID_CELLS);
    EXPECT_GE(fine.cell, 0.002);
}

TEST(ChainGrid, FlatAndDegenerateBoxesStayWithinTheCellLimit) {
    EXPECT_FALSE(chainGridSize(0, 1, 0.05).valid);
    EXPECT_FALSE(chainGridSize(1, 0, 0.05).valid);
    EXPECT_FALSE(chainGridSize(std::numeric_limits<double>::infinity(), 1, 0.05).valid);
    EXPECT_FALSE(chainGridSize(std::nan(""), 1, 0.05).valid);
    EXPECT_FALSE(chainGridSize(1e300, 1e300, 0.05).valid);  // area overflows
    for (double height : {1e-9, 1e-15, 1e-30, 1e-200}) {
        for (double contEps : {0.05, 0.001, 1e-6}) {
            const ChainGridSize g = chainGridSize(1, height, contEps);
            ASSERT_TRUE(g.valid) << height;
            EXPECT_LE(static_cast<double>(g.cols) * g.rows, MAX_GRID_CELLS) << height;
            // Cells never shrink below the linking radius, so the 3 x 3 search
            // sees every candidate.
            EXPECT_GE(g.cell, contEps * std::sqrt(height)) << height;
        }
    }
    const ChainGridSize tall = chainGridSize(1e-15, 1, 0.05);
    ASSERT_TRUE(tall.valid);
    EXPECT_LE(static_cast<double>(tall.cols) * tall.rows, MAX_GRID_CELLS);
}

TEST(ClosedCurveDetection, DenseCircleOrbitGivesOneCurveAroundItsCentre) {
    std::vector<double> re, im;
    circleOrbit(cd(0.3, -0.2), 1.0, 10000, re, im);
    const std::vector<ClosedCurve> curves = detectClosedCurves(re.data(), im.data(), 10000, AnalysisSettings{});
    ASSERT_EQ(curves.size(), 1u);
    const ClosedCurve& c = curves[0];
    EXPECT_EQ(c.inOut, CURVE_NONE);
    EXPECT_GT(c.pointCount(), 100);
    EXPECT_LE(c.pointCount(), 10000);
    EXPECT_EQ(c.re[0], re.back());  // chained from the newest point
    for (int i = 0; i < c.pointCount(); ++i) EXPECT_NEAR(std::abs(cd(c.re[i], c.im[i]) - cd(0.3, -0.2)), 1.0, 1e-12);
    EXPECT_EQ(pointInCurve(0.3, -0.2, c), 1);
    EXPECT_EQ(pointInCurve(1.5, -0.2, c), 0);
    EXPECT_FALSE(c.innerDisks.empty());
    EXPECT_FALSE(c.outerDisks.empty());  // the corners between circle and octagon
}

TEST(ClosedCurveDetection, OpenArcsAndLinesGiveNoCurve) {
    std::vector<double> re, im;
    circleOrbit(0.0, 1.0, 3000, re, im, 0.5);  // the upper half circle only
    EXPECT_TRUE(detectClosedCurves(re.data(), im.data(), 3000, AnalysisSettings{}).empty());
    std::vector<double> lre, lim;
    for (int k = 0; k < 500; ++k) {
        lre.push_back(std::fmod(k * testmaps::goldenMean(), 1.0));
        lim.push_back(0.25);
    }
    EXPECT_TRUE(detectClosedCurves(lre.data(), lim.data(), 500, AnalysisSettings{}).empty());
}

TEST(ClosedCurveDetection, NonFinitePointsNeitherSeedNorJoin) {
    std::vector<double> re{std::nan(""), std::numeric_limits<double>::infinity()};
    std::vector<double> im{0.0, 1.0};
    circleOrbit(0.0, 0.5, 4000, re, im);
    const std::vector<ClosedCurve> curves =
        detectClosedCurves(re.data(), im.data(), static_cast<int>(re.size()), AnalysisSettings{});
    ASSERT_EQ(curves.size(), 1u);
    EXPECT_LE(curves[0].octagon.maxRe, 0.5);
    EXPECT_GE(curves[0].octagon.minIm, -0.5);
    for (double v : curves[0].re) EXPECT_TRUE(std::isfinite(v));
    std::vector<double> nan(5, std::nan(""));
    EXPECT_TRUE(detectClosedCurves(nan.data(), nan.data(), 5, AnalysisSettings{}).empty());
}

TEST(ClosedCurveDetection, AtMostFiftyCurvesFromTheLastFiftyOnePoints) {
    // 60 small circles in an 8 x 8 grid, visited in turn, so the last 51
    // points lie on 51 different circles.
    const int circles = 60, perCircle = 120;
    std::vector<double> re(circles * perCircle), im(circles * perCircle);
    for (int k = 0; k < perCircle; ++k) {
        for (int c = 0; c < circles; ++c) {
            const cd z = cd(c % 8, c / 8) + std::polar(0.2, 2.0 * M_PI * k / perCircle);
            re[k * circles + c] = z.real();
            im[k * circles + c] = z.imag();
        }
    }
    const auto curves = detectClosedCurves(re.data(), im.data(), circles * perCircle, AnalysisSettings{});
    ASSERT_EQ(static_cast<int>(curves.size()), MAX_CURVES_PER_POINT);
    for (const ClosedCurve& c : curves) EXPECT_EQ(c.pointCount(), perCircle);
}

TEST(ClosedCurveDetection, StopRequestAndTooFewPointsFindNothing) {
    std::vector<double> re, im;
    circleOrbit(0.0, 1.0, 2000, re, im);
    std::atomic<bool> stop{true};
    EXPECT_TRUE(detectClosedCurves(re.data(), im.data(), 2000, AnalysisSettings{}, &stop).empty());
    // A chain needs 100 steps before it may close.
    EXPECT_TRUE(detectClosedCurves(re.data(), im.data(), 99, AnalysisSettings{}).empty());
    EXPECT_TRUE(detectClosedCurves(nullptr, nullptr, 0, AnalysisSettings{}).empty());
}

TEST(SegmentGridSearch, FindsTheSameNearestDistanceAsAFullScan) {
    std::vector<std::pair<std::vector<double>, std::vector<double>>> polylines;
    polylines.push_back({lRe, lIm});
    std::vector<double> sr, si;
    for (int k = 0; k < 1500; ++k) {  // a seven-pointed star
        const double a = 2 * M_PI * k / 1500, r = 1 + 0.3 * std::sin(7 * a);
        sr.push_back(r * std::cos(a));
        si.push_back(r * std::sin(a));
    }
    polylines.push_back({sr, si});
    std::vector<double> rr, ri;
    Uniform next(7);
    for (int k = 0; k < 800; ++k) {  // self-crossing zigzag
        rr.push_back(next() * 3.0);
        ri.push_back(next());
    }
    polylines.push_back({rr, ri});
    polylines.push_back({{0.0, 1.0, 2.0}, {0.5, 0.5, 0.5}});  // flat: zero height

    for (const auto& [re, im] : polylines) {
        const Octagon o = polylineOctagon(re, im);
        const SegmentGrid grid(re, im, o.minRe, o.maxRe, o.minIm, o.maxIm);
        for (int q = 0; q < 3000; ++q) {
            const double x = o.minRe + next() * (o.maxRe - o.minRe);
            const double y = o.minIm + next() * (o.maxIm - o.minIm);
            ASSERT_EQ(grid.minSquaredDistance(x, y), squaredDistanceToCurve(x, y, re, im)) << x << ", " << y;
        }
    }
}

TEST(CurveLocatorSearch, AnswersLikePointInCurve) {
    std::vector<ClosedCurve> curves;
    curves.push_back(makeClosedCurve(lRe, lIm, 1e-6));
    std::vector<double> re, im;
    circleOrbit(cd(0.3, -0.2), 1.0, 3000, re, im);
    const auto detected = detectClosedCurves(re.data(), im.data(), 3000, AnalysisSettings{});
    ASSERT_EQ(detected.size(), 1u);
    curves.push_back(detected[0]);
    std::vector<double> zr, zi;  // a self-crossing zigzag with disks on both sides
    Uniform next(11);
    for (int k = 0; k < 300; ++k) {
        zr.push_back(next() * 4.0 - 2.0);
        zi.push_back(next() * 2.0);
    }
    curves.push_back(makeClosedCurve(zr, zi, 1e-6));

    for (const ClosedCurve& c : curves) {
        const CurveLocator locator(c);
        const Octagon& o = c.octagon;
        for (int q = 0; q < 20000; ++q) {
            const double x = o.minRe - 0.1 + next() * (o.maxRe - o.minRe + 0.2);
            const double y = o.minIm - 0.1 + next() * (o.maxIm - o.minIm + 0.2);
            ASSERT_EQ(locator.pointIn(x, y), pointInCurve(x, y, c)) << x << ", " << y;
        }
        // Points on disk circles and centres.
        for (const CurveDisk& d : c.outerDisks) {
            ASSERT_EQ(locator.pointIn(d.re, d.im), pointInCurve(d.re, d.im, c));
            const double r = std::sqrt(d.radiusSquared);
            ASSERT_EQ(locator.pointIn(d.re + r, d.im), pointInCurve(d.re + r, d.im, c));
        }
    }
}
