#include "viewer/core/render_kernels.h"

#include <gtest/gtest.h>

#include "test_blocks.h"

namespace {

using render_test::Point;
using render_test::TestBlock;

struct Fixture {
    render::RenderScene scene;
    colour::RenderStatistics stats;
    std::atomic<bool> abort{false};
    Fixture() { stats.reset(); }
};

// A 7 x 7 picture with one plane unit per pixel, centred on 0: pixel
// (3 + a, 3 + b) is the point a + bi.
void unitGrid(TestBlock& b) {
    b.view().pictureWidth = 7;
    b.view().pictureHeight = 7;
    b.view().magnification = 1.0 / 7.0;
}

void build(TestBlock& b, Fixture& f, const common::FrontEndBlock* fe = nullptr) {
    ASSERT_EQ(render::buildScene(b.read(), b.view(), fe, {}, f.scene), render::SceneStatus::Ready);
}

TEST(JuliaKernel, PixelMapsToTheRightPlanePoint) {
    TestBlock b('J');
    b.view().pictureWidth = 600;
    b.view().pictureHeight = 400;
    b.view().magnification = 0.25;  // 150 pixels per unit
    b.view().centreRe = 1.0;
    b.view().centreIm = -2.0;
    Fixture f;
    build(b, f);
    const render::PlanePoint centre = render::pixelToPlane(f.scene, 300, 200);
    EXPECT_EQ(centre.re, 1.0);
    EXPECT_EQ(centre.im, -2.0);
    const render::PlanePoint corner = render::pixelToPlane(f.scene, 0, 0);
    EXPECT_EQ(corner.re, -1.0);
    EXPECT_DOUBLE_EQ(corner.im, -2.0 - 200.0 / 150.0);  // same scale on both axes
}

TEST(JuliaKernel, StartOutsideTheEscapeRadiusCountsZero) {
    TestBlock b('J');
    unitGrid(b);
    b.setMap(1, {{-1, 0}, {0, 0}, {1, 0}});
    b.view().convergenceRadius = 0.5;  // escape radius 2
    Fixture f;
    build(b, f);
    const render::PixelResult r = render::juliaPixel(f.scene, 6, 3, f.stats, f.abort);  // z = 3
    EXPECT_EQ(r.count, 0);
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(f.stats.stats[0].pixelCount, 1);
    EXPECT_EQ(f.stats.stats[0].highCount, 0);
    EXPECT_EQ(f.stats.stats[0].lowCount, 0);
}

TEST(JuliaKernel, CaptureAfterFiveApplicationsAndFirstEntryWins) {
    // z -> z/2 from z = 1: 1, 1/2, ..., 1/32; with r = 0.05 the point 0 is
    // first within reach after five halvings.
    TestBlock b('J');
    unitGrid(b);
    b.setMap(1, {{0, 0}, {0.5, 0}});
    b.view().convergenceRadius = 0.05;
    b.addCycle({{5, 5}, {0, 0}});  // entry 0: its second point captures
    b.addCycle({{0.01, 0}});       // entry 1 would capture at the same step
    Fixture f;
    build(b, f);
    render::PixelResult r = render::juliaPixel(f.scene, 4, 3, f.stats, f.abort);
    EXPECT_EQ(r.count, 5);
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(f.stats.stats[1].pixelCount, 1);
    EXPECT_EQ(f.stats.stats[1].highCount, 5);
    EXPECT_EQ(f.stats.stats[2].pixelCount, 0);

    TestBlock swapped('J');
    unitGrid(swapped);
    swapped.setMap(1, {{0, 0}, {0.5, 0}});
    swapped.view().convergenceRadius = 0.05;
    swapped.addCycle({{0.01, 0}});
    swapped.addCycle({{0, 0}});
    Fixture g;
    build(swapped, g);
    r = render::juliaPixel(g.scene, 4, 3, g.stats, g.abort);
    EXPECT_EQ(r.count, 5);
    EXPECT_EQ(r.code, 1);
}

TEST(JuliaKernel, OrbitReachingNothingIsUnknown) {
    TestBlock b('J');
    unitGrid(b);
    b.setMap(1, {{0, 0}, {1, 0}});  // z -> z
    b.view().loopCount = 10;
    b.addCycle({{-2, -2}});
    Fixture f;
    build(b, f);
    const render::PixelResult r = render::juliaPixel(f.scene, 4, 4, f.stats, f.abort);
    EXPECT_EQ(r.code, 255);
    EXPECT_EQ(r.count, 10);
    EXPECT_EQ(f.stats.unknownPixelCount, 1);
    EXPECT_EQ(f.stats.stats[0].pixelCount + f.stats.stats[1].pixelCount, 0);

    // A loop count of 0 or below gives up at once with count 0.
    b.view().loopCount = -3;
    Fixture g;
    build(b, g);
    EXPECT_EQ(render::juliaPixel(g.scene, 4, 4, g.stats, g.abort).count, 0);
    EXPECT_EQ(g.stats.unknownPixelCount, 1);
}

TEST(JuliaKernel, InvalidEntriesMakePixelsUnknownWithoutCounting) {
    TestBlock b('J');
    unitGrid(b);
    b.setMap(1, {{0, 0}, {0.5, 0}});
    b.view().convergenceRadius = 0.05;
    b.addCycle({{1, 0}});            // entry 0 holds z = 1 at once
    b.addRawEntry(3, 1, 12936);      // entry 1: kind 3
    b.addRawEntry(0, 4, 1 << 30);    // entry 2: data outside the block
    Fixture f;
    build(b, f);
    // z = 1 is caught by entry 0 before the table reaches the invalid kind.
    render::PixelResult r = render::juliaPixel(f.scene, 4, 3, f.stats, f.abort);
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.count, 0);
    // z = 2 is not: the invalid entry is reached.
    r = render::juliaPixel(f.scene, 5, 3, f.stats, f.abort);
    EXPECT_EQ(r.code, 255);
    EXPECT_EQ(r.count, render::INVALID_KIND_COUNT);
    EXPECT_EQ(f.stats.unknownPixelCount, 0);
    EXPECT_EQ(f.stats.stats[0].pixelCount, 0);

