// Blocks written by the front end: the fixed part compared byte for byte with one built by hand through
// the layout (its offsets are pinned where it is declared); the components read back by the viewer's reader.
#include "frontend/block_writer.h"

#include "common/block_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace {

using frontend::PictureContent;
using Header = common::AnalysisBlockHeader;
using Bytes = std::vector<std::byte>;
constexpr std::size_t FIXED = 12936;

// Memory as a caller hands it over: the writer must clear every byte it does not set.
Bytes memory(std::size_t size) { return Bytes(size, std::byte{0x77}); }
Header& header(Bytes& b) { return *reinterpret_cast<Header*>(b.data()); }

// The first offset below n at which a and b differ; -1 when none does.
long firstDifference(const Bytes& a, const Bytes& b, std::size_t n) {
    const auto [at, other] = std::mismatch(a.begin(), a.begin() + static_cast<long>(n), b.begin());
    return at == a.begin() + static_cast<long>(n) ? -1 : at - a.begin();
}

using Points = std::vector<std::pair<double, double>>;

// z^2 - 0.12 + 0.75i with the given points; unused bytes and selection flags are not the block's business.
PictureContent content(char kind, const Points& critical, const Points& fixed) {
    PictureContent c{kind, std::string(300, 'x'),
                     {common::FORM_POLYNOMIAL, 2, 0, {0, 9}, {-0.12, 0, 1.0}, {0.75}, {1.0}, {}},
                     {static_cast<int>(critical.size()), 1, {}, {}, {1}, {}},
                     {static_cast<int>(fixed.size()), {}, {}, false}, 1e-6, 0.05, 800, 500, nullptr};
    for (std::size_t i = 0; i < critical.size(); ++i)
        std::tie(c.criticalPoints.re[i], c.criticalPoints.im[i]) = critical[i];
    for (const auto& [re, im] : fixed) {
        c.fixedPoints.re.push_back(re);
        c.fixedPoints.im.push_back(im);
    }
    return c;
}

// The fixed part as the block's rules make it from c (component table empty).
Bytes expectedFixedPart(const PictureContent& c, std::size_t size, int loops, double mag, double cRe, double cIm) {
    Bytes bytes(FIXED, std::byte{0});
    Header& h = header(bytes);
    h.blockSize = static_cast<std::uint32_t>(size);
    h.pictureKind = c.kind;
    h.map = c.map;
    std::memset(h.map.unused0, 0, sizeof h.map.unused0);
    h.criticalPointCount = c.criticalPoints.count;
    h.infinityIsCritical = c.criticalPoints.infinityIsCritical;
    std::copy_n(c.criticalPoints.re, c.criticalPoints.count, h.criticalRe);
    std::copy_n(c.criticalPoints.im, c.criticalPoints.count, h.criticalIm);
    h.fixedPointCount = c.fixedPoints.count;
    std::copy(c.fixedPoints.re.begin(), c.fixedPoints.re.end(), h.fixedRe);
    std::copy(c.fixedPoints.im.begin(), c.fixedPoints.im.end(), h.fixedIm);
    // The drawn copy belongs to the viewer: all zero. Colours: values 0..loops, the three default curves.
    common::ViewRecord& v = h.currentView;
    v = {loops, {}, 1e-16, c.convergenceRadius, c.continuityDistance, c.pictureWidth, c.pictureHeight, mag, cRe, cIm,
         0, 0, {}, {}};
    for (common::ComponentColour& colour : v.colours) {
        colour = {0, loops, {255, 255, 0, 0, 5, 0, 0}, {255, 255, 0, 0, 3, 0, 0}, {255, 255, 0, 0, 2, 1, 0}, {}};
        for (common::ExceptionColour& row : colour.exceptions) row.number = -1;
    }
    std::memcpy(h.title, c.title.data(), std::min<std::size_t>(c.title.size(), 255));  // cut to 255 bytes and a NUL
    return bytes;
}

