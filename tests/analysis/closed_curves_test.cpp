#include "analysis/closed_curves.h"
#include "analysis/curve_locator.h"
#include "analysis/segment_grid.h"

#include "test_maps.h"

using namespace analysis;
using testmaps::cd;
using testmaps::bareCurve;
using testmaps::circleOrbit;

namespace {

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

using testmaps::Orbit;

std::vector<ClosedCurve> detect(const Orbit& o, int count = -1, const std::atomic<bool>* stop = nullptr) {
    const int n = count < 0 ? static_cast<int>(o.re.size()) : count;
    return detectClosedCurves(o.re.data(), o.im.data(), n, AnalysisSettings{}, stop);
}

}  // namespace

TEST(CurveGeometry, OctagonBoundsAreInclusive) {
    const Octagon o = bareCurve({1, 2, 1, 0}, {0, 1, 2, 1}).octagon;  // a diamond
    EXPECT_EQ(std::vector<double>({o.maxRe, o.minRe, o.maxSum, o.minSum, o.maxDiff, o.minDiff}),
              std::vector<double>({2, 0, 3, 1, 1, -1}));
    EXPECT_TRUE(o.contains(1.5, 1.5));  // on the edge x + y = 3
    EXPECT_FALSE(o.contains(1.5 + 1e-9, 1.5));
    EXPECT_FALSE(o.contains(0.2, 0.2));  // inside the box, outside the diamond
}