    // An entry whose data lie outside the block is invalid as well.
    TestBlock c('J');
    unitGrid(c);
    c.addRawEntry(0, 4, 1 << 30);
    Fixture g;
    build(c, g);
    EXPECT_EQ(render::juliaPixel(g.scene, 3, 3, g.stats, g.abort).code, 255);
}

TEST(JuliaKernel, PoleCountsAsEscapedToInfinity) {
    TestBlock b('J');
    unitGrid(b);
    b.setMap(2, {{1, 0}}, {{-1, 0}, {1, 0}});  // 1 / (z - 1)
    b.view().convergenceRadius = 1e-3;
    Fixture f;
    build(b, f);
    // z = 2 -> 1 -> pole at the second application.
    const render::PixelResult r = render::juliaPixel(f.scene, 5, 3, f.stats, f.abort);
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.count, 1);
    EXPECT_EQ(f.stats.stats[0].pixelCount, 1);
    EXPECT_EQ(f.stats.stats[0].highCount, 1);
}

TEST(JuliaKernel, RotationDomainEntryCapturesInsideItsCurve) {
    TestBlock b('J');
    unitGrid(b);
    b.setMap(1, {{0, 0}, {1, 0}});  // z -> z: capture only at the start
    b.view().loopCount = 3;
    render_test::Curve square{{{-1.5, -1.5}, {1.5, -1.5}, {1.5, 1.5}, {-1.5, 1.5}}, {}, {}, {}};
    b.addCurveGroup(1, {square});
    Fixture f;
    build(b, f);
    render::PixelResult r = render::juliaPixel(f.scene, 4, 2, f.stats, f.abort);  // 1 - i
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.count, 0);
    r = render::juliaPixel(f.scene, 5, 3, f.stats, f.abort);  // 2
    EXPECT_EQ(r.code, 255);
}

TEST(JuliaKernel, StopReturnsAtOnceRecordingNothing) {
    TestBlock b('J');
    unitGrid(b);
    Fixture f;
    build(b, f);
    f.abort = true;
    const render::PixelResult r = render::juliaPixel(f.scene, 3, 3, f.stats, f.abort);
    EXPECT_EQ(r.count, 0);
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(f.stats.stats[0].pixelCount, 0);
    EXPECT_EQ(f.stats.unknownPixelCount, 0);
}

// z -> 2z + c: from the critical point q the orbit is 2q + c, 4q + c, ...
TEST(MandelbrotKernel, SumsTheEscapeIndicesOfSelectedOrbits) {
    TestBlock b('M');
    unitGrid(b);
    b.view().convergenceRadius = 0.01;  // escape beyond 100
    b.view().loopCount = 100;
    // 10: 20, 40, 80, 160 -> index 3; 0.5: 1, 2, ..., 128 -> index 7.
    const std::vector<Point> num = {{0, 0}, {2, 0}};
    auto both = render_test::frontEndBlock(1, num, {{1, 0}}, {{10, 0}, {0.5, 0}, {0, 0}}, {true, true, false});
    Fixture f;
    build(b, f, both.get());
    EXPECT_EQ(render::mandelbrotPixel(f.scene, 3, 3, f.stats, f.abort), 10);
    EXPECT_EQ(f.stats.stats[0].highCount, 10);

    // The orbit of 0 stays at 0 and adds nothing.
    auto oneBounded = render_test::frontEndBlock(1, num, {{1, 0}}, {{10, 0}, {0.5, 0}, {0, 0}}, {true, false, true});
    Fixture g;
    build(b, g, oneBounded.get());
    EXPECT_EQ(render::mandelbrotPixel(g.scene, 3, 3, g.stats, g.abort), 3);

    auto none = render_test::frontEndBlock(1, num, {{1, 0}}, {{10, 0}, {0.5, 0}}, {false, false});
    Fixture h;
    build(b, h, none.get());
    EXPECT_EQ(render::mandelbrotPixel(h.scene, 3, 3, h.stats, h.abort), 0);
    EXPECT_EQ(h.stats.stats[0].pixelCount, 1);

    // The map comes from the front end's block, not from the analysis block.
    b.setMap(1, {{0, 0}, {0.5, 0}});
    Fixture k;
    build(b, k, both.get());
    EXPECT_EQ(render::mandelbrotPixel(k.scene, 3, 3, k.stats, k.abort), 10);
}

