// Fast paths, lane kernels and worker threads against the general scalar path on one thread:
// every map entry and statistic identical, for each family the lane kernels cover, on random
// windows, on every SIMD target this machine runs.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <thread>

#include "hwy/targets.h"
#include "test_blocks.h"
#include "viewer/core/render_engine.h"
#include "viewer/core/render_lanes.h"
#include "viewer/core/render_workers.h"

namespace {

using render_test::Point;
using render_test::Render;
using render_test::TestBlock;

// Same maps in the w x h corner, same statistics, same narrowed colour table.
void expectIdentical(const Render& a, const Render& b, int w, int h) {
    int differing = 0;
    for (int x = 0; x < w; ++x)
        for (int y = 0; y < h; ++y)
            differing += a.maps->iteration[x][y] != b.maps->iteration[x][y] ||
                         a.maps->component[x][y] != b.maps->component[x][y] || a.maps->colour[x][y] != b.maps->colour[x][y];
    EXPECT_EQ(differing, 0);
    EXPECT_EQ(std::memcmp(&a.stats, &b.stats, sizeof a.stats), 0);  // plain ints, no padding
    EXPECT_EQ(std::memcmp(a.colours.records.data(), b.colours.records.data(), sizeof a.colours.records), 0);
    EXPECT_EQ(b.engine.renderedPixelCount.load(), w * h);
}

struct Family {
    const char* name;
    char kind;
    int form;
    std::vector<Point> num, den;
    std::vector<std::vector<Point>> cycles;  // Julia component table
    std::vector<Point> critical;             // Mandelbrot: all selected
    Point p, centre;                         // p: a Mandelbrot picture's first fixed point
    double width;                            // plane units across
};

// One of each lane kernel: Julia z^2 + a0, polynomial, rational (with a pole in the window); Mandelbrot
// z^2 + c, z^2 + a0 + c, polynomial, rational towards infinity and towards the fixed point p. No
// picture is symmetric, so a mirrored step cannot pass for the right one.
const Family kFamilies[] = {
    {"julia z^2-1+0.05i", 'J', 1, {{-1, 0.05}, {0, 0}, {1, 0}}, {{1, 0}},
     {{{0.0024693899530792, -0.0497542745884173}, {-1.0024693899530792, 0.0497542745884172}}}, {}, {}, {0, 0}, 3.5},
    {"julia cubic", 'J', 1, {{0.1, 0.6}, {0.3, 0}, {0, 0}, {1, 0.2}}, {{1, 0}},
     {{{0.0804897035346415, 0.5765619499713553}}}, {}, {}, {0, 0}, 3},
    {"julia rational", 'J', 2, {{1, 0}, {0, 0}, {1, 0}}, {{-0.25, 0}, {0, 0}, {1, 0}},
     {{{1.5668713550551328, 0}}}, {}, {}, {0.5, 0}, 4},
    {"mandelbrot z^2+c", 'M', 1, {{0, 0}, {0, 0}, {1, 0}}, {{1, 0}}, {}, {{0, 0}}, {}, {-0.75, 0.1}, 2.5},
    {"mandelbrot z^2+a0+c", 'M', 1, {{0.2, -0.1}, {0, 0}, {1, 0}}, {{1, 0}}, {}, {{0, 0}}, {}, {-0.9, 0}, 2.5},
    {"mandelbrot cubic, two orbits", 'M', 1, {{0, 0.1}, {-0.3, 0}, {0, 0}, {1, 0}}, {{1, 0}}, {},
     {{0.316, 0}, {-0.316, 0}}, {}, {0, 0}, 3},
    // z^3 / (z + a): infinity superattracting, critical points 0 and -3a/2.
    {"mandelbrot rational to infinity", 'M', 2, {{0, 0}, {0, 0}, {0, 0}, {1, 0}}, {{0.5, 0.1}, {1, 0}}, {},
     {{0, 0}, {-0.75, -0.15}}, {}, {0, 0}, 3},
    // z^2 / (z^2 + a): p = 0 superattracting; its only other critical point is infinity, so start at 0.5.
    {"mandelbrot rational to p", 'M', 2, {{0, 0}, {0, 0}, {1, 0}}, {{0.3, 0.1}, {0, 0}, {1, 0}}, {},
     {{0.5, 0}}, {0, 0}, {0, 0}, 4},
    // A form no kernel knows leaves z where it is: no lane kernel.
    {"julia, unknown form", 'J', 3, {{-1, 0}, {0, 0}, {1, 0}}, {{1, 0}}, {{{0, 0}}}, {}, {}, {0, 0}, 3},
};

struct Window { int w, h, loop; double dx, dy, zoom; };

// The block of family f in window win, and its front end block.
std::unique_ptr<common::FrontEndBlock> setUp(TestBlock& b, const Family& f, const Window& win) {
    b.setMap(f.form, f.num, f.den);
    for (const auto& c : f.cycles) b.addCycle(c);
    b.header().fixedPointCount = 1;
    b.header().fixedRe[0] = f.p.re;
    b.header().fixedIm[0] = f.p.im;
    const double across = f.width / win.zoom;
    b.setWindow(win.w, win.h, across, {f.centre.re + win.dx * across, f.centre.im + win.dy * across}, win.loop);
    return render_test::frontEndBlock(f.form, f.num, f.den, f.critical, std::vector<bool>(f.critical.size(), true));
}

TEST(ParallelRender, LanesAndWorkersGiveTheScalarPictureExactly) {
    // The general path, scalar, on one thread, against the fast paths, the lanes and the workers.
    const render::RenderOptions reference{false, false, 1};
    const render::RenderOptions variants[] = {{true, false, 1}, {true, true, 1}, {false, true, 3}, {true, false, 4}};
    // The whole picture, then random windows of up to 8x zoom.
    std::vector<Window> windows{{37, 29, 150, 0, 0, 1}};
    std::mt19937 random(13);
    std::uniform_real_distribution<double> offset(-0.4, 0.4), zoom(1, 8);
    std::uniform_int_distribution<int> size(5, 41), loop(1, 300);
    for (int i = 0; i < 3; ++i)
        windows.push_back({size(random), size(random), loop(random), offset(random), offset(random), zoom(random)});
    // Each SIMD target of this machine in turn.
    for (std::int64_t targets = hwy::SupportedTargets() & HWY_TARGETS; targets != 0; targets &= targets - 1) {
        const std::int64_t target = targets & -targets;
        hwy::SetSupportedTargetsForTest(target);
        for (const Family& f : kFamilies) {
            for (const Window& win : windows) {
                TestBlock b(f.kind);
                const auto fe = setUp(b, f, win);
                SCOPED_TRACE(testing::Message() << f.name << " on " << hwy::TargetName(target) << ", " << win.w << "x"
                                                << win.h << " loop " << win.loop);
                Render expected;
                ASSERT_TRUE(expected.run(b, fe.get(), reference));
                ASSERT_EQ(render::lanesApply(expected.engine.scene()), f.form != 3);
                if (&win == &windows.front()) {  // the whole picture shows basins, or orbits escaping after a while
                    EXPECT_GT(f.kind == 'J' ? expected.stats.stats[1].pixelCount : expected.stats.stats[0].highCount, 0);
                }
                for (const render::RenderOptions& o : variants) {
                    SCOPED_TRACE(testing::Message() << o.fastPaths << o.lanes << o.threads);
                    Render got;
                    ASSERT_TRUE(got.run(b, fe.get(), o));
                    expectIdentical(expected, got, win.w, win.h);
                }
            }
        }
    }
    hwy::SetSupportedTargetsForTest(0);
}

// A picture in tiles (the batch renderer's way past 1000 pixels) has the
// whole picture's values.
TEST(ParallelRender, TilesHoldTheWholePicturesValues) {
    TestBlock b('M');
    const auto fe = setUp(b, kFamilies[3], {45, 31, 120, 0, 0, 1});
    Render whole;
    ASSERT_TRUE(whole.run(b, fe.get()));
    render::RenderOptions o;
    for (const render::RenderTile tile : {render::RenderTile{0, 0, 20, 31}, render::RenderTile{20, 7, 25, 24}}) {
        Render part;
        o.tile = tile;
        ASSERT_TRUE(part.run(b, fe.get(), o));
        for (int x = 0; x < tile.width; ++x)
            for (int y = 0; y < tile.height; ++y)
                ASSERT_EQ(part.maps->colour[x][y], whole.maps->colour[x + tile.x0][y + tile.y0]) << x << "," << y;
    }
}

// Sizes from a block are untrusted: what the maps cannot hold is refused.
TEST(ParallelRender, RefusesSizesTheMapsCannotHold) {
    using render::SceneStatus;
    const struct {
        int w, h;
        std::optional<render::RenderTile> tile;
        SceneStatus status;
    } cases[] = {
        {1001, 31, {}, SceneStatus::BadWidth},
        {1000, 0, {}, SceneStatus::BadHeight},
        {1000, 1000, {}, SceneStatus::Ready},
        {1001, 31, render::RenderTile{1, 0, 1000, 31}, SceneStatus::Ready},  // tiles may make larger pictures
        {45, 31, render::RenderTile{30, 0, 16, 31}, SceneStatus::BadWidth},  // reaches past the picture
        {45, 31, render::RenderTile{0, 20, 45, 12}, SceneStatus::BadHeight},
    };
    for (const auto& c : cases) {
        TestBlock b('J');
        b.setWindow(c.w, c.h, 4);
        render::RenderOptions o;
        o.tile = c.tile;
        EXPECT_EQ(Render().engine.prepare(b.read(), b.view(), nullptr, o), c.status) << c.w << "x" << c.h;
    }
}

// The worker count asked for in the environment: a whole number 1..256, else 0 (the machine's count).
TEST(ParallelRender, ThreadCountFromTheEnvironment) {
    const std::pair<const char*, int> cases[] = {{nullptr, 0}, {"", 0},  {"10", 10},  {"19", 19}, {"256", 256},
                                                 {"257", 0},   {"1:", 0}, {"/1", 0},   {"-2", 0}, {"99999999999", 0}};
    for (const auto& [text, threads] : cases) EXPECT_EQ(render::parseRenderThreads(text), threads) << (text ? text : "");
    // Unreadable, the machine's cores decide.
    const auto cores = static_cast<int>(std::clamp(std::thread::hardware_concurrency(), 1u, unsigned{render::MAX_RENDER_THREADS}));
    for (const auto& [text, threads] : {std::pair{"x", cores}, std::pair{"3", 3}}) {
        ::setenv(render::RENDER_THREADS_VARIABLE, text, 1);
        EXPECT_EQ(render::renderThreadCount(), threads) << text;
    }
    ::setenv(render::RENDER_THREADS_VARIABLE, "1", 1);  // as the test environment has it
}

}  // namespace