// Disks reach from their centres to the curve, on their own side; the fast
// answers (disks, locator, grid) equal the full scans (crossing parity, the
// distance to every segment), and for the L its shape.
TEST(CurveGeometry, DisksAndSearchStructuresAnswerLikeTheFullScans) {
    const ClosedCurve sq = makeClosedCurve({0, 2, 2, 0}, {0, 0, 2, 2}, 1e-6), l = makeClosedCurve(lRe, lIm, 1e-6);
    ASSERT_EQ(sq.innerDisks.size(), 169u);  // 13 x 13 samples, all inside
    EXPECT_TRUE(sq.outerDisks.empty());     // the octagon is the square itself
    EXPECT_EQ(cd(sq.innerDisks[0].re, sq.innerDisks[0].im), cd(1.0, 1.0));
    ASSERT_FALSE(l.outerDisks.empty());  // the notch
    const ClosedCurve wide = makeClosedCurve(lRe, lIm, 0.2);  // samples nearer than CONV_EPS are dropped
    for (const CurveDisk& d : wide.innerDisks) { EXPECT_GE(d.radiusSquared, 0.04); }
    EXPECT_LT(wide.innerDisks.size(), l.innerDisks.size());
    EXPECT_EQ(distanceToCurve(1, 1, {}, {}), std::numeric_limits<double>::infinity());
    std::mt19937 generator(7);
    std::uniform_real_distribution<double> uniform(0.0, 1.0);
    auto next = [&] { return uniform(generator); };
    Orbit zigzag;  // self-crossing, with disks on both sides
    for (int k = 0; k < 300; ++k) {
        zigzag.re.push_back(next() * 200.0 - 100.0);
        zigzag.im.push_back(250.0 + next() * 100.0);  // away from 0 (+y and -y differ); grid cells beyond 1 x 1
    }
    const ClosedCurve curves[] = {sq, l, detect(circleOrbit(cd(0.3, -0.2), 1.0, 3000)).at(0),
                                  makeClosedCurve(zigzag.re, zigzag.im, 1e-6), bareCurve({0.0, 1.0, 2.0}, {0.5, 0.5, 0.5}),
                                  makeClosedCurve({0, 0.2, 0.2, 0}, {0, 0, 0.2, 0.2}, 1e-6)};  // sides shorter than 1
    for (const ClosedCurve& c : curves) {
        for (bool inner : {true, false}) {
            const std::vector<CurveDisk>& disks = inner ? c.innerDisks : c.outerDisks;
            for (std::size_t i = 0; i < disks.size(); ++i) {
                const CurveDisk& d = disks[i];
                EXPECT_EQ(crossingParity(d.re, d.im, c.re, c.im), inner ? 1 : 0);
                EXPECT_TRUE(c.octagon.contains(d.re, d.im));
                const double dist = polygonDistance(cd(d.re, d.im), c.re, c.im);
                EXPECT_NEAR(d.radiusSquared, dist * dist, 1e-12);
                if (i > 0) { EXPECT_GE(disks[i - 1].radiusSquared, d.radiusSquared); }
            }
        }
        const CurveLocator locator(c);
        const Octagon& o = c.octagon;
        const SegmentGrid grid(c.re, c.im, o.minRe, o.maxRe, o.minIm, o.maxIm);
        for (int q = 0; q < 10000; ++q) {
            const double x = o.minRe - 0.1 + next() * (o.maxRe - o.minRe + 0.2);
            const double y = o.minIm - 0.1 + next() * (o.maxIm - o.minIm + 0.2);
            const int truth = &c == &curves[1] ? insideL(x, y) : crossingParity(x, y, c.re, c.im);
            if (polygonDistance(cd(x, y), c.re, c.im) > 1e-9) { ASSERT_EQ(pointInCurve(x, y, c), truth) << x << ", " << y; }
            ASSERT_EQ(locator.pointIn(x, y), pointInCurve(x, y, c)) << x << ", " << y;
            if (x >= o.minRe && x <= o.maxRe && y >= o.minIm && y <= o.maxIm) {
                ASSERT_EQ(grid.minSquaredDistance(x, y), squaredDistanceToCurve(x, y, c.re, c.im)) << x << ", " << y;
            }
        }
        for (const std::vector<CurveDisk>* disks : {&c.innerDisks, &c.outerDisks}) {
            for (const CurveDisk& d : *disks) {  // on disk circles, which belong to no disk, and centres
                ASSERT_EQ(locator.pointIn(d.re, d.im), pointInCurve(d.re, d.im, c));
                const double r = std::sqrt(d.radiusSquared);
                ASSERT_EQ(locator.pointIn(d.re + r, d.im), pointInCurve(d.re + r, d.im, c));
            }
        }
    }
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

// A curve closes where the chain from one of the newest points comes back
// to it within the linking radius CONT_EPS sqrt(area) after 100 steps or more.
TEST(ClosedCurveDetection, GapsBeyondTheLinkingRadiusOpenTheCurve) {
    // 2000 points in order along the unit circle, leaving a gap (chord) at 45
    // degrees, so that the cells on either side are neighbours, between the
    // first and the newest point; the linking radius is 0.1.
    auto gapped = [](double chord) {
        const double gap = 2 * std::asin(chord / 2), step = (2 * M_PI - gap) / 1999;
        Orbit o;
        for (int k = 0; k < 2000; ++k) {
            o.re.push_back(std::cos(M_PI / 4 + gap / 2 + k * step));
            o.im.push_back(std::sin(M_PI / 4 + gap / 2 + k * step));
        }
        return o;
    };
    Orbit segment, nan{{std::nan(""), 1.0}, {1.0, std::nan("")}};
    const Orbit nonFinite = circleOrbit(0.0, 0.5, 4000, 0.0, 0.0, Orbit{{std::nan(""), INFINITY}, {0.0, 1.0}});
    Orbit lineAfterCircle = circleOrbit(0.0, 1.0, 2000);  // 51 points on a line far away: too few to close
    for (int k = 0; k < 51; ++k) {
        lineAfterCircle.re.push_back(5.0 + 0.01 * k);
        lineAfterCircle.im.push_back(5.0);
    }
    for (int k = 0; k < 500; ++k) {
        segment.re.push_back(std::fmod(k * testmaps::goldenMean(), 1.0));
        segment.im.push_back(0.25);
    }
    std::atomic<bool> stop{true};
    struct Case {
        const char* name;
        Orbit orbit;
        std::size_t curves;
        cd centre = 0.0;
        int count = -1;  // points handed over, all when -1
        const std::atomic<bool>* stop = nullptr;
    } cases[] = {
        {"dense golden-mean circle", circleOrbit(cd(0.3, -0.2), 1.0, 10000), 1, cd(0.3, -0.2)},
        {"no gap", gapped(0.0), 1},
        {"gap 0.0995", gapped(0.0995), 1},
        {"gap 0.1005", gapped(0.1005), 0},
        {"upper half circle", circleOrbit(0.0, 1.0, 3000, 0.5, 1.0), 0},
        {"segment", segment, 0},
        {"NaN and infinity neither seed nor join", nonFinite, 1},
        {"nothing finite", nan, 0},
        {"only the 52nd newest point lies on a curve", lineAfterCircle, 0},
        {"99 points: too few steps", circleOrbit(0.0, 1.0, 2000), 0, 0.0, 99},
        {"stop request", circleOrbit(0.0, 1.0, 2000), 0, 0.0, -1, &stop},
    };
    for (const Case& c : cases) {
        const std::vector<ClosedCurve> curves = detect(c.orbit, c.count, c.stop);
        ASSERT_EQ(curves.size(), c.curves) << c.name;
        for (const ClosedCurve& curve : curves) {
            EXPECT_GT(curve.pointCount(), 100) << c.name;
            EXPECT_EQ(cd(curve.re[0], curve.im[0]), cd(c.orbit.re.back(), c.orbit.im.back())) << c.name;  // the newest point
            EXPECT_EQ(pointInCurve(c.centre.real(), c.centre.imag(), curve), 1) << c.name;
            EXPECT_EQ(pointInCurve(c.centre.real() + 1.5, c.centre.imag(), curve), 0) << c.name;
            EXPECT_LE(curve.octagon.maxRe - curve.octagon.minIm, 2.0 + c.centre.real() - c.centre.imag()) << c.name;
            EXPECT_FALSE(curve.innerDisks.empty() || curve.outerDisks.empty()) << c.name;
        }
    }
    EXPECT_TRUE(detectClosedCurves(nullptr, nullptr, 0, AnalysisSettings{}).empty());
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
    const auto curves = detect(Orbit{re, im});
    ASSERT_EQ(static_cast<int>(curves.size()), MAX_CURVES_PER_POINT);
    for (const ClosedCurve& c : curves) { EXPECT_EQ(c.pointCount(), perCircle); }
}
