// Blocks written by the front end, checked field by field through the layout
// struct (its offsets are pinned where it is declared) and read back through
// the viewer's checked reader.
#include "frontend/block_writer.h"

#include "common/block_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace {

using frontend::PictureContent;

// A block image of exactly `size` bytes (16-byte aligned by operator new),
// read through the layout struct, whose offsets are pinned where it is declared.
struct Bytes {
    explicit Bytes(std::size_t size, std::byte fill = std::byte{0x77}) : data(size, fill) {}  // the writer must clear
    std::vector<std::byte> data;
    void* ptr() { return data.data(); }
    const common::AnalysisBlockHeader& h() const {
        return *reinterpret_cast<const common::AnalysisBlockHeader*>(data.data());
    }
    bool zero(const void* from, std::size_t n) const {
        const auto* p = static_cast<const std::byte*>(from);
        return std::all_of(p, p + n, [](std::byte b) { return b == std::byte{0}; });
    }
};

PictureContent baseContent(char kind) {
    PictureContent c;
    c.kind = kind;
    c.title = std::string(1, kind) + "1";
    c.map.form = common::FORM_POLYNOMIAL;
    c.map.numeratorDegree = 2;
    c.map.numeratorRe[0] = -0.12;
    c.map.numeratorIm[0] = 0.75;
    c.map.numeratorRe[2] = 1.0;
    c.map.denominatorRe[0] = 1.0;
    c.criticalPoints.count = 1;
    c.criticalPoints.re[0] = 0.5;
    c.criticalPoints.im[0] = -0.25;
    c.criticalPoints.selected[0] = 1;
    c.fixedPoints.count = 2;
    c.fixedPoints.re = {1.5, -0.5};
    c.fixedPoints.im = {-0.25, 0.75};
    c.convergenceRadius = 1e-6;
    c.continuityDistance = 0.05;
    c.pictureWidth = 800;
    c.pictureHeight = 500;
    return c;
}

TEST(BlockWriter, MandelbrotBlockIsTheFixedPartWithEveryField) {
    const PictureContent content = baseContent('M');
    ASSERT_EQ(frontend::pictureBlockSize(content), 12936u);
    Bytes b(12936);
    ASSERT_TRUE(frontend::writePictureBlock(b.ptr(), b.data.size(), content));
    // Every byte is written: a block over zeroed memory comes out the same.
    Bytes cleared(12936, std::byte{0});
    ASSERT_TRUE(frontend::writePictureBlock(cleared.ptr(), cleared.data.size(), content));
    EXPECT_EQ(b.data, cleared.data);

    const common::AnalysisBlockHeader& h = b.h();
    EXPECT_EQ(h.blockSize, 12936u);
    EXPECT_EQ(h.pictureKind, 'M');
    EXPECT_EQ(h.map.form, common::FORM_POLYNOMIAL);
    EXPECT_EQ(h.map.numeratorDegree, 2);
    EXPECT_EQ(h.map.numeratorRe[0], -0.12);
    EXPECT_EQ(h.map.numeratorIm[0], 0.75);
    EXPECT_EQ(h.map.denominatorRe[0], 1.0);
    EXPECT_EQ(h.criticalPointCount, 1);
    EXPECT_EQ(h.criticalIm[0], -0.25);
    EXPECT_EQ(h.fixedPointCount, 2);
    EXPECT_EQ(h.fixedRe[1], -0.5);
    EXPECT_EQ(h.fixedIm[0], -0.25);

    const common::ViewRecord& v = h.currentView;
    EXPECT_EQ(v.loopCount, 500);
    EXPECT_EQ(v.fixedTolerance, 1e-16);
    EXPECT_EQ(v.convergenceRadius, 1e-6);
    EXPECT_EQ(v.continuityDistance, 0.05);
    EXPECT_EQ(v.pictureWidth, 800);
    EXPECT_EQ(v.pictureHeight, 500);
    EXPECT_EQ(v.magnification, 0.25);  // the square -1..1
    EXPECT_EQ(v.centreRe, 0.0);
    // Default colours of every component code (checked on the last): 0..loop
    // count, the three curves, ten unused exception rows.
    const common::ComponentColour& colour = v.colours[20];
    EXPECT_EQ(colour.highCount, 500);
    const int curves[3][7] = {{255, 255, 0, 0, 5, 0, 0}, {255, 255, 0, 0, 3, 0, 0}, {255, 255, 0, 0, 2, 1, 0}};
    EXPECT_EQ(std::memcmp(&colour.redCurve, curves, sizeof curves), 0);
    for (const common::ExceptionColour& row : colour.exceptions) EXPECT_EQ(row.number, -1);

    EXPECT_STREQ(h.title, "M1");
    EXPECT_TRUE(b.zero(&h.drawnView, sizeof h.drawnView));  // the drawn copy belongs to the viewer
    EXPECT_TRUE(b.zero(&h.componentCount, sizeof h.componentCount + sizeof h.components));
}

