#include "analysis/closed_curves.h"
#include "analysis/curve_locator.h"
#include "analysis/segment_grid.h"

#include "test_maps.h"

using namespace analysis;
using testmaps::cd;
using testmaps::circleOrbit;

namespace {

ClosedCurve bareCurve(std::vector<double> re, std::vector<double> im) {
    ClosedCurve c;
    c.re = std::move(re);
    c.im = std::move(im);
    c.octagon = polylineOctagon(c.re, c.im);
    return c;
}

// Distance from p to the closed polygon by projection on each segment.
double polygonDistance(cd p, const std::vector<double>& re, const std::vector<double>& im) {
    double best = std::numeric_limits<double>::infinity();
    for (std::size_t i = 0; i < re.size(); ++i) {
        const cd a(re[i], im[i]), v = cd(re[(i + 1) % re.size()], im[(i + 1) % re.size()]) - a;
        const double t = std::clamp(std::real((p - a) * std::conj(v)) / std::norm(v), 0.0, 1.0);
        best = std::min(best, std::abs(p - (a + t * v)));
    }
    return best;
}

// The L-shaped hexagon [0,2]x[0,1] united with [0,1]x[0,2].
const std::vector<double> lRe{0, 2, 2, 1, 1, 0};
const std::vector<double> lIm{0, 0, 1, 1, 2, 2};
bool insideL(double x, double y) { return (x > 0 && x < 2 && y > 0 && y < 1) || (x > 0 && x < 1 && y > 0 && y < 2); }

struct Uniform {  // reproducible values in [0, 1)
    unsigned seed;
    double operator()() {
        seed = seed * 1103515245u + 12345u;
        return static_cast<double>((seed >> 8) % 100000) / 100000.0;
    }
};

std::vector<ClosedCurve> detect(const std::vector<double>& re, const std::vector<double>& im) {
    return detectClosedCurves(re.data(), im.data(), static_cast<int>(re.size()), AnalysisSettings{});
}

}  // namespace

TEST(CurveGeometry, OctagonBoundsAreInclusive) {
    const Octagon o = bareCurve({1, 2, 1, 0}, {0, 1, 2, 1}).octagon;  // a diamond
    EXPECT_EQ(std::vector<double>({o.maxRe, o.minRe, o.maxSum, o.minSum, o.maxDiff, o.minDiff}),
              std::vector<double>({2, 0, 3, 1, 1, -1}));
    EXPECT_TRUE(o.contains(1.5, 1.5));  // on the edge x + y = 3
    EXPECT_FALSE(o.contains(1.5 + 1e-9, 1.5));
    EXPECT_FALSE(o.contains(0.2, 0.2));  // inside the box, outside the diamond
    EXPECT_TRUE(o.containsOctagon(bareCurve({1, 1.5, 1}, {0.5, 1, 1.5}).octagon));
    EXPECT_FALSE(o.containsOctagon(bareCurve({0, 1, 1}, {0, 0.5, 1}).octagon));
}

TEST(CurveGeometry, DisksDecideBeforeTheCrossingCount) {
    ClosedCurve sq = bareCurve({0, 2, 2, 0}, {0, 0, 2, 2});
    // Disks that contradict the polygon show which test decided (the crossing
    // count itself is checked with the ray parity and the shapes below).
    sq.outerDisks.push_back(CurveDisk{0.5, 0.5, 0.0625});
    sq.innerDisks.push_back(CurveDisk{1.5, 1.5, 0.0625});
    sq.innerDisks.push_back(CurveDisk{0.75, 0.5, 0.0625});
    EXPECT_EQ(pointInCurve(0.6, 0.5, sq), 0);   // in both kinds: outer disks come first
    EXPECT_EQ(pointInCurve(1.5, 1.5, sq), 1);
    EXPECT_EQ(pointInCurve(0.5, 0.75, sq), 1);  // on the outer disk's circle: not decided by it
}

