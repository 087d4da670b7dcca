// A render nobody paints from skips the coarse passes' block fills: its
// maps must end exactly as a painted render's, on one worker and on several,
// whatever the maps held before.
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
};

TEST(RenderUnpainted, EndsWithThePaintedRendersMaps) {
    const int W = 203, H = 77;  // neither a multiple of the first step
    render_test::TestBlock b('M');
    b.view().pictureWidth = W;
    b.view().pictureHeight = H;
    b.view().magnification = 1.0 / 2.5;
    b.view().centreRe = -0.5;
    const auto fe = render_test::frontEndBlock(1, {{0, 0}, {0, 0}, {1, 0}}, {{1, 0}}, {{0, 0}}, {true});
    for (const int threads : {1, 2}) {
        Picture painted, unpainted;
        int paints = 0;
        painted.engine.setPaintColumns([&](int, int) { ++paints; });
        for (Picture* p : {&painted, &unpainted}) {
            for (int x = 0; x < render::MAP_SIZE; ++x)
                for (int y = 0; y < render::MAP_SIZE; ++y) p->maps->iteration[x][y] = -7;
            p->colours.seedOnce(b.view());
            ASSERT_EQ(p->engine.prepare(b.read(), b.view(), fe.get(), {true, true, threads}),
                      render::SceneStatus::Ready);
            p->engine.renderThread();
        }
        ASSERT_GT(paints, 0);
        for (int x = 0; x < render::MAP_SIZE; ++x)
            for (int y = 0; y < render::MAP_SIZE; ++y) {
                ASSERT_EQ(unpainted.maps->iteration[x][y], painted.maps->iteration[x][y]) << x << "," << y;
                ASSERT_EQ(unpainted.maps->component[x][y], painted.maps->component[x][y]) << x << "," << y;
                ASSERT_EQ(unpainted.maps->colour[x][y], painted.maps->colour[x][y]) << x << "," << y;
            }
        EXPECT_EQ(unpainted.stats.stats[0].pixelCount, W * H) << threads;
    }
}

}  // namespace