// ------------------------------------------------------------ a full Julia block

analysis::ClosedCurve curve(double scale, int outer, int inner, int points) {
    analysis::ClosedCurve c;
    c.inOut = analysis::CURVE_OUT;
    c.octagon = {scale, -scale, scale, -scale, 2 * scale, -2 * scale, 2 * scale, -2 * scale};
    for (int i = 0; i < outer; ++i) c.outerDisks.push_back({scale * 1.1, scale * 0.1 * i, 0.01 * (outer - i)});
    for (int i = 0; i < inner; ++i) c.innerDisks.push_back({scale * 0.1 * i, -scale * 0.1, 0.5 * (inner - i)});
    for (int i = 0; i < points; ++i) {
        const double t = 6.283185307179586 * i / points;
        c.re.push_back(scale * std::cos(t));
        c.im.push_back(scale * std::sin(t));
    }
    return c;
}

analysis::Cycle cycle(int period, common::PointKind kind, double seed) {
    analysis::Cycle c;
    c.period = period;
    c.kind = kind;
    for (int i = 0; i < period; ++i) {
        c.re.push_back(seed + i);
        c.im.push_back(-seed - 0.5 * i);
    }
    return c;
}

// Cycles (with the entry for infinity between them), two Siegel disks on
// critical point 0's curves, one on critical point 2's, and a Herman ring
// between the curve sets of critical points 1 and 2.
analysis::JuliaAnalysis richAnalysis() {
    analysis::JuliaAnalysis a;
    a.orbits.cycles.capacity = 6;
    a.orbits.cycles.cycles.push_back(cycle(1, common::PointKind::SuperAttracting, 0.25));
    analysis::Cycle infinity;
    infinity.period = 0;
    infinity.toInfinity = 1;
    a.orbits.cycles.cycles.push_back(infinity);
    a.orbits.cycles.cycles.push_back(cycle(3, common::PointKind::Attracting, -1.0));

    analysis::CurveSetEntry e0, e1, e2;
    e0.criticalPointIndex = 0;
    e0.curves = {curve(0.5, 2, 3, 5), curve(0.7, 0, 1, 4)};
    e1.criticalPointIndex = 1;
    e1.curves = {curve(0.2, 1, 1, 6)};
    e2.criticalPointIndex = 2;
    e2.curves = {curve(0.9, 3, 0, 7), curve(1.3, 1, 2, 3)};
    a.orbits.curves.entries = {e0, e1, e2};
    // Siegel disks in CurveSet order: entry 0 curve 0, entry 2 curve 0, entry 0 curve 1.
    a.domains.siegelDisks = {{0, 0, 0}, {0, 2, 0}, {0, 0, 1}};
    // Herman ring: "In" curve entry 1 curve 0 inside "Out" curve entry 2 curve 1.
    a.domains.hermanRings = {{0, 1, 0, 2, 1}};
    return a;
}

std::size_t arraysBytes(const analysis::ClosedCurve& c) {
    return 24 * (c.outerDisks.size() + c.innerDisks.size()) + 16 * c.re.size();
}

void expectImageMatches(const common::CurveImageView& view, const analysis::ClosedCurve& c) {
    EXPECT_EQ(view.octagon[0], c.octagon.maxRe);
    EXPECT_EQ(view.octagon[7], c.octagon.minDiff);
    ASSERT_EQ(view.outerDisks.count, static_cast<int>(c.outerDisks.size()));
    for (int i = 0; i < view.outerDisks.count; ++i) {
        EXPECT_EQ(view.outerDisks.centreRe(i), c.outerDisks[i].re);
        EXPECT_EQ(view.outerDisks.centreIm(i), c.outerDisks[i].im);
        EXPECT_EQ(view.outerDisks.radiusSquared(i), c.outerDisks[i].radiusSquared);
    }
    ASSERT_EQ(view.innerDisks.count, static_cast<int>(c.innerDisks.size()));
    for (int i = 0; i < view.innerDisks.count; ++i) EXPECT_EQ(view.innerDisks.radiusSquared(i), c.innerDisks[i].radiusSquared);
    ASSERT_EQ(view.polyline.count, c.pointCount());
    for (int i = 0; i < view.polyline.count; ++i) {
        EXPECT_EQ(view.polyline.re(i), c.re[i]);
        EXPECT_EQ(view.polyline.im(i), c.im[i]);
    }
}