TEST(CurveGeometry, DisksReachToTheCurveAndPointInCurveAgreesWithTheShape) {
    const ClosedCurve sq = makeClosedCurve({0, 2, 2, 0}, {0, 0, 2, 2}, 1e-6);
    ASSERT_EQ(sq.innerDisks.size(), 169u);  // 13 x 13 samples, all inside
    EXPECT_TRUE(sq.outerDisks.empty());     // the octagon is the square itself
    EXPECT_EQ(cd(sq.innerDisks[0].re, sq.innerDisks[0].im), cd(1.0, 1.0));
    const ClosedCurve l = makeClosedCurve(lRe, lIm, 1e-6);
    ASSERT_FALSE(l.outerDisks.empty());  // the notch
    for (const ClosedCurve* c : {&sq, &l}) {
        for (bool inner : {true, false}) {
            const std::vector<CurveDisk>& disks = inner ? c->innerDisks : c->outerDisks;
            for (std::size_t i = 0; i < disks.size(); ++i) {
                const CurveDisk& d = disks[i];
                EXPECT_EQ(crossingParity(d.re, d.im, c->re, c->im), inner ? 1 : 0);
                EXPECT_TRUE(c->octagon.contains(d.re, d.im));
                const double dist = polygonDistance(cd(d.re, d.im), c->re, c->im);
                EXPECT_NEAR(d.radiusSquared, dist * dist, 1e-12);
                if (i > 0) { EXPECT_GE(disks[i - 1].radiusSquared, d.radiusSquared); }
            }
        }
    }
    const ClosedCurve wide = makeClosedCurve(lRe, lIm, 0.2);  // samples nearer than CONV_EPS are dropped
    for (const CurveDisk& d : wide.innerDisks) { EXPECT_GE(d.radiusSquared, 0.04); }
    EXPECT_LT(wide.innerDisks.size(), l.innerDisks.size());
    for (double x = -0.3; x <= 2.3; x += 0.0137)
        for (double y = -0.3; y <= 2.3; y += 0.0123)
            if (polygonDistance(cd(x, y), lRe, lIm) > 1e-9) { ASSERT_EQ(pointInCurve(x, y, l), insideL(x, y) ? 1 : 0) << x << ", " << y; }
}

TEST(ChainGrid, SizesCellsFromTheBoxAreaWithinTheCellLimit) {
    const ChainGridSize g = chainGridSize(2, 2, 0.05);  // radius-1 circle: area 4, cell 0.1
    ASSERT_TRUE(g.valid);
    EXPECT_NEAR(g.cell, 0.1, 1e-15);
    EXPECT_EQ(std::make_pair(g.cols, g.rows), std::make_pair(22, 22));
    // A 1 x 1/1970^2 box has 1970002 x 2 cells: trunc(0.001 sqrt(cells)) = 1 does not shrink
    // the sides, so only the long side is cut to the cap.
    const ChainGridSize flat = chainGridSize(1, 1 / (1970.0 * 1970.0), 0.001);
    EXPECT_EQ(std::make_pair(flat.cols, flat.rows), std::make_pair(500000, 2));
    for (double w : {0.0, std::numeric_limits<double>::infinity(), std::nan(""), 1e300})
        EXPECT_FALSE(chainGridSize(w, w == 0.0 ? 1 : w, 0.05).valid) << w;
    for (double height : {2.0, 1e-9, 1e-30, 1e-200}) {
        for (double contEps : {0.05, 1e-6, 1e-9}) {
            const ChainGridSize s = chainGridSize(1, height, contEps);
            ASSERT_TRUE(s.valid) << height;
            EXPECT_LE(static_cast<double>(s.cols) * s.rows, MAX_GRID_CELLS) << height;
            // Cells never shrink below the linking radius, so the 3 x 3 search sees every candidate.
            EXPECT_GE(s.cell, contEps * std::sqrt(height)) << height;
        }
    }
}

TEST(ClosedCurveDetection, DenseCircleOrbitGivesOneCurveAroundItsCentre) {
    std::vector<double> re, im;
    circleOrbit(cd(0.3, -0.2), 1.0, 10000, re, im);
    const std::vector<ClosedCurve> curves = detect(re, im);
    ASSERT_EQ(curves.size(), 1u);
    const ClosedCurve& c = curves[0];
    EXPECT_GT(c.pointCount(), 100);
    EXPECT_EQ(c.re[0], re.back());  // chained from the newest point
    for (int i = 0; i < c.pointCount(); ++i) { EXPECT_NEAR(std::abs(cd(c.re[i], c.im[i]) - cd(0.3, -0.2)), 1.0, 1e-12); }
    EXPECT_EQ(pointInCurve(0.3, -0.2, c), 1);
    EXPECT_EQ(pointInCurve(1.5, -0.2, c), 0);
    EXPECT_FALSE(c.innerDisks.empty());
    EXPECT_FALSE(c.outerDisks.empty());
}

TEST(ClosedCurveDetection, GapsBeyondTheLinkingRadiusOpenTheCurve) {
    // 2000 points in order along the unit circle, leaving a gap at 45
    // degrees (so that the cells on either side are neighbours) between the
    // first and the newest point; the linking radius is CONT_EPS sqrt(area) = 0.1.
    struct Case {
        double chord;
        std::size_t curves;
    } cases[] = {{0.0, 1}, {0.08, 1}, {0.12, 0}};
    for (const Case& c : cases) {
        const double gap = 2 * std::asin(c.chord / 2), step = (2 * M_PI - gap) / 2000;
        std::vector<double> re, im;
        for (int k = 0; k < 2000; ++k) {
            re.push_back(std::cos(M_PI / 4 + gap / 2 + k * step));
            im.push_back(std::sin(M_PI / 4 + gap / 2 + k * step));
        }
        EXPECT_EQ(detect(re, im).size(), c.curves) << c.chord;
    }
    std::vector<double> re, im;  // an upper half circle, a segment
    circleOrbit(0.0, 1.0, 3000, re, im, 0.5, 1.0);
    EXPECT_TRUE(detect(re, im).empty());
    std::vector<double> lre, lim;
    for (int k = 0; k < 500; ++k) {
        lre.push_back(std::fmod(k * testmaps::goldenMean(), 1.0));
        lim.push_back(0.25);
    }
    EXPECT_TRUE(detect(lre, lim).empty());
}