TEST(MandelbrotKernel, LoopCountOneCountsAnImmediateEscapeAsZero) {
    TestBlock b('M');
    unitGrid(b);
    b.view().convergenceRadius = 0.5;  // escape beyond 2
    b.view().loopCount = 1;
    auto fe = render_test::frontEndBlock(1, {{0, 0}, {0, 0}, {1, 0}}, {{1, 0}}, {{0, 0}}, {true});
    Fixture f;
    build(b, f, fe.get());
    EXPECT_EQ(render::mandelbrotPixel(f.scene, 6, 3, f.stats, f.abort), 0);  // c = 3 escapes at once
    EXPECT_EQ(render::mandelbrotPixel(f.scene, 3, 3, f.stats, f.abort), 0);  // c = 0 stays
    EXPECT_EQ(f.stats.stats[0].pixelCount, 2);
    EXPECT_EQ(f.stats.stats[0].highCount, 0);
}

TEST(MandelbrotKernel, ZeroDenominatorTowardsInfinityIsAnEscape) {
    // (z^2 + 1) / z from i: P(i) = 0, so the first iterate is c = 0; the
    // next application divides by Q(0) = 0.
    TestBlock b('M');
    unitGrid(b);
    b.header().map.form = 2;
    b.view().convergenceRadius = 0.01;
    auto fe = render_test::frontEndBlock(2, {{1, 0}, {0, 0}, {1, 0}}, {{0, 0}, {1, 0}}, {{0, 1}}, {true});
    Fixture f;
    build(b, f, fe.get());
    EXPECT_EQ(render::mandelbrotPixel(f.scene, 3, 3, f.stats, f.abort), 1);
}

TEST(MandelbrotKernel, ZeroDenominatorTowardsTheFixedPointTakesVAsC) {
    // 1 / z (deg P < deg Q): the orbit tends to p = 0. From the critical
    // point 0 the first application divides by zero: V = c = 1, z = -1;
    // then w = -1, u = 1, V = 2, z = -1/2, within r = 0.8 of p.
    TestBlock b('M');
    unitGrid(b);
    b.header().map.form = 2;
    b.view().convergenceRadius = 0.8;
    auto fe = render_test::frontEndBlock(2, {{1, 0}}, {{0, 0}, {1, 0}}, {{0, 0}}, {true});
    Fixture f;
    build(b, f, fe.get());
    EXPECT_FALSE(f.scene.escapeAtInfinity);
    EXPECT_EQ(render::mandelbrotPixel(f.scene, 4, 3, f.stats, f.abort), 1);  // c = 1
}

TEST(MandelbrotKernel, StopRecordsZeroForCodeZero) {
    TestBlock b('M');
    unitGrid(b);
    auto fe = render_test::frontEndBlock(1, {{0, 0}, {0, 0}, {1, 0}}, {{1, 0}}, {{0, 0}}, {true});
    Fixture f;
    build(b, f, fe.get());
    f.abort = true;
    EXPECT_EQ(render::mandelbrotPixel(f.scene, 6, 6, f.stats, f.abort), 0);
    EXPECT_EQ(f.stats.stats[0].pixelCount, 1);
    EXPECT_EQ(f.stats.stats[0].lowCount, 0);
}

TEST(Scene, RefusesPictureSizesTheMapsCannotHold) {
    render::RenderScene s;
    TestBlock b('J');
    b.view().pictureWidth = 1001;
    EXPECT_EQ(render::buildScene(b.read(), b.view(), nullptr, {}, s), render::SceneStatus::BadWidth);
    b.view().pictureWidth = 1000;
    b.view().pictureHeight = 0;
    EXPECT_EQ(render::buildScene(b.read(), b.view(), nullptr, {}, s), render::SceneStatus::BadHeight);
    b.view().pictureHeight = 1000;
    EXPECT_EQ(render::buildScene(b.read(), b.view(), nullptr, {}, s), render::SceneStatus::Ready);
}

}  // namespace
