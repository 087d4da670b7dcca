// The passes of a render: what each paint covers, what a stop leaves in the
// maps, how unknown pixels are stored; the rational kernel against the polynomial one.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <mutex>
#include <set>

#include "common/messages.h"
#include "test_blocks.h"

namespace {

using render_test::Render;
using render_test::TestBlock;

// A detailed picture of z^2 + c: most neighbouring pixels differ.
TestBlock mandelbrot(int w, int h) {
    TestBlock b('M');
    b.setWindow(w, h, 2.5, {-0.75, 0.1}, 200);
    return b;
}

// Every column of every pass is painted once, over all rows, the last block of a pass clipped to
// the picture, and no column of a pass before the previous pass has ended; every pixel is computed
// once. A render nobody paints from skips the coarse blocks: its maps end the same, whatever they held.
TEST(RenderPasses, WorkersPaintEachPassColumnOnceAndInPassOrder) {
    for (const auto [w, h, threads] : {std::array{17, 5, 1}, std::array{160, 20, 3}}) {
        TestBlock b = mandelbrot(w, h);
        if (threads > 1) b.setWindow(w, h, 0.2, {-0.1, 0}, 5000);  // slow: a worker running ahead would show
        const auto fe = render_test::squareFamily();
        Render r, plain;
        for (Render* one : {&r, &plain}) std::memset(one->maps.get(), 0xF9, sizeof(render::PixelMaps));
        std::vector<int> painted;
        std::mutex lock;
        r.engine.setPaintColumns([&](int wParam, int lParam) {
            const std::lock_guard guard(lock);
            painted.push_back(wParam);
            EXPECT_EQ(lParam, common::packHalves(0, h - 1));
        });
        ASSERT_TRUE(r.run(b, fe.get(), {true, true, threads}));
        std::vector<int> expected;
        std::vector<std::set<int>> passes;  // the paints of each pass
        for (int s = 16; s >= 1; s /= 2) {
            passes.emplace_back();
            for (int x = 0; x < w; x += s) passes.back().insert(common::packHalves(x, std::min(x + s - 1, w - 1)));
            expected.insert(expected.end(), passes.back().begin(), passes.back().end());
        }
        std::size_t pass = 0;
        for (const int p : painted)
            while (pass < passes.size() && passes[pass].count(p) == 0) ++pass;
        EXPECT_LT(pass, passes.size()) << "a paint came after the next pass had begun";
        std::sort(expected.begin(), expected.end());
        std::sort(painted.begin(), painted.end());
        EXPECT_EQ(painted, expected) << w;
        EXPECT_TRUE(r.engine.renderEnded.load());
        EXPECT_EQ(r.engine.renderedPixelCount.load(), w * h);
        EXPECT_EQ(r.stats.stats[0].pixelCount, w * h);
        ASSERT_TRUE(plain.run(b, fe.get(), {true, true, threads}));
        EXPECT_EQ(std::memcmp(r.maps.get(), plain.maps.get(), sizeof(render::PixelMaps)), 0);
    }
}

// A stop inside the pass of `step`, where one worker may take bands of
// several columns: the columns reached hold that pass's blocks, the rest the
// coarser pass's, whatever the maps held before; the pixels counted are the
// corners computed, and the end step narrowed the colour range to them.
TEST(RenderPasses, StopLeavesTheBlocksOfThePassesReached) {
    struct Case {
        int w, h;
        bool lanes;
        int step, columnsOfPass;  // painted in the pass of `step` before the stop
    };
    for (const Case c : {Case{64, 48, false, 4, 6}, Case{640, 24, true, 4, 7}, Case{640, 24, true, 2, 13},
                         Case{640, 24, true, 1, 26}}) {
        SCOPED_TRACE(testing::Message() << c.w << " wide, step " << c.step);
        TestBlock b = mandelbrot(c.w, c.h);
        const auto fe = render_test::squareFamily();
        Render full, part;
        ASSERT_TRUE(full.run(b, fe.get(), {true, c.lanes, 1}));
        int before = 0;  // columns painted by the coarser passes
        for (int s = render::FIRST_PASS_STEP; s > c.step; s /= 2) before += (c.w + s - 1) / s;
        int seen = 0;
        int reached = 0;
        part.engine.setPaintColumns([&](int wParam, int) {
            reached = (wParam & 0xFFFF) + 1;
            if (++seen == before + c.columnsOfPass) part.engine.renderAbort = true;
        });
        std::memset(part.maps->iteration, 0xF9, sizeof part.maps->iteration);
        ASSERT_TRUE(part.run(b, fe.get(), {true, c.lanes, 1}));
        EXPECT_TRUE(part.engine.renderEnded.load());
        ASSERT_EQ(seen, before + c.columnsOfPass);
        ASSERT_EQ(reached, c.columnsOfPass * c.step);
        int corners = 0;
        int differFromFine = 0;
        for (int x = 0; x < c.w; ++x)
            for (int y = 0; y < c.h; ++y) {
                const int s = x < reached ? c.step : 2 * c.step;
                corners += x % s == 0 && y % s == 0;
                const int cx = x - x % s, cy = y - y % s;
                ASSERT_EQ(part.maps->iteration[x][y], full.maps->iteration[cx][cy]) << x << "," << y;
                ASSERT_EQ(part.maps->colour[x][y], full.maps->colour[cx][cy]) << x << "," << y;
                differFromFine += full.maps->iteration[cx][cy] != full.maps->iteration[x][y];
            }
        EXPECT_GT(differFromFine, 0);  // the picture has detail the blocks hide
        EXPECT_EQ(part.engine.renderedPixelCount.load(), corners);
        EXPECT_EQ(part.stats.stats[0].pixelCount, corners);
        EXPECT_EQ(part.colours.records[0].highCount, part.stats.stats[0].highCount);
    }
}

TEST(RenderPasses, JuliaStoresUnknownPixelsBlackWithCountZero) {
    TestBlock b('J');
    b.setMap(1, {{0, 0}, {1, 0}});  // z -> z: nothing escapes or is captured
    b.setWindow(5, 3, 4, {0, 0}, 4);
    b.view().unknownColour = static_cast<int>(common::colourWord(9, 9, 9));
    Render r;
    r.maps->colour[2][2] = 0x123456;
    ASSERT_TRUE(r.run(b, nullptr));
    for (int x = 0; x < 5; ++x)
        for (int y = 0; y < 3; ++y)
            EXPECT_TRUE(r.maps->component[x][y] == 255 && r.maps->iteration[x][y] == 0 && r.maps->colour[x][y] == 0);
    EXPECT_EQ(r.stats.unknownPixelCount, 15);
    // The unknown colour appears only after a recolouring.
    colour::recolourPicture(*r.maps, 5, 3, r.colours, common::colourWord(9, 9, 9));
    EXPECT_EQ(r.maps->colour[4][2], common::colourWord(9, 9, 9));
}

// i z^2 / i is z^2: the rational kernel divides by Q through |Q|^2.
TEST(RenderPasses, RationalFamilyEqualsThePolynomialFamilyItReduces) {
    TestBlock poly = mandelbrot(40, 30), rational = mandelbrot(40, 30);
    rational.header().map.form = common::FORM_RATIONAL;
    const auto fePoly = render_test::squareFamily();
    const auto feRational = render_test::frontEndBlock(2, {{0, 0}, {0, 0}, {0, 1}}, {{0, 1}}, {{0, 0}}, {true});
    Render a, b;
    ASSERT_TRUE(a.run(poly, fePoly.get(), {false}));
    ASSERT_TRUE(b.run(rational, feRational.get()));
    ASSERT_TRUE(b.engine.scene().escapeAtInfinity);
    int escaped = 0;
    for (int x = 0; x < 40; ++x)
        for (int y = 0; y < 30; ++y) {
            ASSERT_EQ(a.maps->iteration[x][y], b.maps->iteration[x][y]) << x << "," << y;
            escaped += a.maps->iteration[x][y] > 0;  // a Mandelbrot count of 0: never escaped
        }
    EXPECT_GT(escaped, 100);
}

}  // namespace