TEST(ClosedCurveDetection, NonFinitePointsNeitherSeedNorJoin) {
    std::vector<double> re{std::nan(""), std::numeric_limits<double>::infinity()}, im{0.0, 1.0};
    circleOrbit(0.0, 0.5, 4000, re, im);
    const std::vector<ClosedCurve> curves = detect(re, im);
    ASSERT_EQ(curves.size(), 1u);
    EXPECT_LE(curves[0].octagon.maxRe, 0.5);
    EXPECT_GE(curves[0].octagon.minIm, -0.5);
    std::vector<double> nan(5, std::nan(""));
    EXPECT_TRUE(detect(nan, nan).empty());
}

TEST(ClosedCurveDetection, AtMostFiftyCurvesFromTheLastFiftyOnePoints) {
    // 60 small circles visited in turn: the last 51 points lie on 51 circles.
    const int circles = 60, perCircle = 120;
    std::vector<double> re(circles * perCircle), im(circles * perCircle);
    for (int k = 0; k < perCircle; ++k) {
        for (int c = 0; c < circles; ++c) {
            const cd z = cd(c % 8, c / 8) + std::polar(0.2, 2.0 * M_PI * k / perCircle);
            re[k * circles + c] = z.real();
            im[k * circles + c] = z.imag();
        }
    }
    const auto curves = detect(re, im);
    ASSERT_EQ(static_cast<int>(curves.size()), MAX_CURVES_PER_POINT);
    for (const ClosedCurve& c : curves) { EXPECT_EQ(c.pointCount(), perCircle); }
}

TEST(ClosedCurveDetection, StopRequestAndTooFewPointsFindNothing) {
    std::vector<double> re, im;
    circleOrbit(0.0, 1.0, 2000, re, im);
    std::atomic<bool> stop{true};
    EXPECT_TRUE(detectClosedCurves(re.data(), im.data(), 2000, AnalysisSettings{}, &stop).empty());
    EXPECT_TRUE(detectClosedCurves(re.data(), im.data(), 99, AnalysisSettings{}).empty());  // 100 steps to close
    EXPECT_TRUE(detectClosedCurves(nullptr, nullptr, 0, AnalysisSettings{}).empty());
}

// The grid's distances equal the full scan's, whose closing segment the disk radii above check.
TEST(CurveSearchStructures, AnswerLikeTheFullScans) {
    Uniform next{7};
    std::vector<ClosedCurve> curves{makeClosedCurve(lRe, lIm, 1e-6)};
    std::vector<double> re, im;
    circleOrbit(cd(0.3, -0.2), 1.0, 3000, re, im);
    curves.push_back(detect(re, im).at(0));
    std::vector<double> zr, zi;  // a self-crossing zigzag with disks on both sides
    for (int k = 0; k < 300; ++k) {
        zr.push_back(next() * 4.0 - 2.0);
        zi.push_back(5.0 + next() * 2.0);  // away from 0, where +y and -y differ
    }
    curves.push_back(makeClosedCurve(zr, zi, 1e-6));
    curves.push_back(bareCurve({0.0, 1.0, 2.0}, {0.5, 0.5, 0.5}));  // flat
    EXPECT_EQ(distanceToCurve(1, 1, {}, {}), std::numeric_limits<double>::infinity());
    for (const ClosedCurve& c : curves) {
        const CurveLocator locator(c);
        const Octagon& o = c.octagon;
        const SegmentGrid grid(c.re, c.im, o.minRe, o.maxRe, o.minIm, o.maxIm);
        for (int q = 0; q < 10000; ++q) {
            const double x = o.minRe - 0.1 + next() * (o.maxRe - o.minRe + 0.2);
            const double y = o.minIm - 0.1 + next() * (o.maxIm - o.minIm + 0.2);
            ASSERT_EQ(locator.pointIn(x, y), pointInCurve(x, y, c)) << x << ", " << y;
            if (x >= o.minRe && x <= o.maxRe && y >= o.minIm && y <= o.maxIm) {
                ASSERT_EQ(grid.minSquaredDistance(x, y), squaredDistanceToCurve(x, y, c.re, c.im)) << x << ", " << y;
            }
        }
        for (const CurveDisk& d : c.outerDisks) {  // on disk circles and centres
            ASSERT_EQ(locator.pointIn(d.re, d.im), pointInCurve(d.re, d.im, c));
            const double r = std::sqrt(d.radiusSquared);
            ASSERT_EQ(locator.pointIn(d.re + r, d.im), pointInCurve(d.re + r, d.im, c));
        }
    }
}
