// Stops inside the finer passes, where one worker takes bands of several
// columns: the columns reached hold the pass's blocks, the rest the coarser
// pass's, and every pixel counted was stored and recorded.
#include <gtest/gtest.h>

#include <memory>

#include "test_blocks.h"
#include "viewer/core/render_engine.h"

namespace {

struct Picture {
    std::unique_ptr<render::PixelMaps> maps = render::makePixelMaps();
    colour::ColourTable colours;
    colour::RenderStatistics stats;
    render::RenderEngine engine{*maps, colours, stats};

    void prepare(render_test::TestBlock& b, const common::FrontEndBlock* fe) {
        stats.reset();
        colours.seedOnce(b.view());
        ASSERT_EQ(engine.prepare(b.read(), b.view(), fe, {true, true, 1}), render::SceneStatus::Ready);
    }
};

TEST(RenderBands, StopInsideABandLeavesWholeBlocks) {
    const int W = 640, H = 24;
    render_test::TestBlock b('M');
    b.view().pictureWidth = W;
    b.view().pictureHeight = H;
    b.view().magnification = 1.0 / 2.5;
    b.view().centreRe = -0.5;
    const auto fe = render_test::frontEndBlock(1, {{0, 0}, {0, 0}, {1, 0}}, {{1, 0}}, {{0, 0}}, {true});
    Picture full;
    full.prepare(b, fe.get());
    full.engine.renderThread();

    struct Case {
        int step;
        int columnsOfPass;  // painted in the pass of `step` before the stop
    };
    for (const Case c : {Case{4, 7}, Case{2, 13}, Case{1, 26}}) {
        Picture part;
        part.prepare(b, fe.get());
        int before = 0;  // columns painted by the coarser passes
        for (int s = render::FIRST_PASS_STEP; s > c.step; s /= 2) before += (W + s - 1) / s;
        int seen = 0;
        int reached = 0;
        part.engine.setPaintColumns([&](int wParam, int) {
            reached = (wParam & 0xFFFF) + 1;
            if (++seen == before + c.columnsOfPass) part.engine.renderAbort = true;
        });
        for (int x = 0; x < W; ++x)
            for (int y = 0; y < H; ++y) part.maps->iteration[x][y] = -7;
        part.engine.renderThread();
        ASSERT_EQ(seen, before + c.columnsOfPass) << c.step;
        ASSERT_EQ(reached, c.columnsOfPass * c.step) << c.step;
        for (int x = 0; x < W; ++x)
            for (int y = 0; y < H; ++y) {
                const int s = x < reached ? c.step : 2 * c.step;
                ASSERT_EQ(part.maps->iteration[x][y], full.maps->iteration[x - x % s][y - y % s])
                    << c.step << ": " << x << "," << y;
                ASSERT_EQ(part.maps->colour[x][y], full.maps->colour[x - x % s][y - y % s]) << x << "," << y;
            }
        EXPECT_EQ(part.stats.stats[0].pixelCount, part.engine.renderedPixelCount.load()) << c.step;
    }
}

}  // namespace