TEST(BlockWriter, JuliaBlockRoundTripsThroughTheReader) {
    const analysis::JuliaAnalysis a = richAnalysis();
    PictureContent content = baseContent('J');
    content.julia = &a;

    const auto& e0 = a.orbits.curves.entries[0].curves;
    const auto& e1 = a.orbits.curves.entries[1].curves;
    const auto& e2 = a.orbits.curves.entries[2].curves;
    // The sizing rule: 16 per cycle point, 196 + arrays per Siegel curve,
    // 384 + both curves' arrays per Herman pair.
    const std::size_t expectedSize = 12936 + 16 * (1 + 3) + (196 + arraysBytes(e0[0])) + (196 + arraysBytes(e0[1])) +
                                     (196 + arraysBytes(e2[0])) + (384 + arraysBytes(e1[0]) + arraysBytes(e2[1]));
    ASSERT_EQ(frontend::pictureBlockSize(content), expectedSize);
    Bytes b(expectedSize);
    ASSERT_TRUE(frontend::writePictureBlock(b.ptr(), b.data.size(), content));
    EXPECT_EQ(b.h().blockSize, expectedSize);
    EXPECT_EQ(b.h().currentView.loopCount, 1000);
    EXPECT_EQ(b.h().currentView.colours[0].highCount, 1000);

    EXPECT_EQ(b.h().components[0].dataOffset, 12936);  // the data follow the fixed part

    // Table: cycle 1, cycle 3 (infinity skipped), Siegel group of entry 0
    // (two curves), Siegel group of entry 2, one Herman pair; every array
    // inside the block (the reader checks that).
    const auto view = common::readAnalysisBlock(b.ptr(), b.data.size());
    ASSERT_TRUE(view.has_value());
    ASSERT_EQ(view->components.size(), 5u);
    const int kinds[5] = {0, 0, 1, 1, 2};
    for (int i = 0; i < 5; ++i) {
        EXPECT_TRUE(view->components[i].valid) << i;
        EXPECT_EQ(view->components[i].kind, kinds[i]) << i;
    }
    EXPECT_EQ(view->components[0].pointKind, 0);  // S_ATTRACTING
    EXPECT_EQ(view->components[1].pointKind, 1);  // ATTRACTING
    EXPECT_EQ(view->components[0].cyclePoints.count, 1);
    const auto& cyc = view->components[1].cyclePoints;
    ASSERT_EQ(cyc.count, 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(cyc.re(i), -1.0 + i);
        EXPECT_EQ(cyc.im(i), 1.0 - 0.5 * i);
    }
    ASSERT_EQ(view->components[2].images.size(), 2u);
    expectImageMatches(view->components[2].images[0], e0[0]);
    expectImageMatches(view->components[2].images[1], e0[1]);
    ASSERT_EQ(view->components[3].images.size(), 1u);
    expectImageMatches(view->components[3].images[0], e2[0]);
    ASSERT_EQ(view->components[4].images.size(), 2u);
    expectImageMatches(view->components[4].images[0], e1[0]);  // "In" curve first
    expectImageMatches(view->components[4].images[1], e2[1]);
    EXPECT_EQ(view->title, "J1");
}

TEST(BlockWriter, AtMostTwentyComponentsAndTheSizeCountsOnlyThose) {
    analysis::JuliaAnalysis a;
    a.orbits.cycles.capacity = 30;
    for (int i = 0; i < 25; ++i) a.orbits.cycles.cycles.push_back(cycle(i + 1, common::PointKind::Attracting, i));
    a.orbits.curves.entries.push_back({0, {curve(1.0, 1, 1, 4)}});
    a.domains.siegelDisks = {{0, 0, 0}};
    PictureContent content = baseContent('J');
    content.julia = &a;
    std::size_t expected = 12936;
    for (int i = 0; i < 20; ++i) expected += 16 * static_cast<std::size_t>(i + 1);
    EXPECT_EQ(frontend::pictureBlockSize(content), expected);  // the Siegel disk did not make it
    Bytes b(expected);
    ASSERT_TRUE(frontend::writePictureBlock(b.ptr(), b.data.size(), content));
    EXPECT_EQ(b.h().componentCount, 20);
    EXPECT_EQ(b.h().components[19].count, 20);
    EXPECT_TRUE(b.zero(&b.h().components[20], sizeof b.h().components[20]));  // the 21st entry stays empty
    // Too little memory: nothing is written.
    Bytes small(expected - 1);
    EXPECT_FALSE(frontend::writePictureBlock(small.ptr(), small.data.size(), content));
    EXPECT_EQ(small.data[0], std::byte{0x77});
}