TEST(BlockWriter, FixedPartWithAViewBoxingTheFinitePoints) {
    const double inf = std::numeric_limits<double>::infinity(), nan = std::numeric_limits<double>::quiet_NaN();
    const Points two = {{1.5, -0.25}, {-0.5, 0.75}}, same = {{0.5, -0.5}, {0.5, -0.5}};
    const struct {
        char kind;
        Points critical, fixed;
        double magnification, centreRe, centreIm;  // 1 / (2 * larger side), the box's middle
        const char* what;
    } cases[] = {
        {'M', {{0.5, -0.25}}, two, 0.25, 0.0, 0.0, "Mandelbrot: the square -1..1"},
        {'J', {{0.5, -0.25}}, two, 0.25, 0.5, 0.25, "larger side 2"},
        {'J', {{-1, 0.5}, {3, 0}}, {{0, -1.5}}, 1.0 / 8.0, 1.0, -0.5, "larger side 4"},
        {'J', {{2, 1}}, {}, 0.25, 1.0, 0.5, "no fixed point: seeded with 0"},
        {'J', {{0, -2}}, {}, 0.25, 0.0, -1.0, "one side 0: used as it is"},
        {'J', {{1.6e308, 0}}, {{-1.6e308, 0}}, std::numeric_limits<double>::min(), 0, 0, "an infinite side: still > 0"},
        {'J', {{0.5, -0.5}}, same, 0.125, 0.5, -0.5, "every point equal: the 4 x 4 square"},
        {'J', {{0.5, -0.5}, {inf, nan}}, same, 0.125, 0.5, -0.5, "non-finite points take no part"},
        {'J', {{2.5, -0.5}, {inf, nan}}, {{0.5, -0.5}, {nan, -0.5}}, 0.25, 1.5, -0.5, "non-finite fixed point"},
        {'J', {{1.6e308, -1}}, {{1.2e308, 3}}, 1.0 / (2.0 * (1.6e308 - 1.2e308)), 1.2e308 / 2 + 1.6e308 / 2, 1.0,
         "near the end of the range: halved before the sum"},
    };
    for (const auto& t : cases) {
        const PictureContent c = content(t.kind, t.critical, t.fixed);
        ASSERT_EQ(frontend::pictureBlockSize(c), FIXED);
        Bytes b = memory(FIXED + 8);
        ASSERT_TRUE(frontend::writePictureBlock(b.data(), b.size(), c));
        const int loops = t.kind == 'M' ? 500 : 1000;
        const Bytes expected = expectedFixedPart(c, FIXED, loops, t.magnification, t.centreRe, t.centreIm);
        EXPECT_EQ(firstDifference(b, expected, FIXED), -1) << t.what;
        EXPECT_EQ(b[FIXED + 7], std::byte{0}) << "the rest of the memory is cleared";
    }
}

// A curve with 2 outer disks, 1 inner disk and 3 polyline points (arrays of 120 bytes), all numbers distinct.
analysis::ClosedCurve curve(double s) {
    return {analysis::CURVE_OUT, {s, -s, 2 * s, -2 * s, 3 * s, -3 * s, 4 * s, -4 * s},
            {{s, 0.1, 0.01}, {s, 0.2, 0.02}}, {{0.1 * s, -0.1, 0.5}}, {s, 0, -s}, {0, s, 0.5 * s}};
}

// The image read back holds the curve's numbers (Octagon and CurveDisk are laid out as the block's).
void expectImage(const common::CurveImageView& v, const analysis::ClosedCurve& c) {
    ASSERT_EQ(std::tuple(v.outerDisks.count, v.innerDisks.count, v.polyline.count), std::tuple(2, 1, 3));
    EXPECT_EQ(std::memcmp(v.octagon, &c.octagon, sizeof c.octagon), 0);
    EXPECT_EQ(std::memcmp(v.outerDisks.data, c.outerDisks.data(), 2 * 24), 0);
    EXPECT_EQ(std::memcmp(v.innerDisks.data, c.innerDisks.data(), 24), 0);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(std::pair(v.polyline.re(i), v.polyline.im(i)), std::pair(c.re[i], c.im[i]));
}

