// A render nobody paints from skips the coarse blocks: its maps must end as
// a painted render's, on one worker and on two, whatever they held before.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "test_blocks.h"
#include "viewer/core/render_engine.h"

TEST(RenderUnpainted, EndsWithThePaintedRendersMaps) {
    render_test::TestBlock b('M');
    b.view().pictureWidth = 203;  // neither size a multiple of the first step
    b.view().pictureHeight = 77;
    const auto fe = render_test::frontEndBlock(1, {{0, 0}, {0, 0}, {1, 0}}, {{1, 0}}, {{0, 0}}, {true});
    for (const int threads : {1, 2}) {
        std::unique_ptr<render::PixelMaps> maps[2] = {render::makePixelMaps(), render::makePixelMaps()};
        for (int painted = 0; painted < 2; ++painted) {
            std::memset(maps[painted]->iteration, 0xF9, sizeof maps[painted]->iteration);
            colour::ColourTable colours;
            colour::RenderStatistics stats;
            render::RenderEngine engine(*maps[painted], colours, stats);
            if (painted) engine.setPaintColumns([](int, int) {});
            colours.seedOnce(b.view());
            ASSERT_EQ(engine.prepare(b.read(), b.view(), fe.get(), {true, true, threads}), render::SceneStatus::Ready);
            engine.renderThread();
        }
        EXPECT_EQ(std::memcmp(maps[0].get(), maps[1].get(), sizeof(render::PixelMaps)), 0) << threads;
    }
}
