#include "viewer/core/render_kernels.h"

#include <gtest/gtest.h>

#include <numeric>

#include "test_blocks.h"

namespace {

using render_test::Point;
using render_test::TestBlock;

// A 7 x 7 picture with one plane unit per pixel, centred on 0: pixel
// (3 + a, 3 + b) is the point a + bi.
TestBlock unitGrid(char kind, int form, const std::vector<Point>& num, const std::vector<Point>& den = {{1, 0}}) {
    TestBlock b(kind);
    b.setWindow(7, 7, 7);
    b.setMap(form, num, den);
    return b;
}

// One scene with its statistics, as one render thread holds them.
struct Kernel {
    render::RenderScene scene;
    colour::RenderStatistics stats;
    std::atomic<bool> abort{false};

    explicit Kernel(TestBlock& b, const common::FrontEndBlock* fe = nullptr) {
        stats.reset();
        EXPECT_EQ(render::buildScene(b.read(), b.view(), fe, {}, scene), render::SceneStatus::Ready);
    }
    render::PixelResult julia(int x, int y) { return render::juliaPixel(scene, x, y, stats, abort); }
    int mandelbrot(int x, int y) { return render::mandelbrotPixel(scene, x, y, stats, abort); }
};

TEST(JuliaKernel, PixelMapsToTheRightPlanePoint) {
    TestBlock b('J');
    b.setWindow(600, 400, 4, {1.0, -2.0});  // 150 pixels per unit
    Kernel k(b);
    const render::PlanePoint centre = render::pixelToPlane(k.scene, 300, 200);
    EXPECT_TRUE(centre.re == 1.0 && centre.im == -2.0) << centre.re << "," << centre.im;
    EXPECT_EQ(render::pixelToPlane(k.scene, 0, 0).re, -1.0);
    EXPECT_DOUBLE_EQ(render::pixelToPlane(k.scene, 0, 0).im, -2.0 - 200.0 / 150.0);  // same scale on both axes
}

// z -> z/2 from z = 1: with r = 0.05 the point 0 is first within reach after
// five halvings; 0.01 is reached at the same step, so the first entry wins.
TestBlock halving(bool zeroFirst) {
    TestBlock b = unitGrid('J', 1, {{0, 0}, {0.5, 0}});
    b.view().convergenceRadius = 0.05;
    if (zeroFirst) b.addCycle({{5, 5}, {0, 0}});  // entry 0: its second point captures
    b.addCycle({{0.01, 0}});
    if (!zeroFirst) b.addCycle({{0, 0}});
    return b;
}

// z -> z: an orbit stays where it starts. With r = 1 the cycle point 0 is
// just out of reach of 1 (and infinity too); a curve group far away makes
// the general component test run instead of the cycles-only one.
TestBlock identity(int loopCount, bool farCurve = false) {
    TestBlock b = unitGrid('J', 1, {{0, 0}, {1, 0}});
    b.view().loopCount = loopCount;
    b.view().convergenceRadius = 1;
    b.addCycle({{0, 0}});
    if (farCurve) b.addCurveGroup(1, {{{{5, 5}, {6, 5}, {6, 6}}, {}, {}, {}}});
    return b;
}

TestBlock withInvalidEntries() {
    TestBlock b = unitGrid('J', 1, {{0, 0}, {0.5, 0}});
    b.view().convergenceRadius = 0.05;
    b.addCycle({{1, 0}});          // entry 0 holds z = 1 at once
    b.addRawEntry(3, 1, 12936);    // entry 1: kind 3
    b.addRawEntry(0, 4, 1 << 30);  // entry 2: data outside the block
    return b;
}

TestBlock rotationDomain() {
    TestBlock b = unitGrid('J', 1, {{0, 0}, {1, 0}});  // z -> z: capture only at the start
    b.view().loopCount = 3;
    b.addCurveGroup(1, {{{{-1.5, -1.5}, {1.5, -1.5}, {1.5, 1.5}, {-1.5, 1.5}}, {}, {}, {}}});
    return b;
}

// Where each orbit ends, after how many applications, and that the pixel is
// counted there and nowhere else (never when the table itself is invalid).
TEST(JuliaKernel, EachPixelEndsWhereItsOrbitDoesAndIsCountedThere) {
    const struct {
        const char* what;
        TestBlock (*make)();
        int x, y, code, count;
    } cases[] = {
        {"captured after five halvings", [] { return halving(true); }, 4, 3, 1, 5},
        {"the first entry wins", [] { return halving(false); }, 4, 3, 1, 5},
        {"reaching nothing", [] { return identity(10); }, 4, 3, 255, 10},
        {"reaching nothing, general test", [] { return identity(10, true); }, 4, 3, 255, 10},
        {"the cycle point itself", [] { return identity(10, true); }, 3, 3, 1, 0},
        {"a loop count below 1 gives up at once", [] { return identity(-3); }, 4, 3, 255, 0},
        {"caught before the invalid entry", withInvalidEntries, 4, 3, 1, 0},
        {"an invalid entry reached", withInvalidEntries, 5, 3, 255, render::INVALID_KIND_COUNT},
        // 1 / (z - 1): z = 2 -> 1 -> pole at the second application.
        {"a pole escapes", [] { return unitGrid('J', 2, {{1, 0}}, {{-1, 0}, {1, 0}}); }, 5, 3, 0, 1},
        {"inside a rotation domain's curve", rotationDomain, 4, 2, 1, 0},  // 1 - i
        {"outside it", rotationDomain, 5, 3, 255, 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TestBlock b = c.make();
        Kernel k(b);
        const render::PixelResult r = k.julia(c.x, c.y);
        EXPECT_EQ(r.code, c.code);
        EXPECT_EQ(r.count, c.count);
        int counted = 0;
        for (const auto& st : k.stats.stats) counted += st.pixelCount;
        if (c.code == 255) {
            EXPECT_EQ(k.stats.unknownPixelCount, c.count == render::INVALID_KIND_COUNT ? 0 : 1);
            EXPECT_EQ(counted, 0);
        } else {
            const colour::ComponentStats& st = k.stats.stats[static_cast<std::size_t>(c.code)];
            EXPECT_EQ(counted, 1);
            EXPECT_EQ(st.pixelCount, 1);
            EXPECT_EQ(st.highCount, c.count);
            EXPECT_EQ(k.stats.unknownPixelCount, 0);
        }
    }
}

// z -> 2z + c: from the critical point q the orbit is 2q + c, 4q + c, ...
// With escape beyond 100, 10 escapes at index 3 and 0.5 at index 7 (within
// a loop count of 8, not 7); the orbit of 0 stays at 0 and adds nothing.
TEST(MandelbrotKernel, SumsTheEscapeIndicesOfSelectedOrbits) {
    struct Case {
        std::vector<bool> selected;
        int loopCount, expected;
    };
    const Case cases[] = {{{true, true, false}, 100, 10}, {{true, false, true}, 100, 3}, {{false, true, false}, 8, 7},
                          {{false, true, false}, 7, 0},   {{false, false, false}, 100, 0}};
    TestBlock b = unitGrid('M', 1, {{0, 0}, {0.5, 0}});  // not the picture's map: that is the front end's
    b.view().convergenceRadius = 0.01;
    for (const Case& c : cases) {
        b.view().loopCount = c.loopCount;
        auto fe = render_test::frontEndBlock(1, {{0, 0}, {2, 0}}, {{1, 0}}, {{10, 0}, {0.5, 0}, {0, 0}}, c.selected);
        Kernel k(b, fe.get());
        EXPECT_EQ(k.mandelbrot(3, 3), c.expected) << c.expected;
        EXPECT_EQ(k.stats.stats[0].highCount, c.expected);
        EXPECT_EQ(k.stats.stats[0].pixelCount, 1);
    }
    // z^2 + c from 0 with escape beyond 2 (r = 0.5): c = 2 lands on |z| = 2, not beyond, and escapes next.
    b.view().convergenceRadius = 0.5;
    const auto square = render_test::squareFamily();
    EXPECT_EQ(Kernel(b, square.get()).mandelbrot(5, 3), 1);
}

TEST(MandelbrotKernel, ZeroDenominator) {
    // Towards infinity, (z^2 + 1) / z from i: P(i) = 0, so the first iterate
    // is c = 0; the next application divides by Q(0) = 0: an escape.
    TestBlock a = unitGrid('M', 2, {{0, 0}, {1, 0}});
    a.view().convergenceRadius = 0.01;
    auto toInfinity = render_test::frontEndBlock(2, {{1, 0}, {0, 0}, {1, 0}}, {{0, 0}, {1, 0}}, {{0, 1}}, {true});
    Kernel ka(a, toInfinity.get());
    EXPECT_EQ(ka.mandelbrot(3, 3), 1);

    // Towards the fixed point 0 of 1 / z: from the critical point 0 the first
    // application divides by zero: V = c = 1, z = -1; then w = -1, u = 1,
    // V = 2, z = -1/2, within r = 0.8 of 0.
    TestBlock b = unitGrid('M', 2, {{0, 0}, {1, 0}});
    b.view().convergenceRadius = 0.8;
    auto toFixedPoint = render_test::frontEndBlock(2, {{1, 0}}, {{0, 0}, {1, 0}}, {{0, 0}}, {true});
    Kernel kb(b, toFixedPoint.get());
    EXPECT_FALSE(kb.scene.escapeAtInfinity);
    EXPECT_EQ(kb.mandelbrot(4, 3), 1);  // c = 1
    b.view().convergenceRadius = 0.5;  // -1/2 is then on the circle, not within; the orbit stays near -0.618
    EXPECT_EQ(Kernel(b, toFixedPoint.get()).mandelbrot(4, 3), 0);
}

// A stop before the first step: the lane kernels return the pixels started, each (0, 0), the rest untouched.
TEST(ColumnKernels, AStopLeavesTheStartedPixelsZeroAndTheRestUntouched) {
    const auto square = render_test::squareFamily();
    for (const char kind : {'J', 'M'}) {
        TestBlock b = unitGrid(kind, 1, {{-1, 0.05}, {0, 0}, {1, 0}});
        b.setWindow(1, 64, 4);
        Kernel k(b, kind == 'M' ? square.get() : nullptr);
        k.abort = true;
        std::vector<int> ys(64);
        std::iota(ys.begin(), ys.end(), 0);
        std::vector<render::PixelResult> out(64, {7, 7});
        const int started = render::renderColumn(k.scene, 0, ys.data(), 64, out.data(), k.stats, k.abort);
        ASSERT_TRUE(started > 0 && started < 64) << kind << started;
        for (int i = 0; i < 64; ++i) EXPECT_EQ(out[i].count + out[i].code, i < started ? 0 : 14) << kind << i;
    }
}

}  // namespace