TEST(BlockWriter, JuliaComponentsInOrderSizedByTheRuleAndReadBack) {
    // Cycles with the entry for infinity between them; Siegel disks on critical
    // point 0's curves (two, one group) and point 2's; a Herman ring between
    // the curve sets of points 1 ("In") and 2 ("Out").
    analysis::JuliaAnalysis a;
    a.orbits.cycles.capacity = 6;
    a.orbits.cycles.cycles = {{1, {0.25}, {-0.25}, common::PointKind::SuperAttracting, 0}, {0, {}, {}, {}, 1},
                              {3, {-1, 0, 1}, {1, 0.5, 0}, common::PointKind::Attracting, 0}};
    a.orbits.curves.entries = {{0, {curve(0.5), curve(0.7)}}, {1, {curve(0.2)}}, {2, {curve(0.9), curve(1.3)}}};
    a.domains.siegelDisks = {{0, 0, 0}, {0, 2, 0}, {0, 0, 1}};
    a.domains.hermanRings = {{0, 1, 0, 2, 1}};
    const auto& e = a.orbits.curves.entries;
    const analysis::ClosedCurve* groups[3][2] = {{&e[0].curves[0], &e[0].curves[1]}, {&e[2].curves[0], nullptr},
                                                 {&e[1].curves[0], &e[2].curves[1]}};
    // Sizing: 16 per cycle point, 196 + arrays per Siegel curve, 384 + both arrays per Herman pair;
    // written: the points, or the group's count (8 bytes), its 88-byte images and their arrays.
    const std::size_t sized[5] = {16, 48, 2 * (196 + 120), 196 + 120, 384 + 2 * 120};
    const std::size_t written[5] = {16, 48, 8 + 2 * (88 + 120), 8 + 88 + 120, 8 + 2 * (88 + 120)};
    PictureContent c = content('J', {{0.5, -0.25}}, {});  // the box seeded with 0: side 0.5, centre (0.25, -0.125)
    c.julia = &a;
    std::size_t size = FIXED;
    for (std::size_t bytes : sized) size += bytes;
    ASSERT_EQ(frontend::pictureBlockSize(c), size);
    Bytes b = memory(size);
    ASSERT_TRUE(frontend::writePictureBlock(b.data(), size, c));

    Bytes expected = expectedFixedPart(c, size, 1000, 1.0, 0.25, -0.125);
    const int table[5][3] = {{0, 1, 0}, {0, 3, 1}, {1, 2}, {1, 1}, {2, 1}};  // kind, count, point kind
    header(expected).componentCount = 5;
    for (int i = 0, offset = FIXED; i < 5; offset += static_cast<int>(written[i++]))
        header(expected).components[i] = {table[i][0], table[i][1], table[i][2], 0, offset};
    EXPECT_EQ(firstDifference(b, expected, FIXED), -1);

    const auto view = common::readAnalysisBlock(b.data(), size);
    ASSERT_TRUE(view.has_value());
    ASSERT_EQ(view->components.size(), 5u);
    for (int i = 0; i < 2; ++i) {
        const common::PointArray& got = view->components[i].cyclePoints;
        EXPECT_EQ(std::vector<double>(got.data, got.data + 2 * got.count),
                  (i == 0 ? std::vector<double>{0.25, -0.25} : std::vector<double>{-1, 1, 0, 0.5, 1, 0}));
    }
    for (int g = 0; g < 3; ++g) {
        const common::ComponentView& group = view->components[g + 2];
        EXPECT_TRUE(group.valid) << g;
        std::int32_t count = 0;  // the group's data start with its count
        std::memcpy(&count, b.data() + header(b).components[g + 2].dataOffset, 4);
        EXPECT_EQ(count, table[g + 2][1]) << g;
        ASSERT_EQ(group.images.size(), groups[g][1] ? 2u : 1u) << g;
        for (std::size_t k = 0; k < group.images.size(); ++k) expectImage(group.images[k], *groups[g][k]);
    }
}

TEST(BlockWriter, AtMostTwentyComponentsAndACopyKeepsThemWithTheDrawnViewLaidOver) {
    analysis::JuliaAnalysis a;
    a.orbits.cycles.capacity = 30;
    for (int i = 1; i <= 25; ++i) a.orbits.cycles.cycles.push_back({i, std::vector<double>(i, i), std::vector<double>(i, -i)});
    a.orbits.curves.entries.push_back({0, {curve(1.0)}});
    a.domains.siegelDisks = {{0, 0, 0}};
    PictureContent c = content('J', {{0.5, -0.25}}, {});
    c.julia = &a;
    c.title = "J3\xE2\x86\x90J2\xE2\x86\x90J1";  // longer than the copy's: no rest of it may stay
    const std::size_t size = FIXED + 16 * (20 * 21 / 2);  // periods 1..20; the Siegel disk does not make it
    ASSERT_EQ(frontend::pictureBlockSize(c), size);
    Bytes small = memory(size - 1);  // too little memory: nothing is written
    EXPECT_FALSE(frontend::writePictureBlock(small.data(), small.size(), c));
    EXPECT_EQ(small[0], std::byte{0x77});
    Bytes source = memory(size);
    ASSERT_TRUE(frontend::writePictureBlock(source.data(), size, c));
    Header& h = header(source);
    EXPECT_EQ(h.componentCount, 20);
    EXPECT_EQ(h.components[19].count, 20);

    // The viewer drew and asked for a zoom: its drawn copy holds the request.
    h.viewerWindow = 12345 * 256 + 1;
    h.drawnView = h.currentView;
    h.drawnView.magnification = 2.5;
    h.drawnView.centreIm = -0.375;
    h.blockSize = 99;  // whatever offset 0 says, the slot's size counts
    Bytes copy = memory(size);
    ASSERT_TRUE(frontend::copyPictureBlock(copy.data(), source.data(), size, "J1\xE2\x86\x90J1"));
    Bytes expected = source;  // everything else is the source's, components included
    header(expected).blockSize = static_cast<std::uint32_t>(size);
    header(expected).currentView = h.drawnView;
    std::memset(header(expected).title, 0, sizeof h.title);
    std::memcpy(header(expected).title, "J1\xE2\x86\x90J1", 8);
    EXPECT_EQ(firstDifference(copy, expected, size), -1);
    EXPECT_FALSE(frontend::copyPictureBlock(copy.data(), source.data(), FIXED - 1, "x"));
}

}  // namespace
