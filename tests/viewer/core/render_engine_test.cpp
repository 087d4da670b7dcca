#include "viewer/core/render_engine.h"

#include <gtest/gtest.h>

#include <memory>
#include <utility>
#include <vector>

#include "common/messages.h"
#include "test_blocks.h"

namespace {

using render_test::TestBlock;

// Everything a viewer holds for one picture.
struct Viewer {
    std::unique_ptr<render::PixelMaps> maps = render::makePixelMaps();
    colour::ColourTable colours;
    colour::RenderStatistics stats;
    render::RenderEngine engine{*maps, colours, stats};
    std::vector<std::pair<int, int>> paints;

    void start(TestBlock& b, const common::FrontEndBlock* fe = nullptr, render::RenderOptions o = {}) {
        stats.reset();
        colours.seedOnce(b.view());
        ASSERT_EQ(engine.prepare(b.read(), b.view(), fe, o), render::SceneStatus::Ready);
        engine.setPaintColumns([this](int w, int l) { paints.emplace_back(w, l); });
    }
};

// A detailed Mandelbrot picture of z^2 + c: most neighbouring pixels differ.
std::unique_ptr<common::FrontEndBlock> quadraticFamily() {
    return render_test::frontEndBlock(1, {{0, 0}, {0, 0}, {1, 0}}, {{1, 0}}, {{0, 0}}, {true});
}

void mandelbrotView(TestBlock& b, int w, int h) {
    b.view().pictureWidth = w;
    b.view().pictureHeight = h;
    b.view().magnification = 1.0 / 2.5;  // 2.5 units across
    b.view().centreRe = -0.75;
    b.view().centreIm = 0.1;
    b.view().loopCount = 200;
    b.view().convergenceRadius = 1e-3;
}

TEST(RenderPasses, SeventeenColumnsFirstPassAndCompletion) {
    TestBlock b('M');
    mandelbrotView(b, 17, 5);
    auto fe = quadraticFamily();
    Viewer v;
    v.start(b, fe.get());
    EXPECT_EQ(v.engine.renderThread(), 0);

    // First pass: columns 0 and 16; column 0's blocks cover 0..15, column
    // 16's block is clipped to itself. Every paint covers rows 0..4.
    ASSERT_EQ(v.paints.size(), 36u);
    EXPECT_EQ(v.paints[0].first, (0 << 16) | 15);
    EXPECT_EQ(v.paints[1].first, (16 << 16) | 16);
    for (const auto& p : v.paints) EXPECT_EQ(p.second, (0 << 16) | 4);
    // Passes 16, 8, 4, 2, 1 paint 2 + 3 + 5 + 9 + 17 columns; the last pass
    // paints single columns.
    for (std::size_t i = 19; i < 36; ++i)
        EXPECT_EQ(v.paints[i].first, common::packHalves(static_cast<int>(i - 19), static_cast<int>(i - 19)));

    EXPECT_EQ(v.engine.renderedPixelCount.load(), 17 * 5);
    EXPECT_TRUE(v.engine.renderEnded.load());
    EXPECT_EQ(v.stats.stats[0].pixelCount, 17 * 5);  // each pixel computed once
}

TEST(RenderPasses, StopDuringThePassOfFourLeavesCoarserBlocksBeyond) {
    const int W = 64, H = 48;
    TestBlock b('M');
    mandelbrotView(b, W, H);
    auto fe = quadraticFamily();

    Viewer full;
    full.start(b, fe.get());
    full.engine.renderThread();

    Viewer part;
    part.start(b, fe.get());
    // Paints per pass: 16 -> 4 columns, 8 -> 8, 4 -> 16. Stop after the
    // sixth column of the pass of 4, i.e. after column x = 20.
    const int stopAfter = 4 + 8 + 6;
    int seen = 0;
    part.engine.setPaintColumns([&](int, int) {
        if (++seen == stopAfter) part.engine.renderAbort = true;
    });
    // Stale values from an earlier picture must all be overwritten.
    for (int x = 0; x < W; ++x)
        for (int y = 0; y < H; ++y) part.maps->iteration[x][y] = -7;
    part.engine.renderThread();
    EXPECT_TRUE(part.engine.renderEnded.load());

    const int reached = 24;  // the block of column 20 covers 20..23
    int differFromFine = 0;
    for (int x = 0; x < W; ++x)
        for (int y = 0; y < H; ++y) {
            const int s = x < reached ? 4 : 8;
            const int cornerValue = full.maps->iteration[x - x % s][y - y % s];
            ASSERT_EQ(part.maps->iteration[x][y], cornerValue) << x << "," << y;
            ASSERT_EQ(part.maps->colour[x][y], full.maps->colour[x - x % s][y - y % s]) << x << "," << y;
            if (cornerValue != full.maps->iteration[x][y]) ++differFromFine;
        }
    EXPECT_GT(differFromFine, 0);  // the picture has detail the blocks hide
    // Pass 16: 4 columns of 3 rows; pass 8: 8 columns of 6 rows less the 12
    // pixels of pass 16; pass 4: 3 columns of 12 and 3 of 6 new rows.
    EXPECT_EQ(part.engine.renderedPixelCount.load(), 12 + (48 - 12) + (3 * 12 + 3 * 6));
    // The end step ran: the colour range is the one measured so far.
    EXPECT_EQ(part.colours.records[0].highCount, part.stats.stats[0].highCount);
}

TEST(RenderPasses, JuliaStoresUnknownPixelsBlackWithCountZero) {
    TestBlock b('J');
    b.setMap(1, {{0, 0}, {1, 0}});  // z -> z: nothing escapes or is captured
    b.view().pictureWidth = 5;
    b.view().pictureHeight = 3;
    b.view().loopCount = 4;
    b.view().unknownColour = static_cast<int>(common::colourWord(9, 9, 9));
    Viewer v;
    v.start(b);
    v.maps->colour[2][2] = 0x123456;
    v.engine.renderThread();
    for (int x = 0; x < 5; ++x)
        for (int y = 0; y < 3; ++y) {
            EXPECT_EQ(v.maps->component[x][y], 255);
            EXPECT_EQ(v.maps->iteration[x][y], 0);
            EXPECT_EQ(v.maps->colour[x][y], 0u);
        }
    EXPECT_EQ(v.stats.unknownPixelCount, 15);
    // The unknown colour appears only after a recolouring.
    colour::recolourPicture(*v.maps, 5, 3, v.colours, common::colourWord(9, 9, 9));
    EXPECT_EQ(v.maps->colour[4][2], common::colourWord(9, 9, 9));
}

// Renders both pictures and counts the escaped pixels; they must agree pixel
// for pixel.
int expectSamePicture(Viewer& a, Viewer& b, int w, int h) {
    a.engine.renderThread();
    b.engine.renderThread();
    int escaped = 0;
    for (int x = 0; x < w; ++x)
        for (int y = 0; y < h; ++y) {
            EXPECT_EQ(a.maps->iteration[x][y], b.maps->iteration[x][y]) << x << "," << y;
            EXPECT_EQ(a.maps->component[x][y], b.maps->component[x][y]) << x << "," << y;
            escaped += a.maps->iteration[x][y] > 0 && a.maps->component[x][y] == 0;
            if (::testing::Test::HasFailure()) return escaped;
        }
    EXPECT_EQ(a.stats.unknownPixelCount, b.stats.unknownPixelCount);
    return escaped;
}

// The specialised z^2 + a0 kernels must give the general path's pictures.
TEST(RenderPasses, FastPathsEqualTheGeneralPath) {
    const std::pair<char, std::vector<render_test::Point>> cases[] = {
        {'M', {{0, 0}, {0, 0}, {1, 0}}},         // z^2 + c
        {'M', {{0.1, 0.2}, {0, 0}, {1, 0}}},     // z^2 + a0 + c
        {'J', {{-1, 0}, {0, 0}, {1, 0}}},        // z^2 - 1
        {'J', {{-0.12, 0.75}, {0, 0}, {1, 0}}},  // Douady's rabbit
    };
    for (const auto& [kind, num] : cases) {
        SCOPED_TRACE(kind);
        TestBlock b(kind);
        b.setMap(1, num);
        mandelbrotView(b, 48, 40);
        if (kind == 'J') {
            b.view().centreRe = 0;
            b.view().magnification = 1.0 / 3.5;
            b.addCycle({{0, 0}, {-1, 0}});
        }
        auto fe = render_test::frontEndBlock(1, num, {{1, 0}}, {{0, 0}}, {true});
        Viewer fast, general;
        fast.start(b, fe.get(), {true});
        general.start(b, fe.get(), {false});
        ASSERT_NE(fast.engine.scene().fastPath, render::FastPath::None);
        ASSERT_EQ(general.engine.scene().fastPath, render::FastPath::None);
        expectSamePicture(fast, general, 48, 40);
    }
}

TEST(RenderPasses, RationalFamilyEqualsThePolynomialFamilyItReduces) {
    // i z^2 / i is z^2: the rational kernel divides by Q through |Q|^2.
    TestBlock poly('M'), rational('M');
    mandelbrotView(poly, 40, 30);
    mandelbrotView(rational, 40, 30);
    rational.header().map.form = common::FORM_RATIONAL;
    auto fePoly = quadraticFamily();
    auto feRational = render_test::frontEndBlock(2, {{0, 0}, {0, 0}, {0, 1}}, {{0, 1}}, {{0, 0}}, {true});
    Viewer a, b;
    a.start(poly, fePoly.get(), {false});
    b.start(rational, feRational.get());
    ASSERT_TRUE(b.engine.scene().escapeAtInfinity);
    EXPECT_GT(expectSamePicture(a, b, 40, 30), 100);
}

}  // namespace