TEST(BlockWriter, CopyTakesTheSourceBytesWithTheDrawnViewLaidOver) {
    const analysis::JuliaAnalysis a = richAnalysis();
    PictureContent content = baseContent('J');
    content.julia = &a;
    content.title = "J3\xE2\x86\x90J2\xE2\x86\x90J1";  // longer than the copy's: no rest of it may stay
    const std::size_t size = frontend::pictureBlockSize(content);
    Bytes source(size);
    ASSERT_TRUE(frontend::writePictureBlock(source.ptr(), size, content));
    // The viewer drew and asked for a zoom: its drawn copy holds the request.
    auto* h = static_cast<common::AnalysisBlockHeader*>(source.ptr());
    h->viewerWindow = 12345 * 256 + 1;
    h->drawnView = h->currentView;
    h->drawnView.magnification = 2.5;
    h->drawnView.centreIm = -0.375;
    h->blockSize = 99;  // whatever offset 0 says, the slot's size counts

    Bytes copy(size);
    ASSERT_TRUE(frontend::copyPictureBlock(copy.ptr(), source.ptr(), size, "J1\xE2\x86\x90J1"));
    // Everything else is the source's, byte for byte (components included).
    Bytes expected = source;
    auto& e = *reinterpret_cast<common::AnalysisBlockHeader*>(expected.ptr());
    e.blockSize = static_cast<std::uint32_t>(size);
    e.currentView = e.drawnView;
    std::memset(e.title, 0, sizeof e.title);
    std::memcpy(e.title, "J1\xE2\x86\x90J1", 8);
    EXPECT_EQ(copy.data, expected.data);
    EXPECT_FALSE(frontend::copyPictureBlock(copy.ptr(), source.ptr(), 12935, "x"));
}

TEST(BlockWriter, JuliaWindowBoxesTheFinitePoints) {
    using Points = std::vector<std::pair<double, double>>;
    const double inf = std::numeric_limits<double>::infinity(), nan = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        const char* what;
        Points critical, fixed;
        double magnification, centreRe, centreIm;
    };
    const Case cases[] = {
        {"larger side 4", {{-1, 0.5}, {3, 0}}, {{0, -1.5}}, 1.0 / 8.0, 1.0, -0.5},
        {"no fixed point: seeded with 0", {{2, 1}}, {}, 0.25, 1.0, 0.5},
        {"one side 0: used as it is", {{0, 2}}, {}, 0.25, 0.0, 1.0},
        {"every point equal: the 4 x 4 square", {{0.5, -0.5}}, {{0.5, -0.5}, {0.5, -0.5}}, 0.125, 0.5, -0.5},
        {"non-finite points take no part", {{0.5, -0.5}, {inf, nan}}, {{0.5, -0.5}, {0.5, -0.5}}, 0.125, 0.5, -0.5},
        {"non-finite fixed point", {{2.5, -0.5}, {inf, nan}}, {{0.5, -0.5}, {nan, -0.5}}, 0.25, 1.5, -0.5},
        {"near the end of the range: halved before the sum", {{1.6e308, 0}}, {{1.2e308, 0}},
         1.0 / (2.0 * (1.6e308 - 1.2e308)), 1.2e308 / 2 + 1.6e308 / 2, 0.0},
    };
    for (const Case& c : cases) {
        common::CriticalPointList critical{};
        critical.count = static_cast<int>(c.critical.size());
        for (std::size_t i = 0; i < c.critical.size(); ++i) std::tie(critical.re[i], critical.im[i]) = c.critical[i];
        analysis::FixedPointList fixed;
        fixed.count = static_cast<int>(c.fixed.size());
        for (const auto& [re, im] : c.fixed) {
            fixed.re.push_back(re);
            fixed.im.push_back(im);
        }
        const frontend::PictureWindow w = frontend::juliaWindow(critical, fixed);
        EXPECT_EQ(w.magnification, c.magnification) << c.what;
        EXPECT_EQ(w.centreRe, c.centreRe) << c.what;
        EXPECT_EQ(w.centreIm, c.centreIm) << c.what;
    }
}

}  // namespace
